# Runs PROGRAM ARGUMENTS... FILE and fails when it rejects the file. A validator that is not
# installed skips the test (the message matches the test's SKIP_REGULAR_EXPRESSION).
if(NOT PROGRAM)
    message("${PROGRAM_NAME} is not installed; skipped")
    return()
endif()
string(REPLACE "|" ";" arguments "${ARGUMENTS}")
execute_process(COMMAND ${PROGRAM} ${arguments} ${FILE}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${PROGRAM_NAME} rejects ${FILE} (exit ${result}):\n${output}${errors}")
endif()
if(FAIL_ON_STDERR AND NOT errors STREQUAL "")
    message(FATAL_ERROR "${PROGRAM_NAME} warns about ${FILE}:\n${errors}")
endif()
message("${PROGRAM_NAME} accepts ${FILE}\n${output}")
