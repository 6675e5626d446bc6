// The central error report: message box, full-stop rule, and the guard around user actions.
#include "platform/ErrorReport.h"

#include "core/VError.h"
#include "platform/WindowSystem.h"

#include <QApplication>

#include <QMessageBox>
#include <new>

namespace platform {

template <> ErrorReport& Service<ErrorReport>::Real() {
    static ErrorReport box;
    return box;
}

void ErrorReport::Show(const QString& text) {
    if (BoxOpen && OpenText == text) return;
    const bool wasOpen = BoxOpen;
    const QString previous = OpenText;
    BoxOpen = true;
    OpenText = text;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Vantrel"), text, QMessageBox::Ok);
    // Above the dialog that is open, or else above the bar.
    QWidget* owner = QApplication::activeModalWidget();
    KeepAbove(&box, owner ? owner : MainWindow());
    box.exec();
    BoxOpen = wasOpen;
    OpenText = previous;
}

QString ErrorText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.') return message + u'.';
    return message;
}

void ReportError(const QString& message) {
    Current<ErrorReport>().Show(ErrorText(message));
}

void Guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const VantrelError& e) {
        ReportError(e.message());
    } catch (const std::bad_alloc&) {
        ReportError(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        ReportError(QString::fromUtf8(e.what()));
    }
}

} // namespace platform
