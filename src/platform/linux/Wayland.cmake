# Idle time (ext-idle-notify, KWin's idle) and display power (KWin's DPMS, wlroots' output power) from
# Wayland compositors, over our own wayland-client connections. The protocol glue is generated
# from the system's protocol XML where Debian packages it, so it matches the installed version.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
if(NOT WAYLAND_PROTOCOLS_DIR)
    message(FATAL_ERROR "pkg-config does not know wayland-protocols (package wayland-protocols)")
endif()
find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)

# KWin's idle (sway up to 1.7, KWin 5) and DPMS protocols, whose XML comes with
# plasma-wayland-protocols.
find_package(PlasmaWaylandProtocols REQUIRED)
if(NOT PLASMA_WAYLAND_PROTOCOLS_DIR)
    message(FATAL_ERROR "PlasmaWaylandProtocols gives no data directory (package plasma-wayland-protocols)")
endif()

set(LUMATICK_WAYLAND_GENERATED ${CMAKE_CURRENT_BINARY_DIR}/wayland-generated)
set(LUMATICK_WAYLAND_PROTOCOL_OUTPUTS)

# Generates the client header, the server header (for the fake compositors of the tests) and
# the interface tables of one protocol XML, named after basename.
function(lumatick_generate_wayland_protocol basename xml)
    set(outputs
        ${LUMATICK_WAYLAND_GENERATED}/${basename}-client-protocol.h
        ${LUMATICK_WAYLAND_GENERATED}/${basename}-server-protocol.h
        ${LUMATICK_WAYLAND_GENERATED}/${basename}-protocol.c)
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMATICK_WAYLAND_GENERATED}
        COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${LUMATICK_WAYLAND_GENERATED}/${basename}-client-protocol.h
        COMMAND ${WAYLAND_SCANNER} server-header ${xml} ${LUMATICK_WAYLAND_GENERATED}/${basename}-server-protocol.h
        COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${LUMATICK_WAYLAND_GENERATED}/${basename}-protocol.c
        DEPENDS ${xml}
        COMMENT "Generating ${basename} protocol code"
        VERBATIM)
    set(LUMATICK_WAYLAND_PROTOCOL_OUTPUTS ${LUMATICK_WAYLAND_PROTOCOL_OUTPUTS} ${outputs} PARENT_SCOPE)
endfunction()

# Only v1 is installed on Debian 12; v2 (get_input_idle_notification, which ignores idle
# inhibitors) would need its XML kept in the repository.
lumatick_generate_wayland_protocol(ext-idle-notify-v1
    ${WAYLAND_PROTOCOLS_DIR}/staging/ext-idle-notify/ext-idle-notify-v1.xml)
lumatick_generate_wayland_protocol(kde-idle ${PLASMA_WAYLAND_PROTOCOLS_DIR}/idle.xml)
lumatick_generate_wayland_protocol(kde-dpms ${PLASMA_WAYLAND_PROTOCOLS_DIR}/dpms.xml)
# Debian packages no wlroots protocol XML, so this one is kept in the repository.
lumatick_generate_wayland_protocol(wlr-output-power-management-unstable-v1
    ${CMAKE_CURRENT_LIST_DIR}/protocols/wlr-output-power-management-unstable-v1.xml)

# The generated interface tables are C, shared by our client and the fake compositor of the
# tests (which also takes the server header from here). Its headers are marked SYSTEM because
# their inline wrappers use C casts that our C++ warning flags would report.
enable_language(C)
add_library(lumatick_wayland_protocols STATIC ${LUMATICK_WAYLAND_PROTOCOL_OUTPUTS})
set_target_properties(lumatick_wayland_protocols PROPERTIES AUTOMOC OFF)
target_include_directories(lumatick_wayland_protocols SYSTEM PUBLIC ${LUMATICK_WAYLAND_GENERATED})

target_sources(lumatick_platform_linux PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WaylandConnection.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandConnection.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandDisplaySleepMonitor.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandDisplaySleepMonitor.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandIdleTimeSource.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandIdleTimeSource.h
    ${CMAKE_CURRENT_LIST_DIR}/WaylandLogging.cpp ${CMAKE_CURRENT_LIST_DIR}/WaylandLogging.h
)
target_link_libraries(lumatick_platform_linux PRIVATE lumatick_wayland_protocols PkgConfig::WAYLAND_CLIENT)
