// Shape control: an invisible rectangle that catches the mouse (kept while a button is held) and
// can draw its outline by inverting the pixels under it.
#pragma once

#include <QAccessible>
#include <QWidget>
#include <functional>

class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);

    // X and Y are in the shape's own coordinates.
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseUp;

    // What a screen reader is told of the shape (a plain area unless its owner says more): its
    // role and name, a description, for a level or progress bar its value and range, and what
    // its default action (a button's press) does.
    struct Accessibility {
        QAccessible::Role Role = QAccessible::Client;
        QString Name;
        std::function<QString()> Description;
        std::function<int()> Value;
        int Minimum = 0;
        int Maximum = 100;
        std::function<void()> Press;
    } Accessible;

    // The inverted outline (off at rest).
    bool OutlineVisible() const { return Outline; }
    void SetOutlineVisible(bool on);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool Outline = false;
};
