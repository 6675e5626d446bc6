// The bar's settings: read at start, written at close, and what happens when either goes wrong.
#include "BmpSupport.h"
#include "TestSupport.h"
#include "app/CloseRequests.h"
#include "app/Unit1.h"
#include "platform/Registry.h"
#include "windows/Unit2.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>

namespace {

const QByteArray Header("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n");

class Settings : public vtest::WindowsTest {
protected:
    QString File() const { return SettingsFolder() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }
    void Store(const QByteArray& bytes) { vtest::WriteFile(File(), bytes); }
    QByteArray Stored() const { return vtest::ReadFile(File()); }
    // Starts the program again on these stored values.
    void StartWith(const QByteArray& values) {
        Store(Header + values);
        Restart();
    }
};

TEST_F(Settings, FirstRunDefaultsOnA1024PixelScreen) {
    EXPECT_EQ(Vantrel->Top(), 0);
    EXPECT_EQ(Vantrel->Left(), 424);
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500);
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 0);
    EXPECT_EQ(Vantrel->BarPrefs.NoMove, 0);
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 1);
    EXPECT_EQ(Vantrel->BarPrefs.FixPos, 0);
    EXPECT_EQ(Vantrel->BarPrefs.BarTip, 0);
    EXPECT_EQ(Vantrel->BarPrefs.Dir, QString());
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, QStringLiteral("<none>"));
    EXPECT_FALSE(Vantrel->StaysOnTop());
    EXPECT_FALSE(Vantrel->ShowHint);
    EXPECT_TRUE(Vantrel->SuperTimer1->isActive());
    EXPECT_EQ(Vantrel->SuperTimer1->interval(), 1500);
    EXPECT_TRUE(vtest::Errors().isEmpty());
    EXPECT_FALSE(QFile::exists(File())); // reading creates nothing
}

TEST_F(Settings, StoredValuesAreAppliedAtStartAsTheyAre) {
    StartWith("\"Top\"=\"100\"\n\"Left\"=\"-40\"\n\"Aot\"=\"1\"\n\"TimerDelay\"=\"250\"\n"
              "\"NoMove\"=\"2\"\n\"BarPos\"=\"3\"\n\"FixPos\"=\"1\"\n\"Scheme\"=\"blue\"\n"
              "\"Dir\"=\"c:\\\\skins\\\\\"\n\"BarTip\"=\"1\"\n");
    EXPECT_EQ(Vantrel->Left(), -40); // partly off the screen, and no edge applied at start
    EXPECT_EQ(Vantrel->Top(), 100);
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 1);
    EXPECT_TRUE(Vantrel->StaysOnTop());
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 250);
    EXPECT_EQ(Vantrel->SuperTimer1->interval(), 250);
    EXPECT_EQ(Vantrel->BarPrefs.NoMove, 2);
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 3);
    EXPECT_EQ(Vantrel->BarPrefs.FixPos, 1);
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, QStringLiteral("blue"));
    EXPECT_EQ(Vantrel->BarPrefs.Dir, QStringLiteral("c:\\skins\\"));
    EXPECT_EQ(Vantrel->BarPrefs.BarTip, 1);
    EXPECT_TRUE(Vantrel->ShowHint);
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

TEST_F(Settings, IntegerTextsFollowTheSyntax) {
    const struct {
        const char* stored;
        int32_t delay;
    } cases[] = {{"abc", 1500}, {" 250", 250}, {"250 ", 1500}, {"$3E8", 1000},
                 {"0", 0},      {"-5", -5},    {"", 1500}};
    for (const auto& c : cases) {
        StartWith(QByteArray("\"TimerDelay\"=\"") + c.stored + "\"\n");
        EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, c.delay) << c.stored;
        EXPECT_EQ(Vantrel->SuperTimer1->isActive(), c.delay > 0) << c.stored;
    }
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

