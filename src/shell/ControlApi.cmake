# The control object on the session bus, its client side and the single-instance hand-over.
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ControlAdaptor.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlAdaptor.h
    ${CMAKE_CURRENT_LIST_DIR}/ControlClient.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlClient.h
    ${CMAKE_CURRENT_LIST_DIR}/ControlService.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlService.h
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h
)
