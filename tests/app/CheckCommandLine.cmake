# The binary answers --version and --help and exits 0.
execute_process(COMMAND ${LUMATICK} --version RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "^lumatick [0-9]+\\.[0-9]+\\.[0-9]+")
    message(FATAL_ERROR "--version failed (${result}): ${output}")
endif()
execute_process(COMMAND ${LUMATICK} --help RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "Usage:")
    message(FATAL_ERROR "--help failed (${result}): ${output}")
endif()