// A stored delay of 0 leaves the timer switched on but still; OK and Apply store at least 1 and
// set it as the interval, and the bar samples again.
TEST_F(Settings, ABarStartedWithoutADelayTicksAgainAfterOkOrApply) {
    for (const bool ok : {false, true}) {
        StartWith("\"TimerDelay\"=\"0\"\n");
        ASSERT_FALSE(Vantrel->SuperTimer1->isActive());
        if (ok) {
            QTimer::singleShot(0, DPrefs, [] { DPrefs->Button1->click(); });
            Vantrel->Prefs1->trigger();
        } else {
            DPrefs->Button4->click();
        }
        EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1) << ok;
        EXPECT_TRUE(Vantrel->SuperTimer1->isActive()) << ok;
        const int queries = Memory.Queries;
        QTest::qWait(100);
        EXPECT_GT(Memory.Queries, queries) << ok;
    }
    EXPECT_TRUE(vtest::Errors().isEmpty()) << vtest::Errors().join(u'|').toStdString();
}

TEST_F(Settings, TheTooltipIsReadAsBartipAndWrittenAsBarTip) {
    for (const char* name : {"BarTip", "Bartip", "BARTIP"}) {
        StartWith(QByteArray("\"") + name + "\"=\"1\"\n");
        EXPECT_EQ(Vantrel->BarPrefs.BarTip, 1) << name;
        EXPECT_TRUE(Vantrel->ShowHint) << name;
    }
    StartWith("");
    Vantrel->BarPrefs.BarTip = 1;
    bool canClose = false;
    Vantrel->FormCloseQuery(canClose);
    EXPECT_TRUE(Stored().endsWith("\"BarTip\"=\"1\"\n"));
    Restart();
    EXPECT_TRUE(Vantrel->ShowHint);
}

TEST_F(Settings, CloseWritesAllTenValuesInOrderAndARestartReadsThemBack) {
    StartWith("\"Unknown\"=dword:00000001\n");
    Vantrel->Place({-40, 700});
    Vantrel->BarPrefs.Aot = 1;
    Vantrel->BarPrefs.TimerDelay = 300;
    Vantrel->BarPrefs.NoMove = 1;
    Vantrel->BarPrefs.BarPos = 4;
    Vantrel->BarPrefs.FixPos = 1;
    Vantrel->BarPrefs.Scheme = QStringLiteral("Grün \"x\"");
    Vantrel->BarPrefs.Dir = QStringLiteral("c:\\skins\\");
    Vantrel->BarPrefs.BarTip = 1;
    bool canClose = false;
    Vantrel->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(Stored().toStdString(),
              (Header + "\"Unknown\"=dword:00000001\n\"Top\"=\"700\"\n\"Left\"=\"-40\"\n"
                        "\"Aot\"=\"1\"\n\"TimerDelay\"=\"300\"\n\"NoMove\"=\"1\"\n"
                        "\"BarPos\"=\"4\"\n\"FixPos\"=\"1\"\n"
                        "\"Scheme\"=\"Gr\xC3\xBCn \\\"x\\\"\"\n"
                        "\"Dir\"=\"c:\\\\skins\\\\\"\n\"BarTip\"=\"1\"\n")
                  .toStdString());
    Restart();
    EXPECT_EQ(Vantrel->pos(), QPoint(-40, 700));
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 1);
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 300);
    EXPECT_EQ(Vantrel->BarPrefs.NoMove, 1);
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 4);
    EXPECT_EQ(Vantrel->BarPrefs.FixPos, 1);
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, QStringLiteral("Grün \"x\""));
    EXPECT_EQ(Vantrel->BarPrefs.Dir, QStringLiteral("c:\\skins\\"));
    EXPECT_EQ(Vantrel->BarPrefs.BarTip, 1);
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

