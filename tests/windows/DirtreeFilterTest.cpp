// Directory tree without a window: the folder filters, the state after construction, the shell
// names and icons of drives and folders.
#include "FakeServices.h"
#include "components/dirtree.h"
#include "platform/Files.h"
#include "platform/ShellInfo.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace platform;

class OpenTree : public Tdirtree {
public:
    using Tdirtree::AttrAllowed;
    using Tdirtree::FolderAllowed;
    using Tdirtree::LastPaths;
    using Tdirtree::TreeReady;
};

TEST(DirtreeFilter, AttributeFilterTable) {
    constexpr uint32_t D = FILE_ATTRIBUTE_DIRECTORY, H = FILE_ATTRIBUTE_HIDDEN,
                       S = FILE_ATTRIBUTE_SYSTEM, A = FILE_ATTRIBUTE_ARCHIVE,
                       R = FILE_ATTRIBUTE_READONLY;
    using T = Tdirtree;
    struct Case {
        T::tDirType Type;
        uint32_t Attributes;
        bool Allowed;
    };
    const Case cases[] = {
        // The value after construction admits everything.
        {T::dtNormal | T::dtAll, D | H | S | A, true},
        {T::dtAll, D | S, true},
        // Nothing, or read-only alone, admits no folder at all.
        {{}, D, false},
        {{}, D | H, false},
        {T::dtReadonly, D, false},
        {T::dtReadonly, D | R, false},
        {T::dtReadonly, D | H, false},
        // Hidden alone: hidden folders that are neither system nor archive.
        {T::dtHidden, D | H, true},
        {T::dtHidden, D | H | R, true},
        {T::dtHidden, D, false},
        {T::dtHidden, D | H | S, false},
        {T::dtHidden, D | H | A, false},
        // Normal alone: every folder without hidden, system or archive.
        {T::dtNormal, D, true},
        {T::dtNormal, D | R, true},
        {T::dtNormal, D | H, false},
        {T::dtNormal, D | S, false},
        {T::dtNormal, D | A, false},
        // Each of the three admits its own kind.
        {T::dtSystem, D | S, true},
        {T::dtArchive, D | A, true},
        {T::dtHidden | T::dtSystem, D | H | S, true},
        {T::dtHidden | T::dtNormal, D, true},
        {T::dtHidden | T::dtNormal, D | H | A, false},
    };
    OpenTree tree;
    for (const Case& c : cases) {
        tree.setProperty("DirType", QVariant::fromValue(c.Type));
        ASSERT_EQ(tree.DirType(), c.Type);
        EXPECT_EQ(tree.AttrAllowed(c.Attributes), c.Allowed)
            << "type " << int(c.Type) << " attributes " << c.Attributes;
    }
}

TEST(DirtreeFilter, RecycleRuleIgnoresCaseAndKeepsTheFolderItself) {
    struct Case {
        const char* Path;
        bool Allowed;
    };
    const Case cases[] = {
        {"C:\\RECYCLED\\", true},        {"C:\\RECYCLED\\INSIDE\\", false},
        {"D:\\A\\Recycled\\B\\", false}, {"D:\\A\\recycled\\", true},
        {"C:\\RECYCLEDX\\B\\", true},    {"C:\\", true},
        {"C:\\MY RECYCLED\\B\\", true},
    };
    OpenTree tree;
    for (const Case& c : cases) // below the recycle folder is allowed by default
        EXPECT_TRUE(tree.FolderAllowed(QString::fromLatin1(c.Path))) << c.Path;
    tree.SetGoBelowRecycleBin(false);
    for (const Case& c : cases)
        EXPECT_EQ(tree.FolderAllowed(QString::fromLatin1(c.Path)), c.Allowed) << c.Path;
}

TEST(DirtreeFilter, HostIsAskedUnlessTheRecycleRuleRefused) {
    OpenTree tree;
    tree.SetGoBelowRecycleBin(false);
    QStringList asked;
    tree.OnAddDir = [&](QString name, bool& doAdd) {
        asked.append(name);
        if (name == QLatin1String("C:\\NO\\")) doAdd = false;
    };
    EXPECT_TRUE(tree.FolderAllowed(QStringLiteral("C:\\YES\\")));
    EXPECT_FALSE(tree.FolderAllowed(QStringLiteral("C:\\NO\\")));
    EXPECT_FALSE(tree.FolderAllowed(QStringLiteral("C:\\RECYCLED\\X\\")));
    EXPECT_EQ(asked, (QStringList{"C:\\YES\\", "C:\\NO\\"}));
}

