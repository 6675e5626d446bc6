// Windows-form paths mapped onto the Linux tree, folder listing with attribute bits, and the drive
// letters taken from the mount table.
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

bool IsSeparator(QChar c) {
    return c == u'\\' || c == u'/';
}

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == u':' && path[0].unicode() < 128 && path[0].isLetter();
}

// ---- The drive table -----------------------------------------------------------------------

// "\040" and the like in /proc/self/mounts.
QString Unescape(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() + 0 && field[i + 1] >= '0' &&
            field[i + 1] <= '7') {
            out.append(char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.append(field[i]);
        }
    }
    return QString::fromLocal8Bit(out);
}

int KindOf(const QString& type, const QString& mountPoint) {
    static const QStringList remote = {"nfs",   "nfs4",       "cifs",  "smb3",
                                       "smbfs", "afs",        "ceph",  "glusterfs",
                                       "9p",    "fuse.sshfs", "davfs", "fuse.rclone"};
    static const QStringList cdrom = {"iso9660", "udf"};
    if (remote.contains(type)) return DRIVE_REMOTE;
    if (cdrom.contains(type)) return DRIVE_CDROM;
    if (mountPoint.startsWith(QLatin1String("/media/")) ||
        mountPoint.startsWith(QLatin1String("/run/media/")))
        return DRIVE_REMOVABLE;
    return DRIVE_FIXED;
}

