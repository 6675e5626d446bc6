// The preferences dialog: layout, settings to controls and back, Apply, the delay field and track
// bar, the folder field and picker, keys, and the main bar's part after OK.
#include "TestSupport.h"

#include "app/Unit1.h"
#include "components/dirtree.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "core/Helpers.h"
#include "platform/ErrorReport.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

namespace {

using vtest::Errors;

QString Invalid(const char* text) {
    return QStringLiteral("'%1' is not a valid integer value.").arg(QString::fromUtf8(text));
}

// A folder path in the form the settings hold: "C:\tmp\...\".
QString WindowsForm(const QString& native) {
    QString path = native;
    path.replace(u'/', u'\\');
    return QStringLiteral("C:") + path + u'\\';
}

class PrefsTest : public vtest::WindowsTest {
protected:
    // The schemes folder starts as an empty folder of the test's own, so the list holds
    // "<default>" alone.
    void SetUp() override {
        vtest::WindowsTest::SetUp();
        ASSERT_TRUE(Skins.isValid());
        EmptyDir = WindowsForm(Skins.path());
        Vantrel->BarPrefs.Dir = EmptyDir;
        DPrefs->InitPrefs();
    }
    void TearDown() override {
        if (DPrefs && DPrefs->isVisible()) DPrefs->done(QDialog::Rejected);
        vtest::WindowsTest::TearDown();
    }

    // Chooses Preferences... in the bar's menu and runs `inside` while the dialog is open; the
    // dialog must be closed by then.
    void WithDialog(const std::function<void()>& inside) {
        bool ran = false;
        QTimer::singleShot(0, DPrefs, [&] {
            ran = true;
            inside();
            if (DPrefs->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                DPrefs->done(QDialog::Rejected);
            }
        });
        Vantrel->Prefs1->trigger();
        EXPECT_TRUE(ran);
    }

    // A scheme folder with a one-colour background and bar, and a text colour.
    QString MakeScheme(const QString& name, QColor back, int textColor) {
        const QString folder = Skins.path() + u'/' + name;
        QDir().mkpath(folder);
        QImage background(177, 21, QImage::Format_RGB32);
        background.fill(back);
        background.save(folder + QStringLiteral("/back.bmp"), "BMP");
        QImage bar(100, 13, QImage::Format_RGB32);
        bar.fill(Qt::red);
        bar.save(folder + QStringLiteral("/bar.bmp"), "BMP");
        QFile color(folder + QStringLiteral("/TextColor.txt"));
        EXPECT_TRUE(color.open(QIODevice::WriteOnly));
        color.write(QByteArray::number(textColor) + "\r\n");
        return WindowsForm(Skins.path());
    }

