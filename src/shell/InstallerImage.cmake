# The clean-up of the installer image the application was copied from.
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/InstallerImageCleanup.cpp ${CMAKE_CURRENT_LIST_DIR}/InstallerImageCleanup.h
    ${CMAKE_CURRENT_LIST_DIR}/XmlPropertyList.cpp ${CMAKE_CURRENT_LIST_DIR}/XmlPropertyList.h
)
