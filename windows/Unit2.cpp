// The preferences dialog: its controls, settings to controls and back, Apply and the folder picker.
#include "windows/Unit2.h"

#include "app/Globals.h"
#include "app/Unit1.h"
#include "app/Version.h"
#include "components/dirtree.h"
#include "controls/Bitmap.h"
#include "controls/Form.h"
#include "controls/Image.h"
#include "core/Helpers.h"
#include "platform/ErrorReport.h"
#include "platform/Files.h"
#include "platform/Screen.h"
#include "platform/WindowSystem.h"
#include "windows/Unit3.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyledItemDelegate>

namespace {

constexpr int ItemHeight = 13;

// A hollow rectangle drawn in the window-text colour; the picture of a screen and its windows.
class TOutline : public QWidget {
public:
    TOutline(QWidget* parent, Qt::PenStyle style, int penWidth)
        : QWidget(parent), Style(style), PenWidth(penWidth) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::WindowText), PenWidth, Style);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        // The outline lies inside the control's bounds.
        const qreal inset = PenWidth / 2.0;
        painter.drawRect(QRectF(inset, inset, width() - PenWidth, height() - PenWidth));
    }

private:
    Qt::PenStyle Style;
    int PenWidth;
};

// Every entry of the scheme list is the same height.
class FixedHeightItems : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), ItemHeight);
    }
};

QGroupBox* MakeGroup(QWidget* parent, const char* caption, int left, int top, int width,
                     int height) {
    auto* group = new QGroupBox(QString::fromLatin1(caption), parent);
    group->setGeometry(left, top, width, height);
    return group;
}

// A label as wide and high as its caption.
QLabel* MakeLabel(QWidget* parent, const char* caption, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* caption, int left, int top, int width,
                        int height) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setGeometry(left, top, width, height);
    // Enter presses no button of this dialog.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QCheckBox* MakeCheck(QWidget* parent, const char* caption, int left, int top, int width,
                     int height) {
    auto* check = new QCheckBox(QString::fromLatin1(caption), parent);
    check->setGeometry(left, top, width, height);
    return check;
}

QRadioButton* MakeRadio(QWidget* parent, int left, int top) {
    auto* radio = new QRadioButton(parent);
    radio->setGeometry(left, top, 13, 13);
    return radio;
}

QLineEdit* MakeEdit(QWidget* parent, int left, int top, int width, int height) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(left, top, width, height);
    return edit;
}

// The key code a key handler gets: 13 for either Enter key, 27 for Escape.
int VirtualKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return TDPrefs::VK_RETURN;
    case Qt::Key_Escape:
        return TDPrefs::VK_ESCAPE;
    default:
        // Letters and digits keep their code; any other key gets one the handlers ignore.
        return event->key() < 0x80 ? event->key() : 0xFF;
    }
}

} // namespace

// Watches the whole application for the end of the press that took the focus from the delay
// field; the press may end on any widget (a list's viewport, say), so no one widget can watch it.
class TClickEnd : public QObject {
public:
    explicit TClickEnd(TDPrefs* dialog) : QObject(dialog), Dialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // The release as the widget under the press gets it (the window it is in sees it first).
        if (event->type() == QEvent::MouseButtonRelease && watched->isWidgetType())
            Dialog->ClickEnded();
        return false;
    }

private:
    TDPrefs* Dialog;
};

