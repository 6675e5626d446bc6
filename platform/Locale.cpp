// Locale services on Qt's system locale.
#include "platform/Locale.h"

#include <QCollator>
#include <QLocale>

namespace platform {
namespace {

QChar Fixed;
QChar Cached;
bool Loaded = false;

QChar ReadSeparator() {
    const QString group = QLocale::system().groupSeparator();
    return group.isEmpty() ? QChar(u',') : group.front();
}

} // namespace

QChar ThousandSeparator() {
    if (!Fixed.isNull()) return Fixed;
    if (!Loaded) {
        Cached = ReadSeparator();
        Loaded = true;
    }
    return Cached;
}

void ReloadLocale() {
    Loaded = false;
}

void SetThousandSeparator(QChar separator) {
    Fixed = separator;
}

int CompareTextLocale(const QString& a, const QString& b) {
    static QCollator collator = [] {
        QCollator c(QLocale::system());
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b);
}

} // namespace platform
