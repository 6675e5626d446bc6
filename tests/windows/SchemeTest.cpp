// Schemes on the real windows: the bar's and the details window's loaders, the scheme list, and
// a bad scheme at start-up.
#include "BmpSupport.h"
#include "TestSupport.h"
#include "app/Unit1.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "platform/ErrorReport.h"
#include "platform/Files.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QDirIterator>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <optional>

namespace {

const QColor BackColor(0x40, 0x50, 0x60);
const QColor BarColor(0xFF, 0, 0);
const QColor StartColor(0, 0xFF, 0);
const QColor EndColor(0, 0, 0xFF);
const QColor MarkColor(0xFF, 0xFF, 0);
const QColor FaceColor(0x20, 0x30, 0x40);

QRgb TopLeft(const TImage* image) {
    return image->Picture().toImage().pixel(0, 0);
}

class SchemeTest : public vtest::WindowsTest {
protected:
    void SetUp() override {
        vtest::WindowsTest::SetUp();
        ASSERT_TRUE(Root.isValid());
        Drives.emplace(vtest::DriveList{{u'C', QStringLiteral("/")}, {u'X', Root.path()}});
        SavedFolder = QDir::currentPath();
    }
    void TearDown() override {
        QDir::setCurrent(SavedFolder);
        Drives.reset();
        vtest::WindowsTest::TearDown();
    }

    QString Native(const QString& relative) const { return Root.path() + u'/' + relative; }
    void Write(const QString& relative, const QByteArray& bytes) {
        vtest::WriteFile(Native(relative), bytes);
    }
    // A scheme folder under X:\skins with the files named (the others are left out).
    void MakeScheme(const QString& folder, const QStringList& files) {
        QDir().mkpath(Native(folder));
        for (const QString& file : files) {
            const QString path = folder + u'/' + file;
            if (file == u"back.bmp") Write(path, vtest::SolidBmp(177, 21, BackColor));
            if (file == u"bar.bmp") Write(path, vtest::SolidBmp(100, 13, BarColor));
            if (file == u"bbar.bmp") Write(path, vtest::SolidBmp(3, 13, StartColor));
            if (file == u"ebar.bmp") Write(path, vtest::SolidBmp(5, 13, EndColor));
            if (file == u"cache.bmp") Write(path, vtest::SolidBmp(2, 13, MarkColor));
            if (file == u"details.bmp") Write(path, vtest::SolidBmp(177, 73, FaceColor));
            if (file == u"TextColor.txt") Write(path, "clRed\r\n");
        }
    }
    // Both loaders, the way a double click in the scheme list runs them.
    void LoadBoth(const QString& dir, const QString& scheme) {
        Vantrel->BarPrefs.Dir = dir;
        Vantrel->BarPrefs.Scheme = scheme;
        platform::Guarded([] {
            Vantrel->LoadScheme();
            FDetails->LoadScheme();
        });
    }
    void ExpectBuiltInBar() {
        EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
        EXPECT_DOUBLE_EQ(Vantrel->MemFig.BarScale, 1.36);
        EXPECT_EQ(Vantrel->Ibar->x(), 20);
        EXPECT_FALSE(Vantrel->Ibar->AutoSize());
        EXPECT_EQ(Vantrel->IBack->Picture().cacheKey(), Vantrel->res_back->Picture().cacheKey());
        EXPECT_EQ(Vantrel->Ibar->Picture().cacheKey(), Vantrel->res_bar->Picture().cacheKey());
        EXPECT_EQ(Vantrel->Ibbar->size(), QSize(4, 13));
        EXPECT_EQ(Vantrel->Iebar->size(), QSize(6, 13));
        EXPECT_EQ(Vantrel->ICache->size(), QSize(3, 13));
    }
    void ExpectBuiltInDetails() {
        EXPECT_EQ(FDetails->IDetails->Picture().cacheKey(),
                  FDetails->res_details->Picture().cacheKey());
        ExpectTextColor(0);
    }
    void ExpectTextColor(int32_t color) {
        for (TLabel* label : {FDetails->Label1, FDetails->Label2, FDetails->Label3,
                              FDetails->Label4, FDetails->Label5, FDetails->Label6})
            EXPECT_EQ(label->FontColor(), color);
    }

