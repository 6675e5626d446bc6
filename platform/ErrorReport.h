// The one place where failures reach the user: a message box captioned "Vantrel".
#pragma once

#include <QString>
#include <functional>

namespace platform {

using ErrorReporter = std::function<void(const QString& text)>;

// The text the box shows: the message with a full stop appended when its last character sorts
// after "." (nothing is appended to an empty message).
QString ErrorText(const QString& message);

// Shows the error box (or hands the text to the reporter put in place) and returns when the user
// has dismissed it.
void ReportError(const QString& message);

// Puts a reporter in place of the message box; an empty one restores the box. Returns the
// previous reporter.
ErrorReporter SetErrorReporter(ErrorReporter reporter);

// Runs an action the user started; an error it raises is reported and ends the action only.
void Guarded(const std::function<void()>& action);

} // namespace platform
