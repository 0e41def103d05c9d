#include "app/AppFonts.h"
#include "app/CommandLine.h"
#include "app/HelpFolder.h"
#include "app/MessageBox.h"
#include "app/ShutdownSignals.h"
#include "app/Version.h"
#include "app/WatchLog.h"
#include "app/frmSw_Mail.h"
#include "watch/Watcher.h"
#include "capture/DriverRegistry.h"
#include "mail/MailMessageBox.h"
#include "settings/AppPaths.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kExitFailure = 1;
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
    case CommandLine::Action::Run:
        break;
    }

    // Headless, the same windows run unseen on Qt's offscreen platform, so watching
    // takes the same road with or without a desktop.
    const bool headless = watchesHeadless(commandLine);
    if (headless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("houndly"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwell.houndly"));
    useJapaneseFonts();
    setPreferredCamera(cameraToWatch(commandLine));
    installHelpFolder(shippedHelpFolder(), QDir(appFolder()).filePath(QStringLiteral("help")));

    frmSw_Mail window;
    std::unique_ptr<WatchLog> log;
    if (headless) {
        window.watchHeadless();
        log = std::make_unique<WatchLog>(stdout, window.watcher().events());
        const auto toLog = [&log](QWidget*, QMessageBox::Icon icon, const QString&, const QString& text) {
            log->write(messageLine(icon, text));
        };
        setMessageBoxHandler(toLog);
        setMailMessageHandler(toLog);
    }
    // A terminal's Ctrl+C or the session's SIGTERM closes the window like its close box.
    ShutdownSignals signals_([&window] { window.close(); });
    switch (window.startUp()) {
    case frmSw_Mail::StartResult::Ready:
        break;
    case frmSw_Mail::StartResult::Closed:
        return 0;
    case frmSw_Mail::StartResult::SettingsUnreadable:
    case frmSw_Mail::StartResult::NoDriver:
        return kExitFailure;
    }
    if (!headless)
        window.show();
    return QApplication::exec();
}
