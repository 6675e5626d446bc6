// The about box: layout and colours, placement, keys, the address field and its hint.
#include "TestSupport.h"

#include "app/Unit1.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "windows/Unit4.h"

#include <QAction>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

namespace {

using vtest::Errors;

class AboutTest : public vtest::WindowsTest {
protected:
    void TearDown() override {
        if (DAbout && DAbout->isVisible()) DAbout->done(QDialog::Rejected);
        vtest::WindowsTest::TearDown();
    }
    void ShowActive() {
        DAbout->show();
        DAbout->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(DAbout));
    }
};

TEST_F(AboutTest, LayoutAndColours) {
    TDAbout* a = DAbout;
    EXPECT_EQ(a->windowTitle(), "About Vantrel...");
    EXPECT_EQ(a->minimumSize(), QSize(250, 142));
    EXPECT_EQ(a->maximumSize(), QSize(250, 142));
    EXPECT_FALSE(a->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(a->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(a->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(a->findChildren<QPushButton*>().isEmpty());

    EXPECT_EQ(a->Image1->geometry(), QRect(65, 10, 120, 64));
    const QImage logo(QStringLiteral(":/art/logo.bmp"));
    EXPECT_EQ(logo.size(), QSize(120, 64));
    EXPECT_EQ(logo.format(), QImage::Format_Indexed8);
    EXPECT_EQ(a->Image1->Picture().size(), QSize(120, 64));

    a->show(); // the lines measure their text when shown
    const std::pair<TLabel*, int> lines[] = {{a->Label1, 84}, {a->Label2, 99}};
    for (const auto& [label, top] : lines) {
        EXPECT_EQ(label->y(), top);
        EXPECT_LE(std::abs(label->x() + label->width() / 2 - 125), 1) << top;
        EXPECT_EQ(label->width(), label->fontMetrics().horizontalAdvance(label->Caption()));
        EXPECT_EQ(label->FontColor(), 0x808080);
        EXPECT_EQ(label->font().pixelSize(), 11);
        EXPECT_TRUE(label->toolTip().isEmpty());
    }
    EXPECT_TRUE(a->Label1->Caption().startsWith("Vantrel 2.02"));
    EXPECT_FALSE(a->Label2->Caption().isEmpty());
    EXPECT_TRUE(a->Image1->toolTip().isEmpty());

    QLineEdit* edit = a->Edit1;
    EXPECT_EQ(edit->geometry(), QRect(9, 120, 232, 15));
    EXPECT_TRUE(edit->text().startsWith("http://"));
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_FALSE(edit->hasFrame());
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(192, 192, 192));
    EXPECT_TRUE(edit->font().underline());
    EXPECT_EQ(edit->font().pixelSize(), 11);
    EXPECT_TRUE(edit->alignment() & Qt::AlignLeft);
    EXPECT_EQ(edit->focusPolicy(), Qt::ClickFocus);
}

TEST_F(AboutTest, CentredFirstThenWhereItWasLeft) {
    DAbout->show();
    // The outer size is not known before the first showing; the frame may shift it a little.
    EXPECT_LE((DAbout->frameGeometry().center() - QPoint(512, 384)).manhattanLength(), 4);
    DAbout->move(10, 20); // the user drags it away
    DAbout->done(QDialog::Rejected);
    DAbout->show();
    EXPECT_EQ(DAbout->pos(), QPoint(10, 20));
}

TEST_F(AboutTest, KeysAndTheAddressField) {
    ShowActive();
    QTest::keyClick(DAbout, Qt::Key_Tab);
    EXPECT_FALSE(DAbout->Edit1->hasFocus());
    QTest::keyClick(DAbout, Qt::Key_Escape);
    QTest::keyClick(DAbout, Qt::Key_Return);
    EXPECT_TRUE(DAbout->isVisible());

    QTest::mouseClick(DAbout->Edit1, Qt::LeftButton, {}, QPoint(20, 7));
    EXPECT_TRUE(DAbout->Edit1->hasFocus());
    QTest::keyClick(DAbout->Edit1, Qt::Key_Escape);
    QTest::keyClick(DAbout->Edit1, Qt::Key_Delete);
    EXPECT_TRUE(DAbout->isVisible());
    EXPECT_TRUE(DAbout->Edit1->text().startsWith("http://")); // read-only

    // Resting the pointer on the field shows its hint.
    const QPoint at(20, 7);
    QHelpEvent help(QEvent::ToolTip, at, DAbout->Edit1->mapToGlobal(at));
    QCoreApplication::sendEvent(DAbout->Edit1, &help);
    EXPECT_EQ(QToolTip::text(), "Copy me in the clipboard");
    QToolTip::hideText();
}

TEST_F(AboutTest, ShowingTheOpenBoxAgainIsRefused) {
    ExpectErrorBoxes();
    bool ran = false;
    QTimer::singleShot(0, DAbout, [&] {
        ran = true;
        Vantrel->About1->trigger(); // from the notification-area menu
        EXPECT_TRUE(DAbout->isVisible());
        DAbout->close();
    });
    Vantrel->About1->trigger();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(DAbout->isVisible());
    EXPECT_EQ(Errors(), QStringList{"Cannot make a visible window modal."});
}

} // namespace
