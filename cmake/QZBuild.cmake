# Shared build settings: warnings as errors on our code, sanitizers, platform source selection.

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  message(FATAL_ERROR "QZ Pattern is a 32-bit module; configure with one of the presets (linux32, linux32-asan, win32).")
endif()

add_library(qz_options INTERFACE)
target_compile_options(qz_options INTERFACE -Wall -Wextra -Werror)
target_include_directories(qz_options INTERFACE ${PROJECT_SOURCE_DIR})
if(WIN32)
  target_compile_definitions(qz_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(QZ_SANITIZE)
  set(_qz_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(qz_options INTERFACE ${_qz_san})
  target_link_options(qz_options INTERFACE ${_qz_san})
endif()

# Collects the sources below the given folders, keeping only this platform's "_linux"/"_windows" files.
function(qz_collect_sources out)
  set(all)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND all ${found})
  endforeach()
  if(WIN32)
    list(FILTER all EXCLUDE REGEX "_linux\\.cpp$")
  else()
    list(FILTER all EXCLUDE REGEX "_windows\\.cpp$")
  endif()
  list(SORT all)
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# Links a static library whole, so that exports nobody references by name (the stand-in host's
# FX_* functions, found by the binding at run time) still reach the executable.
function(qz_link_whole target lib)
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
endfunction()
