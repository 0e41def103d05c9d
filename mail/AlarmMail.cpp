#include "mail/AlarmMail.h"

#include "capture/JpegWriter.h"
#include "mail/MailLog.h"
#include "mail/MailTransport.h"
#include "mail/Snapshot.h"
#include "settings/Settings.h"

namespace {

// The writer's reason is kept in the mail log: the run ends silently on screen.
void logSnapshotFailure(const QString& path, int16_t code)
{
    MailExchangeLog log(mailLogPath(), QStringLiteral("SNAPSHOT"), path, {});
    log.finish(QStringLiteral("not written (%1) %2").arg(code).arg(jpegErrorText(code)));
}

}  // namespace

void sStartMailSend(const QImage& alarmFrame, const StatusText& showStatus, const std::function<bool()>& stopped)
{
    for (const MailTrigger& destination : Settings.TRG) {
        if (stopped())
            return;
        if (destination.ENABLED != QStringLiteral("True"))
            continue;
        showStatus(QStringLiteral("Houndly: ﾒｰﾙ送信中･･･"));
        QString attachment;
        if (destination.GRP == 1) {
            const QString path = snapshotPath(QStringLiteral("ALERT.jpg"));
            int16_t code = writeSnapshot(alarmFrame, destination.MINSIZE, destination.ARC, path);
            if (!GetJpegError(code)) {
                logSnapshotFailure(path, code);
                return;
            }
            attachment = path;
        }
        showStatus(QStringLiteral("自動ﾒｰﾙ送信中"));
        const bool sent = sSendMail(destination.MAILTO, destination.SUBJECT, destination.BODY, attachment);
        showStatus(sent ? QString() : QStringLiteral("ﾒｰﾙ送信ｴﾗｰでした。"));
    }
}
