// The bar window: start-up, the sampler's drawing and texts, the menu, Show Details.
#include "TestSupport.h"

#include "app/Unit1.h"
#include "components/WTaskBar.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "controls/Shape.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"
#include "windows/Unit4.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

using vtest::Errors;

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int Count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++Count;
        return false;
    }
};

class BarTest : public vtest::WindowsTest {};

TEST_F(BarTest, StartUpDrawsTheWorkedExample) {
    EXPECT_EQ(Memory.Queries, 1);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join('\n').toStdString();
    EXPECT_EQ(Vantrel->MemFig.LoadPercent, 64);
    EXPECT_EQ(Vantrel->MemFig.FullBarWidth, 136);
    EXPECT_DOUBLE_EQ(Vantrel->MemFig.BarScale, 1.36);
    EXPECT_EQ(Vantrel->MemFig.LastBarWidth, 87);
    EXPECT_EQ(Vantrel->Ibar->geometry(), QRect(20, 4, 87, 13));
    EXPECT_EQ(Vantrel->Ibbar->geometry(), QRect(16, 4, 4, 13));
    EXPECT_EQ(Vantrel->Iebar->geometry(), QRect(107, 4, 6, 13));
    EXPECT_EQ(Vantrel->ICache->geometry(), QRect(159, 4, 3, 13));
    EXPECT_EQ(Vantrel->IBack->geometry(), QRect(0, 0, 177, 21));
    EXPECT_EQ(Vantrel->Shape1->geometry(), QRect(0, -1, 177, 21));
    EXPECT_EQ(Vantrel->Hint,
              "[Total: 262,144 Kb]  [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]");
    EXPECT_EQ(Vantrel->WinTaskbar1->Hint,
              "Vantrel - [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]");
    EXPECT_EQ(Vantrel->size(), QSize(177, 21));
    EXPECT_EQ(Vantrel->pos(), QPoint(424, 0));
    // The timer runs at the default delay; the details labels are untouched while closed.
    EXPECT_TRUE(Vantrel->SuperTimer1->isActive());
    EXPECT_EQ(Vantrel->SuperTimer1->interval(), 1500);
    EXPECT_EQ(FDetails->Label4->Caption(), "Label4");
}

TEST_F(BarTest, SteadyTickDoesNothingButTheQuery) {
    Vantrel->show();
    QApplication::processEvents();
    PaintCounter back(Vantrel->IBack), bar(Vantrel->Ibar);
    Vantrel->Hint = "sentinel";
    // Same width (87.04 and 86.xx both round to 87 only when the load figure is unchanged).
    Memory.Status.AvailPhys = 100663296 + 1024 * 100;
    Vantrel->Timer();
    QApplication::processEvents();
    EXPECT_EQ(Memory.Queries, 2);
    EXPECT_EQ(Vantrel->Hint, "sentinel");
    EXPECT_EQ(back.Count, 0);
    EXPECT_EQ(bar.Count, 0);
    Vantrel->hide();
}

TEST_F(BarTest, WidthChangesMoveTheCapAndRewriteTexts) {
    // Grows: no forced background repaint; shrinks: background repainted first.
    struct Step {
        uint64_t avail;
        int load, width, capLeft;
    } steps[] = {
        {0, 101, 136, 156},      // over the full width: clamped, texts say 101 %
        {268435456, 1, 1, 21},   // all available
        {134217728, 51, 69, 89}, // 69.36
    };
    for (const Step& s : steps) {
        Memory.Status.AvailPhys = s.avail;
        Vantrel->Timer();
        EXPECT_EQ(Vantrel->MemFig.LoadPercent, s.load);
        EXPECT_EQ(Vantrel->Ibar->width(), s.width);
        EXPECT_EQ(Vantrel->Iebar->x(), s.capLeft);
    }
    Memory.Status.AvailPhys = 0;
    Vantrel->Timer();
    EXPECT_EQ(Vantrel->MemFig.LastBarWidth, 137); // the unclamped width
    EXPECT_TRUE(Vantrel->Hint.endsWith("[Free: -2,621 Kb, -1%]")) << Vantrel->Hint.toStdString();
}

