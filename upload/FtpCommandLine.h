#pragma once

#include "upload/FtpScript.h"

#include <QString>
#include <QStringList>

#include <optional>

// Exit statuses of houndly-ftp.
enum FtpExitStatus { kFtpSucceeded = 0, kFtpFailed = 1, kFtpUsageError = 2 };

// The command line "houndly-ftp [--remove-script] [--ftps | --sftp] -s:SCRIPT"
// (quotes around SCRIPT allowed).
struct FtpCommand {
    QString scriptPath;
    // Houndly's own runs: the script, which holds the password, goes as soon as it is read.
    bool removeScript = false;
    FtpMode mode = FtpMode::Plain;
};
std::optional<FtpCommand> parseFtpCommandLine(const QStringList& arguments);

// The mode FTPMODE names: "" plain FTP, "FTPS" or "SFTP" in any case; none for another text.
std::optional<FtpMode> ftpModeOf(const QString& setting);
// houndly-ftp's option for the mode ("--ftps", "--sftp"); none for plain FTP.
QStringList ftpModeArguments(FtpMode mode);

// Reads, checks and runs the script; on failure `reason` gets one line. Each
// file the server confirmed it stored is told at once on standard output:
// "stored NAME".
FtpExitStatus runFtpScriptFile(const FtpCommand& command, QString& reason);
