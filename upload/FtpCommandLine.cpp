#include "upload/FtpCommandLine.h"

#include "upload/FtpClient.h"
#include "upload/FtpScript.h"

#include <QFile>

std::optional<QString> ftpScriptArgument(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return std::nullopt;
    const QString& argument = arguments.front();
    if (!argument.startsWith(QLatin1String("-s:"), Qt::CaseInsensitive))
        return std::nullopt;
    QString path = argument.mid(3);
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

FtpExitStatus runFtpScriptFile(const QString& scriptPath, QString& reason)
{
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("cannot read script \"%1\": %2").arg(scriptPath, file.errorString());
        return kFtpUsageError;
    }
    const FtpScriptParse parsed = parseFtpScript(QString::fromUtf8(file.readAll()));
    if (!parsed.script) {
        reason = QStringLiteral("script \"%1\", %2").arg(scriptPath, parsed.error);
        return kFtpUsageError;
    }
    const FtpRunResult result = runFtpScript(*parsed.script);
    if (!result.ok) {
        reason = result.reason;
        return kFtpFailed;
    }
    return kFtpSucceeded;
}
