#include "app/CommandLine.h"

#include "app/Version.h"
#include "settings/CameraUrlPassword.h"

#include <cstring>

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
        } else if (argument == QLatin1String("--set-web-password")) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).startsWith(QLatin1String("--")))
                return failure(QStringLiteral("--set-web-password needs the user name"));
            result.action = CommandLine::Action::SetWebPassword;
            result.webUser = arguments.at(++i);
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

void hideCameraPassword(int argc, char* argv[])
{
    static constexpr char kJoined[] = "--camera=";
    for (int i = 1; i < argc; ++i) {
        char* value = nullptr;
        if (std::strcmp(argv[i], "--camera") == 0 && i + 1 < argc)
            value = argv[++i];
        else if (std::strncmp(argv[i], kJoined, sizeof kJoined - 1) == 0)
            value = argv[i] + sizeof kJoined - 1;
        if (value == nullptr)
            continue;
        // Read as Latin-1, one character per byte: the span is the bytes' own.
        const UrlPasswordSpan span = urlPasswordSpan(QString::fromLatin1(value));
        std::memset(value + span.start, '*', size_t(span.length));
    }
}

QString commandLineUsage()
{
    return QStringLiteral(
               "Usage: houndly [--camera demo|PATH|URL] [--headless] [--help] [--version]\n"
               "       houndly --set-web-password USER < file-with-the-password\n"
               "\n"
               "Watches one camera and raises an alarm when the scene changes.\n"
               "\n"
               "  --camera demo   use the built-in demo scene as the first camera\n"
               "  --camera PATH   use a video file or a device node (/dev/videoN) as the first camera\n"
               "  --camera URL    use a network camera (rtsp://, http://, https://)\n"
               "  --headless      watch without windows, one line per event on standard output\n"
               "  --set-web-password USER\n"
               "                  store the web view's account: the password is one line of\n"
               "                  standard input (not shown on a terminal); only its hashes are kept\n"
               "  --help          show this text and exit\n"
               "  --version       show the version and exit\n"
               "\n"
               "Without --camera, $HOUNDLY_CAMERA, then the camera stored in houndly.ini, then\n"
               "the first V4L2 camera that answers is used. A URL with a password is best given\n"
               "in $HOUNDLY_CAMERA or stored: other users can read the command line while it\n"
               "starts. Without a display Houndly watches headless. Settings and pictures live\n"
               "in $HOUNDLY_HOME when it is set.\n");
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