TDPrefs::TDPrefs() : TForm(nullptr, platform::DialogFlags) {
    DPrefs = this;
    WhenCentred = Centring::EveryShow;
    setWindowTitle(QStringLiteral("Vantrel Preferences..."));
    SetUpForm(this, QSize(379, 329));

    Bevel1 = new QFrame(this);
    Bevel1->setGeometry(0, 0, 379, 46);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Image1 = new TImage(this);
    Image1->setGeometry(2, 2, 375, 42);
    Image1->SetPicture(BuiltInPicture(QStringLiteral(":/art/banner.bmp")));
    Image1->SetMeaning(QStringLiteral("Vantrel"));

    GroupBox1 = MakeGroup(this, " Scheme Options ", 3, 51, 185, 248);
    SchemeList = new QListWidget(GroupBox1);
    SchemeList->setSelectionMode(QAbstractItemView::SingleSelection);
    SchemeList->setSortingEnabled(true);
    SchemeList->setUniformItemSizes(true);
    SchemeList->setItemDelegate(new FixedHeightItems(SchemeList));
    SchemeList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        // The list shows whole entries only: its height shrinks to the last one that fits.
        const int frame = 2 * SchemeList->frameWidth();
        SchemeList->setGeometry(5, 17, 174, frame + (186 - frame) / ItemHeight * ItemHeight);
    }
    SchemeList->addItem(QStringLiteral("<default>"));
    Label3 = MakeLabel(GroupBox1, "Schemes folder :", 5, 207);
    EditDir = MakeEdit(GroupBox1, 6, 222, 150, 21);
    Button2 = MakeButton(GroupBox1, "...", 158, 222, 21, 21);

    GroupBox2 = MakeGroup(this, " Timer Options ", 192, 51, 185, 80);
    Label1 = MakeLabel(GroupBox2, "Refresh delay :", 10, 25);
    EditDelay = MakeEdit(GroupBox2, 86, 18, 40, 21);
    Label2 = MakeLabel(GroupBox2, "(ms)", 131, 25);
    TrackBar1 = new QSlider(Qt::Horizontal, GroupBox2);
    TrackBar1->setGeometry(2, 50, 181, 22);
    TrackBar1->setRange(0, 65535);
    TrackBar1->setValue(0);
    TrackBar1->setPageStep(5000);
    TrackBar1->setSingleStep(1);
    TrackBar1->setTickInterval(5461);
    TrackBar1->setTickPosition(QSlider::NoTicks);
    TrackBar1->setCursor(Qt::SizeHorCursor);

    GroupBox3 = MakeGroup(this, " Schemes Folder ", 192, 51, 185, 248);
    GroupBox3->setAutoFillBackground(true); // it covers the groups below it when shown
    GroupBox3->hide();
    dirtree1 = new Tdirtree(GroupBox3);
    dirtree1->setGeometry(5, 17, 174, 198);
    Button5 = MakeButton(GroupBox3, "OK", 25, 220, 65, 21);
    Button6 = MakeButton(GroupBox3, "Cancel", 95, 220, 65, 21);

    GroupBox4 = MakeGroup(this, " Position Options ", 192, 135, 185, 122);
    CheckFixPos = MakeCheck(GroupBox4, "Fix position on :", 10, 17, 97, 17);
    // The four edge buttons share this panel, so checking one unchecks the others.
    Panel1 = new QWidget(GroupBox4);
    Panel1->setGeometry(96, 17, 79, 69);
    Shape1 = new TOutline(Panel1, Qt::SolidLine, 2);
    Shape1->setGeometry(15, 14, 50, 40);
    Shape2 = new TOutline(Panel1, Qt::DotLine, 1);
    Shape2->setGeometry(15, 14, 25, 20);
    Shape3 = new TOutline(Panel1, Qt::DotLine, 1);
    Shape3->setGeometry(39, 33, 25, 20);
    RadioTop = MakeRadio(Panel1, 32, 0);
    RadioLeft = MakeRadio(Panel1, 0, 28);
    RadioRight = MakeRadio(Panel1, 66, 28);
    RadioBottom = MakeRadio(Panel1, 32, 56);
    CheckNoMove = MakeCheck(GroupBox4, "Don't move !", 10, 84, 80, 17);
    CheckAot = MakeCheck(GroupBox4, "Stay Always On Top", 10, 100, 120, 17);

    GroupBox5 = MakeGroup(this, " Misc ", 192, 261, 185, 38);
    Checkbartip = MakeCheck(GroupBox5, "Tooltip on bar", 10, 17, 94, 17);

    Label4 = new QLabel(this);
    Label4->move(2, 301);
    Button1 = MakeButton(this, "OK", 170, 304, 65, 21);
    Button3 = MakeButton(this, "Cancel", 240, 304, 65, 21);
    Button4 = MakeButton(this, "Apply", 310, 304, 65, 21);

    // The folder group lies over the timer, position and misc groups.
    GroupBox3->raise();

    // Names a screen reader gives the controls without a caption of their own: the fields take
    // their labels', the others a word.
    Label3->setBuddy(EditDir);
    Label1->setBuddy(EditDelay);
    SchemeList->setAccessibleName(QStringLiteral("Scheme"));
    TrackBar1->setAccessibleName(QStringLiteral("Refresh delay"));
    dirtree1->setAccessibleName(QStringLiteral("Schemes folder"));
    RadioTop->setAccessibleName(QStringLiteral("Top"));
    RadioLeft->setAccessibleName(QStringLiteral("Left"));
    RadioRight->setAccessibleName(QStringLiteral("Right"));
    RadioBottom->setAccessibleName(QStringLiteral("Bottom"));
    Button2->setAccessibleName(QStringLiteral("Choose the schemes folder"));

    // Tab order: the groups in their order, each group's controls in theirs.
    const QList<QWidget*> chain = {SchemeList, EditDir,    Button2,     EditDelay,   TrackBar1,
                                   dirtree1,   Button5,    Button6,     CheckNoMove, RadioTop,
                                   RadioLeft,  RadioRight, RadioBottom, CheckAot,    CheckFixPos,
                                   Button1,    Button3,    Button4,     Checkbartip};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);

    connect(SchemeList, &QListWidget::itemDoubleClicked, this,
            [this] { platform::Guarded([this] { SchemeListDblClick(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] {
        FinishDelayExit(Button2);
        platform::Guarded([this] { Button2Click(); });
    });
    connect(TrackBar1, &QSlider::valueChanged, this,
            [this] { platform::Guarded([this] { TrackBar1Change(); }); });
    connect(Button5, &QPushButton::clicked, this,
            [this] { platform::Guarded([this] { Button5Click(); }); });
    connect(Button6, &QPushButton::clicked, this,
            [this] { platform::Guarded([this] { Button6Click(); }); });
    connect(CheckFixPos, &QCheckBox::toggled, this,
            [this] { platform::Guarded([this] { CheckFixPosClick(); }); });
    // A click that took the focus from the delay field handles the field's text first.
    connect(Button1, &QPushButton::clicked, this, [this] {
        FinishDelayExit(Button1);
        // The result is OK before the handler runs, so the dialog closes with OK even when
        // the handler fails.
        setResult(QDialog::Accepted);
        platform::Guarded([this] { Button1Click(); });
        done(QDialog::Accepted);
    });
    connect(Button3, &QPushButton::clicked, this, [this] {
        FinishDelayExit(Button3);
        done(QDialog::Rejected);
    });
    connect(Button4, &QPushButton::clicked, this, [this] {
        FinishDelayExit(Button4);
        platform::Guarded([this] { Button4Click(); });
    });
    EditDir->installEventFilter(this);
    EditDelay->installEventFilter(this);
    TrackBar1->installEventFilter(this);
    ClickWatcher = new TClickEnd(this);

    platform::Guarded([this] { FormCreate(); });
}

TDPrefs::~TDPrefs() {
    if (DPrefs == this) DPrefs = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Events

void TDPrefs::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) platform::Guarded([this] { FormShow(); });
    QDialog::showEvent(event);
}

void TDPrefs::keyPressEvent(QKeyEvent* event) {
    // Only keys pressed while the dialog window itself has the focus reach its handler; a key
    // that a control leaves alone ends here. Enter presses the focused button, as Space does;
    // pressed in any other control, Enter and Escape press no button.
    QWidget* focus = focusWidget();
    if (auto* button = qobject_cast<QPushButton*>(focus);
        button && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        button->click();
        return;
    }
    if (focus && focus != this) {
        event->ignore();
        return;
    }
    const int key = VirtualKey(event);
    const Qt::KeyboardModifiers shift = event->modifiers();
    platform::Guarded([&] { FormKeyDown(key, shift); });
}

bool TDPrefs::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(e);
        // Tab moves the focus on; the field itself never sees it.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return QDialog::eventFilter(watched, e);
        const int code = VirtualKey(key);
        const Qt::KeyboardModifiers shift = key->modifiers();
        if (watched == EditDelay)
            platform::Guarded([&] { EditDelayKeyDown(code, shift); });
        else if (watched == EditDir)
            platform::Guarded([&] { EditDirKeyDown(code, shift); });
    } else if (watched == TrackBar1 && e->type() == QEvent::MouseButtonPress && DelayExitPending) {
        // The typed delay is put into effect (or refused with its message) before the track
        // bar moves from the old position; a refused text leaves the track bar where it is.
        DelayExitPending = false;
        qApp->removeEventFilter(ClickWatcher);
        if (!RunDelayExit()) return true;
    } else if (watched == TrackBar1 && e->type() == QEvent::Wheel && EditDelay->hasFocus()) {
        // The wheel works the control that has the focus: it does not overwrite a typed delay.
        return true;
    } else if (e->type() == QEvent::FocusOut && watched == EditDelay) {
        // Leaving the field for another control of the dialog, not for another window. The
        // handler runs once the focus has moved, so an error box it raises does not cut into
        // the click that took the focus away; a dialog closed meanwhile needs no slider.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::MouseFocusReason)
            ExpectClickEnd();
        else if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (isVisible()) platform::Guarded([this] { EditDelayExit(); });
                },
                Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, e);
}

