// houndly-ftp: uploads files as a command script says, e.g.
//   houndly-ftp -s:"/path/FTP_PUT.txt", or over TLS or SSH with --ftps or --sftp
#include "upload/FtpCommandLine.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const std::optional<FtpCommand> command = parseFtpCommandLine(application.arguments().mid(1));
    if (!command) {
        std::fputs("usage: houndly-ftp [--remove-script] [--ftps | --sftp] -s:SCRIPT\n", stderr);
        return kFtpUsageError;
    }
    QString reason;
    const FtpExitStatus status = runFtpScriptFile(*command, reason);
    if (status != kFtpSucceeded)
        std::fprintf(stderr, "houndly-ftp: %s\n", reason.toLocal8Bit().constData());
    return status;
}
