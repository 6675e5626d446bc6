// An icon drawn from pictures of several sizes that are read only when a size is asked for.
#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// An icon made of square PNG pictures, one per size: QString(pattern).arg(size) names each
// (":/art/vantrel-%1.png"). Qt's own file icons decode every size as they are made and keep them
// all; this one reads the picture nearest the size asked for and keeps only the last one drawn.
QIcon ResourceIcon(const QString& pattern, const QList<int>& sizes);
