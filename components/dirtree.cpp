// Directory tree control: drive listing, lazy folder reading, the selected path and its
// per-node records.
#include "components/dirtree.h"

#include "core/Helpers.h"
#include "platform/Locale.h"
#include "platform/ShellInfo.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QScrollBar>
#include <algorithm>
#include <cerrno>

const QString Tdirtree::UnreadMarker = QStringLiteral("u**");
const QString Tdirtree::ExpandMarker = QStringLiteral(" ");

namespace {

// Shows the wait cursor until the end of the scope, then puts back the one before.
class Hourglass {
public:
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

int DriveIndex(const QString& path) {
    if (path.isEmpty()) return -1;
    const char16_t c = AsciiUpper(path.left(1)).front().unicode();
    return c >= u'A' && c <= u'Z' ? c - u'A' : -1;
}

} // namespace

// A node of the tree: a drive or folder with its path record, or a marker without one. Deleting
// it deletes its children first and then tells the tree.
class TDirNode : public QTreeWidgetItem {
public:
    static constexpr int NodeType = QTreeWidgetItem::UserType + 0x4454;

    TDirNode(Tdirtree* owner, std::unique_ptr<tdirname> record)
        : QTreeWidgetItem(NodeType), Owner(owner), PathRecord(std::move(record)) {}
    ~TDirNode() override {
        const QList<QTreeWidgetItem*> children = takeChildren();
        qDeleteAll(children);
        if (Owner)
            Owner->NodeDeleted(Owner, this);
        else
            PathRecord.reset();
    }

    QPointer<Tdirtree> Owner;
    std::unique_ptr<tdirname> PathRecord;
    // The native path of the folder as the file system spells it ("/home/ann/Skins/"): searched
    // instead of the upper case Path, so a folder is found at once, never mistaken for another
    // that differs in case only, and found even when its name holds a "\".
    QString DiskPath;
    int ImageIndex = -1;
    int SelectedIndex = -1;
};

// ---- Construction and destruction ---------------------------------------------------------------

Tdirtree::Tdirtree(QWidget* owner) : QTreeWidget(owner) {
    FFastLoad = false;
    FShellIcons = platform::SystemSmallIcons();
    FReadOnStart = true;
    FGoBelowRecycleBin = true;
    for (int i = 0; i < 26; ++i)
        LastPaths[i] = QString(QChar(u'A' + i)) + QStringLiteral(":\\");
    const QString current = AsciiUpper(platform::CurrentDirectory());
    const int drive = DriveIndex(current);
    if (drive >= 0 && current.size() >= 2 && current[1] == u':')
        LastPaths[drive] = current.endsWith(u'\\') ? current : current + u'\\';

    // The tree keeps the order in which nodes were added and shows its selection when it does
    // not have the focus.
    setSortingEnabled(false);
    TreeReady = false;
    FDirType = tDirType(dtNormal | dtAll);
    FAllowNetwork = true;

    setHeaderHidden(true);
    setColumnCount(1);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setUniformRowHeights(true);
    setIconSize(QSize(16, 16));
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    resize(121, 97);

    // Reading happens when a node opens, and the view says so only after it opened the node. A
    // QTreeWidget turns the view's expanded and collapsed into itemExpanded and itemCollapsed
    // through connections to itself; those are cut here (every one, by the public wildcard form),
    // and the tree sends both signals itself: after the read, and not for a node it kept closed.
    disconnect(this, &QTreeView::expanded, this, nullptr);
    disconnect(this, &QTreeView::collapsed, this, nullptr);
    connect(this, &QTreeView::expanded, this, &Tdirtree::NodeExpanded);
    connect(this, &QTreeView::collapsed, this, &Tdirtree::NodeCollapsed);
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] { AfterSelect(Selected()); });
}

Tdirtree::~Tdirtree() {
    TreeReady = false;
    Destroying = true;
    NameList.clear();
    // The shared icon list is not ours to free. The nodes go now, while the tree can still be
    // told about each of them.
    clear();
}

// ---- The window ---------------------------------------------------------------------------------

void Tdirtree::showEvent(QShowEvent* event) {
    QTreeWidget::showEvent(event);
    if (!WindowCreated) {
        WindowCreated = true;
        AfterCreateWindow();
    }
}

void Tdirtree::AfterCreateWindow() {
    if (FReadOnStart) LoadDrives();
    if (!PendingDirectory.isNull()) {
        const QString value = PendingDirectory;
        PendingDirectory = QString();
        SetDirectory(value);
    }
}

