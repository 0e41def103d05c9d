#include "upload/FtpCommandLine.h"

#include "upload/FtpClient.h"
#include "upload/FtpScript.h"

#include <QFile>

#include <cstdio>

std::optional<FtpCommand> parseFtpCommandLine(const QStringList& arguments)
{
    FtpCommand command;
    QStringList rest = arguments;
    command.removeScript = rest.removeAll(QStringLiteral("--remove-script")) > 0;
    const bool ftps = rest.removeAll(QStringLiteral("--ftps")) > 0;
    const bool sftp = rest.removeAll(QStringLiteral("--sftp")) > 0;
    if (ftps && sftp)
        return std::nullopt;
    command.mode = ftps ? FtpMode::Ftps : sftp ? FtpMode::Sftp : FtpMode::Plain;
    if (rest.size() != 1 || !rest.front().startsWith(QLatin1String("-s:"), Qt::CaseInsensitive))
        return std::nullopt;
    QString path = rest.front().mid(3);
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return std::nullopt;
    command.scriptPath = path;
    return command;
}

std::optional<FtpMode> ftpModeOf(const QString& setting)
{
    if (setting.isEmpty())
        return FtpMode::Plain;
    if (setting.compare(QLatin1String("FTPS"), Qt::CaseInsensitive) == 0)
        return FtpMode::Ftps;
    if (setting.compare(QLatin1String("SFTP"), Qt::CaseInsensitive) == 0)
        return FtpMode::Sftp;
    return std::nullopt;
}

QStringList ftpModeArguments(FtpMode mode)
{
    switch (mode) {
    case FtpMode::Ftps:
        return {QStringLiteral("--ftps")};
    case FtpMode::Sftp:
        return {QStringLiteral("--sftp")};
    case FtpMode::Plain:
        break;
    }
    return {};
}

FtpExitStatus runFtpScriptFile(const FtpCommand& command, QString& reason)
{
    QFile file(command.scriptPath);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("cannot read script \"%1\": %2").arg(command.scriptPath, file.errorString());
        return kFtpUsageError;
    }
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    // One that cannot be removed here is removed by Houndly when the client ends.
    if (command.removeScript)
        file.remove();
    const FtpScriptParse parsed = parseFtpScript(text);
    if (!parsed.script) {
        reason = QStringLiteral("script \"%1\", %2").arg(command.scriptPath, parsed.error);
        return kFtpUsageError;
    }
    const FtpRunResult result = runFtpScript(*parsed.script, command.mode, [](const FtpStep& put) {
        // Told before the goodbye, which a server may leave unanswered.
        std::printf("stored %s\n", put.remoteName.toLocal8Bit().constData());
        std::fflush(stdout);
    });
    if (!result.ok) {
        reason = result.reason;
        return kFtpFailed;
    }
    return kFtpSucceeded;
}
