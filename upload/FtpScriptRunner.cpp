#include "upload/FtpScriptRunner.h"

#include "settings/CommonHelpers.h"
#include "upload/FtpCommandLine.h"
#include "upload/FtpLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

QString FtpClientProgram;
int FtpClientTimeLimitMs = 10 * 60 * 1000;

namespace {

const QString kScriptName = QStringLiteral("FTP_PUT.txt");
// The client's reason is one line; more is not kept.
constexpr qsizetype kLongestReason = 4096;

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
FtpPutResult runClient(const QString& scriptPath, const FtpServer& server, QString& reason)
{
    QProcess client;
    startFtpClient(client, scriptPath, server);
    if (!client.waitForStarted()) {
        reason = ftpClientOutcome(client).reason;
        return {};
    }
    const ProcessWait wait = sWaitProcess(client, FtpClientTimeLimitMs);
    if (wait != ProcessWait::Ended) {
        client.kill();
        client.waitForFinished();
    }
    const FtpClientOutcome outcome = ftpClientOutcome(client);
    if (outcome.uploaded || wait == ProcessWait::Ended)
        reason = outcome.reason;
    else if (wait == ProcessWait::Interrupted)
        reason = kEndedByClosing;
    else
        reason = QStringLiteral("no end within %1 s: stopped").arg(FtpClientTimeLimitMs / 1000);
    return {outcome.uploaded, !outcome.uploaded && wait == ProcessWait::Interrupted, reason};
}

// A folder with a blank is one word to the client only inside quotes.
QString scriptWord(const QString& text)
{
    const bool hasBlank = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
    return hasBlank ? QLatin1Char('"') + text + QLatin1Char('"') : text;
}

QString scriptPathIn(const FtpServer& server)
{
    return QDir(server.scriptFolder).filePath(kScriptName);
}

}  // namespace

void startFtpClient(QProcess& client, const QString& scriptPath, const FtpServer& server)
{
    const pid_t houndly = ::getpid();
    // The client ends with the program, however the program ends, so that no
    // orphan goes on with the password; one whose parent is already gone stops at once.
    client.setChildProcessModifier([houndly] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != houndly)
            ::_exit(kFtpUsageError);
    });
    const QStringList modeArguments = ftpModeArguments(ftpModeOf(server.encryption).value_or(FtpMode::Plain));
    client.start(clientProgram(), QStringList{QStringLiteral("--remove-script")} + modeArguments +
                                      QStringList{QStringLiteral("-s:\"%1\"").arg(scriptPath)});
}

FtpClientOutcome ftpClientOutcome(QProcess& client)
{
    if (client.error() == QProcess::FailedToStart)
        return {false, QStringLiteral("cannot start %1: %2").arg(client.program(), client.errorString())};
    const QByteArray said = client.readAllStandardError();
    std::fwrite(said.constData(), 1, size_t(said.size()), stderr);
    // A file the server confirmed is uploaded, whatever became of the goodbye.
    const bool stored = client.readAllStandardOutput().startsWith("stored ");
    if (stored || (client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0))
        return {true, {}};
    if (client.exitStatus() != QProcess::NormalExit)
        return {false, QStringLiteral("the client did not end by itself")};
    const QString reason = QString::fromUtf8(said.left(kLongestReason)).trimmed();
    return {false, reason.isEmpty() ? QStringLiteral("the client ended with status %1").arg(client.exitCode()) : reason};
}

bool isSingleLine(const QString& text)
{
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
}

QByteArray ftpPutScript(const FtpServer& server, const QString& remoteName, const QString& localPath,
                        const QString& remoteFolder, const QString& mode)
{
    const QString local = localPath.isEmpty() ? remoteName : localPath;
    QStringList lines{QStringLiteral("open ") + server.host, server.user, server.password};
    if (!remoteFolder.isEmpty())
        lines << QStringLiteral("CD ") + scriptWord(remoteFolder);
    lines << (mode.isEmpty() ? QStringLiteral("ascii") : mode);
    lines << QStringLiteral("PUT \"%1\" %2").arg(local, remoteName);
    lines << QStringLiteral("quit") << QString() << QString();
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

QString ftpScriptRefusal(const FtpServer& server, const QString& remoteName, const QString& localPath,
                         const QString& remoteFolder, const QString& mode)
{
    const std::pair<const char*, const QString*> fields[] = {
        {"host", &server.host},      {"user", &server.user},     {"password", &server.password},
        {"remote name", &remoteName}, {"local path", &localPath}, {"remote folder", &remoteFolder},
        {"mode", &mode}};
    for (const auto& [name, value] : fields) {
        if (!isSingleLine(*value))
            return QStringLiteral("refused: the %1 holds a line break").arg(QLatin1String(name));
    }
    // A mistyped mode never falls back to sending in clear.
    if (!ftpModeOf(server.encryption))
        return QStringLiteral("refused: the encryption \"%1\" is none of FTPS, SFTP").arg(server.encryption);
    return {};
}

QString sWriteFtpScript(const FtpServer& server, const QString& remoteName, const QString& localPath,
                        const QString& remoteFolder, const QString& mode)
{
    if (!ftpScriptRefusal(server, remoteName, localPath, remoteFolder, mode).isEmpty())
        return {};
    const QString scriptPath = scriptPathIn(server);
    if (!writePrivateFile(scriptPath, ftpPutScript(server, remoteName, localPath, remoteFolder, mode))) {
        QFile::remove(scriptPath);
        return {};
    }
    return scriptPath;
}

FtpPutResult ftpPut(const FtpServer& server, const QString& remoteName, const QString& localPath,
                    const QString& remoteFolder, const QString& mode)
{
    FtpUploadRecord record{server.host, remoteFolder, remoteName, localPath.isEmpty() ? remoteName : localPath, false,
                           ftpScriptRefusal(server, remoteName, localPath, remoteFolder, mode)};
    FtpPutResult result;
    if (record.reason.isEmpty()) {
        const QString scriptPath = sWriteFtpScript(server, remoteName, localPath, remoteFolder, mode);
        if (scriptPath.isEmpty()) {
            record.reason = QStringLiteral("cannot write the script %1").arg(scriptPathIn(server));
        } else {
            result = runClient(scriptPath, server, record.reason);
            record.uploaded = result.uploaded;
            QFile::remove(scriptPath);
        }
    }
    appendFtpLog(QDir(server.scriptFolder).filePath(kFtpLogName), record);
    result.reason = record.reason;
    return result;
}

bool sFtpPut(const FtpServer& server, const QString& remoteName, const QString& localPath,
             const QString& remoteFolder, const QString& mode)
{
    return ftpPut(server, remoteName, localPath, remoteFolder, mode).uploaded;
}