    QListWidgetItem* Entry(const QString& text) {
        const auto found = DPrefs->SchemeList->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    static constexpr int32_t Marker = 0x123456;
    QTemporaryDir Skins;
    QString EmptyDir;
};

TEST_F(PrefsTest, ControlsSitAtTheirPlaces) {
    TDPrefs* d = DPrefs;
    const struct {
        QWidget* control;
        QWidget* parent;
        QRect place;
    } table[] = {
        {d->Bevel1, d, {0, 0, 379, 46}},
        {d->Image1, d, {2, 2, 375, 42}},
        {d->GroupBox1, d, {3, 51, 185, 248}},
        {d->EditDir, d->GroupBox1, {6, 222, 150, 21}},
        {d->Button2, d->GroupBox1, {158, 222, 21, 21}},
        {d->GroupBox2, d, {192, 51, 185, 80}},
        {d->EditDelay, d->GroupBox2, {86, 18, 40, 21}},
        {d->TrackBar1, d->GroupBox2, {2, 50, 181, 22}},
        {d->GroupBox3, d, {192, 51, 185, 248}},
        {d->dirtree1, d->GroupBox3, {5, 17, 174, 198}},
        {d->Button5, d->GroupBox3, {25, 220, 65, 21}},
        {d->Button6, d->GroupBox3, {95, 220, 65, 21}},
        {d->GroupBox4, d, {192, 135, 185, 122}},
        {d->CheckFixPos, d->GroupBox4, {10, 17, 97, 17}},
        {d->Panel1, d->GroupBox4, {96, 17, 79, 69}},
        {d->Shape1, d->Panel1, {15, 14, 50, 40}},
        {d->Shape2, d->Panel1, {15, 14, 25, 20}},
        {d->Shape3, d->Panel1, {39, 33, 25, 20}},
        {d->RadioTop, d->Panel1, {32, 0, 13, 13}},
        {d->RadioLeft, d->Panel1, {0, 28, 13, 13}},
        {d->RadioRight, d->Panel1, {66, 28, 13, 13}},
        {d->RadioBottom, d->Panel1, {32, 56, 13, 13}},
        {d->CheckNoMove, d->GroupBox4, {10, 84, 80, 17}},
        {d->CheckAot, d->GroupBox4, {10, 100, 120, 17}},
        {d->GroupBox5, d, {192, 261, 185, 38}},
        {d->Checkbartip, d->GroupBox5, {10, 17, 94, 17}},
        {d->Button1, d, {170, 304, 65, 21}},
        {d->Button3, d, {240, 304, 65, 21}},
        {d->Button4, d, {310, 304, 65, 21}},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.control->parentWidget(), row.parent)
            << row.control->metaObject()->className();
        EXPECT_EQ(row.control->geometry(), row.place) << row.control->metaObject()->className();
    }
    // Labels take the size of their captions.
    EXPECT_EQ(d->Label3->pos(), QPoint(5, 207));
    EXPECT_EQ(d->Label1->pos(), QPoint(10, 25));
    EXPECT_EQ(d->Label2->pos(), QPoint(131, 25));
    EXPECT_EQ(d->Label4->pos(), QPoint(2, 301));
    EXPECT_LT(d->Label4->geometry().right(), d->Button1->x()) << "version text under OK";
    // The list shows whole entries of 13 pixels.
    const QRect list = d->SchemeList->geometry();
    const int frame = 2 * d->SchemeList->frameWidth();
    EXPECT_EQ(list.topLeft(), QPoint(5, 17));
    EXPECT_EQ(list.width(), 174);
    EXPECT_LE(list.height(), 186);
    EXPECT_GT(list.height(), 186 - 13);
    EXPECT_EQ((list.height() - frame) % 13, 0);
    EXPECT_EQ(d->SchemeList->visualItemRect(d->SchemeList->item(0)).height(), 13);
}

TEST_F(PrefsTest, CaptionsAndLook) {
    TDPrefs* d = DPrefs;
    EXPECT_EQ(d->windowTitle(), "Vantrel Preferences...");
    EXPECT_EQ(d->minimumSize(), QSize(379, 329));
    EXPECT_EQ(d->maximumSize(), QSize(379, 329));
    EXPECT_FALSE(d->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const std::pair<QGroupBox*, const char*> groups[] = {{d->GroupBox1, " Scheme Options "},
                                                         {d->GroupBox2, " Timer Options "},
                                                         {d->GroupBox3, " Schemes Folder "},
                                                         {d->GroupBox4, " Position Options "},
                                                         {d->GroupBox5, " Misc "}};
    for (const auto& [group, caption] : groups)
        EXPECT_EQ(group->title(), QString::fromLatin1(caption));
    const std::pair<QAbstractButton*, const char*> captions[] = {
        {d->Button2, "..."},
        {d->Button5, "OK"},
        {d->Button6, "Cancel"},
        {d->CheckFixPos, "Fix position on :"},
        {d->CheckNoMove, "Don't move !"},
        {d->CheckAot, "Stay Always On Top"},
        {d->Checkbartip, "Tooltip on bar"},
        {d->Button1, "OK"},
        {d->Button3, "Cancel"},
        {d->Button4, "Apply"},
        {d->RadioTop, ""}};
    for (const auto& [button, caption] : captions)
        EXPECT_EQ(button->text(), QString::fromLatin1(caption));
    EXPECT_EQ(d->Label3->text(), "Schemes folder :");
    EXPECT_EQ(d->Label1->text(), "Refresh delay :");
    EXPECT_EQ(d->Label2->text(), "(ms)");
    const QStringList lines = d->Label4->text().split(u'\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("Vantrel 2.02"));
    EXPECT_FALSE(lines[1].isEmpty());

    // Enter and Escape belong to no button.
    for (QPushButton* button : d->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }

    // The folder group starts hidden and lies over the groups it covers.
    EXPECT_TRUE(d->GroupBox3->isHidden());
    const QObjectList stack = d->children();
    for (QGroupBox* covered : {d->GroupBox2, d->GroupBox4, d->GroupBox5})
        EXPECT_GT(stack.indexOf(d->GroupBox3), stack.indexOf(covered));

    const QImage banner(QStringLiteral(":/art/banner.bmp"));
    EXPECT_EQ(banner.size(), QSize(375, 42));
    EXPECT_EQ(banner.format(), QImage::Format_Indexed8);
    EXPECT_EQ(d->Image1->Picture().size(), QSize(375, 42));
}

TEST_F(PrefsTest, TabOrderFollowsTheGroups) {
    TDPrefs* d = DPrefs;
    auto chain = [d] {
        QList<QWidget*> order;
        QWidget* w = d->SchemeList;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(d) && d->isAncestorOf(w))
                order.append(w);
            w = w->nextInFocusChain();
        } while (w != d->SchemeList);
        return order;
    };
    const QList<QWidget*> closed = {d->SchemeList, d->EditDir,     d->Button2,  d->EditDelay,
                                    d->TrackBar1,  d->CheckNoMove, d->RadioTop, d->RadioLeft,
                                    d->RadioRight, d->RadioBottom, d->CheckAot, d->CheckFixPos,
                                    d->Button1,    d->Button3,     d->Button4,  d->Checkbartip};
    EXPECT_EQ(chain(), closed);
    d->Button2Click();
    QList<QWidget*> open = closed;
    open.insert(5, d->Button6);
    open.insert(5, d->Button5);
    open.insert(5, d->dirtree1);
    EXPECT_EQ(chain(), open);
}

TEST_F(PrefsTest, ShowingFillsTheControlsFromTheSettings) {
    Vantrel->BarPrefs.Dir = QStringLiteral("C:\\Skins\\Ärger\\");
    Vantrel->BarPrefs.TimerDelay = 70000; // beyond the track bar
    Vantrel->BarPrefs.Aot = 1;
    Vantrel->BarPrefs.NoMove = 2; // anything but 1 unchecks
    Vantrel->BarPrefs.FixPos = 1;
    Vantrel->BarPrefs.BarTip = 1;
    Vantrel->BarPrefs.BarPos = 3;
    DPrefs->show();
    EXPECT_EQ(DPrefs->EditDir->text(), QStringLiteral("c:\\skins\\Ärger\\"));
    EXPECT_EQ(DPrefs->EditDelay->text(), "70000"); // setting the slider wrote nothing back
    EXPECT_EQ(DPrefs->TrackBar1->value(), 65535);
    EXPECT_TRUE(DPrefs->CheckAot->isChecked());
    EXPECT_FALSE(DPrefs->CheckNoMove->isChecked());
    EXPECT_TRUE(DPrefs->CheckFixPos->isChecked());
    EXPECT_TRUE(DPrefs->Checkbartip->isChecked());
    EXPECT_TRUE(DPrefs->RadioBottom->isChecked());
    EXPECT_FALSE(DPrefs->RadioTop->isChecked()); // the buttons exclude one another
    EXPECT_TRUE(DPrefs->RadioLeft->isEnabled());
    EXPECT_TRUE(DPrefs->GroupBox3->isHidden());
    // Centred on the screen, frame included, at every showing.
    const QPoint centre(512, 384);
    EXPECT_LE((DPrefs->frameGeometry().center() - centre).manhattanLength(), 4);
    DPrefs->done(QDialog::Rejected);
    DPrefs->move(3, 4);
    DPrefs->show();
    EXPECT_LE((DPrefs->frameGeometry().center() - centre).manhattanLength(), 2);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
}

TEST_F(PrefsTest, DelayTextsAreBoundedOnOk) {
    const struct {
        const char* text;
        int32_t stored;
    } cases[] = {{"0", 1},       {"-5", 1},       {"65536", 65535}, {"100000", 65535},
                 {"1500", 1500}, {" 250", 250},   {"$10", 16},      {"0x7FFFFFFF", 65535},
                 {"1", 1},       {"65535", 65535}};
    for (const auto& c : cases) {
        Vantrel->BarPrefs.TimerDelay = 777;
        DPrefs->EditDelay->setText(QString::fromUtf8(c.text));
        DPrefs->OKClick();
        EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, c.stored) << c.text;
    }
}