// ---- Listing the drives -------------------------------------------------------------------------

void Tdirtree::LoadDrives() {
    if (!WindowCreated || Listing) return;
    Hourglass wait;
    // Input that waits is handled once, before the old listing goes: a handler finds the tree
    // whole, and a listing it asks for meanwhile is refused, as is any while this one runs.
    Listing = true;
    QPointer<Tdirtree> self(this);
    QCoreApplication::processEvents();
    if (!self) return;
    BeginUpdate();
    // Every way out, a host's OnAddDir that throws included, lets the tree list again.
    const auto done = qScopeGuard([this] {
        EndUpdate();
        Listing = false;
    });
    TreeReady = false;
    clear();

    const uint32_t mask = platform::LogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i))) continue;
        const QString root = QString(QChar(u'A' + i)) + QStringLiteral(":\\");
        if (!FAllowNetwork && platform::DriveTypeOf(root) == platform::DRIVE_REMOTE) continue;
        if (!FolderAllowed(root)) continue;
        QTreeWidgetItem* node = AddDriveNode(root);
        if (FFastLoad) {
            AddMarker(node, UnreadMarker);
            continue;
        }
        switch (platform::DriveTypeOf(root)) {
        case platform::DRIVE_UNKNOWN:
        case platform::DRIVE_NO_ROOT_DIR:
        case platform::DRIVE_REMOVABLE:
        case platform::DRIVE_CDROM:
            // Never touched here: there may be no medium.
            AddMarker(node, UnreadMarker);
            break;
        default:
            ProbeFolder(node);
        }
    }

    TreeReady = true;
}

// ---- Adding nodes -------------------------------------------------------------------------------

QTreeWidgetItem* Tdirtree::AddDriveNode(const QString& path) {
    return AddNode(nullptr, path);
}

QTreeWidgetItem* Tdirtree::AddFolderNode(QTreeWidgetItem* parent, const QString& path) {
    return parent ? AddNode(parent, path) : nullptr;
}

QTreeWidgetItem* Tdirtree::AddNode(QTreeWidgetItem* parent, QString path) {
    if (!path.endsWith(u'\\')) path += u'\\';
    const platform::ShellFileInfo info = platform::ShellInfoOf(path, false);
    auto record = std::make_unique<tdirname>();
    record->Path = AsciiUpper(path);
    record->Scanned = false;
    auto* node = new TDirNode(this, std::move(record));
    // A folder shows its name as the file system has it, a "\" in it included; a drive shows
    // the name the shell gives it.
    QString text = info.DisplayName;
    node->DiskPath = platform::NativePath(path);
    if (parent && parent->type() == TDirNode::NodeType) {
        const auto* above = static_cast<const TDirNode*>(parent);
        const QString& abovePath = above->PathRecord ? above->PathRecord->Path : QString();
        if (!abovePath.isEmpty() && path.startsWith(abovePath, Qt::CaseInsensitive)) {
            text = path.mid(abovePath.size());
            text.chop(1);
            node->DiskPath = above->DiskPath + text + u'/';
        }
    }
    if (!node->DiskPath.endsWith(u'/')) node->DiskPath += u'/';
    node->setText(0, text);
    node->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable |
                   Qt::ItemIsDragEnabled);
    node->ImageIndex = info.IconIndex;
    node->SelectedIndex = platform::ShellInfoOf(path, true).IconIndex;
    if (FShellIcons) node->setIcon(0, FShellIcons->NodeIcon(node->ImageIndex, node->SelectedIndex));
    if (parent)
        parent->addChild(node);
    else
        addTopLevelItem(node);
    return node;
}

QTreeWidgetItem* Tdirtree::AddMarker(QTreeWidgetItem* parent, const QString& text) {
    auto* marker = new TDirNode(this, nullptr);
    marker->setText(0, text);
    marker->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    parent->addChild(marker);
    return marker;
}

bool Tdirtree::IsUnreadMarker(const QTreeWidgetItem* node) const {
    return node && !Record(node) && node->text(0) == UnreadMarker;
}

tdirname* Tdirtree::Record(const QTreeWidgetItem* node) {
    if (!node || node->type() != TDirNode::NodeType) return nullptr;
    return static_cast<const TDirNode*>(node)->PathRecord.get();
}

// ---- Filters ------------------------------------------------------------------------------------

