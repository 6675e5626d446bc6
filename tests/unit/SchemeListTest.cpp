// The names of the scheme list and the entry it selects.
#include "FakeServices.h"
#include "platform/Files.h"
#include "windows/RefreshList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

// The list as one text, so that a failure shows the names.
std::string Joined(const QStringList& names) {
    return names.join(u'|').toStdString();
}

class SchemeNamesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Root.isValid());
        for (const char* folder :
             {"skins/blue", "skins/Amber", "skins/.hidden", "skins/zinc", "skins/Blue2",
              "skins/empty.bmp", "skinsextra", "Skinny", "SKINS2"})
            QDir(Root.path()).mkpath(QLatin1String(folder));
        for (const char* file : {"skins/readme.txt", "skins/back.bmp", "skinsfile"}) {
            QFile f(Root.path() + u'/' + QLatin1String(file));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        Drives.emplace(vtest::DriveList{{u'C', QStringLiteral("/")}, {u'X', Root.path()}});
    }
    void TearDown() override { Drives.reset(); }

    QTemporaryDir Root;
    std::optional<vtest::FixedDrives> Drives;
};

TEST_F(SchemeNamesTest, DefaultAndEverySubFolderSortedWithoutRegardToCase) {
    // Hidden folders count, files do not, and a folder is a scheme whatever it holds. Where
    // "<default>" falls among names that begin with punctuation is the locale's affair.
    for (const QString& folder : {QStringLiteral("x:\\skins\\"), QStringLiteral("X:/SKINS/"),
                                  Root.path() + QStringLiteral("/skins/")}) {
        QStringList names = SchemeNames(folder);
        EXPECT_EQ(names.removeAll(QStringLiteral(".hidden")), 1);
        EXPECT_EQ(Joined(names), "<default>|Amber|blue|Blue2|empty.bmp|zinc");
    }
}

TEST_F(SchemeNamesTest, FolderIsAPrefixUsedUnchanged) {
    // Without its final separator the folder lists the entries of its parent that begin with it.
    EXPECT_EQ(Joined(SchemeNames(QStringLiteral("x:\\skins"))),
              "<default>|skins|SKINS2|skinsextra");
    // An empty folder is the current folder.
    const QString saved = QDir::currentPath();
    QDir::setCurrent(Root.path() + QStringLiteral("/skins/blue"));
    EXPECT_EQ(Joined(SchemeNames(QString())), "<default>");
    QDir::setCurrent(Root.path());
    EXPECT_EQ(Joined(SchemeNames(QString())), "<default>|Skinny|skins|SKINS2|skinsextra");
    QDir::setCurrent(saved);
}

TEST_F(SchemeNamesTest, UnlistableFolderGivesDefaultAlone) {
    for (const char* folder : {"x:\\nowhere\\", "q:\\skins\\", "x:\\skins\\readme.txt\\"})
        EXPECT_EQ(Joined(SchemeNames(QLatin1String(folder))), "<default>") << folder;
}

TEST(SchemeIndex, LastEntryEqualWithAsciiFoldingIsSelected) {
    const QStringList names{"<default>", "Amber", "blue", "BLUE", "Grün"};
    const struct {
        const char* scheme;
        int index;
    } cases[] = {
        {"amber", 1}, {"AMBER", 1},   {"Blue", 3}, {"<DEFAULT>", 0}, {"<none>", -1},
        {"", -1},     {"amber ", -1}, {"GRüN", 4}, {"grÜn", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SchemeIndex(names, QString::fromUtf8(c.scheme)), c.index) << c.scheme;
}

} // namespace
