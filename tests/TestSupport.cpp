// Shared test support.
#include "TestSupport.h"

#include "core/VError.h"
#include "platform/ErrorReport.h"
#include "platform/Locale.h"
#include "platform/Registry.h"
#include "platform/Screen.h"

#include <QApplication>
#include <QCoreApplication>

namespace vtest {

QStringList& Errors() {
    static QStringList errors;
    return errors;
}

RecordingShell& Shell() {
    static RecordingShell shell;
    return shell;
}

bool RecordingShell::NotifyIcon(uint32_t message, const platform::NOTIFYICONDATAA& data) {
    Calls.push_back({message, data});
    return true;
}

void RecordingEnvironment::SetUp() {
    platform::SetNotifyShell(&Shell());
    platform::SetErrorReporter([](const QString& text) { Errors().append(text); });
    platform::SetThousandSeparator(u',');
}

platform::MemoryStatus FakeMemory::Query() {
    ++Queries;
    if (Fail) throw VantrelError(QStringLiteral("memory status not available"));
    return Status;
}

void WindowsTest::SetUp() {
    Errors().clear();
    platform::SetScreenSize(QSize(1024, 768));
    platform::SetMemorySource(&Memory);
    platform::SetRegistryFolder(SettingsFolder());
    ResetGlobals();
    CreateForms();
    // The tests reach the dialog and the about box directly.
    PrefsDialog();
    AboutBox();
    // What start-up leaves for the loop (the notification-area icon).
    QCoreApplication::processEvents();
}

void WindowsTest::TearDown() {
    DestroyForms();
    platform::SetMemorySource(nullptr);
    platform::SetScreenSize(QSize());
    platform::SetRegistryFolder(QString());
    QApplication::processEvents();
}

void WindowsTest::Restart() {
    DestroyForms();
    ResetGlobals();
    CreateForms();
    PrefsDialog();
    AboutBox();
    QCoreApplication::processEvents();
}

} // namespace vtest