bool Tdirtree::FolderAllowed(const QString& path) {
    bool doAdd = true;
    if (!FGoBelowRecycleBin) {
        // Below a recycle folder: "\recycled\" (in any case) ends before the path's last
        // character. The recycle folder itself stays; only the first occurrence counts.
        const QString lower = path.toLower();
        const qsizetype p = lower.indexOf(QLatin1String("\\recycled\\")) + 1;
        if (p > 0 && p < lower.size() - 9) doAdd = false;
    }
    if (doAdd && OnAddDir) OnAddDir(path, doAdd);
    return doAdd;
}

bool Tdirtree::AttrAllowed(uint32_t attributes) const {
    using namespace platform;
    if (FDirType.testFlag(dtAll)) return true;
    if ((attributes & FILE_ATTRIBUTE_HIDDEN) && !FDirType.testFlag(dtHidden)) return false;
    if ((attributes & FILE_ATTRIBUTE_SYSTEM) && !FDirType.testFlag(dtSystem)) return false;
    if ((attributes & FILE_ATTRIBUTE_ARCHIVE) && !FDirType.testFlag(dtArchive)) return false;
    return FDirType.testFlag(dtNormal) ||
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
}

// ---- The folder walk ----------------------------------------------------------------------------

int Tdirtree::FindFirstDir(const QString& pattern, TDirRec& record) {
    record = TDirRec{};
    record.SearchHandle = std::make_unique<platform::FolderSearch>();
    int error = 0;
    if (!record.SearchHandle->First(pattern, record.FindInfo, &error))
        return error ? error : ENOENT;
    record.Attributes = record.FindInfo.Attributes;
    record.FileName = record.FindInfo.Name;
    return 0;
}

int Tdirtree::FindNextDir(TDirRec& record) {
    if (!record.SearchHandle) return ENOENT;
    int error = 0;
    if (!record.SearchHandle->Next(record.FindInfo, &error)) return error ? error : ENOENT;
    record.Attributes = record.FindInfo.Attributes;
    record.FileName = record.FindInfo.Name;
    return 0;
}

