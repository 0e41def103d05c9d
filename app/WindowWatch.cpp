#include "app/WindowWatch.h"

#include "app/AppFonts.h"
#include "app/HelpFolder.h"
#include "app/ShutdownSignals.h"
#include "app/frmSw_Mail.h"
#include "capture/DriverRegistry.h"
#include "settings/AppPaths.h"

#include <QApplication>
#include <QDir>

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
    window.show();
    return QApplication::exec();
}
