# Builds the Debian package into a temporary folder and checks that its
# dependencies were computed from the program's libraries and that it holds
# the program and its skins but no tools.
#   -DBUILD_DIR=<build folder>
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND mktemp -d -t zambrel-deb.XXXXXXXX
                OUTPUT_VARIABLE folder OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot make a temporary folder")
endif()

set(failures)
get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
execute_process(COMMAND ${cmake_bin}/cpack --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${folder}
                OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
file(GLOB packages ${folder}/*.deb)
list(LENGTH packages count)
if(NOT result EQUAL 0 OR NOT count EQUAL 1)
  list(APPEND failures "cpack -G DEB failed:\n${output}")
else()
  execute_process(COMMAND dpkg-deb -f ${packages} Package Depends OUTPUT_VARIABLE fields)
  execute_process(COMMAND dpkg-deb -c ${packages} OUTPUT_VARIABLE contents)
  if(NOT fields MATCHES "Package: zambrel\n")
    list(APPEND failures "package name: ${fields}")
  endif()
  foreach(library libqt6widgets6 libqt6core6 libsqlcipher)
    if(NOT fields MATCHES "Depends:[^\n]*${library}")
      list(APPEND failures "Depends lacks ${library}: ${fields}")
    endif()
  endforeach()
  foreach(file ./usr/bin/zambrel ./usr/share/zambrel/skins/ ./usr/share/man/man1/zambrel.1)
    string(FIND "${contents}" " ${file}" at)
    if(at EQUAL -1)
      list(APPEND failures "${file} not in the package")
    endif()
  endforeach()
  if(contents MATCHES "maker|_test|_bench")
    list(APPEND failures "the package holds tools or tests:\n${contents}")
  endif()
endif()

file(REMOVE_RECURSE ${folder})
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