void Tdirtree::WalkFolder(QTreeWidgetItem* node,
                          const std::function<bool(const QString& name)>& visit) {
    const QString path = Record(node)->Path;
    const QString& disk = static_cast<const TDirNode*>(node)->DiskPath;
    TDirRec record;
    for (int code = FindFirstDir(disk + QStringLiteral("*.*"), record); code == 0;
         code = FindNextDir(record)) {
        if (!(record.Attributes & platform::FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (record.FileName == QLatin1String(".") || record.FileName == QLatin1String(".."))
            continue;
        if (!FolderAllowed(path + record.FileName + u'\\')) continue;
        if (!AttrAllowed(record.Attributes)) continue;
        if (!visit(record.FileName)) break;
    }
    record.SearchHandle.reset();
}

// ---- Reading and probing ------------------------------------------------------------------------

void Tdirtree::ReadFolder(QTreeWidgetItem* node) {
    if (!node) return;
    NameList.clear();
    tdirname* record = Record(node);
    if (!record || record->Scanned) return;
    const QList<QTreeWidgetItem*> old = node->takeChildren();
    qDeleteAll(old);
    record->Scanned = true;
    const QString path = record->Path;

    WalkFolder(node, [this](const QString& name) {
        NameList.append(name);
        return true;
    });
    // In the user's order, without regard to case. Names that differ only in case are
    // different folders here: each is listed, in the order the file system gave them.
    std::stable_sort(NameList.begin(), NameList.end(), [](const QString& a, const QString& b) {
        return platform::CompareTextLocale(a, b) < 0;
    });

    for (const QString& name : std::as_const(NameList))
        AddFolderNode(node, path + name);
}

void Tdirtree::ProbeFolder(QTreeWidgetItem* node) {
    const tdirname* record = Record(node);
    if (!record || record->Scanned) return;
    bool found = false;
    WalkFolder(node, [&found](const QString&) {
        found = true;
        return false;
    });
    if (found) AddMarker(node, ExpandMarker);
}

void Tdirtree::ProbeChildren(QTreeWidgetItem* node) {
    if (!node) return;
    for (int i = 0; i < node->childCount(); ++i)
        ProbeFolder(node->child(i));
}

// ---- Expanding ----------------------------------------------------------------------------------

bool Tdirtree::BeforeExpand(QTreeWidgetItem* node) {
    {
        Hourglass wait;
        ReadFolder(node);
        ProbeChildren(node);
    }
    bool allow = true;
    if (OnExpanding) OnExpanding(this, node, allow);
    return allow;
}

void Tdirtree::NodeExpanded(const QModelIndex& index) {
    QTreeWidgetItem* node = itemFromIndex(index);
    if (!node) return;
    if (!BeforeExpand(node)) {
        Vetoing = true;
        collapseItem(node);
        Vetoing = false;
        return;
    }
    emit itemExpanded(node);
}

void Tdirtree::NodeCollapsed(const QModelIndex& index) {
    if (Vetoing) return;
    if (QTreeWidgetItem* node = itemFromIndex(index)) emit itemCollapsed(node);
}

void Tdirtree::keyPressEvent(QKeyEvent* event) {
    // "*" opens the current node one level only: opening every level below would read the
    // whole drive (and never end in a folder that links back to itself).
    if (event->key() == Qt::Key_Asterisk) {
        if (QTreeWidgetItem* node = currentItem()) node->setExpanded(true);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

// ---- Showing nodes ------------------------------------------------------------------------------

void Tdirtree::scrollTo(const QModelIndex& index, ScrollHint hint) {
    QTreeWidget::scrollTo(index, hint);
    if (!index.isValid()) return;
    // The view only brings the column into view; a deep node's name lies further right. The
    // column's width and the scroll range follow the nodes now open, not at the next layout.
    header()->resizeSections(QHeaderView::ResizeToContents);
    updateGeometries();
    const QRect item = visualRect(index);
    if (item.isEmpty()) return;
    const int left = item.left() - indentation(); // the expand button belongs to the node
    const int right = item.left() + sizeHintForIndex(index).width();
    const int room = viewport()->width();
    int shift = 0;
    if (right - shift > room) shift = right - room;
    if (left - shift < 0) shift = left;
    if (shift != 0) horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
}

void Tdirtree::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
    const int step = indentation();
    if (step <= 0 || !index.isValid()) return;
    int depth = 0;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
        ++depth;
    const int middle = rect.top() + rect.height() / 2;
    auto column = [&](int level) { return rect.left() + level * step + step / 2; };
    auto hasNextSibling = [this](const QModelIndex& node) {
        return node.sibling(node.row() + 1, 0).isValid();
    };

    painter->save();
    QPen dotted(palette().color(QPalette::Dark), 1, Qt::CustomDashLine);
    dotted.setDashPattern({1.0, 1.0});
    painter->setPen(dotted);
    // The node's own column: up to its parent or the root before it, across to its picture,
    // and down to its next sibling.
    const int x = column(depth);
    const bool firstRoot = depth == 0 && index.row() == 0;
    if (!firstRoot) painter->drawLine(x, rect.top(), x, middle);
    if (hasNextSibling(index)) painter->drawLine(x, middle, x, rect.bottom());
    painter->drawLine(x, middle, rect.left() + (depth + 1) * step, middle);
    // The columns of the ancestors that have siblings still to come.
    int level = depth - 1;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent(), --level)
        if (hasNextSibling(up))
            painter->drawLine(column(level), rect.top(), column(level), rect.bottom());

    if (model()->hasChildren(index)) {
        const QRect box(x - 4, middle - 4, 8, 8);
        painter->setPen(palette().color(QPalette::Dark));
        painter->setBrush(palette().color(QPalette::Base));
        painter->drawRect(box);
        painter->setPen(palette().color(QPalette::Text));
        painter->drawLine(x - 2, middle, x + 2, middle);
        if (!isExpanded(index)) painter->drawLine(x, middle - 2, x, middle + 2);
    }
    painter->restore();
}

// ---- Selecting ----------------------------------------------------------------------------------

QTreeWidgetItem* Tdirtree::Selected() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.front();
}

void Tdirtree::AfterSelect(QTreeWidgetItem* node) {
    if (Destroying || !TreeReady) return;
    if (const tdirname* record = Record(node)) {
        const QString path = AsciiUpper(record->Path);
        const int drive = DriveIndex(path);
        if (drive >= 0) LastPaths[drive] = path;
    }
    if (OnChange) OnChange(this, node);
}

bool Tdirtree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (FReadonly) return false;
    return QTreeWidget::edit(index, trigger, event);
}

// ---- Directory ----------------------------------------------------------------------------------

QString Tdirtree::Directory() const {
    const tdirname* record = Record(Selected());
    return record ? record->Path : QStringLiteral("?");
}

QString Tdirtree::FolderOnDisk() const {
    const QTreeWidgetItem* node = Selected();
    return Record(node) ? static_cast<const TDirNode*>(node)->DiskPath : QString();
}