TEST_F(PrefsTest, BadDelayStopsApplyAfterTheListSelection) {
    ExpectErrorBoxes();
    const char* bad[] = {"abc", "250 ", "-$10", "", "99999999999", "$123456789"};
    for (const char* text : bad) {
        Errors().clear();
        DPrefs->InitPrefs();
        DPrefs->SchemeList->clearSelection();
        DPrefs->EditDelay->setText(QString::fromUtf8(text));
        DPrefs->CheckAot->setChecked(true);
        DPrefs->Checkbartip->setChecked(true);
        DPrefs->EditDir->setText(QStringLiteral("c:\\elsewhere\\"));
        const int queries = Memory.Queries;
        DPrefs->Button4->click();
        EXPECT_EQ(Errors(), QStringList{Invalid(text)});
        // The selection of the first step is made; nothing else happened.
        ASSERT_NE(DPrefs->SelectedScheme(), nullptr) << text;
        EXPECT_EQ(DPrefs->SelectedScheme()->text(), "<default>");
        EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500) << text;
        EXPECT_EQ(Vantrel->BarPrefs.Aot, 0) << text;
        EXPECT_EQ(Vantrel->BarPrefs.BarTip, 0) << text;
        EXPECT_FALSE(Vantrel->ShowHint);
        EXPECT_EQ(Vantrel->BarPrefs.Dir, EmptyDir) << text;
        EXPECT_EQ(Vantrel->BarPrefs.Scheme, "<none>") << text;
        EXPECT_EQ(Memory.Queries, queries) << text;
    }
}

TEST_F(PrefsTest, OkClosesWithOkEvenWhenTheDelayIsBad) {
    ExpectErrorBoxes();
    WithDialog([&] {
        DPrefs->EditDelay->setText(QStringLiteral("abc"));
        DPrefs->CheckAot->setChecked(true);
        DPrefs->EditDir->setText(QStringLiteral("c:\\typed\\"));
        DPrefs->Button1->click();
        EXPECT_FALSE(DPrefs->isVisible());
        EXPECT_EQ(DPrefs->result(), QDialog::Accepted);
    });
    EXPECT_EQ(Errors(), QStringList{Invalid("abc")});
    // The main bar took the folder and the scheme, with the old delay and options.
    EXPECT_EQ(Vantrel->BarPrefs.Dir, "c:\\typed\\");
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "<default>");
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500);
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 0);
    EXPECT_FALSE(Vantrel->StaysOnTop());
}

