// Windows-form paths on the Linux tree: case-insensitive components, listing, drive letters.
#include "platform/Files.h"
#include "FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace platform;

class FilesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Root.isValid());
        QDir(Root.path()).mkpath(QStringLiteral("Skins/Blue"));
        QDir(Root.path()).mkpath(QStringLiteral("Skins/.hidden"));
        QDir(Root.path()).mkpath(QStringLiteral("skinsextra"));
        QDir(Root.path()).mkpath(QStringLiteral("exact/one"));
        QDir(Root.path()).mkpath(QStringLiteral("EXACT/two"));
        Touch(QStringLiteral("Skins/Blue/back.bmp"));
        Touch(QStringLiteral("Skins/readme.txt"));
        Drives.emplace(vtest::DriveList{{u'C', QStringLiteral("/")}, {u'X', Root.path()}});
    }
    void TearDown() override { Drives.reset(); }

    void Touch(const QString& relative) {
        QFile f(Root.path() + u'/' + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    std::vector<QString> Names(const QString& pattern, bool* ok = nullptr) {
        std::vector<DirEntry> entries;
        const bool listed = ListFolder(pattern, entries);
        if (ok) *ok = listed;
        std::vector<QString> names;
        for (const DirEntry& e : entries)
            names.push_back(e.Name);
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir Root;
    std::optional<vtest::FixedDrives> Drives;
};

TEST_F(FilesTest, MapsComponentsWithoutRegardToCase) {
    const QString root = Root.path();
    EXPECT_EQ(NativePath(QStringLiteral("x:\\skins\\blue\\BACK.BMP")),
              root + "/Skins/Blue/back.bmp");
    EXPECT_EQ(NativePath(QStringLiteral("X:/SKINS/BLUE/")), root + "/Skins/Blue/");
    EXPECT_EQ(NativePath(QStringLiteral("x:\\Skins/Blue\\back.bmp")),
              root + "/Skins/Blue/back.bmp");
    // An exact match wins over another spelling of the same name.
    EXPECT_EQ(NativePath(QStringLiteral("x:\\EXACT\\two")), root + "/EXACT/two");
    EXPECT_EQ(NativePath(QStringLiteral("x:\\exact\\one")), root + "/exact/one");
    // What does not exist is kept as given.
    EXPECT_EQ(NativePath(QStringLiteral("x:\\skins\\Nope\\bar.bmp")), root + "/Skins/Nope/bar.bmp");
    // Native absolute paths work too; C: is the root.
    EXPECT_EQ(NativePath(root + "/skins/blue"), root + "/Skins/Blue");
    EXPECT_EQ(NativePath(QStringLiteral("c:\\")), QStringLiteral("/"));
    // ".." stops at the drive's root.
    EXPECT_EQ(NativePath(QStringLiteral("x:\\skins\\..\\..\\..\\Skins")), root + "/Skins");
    // A letter that stands for nothing maps to nothing.
    EXPECT_TRUE(NativePath(QStringLiteral("q:\\skins")).isEmpty());
}

// A Linux folder name may hold a "\": such a folder is found in Windows form and in native form,
// even beside a folder named like the part before the "\".
TEST_F(FilesTest, NamesHoldingABackslashAreFound) {
    const QString root = Root.path();
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("back\\slash/Blue")));
    Touch(QStringLiteral("back\\slash/Blue/back.bmp"));
    const QString inside = root + QStringLiteral("/back\\slash/Blue/back.bmp");
    EXPECT_EQ(NativePath(QStringLiteral("x:\\back\\slash\\blue\\BACK.BMP")), inside);
    EXPECT_EQ(NativePath(QStringLiteral("x:\\BACK\\SLASH\\")),
              root + QStringLiteral("/back\\slash/"));
    EXPECT_EQ(NativePath(root + QStringLiteral("/back\\slash/Blue\\back.bmp")), inside);
    ASSERT_TRUE(QDir(root).mkpath(QStringLiteral("back/other")));
    EXPECT_EQ(NativePath(root + QStringLiteral("/back\\slash/")),
              root + QStringLiteral("/back\\slash/"));
    EXPECT_EQ(Names(root + QStringLiteral("/back\\slash/*.*")),
              (std::vector<QString>{".", "..", "Blue"}));
}

TEST_F(FilesTest, DotComponentsStayLexical) {
    const QString root = Root.path();
    ASSERT_TRUE(QFile::link(root + "/Skins/Blue", root + "/link"));
    EXPECT_EQ(NativePath(QStringLiteral("x:\\Skins\\Blue\\..\\Blue\\")), root + "/Skins/Blue/");
    EXPECT_EQ(NativePath(QStringLiteral("x:\\.\\skins\\.\\blue")), root + "/Skins/Blue");
    // ".." after a link goes back to the folder holding the link, not the link's parent.
    EXPECT_EQ(NativePath(QStringLiteral("x:\\link\\..\\exact")), root + "/exact");
    EXPECT_EQ(NativePath(QStringLiteral("x:\\link\\back.bmp")), root + "/link/back.bmp");
}

