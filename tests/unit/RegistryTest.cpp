// The settings store: the file on disk, its four operations, damage, failures and atomic writes.
#include "platform/Registry.h"
#include "BmpSupport.h"
#include "RegSample.h"
#include "TestSupport.h"
#include "core/RegFile.h"
#include "core/VError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform;

const QString Key = QStringLiteral("Software\\Quillmoor\\Vantrel");
using vtest::EveryType;
using vtest::FullKey;

// Runs body(c) in `copies` processes at once, each one a copy of the program; every copy must
// report no failures.
void RunCopiesAtOnce(int copies, const std::function<int(int)>& body) {
    std::vector<pid_t> children;
    for (int c = 0; c < copies; ++c) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) _exit(body(c) ? 1 : 0);
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

class RegistryTest : public testing::Test {
protected:
    void SetUp() override {
        vtest::Errors().clear();
        Settings.emplace(Folder());
    }
    void TearDown() override { Settings.reset(); }
    QString Folder() const { return Home.path() + QStringLiteral("/config/vantrel"); }
    QString File() const { return Folder() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }
    void Store(const QByteArray& bytes) { vtest::WriteFile(File(), bytes); }
    QByteArray Stored() const { return vtest::ReadFile(File()); }
    QString InvalidType(const QString& name) {
        try {
            RegReadText(Key, name);
        } catch (const VantrelError& e) {
            return e.message();
        }
        return QString();
    }
    QString WriteFailure(const QString& name, const QString& text) {
        try {
            RegWriteString(Key, name, text);
        } catch (const VantrelError& e) {
            return e.message();
        }
        return QString();
    }

    QTemporaryDir Home;
    std::optional<vtest::PrivateSettings> Settings;
};

TEST_F(RegistryTest, ReadsTextMatchingNamesAndKeysWithoutCase) {
    Store("REGEDIT4\n\n[hkey_current_user\\software\\QUILLMOOR\\vantrel]\n"
          "\"BarTip\"=\"1\"\n\"Dir\"=\"c:\\\\skins\\\\\"\n\"Path\"=hex(2):25,48,25,00\n"
          "\"Nul\"=hex(1):61,00,62,00\n\"Zero\"=hex(1):\n\"Top\"=\"1\"\n\"TOP\"=\"2\"\n");
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Bartip")), QStringLiteral("1"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("dir")), QStringLiteral("c:\\skins\\"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Path")), QStringLiteral("%H%")); // not expanded
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Nul")), QStringLiteral("a"));    // to the first NUL
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Zero")), QString());
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("2")); // the last one wins
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Missing")), std::nullopt);
    EXPECT_EQ(RegReadText(QStringLiteral("Software\\Other"), QStringLiteral("Top")), std::nullopt);
    EXPECT_EQ(RegReadString(Key, QStringLiteral("Missing"), QStringLiteral("<none>")),
              QStringLiteral("<none>"));
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

TEST_F(RegistryTest, NoFileGivesDefaultsSilently) {
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), std::nullopt);
    Store("");
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), std::nullopt);
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

TEST_F(RegistryTest, NonTextTypesRaiseInvalidDataType) {
    Store("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"
          "\"TimerDelay\"=dword:000005dc\n\"Blob\"=hex:01\n\"Multi\"=hex(7):00,00\n");
    EXPECT_EQ(InvalidType(QStringLiteral("TimerDelay")),
              QStringLiteral("Invalid data type for 'TimerDelay'"));
    EXPECT_EQ(InvalidType(QStringLiteral("timerdelay")),
              QStringLiteral("Invalid data type for 'timerdelay'")); // the name as asked
    EXPECT_EQ(InvalidType(QStringLiteral("Blob")), QStringLiteral("Invalid data type for 'Blob'"));
    EXPECT_EQ(InvalidType(QStringLiteral("Multi")),
              QStringLiteral("Invalid data type for 'Multi'"));
}

