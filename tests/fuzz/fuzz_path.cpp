// Fuzz target: Windows-form path mapping and pattern listing, inside a scratch tree.
#include "platform/Files.h"
#include "tests/FakeServices.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const QTemporaryDir& Scratch() {
    static QTemporaryDir dir;
    static bool made = [] {
        QDir(dir.path()).mkpath(QStringLiteral("Skins/Blue/deep/er"));
        QDir(dir.path()).mkpath(QStringLiteral("skins/.hidden"));
        static vtest::FixedDrives drives(
            {{u'C', dir.path()}, {u'D', dir.path() + QStringLiteral("/Skins")}});
        QDir::setCurrent(dir.path());
        return true;
    }();
    (void)made;
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scratch();
    const QString path = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString native = platform::NativePath(path);
    platform::FileExists(path);
    platform::FileAttributes(path);
    std::vector<platform::DirEntry> entries;
    platform::ListFolder(path, entries);
    // A path on drive D never leaves D's folder, whatever ".." it holds.
    if (path.size() >= 2 && path[1] == u':' && (path[0] == u'd' || path[0] == u'D')) {
        const QString root = platform::DriveRoot(u'D');
        if (!(native + u'/').startsWith(root)) __builtin_trap();
    }
    return 0;
}