TEST_F(PrefsTest, OkStoresTheControlsAndTheBarFinishes) {
    Vantrel->Place({100, 300});
    WithDialog([&] {
        DPrefs->EditDelay->setText(QStringLiteral("250"));
        DPrefs->CheckAot->setChecked(true);
        DPrefs->CheckNoMove->setChecked(true);
        DPrefs->CheckFixPos->setChecked(true);
        DPrefs->Checkbartip->setChecked(true);
        DPrefs->RadioLeft->setChecked(true);
        DPrefs->Button1->click();
    });
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 250);
    EXPECT_EQ(Vantrel->SuperTimer1->interval(), 250);
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 1);
    EXPECT_TRUE(Vantrel->StaysOnTop());
    EXPECT_EQ(Vantrel->BarPrefs.NoMove, 1);
    EXPECT_EQ(Vantrel->BarPrefs.FixPos, 1);
    EXPECT_EQ(Vantrel->BarPrefs.BarTip, 1);
    EXPECT_TRUE(Vantrel->ShowHint);
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 4);
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "<default>");
    EXPECT_EQ(Vantrel->pos(), QPoint(0, 300));
}

TEST_F(PrefsTest, SliderWritesTheFieldAndEnterMovesTheSlider) {
    ExpectErrorBoxes();
    QSlider* slider = DPrefs->TrackBar1;
    QLineEdit* field = DPrefs->EditDelay;
    slider->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(field->text(), "0");
    DPrefs->OKClick();
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(field->text(), "65535");
    QTest::keyClick(slider, Qt::Key_Home);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(field->text(), "1");
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(field->text(), "5001");

    field->setText(QStringLiteral("70000"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(slider->value(), 65535);
    EXPECT_EQ(field->text(), "70000");
    DPrefs->OKClick();
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 65535);

    field->setText(QStringLiteral("$10"));
    QTest::keyClick(field, Qt::Key_Enter); // the keypad's Enter too
    EXPECT_EQ(slider->value(), 16);
    field->setText(QStringLiteral("-20"));
    QTest::keyClick(field, Qt::Key_Left); // other keys do nothing
    EXPECT_EQ(slider->value(), 16);
    DPrefs->EditDelayExit();
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(field->text(), "-20");

    // A bad text leaves the slider where it is.
    field->setText(QStringLiteral("12x"));
    QTest::keyClick(field, Qt::Key_Return);
    platform::Guarded([] { DPrefs->EditDelayExit(); });
    EXPECT_EQ(slider->value(), 0);
    EXPECT_EQ(Errors(), (QStringList{Invalid("12x"), Invalid("12x")}));
}

TEST_F(PrefsTest, LeavingTheDelayFieldMovesTheSlider) {
    DPrefs->show();
    DPrefs->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(DPrefs));
    DPrefs->EditDelay->setFocus(Qt::TabFocusReason);
    DPrefs->EditDelay->setText(QStringLiteral("300"));
    DPrefs->CheckAot->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(DPrefs->TrackBar1->value(), 300);
    EXPECT_EQ(DPrefs->EditDelay->text(), "300");
}

TEST_F(PrefsTest, EdgeOutsideOneToFourIsKept) {
    // A stored edge of 7 at start-up: the dialog is created with no edge button checked.
    delete DPrefs;
    Vantrel->BarPrefs.BarPos = 7;
    Vantrel->BarPrefs.FixPos = 1;
    new TDPrefs();
    for (QRadioButton* r :
         {DPrefs->RadioTop, DPrefs->RadioRight, DPrefs->RadioBottom, DPrefs->RadioLeft})
        EXPECT_FALSE(r->isChecked());
    Vantrel->Place({100, 300});
    DPrefs->show();
    DPrefs->OKClick();
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 7);
    DPrefs->Button4Click();
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 7);
    EXPECT_EQ(Vantrel->pos(), QPoint(100, 300));
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
}

TEST_F(PrefsTest, EdgeButtonsGreyedButStored) {
    Vantrel->Place({100, 300});
    DPrefs->InitPrefs();
    EXPECT_FALSE(DPrefs->CheckFixPos->isChecked());
    for (QRadioButton* r :
         {DPrefs->RadioTop, DPrefs->RadioRight, DPrefs->RadioBottom, DPrefs->RadioLeft})
        EXPECT_FALSE(r->isEnabled());
    DPrefs->RadioRight->setChecked(true);
    DPrefs->Button4Click();
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 2);
    EXPECT_EQ(Vantrel->BarPrefs.FixPos, 0);
    EXPECT_EQ(Vantrel->pos(), QPoint(100, 300));
    // Checking "Fix position on :" makes them usable; the checked one stays checked.
    DPrefs->CheckFixPos->click();
    EXPECT_TRUE(DPrefs->RadioTop->isEnabled());
    EXPECT_TRUE(DPrefs->RadioRight->isChecked());
    DPrefs->CheckFixPos->click();
    EXPECT_FALSE(DPrefs->RadioTop->isEnabled());
}

