// The bar window: start-up, the pop-up menu and its commands, the sampler and the drawing.
#include "app/Unit1.h"

#include "app/Modal.h"
#include "components/WTaskBar.h"
#include "controls/Accessible.h"
#include "controls/Bitmap.h"
#include "controls/Form.h"
#include "controls/Image.h"
#include "controls/ResourceIcon.h"
#include "controls/Shape.h"
#include "core/Figures.h"
#include "core/Helpers.h"
#include "core/Placement.h"
#include "core/VError.h"
#include "platform/Display.h"
#include "platform/ErrorReport.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Registry.h"
#include "platform/Screen.h"
#include "platform/WindowSystem.h"
#include "windows/Unit2.h"
#include "windows/Unit3.h"
#include "windows/Unit4.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

// Windows raises shorter intervals to this minimum; a 1 ms delay must not spin the program.
constexpr int MinimumTimerInterval = 10;

TImage* MakeImage(QWidget* parent, int left, int top, int width, int height) {
    auto* image = new TImage(parent);
    image->setGeometry(left, top, width, height);
    return image;
}

// The load as a screen reader reads it: per cent of a whole.
int AccessibleLoad(int32_t loadPercent) {
    return std::clamp<int32_t>(loadPercent, 0, 100);
}

TImage* MakeHolder(QWidget* parent, int left, int top, const char* resource) {
    TImage* image = MakeImage(parent, left, top, 10, 10);
    image->SetPicture(BuiltInPicture(QString::fromLatin1(resource)));
    image->hide();
    return image;
}

} // namespace

TVantrel::TVantrel() : TForm(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    Vantrel = this;
    SetUpForm(this, QSize(177, 21), palette().color(QPalette::Button));
    // A meter is seldom the active window; its hint shows all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    // Window-manager rules can tell the strip from the program's other windows by this.
    setWindowRole(QStringLiteral("bar"));
    platform::SetMainWindow(this);
    Place(QPoint(195, 109));
    // A bar left on no monitor comes into sight, and goes back to its place when its monitor
    // does; once Qt has finished telling every window of the change.
    platform::OnScreensChanged(this,
                               [this] { QTimer::singleShot(0, this, [this] { ShowInSight(); }); });

    BuildControls();
    BuildMenu();

    WinTaskbar1 = new TWinTaskbar(this);
    WinTaskbar1->SetHint(QStringLiteral("Vantrel"));
    WinTaskbar1->PopUpMenu = PopupMenu1;
    // The icon goes into the notification area once the bar is up: reaching the tray (and the
    // session bus) takes longer than everything else at start-up, and the bar comes first.
    QTimer::singleShot(0, this, [this] {
        WinTaskbar1->SetIcon(
            ResourceIcon(QStringLiteral(":/art/vantrel-%1.png"), {16, 22, 24, 32, 48}));
        WinTaskbar1->SetShowIcon(true);
    });

    SuperTimer1 = new QTimer(this);
    SuperTimer1->setTimerType(Qt::CoarseTimer);
    SuperTimer1->setInterval(1500);
    connect(SuperTimer1, &QTimer::timeout, this,
            [this] { platform::Guarded([this] { SuperTimer1Timer(); }); });

    platform::Guarded([this] { FormCreate(); });
}

TVantrel::~TVantrel() {
    // The icon leaves the notification area with the bar.
    delete WinTaskbar1;
    WinTaskbar1 = nullptr;
    if (Vantrel == this) Vantrel = nullptr;
}

