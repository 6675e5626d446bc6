// What the windows share program-wide: the one reference to each window, their creation order, and
// the types of the state the bar owns (the settings record and the memory figures).
#pragma once

#include "platform/MemoryStatus.h"

#include <QString>
#include <cstdint>
#include <functional>

class TVantrel;
class TFDetails;
class TDPrefs;
class TDAbout;

// The screen edge the bar is held against (BarPos). The numbers are the ones the settings store;
// a stored number outside 1..4 names no edge.
enum class BarEdge : int32_t { Top = 1, Right = 2, Bottom = 3, Left = 4 };

// The one settings record; with the bar's Top and Left they are the ten persisted values.
struct TBarPrefs {
    int32_t TimerDelay = 0;
    int32_t Aot = 0;
    int32_t NoMove = 0;
    int32_t BarPos = 0; // a BarEdge
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

// One reference to each window, set as each is created; the windows reach each other (and the
// state each owns) through them.
extern TVantrel* Vantrel;
extern TFDetails* FDetails;
extern TDPrefs* DPrefs;
extern TDAbout* DAbout;

// Creates the bar, and destroys all four windows. The other windows come into being the first
// time they are needed (DetailsWindow, PrefsDialog, AboutBox): most runs never open them. The
// details window is made wherever it loads a scheme with files of its own (face or text colour):
// at start-up, before the bar shows (afterBar, where the program shows it), and on a reload
// (LoadDetailsScheme). Made on first need, it shows the built-in look, which is what a window
// made at start-up would show then: every scheme it would have loaded had no files for it.
void CreateForms(const std::function<void()>& afterBar = {});
void DestroyForms();
TFDetails* DetailsWindow();
TDPrefs* PrefsDialog();
TDAbout* AboutBox();
// Reloads the details window's scheme (after OK, on a double click in the scheme list). A fault
// in its files ends the command that asked, whether the window existed before or not.
void LoadDetailsScheme();
