// Test entry: an offscreen application, a private runtime folder, no message box ever shown.
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime(QDir::tempPath() + QStringLiteral("/vantrel-test-XXXXXX"));
    QFile::setPermissions(runtime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    // No test reaches the desktop's session bus (a notification-area icon would appear there).
    qputenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + runtime.path() + "/no-bus").toUtf8());
    // Settings and skins live under a private home for the whole run.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/vantrel-home-XXXXXX"));
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toUtf8());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new vtest::RecordingEnvironment());
    return RUN_ALL_TESTS();
}
