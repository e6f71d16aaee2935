# The content of the history window: its two bar charts, range pickers, streaks and CSV export.
target_sources(lumatick_views PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BarAccessible.cpp ${CMAKE_CURRENT_LIST_DIR}/BarAccessible.h
    ${CMAKE_CURRENT_LIST_DIR}/BarChartAccessible.cpp ${CMAKE_CURRENT_LIST_DIR}/BarChartAccessible.h
    ${CMAKE_CURRENT_LIST_DIR}/BarChartView.cpp ${CMAKE_CURRENT_LIST_DIR}/BarChartView.h
    ${CMAKE_CURRENT_LIST_DIR}/CsvSaveDialog.cpp ${CMAKE_CURRENT_LIST_DIR}/CsvSaveDialog.h
    ${CMAKE_CURRENT_LIST_DIR}/DailyRange.h
    ${CMAKE_CURRENT_LIST_DIR}/HistoryView.cpp ${CMAKE_CURRENT_LIST_DIR}/HistoryView.h
    ${CMAKE_CURRENT_LIST_DIR}/MonthlyRange.h
    ${CMAKE_CURRENT_LIST_DIR}/SegmentedControl.cpp ${CMAKE_CURRENT_LIST_DIR}/SegmentedControl.h
)
target_link_libraries(lumatick_views PUBLIC Qt6::Charts)