void TDPrefs::ExpectClickEnd() {
    if (DelayExitPending) return;
    DelayExitPending = true;
    qApp->removeEventFilter(ClickWatcher); // installed once
    qApp->installEventFilter(ClickWatcher);
}

void TDPrefs::ClickEnded() {
    qApp->removeEventFilter(ClickWatcher);
    // The release is on its way to the control: a button's click handles the field first (see
    // FinishDelayExit); anything else, or a press that ends off its button, has the field
    // handled once the release is done. An error box shown before would take the focus from a
    // pressed button, and the button would drop the click.
    QMetaObject::invokeMethod(
        this, [this] { FinishDelayExit(nullptr); }, Qt::QueuedConnection);
}

void TDPrefs::FinishDelayExit(const QPushButton* clicked) {
    if (!DelayExitPending) return;
    DelayExitPending = false;
    if (!isVisible()) return;
    // OK and Apply read the same text first thing: a bad one is reported there, once.
    if ((clicked == Button1 || clicked == Button4) && !ParseInt(EditDelay->text())) return;
    RunDelayExit();
}

bool TDPrefs::RunDelayExit() {
    bool accepted = false;
    platform::Guarded([this, &accepted] {
        EditDelayExit();
        accepted = true;
    });
    return accepted;
}

// ---------------------------------------------------------------------------------------------
// Creation and showing