TEST(DirtreeState, ValuesAfterConstruction) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("Start/Here")));
    std::optional<vtest::FixedDrives> drives;
    drives.emplace(vtest::DriveList{{u'C', root.path()}});
    const QString saved = QDir::currentPath();
    QDir::setCurrent(root.path() + QStringLiteral("/Start/Here"));
    OpenTree tree;
    QDir::setCurrent(saved);
    drives.reset();

    EXPECT_EQ(tree.Directory(), QStringLiteral("?"));
    EXPECT_EQ(tree.property("Directory").toString(), QStringLiteral("?"));
    EXPECT_EQ(tree.BorderStyle(), Tdirtree::bsSingle);
    EXPECT_TRUE(tree.ReadOnStart());
    EXPECT_EQ(tree.DragCursor(), -12);
    EXPECT_EQ(int(tree.DirType()), 0x30);
    EXPECT_TRUE(tree.AllowNetwork());
    EXPECT_TRUE(tree.GoBelowRecycleBin());
    EXPECT_FALSE(tree.FastLoad());
    EXPECT_FALSE(tree.Readonly());
    EXPECT_EQ(tree.ShellIcons(), SystemSmallIcons());
    EXPECT_FALSE(tree.TreeReady);
    EXPECT_FALSE(tree.isSortingEnabled());
    EXPECT_EQ(tree.size(), QSize(121, 97));
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_EQ(tree.LastPaths[0], QStringLiteral("A:\\"));
    EXPECT_EQ(tree.LastPaths[25], QStringLiteral("Z:\\"));
    // The start-up folder, upper case with its final separator.
    EXPECT_EQ(tree.LastPaths[2], QStringLiteral("C:\\START\\HERE\\"));

    // Before the control is shown nothing is listed and a write only stores.
    tree.LoadDrives();
    tree.SetAllowNetwork(false);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
}

TEST(ShellInfo, NamesAndIconsWithoutTouchingTheDisk) {
    QTemporaryDir root;
    std::optional<vtest::FixedDrives> drives;
    drives.emplace(vtest::DriveList{{u'C', QStringLiteral("/")},
                                    {u'D', root.path() + QStringLiteral("/Data"), DRIVE_FIXED},
                                    {u'E', QStringLiteral("/media/nothing/STICK"), DRIVE_REMOVABLE},
                                    {u'F', QStringLiteral("/mnt/share"), DRIVE_REMOTE},
                                    {u'G', QStringLiteral("/media/cd"), DRIVE_CDROM}});
    struct Case {
        const char* Path;
        const char* Name;
        int Icon;
        int OpenIcon;
    };
    const Case cases[] = {
        {"C:\\", "File System (C:)", ICON_DRIVE_FIXED, ICON_DRIVE_FIXED},
        {"d:\\", "Data (D:)", ICON_DRIVE_FIXED, ICON_DRIVE_FIXED},
        {"E:\\", "STICK (E:)", ICON_DRIVE_REMOVABLE, ICON_DRIVE_REMOVABLE},
        {"F:\\", "share (F:)", ICON_DRIVE_REMOTE, ICON_DRIVE_REMOTE},
        {"G:\\", "cd (G:)", ICON_DRIVE_CDROM, ICON_DRIVE_CDROM},
        {"Q:\\", "(Q:)", ICON_DRIVE_UNKNOWN, ICON_DRIVE_UNKNOWN},
        {"C:\\SKINS\\Blue Sky\\", "Blue Sky", ICON_FOLDER, ICON_FOLDER_OPEN},
        {"C:\\skins", "skins", ICON_FOLDER, ICON_FOLDER_OPEN},
    };
    for (const Case& c : cases) {
        const QString path = QString::fromLatin1(c.Path);
        EXPECT_EQ(ShellInfoOf(path, false).DisplayName, QString::fromLatin1(c.Name)) << c.Path;
        EXPECT_EQ(ShellInfoOf(path, false).IconIndex, c.Icon) << c.Path;
        EXPECT_EQ(ShellInfoOf(path, true).IconIndex, c.OpenIcon) << c.Path;
    }
    drives.reset();

    SmallIconList* icons = SystemSmallIcons();
    ASSERT_EQ(icons->Count(), int(ICON_COUNT));
    for (int i = 0; i < icons->Count(); ++i)
        EXPECT_FALSE(icons->Icon(i).isNull()) << i;
    EXPECT_TRUE(icons->Icon(ICON_COUNT).isNull());
    // A node's icon pair is made once and shared by every node that shows it.
    const QIcon pair = icons->NodeIcon(ICON_FOLDER, ICON_FOLDER_OPEN);
    EXPECT_FALSE(pair.isNull());
    EXPECT_EQ(icons->NodeIcon(ICON_FOLDER, ICON_FOLDER_OPEN).cacheKey(), pair.cacheKey());
    EXPECT_FALSE(pair.pixmap(16, QIcon::Selected).isNull());
}

} // namespace
