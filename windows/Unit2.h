// The preferences dialog: every setting but the bar's position, and the scheme list.
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

class TDPrefs : public QDialog {
    Q_OBJECT
public:
    TDPrefs();
    ~TDPrefs() override;

    QListWidget* SchemeList;
    QLineEdit* EditDir;
};
