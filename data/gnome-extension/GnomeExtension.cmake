# Our GNOME Shell extension, from one source (lumatick.js) in two forms: GNOME 43 and 44 load
# scripts that use imports.* and init(); GNOME 45 and later load ES modules with a default
# exported Extension class. Both forms are generated into the build tree (the module form is
# loaded by a test); the one installed as extension.js matches the gnome-shell found at
# configure time, 43/44 when none is found (Debian 12).
set(gnome_extension_uuid lumatick@brightlet.com)
set(gnome_extension_source ${CMAKE_CURRENT_LIST_DIR})
set(LUMATICK_GNOME_EXTENSION_DIR ${CMAKE_CURRENT_BINARY_DIR}/gnome-extension CACHE INTERNAL "")

find_program(GNOME_SHELL_EXECUTABLE gnome-shell)
set(detected_form legacy)
if(GNOME_SHELL_EXECUTABLE)
    execute_process(COMMAND ${GNOME_SHELL_EXECUTABLE} --version OUTPUT_VARIABLE shell_version
        ERROR_QUIET RESULT_VARIABLE shell_result)
    if(shell_result EQUAL 0 AND shell_version MATCHES "([0-9]+)\\." AND CMAKE_MATCH_1 GREATER_EQUAL 45)
        set(detected_form modules)
    endif()
endif()
set(LUMATICK_GNOME_SHELL_FORM ${detected_form} CACHE STRING
    "Form of the GNOME Shell extension to install: legacy (GNOME 43/44) or modules (GNOME 45+)")
set_property(CACHE LUMATICK_GNOME_SHELL_FORM PROPERTY STRINGS legacy modules)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${gnome_extension_source}/lumatick.js)
file(READ ${gnome_extension_source}/lumatick.js gnome_extension_body)
foreach(form legacy modules)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${gnome_extension_source}/${form}-head.js ${gnome_extension_source}/${form}-tail.js)
    file(READ ${gnome_extension_source}/${form}-head.js head)
    file(READ ${gnome_extension_source}/${form}-tail.js tail)
    file(GENERATE OUTPUT ${LUMATICK_GNOME_EXTENSION_DIR}/${form}/extension.js
        CONTENT "${head}${gnome_extension_body}${tail}")
    configure_file(${gnome_extension_source}/metadata.json ${LUMATICK_GNOME_EXTENSION_DIR}/${form}/metadata.json
        COPYONLY)
endforeach()

install(FILES ${LUMATICK_GNOME_EXTENSION_DIR}/${LUMATICK_GNOME_SHELL_FORM}/metadata.json
    ${LUMATICK_GNOME_EXTENSION_DIR}/${LUMATICK_GNOME_SHELL_FORM}/extension.js
    DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions/${gnome_extension_uuid})