TEST_F(PrefsTest, ApplyMovesTheBarToTheChosenEdge) {
    const struct {
        QRadioButton* TDPrefs::*radio;
        QPoint place;
    } cases[] = {{&TDPrefs::RadioTop, {100, 0}},
                 {&TDPrefs::RadioRight, {1024 - 177, 300}},
                 {&TDPrefs::RadioBottom, {100, 768 - 21}},
                 {&TDPrefs::RadioLeft, {0, 300}}};
    for (const auto& c : cases) {
        Vantrel->Place({100, 300});
        DPrefs->CheckFixPos->setChecked(true);
        (DPrefs->*c.radio)->setChecked(true);
        DPrefs->Button4->click();
        EXPECT_EQ(Vantrel->pos(), c.place);
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
}

TEST_F(PrefsTest, ApplyThenCancelKeepsWhatWasApplied) {
    const QString dir = MakeScheme(QStringLiteral("Green"), Qt::green, 255);
    FDetails->LoadTextColor(Marker); // any reload of the details window's scheme replaces it
    WithDialog([&] {
        DPrefs->EditDelay->setText(QStringLiteral("250"));
        DPrefs->Checkbartip->setChecked(true);
        DPrefs->EditDir->setText(dir);
        if (!Entry(QStringLiteral("Green"))) DPrefs->SchemeList->addItem(QStringLiteral("Green"));
        DPrefs->SchemeList->setCurrentItem(Entry(QStringLiteral("Green")));
        DPrefs->Button4->click();
        EXPECT_TRUE(DPrefs->isVisible());
        // Apply reloads the bar alone.
        EXPECT_EQ(Vantrel->IBack->Picture().toImage().pixelColor(170, 2), QColor(Qt::green));
        EXPECT_EQ(FDetails->Label4->FontColor(), Marker);
        DPrefs->EditDir->setText(QStringLiteral("c:\\abandoned\\"));
        DPrefs->EditDelay->setText(QStringLiteral("999"));
        DPrefs->Button3->click();
    });
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 250);
    EXPECT_EQ(Vantrel->SuperTimer1->interval(), 250);
    EXPECT_EQ(Vantrel->BarPrefs.BarTip, 1);
    EXPECT_TRUE(Vantrel->ShowHint);
    EXPECT_EQ(Vantrel->BarPrefs.Dir, dir);
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "Green");
    EXPECT_EQ(FDetails->Label4->FontColor(), Marker); // Cancel reloads nothing
}

TEST_F(PrefsTest, DoubleClickPutsASchemeIntoEffectAndCancelKeepsIt) {
    Vantrel->BarPrefs.Dir = MakeScheme(QStringLiteral("Green"), Qt::green, 255);
    FDetails->LoadTextColor(Marker);
    WithDialog([&] {
        if (!Entry(QStringLiteral("Green"))) DPrefs->SchemeList->addItem(QStringLiteral("Green"));
        QListWidgetItem* green = Entry(QStringLiteral("Green"));
        const QPoint at = DPrefs->SchemeList->visualItemRect(green).center();
        const int queries = Memory.Queries;
        QWidget* viewport = DPrefs->SchemeList->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
        EXPECT_TRUE(DPrefs->isVisible());
        EXPECT_EQ(Vantrel->BarPrefs.Scheme, "Green");
        EXPECT_GT(Memory.Queries, queries); // redrawn at once
        DPrefs->Button3->click();
    });
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "Green");
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500);
    EXPECT_EQ(Vantrel->IBack->Picture().toImage().pixelColor(170, 2), QColor(Qt::green));
    EXPECT_NE(FDetails->Label4->FontColor(), Marker); // the details window reloaded too
    // A double click with nothing selected changes nothing.
    DPrefs->SchemeList->clearSelection();
    Vantrel->BarPrefs.Scheme = QStringLiteral("kept");
    DPrefs->SchemeListDblClick();
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "kept");
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
}

TEST_F(PrefsTest, OkAndApplyStoreTheSelectedSchemeWhereverTheFocusIs) {
    MakeScheme(QStringLiteral("Blue"), Qt::blue, 255);
    Vantrel->BarPrefs.Dir = MakeScheme(QStringLiteral("Green"), Qt::green, 255);
    Vantrel->BarPrefs.Scheme = QStringLiteral("Blue");
    WithDialog([&] {
        QListWidget* list = DPrefs->SchemeList;
        // The current entry (the focus) moved off the selection. (In a single-selection list
        // Ctrl with an arrow key moves both, so the selection model is told directly.)
        list->selectionModel()->setCurrentIndex(list->indexFromItem(Entry(QStringLiteral("Green"))),
                                                QItemSelectionModel::NoUpdate);
        EXPECT_EQ(list->currentItem(), Entry(QStringLiteral("Green")));
        EXPECT_EQ(DPrefs->SelectedScheme(), Entry(QStringLiteral("Blue")));
        DPrefs->Button4->click();
        EXPECT_EQ(Vantrel->BarPrefs.Scheme, "Blue");
        Vantrel->BarPrefs.Scheme = QStringLiteral("none");
        DPrefs->Button1->click();
    });
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "Blue");
}

