# Third-party libraries, all from Debian's packages (installed by scripts/setup).

# tinyxml2: the i386 package on Linux; on Windows compiled from Debian's source package,
# unpacked by scripts/setup outside the repository.
if(WIN32)
  set(QZ_TINYXML2_SOURCE "$ENV{HOME}/.cache/qzpattern-deps/tinyxml2" CACHE PATH "tinyxml2 source folder (Debian source package)")
  if(NOT EXISTS "${QZ_TINYXML2_SOURCE}/tinyxml2.cpp")
    message(FATAL_ERROR "tinyxml2 source not found in ${QZ_TINYXML2_SOURCE}; run scripts/setup")
  endif()
  add_library(qz_tinyxml2 STATIC ${QZ_TINYXML2_SOURCE}/tinyxml2.cpp)
  target_include_directories(qz_tinyxml2 SYSTEM PUBLIC ${QZ_TINYXML2_SOURCE})
  add_library(tinyxml2::tinyxml2 ALIAS qz_tinyxml2)
else()
  find_package(tinyxml2 CONFIG REQUIRED)
endif()

# zlib and minizip, for MusicXML's compressed files: the i386 packages on Linux (minizip found
# through pkg-config); on Windows zlib from Debian's MinGW package and minizip compiled from
# Debian's source package, unpacked by scripts/setup outside the repository.
if(WIN32)
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  set(QZ_MINIZIP_SOURCE "$ENV{HOME}/.cache/qzpattern-deps/minizip" CACHE PATH "minizip source folder (Debian source package)")
  if(NOT EXISTS "${QZ_MINIZIP_SOURCE}/unzip.c")
    message(FATAL_ERROR "minizip source not found in ${QZ_MINIZIP_SOURCE}; run scripts/setup")
  endif()
  add_library(qz_minizip STATIC ${QZ_MINIZIP_SOURCE}/ioapi.c ${QZ_MINIZIP_SOURCE}/unzip.c ${QZ_MINIZIP_SOURCE}/zip.c)
  target_include_directories(qz_minizip SYSTEM PUBLIC ${QZ_MINIZIP_SOURCE})
  # Archives are neither encrypted nor decrypted here.
  target_compile_definitions(qz_minizip PRIVATE NOCRYPT NOUNCRYPT)
  target_compile_options(qz_minizip PRIVATE -w)
  target_link_libraries(qz_minizip PUBLIC ZLIB::ZLIB)
  add_library(qz::minizip ALIAS qz_minizip)
else()
  find_package(PkgConfig REQUIRED)
  set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/pkgconfig:/usr/share/pkgconfig")
  pkg_check_modules(QZ_MINIZIP REQUIRED IMPORTED_TARGET GLOBAL minizip)
  add_library(qz::minizip ALIAS PkgConfig::QZ_MINIZIP)
endif()

# GoogleTest from Debian's source package, built inside each preset.
if(QZ_BUILD_TESTS)
  set(QZ_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source folder")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${QZ_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
