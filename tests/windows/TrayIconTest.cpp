// The bar's notification-area icon: its tooltip follows the sampler, its menu is the bar's; its
// picture, and the small icons of the folder tree.
#include "FakeDesktop.h"
#include "TestSupport.h"
#include "app/Unit1.h"
#include "components/WTaskBar.h"
#include "controls/ResourceIcon.h"
#include "platform/ShellInfo.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>

using namespace platform;

namespace {

class BarIconTest : public vtest::WindowsTest {
protected:
    void SetUp() override {
        vtest::Shell().Calls.clear();
        WindowsTest::SetUp();
    }

    // The requests since the last look: operation and tooltip.
    std::vector<std::pair<uint32_t, QString>> Requests() {
        std::vector<std::pair<uint32_t, QString>> got;
        for (const auto& call : vtest::Shell().Calls)
            got.emplace_back(call.Message, TipText(call.Data));
        vtest::Shell().Calls.clear();
        return got;
    }
};

TEST_F(BarIconTest, TheIconIsAddedWithTheLoadTextBeforeTheFirstTick) {
    const QString load =
        QStringLiteral("Vantrel - [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]");
    const std::vector<std::pair<uint32_t, QString>> expected = {
        {NIM_DELETE, "Vantrel"}, // the hint set before the icon is switched on
        {NIM_DELETE, load},      // the first sampling run, the icon still switched off
        {NIM_DELETE, load},      // once the loop runs: the picture, still switched off
        {NIM_ADD, load},         // then switched on, with the load text
    };
    EXPECT_EQ(Requests(), expected);
    EXPECT_EQ(Vantrel->WinTaskbar1->Hint, load);
    EXPECT_TRUE(Vantrel->WinTaskbar1->ShowIcon);
    EXPECT_EQ(Vantrel->WinTaskbar1->PopUpMenu, Vantrel->PopupMenu1);
    // Drawn for each size a notification area asks for, not scaled from one.
    const QList<QSize> sizes = Vantrel->WinTaskbar1->Icon.availableSizes();
    for (int side : {16, 22, 24, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

TEST_F(BarIconTest, TheHintChangesOnlyWhenTheBarWidthDoes) {
    Requests();
    const struct {
        const char* what;
        uint64_t availKb;
        std::vector<std::pair<uint32_t, QString>> expected;
    } ticks[] = {
        {"same figures", 98304, {}},
        {"load 66%",
         92000,
         {{NIM_MODIFY, "Vantrel - [Load: 173,015 Kb, 66%]  [Free: 89,129 Kb, 34%]"}}},
        {"less free, same load figure", 91800, {}},
        {"back to 64%",
         98304,
         {{NIM_MODIFY, "Vantrel - [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]"}}},
    };
    for (const auto& t : ticks) {
        SCOPED_TRACE(t.what);
        Memory.Status.AvailPhys = t.availKb * 1024;
        Vantrel->SuperTimer1Timer();
        EXPECT_EQ(Requests(), t.expected);
    }
}

TEST_F(BarIconTest, ARightPressOnTheIconShowsTheBarMenu) {
    vtest::FakeDesktop desktop;
    desktop.Cursor = QPoint(1000, 10);
    PostMessage(Vantrel->WinTaskbar1->MessageWindow, TrayCallbackMessage, 0, WM_RBUTTONDOWN);
    PostMessage(Vantrel->WinTaskbar1->MessageWindow, TrayCallbackMessage, 0, WM_RBUTTONUP);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(desktop.Foregrounds, std::vector<QWidget*>{Vantrel});
    EXPECT_EQ(desktop.Menus, std::vector<QMenu*>{Vantrel->PopupMenu1});
    EXPECT_TRUE(desktop.Log.last().endsWith(QStringLiteral(" at 1000,10")));
}

TEST_F(BarIconTest, TheIconLeavesWhenTheBarIsDestroyed) {
    Requests();
    DestroyForms();
    ASSERT_EQ(vtest::Shell().Calls.size(), 1u);
    EXPECT_EQ(vtest::Shell().Calls[0].Message, NIM_DELETE);
    EXPECT_EQ(vtest::Shell().Calls[0].Data.hIcon, nullptr);
    vtest::Shell().Calls.clear();
}

} // namespace

// The icon's picture for each size asked: the picture of that size where there is one, else the
// next larger one scaled down, the largest for anything larger; the same picture as the file.
TEST(ResourceIconTest, PicksThePictureNearestTheSizeAsked) {
    const QIcon icon = ResourceIcon(QStringLiteral(":/art/vantrel-%1.png"), {48, 16, 22, 24, 32});
    EXPECT_EQ(icon.availableSizes(),
              (QList<QSize>{{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}}));
    const struct {
        int asked, got, file;
    } cases[] = {{16, 16, 16}, {22, 22, 22}, {20, 20, 22}, {8, 8, 16}, {64, 48, 48}};
    for (const auto& c : cases) {
        const QImage drawn = icon.pixmap(QSize(c.asked, c.asked)).toImage();
        EXPECT_EQ(drawn.size(), QSize(c.got, c.got)) << c.asked;
        QPixmap file(QStringLiteral(":/art/vantrel-%1.png").arg(c.file));
        if (c.got != c.file)
            file = file.scaled(c.got, c.got, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        EXPECT_EQ(drawn.convertToFormat(QImage::Format_ARGB32),
                  file.toImage().convertToFormat(QImage::Format_ARGB32))
            << c.asked;
    }
}

// The folder tree's icons keep the pictures it draws (16 pixels, 32 at twice the density) and
// none of the large ones Qt's own icons carry.
TEST(SmallIconListTest, HoldsOnlySmallPictures) {
    const platform::SmallIconList* icons = platform::SystemSmallIcons();
    ASSERT_EQ(icons->Count(), platform::ICON_COUNT);
    for (int i = 0; i < icons->Count(); ++i) {
        const QIcon icon = icons->Icon(i);
        ASSERT_FALSE(icon.isNull()) << i;
        EXPECT_EQ(icon.availableSizes().first(), QSize(16, 16)) << i;
        for (const QSize& size : icon.availableSizes())
            EXPECT_LE(size.width(), 32) << i;
    }
}
