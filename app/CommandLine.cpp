#include "app/CommandLine.h"

#include "app/Version.h"

namespace {

CommandLine failure(const QString& message)
{
    CommandLine result;
    result.action = CommandLine::Action::Fail;
    result.errorMessage = message;
    return result;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.action = CommandLine::Action::ShowHelp;
        } else if (argument == QLatin1String("--version")) {
            result.action = CommandLine::Action::ShowVersion;
        } else if (argument == QLatin1String("--headless")) {
            result.headless = true;
        } else if (argument == QLatin1String("--camera")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
                return failure(QStringLiteral("--camera needs a value: demo, a video file or a device node"));
            result.camera = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--camera="))) {
            result.camera = argument.mid(9);
            if (result.camera.isEmpty())
                return failure(QStringLiteral("--camera needs a value: demo, a video file or a device node"));
        } else {
            return failure(QStringLiteral("unknown option: %1").arg(argument));
        }
    }
    return result;
}

QString commandLineUsage()
{
    return QStringLiteral(
               "Usage: houndly [--camera demo|PATH] [--headless] [--help] [--version]\n"
               "\n"
               "Watches one camera and raises an alarm when the scene changes.\n"
               "\n"
               "  --camera demo   use the built-in demo scene as the first camera\n"
               "  --camera PATH   use a video file or a device node (/dev/videoN) as the first camera\n"
               "  --headless      watch without windows, one line per event on standard output\n"
               "  --help          show this text and exit\n"
               "  --version       show the version and exit\n"
               "\n"
               "Without --camera, $HOUNDLY_CAMERA, then the camera stored in houndly.ini, then\n"
               "the first V4L2 camera that answers is used. Without a display Houndly watches\n"
               "headless. Settings and pictures live in $HOUNDLY_HOME when it is set.\n");
}

QString cameraToWatch(const CommandLine& commandLine)
{
    return commandLine.camera.isEmpty() ? qEnvironmentVariable("HOUNDLY_CAMERA") : commandLine.camera;
}

bool watchesHeadless(const CommandLine& commandLine)
{
    if (commandLine.headless)
        return true;
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (!platform.isEmpty())
        return platform.startsWith(QLatin1String("offscreen")) || platform.startsWith(QLatin1String("minimal"));
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
