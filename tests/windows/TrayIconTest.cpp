// The notification-area icon: the requests it sends, its callback messages, the click logic, and
// the shell behind it.
#include "FakeDesktop.h"
#include "TestSupport.h"
#include "components/WTaskBar.h"
#include "core/VError.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

using namespace platform;

namespace {

QIcon Picture(Qt::GlobalColor colour = Qt::blue) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

// One request as the tests compare it.
struct Op {
    uint32_t Message;
    bool HasIcon;
    QString Tip;
    bool operator==(const Op&) const = default;
};

void PrintTo(const Op& op, std::ostream* os) {
    static const char* names[] = {"NIM_ADD", "NIM_MODIFY", "NIM_DELETE"};
    *os << (op.Message < 3 ? names[op.Message] : "?") << (op.HasIcon ? " icon " : " none ") << '"'
        << op.Tip.toStdString() << '"';
}

// Records the messages posted to an object.
class MessageSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        TMessage message;
        if (PostedMessage(event, message)) Messages.push_back(message.Msg);
        return false;
    }
    std::vector<uint32_t> Messages;
};

class TrayIconTest : public testing::Test {
protected:
    void SetUp() override {
        vtest::Shell().Calls.clear();
        Owner = std::make_unique<QWidget>();
        Owner->setObjectName(QStringLiteral("owner"));
        Owner->installEventFilter(&OwnerMessages);
        Menu = new QMenu(Owner.get());
        Menu->setObjectName(QStringLiteral("menu"));
        Bar = new TWinTaskbar(Owner.get());
    }
    void TearDown() override { Owner.reset(); }

    // The requests sent so far, after checking the parts that never change.
    std::vector<Op> Ops() {
        std::vector<Op> ops;
        for (const auto& call : vtest::Shell().Calls) {
            const NOTIFYICONDATAA& d = call.Data;
            EXPECT_EQ(d.cbSize, 88u);
            EXPECT_EQ(d.hWnd, Bar->MessageWindow);
            EXPECT_EQ(d.uID, 0u);
            EXPECT_EQ(d.uFlags, 7u);
            EXPECT_EQ(d.uCallbackMessage, 1147u);
            EXPECT_TRUE(d.hIcon == nullptr || d.hIcon == &Bar->Icon);
            ops.push_back({call.Message, d.hIcon != nullptr, TipText(d)});
        }
        vtest::Shell().Calls.clear();
        return ops;
    }

    // The bar's own hook-up: hint, picture, menu, then the icon switched on.
    void ShowAsTheBarDoes() {
        Bar->SetHint(QStringLiteral("Vantrel"));
        Bar->SetIcon(Picture());
        Bar->PopUpMenu = Menu;
        Bar->SetShowIcon(true);
        vtest::Shell().Calls.clear();
    }

    // Mouse messages as the shell posts them, handled in order.
    void Mouse(std::initializer_list<uint32_t> messages) {
        for (uint32_t m : messages)
            PostMessage(Bar->MessageWindow, TrayCallbackMessage, 0, m);
        QCoreApplication::sendPostedEvents();
    }

    void LogHandlers() {
        Bar->OnClick = [this](QObject* sender) {
            EXPECT_EQ(sender, Bar);
            Desktop.Log << QStringLiteral("click");
        };
        Bar->OnDblClick = [this](QObject* sender) {
            EXPECT_EQ(sender, Bar);
            Desktop.Log << QStringLiteral("dblclick");
        };
    }

    vtest::FakeDesktop Desktop;
    MessageSpy OwnerMessages;
    std::unique_ptr<QWidget> Owner;
    QMenu* Menu = nullptr;
    TWinTaskbar* Bar = nullptr;
};

