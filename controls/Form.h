// What every window of the program shares: its fixed client size, its font ("MS Sans Serif" at
// 11 pixels), its background colour, no taskbar entry, and for the dialogs a place centred on
// the screen.
#pragma once

#include "platform/WindowSystem.h"

#include <QColor>
#include <QEvent>
#include <QSize>

class QWidget;

// Sets up a top-level window: fixed client size, the form font, the background colour (none:
// the style's), and no say in when the program quits.
void SetUpForm(QWidget* form, QSize client, QColor background = QColor());

// When a window centres itself on the screen (with the window manager's frame) as it is shown.
enum class Centring { Never, EveryShow, FirstShow };

// A window of the program (Base: QWidget or QDialog). Each native window it gets is kept off the
// taskbar; it centres itself as its Centring says.
template <class Base> class TForm : public Base {
public:
    using Base::Base;

    void setVisible(bool visible) override {
        if (!visible || this->isVisible()) {
            Base::setVisible(visible);
            return;
        }
        const bool centre =
            WhenCentred == Centring::EveryShow || (WhenCentred == Centring::FirstShow && !Centred);
        const bool aroundCentre = centre && platform::CentreOnScreen(this);
        Centred = Centred || centre;
        const platform::CentredMapping mapping(this, aroundCentre);
        Base::setVisible(true);
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::WinIdChange) NativeWindowMade();
        return Base::event(e);
    }
    // A new native window (the event also reports the old one's end): kept off the taskbar.
    virtual void NativeWindowMade() { platform::KeepOffTaskbar(this); }

    Centring WhenCentred = Centring::Never;

private:
    bool Centred = false;
};