TEST_F(BarTest, NarrowBarLeavesTextsWhenTheWidthStays) {
    // A 50-pixel bar: loads 63 and 64 both give 32 pixels.
    Vantrel->MemFig.BarScale = 0.5;
    Vantrel->MemFig.FullBarWidth = 50;
    Vantrel->MemFig.LastBarWidth = 0;
    Vantrel->Timer();
    const QString before = Vantrel->Hint;
    Memory.Status.AvailPhys = 99615ULL * 1024; // load 63: 31.5 rounds to 32
    Vantrel->Timer();
    EXPECT_EQ(Vantrel->MemFig.LoadPercent, 63);
    EXPECT_EQ(Vantrel->Hint, before);
}

TEST_F(BarTest, ZeroWidthBarDrawsNothing) {
    Vantrel->MemFig.BarScale = 0;
    Vantrel->MemFig.FullBarWidth = 0;
    Vantrel->MemFig.LastBarWidth = 0;
    Vantrel->Hint = "untouched";
    Vantrel->Timer();
    EXPECT_EQ(Vantrel->Hint, "untouched");
}

TEST_F(BarTest, LargeMachineFigures) {
    Memory.Status = {64ULL << 30, 48ULL << 30};
    Vantrel->MemFig.LastBarWidth = 0;
    Vantrel->Timer();
    EXPECT_EQ(Vantrel->MemFig.LoadPercent, 26);
    EXPECT_EQ(Vantrel->Hint,
              "[Total: 67,108,864 Kb]  [Load: 17,448,305 Kb, 26%]  [Free: 49,660,559 Kb, 74%]");
}

// The built-in mark at x 159: a black frame line, a see-through white column and a grey one.
// White is its bottom-left colour, so the trough and the end cap show through the middle column.
TEST_F(BarTest, BuiltInMarkShowsWhatLiesBeneathItsWhiteColumn) {
    const QImage mark = Vantrel->res_cache->Picture().toImage();
    ASSERT_EQ(mark.size(), QSize(3, 13));
    EXPECT_EQ(mark.pixel(0, 12), qRgb(255, 255, 255));
    const QRgb trough = qRgb(0xAD, 0xAA, 0xAD), face = qRgb(0xC6, 0xC3, 0xC6);
    const QRgb white = qRgb(255, 255, 255), shadow = qRgb(0x84, 0x82, 0x84);
    // At 64 % the bar ends far from the mark; at 100 % its end cap runs under it.
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full" : "64 %");
        if (full) {
            Memory.Status = {64ULL << 30, 0};
            Vantrel->MemFig.LastBarWidth = 0;
            Vantrel->Timer();
            ASSERT_EQ(Vantrel->Iebar->x(), 156);
        }
        const QImage strip = Vantrel->grab().toImage();
        EXPECT_EQ(strip.pixel(159, 4), trough);
        EXPECT_EQ(strip.pixel(159, 10), qRgb(0, 0, 0));
        EXPECT_EQ(strip.pixel(160, 4), trough);
        EXPECT_EQ(strip.pixel(160, 10), full ? shadow : white);
        EXPECT_EQ(strip.pixel(161, 10), face);
        EXPECT_EQ(strip.pixel(161, 16), face);
    }
}

TEST_F(BarTest, MenuCaptionsAndShortcuts) {
    const QList<QAction*> actions = Vantrel->PopupMenu1->actions();
    QStringList captions, keys;
    for (QAction* a : actions) {
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
        keys << a->shortcut().toString();
    }
    EXPECT_EQ(captions, QStringList({"&About...", "-", "&Show Details", "-", "Preferences...",
                                     "&Quit", "-", "&Cancel"}));
    EXPECT_EQ(keys, QStringList({"", "", "Ctrl+I", "", "Ctrl+P", "Ctrl+Q", "", ""}));
    EXPECT_EQ(Vantrel->WinTaskbar1->PopUpMenu, Vantrel->PopupMenu1);
}