TEST_F(TrayIconTest, ConstructionFillsTheRequestAndAddsNothing) {
    EXPECT_TRUE(vtest::Shell().Calls.empty());
    const NOTIFYICONDATAA& d = Bar->IconData;
    EXPECT_EQ(d.cbSize, 88u);
    EXPECT_NE(d.hWnd, nullptr);
    EXPECT_EQ(d.hWnd, Bar->MessageWindow);
    EXPECT_EQ(d.uID, 0u);
    EXPECT_EQ(d.uFlags, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    EXPECT_EQ(d.uCallbackMessage, 1147u);
    EXPECT_EQ(d.hIcon, nullptr);
    EXPECT_EQ(d.szTip[0], '\0');
    EXPECT_TRUE(Bar->Hint.isEmpty());
    EXPECT_TRUE(Bar->Icon.isNull());
    EXPECT_FALSE(Bar->ShowIcon);
    EXPECT_EQ(Bar->PopUpMenu, nullptr);
    EXPECT_FALSE(Bar->SkipNextClick);
    EXPECT_EQ(Bar->OwnerWindow, Owner.get());
    EXPECT_NE(Owner->internalWinId(), 0u); // the owner's native window exists
}

TEST_F(TrayIconTest, OnlyATopLevelWindowCanOwnIt) {
    QObject plain;
    QWidget* child = new QWidget(Owner.get());
    for (QObject* owner : {&plain, static_cast<QObject*>(child), static_cast<QObject*>(nullptr)}) {
        try {
            TWinTaskbar bar(owner);
            ADD_FAILURE() << "accepted an owner that is no window";
        } catch (const VantrelError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid class typecast"));
        }
    }
}

TEST_F(TrayIconTest, RequestsFollowTheStateExactly) {
    const QString load =
        QStringLiteral("Vantrel - [Load: 167,772 Kb, 64%]  [Free: 94,372 Kb, 36%]");
    const QIcon other = Picture(Qt::red);
    const struct {
        const char* what;
        std::function<void()> step;
        std::vector<Op> expected;
    } steps[] = {
        // The bar's hook-up: the hint's refresh asks to remove an icon that is not there.
        {"hint first", [&] { Bar->SetHint("Vantrel"); }, {{NIM_DELETE, false, "Vantrel"}}},
        {"picture while off", [&] { Bar->SetIcon(Picture()); }, {{NIM_DELETE, false, "Vantrel"}}},
        {"menu", [&] { Bar->PopUpMenu = Menu; }, {}},
        {"switched on", [&] { Bar->SetShowIcon(true); }, {{NIM_ADD, true, "Vantrel"}}},
        {"new hint", [&] { Bar->SetHint(load); }, {{NIM_MODIFY, true, load}}},
        {"same hint", [&] { Bar->SetHint(load); }, {}},
        {"on again", [&] { Bar->SetShowIcon(true); }, {{NIM_MODIFY, true, load}}},
        {"new picture", [&] { Bar->SetIcon(other); }, {{NIM_MODIFY, true, load}}},
        {"switched off", [&] { Bar->SetShowIcon(false); }, {{NIM_DELETE, false, load}}},
        {"off again", [&] { Bar->SetShowIcon(false); }, {{NIM_DELETE, false, load}}},
        {"hint while off", [&] { Bar->SetHint("later"); }, {{NIM_DELETE, false, "later"}}},
        {"on with that hint", [&] { Bar->SetShowIcon(true); }, {{NIM_ADD, true, "later"}}},
        {"empty picture", [&] { Bar->SetIcon(QIcon()); }, {{NIM_DELETE, false, "later"}}},
        {"hint while empty", [&] { Bar->SetHint("x"); }, {{NIM_DELETE, false, "x"}}},
        // A picture given while the icon is switched on but not in the area adds it.
        {"picture again", [&] { Bar->SetIcon(Picture()); }, {{NIM_ADD, true, "x"}}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.step();
        EXPECT_EQ(Ops(), s.expected);
    }
    EXPECT_EQ(Bar->Hint, QStringLiteral("x"));
}

TEST_F(TrayIconTest, SwitchingOnWithoutAPictureRemoves) {
    Bar->SetHint(QStringLiteral("Vantrel"));
    Ops();
    Bar->SetShowIcon(true);
    EXPECT_EQ(Ops(), (std::vector<Op>{{NIM_DELETE, false, "Vantrel"}}));
    EXPECT_EQ(Bar->IconData.hIcon, nullptr);
}

TEST(TipField, KeepsSixtyThreeCharactersCutOnACharacterBoundary) {
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // four bytes, two UTF-16 units
    // A French tip: the thousands separator is a narrow no-break space, three bytes in UTF-8.
    const QString french = QString::fromUtf8("Vantrel - [Load: 5\u202F120\u202F000 Kb, 62%]  "
                                             "[Free: 2\u202F880\u202F000 Kb, 38%]");
    const struct {
        QString text;
        QString expected;
    } cases[] = {
        {QString(200, u'x'), QString(63, u'x')},
        {QString(63, u'y'), QString(63, u'y')},
        {QString(64, u'z'), QString(63, u'z')},
        {QString(40, QChar(0xE9)), QString(40, QChar(0xE9))},
        {QString(70, QChar(0xE9)), QString(63, QChar(0xE9))},
        {u'a' + smile.repeated(20), u'a' + smile.repeated(20)},
        {u'a' + smile.repeated(70), u'a' + smile.repeated(62)},
        {QString(62, u'b') + smile + u'c', QString(62, u'b') + smile},
        {french, french}, // 62 characters, 70 bytes
        {french + u'!' + u'?', french + u'!'},
        {QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        NOTIFYICONDATAA data;
        std::memset(data.szTip, 'Q', sizeof data.szTip);
        SetTip(data, c.text);
        EXPECT_EQ(TipText(data), c.expected);
        const size_t used = std::strlen(data.szTip);
        EXPECT_LT(used, sizeof data.szTip);
        for (size_t i = used; i < sizeof data.szTip; ++i)
            EXPECT_EQ(data.szTip[i], '\0') << i;
    }
}

TEST_F(TrayIconTest, ALongHintKeepsItsTextAndFitsTheTip) {
    ShowAsTheBarDoes();
    const QString hint = QString(200, u'h');
    Bar->SetHint(hint);
    EXPECT_EQ(Bar->Hint, hint);
    EXPECT_EQ(Ops(), (std::vector<Op>{{NIM_MODIFY, true, QString(63, u'h')}}));
}

TEST_F(TrayIconTest, CallbackMessagesReachTheMouseOperations) {
    // The base class, so that every operation reports through its event.
    TCustomWinTaskbar icon(Owner.get());
    QStringList got;
    icon.OnMouseDown = [&](QObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        EXPECT_EQ(s, &icon);
        EXPECT_EQ(shift, TShiftState());
        got << QStringLiteral("down %1 %2,%3").arg(b).arg(x).arg(y);
    };
    icon.OnMouseUp = [&](QObject* s, TMouseButton b, TShiftState shift, int x, int y) {
        EXPECT_EQ(s, &icon);
        EXPECT_EQ(shift, TShiftState());
        got << QStringLiteral("up %1 %2,%3").arg(b).arg(x).arg(y);
    };
    icon.OnDblClick = [&](QObject* s) {
        EXPECT_EQ(s, &icon);
        got << QStringLiteral("dblclick");
    };
    Desktop.Cursor = QPoint(37, 42);
    const struct {
        uint32_t msg;
        intptr_t mouse;
        QString expected;
    } cases[] = {
        {1147, 512, ""}, // WM_MOUSEMOVE: the shell never posts it, the component ignores it
        {1147, 513, "down 0 37,42"},
        {1147, 514, "up 0 37,42"},
        {1147, 515, "dblclick"},
        {1147, 516, "down 1 37,42"},
        {1147, 517, "up 1 37,42"},
        {1147, 518, "dblclick"},
        {1147, 519, "down 2 37,42"},
        {1147, 520, "up 2 37,42"},
        {1147, 521, "dblclick"},
        {1147, 511, ""},
        {1147, 522, ""},
        {1147, 0, ""},
        {1024, 516, ""},
        {1146, 513, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(c.msg).arg(c.mouse).toStdString());
        got.clear();
        const int reads = Desktop.CursorReads;
        PostMessage(icon.MessageWindow, c.msg, 0, c.mouse);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(got.join(u'|'), c.expected);
        EXPECT_EQ(Desktop.CursorReads, reads + 1); // the pointer is read for every message
    }
}

TEST_F(TrayIconTest, RightPressShowsTheMenuAtThePointerWhenHandled) {
    ShowAsTheBarDoes();
    Desktop.Cursor = QPoint(5, 6);
    PostMessage(Bar->MessageWindow, TrayCallbackMessage, 0, WM_RBUTTONDOWN);
    PostMessage(Bar->MessageWindow, TrayCallbackMessage, 0, WM_RBUTTONUP);
    Desktop.Cursor = QPoint(300, 400); // where the pointer is when the messages are handled
    size_t postedBeforeMenuClosed = 99;
    Desktop.WhileMenuOpen = [&](QMenu*) {
        QCoreApplication::sendPostedEvents(Owner.get());
        postedBeforeMenuClosed = OwnerMessages.Messages.size();
    };
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(Desktop.Log, QStringList({"foreground owner", "menu menu at 300,400"}));
    EXPECT_EQ(postedBeforeMenuClosed, 0u);
    QCoreApplication::sendPostedEvents(Owner.get());
    EXPECT_EQ(OwnerMessages.Messages, std::vector<uint32_t>{WM_USER});
}

TEST_F(TrayIconTest, DoubleClicksSetSkipNextClick) {
    ShowAsTheBarDoes();
    LogHandlers();
    const struct {
        const char* what;
        std::initializer_list<uint32_t> messages;
        QStringList expected;
        bool skipAfter;
    } cases[] = {
        {"left double click",
         {513, 514, 515, 514},
         {"foreground owner", "click", "foreground owner", "dblclick"},
         false},
        {"right double click, then a left release",
         {518, 514},
         {"foreground owner", "dblclick"},
         false},
        {"middle double click, then a left release",
         {521, 514},
         {"foreground owner", "dblclick"},
         false},
        {"right double click alone", {518}, {"foreground owner", "dblclick"}, true},
        {"the release after it", {514}, {}, false},
        {"a click after that", {513, 514}, {"foreground owner", "click"}, false},
        {"middle and right releases do not click", {519, 520, 517}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desktop.Log.clear();
        Mouse(c.messages);
        EXPECT_EQ(Desktop.Log, c.expected);
        EXPECT_EQ(Bar->SkipNextClick, c.skipAfter);
    }
}

TEST_F(TrayIconTest, WithoutHandlersClicksDoNothingAtAll) {
    ShowAsTheBarDoes();
    Mouse({513, 514, 515, 514, 519, 520, 521, 518});
    EXPECT_TRUE(Desktop.Log.isEmpty()); // not even the owner brought forward
    EXPECT_FALSE(Bar->SkipNextClick);

    // A double click without a handler leaves the flag as it was; a left release clears it.
    Bar->SkipNextClick = true;
    Mouse({515});
    EXPECT_TRUE(Bar->SkipNextClick);
    Mouse({514});
    EXPECT_FALSE(Bar->SkipNextClick);
    EXPECT_TRUE(Desktop.Log.isEmpty());
    QCoreApplication::sendPostedEvents(Owner.get());
    EXPECT_TRUE(OwnerMessages.Messages.empty());
}

TEST_F(TrayIconTest, RemovingTheMenuClearsPopUpMenu) {
    ShowAsTheBarDoes();
    delete Menu;
    EXPECT_EQ(Bar->PopUpMenu, nullptr);
    Mouse({516, 517});
    EXPECT_TRUE(Desktop.Log.isEmpty());
    QCoreApplication::sendPostedEvents(Owner.get());
    EXPECT_TRUE(OwnerMessages.Messages.empty());
}

TEST_F(TrayIconTest, TheIconLeavesWithTheComponentAndWithItsOwner) {
    ShowAsTheBarDoes();
    QPointer<QObject> window = Bar->MessageWindow;
    delete Bar;
    Bar = nullptr;
    ASSERT_EQ(vtest::Shell().Calls.size(), 1u);
    EXPECT_EQ(vtest::Shell().Calls[0].Message, NIM_DELETE);
    EXPECT_EQ(vtest::Shell().Calls[0].Data.hIcon, nullptr);
    EXPECT_TRUE(window.isNull());

    Bar = new TWinTaskbar(Owner.get());
    ShowAsTheBarDoes();
    Owner.reset();
    ASSERT_EQ(vtest::Shell().Calls.size(), 1u);
    EXPECT_EQ(vtest::Shell().Calls[0].Message, NIM_DELETE);
}

// ---------------------------------------------------------------------------------------------
// The real shell

TEST(TrayShell, ActivationsStandForTheseMouseMessages) {
    using R = QSystemTrayIcon::ActivationReason;
    const struct {
        R reason;
        std::vector<uint32_t> expected;
    } cases[] = {
        {QSystemTrayIcon::Trigger, {513, 514}}, {QSystemTrayIcon::DoubleClick, {515, 514}},
        {QSystemTrayIcon::Context, {516, 517}}, {QSystemTrayIcon::MiddleClick, {519, 520}},
        {QSystemTrayIcon::Unknown, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MouseMessagesFor(c.reason), c.expected) << c.reason;
}

class RealShellTest : public TrayIconTest {
protected:
    const Replace<NotifyShell> RealShell;
    QSystemTrayIcon* Tray() { return Bar->MessageWindow->findChild<QSystemTrayIcon*>(); }
};

TEST_F(RealShellTest, RefusedRequestsChangeNothing) {
    MessageWindow window([](const TMessage&) {});
    const QIcon picture = Picture();
    NOTIFYICONDATAA d;
    d.cbSize = 88;
    d.hWnd = &window;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = TrayCallbackMessage;
    SetTip(d, QStringLiteral("first"));
    const struct {
        const char* what;
        uint32_t message;
        const QIcon* icon;
        const char* tip;
        bool accepted;
        bool shown;
        const char* shownTip;
    } steps[] = {
        {"change before adding", NIM_MODIFY, &picture, "a", false, false, nullptr},
        {"remove before adding", NIM_DELETE, &picture, "a", false, false, nullptr},
        {"add without a picture", NIM_ADD, nullptr, "a", false, false, nullptr},
        {"add", NIM_ADD, &picture, "first", true, true, "first"},
        {"add again", NIM_ADD, &picture, "second", false, true, "first"},
        {"change", NIM_MODIFY, &picture, "third", true, true, "third"},
        {"remove", NIM_DELETE, nullptr, "third", true, false, "third"},
        {"remove again", NIM_DELETE, nullptr, "third", false, false, "third"},
        {"change while out", NIM_MODIFY, &picture, "fourth", false, false, "third"},
        {"add once more", NIM_ADD, &picture, "fifth", true, true, "fifth"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        d.hIcon = s.icon;
        SetTip(d, QString::fromUtf8(s.tip));
        EXPECT_EQ(Shell_NotifyIconA(s.message, d), s.accepted);
        auto* tray = window.findChild<QSystemTrayIcon*>();
        EXPECT_EQ(tray && tray->isVisible(), s.shown);
        if (s.shownTip) {
            ASSERT_NE(tray, nullptr);
            EXPECT_EQ(tray->toolTip(), QString::fromUtf8(s.shownTip));
            EXPECT_FALSE(tray->icon().isNull());
        }
    }
    d.hWnd = nullptr;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, d));
}

TEST_F(RealShellTest, HostsThatShowTheMenuThemselvesGetTheMenusOwnActions) {
    Menu->addAction(QStringLiteral("&About..."));
    Menu->addSeparator();
    Menu->addAction(QStringLiteral("&Quit"));
    ShowAsTheBarDoes();
    QSystemTrayIcon* tray = Tray();
    ASSERT_NE(tray, nullptr);
    QMenu* exported = tray->contextMenu();
    ASSERT_NE(exported, nullptr);
    // Not the bar's menu (that one stays an ordinary pop-up), but its very actions in its order,
    // separators included, so a choice there runs the bar's handler.
    EXPECT_NE(exported, Menu);
    EXPECT_EQ(exported->actions(), Menu->actions());
    // Entries added and taken away later are followed.
    QAction* cancel = Menu->addAction(QStringLiteral("&Cancel"));
    Menu->removeAction(Menu->actions().constFirst());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(exported->actions(), Menu->actions());
    EXPECT_EQ(exported->actions().constLast(), cancel);
    // A menu that goes away takes the tray's with it.
    delete Menu;
    Menu = nullptr;
    EXPECT_EQ(tray->contextMenu(), nullptr);
    Bar->SetShowIcon(false);
}

TEST_F(RealShellTest, ActivationsReachTheClickLogic) {
    ShowAsTheBarDoes();
    LogHandlers();
    QSystemTrayIcon* tray = Tray();
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_EQ(tray->toolTip(), QStringLiteral("Vantrel"));
    // A right click reaches the component, which shows the bar's menu itself; the tray's own
    // menu is only for hosts that show a menu without asking the program.
    EXPECT_NE(tray->contextMenu(), Menu);
    Desktop.Cursor = QPoint(10, 20);
    const struct {
        const char* what;
        std::vector<QSystemTrayIcon::ActivationReason> reasons;
        QStringList expected;
    } cases[] = {
        {"click", {QSystemTrayIcon::Trigger}, {"foreground owner", "click"}},
        {"double click",
         {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick},
         {"foreground owner", "click", "foreground owner", "dblclick"}},
        {"context", {QSystemTrayIcon::Context}, {"foreground owner", "menu menu at 10,20"}},
        {"middle", {QSystemTrayIcon::MiddleClick}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desktop.Log.clear();
        for (const auto reason : c.reasons)
            emit tray->activated(reason);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(Desktop.Log, c.expected);
        EXPECT_FALSE(Bar->SkipNextClick);
    }

    Bar->SetHint(QStringLiteral("changed"));
    EXPECT_EQ(tray->toolTip(), QStringLiteral("changed"));
    Bar->SetShowIcon(false);
    EXPECT_FALSE(tray->isVisible());
}

} // namespace