TEST_F(RegistryTest, FirstWriteCreatesAPrivateFolderAndFile) {
    RegWriteInteger(Key, QStringLiteral("Left"), -40);
    RegWriteString(Key, QStringLiteral("Dir"), QStringLiteral("c:\\skins\\\"x\""));
    EXPECT_EQ(Stored(), QByteArray("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"
                                   "\"Left\"=\"-40\"\n\"Dir\"=\"c:\\\\skins\\\\\\\"x\\\"\"\n\n"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Left")), QStringLiteral("-40"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Dir")), QStringLiteral("c:\\skins\\\"x\""));
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(Folder()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(QFile::encodeName(File()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(Folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("HKEY_CURRENT_USER.reg")});
}

TEST_F(RegistryTest, WritesKeepEverythingElseByteForByte) {
    QByteArray text(EveryType);
    Store(text);
    RegWriteString(Key, QStringLiteral("dir"), QStringLiteral("d:\\"));       // keeps its spelling
    RegWriteString(Key, QStringLiteral("TimerDelay"), QStringLiteral("250")); // dword to text
    RegWriteString(Key, QStringLiteral("Gone"), QStringLiteral("back"));
    RegWriteString(Key, QStringLiteral("BarTip"), QStringLiteral("1"));
    text.replace("\"Dir\"=\"c:\\\\skins\\\\\"", "\"Dir\"=\"d:\\\\\"");
    text.replace("\"TimerDelay\"=dword:000003e8", "\"TimerDelay\"=\"250\"");
    text.replace("\"Gone\"=-", "\"Gone\"=\"back\"");
    text.replace("\"Lone\"=\"a\\b\"\n", "\"Lone\"=\"a\\b\"\n\"BarTip\"=\"1\"\n");
    EXPECT_EQ(Stored(), text);
}

TEST_F(RegistryTest, ADamagedLineIsReportedOnceTheOthersReadAndTheFileKeptAside) {
    const QByteArray damaged("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"
                             "\"Scheme\"=\"blue\n\"Top\"=\"7\"\n\"Other\"=\"keep\"\n");
    Store(damaged);
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("7"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Scheme")), std::nullopt);
    ASSERT_EQ(vtest::Errors().size(), 1);
    EXPECT_TRUE(vtest::Errors()[0].contains(File())) << vtest::Errors()[0].toStdString();
    EXPECT_TRUE(vtest::Errors()[0].contains(QStringLiteral("line 3")));

    RegWriteInteger(Key, QStringLiteral("Top"), 5);
    RegWriteInteger(Key, QStringLiteral("Left"), 6);
    EXPECT_EQ(vtest::Errors().size(), 1);
    QFile aside(File() + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Left")), QStringLiteral("6"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("5"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Other")), QStringLiteral("keep"));
    EXPECT_FALSE(Stored().contains("blue"));
    EXPECT_EQ(vtest::Errors().size(), 1);

    // Damaged again: an earlier copy kept aside is not overwritten.
    Store(damaged + "x");
    RegWriteInteger(Key, QStringLiteral("Top"), 1);
    ASSERT_EQ(vtest::Errors().size(), 2); // a new damage, found at the write
    QFile second(File() + QStringLiteral(".damaged.1"));
    ASSERT_TRUE(second.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.readAll(), damaged + "x");
}

// What a store remembers goes with it: one put in place has reported nothing yet, and the one
// before comes back with its own reports when it ends.
TEST_F(RegistryTest, AStorePutInPlaceStartsAfreshAndTheOneBeforeComesBack) {
    Store("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n\"Top\n");
    const auto read = [] { (void)RegReadText(Key, QStringLiteral("Top")); };
    read();
    read();
    EXPECT_EQ(vtest::Errors().size(), 1);
    {
        vtest::PrivateSettings fresh(Folder());
        EXPECT_EQ(&Current<SettingsStore>(), &fresh);
        read();
        read();
        EXPECT_EQ(vtest::Errors().size(), 2);
    }
    EXPECT_EQ(&Current<SettingsStore>(), &*Settings);
    read();
    EXPECT_EQ(vtest::Errors().size(), 2);
}