void TDPrefs::FormCreate() {
    InitPrefs();
    Label4->setText(
        QStringLiteral("Vantrel " VANTREL_VERSION " - memory load bar\n(c) 1999-2002 Quillmoor"));
    Label4->adjustSize();
}

void TDPrefs::FormShow() {
    InitPrefs();
    GroupBox3->hide();
}

void TDPrefs::FormKeyDown(int Key, Qt::KeyboardModifiers) {
    if (Key == VK_ESCAPE) done(QDialog::Rejected);
}

void TDPrefs::InitPrefs() {
    RefreshList(Vantrel->BarPrefs.Dir);
    EditDir->setText(AsciiLower(Vantrel->BarPrefs.Dir));
    EditDelay->setText(QString::number(Vantrel->BarPrefs.TimerDelay));
    SetTrackPosition(Vantrel->BarPrefs.TimerDelay);
    CheckAot->setChecked(Vantrel->BarPrefs.Aot == 1);
    CheckNoMove->setChecked(Vantrel->BarPrefs.NoMove == 1);
    CheckFixPos->setChecked(Vantrel->BarPrefs.FixPos == 1);
    Checkbartip->setChecked(Vantrel->BarPrefs.BarTip == 1);
    // A stored number that names no edge leaves the edge buttons as they are.
    for (const auto& [edge, radio] : EdgeButtons())
        if (Vantrel->BarPrefs.BarPos == int32_t(edge)) radio->setChecked(true);
    RefreshRadios();
}

std::array<std::pair<BarEdge, QRadioButton*>, 4> TDPrefs::EdgeButtons() const {
    return {{{BarEdge::Top, RadioTop},
             {BarEdge::Right, RadioRight},
             {BarEdge::Bottom, RadioBottom},
             {BarEdge::Left, RadioLeft}}};
}

