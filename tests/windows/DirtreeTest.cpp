// Directory tree shown offscreen over real folders made under a temporary root, each drive letter
// standing for one folder of it.
#include "components/dirtree.h"
#include "FakeServices.h"
#include "core/VError.h"
#include "platform/Files.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

using namespace platform;

class OpenTree : public Tdirtree {
public:
    using Tdirtree::LastPaths;
    using Tdirtree::TreeReady;
};

class DirtreeWindow : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Root.isValid());
        for (const char* folder :
             {"c/Alpha/Sub1", "c/Alpha/Sub2/Deeper", "c/beta", "c/Gamma", "c/RECYCLED/Inside",
              "c/.hidden/Deep", "c/Solo/Only", "d/A/Recycled/B", "f/Share", "h"})
            ASSERT_TRUE(QDir(Root.path()).mkpath(QString::fromLatin1(folder)));
        QFile file(Root.path() + QStringLiteral("/c/file.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        Letters.emplace(vtest::DriveList{{u'C', Native("c")},
                                         {u'D', Native("d")},
                                         {u'E', Native("no-medium"), DRIVE_REMOVABLE},
                                         {u'F', Native("f"), DRIVE_REMOTE},
                                         {u'G', Native("no-disc"), DRIVE_CDROM},
                                         {u'H', Native("h")}});
    }
    void TearDown() override {
        Letters.reset();
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor stayed";
    }

    QString Native(const char* relative) const {
        return Root.path() + u'/' + QString::fromLatin1(relative);
    }

    // A tree, shown (so it lists the drives unless told otherwise before).
    std::unique_ptr<OpenTree> Shown(const std::function<void(OpenTree&)>& before = {}) {
        auto tree = std::make_unique<OpenTree>();
        if (before) before(*tree);
        tree->show();
        return tree;
    }

    // The node whose path is given, among the nodes that exist.
    static QTreeWidgetItem* Node(QTreeWidget& tree, const QString& path) {
        QTreeWidgetItemIterator it(&tree);
        for (; *it; ++it)
            if (const tdirname* record = Tdirtree::Record(*it); record && record->Path == path)
                return *it;
        return nullptr;
    }
    static QStringList Texts(const QTreeWidgetItem* node) {
        QStringList texts;
        for (int i = 0; i < node->childCount(); ++i)
            texts.append(node->child(i)->text(0));
        return texts;
    }
    static QStringList Drives(const QTreeWidget& tree) {
        QStringList paths;
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            paths.append(Tdirtree::Record(tree.topLevelItem(i))->Path);
        return paths;
    }
    static QTreeWidgetItem* Expanded(QTreeWidget& tree, const QString& path) {
        QTreeWidgetItem* node = Node(tree, path);
        if (node) node->setExpanded(true);
        return node;
    }

    QTemporaryDir Root;
    std::optional<vtest::FixedDrives> Letters;
};

TEST_F(DirtreeWindow, ListsDrivesWhenFirstShownWithoutTouchingRemovableMedia) {
    OpenTree tree;
    QStringList asked;
    tree.OnAddDir = [&](QString name, bool&) { asked.append(name); };
    EXPECT_EQ(tree.topLevelItemCount(), 0);
    EXPECT_FALSE(tree.TreeReady);
    tree.show();
    EXPECT_TRUE(tree.TreeReady);
    EXPECT_EQ(Drives(tree), (QStringList{"C:\\", "D:\\", "E:\\", "F:\\", "G:\\", "H:\\"}));
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("c (C:)"));
    EXPECT_FALSE(tree.topLevelItem(0)->icon(0).isNull());
    // Fixed and remote drives are probed: the expand marker when they hold a listable folder,
    // nothing when they do not. Removable and CD-ROM drives get the unread marker untouched.
    EXPECT_EQ(Texts(Node(tree, "C:\\")), QStringList{" "});
    EXPECT_EQ(Texts(Node(tree, "D:\\")), QStringList{" "});
    EXPECT_EQ(Texts(Node(tree, "E:\\")), QStringList{"u**"});
    EXPECT_EQ(Texts(Node(tree, "F:\\")), QStringList{" "});
    EXPECT_EQ(Texts(Node(tree, "G:\\")), QStringList{"u**"});
    EXPECT_EQ(Texts(Node(tree, "H:\\")), QStringList{});
    // Only the roots of the removable and CD-ROM drives are asked about, nothing below them.
    for (const QString& name : asked)
        EXPECT_FALSE(name.size() > 3 && (name.startsWith(u'E') || name.startsWith(u'G')))
            << name.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("E:\\")));

    // Shown again: no second listing.
    QTreeWidgetItem* first = tree.topLevelItem(0);
    tree.hide();
    tree.show();
    EXPECT_EQ(tree.topLevelItem(0), first);
}

