# Renders a man page with every groff warning on; any warning fails.
#   -DPAGE=<man page>
cmake_minimum_required(VERSION 3.25)
find_program(GROFF groff)
if(NOT GROFF)
  message(FATAL_ERROR "groff is needed (Debian: groff-base)")
endif()
execute_process(COMMAND ${GROFF} -ww -z -man ${PAGE} ERROR_VARIABLE warnings RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "${PAGE}:\n${warnings}")
endif()
