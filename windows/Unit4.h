// The about box: logo, credit and rights lines, and the home-page address to copy.
#pragma once

#include <QDialog>

class QLineEdit;
class TImage;
class TLabel;

class TDAbout : public QDialog {
    Q_OBJECT
public:
    TDAbout();
    ~TDAbout() override;

    // Controls, in creation order.
    TImage* Image1;
    TLabel* Label1;
    TLabel* Label2;
    QLineEdit* Edit1;

    // Centres the box on the screen the first time it is shown; later showings keep the place
    // where it was left.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool Placed = false;
};
