# `make package` (the `package` target) builds lumatick_<version>-<release>_<arch>.deb in the
# build folder. The dependencies come from the binary's shared libraries (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumatick)
set(CPACK_PACKAGE_VENDOR Brightlet)
set(CPACK_PACKAGE_CONTACT "Brightlet <packages@brightlet.example>")
# No Homepage field: the project has no published web site, and a dead link helps nobody.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Folders made by the install get 0755 whatever the builder's umask; lintian rejects others.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen-time counter for the desktop panel")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Lumatick shows in the desktop panel how long you have actively used the
computer today, in green, yellow or red as the day crosses two thresholds.
Time counts only while you are present: display awake, screen unlocked and,
when an idle timeout is set, recent keyboard or mouse input.
.
Each day is kept as one local record, from which come yesterday's total, a
seven-day average, goal streaks, summary notifications, break reminders and a
CSV export. A command line reports the status for scripts and status bars.]=])
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# data/debian/changelog's top entry names this version and release (package.installTree checks).
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# `make package_source`: the sources alone, without build folders or Git's data.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build[^/]*/")

include(CPack)