TEST_F(DirtreeWindow, ReadOnStartOffListsNothingUntilAsked) {
    auto tree = Shown([](OpenTree& t) { t.SetReadOnStart(false); });
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_FALSE(tree->TreeReady);
    tree->LoadDrives();
    EXPECT_EQ(tree->topLevelItemCount(), 6);
    EXPECT_TRUE(tree->TreeReady);
}

TEST_F(DirtreeWindow, AHandlerThatThrowsLeavesTheTreeFreeToListAgain) {
    auto tree = Shown([](OpenTree& t) { t.SetReadOnStart(false); });
    bool refuse = true;
    tree->OnAddDir = [&](QString name, bool&) {
        if (refuse && name == QStringLiteral("D:\\")) throw VantrelError(QStringLiteral("no"));
    };
    EXPECT_THROW(tree->LoadDrives(), VantrelError);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor stayed";
    EXPECT_TRUE(tree->updatesEnabled());
    EXPECT_FALSE(tree->TreeReady);
    refuse = false;
    tree->LoadDrives();
    EXPECT_EQ(tree->topLevelItemCount(), 6);
    EXPECT_TRUE(tree->TreeReady);
    // A folder read that throws ends its batch too.
    refuse = true;
    tree->OnAddDir = [&](QString name, bool&) {
        if (refuse && name.size() > 3) throw VantrelError(QStringLiteral("no"));
    };
    EXPECT_THROW(tree->SetDirectory(QStringLiteral("C:\\Alpha\\")), VantrelError);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor stayed";
    EXPECT_TRUE(tree->updatesEnabled());
}

TEST_F(DirtreeWindow, ExpandingReadsSortedFoldersAndProbesThem) {
    auto tree = Shown();
    QTreeWidgetItem* c = Expanded(*tree, "C:\\");
    ASSERT_TRUE(c);
    EXPECT_TRUE(c->isExpanded());
    EXPECT_TRUE(Tdirtree::Record(c)->Scanned);
    // Ordered by name without regard to case; the hidden folder is listed under the default
    // filter; files are not.
    EXPECT_EQ(Texts(c), (QStringList{".hidden", "Alpha", "beta", "Gamma", "RECYCLED", "Solo"}));
    EXPECT_EQ(Tdirtree::Record(c->child(1))->Path, QStringLiteral("C:\\ALPHA\\"));
    EXPECT_FALSE(Tdirtree::Record(c->child(1))->Scanned);
    // Children with a listable sub-folder get the expand marker, the others nothing.
    EXPECT_EQ(Texts(Node(*tree, "C:\\ALPHA\\")), QStringList{" "});
    EXPECT_EQ(Texts(Node(*tree, "C:\\BETA\\")), QStringList{});

    // Reading happens once: a folder made later shows only after the next listing.
    QDir(Native("c")).mkpath(QStringLiteral("Later"));
    c->setExpanded(false);
    c->setExpanded(true);
    EXPECT_FALSE(Texts(c).contains(QStringLiteral("Later")));
    tree->LoadDrives();
    EXPECT_TRUE(Texts(Expanded(*tree, "C:\\")).contains(QStringLiteral("Later")));
}

