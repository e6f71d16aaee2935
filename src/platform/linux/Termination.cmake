# SIGTERM and SIGINT delivered into the event loop, so termination saves like a normal quit.
target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.h
)
