// The process heap and stack: one arena for every thread, and giving unused memory back to the
// system.
#pragma once

namespace platform {

// Lets every thread allocate from the one heap. The program's threads (the window system's event
// reader, the session bus) allocate little, and an arena of their own each keeps pages resident
// for the little they allocated once. Call it first thing in main().
void UseOneHeap();

// Gives the heap's free pages back to the system (after start-up, after a window closed).
void ReleaseFreeHeap();

// Gives back the pages of the calling thread's stack below the current call (and a small margin):
// a deep call once (font set-up, drawing a dialog) leaves them resident, holding nothing. Call it
// from near the bottom of the call chain, such as a timer of the event loop.
void ReleaseUnusedStack();

} // namespace platform