TEST_F(DirtreeWindow, CaseSiblingsAndBackslashNamesAreListedAsTheyAreAndOpenThemselves) {
    QDir(Native("h")).mkpath(QStringLiteral("Music/Rock"));
    QDir(Native("h")).mkpath(QStringLiteral("MUSIC/Jazz"));
    QDir(Native("h")).mkpath(QStringLiteral("art"));
    QDir(Native("h")).mkpath(QStringLiteral("back\\slash/Inner"));
    auto tree = Shown();
    QTreeWidgetItem* h = Expanded(*tree, "H:\\");
    ASSERT_EQ(h->childCount(), 4);
    EXPECT_EQ(h->child(0)->text(0), QStringLiteral("art"));
    EXPECT_EQ(h->child(1)->text(0), QStringLiteral("back\\slash"));
    EXPECT_EQ(
        (QStringList{h->child(2)->text(0), h->child(3)->text(0)}).count(QStringLiteral("MUSIC")),
        1);
    EXPECT_EQ(
        (QStringList{h->child(2)->text(0), h->child(3)->text(0)}).count(QStringLiteral("Music")),
        1);

    // Each node reads its own folder, and the selected one tells its own native path.
    for (int i = 1; i < 4; ++i) {
        QTreeWidgetItem* node = h->child(i);
        EXPECT_EQ(Texts(node), QStringList{" "}) << node->text(0).toStdString(); // expandable
        node->setExpanded(true);
        const QString own = node->text(0) == QStringLiteral("Music")   ? QStringLiteral("Rock")
                            : node->text(0) == QStringLiteral("MUSIC") ? QStringLiteral("Jazz")
                                                                       : QStringLiteral("Inner");
        EXPECT_EQ(Texts(node), QStringList{own}) << node->text(0).toStdString();
        tree->setCurrentItem(node);
        EXPECT_EQ(tree->FolderOnDisk(), Native("h") + u'/' + node->text(0) + u'/');
    }

    // Written back in the file system's spelling, each folder is found again.
    for (const char* name : {"MUSIC", "Music", "back\\slash"}) {
        tree->setCurrentItem(h);
        tree->SetDirectory(QStringLiteral("H:\\") + QString::fromLatin1(name) + u'\\');
        EXPECT_EQ(tree->currentItem()->text(0), QString::fromLatin1(name));
    }
    tree->SetDirectory(QStringLiteral("H:\\back\\slash\\inner"));
    EXPECT_EQ(tree->currentItem()->text(0), QStringLiteral("Inner"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("H:\\BACK\\SLASH\\INNER\\"));
}

TEST_F(DirtreeWindow, ADeepSelectionIsScrolledIntoViewSideways) {
    QString deep = QStringLiteral("h");
    QString path = QStringLiteral("H:\\");
    for (int i = 1; i <= 9; ++i) {
        deep += QStringLiteral("/Level%1folder").arg(i);
        path += QStringLiteral("LEVEL%1FOLDER\\").arg(i);
    }
    ASSERT_TRUE(QDir(Root.path()).mkpath(deep));
    auto tree = Shown([](OpenTree& t) { t.resize(174, 198); });
    for (const bool byKeyboard : {false, true}) {
        tree->horizontalScrollBar()->setValue(0);
        if (byKeyboard) {
            // From the folder above, the Down key selects the deep folder.
            tree->setCurrentItem(tree->currentItem()->parent());
            tree->horizontalScrollBar()->setValue(0);
            QTest::keyClick(tree.get(), Qt::Key_Down);
        } else {
            tree->SetDirectory(path);
        }
        QTreeWidgetItem* node = tree->currentItem();
        ASSERT_TRUE(node);
        ASSERT_EQ(node->text(0), QStringLiteral("Level9folder"));
        // The name is seen whole, and so is the expand button's column before it.
        const QRect item = tree->visualItemRect(node);
        const int text = tree->fontMetrics().horizontalAdvance(node->text(0));
        EXPECT_GT(tree->horizontalScrollBar()->value(), 0) << byKeyboard;
        EXPECT_GE(item.left() - tree->indentation(), 0) << byKeyboard;
        EXPECT_LE(item.left() + text, tree->viewport()->width()) << byKeyboard;
    }
}

TEST_F(DirtreeWindow, DottedLinesJoinTheNodesAndBoxesMarkThoseThatOpen) {
    auto tree = Shown([](OpenTree& t) { t.resize(300, 300); });
    Expanded(*tree, "C:\\");
    QApplication::processEvents();
    const QImage shot = tree->viewport()->grab().toImage();
    const QRgb line = tree->palette().color(QPalette::Dark).rgb();
    const QRgb sign = tree->palette().color(QPalette::Text).rgb();
    auto lineDots = [&](QRect area) {
        int dots = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                dots += shot.valid(x, y) && shot.pixel(x, y) == line;
        return dots;
    };
    // Row by row: the node's own column, the stub across to its picture, the line down to a
    // next sibling, and the box with its sign on a node that can open.
    struct Row {
        const char* path;
        bool down;
        bool box;
    };
    for (const Row& row : {Row{"C:\\ALPHA\\", true, true}, Row{"C:\\BETA\\", true, false},
                           Row{"C:\\SOLO\\", false, true}}) {
        const QRect item = tree->visualItemRect(Node(*tree, QString::fromLatin1(row.path)));
        const int x = item.left() - tree->indentation() + tree->indentation() / 2;
        const int middle = item.top() + item.height() / 2;
        const bool up = lineDots(QRect(x, item.top(), 1, item.height() / 2 - 5)) > 0;
        const bool down = lineDots(QRect(x, middle + 5, 1, item.bottom() - middle - 4)) > 0;
        const bool across = lineDots(QRect(x + 5, middle, item.left() - x - 5, 1)) > 0;
        const bool box = shot.pixel(x, middle) == sign && shot.pixel(x - 4, middle) == line;
        EXPECT_TRUE(up) << row.path;
        EXPECT_EQ(down, row.down) << row.path;
        EXPECT_TRUE(across) << row.path;
        EXPECT_EQ(box, row.box) << row.path;
    }
    // The drives' column runs on past C:'s folders to the next drive.
    const QRect solo = tree->visualItemRect(Node(*tree, QStringLiteral("C:\\SOLO\\")));
    const int driveColumn = solo.left() - 2 * tree->indentation() + tree->indentation() / 2;
    EXPECT_GT(lineDots(QRect(driveColumn - 1, solo.top(), 3, solo.height())), 0);
}

TEST_F(DirtreeWindow, HostSeesExpandedNodeAfterItWasRead) {
    QStringList seen;
    int collapsed = 0;
    auto tree = Shown();
    QObject::connect(tree.get(), &QTreeWidget::itemExpanded,
                     [&](QTreeWidgetItem* node) { seen = Texts(node); });
    QObject::connect(tree.get(), &QTreeWidget::itemCollapsed, [&] { ++collapsed; });
    Expanded(*tree, "C:\\");
    EXPECT_EQ(seen.size(), 6);
    Expanded(*tree, "C:\\ALPHA\\");
    EXPECT_EQ(seen, (QStringList{"Sub1", "Sub2"}));
    EXPECT_EQ(collapsed, 0);
    Node(*tree, "C:\\ALPHA\\")->setExpanded(false);
    EXPECT_EQ(collapsed, 1);
}

// However a node opens, a host hears of it once, and only after the folder was read: the order
// the tree keeps even if the view's own forwarding ever changes.
TEST_F(DirtreeWindow, EveryWayOfOpeningIsReportedOnceAfterTheRead) {
    struct Way {
        const char* name;
        std::function<void(QTreeWidget&, QTreeWidgetItem*)> open;
    };
    const auto key = [](QTreeWidget& tree, QTreeWidgetItem* node, Qt::Key k) {
        tree.setCurrentItem(node);
        QTest::keyClick(&tree, k);
    };
    const Way ways[] = {
        {"setExpanded", [](QTreeWidget&, QTreeWidgetItem* node) { node->setExpanded(true); }},
        {"expandItem", [](QTreeWidget& tree, QTreeWidgetItem* node) { tree.expandItem(node); }},
        {"Right key", [&](QTreeWidget& t, QTreeWidgetItem* n) { key(t, n, Qt::Key_Right); }},
        {"+ key", [&](QTreeWidget& t, QTreeWidgetItem* n) { key(t, n, Qt::Key_Plus); }},
        {"* key", [&](QTreeWidget& t, QTreeWidgetItem* n) { key(t, n, Qt::Key_Asterisk); }},
        {"double click",
         [](QTreeWidget& tree, QTreeWidgetItem* node) {
             const QPoint at = tree.visualItemRect(node).center();
             QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
             QTest::mouseDClick(tree.viewport(), Qt::LeftButton, {}, at);
         }},
    };
    for (const Way& way : ways) {
        auto tree = Shown();
        tree->setFocus();
        QTreeWidgetItem* c = Expanded(*tree, "C:\\");
        QTreeWidgetItem* alpha = Node(*tree, "C:\\ALPHA\\");
        ASSERT_TRUE(alpha && c->isExpanded()) << way.name;
        int heard = 0;
        bool readFirst = false;
        QObject::connect(tree.get(), &QTreeWidget::itemExpanded, [&](QTreeWidgetItem* node) {
            ++heard;
            readFirst = node == alpha && Tdirtree::Record(node)->Scanned &&
                        Texts(node) == QStringList{"Sub1", "Sub2"};
        });
        way.open(*tree, alpha);
        EXPECT_TRUE(alpha->isExpanded()) << way.name;
        EXPECT_EQ(heard, 1) << way.name;
        EXPECT_TRUE(readFirst) << way.name;
    }
}

TEST_F(DirtreeWindow, ExpandingVetoedStillReads) {
    int expanded = 0, collapsed = 0;
    auto tree = Shown();
    QObject::connect(tree.get(), &QTreeWidget::itemExpanded, [&] { ++expanded; });
    QObject::connect(tree.get(), &QTreeWidget::itemCollapsed, [&] { ++collapsed; });
    tree->OnExpanding = [](Tdirtree*, QTreeWidgetItem* node, bool& allow) {
        allow = Tdirtree::Record(node)->Path != QLatin1String("D:\\");
    };
    QTreeWidgetItem* d = Expanded(*tree, "D:\\");
    EXPECT_FALSE(d->isExpanded());
    EXPECT_TRUE(Tdirtree::Record(d)->Scanned);
    EXPECT_EQ(Texts(d), QStringList{"A"});
    EXPECT_EQ(expanded, 0);
    EXPECT_EQ(collapsed, 0);
}

TEST_F(DirtreeWindow, AsteriskOpensOneLevelOnly) {
    auto tree = Shown();
    QTreeWidgetItem* c = Node(*tree, "C:\\");
    tree->setCurrentItem(c);
    tree->setFocus();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Asterisk, Qt::NoModifier, QStringLiteral("*"));
    QApplication::sendEvent(tree.get(), &key);
    EXPECT_TRUE(c->isExpanded());
    EXPECT_FALSE(Tdirtree::Record(Node(*tree, "C:\\ALPHA\\"))->Scanned);
    EXPECT_FALSE(Node(*tree, "C:\\ALPHA\\SUB1\\"));
}

