// The scheme list of the preferences dialog: "<default>" and the sub-folders of a folder.
#include "windows/RefreshList.h"

#include "app/Globals.h"
#include "app/Unit1.h"
#include "core/Helpers.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "windows/Unit2.h"

#include <QListWidget>
#include <algorithm>
#include <vector>

QStringList SchemeNames(const QString& Folder) {
    QStringList names{QStringLiteral("<default>")};
    std::vector<platform::DirEntry> entries;
    if (platform::ListFolder(Folder + QStringLiteral("*.*"), entries)) {
        names.reserve(qsizetype(entries.size()) + 1);
        for (const platform::DirEntry& e : entries)
            if ((e.Attributes & platform::FILE_ATTRIBUTE_DIRECTORY) && e.Name != u"." &&
                e.Name != u"..")
                names.append(e.Name);
    }
    // Names the locale orders alike ("Blue", "blue") keep one fixed order between them.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = platform::CompareTextLocale(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

int SchemeIndex(const QStringList& Names, const QString& Scheme) {
    // Every match becomes the selected entry in turn, so the last one stays selected.
    int index = -1;
    for (int i = 0; i < Names.size(); ++i)
        if (SameTextAscii(Names[i], Scheme)) index = i;
    return index;
}

void TDPrefs::RefreshList(const QString& Folder) {
    const QStringList names = SchemeNames(Folder);
    SchemeList->clear();
    // The names come sorted; the list's own sorting would put capitals first.
    SchemeList->setSortingEnabled(false);
    SchemeList->addItems(names);
    // No match leaves nothing selected.
    SchemeList->setCurrentRow(SchemeIndex(names, Vantrel->BarPrefs.Scheme));
}