TEST_F(PrefsTest, SchemeIsFoundWithoutRegardToCase) {
    QDir().mkpath(Skins.path() + QStringLiteral("/blue"));
    Vantrel->BarPrefs.Dir = WindowsForm(Skins.path());
    Vantrel->BarPrefs.Scheme = QStringLiteral("Blue");
    DPrefs->InitPrefs();
    ASSERT_NE(Entry(QStringLiteral("blue")), nullptr) << "the scheme list lists no folders";
    ASSERT_NE(DPrefs->SelectedScheme(), nullptr);
    EXPECT_EQ(DPrefs->SelectedScheme()->text(), "blue");
    WithDialog([] { DPrefs->Button1->click(); });
    EXPECT_EQ(Vantrel->BarPrefs.Scheme, "blue");
}

TEST_F(PrefsTest, FolderIsShownAndStoredInLowerCase) {
    Vantrel->BarPrefs.Dir = QStringLiteral("C:\\Skins\\");
    WithDialog([] {
        EXPECT_EQ(DPrefs->EditDir->text(), "c:\\skins\\");
        DPrefs->Button1->click();
    });
    EXPECT_EQ(Vantrel->BarPrefs.Dir, "c:\\skins\\");
    // Apply takes the field as it is.
    DPrefs->EditDir->setText(QStringLiteral("D:\\Typed\\"));
    DPrefs->Button4Click();
    EXPECT_EQ(Vantrel->BarPrefs.Dir, "D:\\Typed\\");
}

TEST_F(PrefsTest, ReopeningAfterCancelShowsTheSettings) {
    WithDialog([] {
        DPrefs->EditDelay->setText(QStringLiteral("999"));
        DPrefs->CheckAot->setChecked(true);
        DPrefs->CheckFixPos->setChecked(true);
        DPrefs->RadioLeft->setChecked(true);
        DPrefs->EditDir->setText(QStringLiteral("c:\\abandoned\\"));
        DPrefs->Button2->click();
        DPrefs->setFocus();
        QTest::keyClick(DPrefs, Qt::Key_Escape); // on the dialog window itself
        EXPECT_FALSE(DPrefs->isVisible());
    });
    WithDialog([this] {
        EXPECT_EQ(DPrefs->EditDelay->text(), "1500");
        EXPECT_EQ(DPrefs->TrackBar1->value(), 1500);
        EXPECT_FALSE(DPrefs->CheckAot->isChecked());
        EXPECT_FALSE(DPrefs->CheckFixPos->isChecked());
        EXPECT_TRUE(DPrefs->RadioTop->isChecked());
        EXPECT_FALSE(DPrefs->RadioLeft->isEnabled());
        EXPECT_EQ(DPrefs->EditDir->text(), AsciiLower(EmptyDir));
        EXPECT_TRUE(DPrefs->GroupBox3->isHidden());
        DPrefs->Button3->click();
    });
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500);
    EXPECT_EQ(Vantrel->BarPrefs.BarPos, 1);
    EXPECT_EQ(Vantrel->BarPrefs.Aot, 0);
}

TEST_F(PrefsTest, KeysInTheFolderField) {
    DPrefs->show();
    QLineEdit* field = DPrefs->EditDir;
    field->clear();
    DPrefs->SchemeList->addItem(QStringLiteral("zz marker"));
    DPrefs->Button2->click();
    ASSERT_FALSE(DPrefs->GroupBox3->isHidden());
    // Any key but Enter hides the folder group and leaves the list alone.
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_Backslash, Qt::Key_Shift, Qt::Key_Left}) {
        DPrefs->GroupBox3->show();
        QTest::keyClick(field, key);
        EXPECT_TRUE(DPrefs->GroupBox3->isHidden()) << key;
        EXPECT_TRUE(Entry(QStringLiteral("zz marker"))) << key;
    }
    EXPECT_EQ(field->text(), "a\\");
    // Tab only moves the focus on.
    DPrefs->GroupBox3->show();
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_FALSE(DPrefs->GroupBox3->isHidden());
    // Enter reads the list again from the typed folder.
    DPrefs->GroupBox3->show();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(DPrefs->GroupBox3->isHidden());
    EXPECT_FALSE(Entry(QStringLiteral("zz marker")));
    EXPECT_TRUE(Entry(QStringLiteral("<default>")));
    EXPECT_EQ(Vantrel->BarPrefs.Dir, EmptyDir); // not stored before OK or Apply
    EXPECT_TRUE(DPrefs->isVisible());           // and Enter pressed no button
}

TEST_F(PrefsTest, FolderGroupButtons) {
    DPrefs->show();
    DPrefs->Button2->click();
    EXPECT_FALSE(DPrefs->GroupBox3->isHidden());
    DPrefs->Button2->click();
    EXPECT_TRUE(DPrefs->GroupBox3->isHidden());

    DPrefs->Button2->click();
    DPrefs->EditDir->setText(QStringLiteral("c:\\kept\\"));
    DPrefs->Button6->click();
    EXPECT_TRUE(DPrefs->GroupBox3->isHidden());
    EXPECT_EQ(DPrefs->EditDir->text(), "c:\\kept\\");

    // With no folder chosen in the tree, its OK writes "?" into the field.
    DPrefs->Button2->click();
    DPrefs->SchemeList->addItem(QStringLiteral("zz marker"));
    DPrefs->Button5->click();
    EXPECT_TRUE(DPrefs->GroupBox3->isHidden());
    EXPECT_EQ(DPrefs->EditDir->text(), "?");
    EXPECT_FALSE(Entry(QStringLiteral("zz marker")));
    EXPECT_EQ(Vantrel->BarPrefs.Dir, EmptyDir);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
}

