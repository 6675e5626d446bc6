// The preferences dialog.
#include "windows/Unit2.h"

#include "app/Globals.h"

#include <QLineEdit>
#include <QListWidget>

TDPrefs::TDPrefs() : QDialog(nullptr) {
    DPrefs = this;
    setWindowTitle(QStringLiteral("Vantrel Preferences..."));
    setFixedSize(379, 329);
    SchemeList = new QListWidget(this);
    SchemeList->setGeometry(8, 68, 174, 186);
    SchemeList->addItem(QStringLiteral("<default>"));
    EditDir = new QLineEdit(this);
    EditDir->setGeometry(9, 273, 150, 21);
}

TDPrefs::~TDPrefs() {
    if (DPrefs == this) DPrefs = nullptr;
}
