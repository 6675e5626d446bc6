// The one place where failures reach the user: a message box captioned "Vantrel".
#pragma once

#include "platform/Service.h"

#include <QString>
#include <functional>

namespace platform {

// Where the reports go: the message box, one at a time.
class ErrorReport {
public:
    virtual ~ErrorReport() = default;
    // Shows the box with the text and returns when the user has dismissed it. While a box with
    // the same text is open (the timer keeps ticking behind the modal box, and a failure that
    // repeats on every tick would pile up one box per tick), the repeat is dropped.
    virtual void Show(const QString& text);

private:
    bool BoxOpen = false;
    QString OpenText;
};
template <> ErrorReport& Service<ErrorReport>::Real();

// The text the box shows: the message with a full stop appended when its last character sorts
// after "." (nothing is appended to an empty message).
QString ErrorText(const QString& message);

// Hands the error text to the report in use (the box) and returns when it has been dismissed.
void ReportError(const QString& message);

// Runs an action the user started; an error it raises is reported and ends the action only.
void Guarded(const std::function<void()>& action);

} // namespace platform
