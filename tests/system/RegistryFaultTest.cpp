// The settings store under faults: a write cut at each step, a full disk, a read-only folder, a
// folder in the file's place. After each the file is whole with the old or the new values, and
// the writer was told what failed.
#include "BmpSupport.h"
#include "TestSupport.h"
#include "core/VError.h"
#include "platform/Registry.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform;

const QString Key = QStringLiteral("Software\\Quillmoor\\Vantrel");
const QString FullKey = QStringLiteral("HKEY_CURRENT_USER\\") + Key;
const QString Names[] = {QStringLiteral("Top"), QStringLiteral("Left"), QStringLiteral("Scheme")};

// A file of some size around the three values, so that a cut can fall inside the data.
QByteArray OldFile() {
    QByteArray blob;
    for (int i = 0; i < 1500; ++i)
        blob += char(i * 7);
    RegDocument doc;
    SetRegValue(doc, FullKey, QStringLiteral("Unknown"), RegBinary, blob);
    for (const QString& name : Names)
        SetRegValue(doc, FullKey, name, RegSz, QByteArray("old", 4));
    SetRegValue(doc, QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"), QStringLiteral("Keep"),
                RegDword, QByteArray("\1\0\0\0", 4));
    return RenderRegFile(doc);
}

// What a faulty write left behind, as seen from the process that set the fault up.
struct Outcome {
    QString Skipped;     // why the case could not be set up here
    bool Killed = false; // the writer died at the cut
    QString Message;     // what the writer was told failed; empty when nothing did
    bool Exists = false;
    QByteArray File;
    QStringList Leftovers; // temporary files in the folder
    // After the fault is lifted, the next write.
    QString NextMessage;
    QByteArray NextFile;
    QStringList NextLeftovers;
    qint64 WriterMs = 0; // how long the writer took
};

QDataStream& operator<<(QDataStream& s, const Outcome& o) {
    return s << o.Skipped << o.Killed << o.Message << o.Exists << o.File << o.Leftovers
             << o.NextMessage << o.NextFile << o.NextLeftovers << o.WriterMs;
}
QDataStream& operator>>(QDataStream& s, Outcome& o) {
    return s >> o.Skipped >> o.Killed >> o.Message >> o.Exists >> o.File >> o.Leftovers >>
           o.NextMessage >> o.NextFile >> o.NextLeftovers >> o.WriterMs;
}

bool WriteAllTo(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

QByteArray ReadAllFrom(int fd) {
    QByteArray bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, n);
    return bytes;
}

// Writes the three values together as the bar's close does; returns the failure's message.
QString WriteNewValues(const char* value) {
    try {
        OpenRegKey key(Key);
        for (const QString& name : Names)
            key.WriteString(name, QString::fromLatin1(value));
        key.Close();
    } catch (const VantrelError& e) {
        return e.message();
    }
    return QString();
}

struct FaultCase {
    const char* Name;
    bool OldFileThere = true;
    // Where the fault is set up: before the old file is stored (false skips the case, with the
    // reason), after it is stored, and once the write is over.
    std::function<bool(const QString& folder, QString& why)> Mount{};
    std::function<void(const QString& folder)> Break{};
    std::function<void(const QString& folder)> Lift{};
    // Run in the writer just before it writes.
    std::function<void(vtest::PrivateSettings& settings)> InWriter{};
    // Expected: the writer dies, or is told this message (empty: the write goes through).
    bool Killed = false;
    const char* Message = "";
    bool NewValues = false;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.Name;
}

