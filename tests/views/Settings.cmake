lumatick_add_tests(settings_view_tests WIDGETS
    SOURCES
        views/FakeUpdateControls.h
        views/SettingsFormTest.cpp
        views/SettingsScreenshotTest.cpp
        views/SettingsViewFixture.h
        views/ShortcutRecordingTest.cpp
    LIBRARIES lumatick_views lumatick_platform_fake)
target_compile_definitions(settings_view_tests PRIVATE LUMATICK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
target_include_directories(settings_view_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