// A file of the given size: the values, then comment lines up to the size.
QByteArray FileOfSize(qint64 size) {
    QByteArray text(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n\"Top\"=\"7\"\n");
    while (text.size() < size)
        text += "; " +
                QByteArray(std::min<qint64>(78, std::max<qint64>(0, size - text.size() - 3)), 'x') +
                '\n';
    text.truncate(size);
    return text;
}

TEST_F(RegistryTest, AFileOverOneMebibyteIsRefusedAndKeptAside) {
    const struct {
        qint64 size;
        bool sparse; // made with a hole: only a read of it would take the time and memory
        bool refused;
    } cases[] = {
        {1 << 20, false, false},
        {(1 << 20) + 1, false, true},
        {qint64(2) << 30, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        QDir(Folder()).removeRecursively();
        vtest::Errors().clear();
        if (c.sparse) {
            Store(FileOfSize(100));
            ASSERT_EQ(::truncate(QFile::encodeName(File()).constData(), c.size), 0);
        } else {
            Store(FileOfSize(c.size));
        }
        EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")),
                  c.refused ? std::nullopt : std::optional(QStringLiteral("7")));
        ASSERT_EQ(vtest::Errors().size(), c.refused ? 1 : 0);
        if (!c.refused) continue;
        EXPECT_TRUE(vtest::Errors()[0].contains(QStringLiteral("too large")))
            << vtest::Errors()[0].toStdString();
        EXPECT_TRUE(vtest::Errors()[0].contains(QString::number(c.size)));

        RegWriteInteger(Key, QStringLiteral("Left"), 6);
        EXPECT_EQ(QFileInfo(File() + QStringLiteral(".damaged")).size(), c.size);
        EXPECT_EQ(RegReadText(Key, QStringLiteral("Left")), QStringLiteral("6"));
        EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), std::nullopt);
        EXPECT_EQ(vtest::Errors().size(), 1);
    }
}

TEST_F(RegistryTest, AFolderThatCannotBeCreatedFailsToCreateTheKey) {
    QFile blocker(Home.path() + QStringLiteral("/config"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder's parent should be
    blocker.close();
    EXPECT_EQ(WriteFailure(QStringLiteral("Top"), QStringLiteral("1")),
              QStringLiteral("Failed to create key Software\\Quillmoor\\Vantrel"));
}

TEST_F(RegistryTest, AFolderWhereTheFileShouldBeFailsToSetData) {
    ASSERT_TRUE(QDir().mkpath(File()));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), std::nullopt);
    ASSERT_EQ(vtest::Errors().size(), 1); // cannot be read: reported
    EXPECT_EQ(WriteFailure(QStringLiteral("Top"), QStringLiteral("1")),
              QStringLiteral("Failed to set data for 'Top'"));
    EXPECT_TRUE(QFileInfo(File()).isDir()); // not moved away or replaced
}

TEST_F(RegistryTest, APipeInTheFilesPlaceDoesNotHang) {
    QDir().mkpath(Folder());
    ASSERT_EQ(::mkfifo(QFile::encodeName(File()).constData(), 0600), 0);
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), std::nullopt);
    EXPECT_EQ(vtest::Errors().size(), 1);
    EXPECT_EQ(WriteFailure(QStringLiteral("Top"), QStringLiteral("1")),
              QStringLiteral("Failed to set data for 'Top'"));
}

