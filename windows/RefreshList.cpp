// The scheme list of the preferences dialog: "<default>" and the sub-folders of a folder.
#include "windows/Unit2.h"

#include <QListWidget>

void TDPrefs::RefreshList(const QString&) {
    SchemeList->clear();
    SchemeList->addItem(QStringLiteral("<default>"));
}
