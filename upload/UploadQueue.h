#pragma once

#include "upload/FtpScriptRunner.h"

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
    FtpServer server;
};

// The file an upload sends: the fixed-name copy, made now so that it holds this
// upload's clip, or the clip itself when no copy is asked or it cannot be made.
QString uploadSource(const ClipUpload& upload);

// What the watch events say of an upload the program's close cut short.
QString uploadCutText();

// Uploads clips in the background, one at a time and in order, each within
// FtpClientTimeLimitMs. An upload writes FTP_PUT.txt only when its turn comes
// and deletes it when its client ends, so one script name serves them all and
// at most one script exists at a time. Every upload added is noted in the
// pending uploads until it ends, so one that the close (or a kill) cuts short
// is sent at the next start. Lives on the window's thread; its signals come
// from that thread's event loop.
class UploadQueue : public QObject {
    Q_OBJECT
public:
    // Uploads that may wait behind the running one; one more drops the oldest waiting.
    static constexpr int kMostWaiting = 5;

    explicit UploadQueue(QObject* parent = nullptr);
    // Shuts down at once, telling no one.
    ~UploadQueue() override;

    void add(const ClipUpload& upload);
    bool isBusy() const { return running_.has_value() || !waiting_.empty(); }
    int waitingCount() const { return static_cast<int>(waiting_.size()); }
    // The absolute paths of the clips of the running and the waiting uploads.
    QSet<QString> clipsToSend() const;
    // Gives the running upload up to `bound` to end, then ends its client (its
    // script is deleted either way); the waiting uploads, the running one unless
    // the server has its file, and any added later are cut: kept for the next start.
    void shutDown(std::chrono::milliseconds bound);

signals:
    // An upload has ended; ok when its client reported success, else `reason` says why not.
    void uploaded(const ClipUpload& upload, bool ok, const QString& reason);
    // An upload that will not run: the queue was full.
    void dropped(const ClipUpload& upload);
    // An upload the program's close cut short: it is sent at the next start.
    void cut(const ClipUpload& upload);
    // An upload was queued, started or ended.
    void changed();

private:
    void startNext();
    // The running upload's end; a cut one stays pending for the next start.
    void finishRunning(bool ok, const QString& reason, bool cut = false);
    void cutShort(const ClipUpload& upload, const QString& localPath);

    std::deque<ClipUpload> waiting_;
    std::optional<ClipUpload> running_;
    QProcess* client_ = nullptr;
    QTimer* timeLimit_ = nullptr;
    QString scriptPath_;
    QString runningSource_;  // the file the running upload sends
    bool shutDown_ = false;
};
