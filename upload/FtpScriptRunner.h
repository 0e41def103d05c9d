#pragma once

#include <QByteArray>
#include <QString>

// Set by the caller before every upload.
extern QString FtpScriptDir;  // folder of the script; gets a trailing "/"
extern QString FtpHost;
extern QString FtpUser;
extern QString FtpPassword;
// The FTP client program; empty means houndly-ftp beside the executable.
extern QString FtpClientProgram;

// The longest the client may run before it is ended (10 minutes).
extern int FtpClientTimeLimitMs;

// True when text holds no line break, so it cannot add lines to a script.
bool isSingleLine(const QString& text);

// The script "FTP_PUT.txt" as written for one upload (CR LF lines).
QByteArray ftpPutScript(const QString& remoteName, const QString& localPath, const QString& remoteFolder,
                        const QString& mode);

// Uploads one file by writing the script, running the client on it and
// deleting the script. An empty local path takes the remote name, an empty
// mode "ascii". True when the client ended with success; nothing is written
// when a value holds a line break.
bool sFtpPut(const QString& remoteName, const QString& localPath, const QString& remoteFolder,
             const QString& mode);