TEST_F(PrefsTest, EnterPressesTheFocusedButtonAndEscapeClosesOnlyFromTheDialogWindow) {
    DPrefs->show();
    DPrefs->EditDelay->setFocus();
    QTest::keyClick(DPrefs->EditDelay, Qt::Key_Escape);
    QTest::keyClick(DPrefs->EditDelay, Qt::Key_Return);
    DPrefs->Button1->setFocus();
    QTest::keyClick(DPrefs->Button1, Qt::Key_Escape);
    EXPECT_TRUE(DPrefs->isVisible());
    DPrefs->setFocus();
    QTest::keyClick(DPrefs, Qt::Key_Return);
    EXPECT_TRUE(DPrefs->isVisible());
    QTest::keyClick(DPrefs, Qt::Key_Escape);
    EXPECT_FALSE(DPrefs->isVisible());
    EXPECT_EQ(DPrefs->result(), QDialog::Rejected);
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 1500);

    // Enter (either key) on a focused button presses it, as Space does.
    DPrefs->show();
    DPrefs->EditDelay->setText(QStringLiteral("400"));
    DPrefs->Button4->setFocus();
    QTest::keyClick(DPrefs->Button4, Qt::Key_Return);
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 400); // applied
    DPrefs->Button2->setFocus();
    QTest::keyClick(DPrefs->Button2, Qt::Key_Enter);
    EXPECT_FALSE(DPrefs->GroupBox3->isHidden());
    DPrefs->Button6->setFocus();
    QTest::keyClick(DPrefs->Button6, Qt::Key_Return);
    EXPECT_TRUE(DPrefs->GroupBox3->isHidden());
    DPrefs->Button2->click();
    DPrefs->Button5->setFocus();
    QTest::keyClick(DPrefs->Button5, Qt::Key_Return);
    EXPECT_EQ(DPrefs->EditDir->text(), "?"); // no folder chosen in the tree
    DPrefs->Button3->setFocus();
    QTest::keyClick(DPrefs->Button3, Qt::Key_Return);
    EXPECT_FALSE(DPrefs->isVisible());
    EXPECT_EQ(DPrefs->result(), QDialog::Rejected);
    DPrefs->show();
    DPrefs->EditDelay->setText(QStringLiteral("600"));
    DPrefs->Button1->setFocus();
    QTest::keyClick(DPrefs->Button1, Qt::Key_Enter);
    EXPECT_FALSE(DPrefs->isVisible());
    EXPECT_EQ(DPrefs->result(), QDialog::Accepted);
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 600);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
}

// A click on a button while the delay field has the focus, the press and the release as far
// apart as a hand makes them or at once: a bad delay is reported once, and the button then does
// what it does with a bad delay (OK closes with OK and stores no setting, Apply applies nothing,
// Cancel closes, "..." shows the folder tree); a good one is put into effect first.
TEST_F(PrefsTest, AClickFromTheDelayFieldReportsABadDelayOnceAndThenActs) {
    enum Button { Ok, Apply, Cancel, Folder };
    struct Case {
        Button button;
        const char* text;
        int stored;  // TimerDelay afterwards
        bool closed; // the dialog
        int slider;
    };
    const Case cases[] = {
        {Ok, "12x", 1500, true, 1500},      {Apply, "12x", 1500, false, 1500},
        {Cancel, "12x", 1500, true, 1500},  {Folder, "12x", 1500, false, 1500},
        {Ok, "2500", 2500, true, 2500},     {Apply, "2500", 2500, false, 2500},
        {Cancel, "2500", 1500, true, 2500}, {Folder, "2500", 1500, false, 2500},
    };
    // Each report shows a real modal box for a moment: it takes the focus from the pressed
    // button, as the box does on a desktop.
    class BriefBoxes : public platform::ErrorReport {
        void Show(const QString& text) override {
            Errors().append(text);
            QMessageBox box(QMessageBox::Critical, QStringLiteral("Vantrel"), text,
                            QMessageBox::Ok);
            QTimer::singleShot(50, &box, &QMessageBox::accept);
            box.exec();
        }
    } boxes;
    const platform::Replace<platform::ErrorReport> boxesInPlace(boxes);
    for (const int pause : {0, 300}) {
        for (const Case& c : cases) {
            const std::string row = std::string(c.text) + " button " + std::to_string(c.button) +
                                    " pause " + std::to_string(pause);
            Errors().clear();
            Vantrel->BarPrefs.TimerDelay = 1500;
            bool closed = false;
            int slider = -1;
            bool folderShown = false;
            WithDialog([&] {
                QPushButton* button = c.button == Ok       ? DPrefs->Button1
                                      : c.button == Apply  ? DPrefs->Button4
                                      : c.button == Cancel ? DPrefs->Button3
                                                           : DPrefs->Button2;
                DPrefs->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(DPrefs));
                DPrefs->EditDelay->setFocus(Qt::MouseFocusReason);
                DPrefs->EditDelay->setText(QString::fromLatin1(c.text));
                const QPoint centre = button->rect().center();
                QTest::mousePress(button, Qt::LeftButton, {}, centre);
                QTest::qWait(pause);
                QTest::mouseRelease(button, Qt::LeftButton, {}, centre);
                QTest::qWait(20); // anything queued has run
                closed = !DPrefs->isVisible();
                slider = DPrefs->TrackBar1->value();
                folderShown = !DPrefs->GroupBox3->isHidden();
                if (!closed) DPrefs->done(QDialog::Rejected);
            });
            const bool bad = QByteArray(c.text) == "12x";
            EXPECT_EQ(Errors(), bad ? QStringList{Invalid(c.text)} : QStringList{}) << row;
            EXPECT_EQ(closed, c.closed) << row;
            EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, c.stored) << row;
            EXPECT_EQ(slider, c.slider) << row;
            EXPECT_EQ(folderShown, c.button == Folder) << row;
        }
    }
}

