// Shape control on QWidget; Qt keeps the mouse with the pressed widget while a button is held.
#include "controls/Shape.h"

#include "controls/Accessible.h"

#include "platform/ErrorReport.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
    UseAccessibleControls();
}

void TShape::SetOutlineVisible(bool on) {
    if (Outline == on) return;
    Outline = on;
    update();
}

void TShape::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseDown) platform::Guarded([&] { OnMouseDown(event->button(), p.x(), p.y()); });
}

void TShape::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseMove) platform::Guarded([&] { OnMouseMove(p.x(), p.y()); });
}

void TShape::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) platform::Guarded([&] { OnMouseUp(event->button(), p.x(), p.y()); });
    // The window under the shape decides what a right click means (its pop-up menu).
    if (event->button() == Qt::RightButton) event->ignore();
}

void TShape::paintEvent(QPaintEvent*) {
    if (!Outline) return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    const int w = width(), h = height();
    // One-pixel frame, each pixel inverted once.
    painter.drawRect(0, 0, w, 1);
    if (h > 1) painter.drawRect(0, h - 1, w, 1);
    if (h > 2) {
        painter.drawRect(0, 1, 1, h - 2);
        if (w > 1) painter.drawRect(w - 1, 1, 1, h - 2);
    }
}