TEST_F(RegistryTest, CopiesWritingAtOnceLoseNothing) {
    Store("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n\"Other\"=\"keep\"\n");
    constexpr int Copies = 4, Values = 25;
    RunCopiesAtOnce(Copies, [](int c) {
        int failures = 0;
        for (int v = 0; v < Values; ++v) {
            try {
                RegWriteInteger(Key, QStringLiteral("C%1V%2").arg(c).arg(v), v);
            } catch (...) {
                ++failures;
            }
        }
        return failures;
    });
    const RegParseResult parsed = ParseRegFile(Stored());
    ASSERT_TRUE(parsed.Document);
    for (int c = 0; c < Copies; ++c)
        for (int v = 0; v < Values; ++v) {
            const RegValue* value =
                FindRegValue(*parsed.Document, FullKey, QStringLiteral("C%1V%2").arg(c).arg(v));
            ASSERT_NE(value, nullptr) << c << ' ' << v;
            EXPECT_EQ(value->Data, QByteArray::number(v) + '\0');
        }
    EXPECT_NE(FindRegValue(*parsed.Document, FullKey, QStringLiteral("Other")), nullptr);
}

TEST_F(RegistryTest, AKeyReplacesTheFileOnceWithAllItsValuesWhenClosed) {
    int replaces = 0;
    Settings->AtStep = [&](RegWriteStep step) { replaces += step == RegWriteStep::Renamed; };
    {
        OpenRegKey key(Key);
        key.WriteInteger(QStringLiteral("Top"), 1);
        key.WriteString(QStringLiteral("Dir"), QStringLiteral("x"));
        EXPECT_FALSE(QFile::exists(File())); // nothing before the key is closed
        key.Close();
    }
    EXPECT_EQ(replaces, 1);
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("1"));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Dir")), QStringLiteral("x"));
    {
        OpenRegKey abandoned(Key); // say a later write failed: not closed, nothing written
        abandoned.WriteInteger(QStringLiteral("Top"), 2);
    }
    EXPECT_EQ(replaces, 1);
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("1"));
    RegWriteInteger(Key, QStringLiteral("Top"), 3); // single writes work again afterwards
    EXPECT_EQ(replaces, 2);
}

TEST_F(RegistryTest, AKeysReadsSeeOneVersionOfTheFile) {
    RegWriteInteger(Key, QStringLiteral("Top"), 1);
    RegWriteInteger(Key, QStringLiteral("Left"), 1);
    {
        OpenRegKey key(Key);
        EXPECT_EQ(key.ReadText(QStringLiteral("Top")), QStringLiteral("1"));
        // Another copy saves its whole set between two reads.
        RegWriteInteger(Key, QStringLiteral("Top"), 2);
        RegWriteInteger(Key, QStringLiteral("Left"), 2);
        EXPECT_EQ(key.ReadText(QStringLiteral("Left")), QStringLiteral("1"));
        EXPECT_EQ(key.ReadText(QStringLiteral("Top")), QStringLiteral("1"));
    }
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Left")), QStringLiteral("2"));
}

