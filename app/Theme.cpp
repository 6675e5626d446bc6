// Built-in theme selection and tooltip timing.
#include "app/Theme.h"

#include <QApplication>
#include <QProxyStyle>

BuiltInTheme::BuiltInTheme() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME")) return;
    // Qt picks its theme plugin from the desktop's name; without one it uses its own theme.
    Active = true;
    HadDesktop = qEnvironmentVariableIsSet("XDG_CURRENT_DESKTOP");
    HadSession = qEnvironmentVariableIsSet("DESKTOP_SESSION");
    Desktop = qgetenv("XDG_CURRENT_DESKTOP");
    Session = qgetenv("DESKTOP_SESSION");
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");
}

BuiltInTheme::~BuiltInTheme() {
    if (!Active) return;
    if (HadDesktop) qputenv("XDG_CURRENT_DESKTOP", Desktop);
    if (HadSession) qputenv("DESKTOP_SESSION", Session);
}

void UseQtEventLoop() {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORMTHEME") ||
        qEnvironmentVariableIsSet("QT_NO_GLIB"))
        return;
    qputenv("QT_NO_GLIB", "1");
}

namespace {

class TooltipTiming : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay) return 500;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

void InstallTooltipTiming() {
    QApplication::setStyle(new TooltipTiming);
}
