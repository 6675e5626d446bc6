// The bar's notification-area icon: its tooltip follows the sampler, its menu is the bar's.
#include "FakeDesktop.h"
#include "TestSupport.h"
#include "app/Unit1.h"
#include "components/WTaskBar.h"

#include <QCoreApplication>
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