// File systems a user keeps files on; kernel and container plumbing is left out.
bool IsUserFileSystem(const QString& type, const QString& mountPoint) {
    static const QStringList types = {
        "ext2",       "ext3",    "ext4",        "xfs",     "btrfs",   "vfat", "exfat",     "ntfs",
        "ntfs3",      "fuseblk", "f2fs",        "zfs",     "hfsplus", "jfs",  "reiserfs",  "nfs",
        "nfs4",       "cifs",    "smb3",        "smbfs",   "afs",     "ceph", "glusterfs", "9p",
        "fuse.sshfs", "davfs",   "fuse.rclone", "iso9660", "udf"};
    if (!types.contains(type)) return false;
    static const char* const hidden[] = {"/proc", "/sys", "/dev", "/snap", "/var/lib", "/boot/efi"};
    for (const char* prefix : hidden) {
        const QString p = QLatin1String(prefix);
        if (mountPoint == p || mountPoint.startsWith(p + u'/')) return false;
    }
    if (mountPoint.startsWith(QLatin1String("/run/")) &&
        !mountPoint.startsWith(QLatin1String("/run/media/")))
        return false;
    struct stat st;
    return ::stat(QFile::encodeName(mountPoint).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

const DriveLetters::Table& Drives(bool refresh = false) {
    return Current<DriveLetters>().Drives(refresh);
}

// ---- Path mapping ----------------------------------------------------------------------------

bool Exists(const QString& native) {
    struct stat st;
    return ::lstat(QFile::encodeName(native).constData(), &st) == 0;
}

// The entry of folder whose name equals name without regard to case; empty when none.
QString FindIgnoringCase(const QString& folder, const QString& name) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return QString();
    QString found;
    while (const dirent* e = ::readdir(dir)) {
        const QString entry = QFile::decodeName(e->d_name);
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            found = entry;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Splits a Windows-form or native path into the native folder it starts from and its
// components. False when it names a drive that stands for nothing.
bool Split(const QString& path, QString& start, QStringList& parts) {
    QString rest = path;
    if (HasDriveLetter(path)) {
        const int index = path[0].toUpper().unicode() - 'A';
        start = Drives()[index].Root;
        if (start.isEmpty()) return false;
        rest = path.mid(2);
        // "C:skins" is relative to the drive's root here: there is no current folder per drive.
    } else if (!path.isEmpty() && IsSeparator(path[0])) {
        start = QStringLiteral("/");
    } else {
        start = QDir::currentPath() + u'/';
    }
    QString current;
    for (QChar c : rest) {
        if (IsSeparator(c)) {
            if (!current.isEmpty()) parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty()) parts.append(current);
    return true;
}

QString Resolve(const QString& path) {
    // A native path that names an entry as it stands is taken as it is, a "\" in a name
    // included ("/srv/back\slash/").
    if (path.startsWith(u'/') && path.contains(u'\\') && Exists(path)) return path;
    QString native;
    QStringList parts;
    if (!Split(path, native, parts)) return QString();
    // ".." never climbs above the root of the drive the path names.
    const qsizetype floor = HasDriveLetter(path) ? native.size() : 1;
    // A path spelled as on disk, without "." or "..", is settled by one look-up.
    bool resolving = true;
    if (!parts.isEmpty() && !parts.contains(QLatin1String(".")) &&
        !parts.contains(QLatin1String(".."))) {
        const QString whole = native + parts.join(u'/');
        if (Exists(whole)) {
            native = whole + u'/';
            parts.clear();
        }
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (native.size() > floor) {
                native.chop(1);
                native.truncate(native.lastIndexOf(u'/') + 1);
            }
            continue;
        }
        QString name = part;
        if (resolving && !Exists(native + part)) {
            QString match = FindIgnoringCase(native, part);
            // A Linux name may hold a "\": "back\slash" is looked for as one name before
            // the rest is taken as not there. No name is longer than NAME_MAX bytes.
            QString joined = part;
            for (qsizetype k = i + 1; match.isEmpty() && k < parts.size(); ++k) {
                if (parts[k] == QLatin1String(".") || parts[k] == QLatin1String("..")) break;
                joined += u'\\' + parts[k];
                if (joined.size() > NAME_MAX) break;
                match = Exists(native + joined) ? joined : FindIgnoringCase(native, joined);
                if (!match.isEmpty()) i = k;
            }
            if (match.isEmpty())
                resolving = false; // the rest does not exist; keep it as given
            else
                name = match;
        }
        native += name + u'/';
    }
    if (!(path.endsWith(u'\\') || path.endsWith(u'/')) && native.size() > 1) native.chop(1);
    return native;
}

// Windows name matching: "*" any run, "?" one character, letters without regard to case. Greedy
// with one step back to the last "*": linear in practice, never exponential.
bool WildMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == u'?' || pattern[p].toCaseFolded() == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

bool NameMatches(const QString& pattern, const QString& name) {
    if (pattern == QLatin1String("*") || pattern == QLatin1String("*.*")) return true;
    // A trailing ".*" also matches names without any dot.
    if (WildMatch(pattern, name)) return true;
    return pattern.endsWith(QLatin1String(".*")) &&
           WildMatch(QStringView(pattern).left(pattern.size() - 2), name);
}

uint32_t AttributesOf(const QString& name, const struct stat& st) {
    uint32_t attributes = 0;
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (name.size() > 1 && name.startsWith(u'.') && name != QLatin1String(".."))
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if ((st.st_mode & 0222) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) attributes |= FILE_ATTRIBUTE_SYSTEM;
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return attributes;
}

} // namespace

QString NativePath(const QString& path) {
    return Resolve(path);
}

bool FileExists(const QString& path) {
    const QString native = Resolve(path);
    return !native.isEmpty() && Exists(native);
}

uint32_t FileAttributes(const QString& path) {
    const QString native = Resolve(path);
    struct stat st;
    if (native.isEmpty() || ::stat(QFile::encodeName(native).constData(), &st) != 0)
        return INVALID_FILE_ATTRIBUTES;
    const qsizetype slash = native.endsWith(u'/') ? native.size() - 1 : native.size();
    return AttributesOf(native.left(slash).section(u'/', -1), st);
}

bool ListFolder(const QString& pattern, std::vector<DirEntry>& entries, int* error) {
    entries.clear();
    FolderSearch search;
    DirEntry entry;
    int code = 0;
    for (bool found = search.First(pattern, entry, &code); found; found = search.Next(entry, &code))
        entries.push_back(entry);
    if (search.Opened()) return true;
    if (error) *error = code;
    return false;
}

FolderSearch::~FolderSearch() {
    Close();
}

void FolderSearch::Close() {
    if (Dir) ::closedir(static_cast<DIR*>(Dir));
    Dir = nullptr;
}

bool FolderSearch::First(const QString& pattern, DirEntry& entry, int* error) {
    Close();
    WasOpened = false;
    qsizetype cut = -1;
    for (qsizetype i = pattern.size() - 1; i >= 0; --i)
        if (IsSeparator(pattern[i])) {
            cut = i;
            break;
        }
    QString folderPart;
    if (cut >= 0) {
        folderPart = pattern.left(cut + 1);
        NamePattern = pattern.mid(cut + 1);
    } else if (HasDriveLetter(pattern)) {
        folderPart = pattern.left(2) + u'\\';
        NamePattern = pattern.mid(2);
    } else {
        NamePattern = pattern;
    }
    QString folder = folderPart.isEmpty() ? QDir::currentPath() + u'/' : Resolve(folderPart);
    if (folder.isEmpty()) {
        if (error) *error = ENOENT;
        return false;
    }
    if (!folder.endsWith(u'/')) folder += u'/';
    Dir = ::opendir(QFile::encodeName(folder).constData());
    if (!Dir) {
        if (error) *error = errno;
        return false;
    }
    WasOpened = true;
    return Next(entry, error);
}

bool FolderSearch::Next(DirEntry& entry, int* error) {
    if (!Dir) {
        if (error) *error = ENOENT;
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* e = ::readdir(static_cast<DIR*>(Dir));
        if (!e) {
            const int code = errno ? errno : ENOENT;
            Close();
            if (error) *error = code;
            return false;
        }
        const QString name = QFile::decodeName(e->d_name);
        if (!NameMatches(NamePattern, name)) continue;
        if (name == QLatin1String(".") || name == QLatin1String("..")) {
            // Always folders; no look-up needed.
            entry = DirEntry{name, FILE_ATTRIBUTE_DIRECTORY};
            return true;
        }
        // Looked up beside the open folder rather than from the root.
        struct stat st;
        const int folder = ::dirfd(static_cast<DIR*>(Dir));
        if (::fstatat(folder, e->d_name, &st, 0) != 0 &&
            ::fstatat(folder, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // vanished while we listed
        entry = DirEntry{name, AttributesOf(name, st)};
        return true;
    }
}

uint32_t LogicalDrives() {
    const DriveLetters::Table& table = Drives(true);
    uint32_t mask = 0;
    for (int i = 0; i < 26; ++i)
        if (!table[i].Root.isEmpty()) mask |= 1u << i;
    return mask;
}

int DriveTypeOf(const QString& root) {
    if (!HasDriveLetter(root)) return DRIVE_NO_ROOT_DIR;
    const DriveLetters::Drive& d = Drives()[root[0].toUpper().unicode() - 'A'];
    return d.Root.isEmpty() ? DRIVE_NO_ROOT_DIR : d.Type;
}

QString DriveRoot(QChar letter) {
    const char16_t u = letter.toUpper().unicode();
    if (u < 'A' || u > 'Z') return QString();
    return Drives()[u - 'A'].Root;
}

QString CurrentDirectory() {
    const QString cwd = QDir::currentPath() + u'/';
    const DriveLetters::Table& table = Drives();
    int best = -1;
    for (int i = 0; i < 26; ++i) {
        const QString& root = table[i].Root;
        if (!root.isEmpty() && cwd.startsWith(root) &&
            (best < 0 || root.size() > table[best].Root.size()))
            best = i;
    }
    if (best < 0) return QString();
    QString rest = cwd.mid(table[best].Root.size());
    if (rest.endsWith(u'/')) rest.chop(1);
    rest.replace(u'/', u'\\');
    return QString(QChar(u'A' + best)) + QStringLiteral(":\\") + rest;
}

template <> DriveLetters& Service<DriveLetters>::Real() {
    static DriveLetters mounted;
    return mounted;
}

const DriveLetters::Table& DriveLetters::Drives(bool refresh) {
    if (Loaded && !refresh) return Letters;
    Letters.fill(Drive());
    for (const DriveMapping& m : Mounted()) {
        const char16_t u = m.Letter.toUpper().unicode();
        if (u < 'A' || u > 'Z') continue;
        QString root = m.Root;
        if (!root.endsWith(u'/')) root += u'/';
        Letters[u - 'A'] = Drive{root, m.Type};
    }
    Loaded = true;
    return Letters;
}

std::vector<DriveMapping> DriveLetters::Mounted() {
    std::vector<DriveMapping> drives{{u'C', QStringLiteral("/"), DRIVE_FIXED}};
    QFile mounts(QStringLiteral("/proc/self/mounts"));
    QHash<QString, QString> byPoint; // mount point -> type (the last mount wins)
    if (mounts.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = mounts.readAll().split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() < 3) continue;
            const QString point = Unescape(f[1]);
            const QString type = QString::fromLatin1(f[2]);
            if (point == QLatin1String("/")) continue;
            if (IsUserFileSystem(type, point))
                byPoint.insert(point, type);
            else
                byPoint.remove(point);
        }
    }
    QStringList points = byPoint.keys();
    std::sort(points.begin(), points.end());
    char16_t letter = u'D';
    for (const QString& point : points) {
        if (letter > u'Z') break;
        drives.push_back({QChar(letter++), point + u'/', KindOf(byPoint.value(point), point)});
    }
    return drives;
}

QByteArray ReadFileStart(const QString& path, qint64 maxBytes) {
    const QString native = NativePath(path);
    // Only a regular file is read: a pipe or a device could block or never end.
    if (!QFileInfo(native).isFile()) return QByteArray();
    QFile file(native);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.read(maxBytes);
}

} // namespace platform
