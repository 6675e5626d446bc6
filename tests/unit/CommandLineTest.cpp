// The command line: what ends the program before it starts, with which status and which text.
#include "app/CommandLine.h"
#include "app/Version.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    QStringList Args;          // after the program's name
    std::optional<int> Status; // none: the program goes on starting
    QString Out, Err;          // texts the output must contain ("" for no output at all)
};

TEST(CommandLine, StatusAndTextForEachKindOfArgument) {
    const QString version = QStringLiteral("vantrel " VANTREL_VERSION "\n");
    const Row rows[] = {
        {{}, std::nullopt, {}, {}},
        // A session manager starting the program again adds Qt's -session.
        {{"-session", "10abc_1234"}, std::nullopt, {}, {}},
        {{"--session=10abc"}, std::nullopt, {}, {}},
        {{"--version"}, 0, version, {}},
        {{"-v"}, 0, version, {}},
        {{"--help"}, 0, "Usage: vantrel [options]\n", {}},
        {{"-h", "--version"}, 0, "Usage: vantrel [options]\n", {}},
        {{"--bogus"}, 2, {}, "vantrel: Unknown option 'bogus'. Try 'vantrel --help'.\n"},
        {{"--help", "--bogus"}, 2, {}, "'bogus'"},
        {{"-hv"}, 2, {}, "'hv'"},
        {{"-session"}, 2, {}, "'-session'"},
        {{"notes.txt"}, 2, {}, "vantrel: Unexpected argument 'notes.txt'. Try 'vantrel --help'.\n"},
        {{"--", "--version"}, 2, {}, "'--version'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Args.join(u' ').toStdString());
        const CommandLineOutcome got = ParseCommandLine(QStringList{"/usr/bin/vantrel"} + row.Args);
        EXPECT_EQ(got.ExitStatus, row.Status);
        if (row.Out.isEmpty())
            EXPECT_TRUE(got.Out.isEmpty()) << got.Out.toStdString();
        else
            EXPECT_TRUE(got.Out.contains(row.Out)) << got.Out.toStdString();
        if (row.Err.isEmpty())
            EXPECT_TRUE(got.Err.isEmpty()) << got.Err.toStdString();
        else {
            EXPECT_TRUE(got.Err.contains(row.Err)) << got.Err.toStdString();
            EXPECT_EQ(got.Err.count(u'\n'), 1) << "one line";
        }
    }
}

TEST(CommandLine, HelpNamesTheOptionsAUserMayGive) {
    const QString help = ParseCommandLine({"vantrel", "--help"}).Out;
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: vantrel [options]\n")))
        << help.toStdString();
    for (const char* shown : {"-h, --help", "-v, --version", "HKEY_CURRENT_USER.reg", "vantrel(1)"})
        EXPECT_TRUE(help.contains(QLatin1String(shown))) << shown;
    // Qt's own options are not the user's business.
    for (const char* hidden : {"session", "help-all", "<executable_name>"})
        EXPECT_FALSE(help.contains(QLatin1String(hidden))) << hidden;
}

} // namespace
