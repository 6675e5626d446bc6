// The about box.
#include "windows/Unit4.h"

#include "app/Globals.h"
#include "app/Version.h"
#include "controls/Bitmap.h"
#include "controls/Form.h"
#include "controls/Image.h"
#include "controls/Label.h"
#include "platform/Screen.h"
#include "platform/WindowSystem.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

constexpr int32_t Grey = 0x808080; // red, green and blue 128
constexpr int Middle = 125;        // every control is centred on this column

TLabel* MakeLine(QWidget* parent, const QString& text, int top) {
    auto* label = new TLabel(parent);
    label->SetFontColor(Grey);
    label->SetCaption(text);
    label->move(Middle - label->width() / 2, top);
    return label;
}

} // namespace

TDAbout::TDAbout() : TForm(nullptr, platform::DialogFlags) {
    DAbout = this;
    // Centred the first time it is shown; later showings keep the place where it was left.
    WhenCentred = Centring::FirstShow;
    setWindowTitle(QStringLiteral("About Vantrel..."));
    SetUpForm(this, QSize(250, 142), Qt::black);

    Image1 = new TImage(this);
    Image1->setGeometry(65, 10, 120, 64);
    Image1->SetPicture(BuiltInPicture(QStringLiteral(":/art/logo.bmp")));
    Image1->SetMeaning(QStringLiteral("Quillmoor logo"));
    Label1 =
        MakeLine(this, QStringLiteral("Vantrel " VANTREL_VERSION " (c) 1999-2002 Quillmoor"), 84);
    Label2 = MakeLine(this, QStringLiteral("All rights reserved."), 99);

    Edit1 = new QLineEdit(QStringLiteral("http://www.quillmoor.example/vantrel/"), this);
    Edit1->setGeometry(9, 120, 232, 15);
    Edit1->setFrame(false);
    Edit1->setReadOnly(true);
    Edit1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Edit1->setCursorPosition(0);
    QPalette field = Edit1->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        field.setColor(group, QPalette::Base, Qt::black);
        field.setColor(group, QPalette::Text, QColor(192, 192, 192));
    }
    Edit1->setPalette(field);
    QFont underlined = font();
    underlined.setUnderline(true);
    Edit1->setFont(underlined);
    // Tab passes the field by; a click puts the focus in it.
    Edit1->setFocusPolicy(Qt::ClickFocus);
    Edit1->setToolTip(QStringLiteral("Copy me in the clipboard"));
}

TDAbout::~TDAbout() {
    if (DAbout == this) DAbout = nullptr;
}

void TDAbout::showEvent(QShowEvent* event) {
    // The lines measure their text when first shown; centre them on the middle column then.
    for (TLabel* label : {Label1, Label2})
        label->move(Middle - label->width() / 2, label->y());
    QDialog::showEvent(event);
}

void TDAbout::keyPressEvent(QKeyEvent* event) {
    // The box has no keys of its own: Escape and Enter do not close it.
    QWidget::keyPressEvent(event);
}
