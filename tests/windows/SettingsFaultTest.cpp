// The bar's save at close under faults: a disk that takes no more bytes, a write cut before the
// new file replaces the old one. The bar stays open, says what failed, and the file keeps the
// values of the last save that went through.
#include "TestSupport.h"
#include "app/Unit1.h"
#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// While it lives, no file of this process may grow past a few bytes and a write past that
// fails with EFBIG instead of killing the process: the disk is full as far as the bar can tell.
class FullDisk {
public:
    FullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &Saved);
        OldHandler = ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, Saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &Saved);
        ::signal(SIGXFSZ, OldHandler);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

private:
    rlimit Saved{};
    sighandler_t OldHandler = SIG_DFL;
};

class SettingsFaults : public vtest::WindowsTest {
protected:
    QString File() const { return SettingsFolder() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }
    QByteArray Stored() const {
        QFile f(File());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Leftovers() const {
        return QDir(SettingsFolder())
            .entryList({QStringLiteral(".HKEY*")}, QDir::Files | QDir::Hidden);
    }
    // Quits as the menu does; true when the bar closed.
    bool Quit() {
        Vantrel->show();
        Vantrel->Quit1Click();
        return !Vantrel->isVisible();
    }
};

TEST_F(SettingsFaults, AFullDiskKeepsTheBarOpenAndTheLastSavedValues) {
    Vantrel->Place({10, 20});
    ASSERT_TRUE(Quit());
    const QByteArray saved = Stored();
    ASSERT_TRUE(saved.contains("\"Top\"=\"20\"\n\"Left\"=\"10\"\n"));

    Vantrel->Place({30, 40});
    Vantrel->BarPrefs.Scheme = QStringLiteral("blue");
    {
        FullDisk full;
        EXPECT_FALSE(Quit());
    }
    EXPECT_EQ(vtest::Errors(), QStringList{QStringLiteral("Failed to set data for 'Top'")});
    EXPECT_EQ(Stored(), saved);
    EXPECT_EQ(Leftovers(), QStringList());

    // Room again: the next Quit saves every value and closes.
    vtest::Errors().clear();
    EXPECT_TRUE(Quit());
    EXPECT_TRUE(vtest::Errors().isEmpty());
    Restart();
    EXPECT_EQ(Vantrel->pos(), QPoint(30, 40));
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, QStringLiteral("blue"));
}

TEST_F(SettingsFaults, ASaveKilledBeforeTheReplaceLeavesTheLastSavedValues) {
    Vantrel->Place({10, 20});
    ASSERT_TRUE(Quit());
    const QByteArray saved = Stored();
    Vantrel->Place({30, 40});
    // A copy of the program killed in the middle of its save, between writing the new file and
    // putting it in place.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Settings.AtStep = [](platform::RegWriteStep step) {
            if (step == platform::RegWriteStep::TempWritten) ::raise(SIGKILL);
        };
        Vantrel->writeprefs();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Stored(), saved);
    // Started again, the bar is where the last save put it, and its next save cleans up.
    Restart();
    EXPECT_EQ(Vantrel->pos(), QPoint(10, 20));
    EXPECT_TRUE(Quit());
    EXPECT_EQ(Leftovers(), QStringList());
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

} // namespace
