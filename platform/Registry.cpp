// The settings store on Linux: the registry export file on disk, its lock, the atomic replace
// and the kept copy of a damaged file.
#include "platform/Registry.h"

#include "core/VError.h"
#include "platform/ErrorReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {
namespace {

constexpr char FileName[] = "HKEY_CURRENT_USER.reg";
constexpr char Root[] = "HKEY_CURRENT_USER\\";
// A settings file holds ten short values; anything larger is not one, and reading it would only
// cost time and memory.
constexpr qint64 MaxFileSize = 1 << 20;
// The longest a save waits for another copy to finish with the folder.
constexpr std::chrono::milliseconds LockWait(2000);

// ---------------------------------------------------------------------------------------------
// The file on disk

SettingsStore& Store() {
    return Current<SettingsStore>();
}

// HOME, or the user's entry in the password database when HOME is unset or empty (a session
// started without a login shell): never the root folder.
QString HomeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty()) return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return QFile::decodeName(entry->pw_dir);
    return QDir::homePath();
}

} // namespace

template <> SettingsStore& Service<SettingsStore>::Real() {
    static SettingsStore store;
    return store;
}

QString SettingsStore::Folder() const {
    if (!FixedFolder.isEmpty()) return FixedFolder;
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = HomeFolder() + "/.config";
    return base + QStringLiteral("/vantrel");
}

bool SettingsStore::FirstReport(const QString& file) {
    if (Reported.contains(file)) return false;
    Reported.insert(file);
    return true;
}

void SettingsStore::Written(const QString& file) {
    Reported.remove(file);
}

namespace {

class Fd {
public:
    explicit Fd(int fd) : F(fd) {}
    ~Fd() {
        if (F >= 0) ::close(F);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return F; }
    bool close() {
        const int f = F;
        F = -1;
        return ::close(f) == 0;
    }

private:
    int F;
};

QString ErrnoText(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

struct Loaded {
    enum { Missing, Good, Damaged, Unreadable, TooLarge } State = Missing;
    // When damaged, the lines that could be read.
    RegDocument Document;
    QString Problem;     // what the report says went wrong
    bool Regular = true; // a plain file, which can be kept aside
};

Loaded Load(const QString& path) {
    Loaded result;
    // Without blocking: a pipe or device in the file's place must not hang the program.
    Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return result;
        result.State = Loaded::Unreadable;
        result.Problem = ErrnoText(errno);
        struct stat st;
        result.Regular =
            ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
        return result;
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.State = Loaded::Unreadable;
        result.Problem = QStringLiteral("not a file");
        result.Regular = false;
        return result;
    }
    const auto tooLarge = [&](qint64 size) {
        result.State = Loaded::TooLarge;
        result.Problem = QStringLiteral("%1 bytes").arg(size);
        return result;
    };
    if (st.st_size > MaxFileSize) return tooLarge(st.st_size);
    QByteArray bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result.State = Loaded::Unreadable;
            result.Problem = ErrnoText(errno);
            return result;
        }
        bytes.append(buffer, n);
        // A file that grows while it is read.
        if (bytes.size() > MaxFileSize) return tooLarge(bytes.size());
    }
    RegParseResult parsed = ParseRegFile(bytes);
    result.State = parsed.ErrorLine ? Loaded::Damaged : Loaded::Good;
    result.Document = std::move(*parsed.Document);
    if (parsed.ErrorLine) {
        result.Problem = QStringLiteral("line %1: %2").arg(parsed.ErrorLine).arg(parsed.Error);
        if (parsed.BadLines > 1)
            result.Problem += QStringLiteral("; %1 lines in all").arg(parsed.BadLines);
    }
    return result;
}

// The report of a file that exists but cannot be used, once per file and run.
std::optional<QString> DamageReport(const QString& file, const Loaded& loaded) {
    if (!Store().FirstReport(file)) return std::nullopt;
    QString text =
        loaded.State == Loaded::Damaged
            ? QStringLiteral("The settings file %1 is damaged (%2). The values on "
                             "its other lines are used")
        : loaded.State == Loaded::TooLarge
            ? QStringLiteral("The settings file %1 is too large (%2; a settings file holds at "
                             "most 1 MiB). The defaults are used")
            : QStringLiteral("The settings file %1 cannot be read (%2). The defaults are used");
    text = text.arg(file, loaded.Problem);
    if (loaded.Regular)
        text += QStringLiteral("; the file is kept beside the new one as %1.damaged").arg(file);
    return text;
}

