// What the program is called, and the command line read before anything needs a display.
#include "app/CommandLine.h"
#include "app/Version.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <cstdio>

void DescribeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Vantrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmoor"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillmoor.github.io"));
    QGuiApplication::setDesktopFileName(QLatin1String(AppId));
}

CommandLineOutcome ParseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options are single-dash words (-session); -h and -v stay what they are.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Shows the physical memory load as a small skinned bar on the desktop.\n"
                       "Settings: ${XDG_CONFIG_HOME:-~/.config}/vantrel/HKEY_CURRENT_USER.reg\n"
                       "See vantrel(1) for schemes, signals and exit statuses."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    QCommandLineOption session(QStringLiteral("session"), QString(), QStringLiteral("id"));
    session.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, session});

    const auto error = [](const QString& what) {
        return CommandLineOutcome{2, QString(),
                                  QStringLiteral("vantrel: %1 Try 'vantrel --help'.\n").arg(what)};
    };
    if (!parser.parse(arguments)) return error(parser.errorText());
    if (parser.isSet(help)) {
        // The usage line names the installed command, whatever path started this copy.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'), QStringLiteral("Usage: vantrel [options]"));
        return {0, text, QString()};
    }
    if (parser.isSet(version)) return {0, QStringLiteral("vantrel " VANTREL_VERSION "\n"), {}};
    if (!parser.positionalArguments().isEmpty())
        return error(QStringLiteral("Unexpected argument '%1'.")
                         .arg(parser.positionalArguments().constFirst()));
    return {};
}

std::optional<int> ReadCommandLine(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOutcome outcome = ParseCommandLine(arguments);
    const QByteArray out = outcome.Out.toLocal8Bit(), err = outcome.Err.toLocal8Bit();
    bool written = std::fwrite(out.constData(), 1, out.size(), stdout) == size_t(out.size());
    written = std::fflush(stdout) == 0 && written;
    std::fwrite(err.constData(), 1, err.size(), stderr);
    if (outcome.ExitStatus == 0 && !written) {
        std::fprintf(stderr, "vantrel: cannot write to the standard output\n");
        return 1;
    }
    return outcome.ExitStatus;
}
