lumatick_add_tests(history_view_tests WIDGETS
    SOURCES
        models/ChartHoursTextTest.cpp
        views/BarChartViewTest.cpp
        views/HistoryViewTest.cpp
    LIBRARIES lumatick_views SQLite::SQLite3)
target_compile_definitions(history_view_tests PRIVATE LUMATICK_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