    QTemporaryDir Root;
    std::optional<vtest::FixedDrives> Drives;
    QString SavedFolder;
};

TEST_F(SchemeTest, FullSchemeDressesBothWindows) {
    MakeScheme("skins/blue", {"back.bmp", "bar.bmp", "bbar.bmp", "ebar.bmp", "cache.bmp",
                              "details.bmp", "TextColor.txt"});
    LoadBoth("x:\\skins\\", "blue");
    EXPECT_TRUE(vtest::Errors().isEmpty()) << vtest::Errors().join(u'|').toStdString();
    EXPECT_EQ(TopLeft(Vantrel->IBack), BackColor.rgb());
    EXPECT_EQ(Vantrel->IBack->size(), QSize(177, 21));
    EXPECT_EQ(TopLeft(Vantrel->Ibar), BarColor.rgb());
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 100);
    EXPECT_DOUBLE_EQ(Vantrel->MemFig.BarScale, 1.0);
    EXPECT_FALSE(Vantrel->Ibar->AutoSize());
    EXPECT_EQ(Vantrel->Ibar->geometry(), QRect(19, 4, 100, 13));
    EXPECT_EQ(Vantrel->Ibbar->geometry(), QRect(16, 4, 3, 13));
    EXPECT_EQ(Vantrel->Iebar->size(), QSize(5, 13));
    EXPECT_EQ(Vantrel->ICache->geometry(), QRect(159, 4, 2, 13));
    EXPECT_EQ(TopLeft(FDetails->IDetails), FaceColor.rgb());
    EXPECT_EQ(FDetails->IDetails->size(), QSize(177, 73));
    ExpectTextColor(0x000000FF);

    // The next full redraw draws the new band: 64 % of 100 pixels.
    Vantrel->MemFig.LastBarWidth = 0;
    Vantrel->Timer();
    EXPECT_EQ(Vantrel->Ibar->width(), 64);
    EXPECT_EQ(Vantrel->Iebar->x(), 16 + 3 + 64);
}

TEST_F(SchemeTest, MarkIsNotDrawnInItsBottomLeftColour) {
    MakeScheme("skins/mark", {"back.bmp", "bar.bmp"});
    QImage mark(3, 13, QImage::Format_RGB32);
    mark.fill(Qt::black);
    for (int y = 0; y < 13; ++y)
        mark.setPixel(1, y, qRgb(255, 0, 255));
    mark.setPixel(0, 12, qRgb(255, 0, 255));
    mark.save(Native("skins/mark/cache.bmp"), "BMP");
    LoadBoth("x:\\skins\\", "mark");
    const QImage strip = Vantrel->grab().toImage();
    EXPECT_EQ(strip.pixel(159, 8), qRgb(0, 0, 0));
    EXPECT_EQ(strip.pixel(160, 8), BackColor.rgb());
    EXPECT_EQ(strip.pixel(159, 16), BackColor.rgb());
    EXPECT_EQ(strip.pixel(161, 16), qRgb(0, 0, 0));
}

TEST_F(SchemeTest, WhichFilesTheWindowsFallBackFrom) {
    const struct {
        const char* what;
        QStringList files;
        bool barFromScheme;
        bool faceFromScheme;
        int32_t textColor;
    } cases[] = {
        {"only back.bmp", {"back.bmp"}, false, false, 0},
        {"only bar.bmp", {"bar.bmp"}, false, false, 0},
        {"only the details files", {"details.bmp", "TextColor.txt"}, false, true, 0xFF},
        {"only the colour", {"TextColor.txt"}, false, false, 0xFF},
        {"bar files without details files", {"back.bmp", "bar.bmp"}, true, false, 0},
        {"an empty folder", {}, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // Start from another look so that every fallback shows.
        MakeScheme("skins/full", {"back.bmp", "bar.bmp", "bbar.bmp", "ebar.bmp", "cache.bmp",
                                  "details.bmp", "TextColor.txt"});
        Write("skins/full/TextColor.txt", "clBlue");
        LoadBoth("x:\\skins\\", "full");
        const QString folder = QStringLiteral("skins/") + QString::fromLatin1(c.what);
        MakeScheme(folder, c.files);
        LoadBoth("x:\\skins\\", QString::fromLatin1(c.what));
        EXPECT_TRUE(vtest::Errors().isEmpty()) << vtest::Errors().join(u'|').toStdString();
        if (c.barFromScheme) {
            EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 100);
            EXPECT_EQ(TopLeft(Vantrel->IBack), BackColor.rgb());
        } else {
            ExpectBuiltInBar();
        }
        if (c.faceFromScheme)
            EXPECT_EQ(TopLeft(FDetails->IDetails), FaceColor.rgb());
        else
            EXPECT_EQ(FDetails->IDetails->Picture().cacheKey(),
                      FDetails->res_details->Picture().cacheKey());
        ExpectTextColor(c.textColor);
    }
}

