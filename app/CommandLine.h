#pragma once

#include <QString>
#include <QStringList>

// What the command line asks the program to do.
struct CommandLine {
    enum class Action { Run, ShowHelp, ShowVersion, Fail };
    Action action = Action::Run;
    QString camera;        // "demo", a file or a device node; "" for real cameras only
    QString errorMessage;  // set when action is Fail
};

// Reads the options that follow the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// The text printed by --help.
QString commandLineUsage();
