// The user's locale as the program needs it: the thousands separator and name ordering.
#pragma once

#include <QChar>
#include <QString>

namespace platform {

// First character of the locale's group separator, or ',' when it has none. Read once and kept
// until ReloadLocale.
QChar ThousandSeparator();
// Reads the locale again (the program calls it when the locale changes).
void ReloadLocale();
// Puts a fixed separator in place of the locale's; a null QChar goes back to the locale.
void SetThousandSeparator(QChar separator);

// Orders two names without regard to case in the user's locale (<0, 0, >0).
int CompareTextLocale(const QString& a, const QString& b);

} // namespace platform