class RegistryFaults : public testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override { Settings.emplace(Folder()); }
    void TearDown() override { Settings.reset(); }
    QString Folder() const { return Home.path() + QStringLiteral("/vantrel"); }
    QString File() const { return Folder() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }

    void Look(bool& exists, QByteArray& bytes, QStringList& leftovers) const {
        QFile f(File());
        exists = f.exists();
        bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        leftovers =
            QDir(Folder()).entryList({QStringLiteral(".HKEY*")}, QDir::Files | QDir::Hidden);
    }

    // The whole case in a child process (with a mount namespace of its own for the cases that
    // mount), the write in a grandchild that the fault may kill.
    Outcome Run(const FaultCase& c) {
        int pipeFds[2];
        Outcome o;
        o.Skipped = QStringLiteral("no child process");
        if (::pipe(pipeFds) != 0) return o;
        const pid_t lab = ::fork();
        if (lab < 0) return o;
        if (lab == 0) {
            ::close(pipeFds[0]);
            QByteArray bytes;
            QDataStream out(&bytes, QIODevice::WriteOnly);
            out << Lab(c);
            _exit(WriteAllTo(pipeFds[1], bytes) ? 0 : 1);
        }
        ::close(pipeFds[1]);
        const QByteArray bytes = ReadAllFrom(pipeFds[0]);
        ::close(pipeFds[0]);
        int status = 0;
        ::waitpid(lab, &status, 0);
        QDataStream in(bytes);
        in >> o;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            o.Skipped = QStringLiteral("the case's process failed");
        return o;
    }

    Outcome Lab(const FaultCase& c) {
        Outcome o;
        QDir().mkpath(Folder());
        if (c.Mount && !c.Mount(Folder(), o.Skipped)) return o;
        if (c.OldFileThere) {
            QFile f(File());
            if (!f.open(QIODevice::WriteOnly) || f.write(OldFile()) != OldFile().size()) {
                o.Skipped = QStringLiteral("the old file cannot be stored");
                return o;
            }
        }
        if (c.Break) c.Break(Folder());
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) return o;
        QElapsedTimer took;
        took.start();
        const pid_t writer = ::fork();
        if (writer == 0) {
            ::close(pipeFds[0]);
            if (c.InWriter) c.InWriter(*Settings);
            _exit(WriteAllTo(pipeFds[1], WriteNewValues("new").toUtf8()) ? 0 : 1);
        }
        ::close(pipeFds[1]);
        o.Message = QString::fromUtf8(ReadAllFrom(pipeFds[0]));
        ::close(pipeFds[0]);
        int status = 0;
        ::waitpid(writer, &status, 0);
        o.WriterMs = took.elapsed();
        o.Killed = WIFSIGNALED(status);
        Look(o.Exists, o.File, o.Leftovers);
        if (c.Lift) c.Lift(Folder());
        o.NextMessage = WriteNewValues("next");
        bool exists = false;
        Look(exists, o.NextFile, o.NextLeftovers);
        return o;
    }

    QTemporaryDir Home;
    std::optional<vtest::PrivateSettings> Settings;
};

// The three values all hold the one value; the values the write did not touch are all there.
void ExpectWhole(const QByteArray& file, const char* value, bool withTheRest) {
    const RegParseResult parsed = ParseRegFile(file);
    ASSERT_TRUE(parsed.Document) << parsed.Error.toStdString();
    for (const QString& name : Names) {
        const RegValue* v = FindRegValue(*parsed.Document, FullKey, name);
        ASSERT_NE(v, nullptr) << name.toStdString();
        EXPECT_EQ(v->Data, QByteArray(value) + '\0') << name.toStdString();
    }
    if (!withTheRest) return;
    const RegValue* unknown = FindRegValue(*parsed.Document, FullKey, QStringLiteral("Unknown"));
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->Data.size(), 1500);
    EXPECT_NE(FindRegValue(*parsed.Document, QStringLiteral("HKEY_CURRENT_USER\\Software\\Other"),
                           QStringLiteral("Keep")),
              nullptr);
}

bool InOwnMountNamespace(QString& why) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        why = QStringLiteral("no mount namespace of its own here");
        return false;
    }
    return true;
}

// A full disk: the folder as a file system of its own, 16 KB large, filled up after the old file.
bool SmallFileSystem(const QString& folder, QString& why) {
    if (::geteuid() != 0) {
        why = QStringLiteral("mounting needs root");
        return false;
    }
    if (!InOwnMountNamespace(why)) return false;
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=16k,mode=0700") !=
        0) {
        why = QStringLiteral("tmpfs cannot be mounted here");
        return false;
    }
    return true;
}

