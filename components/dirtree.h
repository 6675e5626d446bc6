// Directory tree control: drives and folders, each folder read when it is opened.
#pragma once

#include <QString>
#include <QTreeWidget>

class Tdirtree : public QTreeWidget {
    Q_OBJECT
public:
    explicit Tdirtree(QWidget* owner = nullptr);
    ~Tdirtree() override;

    // Path of the selected folder ("C:\SKINS\"), or "?" when none is selected.
    QString Directory() const;
    void SetDirectory(const QString& value);
};
