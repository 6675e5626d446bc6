// The process heap: one arena for every thread, and giving freed memory back to the system.
#pragma once

namespace platform {

// Lets every thread allocate from the one heap. The program's threads (the window system's event
// reader, the session bus) allocate little, and an arena of their own each keeps pages resident
// for the little they allocated once. Call it first thing in main().
void UseOneHeap();

// Gives the heap's free pages back to the system (after start-up, after a window closed).
void ReleaseFreeHeap();

} // namespace platform