void TVantrel::BuildControls() {
    IBack = MakeImage(this, 0, 0, 177, 21);
    Ibar = MakeImage(this, 16, 4, 30, 13);
    Ibbar = MakeImage(this, 16, 4, 13, 13);
    Ibbar->SetAutoSize(true);
    Iebar = MakeImage(this, 60, 4, 13, 13);
    Iebar->SetAutoSize(true);
    ICache = MakeImage(this, 159, 4, 3, 13);
    ICache->SetAutoSize(true);
    ICache->SetTransparent(true);
    Shape1 = new TShape(this);
    Shape1->setGeometry(0, -1, 177, 21);
    Shape1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { Shape1MouseDown(b, x, y); };
    Shape1->OnMouseMove = [this](int x, int y) { Shape1MouseMove(x, y); };
    Shape1->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { Shape1MouseUp(b, x, y); };
    // The strip is what the keyboard and a screen reader reach: a progress bar of the load in
    // per cent (a full memory reads 100), described by the bar's tooltip text.
    Shape1->setFocusPolicy(Qt::StrongFocus);
    Shape1->Accessible.Role = QAccessible::ProgressBar;
    Shape1->Accessible.Name = QStringLiteral("Memory load");
    Shape1->Accessible.Value = [this] { return AccessibleLoad(MemFig.LoadPercent); };
    Shape1->Accessible.Description = [this] { return Hint; };

    res_back = MakeHolder(this, 1, 24, ":/scheme/back.bmp");
    res_bar = MakeHolder(this, 13, 24, ":/scheme/bar.bmp");
    res_bbar = MakeHolder(this, 26, 25, ":/scheme/bbar.bmp");
    res_cache = MakeHolder(this, 42, 25, ":/scheme/cache.bmp");
    res_ebar = MakeHolder(this, 55, 26, ":/scheme/ebar.bmp");
}

void TVantrel::BuildMenu() {
    PopupMenu1 = new QMenu(this);
    auto command = [this](const QString& caption, const QKeySequence& shortcut,
                          void (TVantrel::*handler)()) {
        QAction* action = PopupMenu1->addAction(caption);
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action); // the shortcuts act while the bar is the active window
        }
        if (handler)
            connect(action, &QAction::triggered, this, [this, handler] {
                platform::Guarded([this, handler] { (this->*handler)(); });
            });
        return action;
    };
    About1 = command(QStringLiteral("&About..."), {}, &TVantrel::About1Click);
    PopupMenu1->addSeparator();
    ShowDetails1 = command(QStringLiteral("&Show Details"), QKeySequence(Qt::CTRL | Qt::Key_I),
                           &TVantrel::ShowDetails1Click);
    PopupMenu1->addSeparator();
    Prefs1 = command(QStringLiteral("Preferences..."), QKeySequence(Qt::CTRL | Qt::Key_P),
                     &TVantrel::Prefs1Click);
    Quit1 =
        command(QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &TVantrel::Quit1Click);
    PopupMenu1->addSeparator();
    Cancel1 = command(QStringLiteral("&Cancel"), {}, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Creation, activation, closing

void TVantrel::FormCreate() {
    readprefs();
    Dragging = false;
    DetailsShown = false;
    // The timer is switched on whatever the delay: an interval of 0 only keeps it from firing
    // until the preferences give it one.
    TimerEnabled = true;
    ApplySettings(SettingsCommand::StartUp);
}

void TVantrel::ApplySettings(SettingsCommand command) {
    const bool startUp = command == SettingsCommand::StartUp;
    const bool dialogButton = command == SettingsCommand::Apply || command == SettingsCommand::Ok;
    // Apply and OK set the interval first; a scheme that fails to load ends them there.
    if (dialogButton) SetTimerInterval(BarPrefs.TimerDelay);
    if (!startUp) {
        LoadScheme();
    } else {
        try {
            LoadScheme();
        } catch (const VantrelError& e) {
            // One bad file in the scheme must not leave the meter frozen for the whole run:
            // report it, give the bar the built-in look and finish starting.
            platform::ReportError(e.message());
            LoadPemmet();
            SetBarGeometry();
        }
        // Only now may the timer tick: not from inside the box that reports a bad scheme.
        SetTimerInterval(BarPrefs.TimerDelay);
    }
    if (command == SettingsCommand::Ok || command == SettingsCommand::Scheme) LoadDetailsScheme();
    MemFig.LastBarWidth = 0;
    Timer();
    // The bar starts where it was left; Apply and OK hold it against its edge.
    if (dialogButton) MoveToFixedEdge();
}

void TVantrel::FormActivate() {
    platform::KeepOffTaskbar(this);
}

void TVantrel::FormCloseQuery(bool& CanClose) {
    writeprefs();
    CanClose = true;
}

bool TVantrel::QueryClose() {
    // A close request that arrives while one is being answered (from inside an error box, say)
    // is not answered twice.
    if (InCloseQuery) return false;
    InCloseQuery = true;
    bool canClose = false;
    platform::Guarded([&] {
        bool allowed = true;
        FormCloseQuery(allowed);
        canClose = allowed;
    });
    InCloseQuery = false;
    return canClose;
}

void TVantrel::closeEvent(QCloseEvent* event) {
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}

void TVantrel::setVisible(bool visible) {
    if (!visible || ShownOnce) {
        TForm::setVisible(visible);
        return;
    }
    // The first showing maps the bare strip and then shows its pictures, before anything is
    // painted. Showing any child widget first brings up the accessibility bridge, whose
    // session-bus connection (a millisecond or more) would otherwise come before the map.
    ShownOnce = true;
    QList<QWidget*> strip;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden()) strip.append(child);
    for (QWidget* child : strip)
        child->setVisible(false);
    TForm::setVisible(true);
    for (QWidget* child : strip)
        child->setVisible(true);
}

