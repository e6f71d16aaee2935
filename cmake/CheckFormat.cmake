# Fails when any C++ source differs from what clang-format (the repo's .clang-format) makes of it.
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h)
execute_process(
    COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources}
    RESULT_VARIABLE result
    ERROR_VARIABLE diagnostics)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format found unformatted code (run `make format`):\n${diagnostics}")
endif()
