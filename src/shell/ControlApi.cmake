# The names on the bus and the client side of the control object, which the command line uses
# without linking any window code.
add_library(lumatick_control STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ApplicationIdentity.cpp ${CMAKE_CURRENT_LIST_DIR}/ApplicationIdentity.h
    ${CMAKE_CURRENT_LIST_DIR}/ControlClient.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlClient.h
)
target_include_directories(lumatick_control PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(lumatick_control PUBLIC Qt6::Core Qt6::DBus)
lumatick_target_defaults(lumatick_control)

# The control object on the session bus and the single-instance hand-over.
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ControlAdaptor.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlAdaptor.h
    ${CMAKE_CURRENT_LIST_DIR}/ControlService.cpp ${CMAKE_CURRENT_LIST_DIR}/ControlService.h
    ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.cpp ${CMAKE_CURRENT_LIST_DIR}/SingleInstance.h
)
