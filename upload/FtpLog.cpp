#include "upload/FtpLog.h"

#include "settings/PrivateFiles.h"

#include <QDateTime>
#include <QStringList>

namespace {

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1String("\\r")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

}  // namespace

bool appendFtpLog(const QString& logPath, const FtpUploadRecord& record)
{
    const QString remotePath =
        record.remoteFolder.isEmpty() ? record.remoteName : record.remoteFolder + QLatin1Char('/') + record.remoteName;
    QStringList reasonLines;
    for (const QString& line : record.reason.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty())
            reasonLines << line.trimmed();
    }
    const QString reason = reasonLines.join(QLatin1String("; "));
    QStringList lines{
        QStringLiteral("---- %1 FTP %2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), oneLine(record.host)),
        QStringLiteral("* PUT \"%1\" %2").arg(oneLine(record.localPath), oneLine(remotePath)),
        record.uploaded ? QStringLiteral("= uploaded") : QStringLiteral("= not uploaded: ") + oneLine(reason)};
    return appendToPrivateFile(logPath, (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}
