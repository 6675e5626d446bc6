// Files and drives: Windows-form paths (drive letters, "\" separators, any case) on the Linux tree.
#pragma once

#include <QString>

namespace platform {

// The Linux path for a path in Windows form ("c:\skins\blue\back.bmp"), each component matched
// without regard to case (an exact match first). A native absolute path is taken as it is; a
// relative one is relative to the current folder.
QString NativePath(const QString& path);

// True when a listing of the exact path finds an entry (a folder counts too).
bool FileExists(const QString& path);

} // namespace platform
