# What `cmake --install` (and so the .deb) puts on a system: installed into a scratch DESTDIR
# once, then checked by the desktop's own validators where they are installed.
set(LUMATICK_PACKAGE_ROOT ${CMAKE_CURRENT_BINARY_DIR}/package-root)
set(LUMATICK_PACKAGE_SHARE ${LUMATICK_PACKAGE_ROOT}/usr/share)

add_test(NAME package.install
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DDESTDIR=${LUMATICK_PACKAGE_ROOT}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/package/Install.cmake)
set_tests_properties(package.install PROPERTIES FIXTURES_SETUP lumatick_package_root)

add_test(NAME package.installTree
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DDESTDIR=${LUMATICK_PACKAGE_ROOT}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/package/InstallTree.cmake)
set_tests_properties(package.installTree PROPERTIES FIXTURES_REQUIRED lumatick_package_root)

# name, validator program, its arguments joined by |, the installed file, FAIL_ON_STDERR
function(lumatick_add_package_validation name program arguments file fail_on_stderr)
    find_program(LUMATICK_${name}_PROGRAM ${program})
    add_test(NAME package.${name}
        COMMAND ${CMAKE_COMMAND} -DPROGRAM=${LUMATICK_${name}_PROGRAM} -DPROGRAM_NAME=${program}
                -DARGUMENTS=${arguments} -DFILE=${file} -DFAIL_ON_STDERR=${fail_on_stderr}
                -P ${CMAKE_CURRENT_SOURCE_DIR}/package/Validate.cmake)
    set_tests_properties(package.${name} PROPERTIES
        FIXTURES_REQUIRED lumatick_package_root
        SKIP_REGULAR_EXPRESSION "is not installed; skipped"
        ENVIRONMENT "${LUMATICK_TEST_ENVIRONMENT}")
endfunction()

lumatick_add_package_validation(desktopEntry desktop-file-validate ""
    ${LUMATICK_PACKAGE_SHARE}/applications/lumatick.desktop OFF)
lumatick_add_package_validation(metainfo appstreamcli "validate|--no-net"
    ${LUMATICK_PACKAGE_SHARE}/metainfo/com.brightlet.Lumatick.metainfo.xml OFF)
# man reports roff mistakes (unknown macros, lines it cannot fit) only as warnings on stderr.
lumatick_add_package_validation(manPage man "--warnings|-E|UTF-8|-l|-Tutf8|-Z"
    ${LUMATICK_PACKAGE_SHARE}/man/man1/lumatick.1.gz ON)
# The GNOME 45+ form of the shell extension loads as an ES module, on the shell's own toolkit
# (mutter's Clutter, gnome-shell's St) where those are installed.
file(GLOB shell_typelib_dirs /usr/lib/*/mutter-* /usr/lib/gnome-shell)
list(JOIN shell_typelib_dirs ":" shell_typelib_path)
lumatick_add_package_validation(gnomeExtensionModule gjs "-m|${CMAKE_CURRENT_SOURCE_DIR}/package/LoadGnomeExtension.js"
    ${LUMATICK_GNOME_EXTENSION_DIR}/modules/extension.js OFF)
set_property(TEST package.gnomeExtensionModule APPEND PROPERTY ENVIRONMENT
    "GI_TYPELIB_PATH=${shell_typelib_path}" "LD_LIBRARY_PATH=${shell_typelib_path}")
