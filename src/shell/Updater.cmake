# Software updates: the update controls of the settings window over an updater that reads the
# update feed with Qt Network. The feed address is fixed at build time; distribution packages
# leave it empty, and then the application never makes a network request.
set(LUMATICK_FEED_URL "" CACHE STRING "Address (https) of the update feed; empty turns update checks off")
configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildConfiguration.h.in
    ${CMAKE_CURRENT_BINARY_DIR}/generated/BuildConfiguration.h @ONLY)
target_include_directories(lumatick_shell PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_sources(lumatick_shell PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/Appcast.cpp ${CMAKE_CURRENT_LIST_DIR}/Appcast.h
    ${CMAKE_CURRENT_LIST_DIR}/AppcastItem.h
    ${CMAKE_CURRENT_LIST_DIR}/AppcastUpdater.cpp ${CMAKE_CURRENT_LIST_DIR}/AppcastUpdater.h
    ${CMAKE_CURRENT_LIST_DIR}/BundleInformation.cpp ${CMAKE_CURRENT_LIST_DIR}/BundleInformation.h
    ${CMAKE_CURRENT_LIST_DIR}/MessageBoxUpdateAlerts.cpp ${CMAKE_CURRENT_LIST_DIR}/MessageBoxUpdateAlerts.h
    ${CMAKE_CURRENT_LIST_DIR}/NetworkAccess.cpp ${CMAKE_CURRENT_LIST_DIR}/NetworkAccess.h
    ${CMAKE_CURRENT_LIST_DIR}/UpdateAlerts.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdateAlerts.h
    ${CMAKE_CURRENT_LIST_DIR}/UpdateDownloader.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdateDownloader.h
    ${CMAKE_CURRENT_LIST_DIR}/UpdateUrlPolicy.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdateUrlPolicy.h
    ${CMAKE_CURRENT_LIST_DIR}/Updater.h
    ${CMAKE_CURRENT_LIST_DIR}/UpdaterController.cpp ${CMAKE_CURRENT_LIST_DIR}/UpdaterController.h
)
target_link_libraries(lumatick_shell PUBLIC lumatick_views lumatick_notifications Qt6::Network Qt6::Widgets)
