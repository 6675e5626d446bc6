// Display names and small icons of drives and folders, the icons taken from Qt's icon provider.
#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>

namespace platform {

// Places in the small-icon list.
enum SmallIconIndex : int {
    ICON_FOLDER = 0,
    ICON_FOLDER_OPEN,
    ICON_DRIVE_FIXED,
    ICON_DRIVE_REMOVABLE,
    ICON_DRIVE_CDROM,
    ICON_DRIVE_REMOTE,
    ICON_DRIVE_UNKNOWN,
    ICON_COUNT
};

// The one list of small icons that every drive and folder image is drawn from. It lives as long
// as the program and is shared: whoever holds it holds a pointer and never frees it.
class SmallIconList {
public:
    int Count() const { return int(Icons.size()); }
    // The icon at index; a null icon outside the list.
    QIcon Icon(int index) const;
    // What a tree node shows: the image at image, and the one at selectedImage while the node is
    // selected. Built once per pair of indexes.
    QIcon NodeIcon(int image, int selectedImage);

private:
    friend SmallIconList* SystemSmallIcons();
    QList<QIcon> Icons; // filled once the program has a GUI
    bool Filled = false;
    QHash<int, QIcon> Pairs;
};

// The shared list; it is empty when the program has no GUI.
SmallIconList* SystemSmallIcons();

struct ShellFileInfo {
    QString DisplayName;
    int IconIndex = -1;
};

// What the desktop shows for a drive root ("C:\") or a folder path in Windows form: the name
// ("Data (D:)" for a drive, the last component for a folder) and the index of its small icon;
// open asks for the icon of an opened folder. Nothing is read from the disk, so a removable or
// CD-ROM drive is never touched.
ShellFileInfo ShellInfoOf(const QString& path, bool open);

} // namespace platform
