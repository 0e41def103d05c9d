#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Exit statuses of houndly-ftp.
enum FtpExitStatus { kFtpSucceeded = 0, kFtpFailed = 1, kFtpUsageError = 2 };

// The script path of "houndly-ftp -s:SCRIPT" (quotes around SCRIPT allowed).
std::optional<QString> ftpScriptArgument(const QStringList& arguments);

// Reads, checks and runs the script; on failure `reason` gets one line.
FtpExitStatus runFtpScriptFile(const QString& scriptPath, QString& reason);