void Tdirtree::SetDirectory(const QString& value) {
    if (value == QLatin1String("?")) return;
    QString v = value;
    if (!v.isEmpty() && !v.endsWith(u'\\')) v += u'\\';
    if (v.size() != 3) {
        const uint32_t attributes = platform::FileAttributes(v.left(v.size() - 1));
        if (attributes == platform::INVALID_FILE_ATTRIBUTES ||
            !(attributes & platform::FILE_ATTRIBUTE_DIRECTORY))
            return;
    }
    if (!v.contains(u'\\')) return;
    // Before the control is first shown there are no drives yet: the folder is opened once they
    // are listed, so a host that sets it up early does not list the drives at start-up.
    if (!WindowCreated) {
        PendingDirectory = value;
        return;
    }

    Hourglass wait;
    BeginUpdate();
    const auto done = qScopeGuard([this] { EndUpdate(); });
    // Down from the drive, one listed folder at a time. A folder name may hold a "\", so the
    // next node is the one whose path begins the path sought; of names that differ only in case
    // the one spelled as given wins, and of nested candidates the longer name.
    QTreeWidgetItem* match = nullptr;
    for (;;) {
        const qsizetype start = match ? Record(match)->Path.size() : 0;
        QTreeWidgetItem* found = nullptr;
        bool foundExact = false;
        const int count = match ? match->childCount() : topLevelItemCount();
        for (int i = 0; i < count; ++i) {
            QTreeWidgetItem* candidate = match ? match->child(i) : topLevelItem(i);
            const tdirname* record = Record(candidate);
            if (!record || !v.startsWith(record->Path, Qt::CaseInsensitive)) continue;
            const bool exact = match && QStringView(v).mid(start, record->Path.size() - start -
                                                                      1) == candidate->text(0);
            const qsizetype length = record->Path.size();
            const qsizetype best = found ? Record(found)->Path.size() : 0;
            if (!found || (exact && !foundExact) || (exact == foundExact && length > best)) {
                found = candidate;
                foundExact = exact;
            }
        }
        match = found;
        if (!match) break;
        if (!Record(match)->Scanned) ReadFolder(match);
        if (Record(match)->Path.size() >= v.size()) break;
    }
    if (match) {
        setCurrentItem(match);
        scrollTo(indexFromItem(match), QAbstractItemView::PositionAtTop); // sideways too
    }
}

// ---- Rebuild ------------------------------------------------------------------------------------

void Tdirtree::Rebuild() {
    const QString old = Directory();
    LoadDrives();
    SetDirectory(old);
    if (topLevelItemCount() > 0 && !Selected()) SetDirectory(old.left(3));
    if (topLevelItemCount() == 0 || Selected()) return;

    // The first drive that was looked at, or the last drive.
    int index = 0;
    QTreeWidgetItem* drive = topLevelItem(0);
    while (drive->childCount() > 0 && IsUnreadMarker(drive->child(0)) &&
           index + 1 < topLevelItemCount())
        drive = topLevelItem(++index);
    const int letter = DriveIndex(Record(drive) ? Record(drive)->Path : QString());
    if (letter < 0) return;
    SetDirectory(LastPaths[letter]);
    if (Directory() != LastPaths[letter]) {
        if (Selected() == drive)
            AfterSelect(drive);
        else
            setCurrentItem(drive); // reported through AfterSelect
    }
}

// ---- Deleting -----------------------------------------------------------------------------------

void Tdirtree::NodeDeleted(Tdirtree* sender, QTreeWidgetItem* node) {
    if (node && node->type() == TDirNode::NodeType)
        static_cast<TDirNode*>(node)->PathRecord.reset();
    if (OnDeleteItem) OnDeleteItem(sender, node);
}

// ---- Properties and batches ---------------------------------------------------------------------

void Tdirtree::SetBorderStyle(TBorderStyle value) {
    FBorderStyle = value;
    setFrameShape(value == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void Tdirtree::SetDirType(tDirType value) {
    if (value == FDirType) return;
    FDirType = value;
    Rebuild();
}

void Tdirtree::SetAllowNetwork(bool value) {
    if (value == FAllowNetwork) return;
    FAllowNetwork = value;
    Rebuild();
}

void Tdirtree::SetGoBelowRecycleBin(bool value) {
    if (value == FGoBelowRecycleBin) return;
    FGoBelowRecycleBin = value;
    Rebuild();
}

void Tdirtree::BeginUpdate() {
    if (UpdateDepth++ == 0) setUpdatesEnabled(false);
}

void Tdirtree::EndUpdate() {
    if (UpdateDepth > 0 && --UpdateDepth == 0) setUpdatesEnabled(true);
}
