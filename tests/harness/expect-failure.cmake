# Runs a program and succeeds only when it fails (non-zero exit or a signal).
execute_process(COMMAND ${PROGRAM} ${MODE} RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${MODE} exited with 0")
endif()
message(STATUS "failed as expected: ${result}")
