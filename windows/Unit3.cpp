// The memory details window.
#include "windows/Unit3.h"

#include "app/Globals.h"
#include "app/Modal.h"
#include "app/Unit1.h"
#include "controls/Bitmap.h"
#include "controls/Form.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "controls/Shape.h"
#include "core/Figures.h"
#include "core/TextColor.h"
#include "platform/ErrorReport.h"
#include "platform/Files.h"
#include "platform/WindowSystem.h"

#include <QCloseEvent>

namespace {

TLabel* MakeLabel(QWidget* parent, int left, int top, const char* caption, bool bold) {
    auto* label = new TLabel(parent);
    label->move(left, top);
    if (bold) {
        QFont font = parent->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->SetCaption(QString::fromLatin1(caption));
    return label;
}

} // namespace

TFDetails::TFDetails(FirstLook look) : TForm(nullptr, Qt::Window | Qt::FramelessWindowHint) {
    FDetails = this;
    setWindowTitle(QStringLiteral("Memory Details"));
    SetUpForm(this, QSize(177, 73), palette().color(QPalette::Button));
    move(401, 128);

    IDetails = new TImage(this);
    IDetails->setGeometry(0, 0, 177, 73);
    Label1 = MakeLabel(this, 10, 20, "Total :", true);
    Label2 = MakeLabel(this, 10, 35, "Load :", true);
    Label3 = MakeLabel(this, 10, 50, "Free :", true);
    Label4 = MakeLabel(this, 52, 20, "Label4", false);
    Label5 = MakeLabel(this, 52, 35, "Label5", false);
    Label6 = MakeLabel(this, 52, 50, "Label6", false);
    Shape1 = new TShape(this);
    Shape1->setGeometry(1, 1, 12, 12);
    Shape1->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { Shape1MouseDown(b, x, y); };
    Shape1->OnMouseMove = [this](int x, int y) { Shape1MouseMove(x, y); };
    Shape1->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { Shape1MouseUp(b, x, y); };
    // The close box, to a screen reader: a button that closes the window when pressed.
    Shape1->Accessible.Role = QAccessible::Button;
    Shape1->Accessible.Name = QStringLiteral("Close");
    Shape1->Accessible.Press = [this] { close(); };
    res_details = new TImage(this);
    res_details->setGeometry(8, 79, 20, 20);
    res_details->SetPicture(BuiltInPicture(QStringLiteral(":/scheme/details.bmp")));
    res_details->hide();
    Shape2 = new TShape(this);
    Shape2->setGeometry(13, 2, 164, 10);
    Shape2->OnMouseDown = [this](Qt::MouseButton b, int x, int y) { Shape2MouseDown(b, x, y); };
    Shape2->OnMouseMove = [this](int x, int y) { Shape2MouseMove(x, y); };
    Shape2->OnMouseUp = [this](Qt::MouseButton b, int x, int y) { Shape2MouseUp(b, x, y); };

    if (look == FirstLook::BuiltIn) {
        IDetails->SetPicture(res_details->Picture());
        LoadTextColor(0);
    } else {
        platform::Guarded([this] { FormCreate(); });
    }
}

TFDetails::~TFDetails() {
    if (FDetails == this) FDetails = nullptr;
}

void TFDetails::FormCreate() {
    LoadScheme();
}

void TFDetails::FormShow() {
    ClosePressed = false;
}

void TFDetails::FormCloseQuery(bool& CanClose) {
    Vantrel->DetailsShown = false;
    Shape1->SetOutlineVisible(false);
    CanClose = true;
}

void TFDetails::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) platform::Guarded([this] { FormShow(); });
    QWidget::showEvent(event);
}

void TFDetails::closeEvent(QCloseEvent* event) {
    bool canClose = false;
    platform::Guarded([&] {
        bool allowed = true;
        FormCloseQuery(allowed);
        canClose = allowed;
    });
    if (canClose) {
        event->accept();
        ReleaseAfterWindow();
    } else {
        event->ignore();
    }
}

void TFDetails::Shape1MouseDown(Qt::MouseButton, int X, int Y) {
    ClosePressed = true;
    if (InCloseArea(X, Y)) Shape1->SetOutlineVisible(true);
}

void TFDetails::Shape1MouseMove(int X, int Y) {
    Shape1->SetOutlineVisible(ClosePressed && InCloseArea(X, Y));
}

void TFDetails::Shape1MouseUp(Qt::MouseButton, int X, int Y) {
    Shape1->SetOutlineVisible(false);
    ClosePressed = false;
    if (InCloseArea(X, Y)) close();
}

void TFDetails::Shape2MouseDown(Qt::MouseButton, int X, int Y) {
    DetailsDragging = true;
    DetailsGrabX = X;
    DetailsGrabY = Y;
}

void TFDetails::Shape2MouseMove(int X, int Y) {
    if (!DetailsDragging) return;
    move(x(), y() + Y - DetailsGrabY);
    move(x() + X - DetailsGrabX, y());
}

void TFDetails::Shape2MouseUp(Qt::MouseButton, int, int) {
    DetailsDragging = false;
}

namespace {

QString SchemeFile(const char* name) {
    return Vantrel->BarPrefs.Dir + Vantrel->BarPrefs.Scheme + u'\\' + QLatin1String(name);
}

} // namespace

bool TFDetails::SchemeHasFiles() {
    return platform::FileExists(SchemeFile("details.bmp")) ||
           platform::FileExists(SchemeFile("TextColor.txt"));
}

void TFDetails::LoadScheme() {
    const QString face = SchemeFile("details.bmp");
    const QString textColor = SchemeFile("TextColor.txt");
    const bool haveFace = platform::FileExists(face);
    const bool haveTextColor = platform::FileExists(textColor);
    // The face and the colour fall back each on its own.
    if (haveFace)
        IDetails->LoadFromFile(face);
    else
        IDetails->SetPicture(res_details->Picture());
    LoadTextColor(haveTextColor ? TextColorOf(platform::ReadFileStart(textColor, MaxTextColorRead))
                                : 0);
}

void TFDetails::LoadTextColor(int32_t Color) {
    for (TLabel* label : {Label1, Label2, Label3, Label4, Label5, Label6})
        label->SetFontColor(Color);
}

void TFDetails::SetFigures(const MemoryTexts& texts) {
    Label4->SetCaption(texts.Total);
    Label5->SetCaption(texts.Load);
    Label6->SetCaption(texts.Free);
}
