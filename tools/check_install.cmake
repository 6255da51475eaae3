# Installs the build into a scratch prefix and checks the installed programs:
#  - vantorel-sim run from an unrelated directory with XDG_DATA_HOME set
#    writes its slot to $XDG_DATA_HOME/vantorel/savedata, without it to
#    ~/.local/share/vantorel/savedata; nothing is written under the prefix
#    or in the working directory;
#  - with the game (GAME=ON): both programs, the shipped pictures, the icon
#    in every size, and a menu entry and metainfo that desktop-file-validate
#    and appstreamcli validate accept.
#   cmake -DBUILD=<build dir> -DWORK=<scratch dir> -DGAME=ON|OFF -DAPP_ID=<id> -P check_install.cmake

set(P ${WORK}/prefix)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/elsewhere ${WORK}/xdg ${WORK}/home)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${P}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()

set(expected bin/vantorel-sim share/vantorel/first.dat share/vantorel/name/0.txt share/vantorel/aiforma/0.dat
             share/vantorel/formation/4-4-2.dat share/vantorel/sound/m0.wav)
if(GAME)
  list(APPEND expected bin/vantorel share/vantorel/picture/turf.png share/vantorel/icon/vantorel-256.png
       share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml)
  foreach(size 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  endforeach()
endif()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${P}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# Every file and folder under the prefix with its modification time.
function(snapshot out)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${P} ${P}/*)
  list(SORT entries)
  set(s "")
  foreach(e IN LISTS entries)
    file(TIMESTAMP ${P}/${e} t "%s" UTC)
    string(APPEND s "${e} ${t}\n")
  endforeach()
  set(${out} "${s}" PARENT_SCOPE)
endfunction()
snapshot(before)

function(sim expected_slot)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env ${ARGN} ${P}/bin/vantorel-sim new --seed 1 --save s
                  WORKING_DIRECTORY ${WORK}/elsewhere RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "installed vantorel-sim new failed (${rc}): ${err}")
  endif()
  if(NOT EXISTS ${expected_slot})
    message(FATAL_ERROR "the slot is not at ${expected_slot}; vantorel-sim said: ${out}")
  endif()
  string(FIND "${out}" "\"file\":\"${expected_slot}\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "vantorel-sim names another file than ${expected_slot}: ${out}")
  endif()
endfunction()
sim(${WORK}/xdg/vantorel/savedata/s.dat XDG_DATA_HOME=${WORK}/xdg HOME=${WORK}/home)
sim(${WORK}/home/.local/share/vantorel/savedata/s.dat --unset=XDG_DATA_HOME HOME=${WORK}/home)

snapshot(after)
if(NOT before STREQUAL after)
  message(FATAL_ERROR "the installed program wrote under its prefix:\nbefore:\n${before}\nafter:\n${after}")
endif()
file(GLOB stray ${WORK}/elsewhere/*)
if(stray)
  message(FATAL_ERROR "the installed program wrote into its working directory: ${stray}")
endif()

if(GAME)
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
    message(FATAL_ERROR "desktop-file-validate and appstreamcli are needed: install the Debian packages "
                        "desktop-file-utils and appstream (scripts/setup.sh installs them)")
  endif()
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${P}/share/applications/${APP_ID}.desktop
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${out}${err}")
  endif()
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${P}/share/metainfo/${APP_ID}.metainfo.xml
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli validate: ${out}${err}")
  endif()
endif()
message(STATUS "installed, played and validated; slots under XDG_DATA_HOME, nothing written under the prefix")
file(REMOVE_RECURSE ${WORK})  # the installed programs are large; a failure keeps them for a look
