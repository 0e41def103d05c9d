#include "upload/UploadQueue.h"

#include "settings/AtomicFile.h"
#include "upload/FtpLog.h"
#include "upload/FtpScriptRunner.h"

#include <QDir>
#include <QEventLoop>
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
    appendFtpLog(QDir(upload.scriptFolder).filePath(kFtpLogName),
                 {upload.host, upload.remoteFolder, upload.remoteName, localPath, ok, reason});
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
    waiting_.push_back(upload);
    if (waitingCount() > kMostWaiting) {
        const ClipUpload oldest = waiting_.front();
        waiting_.pop_front();
        logUpload(oldest, oldest.clipPath, false, QStringLiteral("dropped: too many uploads waiting"));
        emit dropped(oldest);
    }
    emit changed();
    startNext();
}

void UploadQueue::startNext()
{
    if (running_ || waiting_.empty())
        return;
    running_ = waiting_.front();
    waiting_.pop_front();
    FtpScriptDir = running_->scriptFolder;
    FtpHost = running_->host;
    FtpUser = running_->user;
    FtpPassword = running_->password;
    runningSource_ = uploadSource(*running_);
    const QString mode = QStringLiteral("binary");
    scriptPath_ = sWriteFtpScript(running_->remoteName, runningSource_, running_->remoteFolder, mode);
    if (scriptPath_.isEmpty()) {
        const QString refusal = ftpScriptRefusal(running_->remoteName, runningSource_, running_->remoteFolder, mode);
        finishRunning(false, refusal.isEmpty() ? QStringLiteral("cannot write the script") : refusal);
        return;
    }
    client_ = new QProcess(this);
    connect(client_, &QProcess::finished, this,
            [this] { finishRunning(ftpClientSucceeded(*client_), ftpClientReason(*client_)); });
    connect(client_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finishRunning(false, ftpClientReason(*client_));
    });
    timeLimit_->start(FtpClientTimeLimitMs);
    startFtpClient(*client_, scriptPath_);
    emit changed();
}

void UploadQueue::finishRunning(bool ok, const QString& reason)
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
    logUpload(done, runningSource_, ok, reason);
    emit uploaded(done, ok);
    emit changed();
    startNext();
}

void UploadQueue::waitUntilIdle()
{
    if (!isBusy())
        return;
    QEventLoop loop;
    connect(this, &UploadQueue::changed, &loop, [this, &loop] {
        if (!isBusy())
            loop.quit();
    });
    loop.exec();
}

void UploadQueue::shutDown(std::chrono::milliseconds bound)
{
    while (!waiting_.empty()) {
        const ClipUpload left = waiting_.front();
        waiting_.pop_front();
        logUpload(left, left.clipPath, false, QStringLiteral("dropped: the program is closing"));
        emit dropped(left);
    }
    if (client_ == nullptr)
        return;
    QProcess* client = client_;
    if (!client->waitForFinished(static_cast<int>(bound.count()))) {
        client->kill();
        client->waitForFinished(kKilledClientMs);
    }
    // A client that would not go still loses its script.
    if (running_)
        finishRunning(false, QStringLiteral("ended: the program is closing"));
}
