#include "app/HeadlessWatch.h"

#include "app/HelpFolder.h"
#include "app/ShutdownSignals.h"
#include "app/UnreadableSettings.h"
#include "capture/DriverRegistry.h"
#include "notify/MqttLink.h"
#include "settings/AppFolderTidy.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "translations/Language.h"
#include "watch/WatchLog.h"
#include "watch/Watcher.h"
#include "web/WebView.h"

#include <QCoreApplication>
#include <QDir>

namespace {

constexpr int kExitFailure = 1;

}  // namespace

int runHeadless(int& argc, char** argv, const CommandLine& commandLine)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("houndly"));
    useStartUpLanguage();
    setPreferredCamera(cameraToWatch(commandLine));
    installHelpFolder(shippedHelpFolder(), QDir(appFolder()).filePath(QStringLiteral("help")));

    Watcher watcher;
    WatchLog log(stdout, watcher.events());
    // While closing the Stopped line tells it.
    setSaveFailureNotice([&](const QString& message) {
        if (!watcher.isClosing())
            log.write(messageLine(MessageKind::Warning, message));
    });
    // A terminal's Ctrl+C or the session's SIGTERM ends watching wherever it stands.
    ShutdownSignals signals_([&watcher] {
        watcher.shutDown();
        QCoreApplication::quit();
    });

    tidyAppFolder();
    ReadProblem problem = ReadProblem::None;
    int exitCode = kExitFailure;
    if (!sLoadSettings(&problem)) {
        if (problem != ReadProblem::None)
            log.write(messageLine(MessageKind::Error,
                                  reportUnreadableSettings(appFilePath(QStringLiteral("houndly.ini")), problem)));
    } else {
        // Without a camera named at start, the one stored last.
        if (preferredCamera().isEmpty())
            setPreferredCamera(Settings.EXT.CAMERA);
        if (!watcher.connectCamera()) {
            log.write(messageLine(MessageKind::Error, noDriverFoundText()));
            watcher.shutDown();
        } else {
            watcher.startWatching();
            // The web page's and the broker's switch.
            const auto switchFrom = [&watcher, &log](const QString& source) {
                return [&watcher, &log, source](bool watch) {
                    if (watch == watcher.isWatching())
                        return;
                    watch ? watcher.resume() : watcher.suspend();
                    log.write(watch ? QStringLiteral("watching again, switched on from %1").arg(source)
                                    : QStringLiteral("watching stopped from %1").arg(source));
                };
            };
            const auto writeLine = [&log](const QString& line) { log.write(line); };
            WebView web(watcher);
            QObject::connect(&web, &WebView::told, &web, writeLine);
            QObject::connect(&web, &WebView::watchRequested, &web, switchFrom(QStringLiteral("the web view")));
            if (const QString line = web.start(); !line.isEmpty())
                log.write(line);
            MqttLink mqtt(watcher);
            QObject::connect(&mqtt, &MqttLink::told, &mqtt, writeLine);
            QObject::connect(&mqtt, &MqttLink::watchRequested, &mqtt, switchFrom(QStringLiteral("MQTT")));
            if (const QString line = mqtt.start(); !line.isEmpty())
                log.write(line);
            exitCode = QCoreApplication::exec();
        }
    }
    setSaveFailureNotice({});
    return exitCode;
}
