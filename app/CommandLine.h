#pragma once

#include <QString>
#include <QStringList>

// What the command line asks the program to do.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, SetWebPassword, Fail };
    Action action = Action::Run;
    QString camera;        // "demo", a file, a device node or a URL; "" for the stored camera
    bool headless = false; // --headless: no windows even with a display
    QString webUser;       // --set-web-password USER
    QString errorMessage;  // set when action is Fail
};

// Reads the options that follow the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// Overwrites the password of a --camera URL in the program's own arguments
// with "*", once it has been read: the process table (/proc/PID/cmdline)
// shows this memory to every local user.
void hideCameraPassword(int argc, char* argv[]);

// The text printed by --help.
QString commandLineUsage();

// The camera to watch first: --camera, else $HOUNDLY_CAMERA ("" = the stored camera or the driver search).
QString cameraToWatch(const CommandLine& commandLine);

// Whether the program watches without windows: --headless, or no display to show
// them on (neither DISPLAY nor WAYLAND_DISPLAY, or Qt told to draw off screen).
bool watchesHeadless(const CommandLine& commandLine);
