# Fails when EXE is LIMIT bytes or larger; prints its size either way.
# Usage: cmake -DEXE=<program> -DLIMIT=<bytes> -P CheckSize.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT EXE OR NOT LIMIT)
  message(FATAL_ERROR "EXE and LIMIT must be given")
endif()
file(SIZE ${EXE} size)
math(EXPR kb "${size} / 1024")
math(EXPR limit_kb "${LIMIT} / 1024")
if(NOT size LESS LIMIT)
  message(FATAL_ERROR "${EXE} is ${size} bytes (${kb} KB), not under ${LIMIT} (${limit_kb} KB)")
endif()
message(STATUS "${EXE}: ${size} bytes (${kb} KB), under ${limit_kb} KB")