void TDPrefs::RefreshRadios() {
    const bool fixed = CheckFixPos->isChecked();
    for (QRadioButton* radio : {RadioTop, RadioLeft, RadioRight, RadioBottom})
        radio->setEnabled(fixed);
}

// ---------------------------------------------------------------------------------------------
// OK, Apply, the scheme list

QListWidgetItem* TDPrefs::SelectedScheme() const {
    QListWidgetItem* current = SchemeList->currentItem();
    if (current && current->isSelected()) return current;
    const QList<QListWidgetItem*> selected = SchemeList->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void TDPrefs::OKClick() {
    if (!SelectedScheme() && SchemeList->count() > 0) {
        SchemeList->setCurrentRow(0);
        SchemeList->item(0)->setSelected(true);
    }
    const int32_t delay = StrToInt(EditDelay->text());
    Vantrel->BarPrefs.TimerDelay = delay <= 0 ? 1 : delay > 65535 ? 65535 : delay;
    Vantrel->BarPrefs.Aot = CheckAot->isChecked() ? 1 : 0;
    Vantrel->SetStayOnTop(Vantrel->BarPrefs.Aot);
    Vantrel->BarPrefs.NoMove = CheckNoMove->isChecked() ? 1 : 0;
    Vantrel->BarPrefs.FixPos = CheckFixPos->isChecked() ? 1 : 0;
    Vantrel->BarPrefs.BarTip = Checkbartip->isChecked() ? 1 : 0;
    // The edge is stored whether or not the buttons are usable.
    for (const auto& [edge, radio] : EdgeButtons())
        if (radio->isChecked()) {
            Vantrel->BarPrefs.BarPos = int32_t(edge);
            break;
        }
    Vantrel->ShowHint = Checkbartip->isChecked();
}

void TDPrefs::Button1Click() {
    OKClick();
}

void TDPrefs::Button4Click() {
    OKClick();
    Vantrel->BarPrefs.Dir = EditDir->text();
    if (const QListWidgetItem* item = SelectedScheme()) Vantrel->BarPrefs.Scheme = item->text();
    // Apply reloads the bar alone; the details window keeps its look until OK.
    Vantrel->ApplySettings(TVantrel::SettingsCommand::Apply);
}

void TDPrefs::SchemeListDblClick() {
    // A double click normally lands on the entry its first click selected; with none selected
    // there is nothing to put into effect.
    const QListWidgetItem* item = SelectedScheme();
    if (!item) return;
    Vantrel->BarPrefs.Scheme = item->text();
    Vantrel->ApplySettings(TVantrel::SettingsCommand::Scheme);
}

// ---------------------------------------------------------------------------------------------
// The delay field and the track bar

void TDPrefs::SetTrackPosition(int32_t Position) {
    const QSignalBlocker quiet(TrackBar1);
    TrackBar1->setValue(Position);
}

void TDPrefs::TrackBar1Change() {
    EditDelay->setText(QString::number(TrackBar1->value()));
}

void TDPrefs::EditDelayKeyDown(int Key, Qt::KeyboardModifiers) {
    if (Key == VK_RETURN) SetTrackPosition(StrToInt(EditDelay->text()));
}

void TDPrefs::EditDelayExit() {
    SetTrackPosition(StrToInt(EditDelay->text()));
}

// ---------------------------------------------------------------------------------------------
// The folder field and the folder picker

void TDPrefs::EditDirKeyDown(int Key, Qt::KeyboardModifiers) {
    if (Key == VK_RETURN) RefreshList(EditDir->text());
    GroupBox3->hide();
}

void TDPrefs::Button2Click() {
    GroupBox3->setVisible(GroupBox3->isHidden());
}

void TDPrefs::Button5Click() {
    SchemeList->clear();
    // The folder in lower case, unless that names another folder (one whose name differs only
    // in case): then the folder as the file system spells it.
    QString folder = AsciiLower(dirtree1->Directory());
    const QString onDisk = dirtree1->FolderOnDisk();
    if (!onDisk.isEmpty() && platform::NativePath(folder) != onDisk) folder = onDisk;
    EditDir->setText(folder);
    RefreshList(EditDir->text());
    GroupBox3->hide();
}

void TDPrefs::Button6Click() {
    GroupBox3->hide();
}

void TDPrefs::CheckFixPosClick() {
    RefreshRadios();
}
