// What every window of the program shares: its fixed client size, its font ("MS Sans Serif" at
// 11 pixels) and its background colour.
#pragma once

#include <QColor>
#include <QSize>

class QWidget;

// Sets up a top-level window: fixed client size, the form font, the background colour (none:
// the style's), and no say in when the program quits.
void SetUpForm(QWidget* form, QSize client, QColor background = QColor());
