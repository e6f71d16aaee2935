# Checks what a desktop looks up in the tree that Install.cmake put into DESTDIR: the binary,
# the entry's Exec and Icon, every icon size, the metadata's launchable, and the manual page
# and changelog in the form Debian requires.
set(usr ${DESTDIR}/usr)
set(share ${usr}/share)

# Macros, so that every check adds to the one list of problems.
macro(complain text)
    string(APPEND problems "\n  ${text}")
endmacro()

# Reads path into content, or complains that it is missing.
macro(read_required path content)
    set(${content} "")
    if(EXISTS ${path})
        file(READ ${path} ${content} ${ARGN})
    else()
        complain("missing ${path}")
    endif()
endmacro()

# The package's version as CPack builds it; the binary and the changelog must agree with it.
include(${BUILD_DIR}/CPackConfig.cmake)
execute_process(COMMAND ${usr}/bin/lumatick --version OUTPUT_VARIABLE version RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT version STREQUAL "lumatick ${CPACK_PACKAGE_VERSION}\n")
    complain("installed lumatick --version answers \"${version}\" (exit ${result})")
endif()
# The commands that ask the counter load the bus module from the package's private directory.
execute_process(COMMAND ${CMAKE_COMMAND} -E env DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
    ${usr}/bin/lumatick ctl pause ERROR_VARIABLE complaint)
if(complaint MATCHES "cannot be reached")
    complain("installed lumatick ctl: ${complaint}")
endif()

read_required(${share}/applications/lumatick.desktop desktop)
string(REGEX MATCH "\nExec=([^\n]*)" exec "\n${desktop}")
if(NOT EXISTS ${usr}/bin/${CMAKE_MATCH_1})
    complain("the desktop entry starts \"${CMAKE_MATCH_1}\", which is not in ${usr}/bin")
endif()
if(NOT desktop MATCHES "\nIcon=lumatick\n")
    complain("the desktop entry does not show the installed icon lumatick")
endif()

read_required(${share}/metainfo/com.brightlet.Lumatick.metainfo.xml metadata)
if(NOT metadata MATCHES "<id>com.brightlet.Lumatick</id>")
    complain("the metadata's id does not match its file name")
endif()
string(REGEX MATCH "<launchable type=\"desktop-id\">([^<]*)</launchable>" launchable "${metadata}")
if(NOT EXISTS ${share}/applications/${CMAKE_MATCH_1})
    complain("the metadata launches \"${CMAKE_MATCH_1}\", which is not installed")
endif()

read_required(${share}/gnome-shell/extensions/lumatick@brightlet.com/metadata.json extension)
read_required(${share}/gnome-shell/extensions/lumatick@brightlet.com/extension.js extension)

# Each PNG's IHDR chunk, after the 8-byte signature, holds its width and height.
read_required(${share}/icons/hicolor/scalable/apps/lumatick.svg svg)
foreach(size 16 22 24 32 48 64 128 256)
    set(png ${share}/icons/hicolor/${size}x${size}/apps/lumatick.png)
    read_required(${png} header HEX LIMIT 24)
    string(REGEX MATCH "^89504e470d0a1a0a........49484452(........)(........)$" ihdr "${header}")
    math(EXPR width "0x0${CMAKE_MATCH_1}")
    math(EXPR height "0x0${CMAKE_MATCH_2}")
    if(NOT ihdr OR NOT "${width}x${height}" STREQUAL "${size}x${size}")
        complain("${png} is not a ${size}x${size} PNG")
    endif()
endforeach()

# gzip -n leaves the header's modification time at zero, which reproducible packages need.
read_required(${share}/doc/lumatick/copyright copyright)
foreach(gzip man/man1/lumatick.1.gz doc/lumatick/changelog.Debian.gz)
    read_required(${share}/${gzip} header HEX LIMIT 8)
    if(NOT header MATCHES "^1f8b08..00000000$")
        complain("${share}/${gzip} is not gzip without a time stamp (${header})")
    endif()
endforeach()
set(debian_version ${CPACK_PACKAGE_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
execute_process(COMMAND gzip -dc ${share}/doc/lumatick/changelog.Debian.gz OUTPUT_VARIABLE entries)
if(NOT entries MATCHES "^lumatick \\(${debian_version}\\) ")
    string(REGEX MATCH "^[^\n]*" top "${entries}")
    complain("the changelog's top entry \"${top}\" is not version ${debian_version}")
endif()

if(problems)
    message(FATAL_ERROR "The installed tree in ${DESTDIR} is incomplete:${problems}")
endif()
