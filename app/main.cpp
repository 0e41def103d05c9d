#include "app/CommandLine.h"
#include "app/HeadlessWatch.h"
#include "app/Version.h"
#include "app/WindowsModule.h"
#include "web/WebPasswordCommand.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr int kExitUsage = 2;

QStringList optionsOf(int argc, char* argv[])
{
    QStringList options;
    for (int i = 1; i < argc; ++i)
        options << QString::fromLocal8Bit(argv[i]);
    return options;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Options are read before Qt sees them, so Qt's own options count as unknown.
    const CommandLine commandLine = parseCommandLine(optionsOf(argc, argv));
    hideCameraPassword(argc, argv);
    switch (commandLine.action) {
    case CommandLine::Action::Fail:
        std::fprintf(stderr, "houndly: %s\n%s", qPrintable(commandLine.errorMessage), qPrintable(commandLineUsage()));
        return kExitUsage;
    case CommandLine::Action::ShowHelp:
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return 0;
    case CommandLine::Action::ShowVersion:
        std::printf("%s %d.%d.%d\n", kAppTitle, kVersionMajor, kVersionMinor, kVersionRevision);
        return 0;
    case CommandLine::Action::SetWebPassword: {
        const QCoreApplication application(argc, argv);
        return setWebPassword(commandLine.webUser, stdin, stderr);
    }
    case CommandLine::Action::Run:
        break;
    }
    // Without a desktop no window is made: the watcher runs on its own.
    return watchesHeadless(commandLine) ? runHeadless(argc, argv, commandLine)
                                           : runWindowsModule(argc, argv, commandLine);
}
