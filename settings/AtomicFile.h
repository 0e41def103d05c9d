#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// A file that is written beside its final name and takes that name only when
// it is whole, so a kill never leaves half of it under the name: a temporary
// named after the target with a dot and six letters or digits, mode 0600 from
// its creation, locked while it is written (a killed writer's lock goes with
// it, which tells a start-up tidy that the temporary is abandoned).
class FileInProgress {
public:
    explicit FileInProgress(const QString& path);
    // Removes the temporary unless it was committed.
    ~FileInProgress();
    FileInProgress(const FileInProgress&) = delete;
    FileInProgress& operator=(const FileInProgress&) = delete;

    // False when the temporary could not be made.
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    QString temporaryPath() const;
    // Writes all the bytes at the temporary's current end; false on a short write.
    bool write(const QByteArray& bytes);
    // Flushes the temporary to disk and renames it to the target; false (and
    // the temporary removed) when a step fails.
    bool commit();

private:
    QByteArray targetName_;
    QByteArray temporaryName_;
    int fd_ = -1;
    bool committed_ = false;
};

// Replaces a file's content all at once through a FileInProgress. False when
// any step fails; the old file then stays as it was.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// Removes the temporaries of FileInProgress(path) that a killed writer left
// behind: those no running writer holds locked. Nothing else is touched.
// Returns how many were removed.
int removeLeftOverTemporaries(const QString& path);
// The same in a folder for every target whose name `isTarget` accepts.
int removeLeftOverTemporaries(const QString& folder, const std::function<bool(const QByteArray& name)>& isTarget);
