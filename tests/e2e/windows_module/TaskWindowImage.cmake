# Turns the picture of the task window that the end-to-end check saved (a BMP, copied from the
# screen) into docs/images/task-window.png with Debian's ImageMagick, and makes sure it is not
# blank: a drawn window has many colours.
#   cmake -DCONVERT=/usr/bin/convert -DBITMAP=task-window.bmp -DPNG=docs/images/task-window.png -P TaskWindowImage.cmake
foreach(variable CONVERT BITMAP PNG)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "TaskWindowImage.cmake needs -D${variable}=...")
  endif()
endforeach()
if(NOT EXISTS "${BITMAP}")
  message(FATAL_ERROR "no picture of the task window: ${BITMAP}")
endif()
get_filename_component(folder "${PNG}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
# -strip: no time stamps in the file, so an unchanged window gives an unchanged picture.
execute_process(COMMAND "${CONVERT}" "${BITMAP}" -strip "PNG24:${PNG}" RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CONVERT} failed: ${errors}")
endif()
execute_process(COMMAND "${CONVERT}" "${PNG}" -format "%k %w %h" info: OUTPUT_VARIABLE facts RESULT_VARIABLE status)
string(STRIP "${facts}" facts)
string(REPLACE " " ";" facts "${facts}")
list(GET facts 0 colours)
list(GET facts 1 width)
list(GET facts 2 height)
if(NOT status EQUAL 0 OR colours LESS 16 OR width LESS 300 OR height LESS 200)
  message(FATAL_ERROR "${PNG} looks blank or too small: ${colours} colours, ${width}x${height}")
endif()
message("${PNG}: ${width}x${height}, ${colours} colours")
