// What the program's own controls tell assistive technology (screen readers), through Qt's
// accessibility interfaces.
#pragma once

class QWidget;

// Puts the interfaces of the label, image and shape controls and of the program's windows in
// place; every control calls it when it is made, and only the first call does anything. No
// assistive-technology connection is opened by it.
void UseAccessibleControls();

// Marks a window of the program: assistive technology sees it as a window named by its caption,
// or by the application's name when it has none.
void MarkAccessibleWindow(QWidget* window);

// Tells assistive technology, as Qt's own widgets do, that a control's name (its text) changed.
// Nothing happens while the control is hidden.
void AnnounceNameChange(QWidget* control);
// The same for the value of a level or progress bar.
void AnnounceValueChange(QWidget* control, int value);
