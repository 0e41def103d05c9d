#include "app/WindowWatch.h"

#include "app/AppFonts.h"
#include "app/HelpFolder.h"
#include "app/ShutdownSignals.h"
#include "app/frmSw_Mail.h"
#include "capture/DriverRegistry.h"
#include "notify/MqttLink.h"
#include "settings/AppPaths.h"
#include "watch/Watcher.h"
#include "web/WebView.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

constexpr int kExitFailure = 1;

}  // namespace

int runWindows(int& argc, char** argv, const CommandLine& commandLine)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("houndly"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarnwell.houndly"));
    useFontsFor(useStartUpLanguage());
    setPreferredCamera(cameraToWatch(commandLine));
    installHelpFolder(shippedHelpFolder(), QDir(appFolder()).filePath(QStringLiteral("help")));

    frmSw_Mail window;
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
    WebView web(window.watcher());
    QObject::connect(&web, &WebView::watchRequested, &window, &frmSw_Mail::switchWatching);
    QObject::connect(&web, &WebView::told, &window, [&window](const QString& line) {
        std::fprintf(stderr, "houndly: %s\n", qPrintable(line));
        window.showWebView(line);
    });
    window.showWebView(web.start());
    MqttLink mqtt(window.watcher());
    QObject::connect(&mqtt, &MqttLink::watchRequested, &window, &frmSw_Mail::switchWatching);
    const auto tellMqtt = [&window](const QString& line) {
        std::fprintf(stderr, "houndly: %s\n", qPrintable(line));
        window.showMqtt(line);
    };
    QObject::connect(&mqtt, &MqttLink::told, &window, tellMqtt);
    if (const QString line = mqtt.start(); !line.isEmpty())
        tellMqtt(line);
    window.show();
    return QApplication::exec();
}
