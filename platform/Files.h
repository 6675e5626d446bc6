// Files and drives: Windows-form paths (drive letters, "\" separators, any case) on the Linux tree.
//
// Drive C: is "/". The other letters stand for the other mounted file systems (see DriveRoot).
// "\" and "/" both separate; each component is matched without regard to case, an exact match
// first, so "c:\home\ann\skins\blue\back.bmp" finds "/home/ann/Skins/Blue/back.bmp". A native
// absolute path ("/home/ann/skins/") is taken as it is; any other path is relative to the
// current folder.
#pragma once

#include "platform/Service.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// Attribute bits of a listed entry, as the Windows find data gives them.
enum : uint32_t {
    FILE_ATTRIBUTE_READONLY = 0x01,
    FILE_ATTRIBUTE_HIDDEN = 0x02,
    FILE_ATTRIBUTE_SYSTEM = 0x04,
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_ATTRIBUTE_ARCHIVE = 0x20,
    FILE_ATTRIBUTE_NORMAL = 0x80,
    INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF,
};

// Drive kinds.
enum DriveType : int {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

struct DirEntry {
    QString Name;        // as the file system has it
    uint32_t Attributes; // FILE_ATTRIBUTE_* bits
};

// The Linux path for a path in Windows form; components that do not exist are kept as given
// (after the last one found), so the result names where the file would be.
QString NativePath(const QString& path);
// The first maxBytes bytes (or fewer) of the regular file at path; empty when it is no regular
// file or cannot be read.
QByteArray ReadFileStart(const QString& path, qint64 maxBytes);

// True when a listing of the exact path finds an entry (a folder counts too).
bool FileExists(const QString& path);

// Attribute bits of the entry at path, or INVALID_FILE_ATTRIBUTES when there is none.
uint32_t FileAttributes(const QString& path);

// Lists the entries that match a pattern in Windows form: a folder, then a name pattern with
// "*" and "?" in its last component ("c:\skins\*.*", "c:\skins*.*"). "*.*" matches every name,
// "." and ".." included for a folder. Entries come in the file system's order. False (with an
// errno value in error, when given) when the folder cannot be listed.
bool ListFolder(const QString& pattern, std::vector<DirEntry>& entries, int* error = nullptr);

// The same listing one entry at a time, so a caller that looks for the first entry of a kind
// stops reading there. First starts a search and gives its first matching entry, Next the
// following ones; both give false at the end (error ENOENT) or when the folder cannot be listed
// (error the errno value). The search closes at its end, on Close and on destruction.
class FolderSearch {
public:
    FolderSearch() = default;
    ~FolderSearch();
    FolderSearch(const FolderSearch&) = delete;
    FolderSearch& operator=(const FolderSearch&) = delete;

    bool First(const QString& pattern, DirEntry& entry, int* error = nullptr);
    bool Next(DirEntry& entry, int* error = nullptr);
    void Close();
    // True when the last First could open its folder.
    bool Opened() const { return WasOpened; }

private:
    void* Dir = nullptr; // DIR*
    QString NamePattern;
    bool WasOpened = false;
};

// Bit i set when drive letter 'A' + i stands for something.
uint32_t LogicalDrives();
// The kind of the drive whose root is given ("C:\").
int DriveTypeOf(const QString& root);
// The native folder a drive letter stands for; empty when none.
QString DriveRoot(QChar letter);
// The current folder in Windows form ("C:\HOME\ANN" for /home/ann), or empty when it lies on
// no drive.
QString CurrentDirectory();

// One drive: its letter, the native folder it stands for, its kind.
struct DriveMapping {
    QChar Letter;
    QString Root;
    int Type = DRIVE_FIXED;
};

// What the drive letters stand for, read when first needed and again when the drives are
// listed (LogicalDrives).
class DriveLetters {
public:
    virtual ~DriveLetters() = default;
    // Each letter's root (ending in "/") and kind, A: first; an empty root for a letter that
    // stands for nothing.
    struct Drive {
        QString Root;
        int Type = DRIVE_NO_ROOT_DIR;
    };
    using Table = std::array<Drive, 26>;
    const Table& Drives(bool refresh = false);

protected:
    // C: for "/", then D:, E:, ... for the other mounted file systems a user keeps files on, in
    // the order of their mount points.
    virtual std::vector<DriveMapping> Mounted();

private:
    Table Letters;
    bool Loaded = false;
};
template <> DriveLetters& Service<DriveLetters>::Real();

} // namespace platform