void FillUp(const QString& folder) {
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly)) return;
    const QByteArray block(512, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

void Empty(const QString& folder) {
    QFile::remove(folder + QStringLiteral("/filler"));
}

// A read-only folder: permissions for a user, a read-only bind mount for root, whom permissions
// do not stop.
bool BindMount(const QString& folder, QString& why) {
    if (::geteuid() != 0) return true;
    if (!InOwnMountNamespace(why)) return false;
    const QByteArray path = QFile::encodeName(folder);
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0) {
        why = QStringLiteral("no bind mount here");
        return false;
    }
    return true;
}

void MakeReadOnly(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::geteuid() != 0)
        ::chmod(path.constData(), 0500);
    else
        ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr);
}

void MakeWritable(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::geteuid() != 0)
        ::chmod(path.constData(), 0700);
    else
        ::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT, nullptr);
}

// Another copy of the program holds the folder's lock and does not let go (stopped in the middle
// of its save, or on a frozen network home).
int HeldLock = -1;
void HoldLock(const QString& folder) {
    HeldLock = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    ::flock(HeldLock, LOCK_EX);
}
void LetGo(const QString&) {
    ::close(HeldLock);
}

std::function<void(vtest::PrivateSettings&)> KillAt(RegWriteStep at) {
    return [at](vtest::PrivateSettings& settings) {
        settings.AtStep = [at](RegWriteStep step) {
            if (step == at) ::raise(SIGKILL);
        };
    };
}

// Files may grow to 1 KB only: with the signal at its default the writer dies in the middle of
// writing the new file; with the signal ignored every write past the limit fails.
std::function<void(vtest::PrivateSettings&)> FileSizeLimit(bool ignoreSignal) {
    return [ignoreSignal](vtest::PrivateSettings&) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        if (ignoreSignal) ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
}

const char* const SetFailed = "Failed to set data for 'Top'";

const FaultCase Cases[] = {
    {.Name = "KilledWithTheTemporaryFileEmpty",
     .InWriter = KillAt(RegWriteStep::TempCreated),
     .Killed = true},
    {.Name = "KilledWhileWritingTheTemporaryFile",
     .InWriter = FileSizeLimit(false),
     .Killed = true},
    {.Name = "KilledBeforeTheRename",
     .InWriter = KillAt(RegWriteStep::TempWritten),
     .Killed = true},
    {.Name = "KilledAfterTheRename",
     .InWriter = KillAt(RegWriteStep::Renamed),
     .Killed = true,
     .NewValues = true},
    {.Name = "AFileSizeLimit", .InWriter = FileSizeLimit(true), .Message = SetFailed},
    {.Name = "AFullDisk",
     .Mount = SmallFileSystem,
     .Break = FillUp,
     .Lift = Empty,
     .Message = SetFailed},
    {.Name = "AReadOnlyFolder",
     .Mount = BindMount,
     .Break = MakeReadOnly,
     .Lift = MakeWritable,
     .Message = SetFailed},
    {.Name = "AReadOnlyFolderAndNoFileYet",
     .OldFileThere = false,
     .Mount = BindMount,
     .Break = MakeReadOnly,
     .Lift = MakeWritable,
     .Message = "Failed to create key Software\\Quillmoor\\Vantrel"},
    {.Name = "ALockThatIsNeverReleased", .Break = HoldLock, .Lift = LetGo, .Message = SetFailed},
    {.Name = "ALockThatIsNeverReleasedAndNoFileYet",
     .OldFileThere = false,
     .Break = HoldLock,
     .Lift = LetGo,
     .Message = "Failed to create key Software\\Quillmoor\\Vantrel"},
    {.Name = "NoFault", .NewValues = true},
};

