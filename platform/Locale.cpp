// Locale services on Qt's system locale.
#include "platform/Locale.h"

#include <QLocale>

namespace platform {

template <> UserLocale& Service<UserLocale>::Real() {
    static UserLocale locale;
    return locale;
}

QChar UserLocale::ReadSeparator() {
    const QString group = QLocale::system().groupSeparator();
    return group.isEmpty() ? QChar(u',') : group.front();
}

QChar UserLocale::ThousandSeparator() {
    if (!Loaded) {
        Cached = ReadSeparator();
        Loaded = true;
    }
    return Cached;
}

int UserLocale::Compare(const QString& a, const QString& b) {
    if (!Collator) {
        Collator.emplace(QLocale::system());
        Collator->setCaseSensitivity(Qt::CaseInsensitive);
    }
    return Collator->compare(a, b);
}

QChar ThousandSeparator() {
    return Current<UserLocale>().ThousandSeparator();
}

void ReloadLocale() {
    Current<UserLocale>().Reload();
}

int CompareTextLocale(const QString& a, const QString& b) {
    return Current<UserLocale>().Compare(a, b);
}

} // namespace platform