// A press on the track bar's groove while the delay field has the focus: the typed text is
// handled before the track bar pages.
TEST_F(PrefsTest, TheTypedDelayIsHandledBeforeTheTrackBarActs) {
    ExpectErrorBoxes();
    Vantrel->BarPrefs.TimerDelay = 31188;
    DPrefs->show();
    DPrefs->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(DPrefs));
    QSlider* slider = DPrefs->TrackBar1;
    QLineEdit* field = DPrefs->EditDelay;
    for (const char* text : {"100", "12x"}) {
        Errors().clear();
        DPrefs->SetTrackPosition(31188);
        field->setFocus(Qt::MouseFocusReason);
        field->setText(QString::fromLatin1(text));
        // Left of the thumb, on the groove.
        const QPoint groove(6, slider->height() / 2);
        QTest::mousePress(slider, Qt::LeftButton, {}, groove);
        QTest::qWait(100);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, groove);
        QTest::qWait(20);
        if (QByteArray(text) == "100") {
            EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'|').toStdString();
            // Paged, if at all, from the typed position, not from the old one.
            EXPECT_NE(slider->value(), 26188);
            EXPECT_TRUE(slider->value() == 100 || slider->value() == 0) << slider->value();
            EXPECT_EQ(field->text(), QString::number(slider->value()));
        } else {
            EXPECT_EQ(Errors(), QStringList{Invalid("12x")});
            EXPECT_EQ(slider->value(), 31188); // refused: the track bar did not move
            EXPECT_EQ(field->text(), "12x");
        }
    }
    // The wheel over the track bar leaves a typed delay alone while the field has the focus.
    field->setFocus(Qt::MouseFocusReason);
    field->setText(QStringLiteral("777"));
    const int before = slider->value();
    const QPointF middle(slider->width() / 2.0, slider->height() / 2.0);
    QWheelEvent wheel(middle, slider->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(slider, &wheel);
    EXPECT_EQ(slider->value(), before);
    EXPECT_EQ(field->text(), "777");
}

// The folder tree's OK gives the field a path that leads to the folder picked, also when
// another folder's name differs from it only in case.
TEST_F(PrefsTest, FolderPickedInTheTreeIsTheOneListed) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    for (const char* folder : {"Skins/Blue", "skins/Red", "Plain/Green"})
        ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(folder)));
    DPrefs->show();
    DPrefs->Button2->click();
    struct Row {
        const char* folder;
        const char* field;
        const char* scheme;
    };
    const QString base = WindowsForm(root.path());
    // Lower case leads to "skins" and "Plain" but not to "Skins": that one is given as it is.
    for (const Row& row : {Row{"Skins", nullptr, "Blue"}, Row{"skins", "lower", "Red"},
                           Row{"Plain", "lower", "Green"}}) {
        DPrefs->dirtree1->SetDirectory(base + QString::fromLatin1(row.folder) + u'\\');
        DPrefs->Button5->click();
        const QString native = root.path() + u'/' + QString::fromLatin1(row.folder) + u'/';
        EXPECT_EQ(DPrefs->EditDir->text(),
                  row.field ? AsciiLower(base + row.folder + u'\\') : native)
            << row.folder;
        EXPECT_TRUE(Entry(QString::fromLatin1(row.scheme))) << row.folder;
        EXPECT_EQ(DPrefs->SchemeList->count(), 2) << row.folder;
        DPrefs->Button2->click();
    }
}

TEST_F(PrefsTest, ShowingTheOpenDialogAgainIsRefused) {
    ExpectErrorBoxes();
    WithDialog([] {
        DPrefs->EditDelay->setText(QStringLiteral("321"));
        Vantrel->Prefs1->trigger(); // from the notification-area menu
        EXPECT_TRUE(DPrefs->isVisible());
        EXPECT_EQ(DPrefs->EditDelay->text(), "321"); // not shown again
        DPrefs->Button1->click();
    });
    EXPECT_EQ(Errors(), QStringList{"Cannot make a visible window modal."});
    EXPECT_EQ(Vantrel->BarPrefs.TimerDelay, 321);
}

} // namespace
