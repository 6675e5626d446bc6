// Where the program's windows go on the monitors: the bar's first place and its edges, a bar
// brought back into sight, the details window beside the bar and a dialog centred on a monitor.
// Monitors are given as rectangles in desktop pixels, the primary one first.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>

// The bar's place at a first run: centred at the top of the primary monitor.
QPoint FirstRunPlace(QRect primary, QSize bar);

// Where a bar at position lies once held against the edge of the primary monitor that barPos
// names (1 top, 2 right, 3 bottom, 4 left), the coordinate along the edge kept; none for any
// other barPos.
std::optional<QPoint> OnEdge(int32_t barPos, QPoint position, QSize bar, QRect primary);

// Where a window is to be shown: where it is when any pixel of it lies on a monitor, otherwise
// the nearest place wholly on the nearest monitor (its top-left corner on the monitor's when it
// is larger). With no monitor it stays where it is.
QPoint InSight(QRect window, const QList<QRect>& monitors);

// The monitor a window lies on: the one it covers most, or the nearest; none without monitors.
std::optional<QRect> MonitorOf(QRect window, const QList<QRect>& monitors);

// The details window's place: right under the bar, left edges aligned (its top 21 below the
// bar's top). Where that does not lie wholly on the bar's monitor, right above the bar, its bottom
// on the bar's top, if that does; where neither does, the one that shows more of it.
QPoint DetailsPlace(QRect bar, QSize details, const QList<QRect>& monitors);

// The top-left corner of a window of the outer size centred on a monitor.
QPoint CentredOn(QRect monitor, QSize outer);
