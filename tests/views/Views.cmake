# Every view, offscreen, over the real presentation models and in-memory desktop services.
lumatick_add_tests(views_tests WIDGETS
    SOURCES
        models/AnsweringChooser.h
        views/DropdownViewTest.cpp
        views/Find.h
        views/HistoryViewTest.cpp
        views/OnboardingViewTest.cpp
        views/SettingsViewTest.cpp
    LIBRARIES lumatick_views lumatick_platform_fake SQLite::SQLite3)
target_include_directories(views_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/../models
    ${CMAKE_CURRENT_LIST_DIR}/../core)
