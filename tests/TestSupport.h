// Shared test support: recorded error reports, a memory source with fixed figures, and a fixture
// that creates the four windows as the program does.
#pragma once

#include "FakeServices.h"
#include "app/Globals.h"
#include "platform/ErrorReport.h"
#include "platform/MemoryStatus.h"
#include "platform/Shell.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
#include <vector>

namespace vtest {

// Every error report of the run lands here instead of a message box.
QStringList& Errors();

class RecordedErrors : public platform::ErrorReport {
public:
    void Show(const QString& text) override { Errors().append(text); }
};

// A memory source that answers with whatever the test sets.
class FakeMemory : public platform::MemorySource {
public:
    platform::MemoryStatus Status{268435456, 100663296};
    int Queries = 0;
    bool Fail = false;
    platform::MemoryStatus Query() override;

private:
    platform::Replace<platform::MemorySource> InPlace{*this};
};

// The notification area of every test: each request is recorded, none reaches the desktop.
class RecordingShell : public platform::NotifyShell {
public:
    struct Call {
        uint32_t Message;
        platform::NOTIFYICONDATAA Data;
    };
    std::vector<Call> Calls;
    bool NotifyIcon(uint32_t message, const platform::NOTIFYICONDATAA& data) override;
};
RecordingShell& Shell();

// The whole run: errors recorded, the recording notification area, ',' between thousands.
class RecordingEnvironment : public testing::Environment {
    RecordedErrors Reports;
    platform::Replace<platform::ErrorReport> ReportsInPlace{Reports};
    platform::Replace<platform::NotifyShell> ShellInPlace{Shell()};
    CommaLocale Locale;
};

// Creates the windows with fake memory figures on a 1024 x 768 screen and an empty settings store
// of its own, and destroys them after. A test fails when an error box it did not expect was raised.
class WindowsTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Destroys and creates the windows again (a program restart).
    void Restart();
    // Says that this test raises error boxes and checks them itself (in Errors()).
    void ExpectErrorBoxes() { ErrorBoxesExpected = true; }
    // Fails the test when error boxes were raised that it did not say it expects.
    void CheckErrorBoxes() const;
    bool ErrorBoxesExpected = false;

    FakeMemory Memory;
    FixedScreens Screens{{QRect(0, 0, 1024, 768)}};
    // The settings store of this test (not created until something is written).
    QTemporaryDir SettingsHome;
    QString SettingsFolder() const { return SettingsHome.path() + QStringLiteral("/vantrel"); }
    PrivateSettings Settings{SettingsFolder()};
};

} // namespace vtest
