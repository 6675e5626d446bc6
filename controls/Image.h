// Image control: a picture drawn at natural size from the top-left corner and clipped, with
// auto-size and a see-through colour taken from the picture's bottom-left pixel.
#pragma once

#include <QPixmap>
#include <QWidget>

class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    // Takes the picture (shared, not copied); with AutoSize on, the control takes its size.
    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return Pic; }

    // Loads a BMP file (a path as the file layer understands it) as the picture. Raises
    // "Cannot open file %s" or "Bitmap image is not valid"; the picture is unchanged then.
    void LoadFromFile(const QString& path);

    bool AutoSize() const { return Auto; }
    // Switching it on resizes the control to its picture at once.
    void SetAutoSize(bool on);

    bool Transparent() const { return SeeThrough; }
    void SetTransparent(bool on);

    void SetWidth(int width) { resize(width, height()); }
    void SetLeft(int left) { move(left, y()); }
    // What the picture says, for a screen reader; empty for a picture that only decorates.
    const QString& Meaning() const { return Says; }
    void SetMeaning(const QString& text) { Says = text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Prepare();

    QPixmap Pic;
    QPixmap Drawn; // Pic, or Pic with its see-through colour masked out
    bool Auto = false;
    bool SeeThrough = false;
    QString Says;
};
