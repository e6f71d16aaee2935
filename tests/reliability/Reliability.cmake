# The real binary disturbed the way a user's machine disturbs it: killed and terminated at
# random moments, its data folder made read-only, full or moved, its preferences garbled, its
# wall clock moved by libfaketime; and, on a private Xvfb with a stand-in panel watcher, what
# its status item shows. Each test starts its own private buses and sandboxed folders.
find_library(LUMATICK_FAKETIME_LIBRARY NAMES libfaketimeMT.so.1 libfaketime.so.1 PATH_SUFFIXES faketime)
if(NOT LUMATICK_FAKETIME_LIBRARY)
    message(STATUS "libfaketime not found: the clock tests of the reliability suite will skip")
    set(LUMATICK_FAKETIME_LIBRARY "")
endif()
# A sanitized binary refuses to start (or hangs) with libfaketime preloaded ahead of the
# sanitizer runtime, so the sanitizer pass leaves these scenarios to the regular pass.
set(LUMATICK_RELIABILITY_FAKETIME "${LUMATICK_FAKETIME_LIBRARY}")
if(LUMATICK_SANITIZE)
    set(LUMATICK_RELIABILITY_FAKETIME "")
endif()

lumatick_add_tests(reliability_tests
    SOURCES
        app/PanelEndToEndTest.cpp
        reliability/ClockTest.cpp
        reliability/SessionEndTest.cpp
        reliability/InterruptionTest.cpp
        reliability/LockedAtStartTest.cpp
        reliability/PreferencesFallbackTest.cpp
        reliability/ReliabilityTest.cpp reliability/ReliabilityTest.h
        reliability/SharedFolderTest.cpp
        reliability/SingleWriterTest.cpp
        reliability/StatusFollowTest.cpp
        reliability/StorageFaultTest.cpp
        support/XvfbServer.cpp support/XvfbServer.h
    LIBRARIES lumatick_core lumatick_shell_api lumatick_platform_linux lumatick_fake_status_notifier_watcher
        SQLite::SQLite3)
target_include_directories(reliability_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/reliability)
target_compile_definitions(reliability_tests PRIVATE
    LUMATICK_BINARY="$<TARGET_FILE:lumatick>"
    LUMATICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    LUMATICK_FAKETIME_LIBRARY="${LUMATICK_RELIABILITY_FAKETIME}")
add_dependencies(reliability_tests lumatick)
