#include "mail/AlarmMail.h"

#include "capture/JpegWriter.h"
#include "mail/MailLog.h"
#include "mail/MailTransport.h"
#include "mail/Snapshot.h"
#include "settings/DiskSpace.h"
#include "settings/Settings.h"
#include "settings/WatchEvent.h"

namespace {

// The writer's reason is kept in the mail log: the run ends silently on screen.
void logSnapshotFailure(const QString& path, int16_t code)
{
    MailExchangeLog log(mailLogPath(), QStringLiteral("SNAPSHOT"), path);
    log.finish(QStringLiteral("not written (%1) %2").arg(code).arg(jpegErrorText(code)));
}

}  // namespace

void sStartMailSend(const QImage& alarmFrame, const StatusText& showStatus, const WatchTeller& tell,
                    const std::function<bool()>& stopped)
{
    for (int index = 0; index < int(std::size(Settings.TRG)); ++index) {
        const MailTrigger& destination = Settings.TRG[size_t(index)];
        if (stopped())
            return;
        if (destination.ENABLED != QStringLiteral("True"))
            continue;
        showStatus(QStringLiteral("Houndly: ﾒｰﾙ送信中･･･"));
        QString attachment;
        if (destination.GRP == 1) {
            const QString path = snapshotPath(QStringLiteral("ALERT.jpg"));
            int16_t code = writeSnapshot(alarmFrame, destination.MINSIZE, destination.ARC, path);
            const bool written = GetJpegError(code);
            const bool diskFull = !written && isDiskFull(path);
            tell({.kind = WatchEvent::Kind::Snapshot, .ok = written, .name = path,
                            .detail = written ? QString() : diskFull ? diskFullText() : jpegErrorText(code)});
            if (!written) {
                logSnapshotFailure(path, code);
                // Out of room the mail still goes, without its picture.
                if (!diskFull)
                    return;
            } else {
                attachment = path;
            }
        }
        showStatus(QStringLiteral("自動ﾒｰﾙ送信中"));
        const bool sent = sSendMail(destination.MAILTO, destination.SUBJECT, destination.BODY, attachment);
        showStatus(sent ? QString() : QStringLiteral("ﾒｰﾙ送信ｴﾗｰでした。"));
        tell({.kind = WatchEvent::Kind::MailSent, .ok = sent, .name = QString(QChar(u'A' + index)),
                        .detail = sent ? destination.MAILTO
                                       : QStringLiteral("ﾒｰﾙ送信ｴﾗｰでした。 ") + destination.MAILTO});
    }
}
