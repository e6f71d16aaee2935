# SIGTERM and SIGINT delivered into the event loop, so termination saves like a normal quit;
# and the end of whoever reads a command's output.
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PipeReaderWatcher.cpp ${CMAKE_CURRENT_LIST_DIR}/PipeReaderWatcher.h
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h
)
