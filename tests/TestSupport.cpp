// Shared test support.
#include "TestSupport.h"

#include "core/VError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

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

platform::MemoryStatus FakeMemory::Query() {
    ++Queries;
    if (Fail) throw VantrelError(QStringLiteral("memory status not available"));
    return Status;
}

void WindowsTest::SetUp() {
    Errors().clear();
    CreateForms();
    // The tests reach the details window, the dialog and the about box directly.
    DetailsWindow();
    PrefsDialog();
    AboutBox();
    // What start-up leaves for the loop (the notification-area icon).
    QCoreApplication::processEvents();
}

void WindowsTest::CheckErrorBoxes() const {
    if (ErrorBoxesExpected || Errors().isEmpty()) return;
    ADD_FAILURE() << "unexpected error box: " << Errors().join(QStringLiteral(" | ")).toStdString();
}

void WindowsTest::TearDown() {
    // The boxes the windows raise while closing count too.
    DestroyForms();
    CheckErrorBoxes();
    QApplication::processEvents();
    // A bar that closed asked the application to quit, and until the application's own loop has
    // run, every modal loop after that (the dialogs of the tests that follow) returns at once.
    // Its run ends with that request cleared.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

void WindowsTest::Restart() {
    DestroyForms();
    CreateForms();
    DetailsWindow();
    PrefsDialog();
    AboutBox();
    QCoreApplication::processEvents();
}

} // namespace vtest
