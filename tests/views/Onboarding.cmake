lumatick_add_tests(onboarding_view_tests WIDGETS
    SOURCES views/OnboardingViewTest.cpp
    LIBRARIES lumatick_views)
target_compile_definitions(onboarding_view_tests PRIVATE LUMATICK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
