# SIGTERM, SIGINT and SIGHUP delivered into the event loop, so termination saves like a normal
# quit, and a save when a library ends the process with exit();
# the end of whoever reads a command's output; and the command line becoming the panel. A
# library of its own, which the command line links without the desktop services.
add_library(lumatick_platform_process STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ExitHook.cpp ${CMAKE_CURRENT_LIST_DIR}/ExitHook.h
    ${CMAKE_CURRENT_LIST_DIR}/PipeReaderWatcher.cpp ${CMAKE_CURRENT_LIST_DIR}/PipeReaderWatcher.h
    ${CMAKE_CURRENT_LIST_DIR}/ProcessImage.cpp ${CMAKE_CURRENT_LIST_DIR}/ProcessImage.h
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h
)
target_include_directories(lumatick_platform_process PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lumatick_platform_process PUBLIC Qt6::Core)
lumatick_target_defaults(lumatick_platform_process)
target_link_libraries(lumatick_platform_linux PUBLIC lumatick_platform_process)
