// Directory tree control.
#include "components/dirtree.h"

Tdirtree::Tdirtree(QWidget* owner) : QTreeWidget(owner) {}

Tdirtree::~Tdirtree() = default;

QString Tdirtree::Directory() const { return QStringLiteral("?"); }

void Tdirtree::SetDirectory(const QString&) {}
