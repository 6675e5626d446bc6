// Dragging the bar, the fixed edges and stay-on-top.
#include "TestSupport.h"
#include "app/Unit1.h"
#include "controls/Shape.h"
#include "platform/WindowSystem.h"

#include <QApplication>
#include <QMouseEvent>
#include <vector>

namespace {

// Records every position the bar window is moved to.
class MoveRecorder : public QObject {
public:
    std::vector<QPoint> Moves;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Move) Moves.push_back(static_cast<QMoveEvent*>(e)->pos());
        return false;
    }
};

class BarDrag : public vtest::WindowsTest {
protected:
    void SetUp() override {
        WindowsTest::SetUp();
        Vantrel->show();
        Vantrel->Place({300, 200});
    }
    // A mouse event on Shape1 at a point of the shape, as the window system delivers it.
    void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint local) {
        const QPointF global = Vantrel->Shape1->mapToGlobal(QPointF(local));
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        QMouseEvent event(type, QPointF(local), global,
                          type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QApplication::sendEvent(Vantrel->Shape1, &event);
    }
};

TEST_F(BarDrag, EachSettingCombinationMovesAsTheTableSays) {
    // Press at (10, 5) and move to (30, 12): dX = 20, dY = 7, from (300, 200) on 1024 x 768.
    const struct {
        int32_t noMove, fixPos, barPos;
        QPoint after;
    } cases[] = {
        {0, 0, 1, {320, 207}},                        // free placement, whatever BarPos holds
        {0, 2, 3, {320, 207}},                        // FixPos 2 counts as off
        {0, 1, 1, {320, 0}},                          // top edge: slides along it
        {0, 1, 2, {847, 207}},                        // right edge: 1024 - 177
        {0, 1, 3, {320, 747}},                        // bottom edge: 768 - 21
        {0, 1, 4, {0, 207}},                          // left edge
        {0, 1, 0, {300, 200}},                        // no edge: cannot be dragged at all
        {0, 1, 5, {300, 200}}, {1, 0, 1, {300, 200}}, // locked
        {2, 0, 1, {300, 200}},                        // NoMove 2 counts as on
        {1, 1, 2, {300, 200}},
    };
    for (const auto& c : cases) {
        Vantrel->BarPrefs.NoMove = c.noMove;
        Vantrel->BarPrefs.FixPos = c.fixPos;
        Vantrel->BarPrefs.BarPos = c.barPos;
        Vantrel->Place({300, 200});
        Vantrel->Shape1MouseDown(Qt::LeftButton, 10, 5);
        Vantrel->Shape1MouseMove(30, 12);
        Vantrel->Shape1MouseUp(Qt::LeftButton, 30, 12);
        EXPECT_EQ(Vantrel->pos(), c.after)
            << "NoMove " << c.noMove << " FixPos " << c.fixPos << " BarPos " << c.barPos;
        EXPECT_FALSE(Vantrel->Dragging);
    }
}

TEST_F(BarDrag, LeftMovesBeforeTopAsTwoMoves) {
    MoveRecorder recorder;
    Vantrel->installEventFilter(&recorder);
    Vantrel->Shape1MouseDown(Qt::LeftButton, 10, 5);
    Vantrel->Shape1MouseMove(30, 12);
    Vantrel->removeEventFilter(&recorder);
    EXPECT_EQ(recorder.Moves, (std::vector<QPoint>{{320, 200}, {320, 207}}));
}

TEST_F(BarDrag, OnlyWhileAButtonIsHeld) {
    Vantrel->Shape1MouseMove(30, 12); // no press yet
    EXPECT_EQ(Vantrel->pos(), QPoint(300, 200));
    Vantrel->Shape1MouseDown(Qt::MiddleButton, 10, 5);
    Vantrel->Shape1MouseUp(Qt::MiddleButton, 10, 5);
    Vantrel->Shape1MouseMove(30, 12); // released
    EXPECT_EQ(Vantrel->pos(), QPoint(300, 200));
}

TEST_F(BarDrag, MouseEventsOnTheStripDragWithAnyButton) {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::MiddleButton}) {
        Vantrel->Place({300, 200});
        Mouse(QEvent::MouseButtonPress, button, {10, 5});
        // Each step arrives relative to where the bar is now; the pressed point follows the mouse.
        Mouse(QEvent::MouseMove, button, {15, 5});
        Mouse(QEvent::MouseMove, button, {10, 2});
        Mouse(QEvent::MouseMove, button, {-400, -300}); // far outside the strip, still captured
        Mouse(QEvent::MouseButtonRelease, button, {-400, -300});
        EXPECT_EQ(Vantrel->pos(), QPoint(305 - 410, 197 - 305)) << button;
        EXPECT_FALSE(Vantrel->Dragging);
    }
}

TEST_F(BarDrag, AFixedBarSlidesAlongItsEdgeOverManySteps) {
    Vantrel->BarPrefs.FixPos = 1;
    Vantrel->BarPrefs.BarPos = 2;
    Vantrel->Shape1MouseDown(Qt::LeftButton, 10, 5);
    Vantrel->Shape1MouseMove(60, 5); // purely horizontal: only jumps to the edge
    EXPECT_EQ(Vantrel->pos(), QPoint(847, 200));
    Vantrel->Shape1MouseMove(10, 905); // and slides past the screen's end, unclamped
    EXPECT_EQ(Vantrel->pos(), QPoint(847, 1100));
}

TEST_F(BarDrag, TheEdgeCommandMovesOnlyTheEdgeCoordinate) {
    const struct {
        int32_t noMove, fixPos, barPos;
        QPoint after;
    } cases[] = {
        {0, 1, 1, {300, 0}},   {0, 1, 2, {847, 200}}, {0, 1, 3, {300, 747}}, {0, 1, 4, {0, 200}},
        {1, 1, 3, {300, 747}}, // whatever NoMove holds
        {0, 1, 0, {300, 200}}, {0, 1, 5, {300, 200}}, {0, 0, 1, {300, 200}}, {0, 2, 1, {300, 200}},
    };
    for (const auto& c : cases) {
        Vantrel->BarPrefs.NoMove = c.noMove;
        Vantrel->BarPrefs.FixPos = c.fixPos;
        Vantrel->BarPrefs.BarPos = c.barPos;
        Vantrel->Place({300, 200});
        Vantrel->MoveToFixedEdge();
        EXPECT_EQ(Vantrel->pos(), c.after)
            << "NoMove " << c.noMove << " FixPos " << c.fixPos << " BarPos " << c.barPos;
    }
}

TEST_F(BarDrag, StayOnTopChangesKeepThePlaceAndTheWindowShown) {
    // Under X11 (these tests run so from the end-to-end suite too) the change gives the bar a new
    // native window, which must stay off the taskbar.
    const bool x11 = QGuiApplication::platformName() == QStringLiteral("xcb");
    Vantrel->Place({-40, 100});
    for (int32_t aot : {1, 1, 2, 0, 1}) {
        Vantrel->SetStayOnTop(aot);
        QApplication::processEvents();
        if (x11) {
            EXPECT_TRUE(platform::IsOffTaskbar(Vantrel)) << aot;
        }
        EXPECT_EQ(Vantrel->StaysOnTop(), aot == 1) << aot;
        EXPECT_EQ(Vantrel->pos(), QPoint(-40, 100)) << aot;
        EXPECT_TRUE(Vantrel->isVisible()) << aot;
        EXPECT_TRUE(Vantrel->windowFlags().testFlag(Qt::FramelessWindowHint));
    }
}

} // namespace