TEST_F(Settings, ANonTextValueIsReportedAndTheRestStillRead) {
    ExpectErrorBoxes();
    // Stored as REG_DWORD: reported, its default taken, and the values after it still read, so
    // the next close does not overwrite them with zeros.
    StartWith("\"Scheme\"=\"blue\"\n\"TimerDelay\"=dword:000000fa\n\"Aot\"=\"1\"\n"
              "\"NoMove\"=\"1\"\n\"BarPos\"=\"2\"\n\"FixPos\"=\"1\"\n\"BarTip\"=\"1\"\n");
    ASSERT_EQ(vtest::Errors(), QStringList{QStringLiteral("Invalid data type for 'TimerDelay'")});
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, QStringLiteral("blue"));
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500);
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 1);
    EXPECT_EQ(Vantrel->BarPrefs.NoMove, 1);
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 2);
    EXPECT_EQ(Vantrel->BarPrefs.FixPos, 1);
    EXPECT_EQ(Vantrel->BarPrefs.BarTip, 1);
    // The rest of start-up ran: scheme pictures, timer, first drawing.
    EXPECT_TRUE(Vantrel->SuperTimer1->isActive());
    EXPECT_GT(Vantrel->MemFig.LastBarWidth, 0);

    bool canClose = false;
    Vantrel->FormCloseQuery(canClose);
    const QByteArray stored = Stored();
    EXPECT_TRUE(stored.contains("\"TimerDelay\"=\"1500\"\n"));
    EXPECT_TRUE(stored.contains("\"Scheme\"=\"blue\"\n"));
    EXPECT_TRUE(stored.contains("\"NoMove\"=\"1\"\n"));
}

TEST_F(Settings, ADamagedLineIsReportedOnceTheOthersUsedAndTheFileKeptAsideAtClose) {
    ExpectErrorBoxes();
    const QByteArray damaged =
        Header + "\"Top\"=\"55\" ; moved by me\n\"Left\"=\"30\"\n\"Scheme\"=\"blue\"\n";
    Store(damaged);
    Restart();
    ASSERT_EQ(vtest::Errors().size(), 1);
    EXPECT_TRUE(vtest::Errors()[0].contains(File()));
    EXPECT_TRUE(vtest::Errors()[0].contains(QStringLiteral("line 4")));
    EXPECT_EQ(Vantrel->pos(), QPoint(30, 0)); // the damaged Top is the default
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, QStringLiteral("blue"));
    EXPECT_TRUE(Vantrel->SuperTimer1->isActive());
    bool canClose = false;
    Vantrel->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_EQ(vtest::Errors().size(), 1);
    QFile aside(File() + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
    EXPECT_TRUE(Stored().contains("\"Left\"=\"30\"\n\"Scheme\"=\"blue\"\n\"Top\"=\"0\""));
    Restart();
    EXPECT_EQ(vtest::Errors().size(), 1); // the file written back is whole
}

TEST_F(Settings, AFailedSaveKeepsTheBarOpen) {
    ExpectErrorBoxes();
    const struct {
        bool folderIsAFile;
        const char* message;
    } cases[] = {{true, "Failed to create key Software\\Quillmoor\\Vantrel."}, // full stop added
                 {false, "Failed to set data for 'Top'"}};
    for (const auto& c : cases) {
        Restart();
        vtest::Errors().clear();
        QDir(SettingsFolder()).removeRecursively();
        QFile::remove(SettingsFolder());
        if (c.folderIsAFile) {
            QFile blocker(SettingsFolder());
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        } else {
            ASSERT_TRUE(QDir().mkpath(File())); // a folder where the file should be
        }
        Vantrel->show();
        Vantrel->Quit1Click();
        EXPECT_TRUE(Vantrel->isVisible()) << c.message;
        EXPECT_EQ(vtest::Errors().value(vtest::Errors().size() - 1), QString::fromUtf8(c.message));
    }
    QFile::remove(SettingsFolder());
    QDir(SettingsFolder()).removeRecursively();
    Vantrel->Quit1Click();
    EXPECT_FALSE(Vantrel->isVisible());
}

TEST_F(Settings, TerminationSignalsCloseAsQuitDoes) {
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) {
        Restart();
        QFile::remove(File());
        InstallCloseRequests();
        Vantrel->show();
        Vantrel->Place({12, 34});
        ::raise(sig);
        const QDeadlineTimer deadline(5000);
        while (Vantrel->isVisible() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        RemoveCloseRequests();
        EXPECT_FALSE(Vantrel->isVisible()) << sig;
        EXPECT_TRUE(Stored().contains("\"Top\"=\"34\"\n\"Left\"=\"12\"\n")) << sig;
    }
}

} // namespace
