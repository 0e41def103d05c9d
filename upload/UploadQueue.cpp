#include "upload/UploadQueue.h"

#include "upload/FtpScriptRunner.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <filesystem>

namespace {

// How long a client that was ended may take to go.
constexpr int kKilledClientMs = 5000;

}  // namespace

QString uploadSource(const ClipUpload& upload)
{
    if (upload.fixedCopyPath.isEmpty())
        return upload.clipPath;
    std::error_code error;
    std::filesystem::copy_file(QFile::encodeName(upload.clipPath).toStdString(),
                               QFile::encodeName(upload.fixedCopyPath).toStdString(),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (!error)
        return upload.fixedCopyPath;
    // Half a copy (a full disk) must not pass for the latest clip.
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

void UploadQueue::add(const ClipUpload& upload)
{
    waiting_.push_back(upload);
    if (waitingCount() > kMostWaiting) {
        const ClipUpload oldest = waiting_.front();
        waiting_.pop_front();
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
    scriptPath_ = sWriteFtpScript(running_->remoteName, uploadSource(*running_), running_->remoteFolder,
                                  QStringLiteral("binary"));
    if (scriptPath_.isEmpty()) {
        finishRunning(false);
        return;
    }
    client_ = new QProcess(this);
    connect(client_, &QProcess::finished, this, [this] { finishRunning(ftpClientSucceeded(*client_)); });
    connect(client_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finishRunning(false);
    });
    timeLimit_->start(FtpClientTimeLimitMs);
    startFtpClient(*client_, scriptPath_);
    emit changed();
}

void UploadQueue::finishRunning(bool ok)
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
        finishRunning(false);
}
