# Idle time from Wayland compositors that offer ext-idle-notify (KWin, wlroots), over our own
# wayland-client connection. The protocol glue is generated from the system's protocol XML,
# so it always matches the installed wayland-protocols.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR)
    message(FATAL_ERROR "pkg-config does not know wayland-protocols (package wayland-protocols)")
endif()
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)

# Only v1 is installed on Debian 12; v2 (get_input_idle_notification, which ignores idle
# inhibitors) would need its XML kept in the repository.
set(LUMATICK_IDLE_NOTIFY_XML ${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
set(LUMATICK_WAYLAND_GENERATED ${CMAKE_CURRENT_BINARY_DIR}/wayland-generated)
set(LUMATICK_IDLE_NOTIFY_OUTPUTS
    ${LUMATICK_WAYLAND_GENERATED}/ext-idle-notify-v1-client-protocol.h
    ${LUMATICK_WAYLAND_GENERATED}/ext-idle-notify-v1-server-protocol.h
    ${LUMATICK_WAYLAND_GENERATED}/ext-idle-notify-v1-protocol.c)
add_custom_command(
    OUTPUT ${LUMATICK_IDLE_NOTIFY_OUTPUTS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMATICK_WAYLAND_GENERATED}
    COMMAND ${WAYLAND_SCANNER} client-header ${LUMATICK_IDLE_NOTIFY_XML}
            ${LUMATICK_WAYLAND_GENERATED}/ext-idle-notify-v1-client-protocol.h
    COMMAND ${WAYLAND_SCANNER} server-header ${LUMATICK_IDLE_NOTIFY_XML}
            ${LUMATICK_WAYLAND_GENERATED}/ext-idle-notify-v1-server-protocol.h
    COMMAND ${WAYLAND_SCANNER} private-code ${LUMATICK_IDLE_NOTIFY_XML}
            ${LUMATICK_WAYLAND_GENERATED}/ext-idle-notify-v1-protocol.c
    DEPENDS ${LUMATICK_IDLE_NOTIFY_XML}
    COMMENT "Generating ext-idle-notify-v1 protocol code"
    VERBATIM)

# The generated interface tables are C, shared by our client and the fake compositor of the
# tests (which also takes the server header from here). Its headers are marked SYSTEM because
# their inline wrappers use C casts that our C++ warning flags would report.
enable_language(C)
add_library(lumatick_wayland_protocols STATIC ${LUMATICK_IDLE_NOTIFY_OUTPUTS})
set_target_properties(lumatick_wayland_protocols PROPERTIES AUTOMOC OFF)
target_include_directories(lumatick_wayland_protocols SYSTEM PUBLIC ${LUMATICK_WAYLAND_GENERATED})

target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WaylandIdleTimeSource.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandIdleTimeSource.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandLogging.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandLogging.h
)
target_link_libraries(lumatick_platform_linux PRIVATE lumatick_wayland_protocols PkgConfig::WAYLAND_CLIENT)
