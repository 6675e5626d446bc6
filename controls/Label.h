// Label control: one line of text sized to itself, drawn on a transparent background in a colour
// value that may name a system colour, resolved at each drawing.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>
#include <cstdint>

// A colour value: 0x00BBGGRR, or 0x80000000 + n for the system colour n (0 to 24), which is the
// matching colour of the palette given.
QColor ResolveColor(int32_t value, const QPalette& palette);

class TLabel : public QWidget {
    Q_OBJECT
public:
    explicit TLabel(QWidget* parent = nullptr);

    const QString& Caption() const { return Text; }
    // Sets the text; the label takes the width and height of it (measured once it is shown).
    void SetCaption(const QString& text);
    QSize sizeHint() const override;

    int32_t FontColor() const { return Color; }
    void SetFontColor(int32_t value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Fit();

    QString Text;
    int32_t Color = 0;
    bool NeedsFit = true;
};
