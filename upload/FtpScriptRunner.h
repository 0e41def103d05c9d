#pragma once

#include <QByteArray>
#include <QString>

class QProcess;

// Where an upload goes and how: the FTP settings it was made with.
struct FtpServer {
    QString scriptFolder;  // where the script and the upload log are written (the application folder)
    QString host;          // "host [port]"
    QString user;
    QString password;
    QString encryption{};  // FTPMODE: "" plain FTP as described, "FTPS" or "SFTP"
};

// The FTP client program; empty means houndly-ftp beside the executable.
extern QString FtpClientProgram;

// The longest the client may run before it is ended (10 minutes).
extern int FtpClientTimeLimitMs;

// True when text holds no line break, so it cannot add lines to a script.
bool isSingleLine(const QString& text);

// The script "FTP_PUT.txt" as written for one upload (CR LF lines).
QByteArray ftpPutScript(const FtpServer& server, const QString& remoteName, const QString& localPath,
                        const QString& remoteFolder, const QString& mode);

// Why a script for these values must not be written: "refused: the host
// holds a line break" and the like, or an encryption that names none; ""
// when every value is a single line.
QString ftpScriptRefusal(const FtpServer& server, const QString& remoteName, const QString& localPath,
                         const QString& remoteFolder, const QString& mode);
// Writes "FTP_PUT.txt" in the server's script folder, readable by the user
// alone; its path, or "" (and no file) when the values are refused or it
// cannot be written.
QString sWriteFtpScript(const FtpServer& server, const QString& remoteName, const QString& localPath,
                        const QString& remoteFolder, const QString& mode);
// Starts the client on a script without waiting for it, telling it to remove
// the script once read and how to reach the server; the client is ended when
// the program ends, even by a kill.
void startFtpClient(QProcess& client, const QString& scriptPath, const FtpServer& server);

// How an ended client's upload came out: uploaded once the client told that the
// server stored the file, even when it was ended afterwards in its goodbye;
// otherwise why not: the client's own line from standard error (passed on to
// the program's standard error too), or what became of it.
struct FtpClientOutcome {
    bool uploaded = false;
    QString reason;
};
FtpClientOutcome ftpClientOutcome(QProcess& client);

// The reason of an upload that the program's close ended.
inline const QString kEndedByClosing = QStringLiteral("ended: the program is closing, sent again at the next start");

// How one upload came out.
struct FtpPutResult {
    bool uploaded = false;
    bool cut = false;  // ended by the program's close before the server had the file
    QString reason;    // why not, as the log has it; "" when uploaded
};

// Uploads one file by writing the script, running the client on it and
// deleting the script. An empty local path takes the remote name, an empty
// mode "ascii". Nothing is written when a value holds a line break. Every
// call, whatever its end, adds a record to kFtpLogName in the script folder.
FtpPutResult ftpPut(const FtpServer& server, const QString& remoteName, const QString& localPath,
                    const QString& remoteFolder, const QString& mode);
// The same, true when uploaded.
bool sFtpPut(const FtpServer& server, const QString& remoteName, const QString& localPath,
             const QString& remoteFolder, const QString& mode);
