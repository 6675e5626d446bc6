// Close requests from outside the program: termination signals, the session manager and the end
// of the display.
#pragma once

// From here on SIGTERM, SIGHUP and SIGINT close the bar the way Quit does (the settings are
// saved first), and the session manager's request to save before the session ends runs the
// same close query. A signal the program was started with ignored stays ignored. The end of the
// session cannot be refused: a save that fails is reported on standard error, the program still
// ends (with a non-zero status), and it ends within a few seconds whatever holds it up. When the
// display goes away the settings are saved as a close would save them before the program ends.
// Installed before any window is made, so that a signal during a start-up error box is answered
// too.
void InstallCloseRequests();

// Gives the three signals their default action back.
void RemoveCloseRequests();

// Runs the message loop until the program is to end and returns its exit status. A close request
// that came while the program was starting (behind an error box) is answered here, once the bar
// is up and every setting has been read.
int ExecUntilClosed();
