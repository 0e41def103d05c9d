#include "upload/UploadQueue.h"

#include "settings/AtomicFile.h"
#include "upload/FtpLog.h"
#include "upload/FtpScriptRunner.h"
#include "upload/PendingUploads.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <filesystem>

namespace {

// How long a client that was ended may take to go.
constexpr int kKilledClientMs = 5000;

// Every upload that ends, or will not run, leaves its record in the upload log.
void logUpload(const ClipUpload& upload, const QString& localPath, bool ok, const QString& reason)
{
    appendFtpLog(QDir(upload.server.scriptFolder).filePath(kFtpLogName),
                 {upload.server.host, upload.remoteFolder, upload.remoteName, localPath, ok, reason});
}

}  // namespace

QString uploadSource(const ClipUpload& upload)
{
    if (upload.fixedCopyPath.isEmpty())
        return upload.clipPath;
    // Made beside its name and named when whole, as the clip is.
    FileInProgress copy(upload.fixedCopyPath);
    std::error_code error;
    if (copy.isOpen())
        std::filesystem::copy_file(QFile::encodeName(upload.clipPath).toStdString(),
                                   QFile::encodeName(copy.temporaryPath()).toStdString(),
                                   std::filesystem::copy_options::overwrite_existing, error);
    if (copy.isOpen() && !error && copy.commit())
        return upload.fixedCopyPath;
    // An older clip's copy must not pass for the latest.
    if (QFile::exists(upload.clipPath))
        QFile::remove(upload.fixedCopyPath);
    return upload.clipPath;
}

UploadQueue::UploadQueue(QObject* parent) : QObject(parent), timeLimit_(new QTimer(this))
{
    timeLimit_->setSingleShot(true);
    connect(timeLimit_, &QTimer::timeout, this, [this] {
        if (client_ != nullptr)
            client_->kill();
    });
}

UploadQueue::~UploadQueue()
{
    blockSignals(true);
    shutDown(std::chrono::milliseconds(0));
}

QSet<QString> UploadQueue::clipsToSend() const
{
    QSet<QString> clips;
    if (running_)
        clips.insert(QFileInfo(running_->clipPath).absoluteFilePath());
    for (const ClipUpload& upload : waiting_)
        clips.insert(QFileInfo(upload.clipPath).absoluteFilePath());
    return clips;
}

void UploadQueue::add(const ClipUpload& upload)
{
    notePendingUpload(upload.server.scriptFolder, upload.clipPath);
    if (shutDown_) {
        cutShort(upload, upload.clipPath);
        return;
    }
    waiting_.push_back(upload);
    if (waitingCount() > kMostWaiting) {
        const ClipUpload oldest = waiting_.front();
        waiting_.pop_front();
        clearPendingUpload(oldest.server.scriptFolder, oldest.clipPath);
        logUpload(oldest, oldest.clipPath, false, QStringLiteral("dropped: too many uploads waiting"));
        emit dropped(oldest);
    }
    emit changed();
    startNext();
}

void UploadQueue::startNext()
{
    if (shutDown_ || running_ || waiting_.empty())
        return;
    running_ = waiting_.front();
    waiting_.pop_front();
    runningSource_ = uploadSource(*running_);
    const QString mode = QStringLiteral("binary");
    const ClipUpload& upload = *running_;
    scriptPath_ = sWriteFtpScript(upload.server, upload.remoteName, runningSource_, upload.remoteFolder, mode);
    if (scriptPath_.isEmpty()) {
        const QString refusal =
            ftpScriptRefusal(upload.server, upload.remoteName, runningSource_, upload.remoteFolder, mode);
        finishRunning(false, refusal.isEmpty() ? QStringLiteral("cannot write the script") : refusal);
        return;
    }
    client_ = new QProcess(this);
    const auto clientEnded = [this] {
        const FtpClientOutcome outcome = ftpClientOutcome(*client_);
        finishRunning(outcome.uploaded, outcome.reason);
    };
    connect(client_, &QProcess::finished, this, clientEnded);
    connect(client_, &QProcess::errorOccurred, this, [clientEnded](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            clientEnded();
    });
    timeLimit_->start(FtpClientTimeLimitMs);
    startFtpClient(*client_, scriptPath_, upload.server);
    emit changed();
}

void UploadQueue::finishRunning(bool ok, const QString& reason, bool cut)
{
    timeLimit_->stop();
    if (client_ != nullptr) {
        client_->disconnect(this);
        client_->deleteLater();
        client_ = nullptr;
    }
    if (!scriptPath_.isEmpty())
        QFile::remove(scriptPath_);
    scriptPath_.clear();
    const ClipUpload done = *running_;
    running_.reset();
    if (cut) {
        cutShort(done, runningSource_);
    } else {
        clearPendingUpload(done.server.scriptFolder, done.clipPath);
        logUpload(done, runningSource_, ok, reason);
        emit uploaded(done, ok, reason);
    }
    emit changed();
    startNext();
}

void UploadQueue::cutShort(const ClipUpload& upload, const QString& localPath)
{
    logUpload(upload, localPath, false, kEndedByClosing);
    emit cut(upload);
}

void UploadQueue::shutDown(std::chrono::milliseconds bound)
{
    shutDown_ = true;
    while (!waiting_.empty()) {
        const ClipUpload left = waiting_.front();
        waiting_.pop_front();
        cutShort(left, left.clipPath);
    }
    // A client that ends within the bound ends as usual, and one that could not
    // start is ended by its error meanwhile: either end lets the client go.
    if (client_ != nullptr)
        client_->waitForFinished(static_cast<int>(bound.count()));
    if (client_ == nullptr)
        return;
    client_->disconnect(this);
    client_->kill();
    client_->waitForFinished(kKilledClientMs);
    // A client that would not go still loses its script.
    const bool stored = ftpClientOutcome(*client_).uploaded;
    finishRunning(stored, {}, !stored);
}

QString uploadCutText()
{
    return QCoreApplication::translate("UploadQueue", "終了のため中断しました。次の起動で送ります");
}