TEST_F(DirtreeWindow, WritingAndReadingDirectory) {
    QStringList changes;
    auto tree = Shown();
    tree->OnChange = [&](Tdirtree* sender, QTreeWidgetItem*) {
        changes.append(sender->Directory());
    };
    EXPECT_EQ(tree->Directory(), QStringLiteral("?"));

    // "C:" is a drive root: selected without the folder test.
    tree->SetDirectory(QStringLiteral("C:"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("C:\\"));
    EXPECT_EQ(tree->currentItem(), Node(*tree, "C:\\"));

    // Any case in, upper case with the final "\" out; the folders on the way are read.
    tree->SetDirectory(QStringLiteral("c:\\alpha\\sub2"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("C:\\ALPHA\\SUB2\\"));
    EXPECT_EQ(tree->property("Directory").toString(), QStringLiteral("C:\\ALPHA\\SUB2\\"));
    EXPECT_TRUE(Tdirtree::Record(Node(*tree, "C:\\ALPHA\\SUB2\\"))->Scanned);
    EXPECT_TRUE(Node(*tree, "C:\\ALPHA\\")->isExpanded());
    EXPECT_EQ(tree->LastPaths[2], QStringLiteral("C:\\ALPHA\\SUB2\\"));
    EXPECT_EQ(changes, (QStringList{"C:\\", "C:\\ALPHA\\SUB2\\"}));

    // What does not change the selection: "?", empty, a missing folder, a file, a folder the
    // tree does not show, a drive letter that stands for nothing.
    for (const char* value :
         {"?", "", "c:\\alpha\\none", "c:\\file.txt", "x:\\", "c:\\alpha\\..", "alpha\\sub1"}) {
        tree->SetDirectory(QString::fromLatin1(value));
        EXPECT_EQ(tree->Directory(), QStringLiteral("C:\\ALPHA\\SUB2\\")) << value;
    }
    EXPECT_EQ(changes.size(), 2);
}

TEST_F(DirtreeWindow, WritingBeforeShownOpensTheFolderWhenShown) {
    OpenTree tree;
    tree.SetDirectory(QStringLiteral("c:\\nowhere"));
    tree.SetDirectory(QStringLiteral("d:\\a"));
    EXPECT_EQ(tree.topLevelItemCount(), 0); // nothing is listed before the tree is shown
    EXPECT_EQ(tree.Directory(), QStringLiteral("?"));
    tree.show();
    EXPECT_TRUE(tree.TreeReady);
    EXPECT_EQ(tree.Directory(), QStringLiteral("D:\\A\\"));
}

TEST_F(DirtreeWindow, RecycleRuleInTheTree) {
    auto tree = Shown([](OpenTree& t) { t.SetGoBelowRecycleBin(false); });
    Expanded(*tree, "C:\\");
    QTreeWidgetItem* recycled = Node(*tree, "C:\\RECYCLED\\");
    ASSERT_TRUE(recycled);
    EXPECT_EQ(recycled->childCount(), 0); // its only sub-folder is refused, so no expand button
    recycled->setExpanded(true);
    EXPECT_EQ(recycled->childCount(), 0);
    tree->SetDirectory(QStringLiteral("D:\\A\\Recycled\\B"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("?"));
    EXPECT_TRUE(Node(*tree, "D:\\A\\RECYCLED\\"));

    // Going below again rebuilds the tree and keeps the selection.
    tree->SetDirectory(QStringLiteral("d:\\a\\recycled"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("D:\\A\\RECYCLED\\"));
    tree->SetGoBelowRecycleBin(true);
    EXPECT_EQ(tree->Directory(), QStringLiteral("D:\\A\\RECYCLED\\"));
    EXPECT_EQ(Texts(Node(*tree, "D:\\A\\RECYCLED\\")), QStringList{"B"});
}

TEST_F(DirtreeWindow, DirTypeFilterInTheTree) {
    using T = Tdirtree;
    struct Case {
        T::tDirType Type;
        QStringList Listed;
    };
    const QStringList all{".hidden", "Alpha", "beta", "Gamma", "RECYCLED", "Solo"};
    const Case cases[] = {
        {T::dtNormal | T::dtAll, all},
        {{}, {}},
        {T::dtReadonly, {}},
        {T::dtHidden, {".hidden"}},
        {T::dtNormal, {"Alpha", "beta", "Gamma", "RECYCLED", "Solo"}},
        {T::dtHidden | T::dtNormal, all},
    };
    auto tree = Shown();
    for (const Case& c : cases) {
        tree->SetDirType(c.Type);
        QTreeWidgetItem* drive = Expanded(*tree, "C:\\");
        EXPECT_EQ(Texts(drive), c.Listed) << int(c.Type);
        // A drive without a listable folder has no expand button.
        if (c.Listed.isEmpty()) {
            EXPECT_EQ(Texts(Node(*tree, "D:\\")), QStringList{});
        }
    }
}

TEST_F(DirtreeWindow, FastLoadMarksEveryDriveUnread) {
    auto tree = Shown([](OpenTree& t) { t.SetFastLoad(true); });
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        EXPECT_EQ(Texts(tree->topLevelItem(i)), QStringList{"u**"}) << i;
    // Expanding the drive without folders takes its button away.
    QTreeWidgetItem* h = Expanded(*tree, "H:\\");
    EXPECT_EQ(h->childCount(), 0);
    // A drive without a medium simply ends up without children.
    QTreeWidgetItem* e = Expanded(*tree, "E:\\");
    EXPECT_EQ(e->childCount(), 0);
    EXPECT_TRUE(Tdirtree::Record(e)->Scanned);
}

TEST_F(DirtreeWindow, HostVetoesDriveAndFolder) {
    auto tree = Shown([](OpenTree& t) {
        t.OnAddDir = [](QString name, bool& doAdd) {
            if (name == QLatin1String("C:\\") || name == QLatin1String("D:\\A\\Recycled\\"))
                doAdd = false;
        };
    });
    EXPECT_FALSE(Drives(*tree).contains(QStringLiteral("C:\\")));
    tree->SetDirectory(QStringLiteral("c:\\alpha"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("?"));
    // The only sub-folder of D:\A is refused: D:\A has no expand button and nothing below.
    QTreeWidgetItem* d = Expanded(*tree, "D:\\");
    ASSERT_TRUE(d);
    EXPECT_EQ(Texts(Node(*tree, "D:\\A\\")), QStringList{});
    tree->SetDirectory(QStringLiteral("d:\\a\\recycled\\b"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("?"));
}

TEST_F(DirtreeWindow, DeletedNodesAreReportedWithoutRecords) {
    int markers = 0, folders = 0, withRecord = 0;
    auto tree = Shown();
    tree->OnDeleteItem = [&](Tdirtree* sender, QTreeWidgetItem* node) {
        EXPECT_EQ(sender, tree.get());
        if (Tdirtree::Record(node)) ++withRecord;
        if (node->text(0) == QLatin1String(" ") || node->text(0) == QLatin1String("u**"))
            ++markers;
        else
            ++folders;
    };
    // Reading C: removes its marker.
    Expanded(*tree, "C:\\");
    EXPECT_EQ(markers, 1);
    EXPECT_EQ(folders, 0);
    // A new listing deletes every node: 6 drives, the 6 folders of C:, the markers of D:, E:, F:,
    // G: and of the four folders of C: with sub-folders (.hidden, Alpha, RECYCLED, Solo).
    markers = 0;
    tree->LoadDrives();
    EXPECT_EQ(folders, 12);
    EXPECT_EQ(markers, 8);
    EXPECT_EQ(withRecord, 0);
    tree->OnDeleteItem = nullptr;
}

TEST_F(DirtreeWindow, DestructionReportsEveryNode) {
    auto tree = Shown();
    Expanded(*tree, "C:\\");
    int deleted = 0;
    int changes = 0;
    tree->OnDeleteItem = [&](Tdirtree*, QTreeWidgetItem*) { ++deleted; };
    tree->OnChange = [&](Tdirtree*, QTreeWidgetItem*) { ++changes; };
    tree->SetDirectory(QStringLiteral("C:\\GAMMA"));
    changes = 0;
    int nodes = 0;
    for (QTreeWidgetItemIterator it(tree.get()); *it; ++it)
        ++nodes;
    tree.reset();
    EXPECT_EQ(deleted, nodes);
    EXPECT_EQ(changes, 0);
}

TEST_F(DirtreeWindow, SameValueDoesNotListAgain) {
    int deleted = 0;
    auto tree = Shown();
    tree->OnDeleteItem = [&](Tdirtree*, QTreeWidgetItem*) { ++deleted; };
    tree->SetDirType(tree->DirType());
    tree->SetAllowNetwork(true);
    tree->SetGoBelowRecycleBin(true);
    tree->setProperty("AllowNetwork", true);
    EXPECT_EQ(deleted, 0);
    // A different value does, and AllowNetwork off leaves the remote drive out.
    tree->SetAllowNetwork(false);
    EXPECT_GT(deleted, 0);
    EXPECT_FALSE(Drives(*tree).contains(QStringLiteral("F:\\")));
    // FastLoad is a plain store.
    deleted = 0;
    tree->SetFastLoad(true);
    EXPECT_EQ(deleted, 0);
}

TEST_F(DirtreeWindow, RebuildFallsBackToTheDriveAndItsLastPath) {
    auto tree = Shown();
    tree->SetDirectory(QStringLiteral("c:\\gamma"));
    ASSERT_EQ(tree->Directory(), QStringLiteral("C:\\GAMMA\\"));
    // The selected folder goes: its drive root is selected instead.
    QDir(Native("c/Gamma")).removeRecursively();
    tree->Rebuild();
    EXPECT_EQ(tree->Directory(), QStringLiteral("C:\\"));

    // Its drive goes too: the first drive that was looked at, at the path last chosen there.
    tree->SetDirectory(QStringLiteral("d:\\a"));
    tree->SetDirectory(QStringLiteral("c:\\beta"));
    tree->OnAddDir = [](QString name, bool& doAdd) {
        if (name == QLatin1String("C:\\")) doAdd = false;
    };
    tree->Rebuild();
    EXPECT_EQ(tree->Directory(), QStringLiteral("D:\\A\\"));

    // Nothing was selected before: the same fallback.
    tree->setCurrentItem(nullptr);
    tree->clearSelection();
    ASSERT_EQ(tree->Directory(), QStringLiteral("?"));
    tree->Rebuild();
    EXPECT_EQ(tree->Directory(), QStringLiteral("D:\\A\\"));
}

TEST_F(DirtreeWindow, LabelEditingChangesOnlyTheText) {
    auto tree = Shown();
    tree->SetDirectory(QStringLiteral("c:\\beta"));
    QTreeWidgetItem* beta = tree->currentItem();
    tree->editItem(beta);
    auto* editor = tree->findChild<QLineEdit*>();
    ASSERT_TRUE(editor);
    editor->setText(QStringLiteral("Renamed"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents(); // the editor's text is committed once control returns
    EXPECT_EQ(beta->text(0), QStringLiteral("Renamed"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("C:\\BETA\\"));
    EXPECT_TRUE(QDir(Native("c/beta")).exists());

    tree->SetReadonly(true);
    delete tree->findChild<QLineEdit*>();
    tree->editItem(beta);
    EXPECT_FALSE(tree->findChild<QLineEdit*>());
}

TEST_F(DirtreeWindow, LoopsAndVanishingFoldersEndQuietly) {
    ASSERT_EQ(::symlink(Native("c/Alpha").toLocal8Bit().constData(),
                        Native("c/Alpha/Sub1/Back").toLocal8Bit().constData()),
              0);
    ASSERT_EQ(::symlink("Self", Native("c/Alpha/Self").toLocal8Bit().constData()), 0);
    auto tree = Shown();
    // The link back shows as a folder one level at a time.
    tree->SetDirectory(QStringLiteral("c:\\alpha\\sub1\\back\\sub1\\back"));
    EXPECT_EQ(tree->Directory(), QStringLiteral("C:\\ALPHA\\SUB1\\BACK\\SUB1\\BACK\\"));
    EXPECT_EQ(Texts(Node(*tree, "C:\\ALPHA\\")), (QStringList{"Sub1", "Sub2"}));

    // A folder that goes after its parent was read: no children, no button after the attempt.
    QTreeWidgetItem* deeper = Node(*tree, "C:\\ALPHA\\SUB2\\");
    Expanded(*tree, "C:\\ALPHA\\");
    ASSERT_EQ(Texts(deeper), QStringList{" "});
    QDir(Native("c/Alpha/Sub2")).removeRecursively();
    deeper->setExpanded(true);
    EXPECT_EQ(deeper->childCount(), 0);

    if (::geteuid() != 0) { // root reads every folder
        QDir(Native("h")).mkpath(QStringLiteral("Locked/Inner"));
        QFile::setPermissions(Native("h/Locked"), QFileDevice::Permissions());
        tree->LoadDrives();
        QTreeWidgetItem* locked = Expanded(*tree, "H:\\LOCKED\\");
        ASSERT_TRUE(locked);
        EXPECT_EQ(locked->childCount(), 0);
        QFile::setPermissions(Native("h/Locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
    }
}

} // namespace
