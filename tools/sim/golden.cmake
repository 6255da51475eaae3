# Pins what vantorel-sim prints: a fixed list of commands with fixed seeds is
# run in a scratch directory holding a copy of the shipped data, and the
# transcript (command, exit status, standard output, standard error) must
# equal tools/sim/golden/transcript.txt byte for byte. What varies from run
# to run is masked: "elapsed_s" of play, and every number of bench, whose
# keys and nesting are what is pinned (and bench's lanes, which depend
# on the processor).
#   cmake -DSIM=<vantorel-sim> -DSRC=<source dir> -DWORK=<scratch dir> -P golden.cmake
# With -DUPDATE=ON the transcript is written to the source tree instead; look
# at the diff before committing it.

set(GOLDEN ${SRC}/tools/sim/golden/transcript.txt)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/data)
foreach(item first.dat name aiforma)
  file(COPY ${SRC}/data/${item} DESTINATION ${WORK}/data)
endforeach()
file(COPY ${SRC}/tools/sim/golden/replay.vtr DESTINATION ${WORK}/data/vtr)

set(T "")
# Runs vantorel-sim with the arguments and appends the masked result to T.
# MASK: "elapsed" hides elapsed_s, "numbers" every number, "" nothing.
function(run mask)
  execute_process(COMMAND ${SIM} ${ARGN} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(mask STREQUAL "elapsed")
    string(REGEX REPLACE "\"elapsed_s\":[-+.0-9eE]+" "\"elapsed_s\":#" out "${out}")
  elseif(mask STREQUAL "numbers")
    string(REGEX REPLACE ":[-+.0-9eE]+" ":#" out "${out}")
    # the vector registers the processor has
    string(REGEX REPLACE "\"lanes\":\"[a-z0-9]+\"" "\"lanes\":#" out "${out}")
  endif()
  string(REPLACE ";" " " args "${ARGN}")
  string(APPEND T "$ vantorel-sim ${args}\nexit ${rc}\n${out}")
  if(NOT err STREQUAL "")
    string(APPEND T "stderr: ${err}")
  endif()
  string(APPEND T "\n")
  set(T "${T}" PARENT_SCOPE)
endfunction()

string(ASCII 1 ctl)
set(comment "監督：山田 \"名将\" \\ tab\tctl${ctl}")

# ---- what the tool makes ----------------------------------------------------------
run("" new --seed 1 --save s)
run(elapsed play --seed 7 --load s --weeks 0)
run(elapsed play --seed 7 --load s --weeks 14 --save t)
run(elapsed play --seed 7 --load t --until-week 20)
run(elapsed play --seed 7 --seasons 1 --save a)
run(elapsed play --seed 9999999999999999999 --weeks 0)
run(elapsed play --seed 010 --weeks 0)
run("" check data/savedata/a.dat)
run("" check data/savedata/t.dat)
run(elapsed play --seed 7 --load s --until-week 12 --keep-best 16 --bid-budget 3000 --hold-out --save m)
run("" check data/savedata/m.dat)
run("" export-vs --load t --out v --comment "${comment}")
run("" export-vs --load t --out w)
run("" check data/vs/v.vs)
run("" check data/vs/w.vs)
run("" check data/vtr/replay.vtr)
run("" match --seed 3 0 17)
run("" match --seed 3 data/vs/v.vs data/vs/w.vs --vs)
run("" match --seed 3 data/vs/v.vs data/vs/w.vs --vs --record g)
run("" check data/vtr/g.vtr)
run("" analyse data/vtr/g.vtr)
run("" match --seed 3 5 data/vs/w.vs)
run("" convert --seed 4)
run(numbers bench --seed 1 --matches 2 --seasons 0)
file(COPY_FILE ${WORK}/data/vs/w.vs ${WORK}/data/vs/w2.vs)
run("" tournament data/vs/v.vs data/vs/w.vs data/vs/w2.vs --seed 3 --legs 2 --threads 2 --save c)
# the bytes of every file written above
foreach(f savedata/s.dat savedata/t.dat savedata/a.dat vs/v.vs vs/w.vs vtr/g.vtr tournament/c.tnm)
  file(SHA256 ${WORK}/data/${f} h)
  string(APPEND T "sha256 ${f} ${h}\n")
endforeach()
string(APPEND T "\n")

# ---- usage ------------------------------------------------------------------------
run("" --help-all)
run("" match --help)

# ---- mistakes: one line on standard error, exit status 2 ---------------------------
run("")
run("" --seed 1)
run("" frobnicate)
run("" new)
run("" new --seed 1 --save ../escape)
run("" new --seed abc --save s)
run("" new --seed 1 --save s --frob)
run("" play --weeks 1 --seasons 1)
run("" play --weeks x)
run("" play --weeks 1 --keep-best 10)
run("" play --weeks -1)
run("" play --weeks)
run("" play --seed 1 --seed 2 --weeks 1)
run("" play --weeks 1 --vs)
run("" play --weeks 1 extra)
run("" play --seed 1 --load nothing --weeks 1)
run("" match --seed 1 0)
run("" match --seed 1 0 1 2)
run("" match --seed 1 0 0)
run("" match --seed 1 0 99)
run("" match --seed 1 data/vs/w.vs 0)
run("" match --seed 1 0 1 --record q)
run("" match --seed 1 0 1 --vs --record ../q)
run("" export-vs --load a)
run("" export-vs --load a --out x)
run("" check data/savedata/nothing.dat)
run("" check notes.txt)
run("" analyse notes.txt)
run("" analyse data/vtr/nothing.vtr)
run("" convert extra)
run("" bench --matches 99999)

if(UPDATE)
  file(WRITE ${GOLDEN} "${T}")
  message(STATUS "wrote ${GOLDEN}")
  return()
endif()
file(WRITE ${WORK}/transcript.txt "${T}")
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GOLDEN} ${WORK}/transcript.txt RESULT_VARIABLE differ)
if(differ)
  execute_process(COMMAND diff ${GOLDEN} ${WORK}/transcript.txt OUTPUT_VARIABLE d)
  message(FATAL_ERROR "vantorel-sim's output differs from ${GOLDEN}:\n${d}")
endif()