TEST_F(SchemeTest, MissingOptionalPicturesGetWidthZero) {
    MakeScheme("skins/bare", {"back.bmp", "bar.bmp"});
    LoadBoth("x:\\skins\\", "bare");
    EXPECT_TRUE(vtest::Errors().isEmpty());
    for (TImage* image : {Vantrel->Ibbar, Vantrel->Iebar, Vantrel->ICache}) {
        EXPECT_EQ(image->width(), 0);
        EXPECT_FALSE(image->AutoSize());
    }
    // The band starts at 16 when there is no start cap.
    EXPECT_EQ(Vantrel->Ibar->x(), 16);
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 100);

    // A start cap that comes back sizes the control again.
    MakeScheme("skins/bare", {"bbar.bmp"});
    LoadBoth("x:\\skins\\", "bare");
    EXPECT_EQ(Vantrel->Ibbar->width(), 3);
    EXPECT_EQ(Vantrel->Ibar->x(), 19);
}

TEST_F(SchemeTest, LargerBackgroundIsCutAndTheBarKeepsItsSize) {
    MakeScheme("skins/big", {"bar.bmp"});
    Write("skins/big/back.bmp", vtest::SolidBmp(400, 60, BackColor));
    LoadBoth("x:\\skins\\", "big");
    EXPECT_EQ(Vantrel->IBack->size(), QSize(177, 21));
    EXPECT_EQ(Vantrel->size(), QSize(177, 21));
    EXPECT_EQ(Vantrel->IBack->Picture().size(), QSize(400, 60));
}

TEST_F(SchemeTest, WhereSchemesAreLookedFor) {
    MakeScheme("Skins/Blue", {"back.bmp", "bar.bmp", "details.bmp"});
    MakeScheme("skinsred", {"back.bmp", "bar.bmp", "details.bmp"});
    const struct {
        const char* dir;
        const char* scheme;
        const char* currentFolder;
        bool found;
    } cases[] = {
        // Any case of the folder and the scheme.
        {"x:\\skins\\", "blue", nullptr, true},
        {"X:\\SKINS\\", "BLUE", nullptr, true},
        {"x:/skins/", "Blue", nullptr, true},
        // The folder without its final separator is used unchanged.
        {"x:\\skins", "red", nullptr, true},
        {"x:\\skins", "blue", nullptr, false},
        // An empty folder is the current folder.
        {"", "blue", "Skins", true},
        {"", "blue", "", false},
        // "<default>" is the built-in scheme whatever the folder holds.
        {"x:\\skins\\", "<default>", nullptr, false},
        {"x:\\skins\\", "<none>", nullptr, false},
        {"y:\\skins\\", "blue", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dir) + " + " + c.scheme);
        if (c.currentFolder) QDir::setCurrent(Native(QLatin1String(c.currentFolder)));
        LoadBoth(QLatin1String(c.dir), QLatin1String(c.scheme));
        EXPECT_TRUE(vtest::Errors().isEmpty());
        EXPECT_EQ(Vantrel->MemFig.FullBarWidth, c.found ? 100 : 136);
        EXPECT_EQ(FDetails->IDetails->Picture().cacheKey() ==
                      FDetails->res_details->Picture().cacheKey(),
                  !c.found);
    }
    // "<default>" is taken as it is written; another spelling names a folder.
    MakeScheme("skins/<DEFAULT>", {"back.bmp", "bar.bmp"});
    LoadBoth("x:\\skins\\", "<DEFAULT>");
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 100);
    LoadBoth("x:\\skins\\", "<default>");
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
}

