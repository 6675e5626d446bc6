// The central error report: message box, full-stop rule, and the guard around user actions.
#include "platform/ErrorReport.h"

#include "core/VError.h"
#include "platform/WindowSystem.h"

#include <QApplication>

#include <QMessageBox>
#include <new>
#include <optional>

namespace platform {

template <> ErrorReport& Service<ErrorReport>::Real() {
    static ErrorReport box;
    return box;
}

namespace {

// The box, centred on the screen with its frame as the dialogs are, and not attached to the
// window it belongs to by managers that would attach it (see CentredMapping).
class Box final : public QMessageBox {
public:
    explicit Box(const QString& text)
        : QMessageBox(QMessageBox::Critical, QStringLiteral("Vantrel"), text, QMessageBox::Ok,
                      nullptr, DialogFlags) {}

    void setVisible(bool visible) override {
        if (!visible || isVisible()) {
            QMessageBox::setVisible(visible);
            return;
        }
        std::optional<CentredMapping> mapping;
        Mapping = &mapping;
        QMessageBox::setVisible(true);
        Mapping = nullptr;
    }

protected:
    // The box has its size once the toolkit has laid it out for its showing; the native window
    // is mapped right after.
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (Mapping && !*Mapping) Mapping->emplace(this, CentreOnScreen(this));
    }

private:
    std::optional<CentredMapping>* Mapping = nullptr;
};

} // namespace

void ErrorReport::Show(const QString& text) {
    if (BoxOpen && OpenText == text) return;
    const bool wasOpen = BoxOpen;
    const QString previous = OpenText;
    BoxOpen = true;
    OpenText = text;
    Box box(text);
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
