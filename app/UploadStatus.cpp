// The background uploads as the main window shows them: a status panel while
// they run, the dog's word when one is dropped, and the watch events.
#include "app/frmSw_Mail.h"
#include "settings/WatchEvents.h"
#include "upload/UploadQueue.h"

#include <QFileInfo>
#include <QStatusBar>

void frmSw_Mail::connectUploads()
{
    uploads_ = new UploadQueue(this);
    uploadPanel = new QLabel(statusBar());
    uploadPanel->setFrameShape(QFrame::Panel);
    uploadPanel->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(uploadPanel);
    uploadPanel->hide();
    connect(uploads_, &UploadQueue::changed, this, &frmSw_Mail::showUploads);
    connect(uploads_, &UploadQueue::uploaded, this, [](const ClipUpload& upload, bool ok) {
        tellWatchEvent({.kind = WatchEvent::Kind::Uploaded,
                        .ok = ok,
                        .name = upload.remoteName,
                        .detail = ok ? QString() : QStringLiteral("送信できませんでした: ") + QFileInfo(upload.clipPath).fileName(),
                        .clip = upload.clipPath});
    });
    connect(uploads_, &UploadQueue::dropped, this, [this](const ClipUpload& upload) {
        const QString clip = QFileInfo(upload.clipPath).fileName();
        if (!isClosing())
            setStatusText(1, QStringLiteral("Houndly: 送信待ちが多すぎるワン！ %1 は送らないワン").arg(clip));
        tellWatchEvent({.kind = WatchEvent::Kind::Uploaded,
                        .ok = false,
                        .name = upload.remoteName,
                        .detail = QStringLiteral("送信しませんでした (送信待ちが多すぎるか終了のため): ") + clip,
                        .clip = upload.clipPath});
    });
}

void frmSw_Mail::showUploads()
{
    if (!uploads_->isBusy()) {
        uploadPanel->hide();
        return;
    }
    const int waiting = uploads_->waitingCount();
    uploadPanel->setText(waiting == 0 ? QStringLiteral("FTP送信中･･･")
                                      : QStringLiteral("FTP送信中･･･ (待ち %1)").arg(waiting));
    uploadPanel->show();
}