TEST_F(FilesTest, ExistsFindsFilesAndFolders) {
    EXPECT_TRUE(FileExists(QStringLiteral("X:\\SKINS\\BLUE\\BACK.BMP")));
    EXPECT_TRUE(FileExists(QStringLiteral("x:\\skins\\blue")));
    EXPECT_FALSE(FileExists(QStringLiteral("x:\\skins\\blue\\bar.bmp")));
    EXPECT_FALSE(FileExists(QStringLiteral("q:\\skins")));
    EXPECT_EQ(FileAttributes(QStringLiteral("x:\\skins\\blue")) & FILE_ATTRIBUTE_DIRECTORY,
              FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(FileAttributes(QStringLiteral("x:\\skins\\none")), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, ListsEveryEntryWithAttributes) {
    std::vector<DirEntry> entries;
    ASSERT_TRUE(ListFolder(QStringLiteral("x:\\skins\\*.*"), entries));
    std::vector<QString> names;
    for (const DirEntry& e : entries) {
        names.push_back(e.Name);
        if (e.Name == ".hidden") {
            EXPECT_EQ(e.Attributes, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
        } else if (e.Name == "readme.txt") {
            EXPECT_EQ(e.Attributes, FILE_ATTRIBUTE_NORMAL);
        } else {
            EXPECT_EQ(e.Attributes, FILE_ATTRIBUTE_DIRECTORY) << e.Name.toStdString();
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<QString>{".", "..", ".hidden", "Blue", "readme.txt"}));
}

TEST_F(FilesTest, PatternWithoutSeparatorMatchesNamePrefixes) {
    // A folder typed without its final separator lists the parent's entries that begin with it.
    EXPECT_EQ(Names(QStringLiteral("x:\\skins*.*")), (std::vector<QString>{"Skins", "skinsextra"}));
    EXPECT_EQ(Names(QStringLiteral("x:\\skins\\blue\\*.bmp")), (std::vector<QString>{"back.bmp"}));
    EXPECT_EQ(Names(QStringLiteral("x:\\skins\\?lue")), (std::vector<QString>{"Blue"}));
    // Many stars against a long name that does not match must not take exponential time.
    Touch(QStringLiteral("Skins/") + QString(200, u'a'));
    EXPECT_TRUE(
        Names(QStringLiteral("x:\\skins\\") + QString(40, u'*') + u'a' + QString(40, u'*') + u'b')
            .empty());
}

TEST_F(FilesTest, UnlistableFolderFails) {
    bool ok = true;
    EXPECT_TRUE(Names(QStringLiteral("x:\\nowhere\\*.*"), &ok).empty());
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Names(QStringLiteral("q:\\*.*"), &ok).empty());
    EXPECT_FALSE(ok);
}

TEST_F(FilesTest, SearchGivesOneEntryAtATime) {
    FolderSearch search;
    DirEntry entry;
    int error = 0;
    std::vector<QString> names;
    for (bool found = search.First(QStringLiteral("X:\\SKINS\\*.*"), entry, &error); found;
         found = search.Next(entry, &error))
        names.push_back(entry.Name);
    EXPECT_TRUE(search.Opened());
    EXPECT_EQ(error, ENOENT);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<QString>{".", "..", ".hidden", "Blue", "readme.txt"}));
    // Past the end, and after an early stop, there is nothing more.
    EXPECT_FALSE(search.Next(entry, &error));
    ASSERT_TRUE(search.First(QStringLiteral("x:\\skins\\*.*"), entry));
    search.Close();
    EXPECT_FALSE(search.Next(entry, &error));
    EXPECT_EQ(error, ENOENT);
    // A folder that cannot be listed gives its errno value.
    EXPECT_FALSE(search.First(QStringLiteral("x:\\nowhere\\*.*"), entry, &error));
    EXPECT_FALSE(search.Opened());
    EXPECT_EQ(error, ENOENT);
    // A folder that opens but has nothing that matches.
    EXPECT_FALSE(search.First(QStringLiteral("x:\\skins\\*.gif"), entry, &error));
    EXPECT_TRUE(search.Opened());
}

TEST_F(FilesTest, DrivesFromTheTable) {
    EXPECT_EQ(LogicalDrives(), (1u << 2) | (1u << 23));
    EXPECT_EQ(DriveTypeOf(QStringLiteral("C:\\")), DRIVE_FIXED);
    EXPECT_EQ(DriveTypeOf(QStringLiteral("B:\\")), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(DriveRoot(u'x'), Root.path() + u'/');
    const QString saved = QDir::currentPath();
    QDir::setCurrent(Root.path() + "/Skins/Blue");
    EXPECT_EQ(CurrentDirectory(), QStringLiteral("X:\\Skins\\Blue"));
    QDir::setCurrent(saved);
}

TEST(MountTable, CIsAlwaysTheRoot) {
    EXPECT_TRUE(LogicalDrives() & (1u << 2));
    EXPECT_EQ(DriveRoot(u'C'), QStringLiteral("/"));
    EXPECT_EQ(DriveRoot(u'A'), QString());
}

} // namespace