// Creates the folder and any missing parent, new ones private to the user.
bool MakeFolder(const QByteArray& path) {
    struct stat st;
    if (::stat(path.constData(), &st) == 0) return S_ISDIR(st.st_mode);
    if (errno != ENOENT) return false;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0 && !MakeFolder(path.left(slash))) return false;
    if (::mkdir(path.constData(), 0700) == 0) return true;
    return errno == EEXIST && ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Keeps a copy of a damaged file under a name that is not taken yet. The file itself stays where
// it is until the new one replaces it, so that a save cut short leaves the damaged file rather
// than none: a second name for the same file, or a copy where the file system has no such names.
bool KeepAside(const QByteArray& path) {
    for (int n = 0; n < 1000; ++n) {
        const QByteArray aside =
            path + ".damaged" + (n ? '.' + QByteArray::number(n) : QByteArray());
        if (::link(path.constData(), aside.constData()) == 0) return true;
        if (errno == EEXIST) continue;
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV) return false;
        // QFile::copy refuses a name that is taken and puts the copy in place whole.
        if (QFile::exists(QFile::decodeName(aside))) continue;
        return QFile::copy(QFile::decodeName(path), QFile::decodeName(aside));
    }
    return false;
}

// Takes the folder's lock, waiting a few seconds at most: a copy stopped in the middle of its
// save, or a frozen network home, must not hold this one up for good.
bool LockFolder(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + LockWait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Where a link at path leads, followed link by link; the end need not exist (a link into a
// dotfiles folder whose file was never written). Path itself when it is no link.
QString LinkEnd(const QString& path) {
    QString at = path;
    struct stat st;
    for (int hops = 0; hops < 40; ++hops) {
        if (::lstat(QFile::encodeName(at).constData(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        const QString next = QFileInfo(at).symLinkTarget();
        if (next.isEmpty()) break;
        at = next;
    }
    return at;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

bool SyncFolder(const QByteArray& folder) {
    Fd fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

// A temporary file that no writer finished: every writer holds the folder lock while its
// temporary file exists, so under the lock any such file is left over from a killed copy.
void RemoveLeftovers(const QString& folder, const QString& base) {
    const QString prefix = u'.' + base + u'.';
    const QStringList names =
        QDir(folder).entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names)
        QFile::remove(folder + u'/' + name);
}

} // namespace

// One locked read-change-replace of the file: opened by the first value written, replaced once.
struct WriteSession {
    QString Key, FirstName; // for the failure messages
    QString File, Target, TargetFolder, TargetName;
    int Lock = -1;
    bool Existed = false;
    RegDocument Document;
    std::optional<QString> Report; // shown once the lock is released

    WriteSession() = default;
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;
    ~WriteSession() { Unlock(); }
    void Unlock() {
        if (Lock >= 0) ::close(Lock);
        Lock = -1;
    }
    bool IsOpen() const { return Lock >= 0; }

    VantrelError CreateFailed() const {
        return VantrelError(QStringLiteral("Failed to create key %1").arg(Key));
    }
    VantrelError SetFailed() const {
        return VantrelError(QStringLiteral("Failed to set data for '%1'").arg(FirstName));
    }

    void Open(const QString& key, const QString& name) {
        Key = key;
        FirstName = name;
        const QString folder = Store().Folder();
        File = folder + u'/' + QLatin1String(FileName);
        const QByteArray folderPath = QFile::encodeName(folder);
        if (!MakeFolder(folderPath)) throw CreateFailed();
        // Writers take turns on the folder, which, unlike the file, is never replaced.
        Lock = ::open(folderPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (Lock < 0) throw CreateFailed();
        if (!LockFolder(Lock)) {
            Unlock();
            throw QFileInfo::exists(File) ? SetFailed() : CreateFailed();
        }

        // A link to the file elsewhere (a dotfiles folder) stays a link: the file it names is
        // replaced, or written when it does not exist yet.
        Target = LinkEnd(File);
        TargetFolder = QFileInfo(Target).absolutePath();
        TargetName = QFileInfo(Target).fileName();
        RemoveLeftovers(TargetFolder, TargetName);

        // Read again under the lock: another copy may have written since this one last read.
        Loaded loaded = Load(Target);
        Existed = loaded.State != Loaded::Missing;
        if (loaded.State == Loaded::Good || loaded.State == Loaded::Damaged)
            Document = std::move(loaded.Document);
        if (loaded.State != Loaded::Good && Existed) {
            Report = DamageReport(File, loaded);
            if (!loaded.Regular || !KeepAside(QFile::encodeName(Target))) throw SetFailed();
        }
    }

    void Replace() {
        const QByteArray bytes = RenderRegFile(Document);
        QByteArray temp = QFile::encodeName(TargetFolder + QStringLiteral("/.") + TargetName +
                                            QStringLiteral(".XXXXXX"));
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) throw Existed ? SetFailed() : CreateFailed();
        Fd out(fd);
        Store().Stepped(RegWriteStep::TempCreated);
        const bool written = ::fchmod(fd, 0600) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
        if (!out.close() || !written) {
            ::unlink(temp.constData());
            throw Existed ? SetFailed() : CreateFailed();
        }
        Store().Stepped(RegWriteStep::TempWritten);
        if (::rename(temp.constData(), QFile::encodeName(Target).constData()) != 0) {
            ::unlink(temp.constData());
            throw SetFailed();
        }
        Store().Stepped(RegWriteStep::Renamed);
        SyncFolder(QFile::encodeName(TargetFolder));
        Store().Written(File);
    }
};

// The version of the file that an open key's reads see, loaded by its first read.
struct ReadSnapshot {
    std::optional<Loaded> File;
};

namespace {

// Ends a key's use of the writers' lock, then shows what the file's damage left to report: a box
// must not hold up another copy waiting for the lock.
void Release(std::unique_ptr<WriteSession>& session) {
    if (!session) return;
    session->Unlock();
    const std::optional<QString> report = std::move(session->Report);
    session.reset();
    if (report) ReportError(*report);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The four operations

QString RegistryFile() {
    return Store().Folder() + u'/' + QLatin1String(FileName);
}

std::optional<QString> RegReadText(const QString& key, const QString& name) {
    return OpenRegKey(key).ReadText(name);
}

QString RegReadString(const QString& key, const QString& name, const QString& def) {
    return RegReadText(key, name).value_or(def);
}

void RegWriteString(const QString& key, const QString& name, const QString& text) {
    OpenRegKey open(key);
    open.WriteString(name, text);
    open.Close();
}

void RegWriteInteger(const QString& key, const QString& name, int32_t value) {
    RegWriteString(key, name, QString::number(value));
}

// ---------------------------------------------------------------------------------------------
// Open keys

OpenRegKey::OpenRegKey(QString key) : Key(std::move(key)) {}

OpenRegKey::~OpenRegKey() {
    Release(Session);
}

std::optional<QString> OpenRegKey::ReadText(const QString& name) {
    const QString file = RegistryFile();
    if (!Snapshot) Snapshot = std::make_unique<ReadSnapshot>();
    if (!Snapshot->File) Snapshot->File = Load(file);
    const Loaded& loaded = *Snapshot->File;
    if (loaded.State == Loaded::Damaged || loaded.State == Loaded::Unreadable ||
        loaded.State == Loaded::TooLarge) {
        if (const auto report = DamageReport(file, loaded)) ReportError(*report);
    }
    if (loaded.State == Loaded::Missing || loaded.State == Loaded::Unreadable ||
        loaded.State == Loaded::TooLarge)
        return std::nullopt;
    const RegValue* value = FindRegValue(loaded.Document, QString::fromLatin1(Root) + Key, name);
    if (!value) return std::nullopt;
    if (value->Type != RegSz && value->Type != RegExpandSz)
        throw VantrelError(QStringLiteral("Invalid data type for '%1'").arg(name));
    return RegValueText(*value);
}

QString OpenRegKey::ReadString(const QString& name, const QString& def) {
    return ReadText(name).value_or(def);
}

void OpenRegKey::WriteString(const QString& name, const QString& text) {
    if (!Session) Session = std::make_unique<WriteSession>();
    if (!Session->IsOpen()) Session->Open(Key, name);
    SetRegValue(Session->Document, QString::fromLatin1(Root) + Key, name, RegSz,
                text.toUtf8() + '\0');
}

void OpenRegKey::WriteInteger(const QString& name, int32_t value) {
    WriteString(name, QString::number(value));
}

void OpenRegKey::Close() {
    if (Session && Session->IsOpen()) Session->Replace();
    Release(Session);
}

} // namespace platform
