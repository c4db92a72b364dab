# Runs a libFuzzer target for a bounded time on a fresh copy of its seed corpus and prints the
# run's executions and coverage. Crash inputs land in WORK/artifacts.
# Usage: cmake -DFUZZER=exe -DSEEDS=dir -DWORK=dir [-DSECONDS=60] -P RunFuzzer.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT DEFINED SECONDS)
  set(SECONDS 60)
endif()
set(corpus ${WORK}/corpus)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/artifacts)
file(COPY ${SEEDS}/ DESTINATION ${corpus})

execute_process(
  COMMAND ${FUZZER} ${corpus} -max_total_time=${SECONDS} -rss_limit_mb=2048 -timeout=10
          -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/
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
                      "the whole log in ${WORK}/fuzz.log")
endif()