TEST_F(BarTest, ShowDetailsPlacesAndFillsTheWindow) {
    Vantrel->Place({300, 200});
    Vantrel->ShowDetails1->trigger();
    EXPECT_TRUE(Vantrel->DetailsShown);
    EXPECT_TRUE(FDetails->isVisible());
    EXPECT_EQ(FDetails->pos(), QPoint(300, 221));
    EXPECT_EQ(FDetails->Label4->Caption(), "262,144 Kb");
    EXPECT_EQ(FDetails->Label5->Caption(), "64% | 167,772 Kb");
    EXPECT_EQ(FDetails->Label6->Caption(), "36% | 94,372 Kb");
    EXPECT_EQ(Memory.Queries, 1); // no new query

    // While open the sampler keeps the figures current on width changes.
    Memory.Status.AvailPhys = 134217728;
    Vantrel->Timer();
    EXPECT_EQ(FDetails->Label5->Caption(), "51% | 133,693 Kb");

    // Again while open: back under the bar, refreshed.
    FDetails->move(10, 10);
    FDetails->Label4->SetCaption("stale");
    Vantrel->Place({0, 768 - 21});
    Vantrel->ShowDetails1Click();
    // Under the bar would be below the screen: right above it instead.
    EXPECT_EQ(FDetails->pos(), QPoint(0, 768 - 21 - 73));
    EXPECT_EQ(FDetails->Label4->Caption(), "262,144 Kb");

    FDetails->close();
    EXPECT_FALSE(Vantrel->DetailsShown);
    EXPECT_FALSE(FDetails->isVisible());
    Memory.Status.AvailPhys = 0;
    Vantrel->Timer();
    EXPECT_EQ(FDetails->Label5->Caption(), "51% | 133,693 Kb"); // closed: untouched
}

TEST_F(BarTest, DetailsCloseBoxAreaAndOutline) {
    Vantrel->ShowDetails1Click();
    const struct {
        int x, y;
        bool closes;
    } presses[] = {{5, 5, true},  {1, 1, true},  {9, 9, true},   {10, 5, false},
                   {5, 0, false}, {0, 5, false}, {5, 10, false}, {11, 11, false}};
    for (const auto& p : presses) {
        FDetails->show();
        Vantrel->DetailsShown = true;
        FDetails->Shape1MouseDown(Qt::LeftButton, p.x, p.y);
        EXPECT_EQ(FDetails->Shape1->OutlineVisible(), p.closes) << p.x << "," << p.y;
        FDetails->Shape1MouseUp(Qt::LeftButton, p.x, p.y);
        EXPECT_FALSE(FDetails->Shape1->OutlineVisible());
        EXPECT_EQ(FDetails->isVisible(), !p.closes) << p.x << "," << p.y;
        EXPECT_EQ(Vantrel->DetailsShown, !p.closes);
    }
    // In, out, back in, release inside: closes; the outline follows the pointer.
    FDetails->show();
    FDetails->Shape1MouseDown(Qt::LeftButton, 5, 5);
    FDetails->Shape1MouseMove(20, 5);
    EXPECT_FALSE(FDetails->Shape1->OutlineVisible());
    FDetails->Shape1MouseMove(4, 4);
    EXPECT_TRUE(FDetails->Shape1->OutlineVisible());
    FDetails->Shape1MouseMove(30, 30);
    FDetails->Shape1MouseUp(Qt::LeftButton, 30, 30);
    EXPECT_TRUE(FDetails->isVisible()); // released outside: stays
    EXPECT_FALSE(FDetails->ClosePressed);
}

TEST_F(BarTest, DetailsTitleStripDrags) {
    Vantrel->ShowDetails1Click();
    const QPoint start = FDetails->pos();
    FDetails->Shape2MouseDown(Qt::LeftButton, 40, 5);
    FDetails->Shape2MouseMove(70, 15);
    FDetails->Shape2MouseUp(Qt::LeftButton, 70, 15);
    EXPECT_EQ(FDetails->pos(), start + QPoint(30, 10));
    FDetails->Shape2MouseMove(200, 200); // not dragging any more
    EXPECT_EQ(FDetails->pos(), start + QPoint(30, 10));
    FDetails->close();
    Vantrel->ShowDetails1Click();
    EXPECT_EQ(FDetails->pos(), start);
}

