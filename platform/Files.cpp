// Windows-form paths mapped onto the Linux tree.
#include "platform/Files.h"

#include <QFileInfo>

namespace platform {

QString NativePath(const QString& path) { return path; }

bool FileExists(const QString& path) { return QFileInfo::exists(NativePath(path)); }

} // namespace platform
