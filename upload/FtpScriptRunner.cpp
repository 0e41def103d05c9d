#include "upload/FtpScriptRunner.h"

#include "settings/CommonHelpers.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString FtpScriptDir;
QString FtpHost;
QString FtpUser;
QString FtpPassword;
QString FtpClientProgram;
int FtpClientTimeLimitMs = 10 * 60 * 1000;

namespace {

const QString kScriptName = QStringLiteral("FTP_PUT.txt");

QString clientProgram()
{
    if (!FtpClientProgram.isEmpty())
        return FtpClientProgram;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/houndly-ftp");
}

// The script holds the password: only the user may read it, from its creation on.
bool writePrivateFile(const QString& path, const QByteArray& content)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                          S_IRUSR | S_IWUSR);
    if (fd < 0)
        return false;
    bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    for (qsizetype offset = 0; written && offset < content.size();) {
        const ssize_t count = ::write(fd, content.constData() + offset, static_cast<size_t>(content.size() - offset));
        written = count > 0;
        offset += count > 0 ? count : 0;
    }
    return ::close(fd) == 0 && written;
}

// Runs the client on the script and waits, pumping events, within the time limit.
bool runClient(const QString& scriptPath)
{
    QProcess client;
    startFtpClient(client, scriptPath);
    if (!client.waitForStarted())
        return false;
    if (!sWaitProcess(client, FtpClientTimeLimitMs)) {
        client.kill();
        client.waitForFinished();
        return false;
    }
    return ftpClientSucceeded(client);
}

}  // namespace

void startFtpClient(QProcess& client, const QString& scriptPath)
{
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.setStandardOutputFile(QProcess::nullDevice());
    client.start(clientProgram(), {QStringLiteral("-s:\"%1\"").arg(scriptPath)});
}

bool ftpClientSucceeded(const QProcess& client)
{
    return client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0;
}

bool isSingleLine(const QString& text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
}

QByteArray ftpPutScript(const QString& remoteName, const QString& localPath, const QString& remoteFolder,
                        const QString& mode)
{
    const QString local = localPath.isEmpty() ? remoteName : localPath;
    QStringList lines{QStringLiteral("open ") + FtpHost, FtpUser, FtpPassword};
    if (!remoteFolder.isEmpty())
        lines << QStringLiteral("CD ") + remoteFolder;
    lines << (mode.isEmpty() ? QStringLiteral("ascii") : mode);
    lines << QStringLiteral("PUT \"%1\" %2").arg(local, remoteName);
    lines << QStringLiteral("quit") << QString() << QString();
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QString sWriteFtpScript(const QString& remoteName, const QString& localPath, const QString& remoteFolder,
                        const QString& mode)
{
    for (const QString* value : std::initializer_list<const QString*>{&FtpHost, &FtpUser, &FtpPassword, &remoteName, &localPath, &remoteFolder, &mode}) {
        if (!isSingleLine(*value))
            return {};
    }
    if (!FtpScriptDir.endsWith(QLatin1Char('/')))
        FtpScriptDir += QLatin1Char('/');
    const QString scriptPath = FtpScriptDir + kScriptName;
    if (!writePrivateFile(scriptPath, ftpPutScript(remoteName, localPath, remoteFolder, mode))) {
        QFile::remove(scriptPath);
        return {};
    }
    return scriptPath;
}

bool sFtpPut(const QString& remoteName, const QString& localPath, const QString& remoteFolder, const QString& mode)
{
    const QString scriptPath = sWriteFtpScript(remoteName, localPath, remoteFolder, mode);
    if (scriptPath.isEmpty())
        return false;
    const bool uploaded = runClient(scriptPath);
    QFile::remove(scriptPath);
    return uploaded;
}
