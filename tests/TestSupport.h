// Shared test support: recorded error reports, a memory source with fixed figures, and a fixture
// that creates the four windows as the program does.
#pragma once

#include "app/Globals.h"
#include "platform/MemoryStatus.h"
#include "platform/Shell.h"

#include <QSize>
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

class RecordingEnvironment : public testing::Environment {
public:
    void SetUp() override;
};

// A memory source that answers with whatever the test sets.
class FakeMemory : public platform::MemorySource {
public:
    platform::MemoryStatus Status{268435456, 100663296};
    int Queries = 0;
    bool Fail = false;
    platform::MemoryStatus Query() override;
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

// Creates the windows with fake memory figures on a 1024 x 768 screen and an empty settings store
// of its own, and destroys them after.
class WindowsTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Destroys and creates the windows again (a program restart).
    void Restart();

    FakeMemory Memory;
    // The settings store of this test (not created until something is written).
    QTemporaryDir SettingsHome;
    QString SettingsFolder() const { return SettingsHome.path() + QStringLiteral("/vantrel"); }
};

} // namespace vtest
