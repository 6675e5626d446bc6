// The about box.
#include "windows/Unit4.h"

#include "app/Globals.h"

TDAbout::TDAbout() : QDialog(nullptr) {
    DAbout = this;
    setWindowTitle(QStringLiteral("About Vantrel..."));
    setFixedSize(250, 142);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
}

TDAbout::~TDAbout() {
    if (DAbout == this) DAbout = nullptr;
}