TEST_P(RegistryFaults, TheFileStaysWholeAndTheWriterIsToldWhatFailed) {
    const FaultCase& c = GetParam();
    const Outcome o = Run(c);
    if (!o.Skipped.isEmpty()) GTEST_SKIP() << o.Skipped.toStdString();
    EXPECT_EQ(o.Killed, c.Killed);
    EXPECT_LT(o.WriterMs, 4000); // nothing waits for long
    EXPECT_EQ(o.Message, QString::fromUtf8(c.Message));
    if (c.OldFileThere) {
        ASSERT_TRUE(o.Exists);
        if (!c.NewValues) {
            EXPECT_EQ(o.File, OldFile());
        }
        ExpectWhole(o.File, c.NewValues ? "new" : "old", true);
    } else {
        EXPECT_FALSE(o.Exists);
    }
    if (!c.Killed) {
        EXPECT_EQ(o.Leftovers, QStringList());
    }
    // With the fault gone the next write goes through and leaves nothing behind.
    EXPECT_EQ(o.NextMessage, QString());
    ExpectWhole(o.NextFile, "next", c.OldFileThere);
    EXPECT_EQ(o.NextLeftovers, QStringList());
}

INSTANTIATE_TEST_SUITE_P(Settings, RegistryFaults, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.Name);
                         });

// A save that replaces a damaged file, cut by SIGKILL at random moments of it: whatever the
// moment, a settings file is there and whole: the damaged one as it was, or the new one with the
// damaged one kept beside it.
TEST(RegistryKills, ASaveOverADamagedFileCutAnywhereLeavesAWholeFile) {
    QTemporaryDir home;
    const QString folder = home.path() + QStringLiteral("/vantrel");
    const QString file = folder + QStringLiteral("/HKEY_CURRENT_USER.reg");
    vtest::PrivateSettings settings(folder);
    const QByteArray damaged = "not a settings file\n" + OldFile();
    const auto fresh = [&] {
        QDir(folder).removeRecursively();
        vtest::WriteFile(file, damaged);
    };
    // A copy of this process saving; its id once it has started.
    const auto startWriter = [] {
        int ready[2];
        if (::pipe(ready) != 0) return pid_t(-1);
        const pid_t writer = ::fork();
        if (writer == 0) {
            ::close(ready[0]);
            const char go = 1;
            if (::write(ready[1], &go, 1) != 1) _exit(1);
            WriteNewValues("new");
            _exit(0);
        }
        ::close(ready[1]);
        char go = 0;
        const bool started = writer > 0 && ::read(ready[0], &go, 1) == 1;
        ::close(ready[0]);
        return started ? writer : pid_t(-1);
    };
    // How long a copy's save takes here (a forked copy is slower under the sanitizers and on a
    // busy machine), so that the cuts spread over the whole of it.
    qint64 saveNs = 100000;
    for (int i = 0; i < 3; ++i) {
        fresh();
        QElapsedTimer timer;
        const pid_t writer = startWriter();
        timer.start();
        ASSERT_GT(writer, 0);
        ASSERT_EQ(::waitpid(writer, nullptr, 0), writer);
        saveNs = std::max(saveNs, timer.nsecsElapsed());
    }

    QRandomGenerator random(20261208);
    int old = 0, renewed = 0;
    for (int run = 0; run < 150; ++run) {
        fresh();
        const pid_t writer = startWriter();
        ASSERT_GT(writer, 0);
        const auto cut = std::chrono::steady_clock::now() +
                         std::chrono::nanoseconds(random.bounded(saveNs * 3 / 2));
        while (std::chrono::steady_clock::now() < cut) {
        }
        ::kill(writer, SIGKILL);
        ASSERT_EQ(::waitpid(writer, nullptr, 0), writer);

        ASSERT_TRUE(QFileInfo::exists(file)) << "run " << run << ": no settings file";
        const QByteArray bytes = vtest::ReadFile(file);
        if (bytes == damaged) {
            ++old;
            continue;
        }
        ++renewed;
        ExpectWhole(bytes, "new", false);
        EXPECT_EQ(vtest::ReadFile(file + QStringLiteral(".damaged")), damaged) << "run " << run;
    }
    // The cuts fell on both sides of the replace.
    RecordProperty("old", old);
    RecordProperty("renewed", renewed);
    EXPECT_GT(old, 0);
    EXPECT_GT(renewed, 0);
}

} // namespace
