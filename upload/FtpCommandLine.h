#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Exit statuses of houndly-ftp.
enum FtpExitStatus { kFtpSucceeded = 0, kFtpFailed = 1, kFtpUsageError = 2 };

// The command line "houndly-ftp [--remove-script] -s:SCRIPT" (quotes around
// SCRIPT allowed).
struct FtpCommand {
    QString scriptPath;
    // Houndly's own runs: the script, which holds the password, goes as soon as it is read.
    bool removeScript = false;
};
std::optional<FtpCommand> parseFtpCommandLine(const QStringList& arguments);

// Reads, checks and runs the script; on failure `reason` gets one line. Each
// file the server confirmed it stored is told at once on standard output:
// "stored NAME".
FtpExitStatus runFtpScriptFile(const FtpCommand& command, QString& reason);
