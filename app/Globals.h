// Program-wide state: the settings record, the memory figures, the window references.
#pragma once

#include "platform/MemoryStatus.h"

#include <QString>
#include <cstdint>
#include <functional>

class TVantrel;
class TFDetails;
class TDPrefs;
class TDAbout;

// The one settings record; with the bar's Top and Left they are the ten persisted values.
struct TBarPrefs {
    int32_t TimerDelay = 0;
    int32_t Aot = 0;
    int32_t NoMove = 0;
    int32_t BarPos = 0; // 1 top, 2 right, 3 bottom, 4 left
    int32_t FixPos = 0;
    int32_t BarTip = 0;
    QString Dir;
    QString Scheme;
};

// The last memory sample and the bar geometry derived from it.
struct TMemoryFigures {
    platform::MemoryStatus MemStatus;
    int32_t LoadPercent = 0; // 1 to 101
    int32_t BarWidth = 0;
    int32_t LastBarWidth = 0; // 0 forces the next run to redraw everything
    int32_t FullBarWidth = 0;
    double BarScale = 0;
};

extern TBarPrefs BarPrefs;
extern TMemoryFigures MemFig;
extern bool DetailsShown;

// Drag state of the bar.
extern bool Dragging;
extern int32_t PressX;
extern int32_t PressY;

// One reference to each window, set as each is created.
extern TVantrel* Vantrel;
extern TFDetails* FDetails;
extern TDPrefs* DPrefs;
extern TDAbout* DAbout;

// Creates the bar, and destroys all four windows. The other windows come into being the first
// time they are needed (DetailsWindow, PrefsDialog, AboutBox): most runs never open them. The
// details window is made at start-up only when the scheme brings files of its own for it, so
// that a fault in them is reported at start-up as before; the program shows the bar (afterBar)
// first, so that the bar is on screen sooner.
void CreateForms(const std::function<void()>& afterBar = {});
void DestroyForms();
TFDetails* DetailsWindow();
TDPrefs* PrefsDialog();
TDAbout* AboutBox();
// Gives the details window the scheme now in force: loads it into the window when the window
// exists, or makes the window when the scheme has files for it (their faults are reported now).
void LoadDetailsScheme();
// Puts every program-wide value back to its state at program start (zero, false, empty).
void ResetGlobals();