bool TVantrel::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Show:
        // Showing after a change of window flags may bring a native window no event told of:
        // marked before it is mapped, and once more when the show is done.
        MarkNativeWindow();
        QTimer::singleShot(0, this, [this] { MarkNativeWindow(); });
        // A window manager may put a newly mapped window elsewhere than it was asked to (a tiling
        // one places a floating window as if it had its usual frame). The bar asks once more for
        // the user's place, after the manager has placed it.
        AwaitingPlacement = true;
        QTimer::singleShot(1000, this, [this] { AwaitingPlacement = false; });
        break;
    case QEvent::Move:
        if (AwaitingPlacement && isVisible() && pos() != Shown) {
            AwaitingPlacement = false;
            move(Shown);
        }
        break;
    case QEvent::WindowActivate:
        platform::Guarded([this] { FormActivate(); });
        break;
    case QEvent::ToolTip:
        if (ShowHint && !Hint.isEmpty())
            QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), Hint, this, QRect(), 2500);
        else
            QToolTip::hideText();
        return true;
    default:
        break;
    }
    return TForm::event(e);
}

void TVantrel::NativeWindowMade() {
    // At creation, and when stay-on-top re-creates it. The old one's end has no window to mark.
    if (internalWinId()) MarkNativeWindow();
}

void TVantrel::MarkNativeWindow() {
    platform::RenewNativeWindow(this);
    platform::KeepOffTaskbar(this);
    platform::KeepOutOfSwitchers(this);
    platform::ShowOnAllDesktops(this);
}

void TVantrel::Place(QPoint position) {
    Placed = position;
    ShowInSight();
}

void TVantrel::ShowInSight() {
    Shown = InSight(QRect(Placed, size()), platform::Screens());
    move(Shown);
}

void TVantrel::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LocaleChange) platform::ReloadLocale();
    QWidget::changeEvent(e);
}

