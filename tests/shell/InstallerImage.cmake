# The installer-image clean-up against a stand-in disk-image utility (a shell script).
lumatick_add_tests(shell_installer_image_tests
    SOURCES shell/InstallerImageCleanupTest.cpp
    LIBRARIES lumatick_shell)