// A bad file stops the loading there: what came before it stays, nothing after it runs.
TEST_F(SchemeTest, BrokenBarPictureKeepsWhatWasLoadedBefore) {
    ExpectErrorBoxes();
    for (const auto& [what, bytes] : vtest::BrokenBitmaps()) {
        SCOPED_TRACE(what);
        vtest::Errors().clear();
        LoadBoth("x:\\skins\\", "<default>");
        MakeScheme("skins/broken", {"back.bmp", "bbar.bmp"});
        Write("skins/broken/bar.bmp", bytes);
        LoadBoth("x:\\skins\\", "broken");
        EXPECT_EQ(vtest::Errors(), QStringList{"Bitmap image is not valid."});
        EXPECT_EQ(TopLeft(Vantrel->IBack), BackColor.rgb());
        EXPECT_EQ(Vantrel->Ibar->Picture().cacheKey(), Vantrel->res_bar->Picture().cacheKey());
        EXPECT_EQ(Vantrel->Ibbar->Picture().cacheKey(), Vantrel->res_bbar->Picture().cacheKey());
        EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
        EXPECT_EQ(Vantrel->Ibar->x(), 20);
    }
}

TEST_F(SchemeTest, BrokenFileStopsEachLoaderWhereItIs) {
    ExpectErrorBoxes();
    MakeScheme("skins/cut", {"back.bmp", "bar.bmp", "cache.bmp", "ebar.bmp", "TextColor.txt"});
    Write("skins/cut/bbar.bmp", "BM not really");
    Write("skins/cut/details.bmp", "");
    LoadBoth("x:\\skins\\", "<default>");
    vtest::Errors().clear();
    Vantrel->BarPrefs.Dir = QStringLiteral("x:\\skins\\");
    Vantrel->BarPrefs.Scheme = QStringLiteral("cut");
    platform::Guarded([] { Vantrel->LoadScheme(); });
    platform::Guarded([] { FDetails->LoadScheme(); });
    EXPECT_EQ(vtest::Errors(),
              (QStringList{"Bitmap image is not valid.", "Bitmap image is not valid."}));
    // cache.bmp came before the bad start cap, ebar.bmp after it; steps 7 to 10 did not run.
    EXPECT_EQ(TopLeft(Vantrel->ICache), MarkColor.rgb());
    EXPECT_EQ(Vantrel->Iebar->Picture().cacheKey(), Vantrel->res_ebar->Picture().cacheKey());
    EXPECT_EQ(Vantrel->Ibar->width(), 100);
    EXPECT_TRUE(Vantrel->Ibar->AutoSize());
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
    // The details window kept its face and never reached the colour.
    ExpectBuiltInDetails();
}

TEST_F(SchemeTest, FileThatCannotBeOpened) {
    ExpectErrorBoxes();
    MakeScheme("skins/odd", {"bar.bmp", "TextColor.txt"});
    QDir().mkpath(Native("skins/odd/back.bmp"));
    QDir().mkpath(Native("skins/odd/details.bmp"));
    LoadBoth("x:\\skins\\", "odd");
    EXPECT_EQ(vtest::Errors(), QStringList{"Cannot open file x:\\skins\\odd\\back.bmp."});
    EXPECT_EQ(Vantrel->IBack->Picture().cacheKey(), Vantrel->res_back->Picture().cacheKey());
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
    vtest::Errors().clear();
    platform::Guarded([] { FDetails->LoadScheme(); });
    EXPECT_EQ(vtest::Errors(), QStringList{"Cannot open file x:\\skins\\odd\\details.bmp."});
}

