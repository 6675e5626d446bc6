// The notification-area icon on QSystemTrayIcon.
#include "components/WTaskBar.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

TWinTaskbar::TWinTaskbar(QWidget* owner) : QObject(owner) {}

TWinTaskbar::~TWinTaskbar() { SetShowIcon(false); }

void TWinTaskbar::SetHint(const QString& hint) {
    if (hint != HintText) {
        HintText = hint;
        RefreshNotifyIcon();
    }
}

void TWinTaskbar::SetIcon(const QIcon& icon) {
    Picture = icon;
    RefreshNotifyIcon();
}

void TWinTaskbar::SetShowIcon(bool show) {
    Shown = show;
    RefreshNotifyIcon();
}

void TWinTaskbar::RefreshNotifyIcon() {
    if (Shown && !Picture.isNull()) {
        if (!Tray) Tray = new QSystemTrayIcon(this);
        Tray->setIcon(Picture);
        Tray->setToolTip(HintText.left(63));
        Tray->show();
    } else if (Tray) {
        Tray->hide();
    }
}
