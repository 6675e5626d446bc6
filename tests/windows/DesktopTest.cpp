// The bar among a desktop's windows: its place against a window manager's, the windows it owns.
#include "TestSupport.h"
#include "app/Unit1.h"
#include "platform/ErrorReport.h"
#include "platform/Screen.h"
#include "windows/Unit3.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
#include <cstdlib>

namespace {

using Desktop = vtest::WindowsTest;

TEST_F(Desktop, AManagersPlacementIsAskedBackOnceAndNeverSaved) {
    Vantrel->Place({100, 200});
    Vantrel->show();
    // A manager maps the bar elsewhere, as a tiling one does with a floating window: the bar
    // asks for its place once more.
    Vantrel->move(102, 218);
    EXPECT_EQ(Vantrel->pos(), QPoint(100, 200));
    // The manager's later moves stand; they are not the user's, and not saved.
    Vantrel->move(300, 400);
    EXPECT_EQ(Vantrel->pos(), QPoint(300, 400));
    bool canClose = false;
    Vantrel->FormCloseQuery(canClose);
    Restart();
    EXPECT_EQ(QPoint(Vantrel->Left(), Vantrel->Top()), QPoint(100, 200));
    // A drag starts from the user's place, not from where the manager put the bar.
    Vantrel->show();
    Vantrel->move(300, 400);
    Vantrel->move(310, 420);
    Vantrel->Shape1MouseDown(Qt::LeftButton, 50, 10);
    Vantrel->Shape1MouseMove(55, 13);
    Vantrel->Shape1MouseUp(Qt::LeftButton, 55, 13);
    EXPECT_EQ(QPoint(Vantrel->Left(), Vantrel->Top()), QPoint(105, 203));
    EXPECT_EQ(Vantrel->pos(), QPoint(105, 203));
}

TEST_F(Desktop, TheDetailsWindowStaysAboveTheBarAlsoAfterStayOnTopChanges) {
    Vantrel->show();
    for (const int aot : {0, 1, 0}) {
        SCOPED_TRACE(aot);
        Vantrel->SetStayOnTop(aot); // a new native window for the bar at each change
        Vantrel->ShowDetails1Click();
        ASSERT_NE(FDetails->windowHandle(), nullptr);
        EXPECT_EQ(FDetails->windowHandle()->transientParent(), Vantrel->windowHandle());
        FDetails->hide();
    }
}

TEST_F(Desktop, ErrorBoxesBelongToTheBar) {
    Vantrel->show();
    const QWindow* owner = nullptr;
    QString text;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible()) continue;
            owner = box->windowHandle()->transientParent();
            text = box->text();
            box->done(QMessageBox::Ok);
        }
    });
    {
        platform::ErrorReport box;
        const platform::Replace<platform::ErrorReport> boxInPlace(box);
        platform::ReportError(QStringLiteral("Bitmap image is not valid"));
    }
    EXPECT_EQ(text, QStringLiteral("Bitmap image is not valid."));
    EXPECT_EQ(owner, Vantrel->windowHandle());
}

// Centred on the screen by the size the box takes for its text, not by the one it had before
// it was laid out for its showing, and not on the bar it belongs to.
TEST_F(Desktop, ErrorBoxesAreCentredOnTheScreen) {
    Vantrel->Place({0, 0});
    Vantrel->show();
    QRect shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible()) continue;
            shown = box->frameGeometry();
            box->done(QMessageBox::Ok);
        }
    });
    {
        const platform::Replace<platform::ErrorReport> realBox;
        platform::ReportError(QStringLiteral("Cannot open file %1").arg(QString(120, u'x')));
    }
    const QRect screen = platform::PrimaryScreen();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_LE(std::abs(2 * (shown.left() - screen.left()) + shown.width() - screen.width()), 1)
        << shown.left() << " " << shown.width();
    EXPECT_LE(std::abs(2 * (shown.top() - screen.top()) + shown.height() - screen.height()), 1)
        << shown.top() << " " << shown.height();
}

} // namespace