void TVantrel::mouseReleaseEvent(QMouseEvent* event) {
    // A right click anywhere on the strip opens the menu (the shape passes its right releases on).
    if (event->button() == Qt::RightButton) {
        PopupAt(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TVantrel::keyPressEvent(QKeyEvent* event) {
    // The menu key and Shift+F10 open the menu at the bar, as a right click does at the mouse.
    const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        event->accept();
        PopupAt(mapToGlobal(QPoint(0, height())));
        return;
    }
    QWidget::keyPressEvent(event);
}

void TVantrel::PopupAt(const QPoint& screenPos) {
    PopupMenu1->exec(screenPos);
}

// ---------------------------------------------------------------------------------------------
// Menu commands

void TVantrel::SuperTimer1Timer() {
    Timer();
}

void TVantrel::About1Click() {
    platform::KeepAbove(AboutBox(), this);
    ShowModal(AboutBox());
    ReleaseAfterWindow();
}

void TVantrel::ShowDetails1Click() {
    TFDetails* details = DetailsWindow();
    DetailsShown = true;
    details->move(DetailsPlace(QRect(Shown, size()), details->size(), platform::Screens()));
    const MemoryTexts texts =
        MakeMemoryTexts(MemFig.MemStatus, MemFig.LoadPercent, platform::ThousandSeparator());
    details->SetFigures(texts);
    // It belongs with the bar: above it and on every workspace.
    platform::KeepAbove(details, this);
    platform::ShowOnAllDesktops(details);
    details->show();
}

void TVantrel::Prefs1Click() {
    platform::KeepAbove(PrefsDialog(), this);
    const int result = ShowModal(PrefsDialog());
    ReleaseAfterWindow();
    if (result != QDialog::Accepted) return;
    BarPrefs.Dir = DPrefs->EditDir->text();
    if (const QListWidgetItem* item = DPrefs->SelectedScheme()) BarPrefs.Scheme = item->text();
    ApplySettings(SettingsCommand::Ok);
}

void TVantrel::Quit1Click() {
    close();
}

void TVantrel::SetTimerInterval(int32_t delay) {
    // An interval of 0 (or one that Windows would read as an unsigned value of weeks) keeps
    // the timer from firing; a switched-on timer runs again as soon as it gets an interval.
    if (delay <= 0) {
        SuperTimer1->stop();
        SuperTimer1->setInterval(0);
        return;
    }
    SuperTimer1->setInterval(std::max<int32_t>(delay, MinimumTimerInterval));
    if (TimerEnabled) SuperTimer1->start();
}

// ---------------------------------------------------------------------------------------------
// The sampler

void TVantrel::Timer() {
    MemFig.MemStatus = platform::Memory().Query();
    MemFig.LoadPercent = LoadPercentOf(MemFig.MemStatus);
    MemFig.BarWidth = BarWidthOf(MemFig.LoadPercent, MemFig.BarScale);
    if (const int load = AccessibleLoad(MemFig.LoadPercent); load != AnnouncedLoad) {
        AnnouncedLoad = load;
        AnnounceValueChange(Shape1, load);
    }
    if (MemFig.BarWidth == MemFig.LastBarWidth) return;
    if (MemFig.BarWidth < MemFig.LastBarWidth || MemFig.LastBarWidth == 0) paintbackground();
    MemFig.LastBarWidth = MemFig.BarWidth;
    if (MemFig.BarWidth > MemFig.FullBarWidth) MemFig.BarWidth = MemFig.FullBarWidth;
    Ibar->SetWidth(MemFig.BarWidth);
    Iebar->SetLeft(MemFig.BarWidth + 16 + Ibbar->width());

    const MemoryTexts texts =
        MakeMemoryTexts(MemFig.MemStatus, MemFig.LoadPercent, platform::ThousandSeparator());
    WinTaskbar1->SetHint(texts.IconHint);
    Hint = texts.BarHint;
    if (DetailsShown && FDetails) FDetails->SetFigures(texts);
}

void TVantrel::paintbackground() {
    IBack->repaint();
}

// ---------------------------------------------------------------------------------------------
// Schemes

void TVantrel::LoadPemmet() {
    IBack->SetPicture(res_back->Picture());
    Ibar->SetAutoSize(true);
    Ibbar->SetAutoSize(true);
    Iebar->SetAutoSize(true);
    ICache->SetAutoSize(true);
    Ibar->SetPicture(res_bar->Picture());
    Ibar->SetAutoSize(false);
    Ibbar->SetPicture(res_bbar->Picture());
    Iebar->SetPicture(res_ebar->Picture());
    ICache->SetPicture(res_cache->Picture());
}

void TVantrel::LoadScheme() {
    const QString base = BarPrefs.Dir + BarPrefs.Scheme + u'\\';
    const bool haveBack = platform::FileExists(base + QStringLiteral("back.bmp"));
    const bool haveBar = platform::FileExists(base + QStringLiteral("bar.bmp"));
    Ibar->SetAutoSize(true);
    if (!haveBack || !haveBar || BarPrefs.Scheme == QStringLiteral("<default>")) {
        LoadPemmet();
    } else {
        IBack->LoadFromFile(base + QStringLiteral("back.bmp"));
        Ibar->LoadFromFile(base + QStringLiteral("bar.bmp"));
        const struct {
            TImage* image;
            const char* file;
        } optional[] = {{ICache, "cache.bmp"}, {Ibbar, "bbar.bmp"}, {Iebar, "ebar.bmp"}};
        for (const auto& part : optional) {
            const QString path = base + QLatin1String(part.file);
            if (platform::FileExists(path)) {
                part.image->SetAutoSize(true);
                part.image->LoadFromFile(path);
            } else {
                part.image->SetAutoSize(false);
                part.image->SetWidth(0);
            }
        }
    }
    SetBarGeometry();
}

void TVantrel::SetBarGeometry() {
    MemFig.FullBarWidth = Ibar->width();
    // From now on the sampler sets the width.
    Ibar->SetAutoSize(false);
    // The band starts right after the start cap, which stays at left 16.
    Ibar->SetLeft(Ibbar->width() + 16);
    MemFig.BarScale = Ibar->width() / 100.0;
    // The band is as wide as its picture now; the next sample draws it whatever the load, also
    // when the command that loaded the scheme ends before its own drawing.
    MemFig.LastBarWidth = 0;
}

// ---------------------------------------------------------------------------------------------
// Settings

namespace {

QString PrefsKey() {
    return QStringLiteral("Software\\Quillmoor\\Vantrel");
}

// One setting read. A value stored with a type other than text is reported and its default taken,
// so that the settings after it are still read and none of them is later overwritten with zero.
QString ReadString(platform::OpenRegKey& key, const QString& name, const QString& def) {
    try {
        return key.ReadString(name, def);
    } catch (const VantrelError& e) {
        platform::ReportError(e.message());
        return def;
    }
}

int32_t ReadInteger(platform::OpenRegKey& key, const QString& name, int32_t def) {
    try {
        return StrToIntDef(key.ReadText(name).value_or(QString()), def);
    } catch (const VantrelError& e) {
        platform::ReportError(e.message());
        return def;
    }
}

} // namespace

void TVantrel::readprefs() {
    // The values come from one reading of the file, so they belong to one saved set.
    platform::OpenRegKey key(PrefsKey());
    const QPoint firstRun = FirstRunPlace(platform::PrimaryScreen(), size());
    SetTop(ReadInteger(key, QStringLiteral("Top"), firstRun.y()));
    SetLeft(ReadInteger(key, QStringLiteral("Left"), firstRun.x()));
    BarPrefs.Dir = ReadString(key, QStringLiteral("Dir"), QString());
    BarPrefs.Scheme = ReadString(key, QStringLiteral("Scheme"), QStringLiteral("<none>"));
    BarPrefs.TimerDelay = ReadInteger(key, QStringLiteral("TimerDelay"), 1500);
    BarPrefs.Aot = ReadInteger(key, QStringLiteral("Aot"), 0);
    SetStayOnTop(BarPrefs.Aot);
    BarPrefs.NoMove = ReadInteger(key, QStringLiteral("NoMove"), 0);
    BarPrefs.BarPos = ReadInteger(key, QStringLiteral("BarPos"), int32_t(BarEdge::Top));
    BarPrefs.FixPos = ReadInteger(key, QStringLiteral("FixPos"), 0);
    // Read as "Bartip", written as "BarTip": names match without regard to case.
    BarPrefs.BarTip = ReadInteger(key, QStringLiteral("Bartip"), 0);
    ShowHint = BarPrefs.BarTip == 1;
}

void TVantrel::writeprefs() {
    // The ten values are set on the open key and replace the file together when it is closed:
    // one flush to disk instead of ten, and of two copies closing at once each leaves a whole
    // set, never a mix of both. A failure leaves the file as it was.
    platform::OpenRegKey key(PrefsKey());
    key.WriteInteger(QStringLiteral("Top"), Top());
    key.WriteInteger(QStringLiteral("Left"), Left());
    key.WriteInteger(QStringLiteral("Aot"), BarPrefs.Aot);
    key.WriteInteger(QStringLiteral("TimerDelay"), BarPrefs.TimerDelay);
    key.WriteInteger(QStringLiteral("NoMove"), BarPrefs.NoMove);
    key.WriteInteger(QStringLiteral("BarPos"), BarPrefs.BarPos);
    key.WriteInteger(QStringLiteral("FixPos"), BarPrefs.FixPos);
    key.WriteString(QStringLiteral("Scheme"), BarPrefs.Scheme);
    key.WriteString(QStringLiteral("Dir"), BarPrefs.Dir);
    key.WriteInteger(QStringLiteral("BarTip"), BarPrefs.BarTip);
    key.Close();
}

// ---------------------------------------------------------------------------------------------
// Dragging, edges, stay-on-top

void TVantrel::Shape1MouseDown(Qt::MouseButton, int X, int Y) {
    if (platform::CompositorPlacesWindows()) {
        // The compositor moves the bar its own way; where it ends up is not the program's to
        // know, and the place kept for X11 stays as it is.
        if (BarPrefs.NoMove == 0 && windowHandle()) windowHandle()->startSystemMove();
        return;
    }
    Dragging = true;
    PressX = X;
    PressY = Y;
}

void TVantrel::Shape1MouseMove(int X, int Y) {
    if (!Dragging || BarPrefs.NoMove != 0) return;
    const int dX = X - PressX;
    const int dY = Y - PressY;
    // A bar shown away from its place (on no monitor) is dragged from where it is seen.
    QPoint moved(Shown.x() + dX, Shown.y() + dY);
    if (BarPrefs.FixPos == 1) {
        // Held against an edge, the bar slides along it only.
        const std::optional<QPoint> onEdge = OnFixedEdge(moved);
        if (!onEdge) return;
        moved = *onEdge;
    } else {
        moved = platform::KeepPressedPointUnder(this, moved,
                                                Shape1->mapTo(this, QPoint(PressX, PressY)));
    }
    // Two moves, the left first, as a window manager sees them. A step goes where the pointer
    // takes it, unclamped.
    DragTo(QPoint(moved.x(), Shown.y()));
    DragTo(moved);
}

void TVantrel::DragTo(QPoint position) {
    Placed = Shown = position;
    move(position);
}

void TVantrel::Shape1MouseUp(Qt::MouseButton, int, int) {
    Dragging = false;
}

std::optional<QPoint> TVantrel::OnFixedEdge(QPoint position) const {
    return OnEdge(BarPrefs.BarPos, position, size(), platform::PrimaryScreen());
}

void TVantrel::MoveToFixedEdge() {
    if (BarPrefs.FixPos != 1 || platform::CompositorPlacesWindows()) return;
    const std::optional<QPoint> onEdge = OnFixedEdge(Placed);
    if (!onEdge) return;
    // Only the edge's own coordinate is set.
    const auto edge = static_cast<BarEdge>(BarPrefs.BarPos);
    if (edge == BarEdge::Top || edge == BarEdge::Bottom)
        SetTop(onEdge->y());
    else
        SetLeft(onEdge->x());
}

bool TVantrel::StaysOnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TVantrel::SetStayOnTop(int32_t aot) {
    const bool on = aot == 1;
    if (on == StaysOnTop()) return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    move(Shown);
    if (wasVisible) show();
}
