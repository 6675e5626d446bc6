// Close requests from outside the program: termination signals and the session manager.
#pragma once

// From here on SIGTERM, SIGHUP and SIGINT close the bar the way Quit does (the settings are
// saved first), and the session manager's request to save before the session ends runs the
// same close query. A signal the program was started with ignored stays ignored.
void InstallCloseRequests();

// Gives the three signals their default action back.
void RemoveCloseRequests();
