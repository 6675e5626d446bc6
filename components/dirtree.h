// Directory tree control: drives and folders, each folder read when it is opened.
#pragma once

#include "platform/Files.h"

#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {
class SmallIconList;
}

// What a drive or folder node knows of itself; owned by its node and released with it.
class tdirname {
public:
    // "C:\" for a drive, "C:\SKINS\BLUE\" for a folder: ASCII upper case, ending in "\".
    QString Path;
    // The sub-folders have been read (set just before the read begins).
    bool Scanned = false;
};

// One running folder search.
struct TDirRec {
    uint32_t Attributes = 0; // of the current entry
    QString FileName;        // of the current entry
    std::unique_ptr<platform::FolderSearch> SearchHandle;
    platform::DirEntry FindInfo{};
};

// A tree of the machine's drives with their folders below them. A folder is read when it is
// first opened (or when a written Directory passes through it); the selected folder is the
// Directory.
class Tdirtree : public QTreeWidget {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ Directory WRITE SetDirectory STORED true)
    Q_PROPERTY(TBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool ReadOnStart READ ReadOnStart WRITE SetReadOnStart STORED true)
    Q_PROPERTY(int DragCursor READ DragCursor WRITE SetDragCursor)
    Q_PROPERTY(tDirType DirType READ DirType WRITE SetDirType STORED true)
    Q_PROPERTY(bool AllowNetwork READ AllowNetwork WRITE SetAllowNetwork STORED true)
    Q_PROPERTY(bool GoBelowRecycleBin READ GoBelowRecycleBin WRITE SetGoBelowRecycleBin STORED true)
    Q_PROPERTY(bool FastLoad READ FastLoad WRITE SetFastLoad STORED true)
    Q_PROPERTY(bool Readonly READ Readonly WRITE SetReadonly)

public:
    // Folder attributes the filter admits (bits 0 to 5 of a tDirType).
    enum tdirattr : uint8_t {
        dtReadonly = 0x01,
        dtHidden = 0x02,
        dtSystem = 0x04,
        dtArchive = 0x08,
        dtNormal = 0x10,
        dtAll = 0x20,
    };
    Q_DECLARE_FLAGS(tDirType, tdirattr)
    Q_FLAG(tDirType)

    enum TBorderStyle { bsNone, bsSingle };
    Q_ENUM(TBorderStyle)

    // Asked before a drive root or folder is listed; clearing DoAdd leaves it out.
    using taddfileevent = std::function<void(QString Filename, bool& DoAdd)>;
    // A node event: the control and the node.
    using TTVChangedEvent = std::function<void(Tdirtree* Sender, QTreeWidgetItem* Node)>;
    // Asked whether a node may expand, after its contents were read.
    using TTVExpandingEvent =
        std::function<void(Tdirtree* Sender, QTreeWidgetItem* Node, bool& AllowExpansion)>;

    // The texts of the two kinds of placeholder child.
    static const QString UnreadMarker; // "u**": a drive whose contents were not looked at
    static const QString ExpandMarker; // " ": an unread node with a listable sub-folder

    explicit Tdirtree(QWidget* owner = nullptr);
    ~Tdirtree() override;

    // Path of the selected folder ("C:\SKINS\"), or "?" when none is selected.
    QString Directory() const;
    // Opens a folder ("c:\skins" or "C:\SKINS\") and selects it; "?", a folder that does not
    // exist or one the tree does not show leaves the selection as it was. Written before the
    // control is first shown, the folder is opened when the drives are listed.
    void SetDirectory(const QString& value);
    // The native path of the selected folder as the file system spells it ("/home/ann/Skins/"),
    // or empty when none is selected: the one spelling that tells apart folders whose names
    // differ only in case.
    QString FolderOnDisk() const;

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool ReadOnStart() const { return FReadOnStart; }
    void SetReadOnStart(bool value) { FReadOnStart = value; }
    int DragCursor() const { return FDragCursor; }
    void SetDragCursor(int value) { FDragCursor = value; }
    tDirType DirType() const { return FDirType; }
    void SetDirType(tDirType value);
    bool AllowNetwork() const { return FAllowNetwork; }
    void SetAllowNetwork(bool value);
    bool GoBelowRecycleBin() const { return FGoBelowRecycleBin; }
    void SetGoBelowRecycleBin(bool value);
    bool FastLoad() const { return FFastLoad; }
    void SetFastLoad(bool value) { FFastLoad = value; }
    bool Readonly() const { return FReadonly; }
    void SetReadonly(bool value) { FReadonly = value; }
    // The shared small-icon list every node image comes from.
    const platform::SmallIconList* ShellIcons() const { return FShellIcons; }

    // Empties the tree and lists the drives. Does nothing before the control is first shown.
    void LoadDrives();
    // Lists the drives again and selects what was selected, as far as it is still shown.
    void Rebuild();

    // The path record of a drive or folder node; none for a marker or a node of another kind.
    static tdirname* Record(const QTreeWidgetItem* node);

    taddfileevent OnAddDir;
    // Every node the tree deletes, markers included, after its path record was released.
    TTVChangedEvent OnDeleteItem;
    TTVExpandingEvent OnExpanding;
    // A selection change, reported only once the drive listing is done.
    TTVChangedEvent OnChange;

