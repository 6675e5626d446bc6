// The bar and the dialogs on several monitors, and monitors that come and go while it runs.
#include "BmpSupport.h"
#include "TestSupport.h"
#include "app/Unit1.h"
#include "platform/Screen.h"

#include <QApplication>

namespace {

const QByteArray Header("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n");

class Monitors : public vtest::WindowsTest {
protected:
    void SetScreens(const QList<QRect>& screens) {
        Screens.Set(screens);
        QApplication::processEvents();
    }
    QString File() const { return SettingsFolder() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }
};

TEST_F(Monitors, ABarOnNoMonitorIsShownInSightAndKeepsItsPlace) {
    vtest::WriteFile(File(), Header + "\"Top\"=\"400\"\n\"Left\"=\"2500\"\n");
    Restart();
    Vantrel->show();
    EXPECT_EQ(Vantrel->pos(), QPoint(1024 - 177, 400));
    EXPECT_EQ(Vantrel->Left(), 2500);

    // Its monitor plugged in: back at its place; unplugged again: in sight again.
    SetScreens({QRect(0, 0, 1024, 768), QRect(1024, 0, 1920, 1080)});
    EXPECT_EQ(Vantrel->pos(), QPoint(2500, 400));
    SetScreens({QRect(0, 0, 1024, 768)});
    EXPECT_EQ(Vantrel->pos(), QPoint(847, 400));

    // A fixed bar is not put against its edge by a change of monitors.
    Vantrel->BarPrefs.FixPos = 1;
    Vantrel->BarPrefs.BarPos = 3;
    SetScreens({QRect(0, 0, 1280, 1024)});
    EXPECT_EQ(Vantrel->pos(), QPoint(1280 - 177, 400));

    Vantrel->writeprefs();
    EXPECT_TRUE(vtest::ReadFile(File()).contains("\"Top\"=\"400\"\n\"Left\"=\"2500\"\n"));
}

TEST_F(Monitors, ADragMovesFromWhereTheBarIsSeen) {
    Vantrel->show();
    Vantrel->Place({3000, 100});
    ASSERT_EQ(Vantrel->pos(), QPoint(847, 100));
    Vantrel->Shape1MouseDown(Qt::LeftButton, 10, 5);
    Vantrel->Shape1MouseMove(15, 7);
    Vantrel->Shape1MouseUp(Qt::LeftButton, 15, 7);
    EXPECT_EQ(Vantrel->pos(), QPoint(852, 102));
    EXPECT_EQ(QPoint(Vantrel->Left(), Vantrel->Top()), QPoint(852, 102));

    // A step that moves nothing (held against no edge) leaves the place where it was.
    Vantrel->Place({3000, 100});
    Vantrel->BarPrefs.FixPos = 1;
    Vantrel->BarPrefs.BarPos = 0;
    Vantrel->Shape1MouseDown(Qt::LeftButton, 10, 5);
    Vantrel->Shape1MouseMove(15, 7);
    EXPECT_EQ(QPoint(Vantrel->Left(), Vantrel->Top()), QPoint(3000, 100));
}

} // namespace
