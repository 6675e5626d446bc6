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

    // Fills SchemeList with "<default>" and the sub-folders of Folder, and selects the entry of
    // the current Scheme.
    void RefreshList(const QString& Folder);
};
