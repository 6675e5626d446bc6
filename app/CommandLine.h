// What the program is called, and the command line read before anything needs a display.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The launcher entry, the icon and the software-centre metadata are all named after this id.
inline constexpr char AppId[] = "io.github.quillmoor.vantrel";

// Names the application, its version and its maker on the application object; call it once,
// before the application object is made.
void DescribeApplication();

// What reading the command line decided: go on starting (no status), or end with the status
// after printing the texts.
struct CommandLineOutcome {
    std::optional<int> ExitStatus;
    QString Out; // for stdout: the help or the version
    QString Err; // for stderr: one line saying what was wrong
};

// Reads the arguments (the program's name first). -h/--help and -v/--version end with status 0;
// an unknown option or any other argument ends with status 2. Qt's -session, which a session
// manager adds when it restarts the program, is let through to the application object.
CommandLineOutcome ParseCommandLine(const QStringList& arguments);

// ParseCommandLine on main's arguments, printing what it says; a failed write ends with status 1.
std::optional<int> ReadCommandLine(int argc, char* argv[]);
