// The notification-area icon: the load text as its tooltip, the bar's menu on a right click.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;
class QWidget;

class TWinTaskbar : public QObject {
    Q_OBJECT
public:
    explicit TWinTaskbar(QWidget* owner);
    ~TWinTaskbar() override;

    const QString& Hint() const { return HintText; }
    void SetHint(const QString& hint);
    void SetIcon(const QIcon& icon);
    bool ShowIcon() const { return Shown; }
    void SetShowIcon(bool show);

    QMenu* PopUpMenu = nullptr;

private:
    void RefreshNotifyIcon();

    QString HintText;
    QIcon Picture;
    bool Shown = false;
    QSystemTrayIcon* Tray = nullptr;
};