TEST_F(RegistryTest, AKeyThatCannotReplaceTheFileNamesItsFirstValue) {
    Store("REGEDIT4\n");
    // Between writing the new file and the rename, a folder takes the old file's place.
    Settings->AtStep = [this](RegWriteStep step) {
        if (step != RegWriteStep::TempWritten) return;
        QFile::remove(File());
        QDir().mkpath(File());
    };
    OpenRegKey key(Key);
    key.WriteInteger(QStringLiteral("Top"), 1);
    key.WriteInteger(QStringLiteral("Left"), 2);
    try {
        key.Close();
        ADD_FAILURE() << "no error raised";
    } catch (const VantrelError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Failed to set data for 'Top'"));
    }
    EXPECT_TRUE(
        QDir(Folder()).entryList({QStringLiteral(".HKEY*")}, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(RegistryTest, KeysOfCopiesWritingAtOnceNeverMix) {
    constexpr int Copies = 3, Rounds = 15;
    RunCopiesAtOnce(Copies, [this](int c) {
        int failures = 0;
        for (int r = 0; r < Rounds; ++r) {
            try {
                OpenRegKey key(Key);
                key.WriteInteger(QStringLiteral("Top"), c);
                key.WriteInteger(QStringLiteral("Left"), c);
                key.WriteInteger(QStringLiteral("C%1R%2").arg(c).arg(r), r);
                key.Close();
            } catch (...) {
                ++failures;
            }
            // The file is whole and holds one copy's position after every replace.
            const RegParseResult now = ParseRegFile(Stored());
            const RegValue* top = now.Document
                                      ? FindRegValue(*now.Document, FullKey, QStringLiteral("Top"))
                                      : nullptr;
            const RegValue* left =
                now.Document ? FindRegValue(*now.Document, FullKey, QStringLiteral("Left"))
                             : nullptr;
            if (!top || !left || top->Data != left->Data) ++failures;
        }
        return failures;
    });
    const RegParseResult parsed = ParseRegFile(Stored());
    ASSERT_TRUE(parsed.Document);
    for (int c = 0; c < Copies; ++c)
        for (int r = 0; r < Rounds; ++r)
            EXPECT_NE(
                FindRegValue(*parsed.Document, FullKey, QStringLiteral("C%1R%2").arg(c).arg(r)),
                nullptr);
}

TEST_F(RegistryTest, ALinkedFileStaysALink) {
    QTemporaryDir elsewhere;
    const QString real = elsewhere.path() + QStringLiteral("/settings.reg");
    QFile f(real);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("REGEDIT4\n");
    f.close();
    QDir().mkpath(Folder());
    ASSERT_TRUE(QFile::link(real, File()));
    RegWriteInteger(Key, QStringLiteral("Top"), 3);
    EXPECT_TRUE(QFileInfo(File()).isSymLink());
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("3"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\"Top\"=\"3\""));
}

TEST_F(RegistryTest, ALinkToAFileNotWrittenYetIsWrittenThrough) {
    QTemporaryDir elsewhere;
    QDir().mkpath(Folder());
    // Relative, and through a second link: each is followed from where it lies.
    ASSERT_TRUE(
        QFile::link(QStringLiteral("next.reg"), Folder() + QStringLiteral("/next.reg.lnk")));
    ASSERT_EQ(
        ::symlink(QFile::encodeName(elsewhere.path() + QStringLiteral("/settings.reg")).constData(),
                  QFile::encodeName(Folder() + QStringLiteral("/next.reg")).constData()),
        0);
    ASSERT_EQ(::symlink("next.reg.lnk", QFile::encodeName(File()).constData()), 0);
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), std::nullopt);
    RegWriteInteger(Key, QStringLiteral("Top"), 4);
    EXPECT_TRUE(QFileInfo(File()).isSymLink());
    EXPECT_TRUE(QFileInfo(Folder() + QStringLiteral("/next.reg")).isSymLink());
    EXPECT_TRUE(vtest::ReadFile(elsewhere.path() + QStringLiteral("/settings.reg"))
                    .contains("\"Top\"=\"4\""));
    EXPECT_EQ(RegReadText(Key, QStringLiteral("Top")), QStringLiteral("4"));
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

// Without HOME (a session started without a login shell) the file lies under the home folder
// the password database gives, not under the root folder.
TEST(RegistryHome, AnUnsetOrEmptyHomeFallsBackToThePasswordDatabase) {
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    const QString expected =
        QFile::decodeName(entry->pw_dir) + QStringLiteral("/.config/vantrel/HKEY_CURRENT_USER.reg");
    for (bool set : {false, true}) {
        if (set)
            qputenv("HOME", "");
        else
            qunsetenv("HOME");
        EXPECT_EQ(RegistryFile(), expected) << set;
    }
    qputenv("HOME", "/somewhere");
    EXPECT_EQ(RegistryFile(), QStringLiteral("/somewhere/.config/vantrel/HKEY_CURRENT_USER.reg"));
    home.isNull() ? qunsetenv("HOME") : qputenv("HOME", home);
    if (!config.isNull()) qputenv("XDG_CONFIG_HOME", config);
}

} // namespace
