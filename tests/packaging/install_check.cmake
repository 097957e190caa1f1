# Installs the build into a fresh temporary prefix and checks the result.
#   -DBUILD_DIR=<build folder> -DAPP_ID=<application id> -DVERSION=<version>
#   -DCHECK=layout   the installed files are where they belong and the
#                    desktop entry and metainfo pass their validators
#   -DCHECK=program  the installed program, started from the prefix, reads
#                    its skins there
# The prefix is removed afterwards, whatever the outcome.
cmake_minimum_required(VERSION 3.25)

set(failures)
macro(fail text)
  list(APPEND failures "${text}")
endmacro()

execute_process(COMMAND mktemp -d -t zambrel-install.XXXXXXXX
                OUTPUT_VARIABLE prefix OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot make a temporary folder")
endif()
file(REAL_PATH "${prefix}" prefix)

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                OUTPUT_QUIET ERROR_VARIABLE install_errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  fail("cmake --install failed: ${install_errors}")
endif()

set(default_skin ${prefix}/share/zambrel/skins/金色水晶.jss)
set(desktop_file ${prefix}/share/applications/${APP_ID}.desktop)
set(metainfo_file ${prefix}/share/metainfo/${APP_ID}.metainfo.xml)

if(failures)
  # Nothing to look at.
elseif(CHECK STREQUAL "layout")
  foreach(file
      bin/zambrel
      share/zambrel/skins/金色水晶.jss
      share/zambrel/skins/夜色石墨.jss
      share/zambrel/skins/晴空蔚蓝.jss
      share/applications/${APP_ID}.desktop
      share/metainfo/${APP_ID}.metainfo.xml
      share/icons/hicolor/48x48/apps/${APP_ID}.png
      share/icons/hicolor/128x128/apps/${APP_ID}.png
      share/icons/hicolor/256x256/apps/${APP_ID}.png
      share/icons/hicolor/scalable/apps/${APP_ID}.svg
      share/man/man1/zambrel.1)
    if(NOT EXISTS ${prefix}/${file})
      fail("not installed: ${file}")
    endif()
  endforeach()
  # The program alone: no tools, tests or benchmarks, no skins beside it.
  file(GLOB installed_programs RELATIVE ${prefix}/bin ${prefix}/bin/*)
  if(NOT installed_programs STREQUAL "zambrel")
    fail("bin/ should hold the program only, holds: ${installed_programs}")
  endif()

  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
    fail("desktop-file-validate and appstreamcli are needed (Debian: desktop-file-utils, appstream)")
  else()
    # Warnings count as failures too: the validator prints nothing for a clean file.
    execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop_file}
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT output STREQUAL "")
      fail("desktop-file-validate: ${output}")
    endif()
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo_file}
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      fail("appstreamcli validate: ${output}")
    endif()
    # The whole tree: the metainfo's desktop entry and icon must be there too.
    execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${prefix}
                    OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      fail("appstreamcli validate-tree: ${output}")
    endif()
  endif()
elseif(CHECK STREQUAL "program")
  if(EXISTS ${prefix}/bin/skins)
    fail("skins lie beside the installed program")
  endif()
  # A clean environment: headless, no skins folder given, per-user folders
  # inside the prefix.
  set(run_program ${CMAKE_COMMAND} -E env --unset=ZAMBREL_SKINS_DIR --unset=ZAMBREL_SETTINGS_FILE
      --unset=ZAMBREL_DATA_DIR QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${prefix}/home/config
      XDG_DATA_HOME=${prefix}/home/data XDG_CACHE_HOME=${prefix}/home/cache
      ${prefix}/bin/zambrel --version)

  execute_process(COMMAND ${run_program} OUTPUT_VARIABLE report ERROR_VARIABLE errors RESULT_VARIABLE result)
  set(expected "zambrel ${VERSION}\nSkins: ${prefix}/share/zambrel/skins\nDefault skin: ${default_skin}\n")
  if(NOT result EQUAL 0 OR NOT report STREQUAL expected)
    fail("zambrel --version from the prefix printed\n${report}${errors}\ninstead of\n${expected}")
  endif()

  # The same skin spoilt: the program reports that it cannot read it, so the
  # report above came from reading the installed file.
  file(WRITE ${default_skin} "not a skin")
  execute_process(COMMAND ${run_program} OUTPUT_VARIABLE report ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT report MATCHES "Default skin: [^\n]+ \\(missing or unreadable\\)\n")
    fail("a spoilt installed skin was not reported:\n${report}${errors}")
  endif()
else()
  fail("unknown CHECK '${CHECK}'")
endif()

file(REMOVE_RECURSE ${prefix})
if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
