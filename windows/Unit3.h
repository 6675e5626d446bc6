// The memory details window: total, load and free figures on a scheme face, closable and movable.
#pragma once

#include "controls/Form.h"

#include <QWidget>
#include <cstdint>

class TImage;
class TLabel;
class TShape;
struct MemoryTexts;

class TFDetails : public TForm<QWidget> {
    Q_OBJECT
public:
    // How a new window first looks. Scheme: the creation handler loads the scheme named by Dir
    // and Scheme, and reports what fails (at start-up). BuiltIn: the built-in face and black
    // text, the look every scheme without files of its own gives; nothing is read, nothing fails.
    enum class FirstLook { Scheme, BuiltIn };
    explicit TFDetails(FirstLook look = FirstLook::Scheme);
    ~TFDetails() override;

    // Controls from the bottom of the stacking order to the top.
    TImage* IDetails;    // the face (details.bmp)
    TLabel* Label1;      // "Total :"
    TLabel* Label2;      // "Load :"
    TLabel* Label3;      // "Free :"
    TLabel* Label4;      // the total figure
    TLabel* Label5;      // the load figure
    TLabel* Label6;      // the free figure
    TShape* Shape1;      // the close box, top left
    TImage* res_details; // built-in details.bmp
    TShape* Shape2;      // the title strip the window is dragged by

    // The close box is held down; the title strip is being dragged from DetailsGrabX,
    // DetailsGrabY.
    bool ClosePressed = false;
    bool DetailsDragging = false;
    int32_t DetailsGrabX = 0;
    int32_t DetailsGrabY = 0;

    void FormCreate();
    void FormShow();
    void FormCloseQuery(bool& CanClose);
    void Shape1MouseDown(Qt::MouseButton Button, int X, int Y);
    void Shape1MouseMove(int X, int Y);
    void Shape1MouseUp(Qt::MouseButton Button, int X, int Y);
    void Shape2MouseDown(Qt::MouseButton Button, int X, int Y);
    void Shape2MouseMove(int X, int Y);
    void Shape2MouseUp(Qt::MouseButton Button, int X, int Y);

    // Applies the scheme's face and text colour (Dir and Scheme).
    void LoadScheme();
    // True when the scheme named by Dir and Scheme has a face or a text colour of its own.
    static bool SchemeHasFiles();
    // Sets the font colour of all six labels.
    void LoadTextColor(int32_t Color);
    // Writes the three figures.
    void SetFigures(const MemoryTexts& texts);

    // The close area: 0 < X < 10 and 0 < Y < 10 in the close box's coordinates.
    static bool InCloseArea(int X, int Y) { return X > 0 && X < 10 && Y > 0 && Y < 10; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