protected:
    virtual void AfterCreateWindow();
    // Reads the node and probes its children; false keeps it closed.
    virtual bool BeforeExpand(QTreeWidgetItem* node);
    virtual void AfterSelect(QTreeWidgetItem* node);
    void NodeDeleted(Tdirtree* sender, QTreeWidgetItem* node);
    bool FolderAllowed(const QString& path);
    bool AttrAllowed(uint32_t attributes) const;
    void ReadFolder(QTreeWidgetItem* node);
    void ProbeFolder(QTreeWidgetItem* node);
    void ProbeChildren(QTreeWidgetItem* node);
    QTreeWidgetItem* AddDriveNode(const QString& path);
    QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, const QString& path);
    // 0 when an entry was found, otherwise the platform's error code.
    int FindFirstDir(const QString& pattern, TDirRec& record);
    int FindNextDir(TDirRec& record);

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    // Brings a node into view, sideways too: its expand button, picture and name.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Dotted lines join each node to its parent and its siblings, with a boxed plus or minus on
    // the nodes that can open.
    void drawBranches(QPainter* painter, const QRect& rect,
                      const QModelIndex& index) const override;

    // The selected node, if any.
    QTreeWidgetItem* Selected() const;

    bool FFastLoad = false;
    platform::SmallIconList* FShellIcons = nullptr;
    QString LastPaths[26]; // the last selected path on each drive, A to Z
    QStringList NameList;  // sub-folder names of the folder being read
    bool FReadOnStart = true;
    bool TreeReady = false;
    tDirType FDirType;
    bool FAllowNetwork = true;
    bool FGoBelowRecycleBin = true;

private:
    friend class TDirNode;

    // Walks the sub-folders of a drive or folder node that the filters admit, until visit
    // returns false.
    void WalkFolder(QTreeWidgetItem* node, const std::function<bool(const QString& name)>& visit);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, QString path);
    QTreeWidgetItem* AddMarker(QTreeWidgetItem* parent, const QString& text);
    bool IsUnreadMarker(const QTreeWidgetItem* node) const;
    void BeginUpdate();
    void EndUpdate();
    void NodeExpanded(const QModelIndex& index);
    void NodeCollapsed(const QModelIndex& index);

    TBorderStyle FBorderStyle = bsSingle;
    int FDragCursor = -12;
    bool FReadonly = false;
    bool WindowCreated = false;
    QString PendingDirectory; // written before the control was first shown
    bool Destroying = false;
    bool Listing = false;
    int UpdateDepth = 0;
    // Set while the tree closes a node whose opening was refused: that closing is not reported.
    bool Vetoing = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Tdirtree::tDirType)