TEST_F(SchemeTest, TextColorOfTheDetailsWindow) {
    ExpectErrorBoxes();
    const struct {
        QByteArray contents;
        int32_t color;     // after the load
        const char* error; // reported, or nullptr
    } cases[] = {
        {"clred\r\n", 0x000000FF, nullptr},
        {"$0000FF00", 0x0000FF00, nullptr},
        {"255", 0x000000FF, nullptr},
        {"clBtnFace\r\n", static_cast<int32_t>(0x8000000Fu), nullptr},
        // Written by a Linux editor, with or without a byte-order mark.
        {"clLime\n", 0x0000FF00, nullptr},
        {"\xEF\xBB\xBF"
         "clLime\n",
         0x0000FF00, nullptr},
        // A failing colour keeps the previous one (blue), after the face was set.
        {"clRedd\n", 0x00FF0000, "'clRedd' is not a valid integer value."},
        {"", 0x00FF0000, "'' is not a valid integer value."},
        {"clRed \r\n", 0x00FF0000, "'clRed ' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents.toStdString());
        MakeScheme("skins/text", {"details.bmp"});
        FDetails->LoadTextColor(0x00FF0000);
        FDetails->IDetails->SetPicture(QPixmap());
        vtest::Errors().clear();
        Write("skins/text/TextColor.txt", c.contents);
        LoadBoth("x:\\skins\\", "text");
        EXPECT_EQ(vtest::Errors(),
                  c.error ? QStringList{QString::fromLatin1(c.error)} : QStringList());
        ExpectTextColor(c.color);
        EXPECT_EQ(TopLeft(FDetails->IDetails), FaceColor.rgb());
    }
    // A "TextColor.txt" that cannot be read is read as empty.
    QFile::remove(Native("skins/text/TextColor.txt"));
    QDir().mkpath(Native("skins/text/TextColor.txt"));
    vtest::Errors().clear();
    LoadBoth("x:\\skins\\", "text");
    EXPECT_EQ(vtest::Errors(), QStringList{"'' is not a valid integer value."});
}

TEST_F(SchemeTest, SystemTextColourFollowsThePalette) {
    Write("skins/sys/TextColor.txt", "clHighlight");
    LoadBoth("x:\\skins\\", "sys");
    FDetails->Label1->SetCaption(QStringLiteral("WWWWWWWW"));
    auto drawn = [](const QColor& color) {
        const QImage image = FDetails->Label1->grab().toImage();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == color) return true;
        return false;
    };
    for (const QColor& highlight : {QColor(0x12, 0xC0, 0x34), QColor(0xC0, 0x22, 0x99)}) {
        QPalette pal = FDetails->palette();
        pal.setColor(QPalette::Active, QPalette::Highlight, highlight);
        FDetails->setPalette(pal);
        EXPECT_TRUE(drawn(highlight)) << highlight.name().toStdString();
    }
}

