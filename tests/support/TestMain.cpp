#include <QTemporaryDir>

#ifdef LUMATICK_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <gtest/gtest.h>

#include <cstdio>

// Every test binary gets a private HOME and XDG directories, so no test reads or writes the
// user's real preferences or records, and binaries never see each other's files.
int main(int argc, char** argv)
{
    QTemporaryDir sandbox;
    if (!sandbox.isValid()) {
        std::fprintf(stderr, "cannot create a temporary directory for the test sandbox\n");
        return 1;
    }
    const QByteArray root = sandbox.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");
    qputenv("XDG_STATE_HOME", root + "/state");
#ifdef LUMATICK_TEST_WIDGETS
    // Test discovery runs the binary without the test environment, and a widget test must
    // never open windows on a developer's display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif

    TestApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brightlet"));
    QCoreApplication::setApplicationName(QStringLiteral("Lumatick"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
