// The placement rules, on rectangles only.
#include "core/Placement.h"

#include <algorithm>

namespace {

// How far apart two rectangles are (squared; 0 when they touch or overlap).
int64_t Distance(QRect a, QRect b) {
    const int64_t dx = std::max({0, b.left() - a.right() - 1, a.left() - b.right() - 1});
    const int64_t dy = std::max({0, b.top() - a.bottom() - 1, a.top() - b.bottom() - 1});
    return dx * dx + dy * dy;
}

int64_t Area(QRect r) {
    return r.isEmpty() ? 0 : int64_t(r.width()) * r.height();
}

} // namespace

QPoint FirstRunPlace(QRect primary, QSize bar) {
    return QPoint(primary.left() + primary.width() / 2 - bar.width() / 2, primary.top());
}

std::optional<QPoint> OnEdge(int32_t barPos, QPoint position, QSize bar, QRect primary) {
    switch (barPos) {
    case 1:
        return QPoint(position.x(), primary.top());
    case 2:
        return QPoint(primary.left() + primary.width() - bar.width(), position.y());
    case 3:
        return QPoint(position.x(), primary.top() + primary.height() - bar.height());
    case 4:
        return QPoint(primary.left(), position.y());
    }
    return std::nullopt;
}

std::optional<QRect> MonitorOf(QRect window, const QList<QRect>& monitors) {
    std::optional<QRect> best;
    int64_t bestArea = 0;
    for (const QRect& m : monitors) {
        const int64_t area = Area(window.intersected(m));
        if (area > bestArea) best = m, bestArea = area;
    }
    if (best) return best;
    int64_t nearest = 0;
    for (const QRect& m : monitors) {
        const int64_t d = Distance(window, m);
        if (!best || d < nearest) best = m, nearest = d;
    }
    return best;
}

QPoint InSight(QRect window, const QList<QRect>& monitors) {
    for (const QRect& m : monitors)
        if (window.intersects(m)) return window.topLeft();
    const std::optional<QRect> m = MonitorOf(window, monitors);
    if (!m) return window.topLeft();
    // The larger window keeps its top-left corner on the monitor.
    return QPoint(std::max(m->left(), std::min(window.left(), m->right() + 1 - window.width())),
                  std::max(m->top(), std::min(window.top(), m->bottom() + 1 - window.height())));
}

QPoint DetailsPlace(QRect bar, QSize details, const QList<QRect>& monitors) {
    // 21 below the bar's top, whatever the bar's height.
    const QRect below(QPoint(bar.left(), bar.top() + 21), details);
    const std::optional<QRect> m = MonitorOf(bar, monitors);
    if (!m || m->contains(below)) return below.topLeft();
    const QRect above(QPoint(bar.left(), bar.top() - details.height()), details);
    if (m->contains(above)) return above.topLeft();
    return Area(above.intersected(*m)) > Area(below.intersected(*m)) ? above.topLeft()
                                                                     : below.topLeft();
}

QPoint CentredOn(QRect monitor, QSize outer) {
    return monitor.topLeft() +
           QPoint((monitor.width() - outer.width()) / 2, (monitor.height() - outer.height()) / 2);
}
