# Runs a libFuzzer target over a fresh copy of its committed corpus, then RUNS more inputs that
# it makes from a fixed SEED, and prints the run's executions and coverage. The same tree does
# the same work on every run; random exploration is tools/fuzz.sh. Crash inputs land in
# WORK/artifacts.
# Usage: cmake -DFUZZER=exe -DSEEDS=dir -DWORK=dir [-DRUNS=10000] [-DSEED=1] -P RunFuzzer.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED RUNS)
  set(RUNS 10000)
endif()
if(NOT DEFINED SEED)
  set(SEED 1)
endif()
set(corpus ${WORK}/corpus)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/artifacts)
file(COPY ${SEEDS}/ DESTINATION ${corpus})

# With address randomisation the pointers the program compares differ from run to run, and
# libFuzzer mutates with the values it saw compared: the same seed then makes other inputs.
# setarch -R turns randomisation off for the fuzzer alone.
set(launcher "")
find_program(SETARCH setarch)
if(SETARCH)
  execute_process(COMMAND ${SETARCH} -R true RESULT_VARIABLE setarch_result OUTPUT_QUIET
                  ERROR_QUIET)
  if(setarch_result EQUAL 0)
    set(launcher ${SETARCH} -R)
  endif()
endif()
if(NOT launcher)
  message(WARNING "address randomisation stays on: the generated inputs may differ between runs")
endif()

# -reload=0: the corpus is read once, not again on a clock. The per-input timeout is generous,
# so that a loaded machine never turns a slow input into a failure.
execute_process(
  COMMAND ${launcher} ${FUZZER} ${corpus} -runs=${RUNS} -seed=${SEED} -reload=0 -rss_limit_mb=2048
          -timeout=120 -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
file(WRITE ${WORK}/fuzz.log "${output}")

# The DONE line carries the final coverage; the final stats carry the executions.
string(REGEX MATCH "#[0-9]+[ \t]+DONE[^\r\n]*" done "${output}")
if(done)
  message("${done}")
endif()
string(REGEX MATCHALL "(Done [0-9]+ runs[^\r\n]*|stat::[a-z_]+: *[0-9]+)" stats "${output}")
foreach(line ${stats})
  message("${line}")
endforeach()

if(NOT result EQUAL 0)
  string(LENGTH "${output}" length)
  math(EXPR from "${length} - 6000")
  if(from LESS 0)
    set(from 0)
  endif()
  string(SUBSTRING "${output}" ${from} -1 tail)
  message("${tail}")
  message(FATAL_ERROR "the fuzzer failed (exit ${result}); the input is in ${WORK}/artifacts, "
                      "the whole log in ${WORK}/fuzz.log; keep it in ${SEEDS} once mended")
endif()
