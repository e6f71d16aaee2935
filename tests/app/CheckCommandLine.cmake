# The binary answers --help and exits 0 (package.installTree checks --version against the package).
execute_process(COMMAND ${LUMATICK} --help RESULT_VARIABLE result OUTPUT_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "Usage:")
    message(FATAL_ERROR "--help failed (${result}): ${output}")
endif()
