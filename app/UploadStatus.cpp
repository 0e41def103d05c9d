// The background uploads as the main window shows them: a status panel while they run.
#include "app/frmSw_Mail.h"
#include "upload/UploadQueue.h"
#include "watch/Watcher.h"

#include <QStatusBar>

void frmSw_Mail::connectUploads()
{
    uploadPanel = new QLabel(statusBar());
    uploadPanel->setFrameShape(QFrame::Panel);
    uploadPanel->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(uploadPanel);
    uploadPanel->hide();
    connect(&watcher_->uploads(), &UploadQueue::changed, this, &frmSw_Mail::showUploads);
}

void frmSw_Mail::showUploads()
{
    const UploadQueue& uploads = watcher_->uploads();
    if (!uploads.isBusy()) {
        uploadPanel->hide();
        return;
    }
    const int waiting = uploads.waitingCount();
    uploadPanel->setText(waiting == 0 ? tr("FTP送信中･･･") : tr("FTP送信中･･･ (待ち %1)").arg(waiting));
    uploadPanel->show();
}
