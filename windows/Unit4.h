// The about box: logo, credit and rights lines, and the home-page address to copy.
#pragma once

#include "controls/Form.h"

#include <QDialog>

class QLineEdit;
class TImage;
class TLabel;

class TDAbout : public TForm<QDialog> {
    Q_OBJECT
public:
    TDAbout();
    ~TDAbout() override;

    // Controls, in creation order.
    TImage* Image1;   // the logo
    TLabel* Label1;   // the version and copyright line
    TLabel* Label2;   // "All rights reserved."
    QLineEdit* Edit1; // the home-page address, to copy

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
