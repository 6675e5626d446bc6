// The user's locale as the program needs it: the thousands separator and name ordering.
#pragma once

#include "platform/Service.h"

#include <QChar>
#include <QCollator>
#include <QString>
#include <optional>

namespace platform {

// The locale's separator, read once and kept until it is reloaded, and its collation.
class UserLocale {
public:
    virtual ~UserLocale() = default;
    QChar ThousandSeparator();
    void Reload() { Loaded = false; }
    int Compare(const QString& a, const QString& b);

protected:
    // First character of the system locale's group separator, or ',' when it has none.
    virtual QChar ReadSeparator();

private:
    QChar Cached;
    bool Loaded = false;
    std::optional<QCollator> Collator;
};
template <> UserLocale& Service<UserLocale>::Real();

// First character of the locale's group separator, or ',' when it has none. Read once and kept
// until ReloadLocale.
QChar ThousandSeparator();
// Reads the locale again (the program calls it when the locale changes).
void ReloadLocale();

// Orders two names without regard to case in the user's locale (<0, 0, >0).
int CompareTextLocale(const QString& a, const QString& b);

} // namespace platform
