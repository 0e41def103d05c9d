#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include <chrono>
#include <deque>
#include <optional>

class QProcess;
class QTimer;

// One clip's upload, with the FTP settings of the alarm that recorded it.
struct ClipUpload {
    QString clipPath;
    QString remoteName;
    QString fixedCopyPath;  // "" or where the fixed-name copy is made when the upload starts
    QString remoteFolder;
    QString scriptFolder;
    QString host;
    QString user;
    QString password;
};

// The file an upload sends: the fixed-name copy, made now so that it holds this
// upload's clip, or the clip itself when no copy is asked or it cannot be made.
QString uploadSource(const ClipUpload& upload);

// Uploads clips in the background, one at a time and in order, each within
// FtpClientTimeLimitMs. An upload writes FTP_PUT.txt only when its turn comes
// and deletes it when its client ends, so one script name serves them all and
// at most one script exists at a time. Lives on the window's thread; its
// signals come from that thread's event loop.
class UploadQueue : public QObject {
    Q_OBJECT
public:
    // Uploads that may wait behind the running one; one more drops the oldest waiting.
    static constexpr int kMostWaiting = 5;

    explicit UploadQueue(QObject* parent = nullptr);
    // Ends a running client and deletes its script, telling no one.
    ~UploadQueue() override;

    void add(const ClipUpload& upload);
    bool isBusy() const { return running_.has_value() || !waiting_.empty(); }
    int waitingCount() const { return static_cast<int>(waiting_.size()); }
    // The absolute paths of the clips of the running and the waiting uploads.
    QSet<QString> clipsToSend() const;
    // Waits, the event loop running, until no upload runs or waits.
    void waitUntilIdle();
    // Drops the waiting uploads, gives the running one up to `bound` to end,
    // then ends its client; its script is deleted either way.
    void shutDown(std::chrono::milliseconds bound);

signals:
    // An upload has ended; ok when its client reported success.
    void uploaded(const ClipUpload& upload, bool ok);
    // An upload that will not run: the queue was full, or the program closes.
    void dropped(const ClipUpload& upload);
    // An upload was queued, started or ended.
    void changed();

private:
    void startNext();
    void finishRunning(bool ok, const QString& reason);

    std::deque<ClipUpload> waiting_;
    std::optional<ClipUpload> running_;
    QProcess* client_ = nullptr;
    QTimer* timeLimit_ = nullptr;
    QString scriptPath_;
    QString runningSource_;  // the file the running upload sends
};