TEST_F(SchemeTest, SchemeList) {
    for (const char* folder :
         {"skins/blue", "skins/Amber", "skins/.hidden", "skins/zinc", "skins/BLUE2", "skinsextra"})
        QDir().mkpath(Native(QLatin1String(folder)));
    Write("skins/readme.txt", "");
    Write("skins/back.bmp", vtest::SolidBmp(2, 2, Qt::red));
    auto items = [] {
        QStringList texts;
        for (int i = 0; i < DPrefs->SchemeList->count(); ++i)
            if (DPrefs->SchemeList->item(i)->text() != u".hidden")
                texts.append(DPrefs->SchemeList->item(i)->text());
        return texts.join(u'|').toStdString();
    };
    auto selected = [] {
        const QList<QListWidgetItem*> items = DPrefs->SchemeList->selectedItems();
        return items.size() == 1 && DPrefs->SchemeList->currentItem() == items[0]
                   ? items[0]->text().toStdString()
                   : std::string(items.isEmpty() && !DPrefs->SchemeList->currentItem()
                                     ? "(none)"
                                     : "(inconsistent)");
    };
    const struct {
        const char* folder;
        const char* scheme;
        std::string items;
        std::string selected;
    } cases[] = {
        {"x:\\skins\\", "BLUE", "<default>|Amber|blue|BLUE2|zinc", "blue"},
        {"x:\\skins\\", "<default>", "<default>|Amber|blue|BLUE2|zinc", "<default>"},
        {"x:\\skins\\", ".HIDDEN", "<default>|Amber|blue|BLUE2|zinc", ".hidden"},
        {"X:/Skins/", "<none>", "<default>|Amber|blue|BLUE2|zinc", "(none)"},
        {"x:\\skins", "skinsExtra", "<default>|skins|skinsextra", "skinsextra"},
        {"x:\\nowhere\\", "blue", "<default>", "(none)"},
        {"x:\\nowhere\\", "<Default>", "<default>", "<default>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + " / " + c.scheme);
        Vantrel->BarPrefs.Scheme = QLatin1String(c.scheme);
        DPrefs->RefreshList(QLatin1String(c.folder));
        EXPECT_EQ(items(), c.items);
        EXPECT_EQ(selected(), c.selected);
    }
}

// Every file of the public corpus as a scheme's bar picture: good ones load, the others load or
// are not valid, and the bar stays usable.
TEST_F(SchemeTest, PublicCorpusAsTheBarPicture) {
    ExpectErrorBoxes();
    const QString suite = vtest::BmpSuite();
    if (suite.isEmpty()) {
        if (qEnvironmentVariableIsSet("CI")) FAIL() << "BMP corpus missing: " VANTREL_BMPSUITE_DIR;
        GTEST_SKIP() << "BMP corpus not found at " VANTREL_BMPSUITE_DIR;
    }
    MakeScheme("skins/suite", {"back.bmp"});
    int files = 0;
    for (const char* kind : {"g", "q", "b", "x"}) {
        QDirIterator it(suite + u'/' + QLatin1String(kind), {QStringLiteral("*.bmp")}, QDir::Files);
        while (it.hasNext()) {
            it.next();
            ++files;
            SCOPED_TRACE(it.filePath().toStdString());
            QFile::remove(Native("skins/suite/bar.bmp"));
            ASSERT_TRUE(QFile::copy(it.filePath(), Native("skins/suite/bar.bmp")));
            LoadBoth("x:\\skins\\", "<default>");
            vtest::Errors().clear();
            LoadBoth("x:\\skins\\", "suite");
            if (vtest::Errors().isEmpty()) {
                EXPECT_FALSE(Vantrel->Ibar->Picture().hasAlphaChannel());
                EXPECT_EQ(Vantrel->MemFig.FullBarWidth, Vantrel->Ibar->Picture().width());
                EXPECT_GT(Vantrel->MemFig.FullBarWidth, 0);
            } else {
                EXPECT_NE(kind[0], 'g');
                EXPECT_EQ(vtest::Errors(), QStringList{"Bitmap image is not valid."});
                EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
            }
            Vantrel->MemFig.LastBarWidth = 0;
            Vantrel->Timer();
        }
    }
    EXPECT_GE(files, 90);
}

// A scheme with files of its own for the details window has the window made at start-up, so that
// a fault in them is reported then; without them the window waits until it is opened.
TEST_F(SchemeTest, DetailsWindowMadeAtStartUpForTheSchemesOwnFiles) {
    ExpectErrorBoxes();
    Write("early/<none>/TextColor.txt", "clNothing\n");
    QDir::setCurrent(Native("early"));
    DestroyForms();
    vtest::Errors().clear();
    CreateForms();
    EXPECT_NE(FDetails, nullptr);
    EXPECT_EQ(vtest::Errors(), QStringList{"'clNothing' is not a valid integer value."});

    QFile::remove(Native("early/<none>/TextColor.txt"));
    DestroyForms();
    vtest::Errors().clear();
    CreateForms();
    EXPECT_EQ(FDetails, nullptr);
    EXPECT_TRUE(vtest::Errors().isEmpty());
}

// A bad file in the scheme named at start-up is reported; the bar then shows the built-in look
// and the meter runs.
TEST_F(SchemeTest, BadSchemeAtStartUpLeavesTheMeterRunning) {
    ExpectErrorBoxes();
    // No stored settings: the schemes folder is the current folder and the scheme "<none>".
    const QString settings =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
        QStringLiteral("/vantrel/HKEY_CURRENT_USER.reg");
    const QString aside = settings + QStringLiteral(".aside");
    QFile::rename(settings, aside);
    Write("start/<none>/back.bmp", vtest::SolidBmp(177, 21, BackColor));
    Write("start/<none>/bar.bmp", vtest::SolidBmp(100, 13, BarColor).left(70));
    Write("start/<none>/details.bmp", vtest::SolidBmp(177, 73, FaceColor));
    Write("start/<none>/TextColor.txt", "clRedd\n");
    QDir::setCurrent(Native("start"));
    Restart();
    QFile::rename(aside, settings);

    EXPECT_EQ(vtest::Errors(), (QStringList{"Bitmap image is not valid.",
                                            "'clRedd' is not a valid integer value."}));
    ExpectBuiltInBar();
    EXPECT_TRUE(Vantrel->SuperTimer1->isActive());
    EXPECT_EQ(Vantrel->SuperTimer1->interval(), 1500);
    // The first run drew the bar: 64 % of 136 pixels.
    EXPECT_EQ(Vantrel->Ibar->width(), 87);
    EXPECT_EQ(Vantrel->Iebar->x(), 107);
    // The details window was created with the face it loaded and black text.
    EXPECT_EQ(TopLeft(FDetails->IDetails), FaceColor.rgb());
    ExpectTextColor(0);

    // The timer goes on sampling.
    Memory.Status.AvailPhys = Memory.Status.TotalPhys / 2;
    Vantrel->SuperTimer1Timer();
    EXPECT_EQ(Vantrel->Ibar->width(), 69);
}

} // namespace
