// The about box: logo, credit and rights lines, and the home-page address to copy.
#pragma once

#include <QDialog>

class TDAbout : public QDialog {
    Q_OBJECT
public:
    TDAbout();
    ~TDAbout() override;
};