TEST_F(BarTest, ModalTwiceIsReported) {
    ExpectErrorBoxes();
    for (QDialog* dialog : {static_cast<QDialog*>(DAbout), static_cast<QDialog*>(DPrefs)}) {
        Errors().clear();
        QTimer::singleShot(0, [dialog] {
            // The menu stays usable while the window is modal: choose it again.
            if (dialog == DAbout)
                Vantrel->About1->trigger();
            else
                Vantrel->Prefs1->trigger();
            dialog->reject();
        });
        if (dialog == DAbout)
            Vantrel->About1Click();
        else
            Vantrel->Prefs1Click();
        EXPECT_EQ(Errors(), QStringList({"Cannot make a visible window modal."}));
        EXPECT_FALSE(dialog->isVisible());
    }
}

TEST_F(BarTest, FailingQueryIsReportedAndTheProgramGoesOn) {
    ExpectErrorBoxes();
    Memory.Fail = true;
    QMetaObject::invokeMethod(Vantrel->SuperTimer1, "timeout");
    EXPECT_EQ(Errors(), QStringList({"memory status not available."}));
    Memory.Fail = false;
    Vantrel->MemFig.LastBarWidth = 0;
    QMetaObject::invokeMethod(Vantrel->SuperTimer1, "timeout");
    EXPECT_EQ(Errors().size(), 1);
}

TEST_F(BarTest, DetailsDialogAndAboutBoxWaitUntilNeeded) {
    DestroyForms();
    bool barShown = false;
    CreateForms([&] {
        // The program shows the bar here: it exists, the details window not yet.
        barShown = Vantrel && !FDetails;
    });
    EXPECT_TRUE(barShown);
    EXPECT_NE(Vantrel, nullptr);
    // The scheme brings no details files: the details window waits until it is opened.
    EXPECT_EQ(FDetails, nullptr);
    EXPECT_EQ(DPrefs, nullptr);
    EXPECT_EQ(DAbout, nullptr);
    QMetaObject::invokeMethod(Vantrel->SuperTimer1, "timeout"); // a tick with no details window
    Vantrel->ShowDetails1Click();
    ASSERT_NE(FDetails, nullptr);
    EXPECT_TRUE(FDetails->isVisible());
    EXPECT_EQ(FDetails->pos(), Vantrel->pos() + QPoint(0, 21));
    EXPECT_EQ(DetailsWindow(), FDetails);
    FDetails->close();
    QTimer::singleShot(0, [] { DAbout->reject(); });
    Vantrel->About1Click();
    ASSERT_NE(DAbout, nullptr);
    TDAbout* first = DAbout;
    QTimer::singleShot(0, [] { DAbout->reject(); });
    Vantrel->About1Click();
    EXPECT_EQ(DAbout, first); // the same box every time
    QTimer::singleShot(0, [] { DPrefs->reject(); });
    Vantrel->Prefs1Click();
    EXPECT_NE(DPrefs, nullptr);
    EXPECT_EQ(PrefsDialog(), DPrefs);
}

TEST_F(BarTest, ShowingTheBarShowsItsStripButNotThePictureHolders) {
    for (int round = 0; round < 2; ++round) { // the first showing and a later one
        Vantrel->show();
        for (QWidget* strip :
             std::initializer_list<QWidget*>{Vantrel->IBack, Vantrel->Ibar, Vantrel->Ibbar,
                                             Vantrel->Iebar, Vantrel->ICache, Vantrel->Shape1})
            EXPECT_TRUE(strip->isVisible()) << round;
        for (QWidget* holder :
             std::initializer_list<QWidget*>{Vantrel->res_back, Vantrel->res_bar, Vantrel->res_bbar,
                                             Vantrel->res_cache, Vantrel->res_ebar})
            EXPECT_FALSE(holder->isVisible()) << round;
        Vantrel->hide();
    }
}

