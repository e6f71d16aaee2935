lumatick_add_tests(views_tests WIDGETS
    SOURCES views/DropdownViewTest.cpp
    LIBRARIES lumatick_views)
target_compile_definitions(views_tests PRIVATE LUMATICK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
