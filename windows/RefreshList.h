// The scheme list of the preferences dialog, apart from the list control: the names it shows and
// the entry it selects.
#pragma once

#include <QString>
#include <QStringList>

// "<default>" and the name of every sub-folder of Folder (hidden ones too, "." and ".." left
// out), sorted without regard to case. Folder is used as the prefix of the listing pattern
// Folder + "*.*" unchanged; "<default>" alone when it cannot be listed.
QStringList SchemeNames(const QString& Folder);

// The index of the last name equal to Scheme with ASCII letters folded, or -1 when none is.
int SchemeIndex(const QStringList& Names, const QString& Scheme);
