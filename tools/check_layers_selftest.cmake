# Plants include violations in a scratch tree and checks that
# check_layers.cmake names each of them, and passes the includes that are
# allowed.
#   cmake -DSRC=<source dir> -DWORK=<scratch dir> -P check_layers_selftest.cmake
cmake_minimum_required(VERSION 3.22)

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/club/Ubase.h "#include <string>\n#include \"Uother.h\"\n")
file(WRITE ${WORK}/club/Uother.h "// #include <QString> is a comment, not an include\n")
file(WRITE ${WORK}/match/Umove.h "#include \"club/Ubase.h\"\n#include <vector>\n")
file(WRITE ${WORK}/world/Ustate.h "#include \"match/Umove.h\"\n#include \"Uother.h\"\n")
file(WRITE ${WORK}/world/Uother.h "\n")
file(WRITE ${WORK}/screens/Fform.h "#include <QWidget>\n")
file(WRITE ${WORK}/tools/sim/Sim.h "\n")

function(run_check expect_ok)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${WORK} -P ${SRC}/tools/check_layers.cmake
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(expect_ok AND NOT rc EQUAL 0)
    message(FATAL_ERROR "the layer check refused a clean tree:\n${out}${err}")
  elseif(NOT expect_ok AND rc EQUAL 0)
    message(FATAL_ERROR "the layer check passed a tree with violations:\n${out}${err}")
  endif()
  set(REPORT "${out}${err}" PARENT_SCOPE)
endfunction()

run_check(TRUE)

# One violation of each kind, each on a known line.
file(APPEND ${WORK}/club/Ubase.h "#include \"world/Ustate.h\"\n")              # line 3
file(APPEND ${WORK}/club/Uother.h "#include \"../match/Umove.h\"\n")           # line 2
file(APPEND ${WORK}/match/Umove.h "#  include <QtCore/QObject>\n")             # line 3
file(APPEND ${WORK}/match/Umove.h "#include \"world/Ustate.h\"\n")             # line 4
file(APPEND ${WORK}/world/Ustate.h "int table[] = {\n1,\n};\n#include <QString>\n") # line 6
file(APPEND ${WORK}/world/Ustate.h "#include \"../screens/Fform.h\"\n")        # line 7
file(APPEND ${WORK}/world/Ustate.h "#include \"tools/sim/Sim.h\"\n")           # line 8
file(APPEND ${WORK}/world/Ustate.h "#include <SDL.h>\n")                       # line 9
run_check(FALSE)
foreach(expected
    "club/Ubase.h:3: includes \"world/Ustate.h\""
    "club/Uother.h:2: includes \"../match/Umove.h\""
    "match/Umove.h:3: includes the Qt header <QtCore/QObject>"
    "match/Umove.h:4: includes \"world/Ustate.h\""
    "world/Ustate.h:6: includes the Qt header <QString>"
    "world/Ustate.h:7: includes \"../screens/Fform.h\""
    "world/Ustate.h:8: includes \"tools/sim/Sim.h\""
    "world/Ustate.h:9: includes the SDL header <SDL.h>"
    "8 include(s) break the layers")
  string(FIND "${REPORT}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the layer check did not report '${expected}':\n${REPORT}")
  endif()
endforeach()
message(STATUS "the layer check names every planted violation")