TEST_F(BarTest, WindowsAreCreatedOnceInOrderAndHidden) {
    EXPECT_NE(Vantrel, nullptr);
    EXPECT_FALSE(FDetails->isVisible());
    EXPECT_FALSE(DPrefs->isVisible());
    EXPECT_FALSE(DAbout->isVisible());
    EXPECT_EQ(FDetails->windowTitle(), "Memory Details");
    EXPECT_EQ(DPrefs->windowTitle(), "Vantrel Preferences...");
    EXPECT_EQ(DAbout->windowTitle(), "About Vantrel...");
    EXPECT_EQ(FDetails->size(), QSize(177, 73));
    EXPECT_TRUE(Vantrel->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(FDetails->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(FDetails->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(BarTest, MenuKeyAndShiftF10OpenTheMenuAtTheBar) {
    Vantrel->show();
    EXPECT_EQ(Vantrel->Shape1->focusPolicy(), Qt::StrongFocus);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool opens;
    } keys[] = {{Qt::Key_Menu, Qt::NoModifier, true},
                {Qt::Key_F10, Qt::ShiftModifier, true},
                {Qt::Key_F10, Qt::NoModifier, false},
                {Qt::Key_F10, Qt::ControlModifier, false}};
    for (const auto& k : keys) {
        bool shown = false;
        QPoint at;
        QTimer::singleShot(0, Vantrel, [&] {
            shown = Vantrel->PopupMenu1->isVisible();
            at = Vantrel->PopupMenu1->pos();
            Vantrel->PopupMenu1->close();
        });
        QTest::keyClick(Vantrel->Shape1, k.key, k.modifiers);
        QCoreApplication::processEvents();
        EXPECT_EQ(shown, k.opens) << k.key << " " << k.modifiers;
        if (k.opens) {
            EXPECT_EQ(at, Vantrel->mapToGlobal(QPoint(0, 21)));
        }
    }
}

// What a screen reader finds, asked through Qt's accessibility interfaces.
TEST_F(BarTest, ScreenReaderSeesTheLoadTheFiguresAndTheCloseBox) {
    Vantrel->show();
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(Vantrel->Shape1);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    EXPECT_EQ(bar->text(QAccessible::Name), "Memory load");
    EXPECT_EQ(bar->text(QAccessible::Description), Vantrel->Hint);
    QAccessibleValueInterface* value = bar->valueInterface();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->currentValue().toInt(), 64);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 100);
    EXPECT_TRUE(bar->state().focusable);
    // The value follows the figures; a machine whose memory is all in use reads 100.
    for (const auto& [avail, load] : {std::pair<uint64_t, int>{134217728, 51}, {0, 100}}) {
        Memory.Status.AvailPhys = avail;
        Vantrel->Timer();
        EXPECT_EQ(value->currentValue().toInt(), load);
        EXPECT_EQ(bar->text(QAccessible::Description), Vantrel->Hint);
    }
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(Vantrel);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Vantrel");

    Memory.Status.AvailPhys = 100663296;
    Vantrel->Timer();
    Vantrel->ShowDetails1->trigger();
    QAccessibleInterface* details = QAccessible::queryAccessibleInterface(FDetails);
    EXPECT_EQ(details->role(), QAccessible::Window);
    EXPECT_EQ(details->text(QAccessible::Name), "Memory Details");
    QStringList texts;
    for (TLabel* label : {FDetails->Label1, FDetails->Label2, FDetails->Label3, FDetails->Label4,
                          FDetails->Label5, FDetails->Label6}) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(label);
        EXPECT_EQ(item->role(), QAccessible::StaticText);
        texts << item->text(QAccessible::Name);
    }
    EXPECT_EQ(texts, QStringList({"Total :", "Load :", "Free :", "262,144 Kb", "64% | 167,772 Kb",
                                  "36% | 94,372 Kb"}));
    QAccessibleInterface* close = QAccessible::queryAccessibleInterface(FDetails->Shape1);
    EXPECT_EQ(close->role(), QAccessible::Button);
    EXPECT_EQ(close->text(QAccessible::Name), "Close");
    ASSERT_TRUE(close->actionInterface());
    EXPECT_TRUE(close->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    close->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(FDetails->isVisible());
    EXPECT_FALSE(Vantrel->DetailsShown);

    // The pictures that say something are named; the others only decorate.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(DPrefs->Image1)->text(QAccessible::Name),
              "Vantrel");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Vantrel->IBack)->role(), QAccessible::Graphic);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Vantrel->IBack)->text(QAccessible::Name), "");
}

} // namespace
