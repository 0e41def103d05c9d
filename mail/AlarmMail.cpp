#include "mail/AlarmMail.h"

#include "capture/JpegWriter.h"
#include "mail/MailAccount.h"
#include "mail/MailLog.h"
#include "mail/MailTransport.h"
#include "mail/Snapshot.h"
#include "settings/DiskSpace.h"
#include "settings/Settings.h"
#include "settings/WatchEvent.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const QString kTrue = QStringLiteral("True");
// The kept picture without a mail: full size at JPEG quality 75.
constexpr int kKeptSizeIndex = 0;
constexpr int16_t kKeptCompressionRate = 26;

// The writer's reason is kept in the mail log: the run ends silently on screen.
void logSnapshotFailure(const QString& path, int16_t code)
{
    MailExchangeLog log(mailLogPath(), QStringLiteral("SNAPSHOT"), path);
    log.finish(QStringLiteral("not written (%1) %2").arg(code).arg(jpegErrorText(code)));
}

bool wantsPicture(const MailTrigger& destination)
{
    return destination.ENABLED == kTrue && destination.GRP == 1;
}

struct AlarmSnapshot {
    QString path;
    int16_t code = 0;
    bool diskFull = false;
    bool written() const { return code == 0; }
};

// Writes the alarm frame under a name of its own in img/ and tells it.
AlarmSnapshot writeAlarmSnapshot(const QImage& alarmFrame, int sizeIndex, int16_t compressionRate,
                                 const WatchTeller& tell)
{
    AlarmSnapshot snapshot{snapshotPath(QStringLiteral("ALERT.jpg"))};
    snapshot.code = writeSnapshot(alarmFrame, sizeIndex, compressionRate, snapshot.path);
    snapshot.diskFull = !snapshot.written() && isDiskFull(snapshot.path);
    tell({.kind = WatchEvent::Kind::Snapshot, .ok = snapshot.written(), .name = snapshot.path,
          .detail = snapshot.written() ? QString()
                    : snapshot.diskFull ? diskFullText()
                                        : jpegErrorText(snapshot.code)});
    return snapshot;
}

}  // namespace

void sStartMailSend(const QImage& alarmFrame, const StatusText& showStatus, const WatchTeller& tell,
                    const std::function<bool()>& stopped)
{
    for (int index = 0; index < int(std::size(Settings.TRG)); ++index) {
        const MailTrigger& destination = Settings.TRG[size_t(index)];
        if (stopped())
            return;
        if (destination.ENABLED != kTrue)
            continue;
        showStatus(QCoreApplication::translate("AlarmMail", "Houndly: ﾒｰﾙ送信中･･･"));
        QString attachment;
        if (destination.GRP == 1) {
            const AlarmSnapshot snapshot = writeAlarmSnapshot(alarmFrame, destination.MINSIZE, destination.ARC, tell);
            if (!snapshot.written()) {
                logSnapshotFailure(snapshot.path, snapshot.code);
                // Out of room the mail still goes, without its picture.
                if (!snapshot.diskFull)
                    return;
            } else {
                attachment = snapshot.path;
            }
        }
        showStatus(QCoreApplication::translate("AlarmMail", "自動ﾒｰﾙ送信中"));
        QString failure;
        const bool sent = sSendMail(destination.MAILTO, destination.SUBJECT, destination.BODY, attachment, &failure);
        showStatus(sent ? QString() : QCoreApplication::translate("AlarmMail", "ﾒｰﾙ送信ｴﾗｰでした。"));
        tell({.kind = WatchEvent::Kind::MailSent, .ok = sent, .name = QString(QChar(u'A' + index)),
              .detail = sent ? destination.MAILTO : destination.MAILTO + QStringLiteral(": ") + failure});
    }
}

void sKeepAlarmSnapshot(const QImage& alarmFrame, const WatchTeller& tell)
{
    if (MailReady() && std::ranges::any_of(Settings.TRG, wantsPicture))
        return;
    writeAlarmSnapshot(alarmFrame, kKeptSizeIndex, kKeptCompressionRate, tell);
}
