#include "settings/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

// mkostemp's six characters.
constexpr int kTemporarySuffixLength = 6;

// Through a symbolic link the file it names is replaced, not the link.
QString replacedFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

// A target's name, a dot and mkostemp's six letters or digits.
bool isTemporaryName(const QByteArray& name, const std::function<bool(const QByteArray&)>& isTarget)
{
    const qsizetype dot = name.size() - kTemporarySuffixLength - 1;
    if (dot <= 0 || name[dot] != '.') {
        return false;
    }
    for (const char c : name.sliced(dot + 1)) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) {
            return false;
        }
    }
    return isTarget(name.first(dot));
}

// A temporary whose lock can be taken has no writer any more.
bool removeIfAbandoned(int folderFd, const char* name)
{
    struct stat status {};
    if (::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != ::geteuid()) {
        return false;
    }
    const int fd = ::openat(folderFd, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    const bool abandoned = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = abandoned && ::unlinkat(folderFd, name, 0) == 0;
    ::close(fd);
    return removed;
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype offset = 0;
    while (offset < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.constData() + offset, size_t(bytes.size() - offset));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;  // a short write that cannot go on: the disk is full
        }
        offset += count;
    }
    return true;
}

// The rename must survive a crash too: the folder's entry is flushed as well.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Whether the name still leads to the open file.
bool stillNamed(int fd, const QByteArray& name)
{
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// Makes the temporary and locks it: the lock tells a start-up tidy that the
// temporary is still being written (a killed writer's lock goes with it). A
// tidy that came between the two has removed it: it is made again. Where
// locks are not to be had (some network file systems) it goes on unlocked.
int lockedTemporary(const QByteArray& targetName, QByteArray& temporaryName)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        temporaryName = targetName + ".XXXXXX";
        const int fd = ::mkostemp(temporaryName.data(), O_CLOEXEC);
        if (fd < 0) {
            return -1;
        }
        if (::flock(fd, LOCK_EX) != 0 || stillNamed(fd, temporaryName)) {
            return fd;
        }
        ::close(fd);
    }
    return -1;
}

}  // namespace

FileInProgress::FileInProgress(const QString& path)
    : targetName_(QFile::encodeName(replacedFile(path))), fd_(lockedTemporary(targetName_, temporaryName_))
{
}

FileInProgress::~FileInProgress()
{
    if (fd_ < 0) {
        return;
    }
    if (!committed_) {
        ::unlink(temporaryName_.constData());
    }
    // The lock goes with the descriptor, after the rename.
    ::close(fd_);
}

QString FileInProgress::temporaryPath() const
{
    return QFile::decodeName(temporaryName_);
}

bool FileInProgress::write(const QByteArray& bytes)
{
    return fd_ >= 0 && writeAll(fd_, bytes);
}

bool FileInProgress::commit()
{
    if (fd_ < 0 || committed_) {
        return false;
    }
    committed_ = ::fsync(fd_) == 0 && ::rename(temporaryName_.constData(), targetName_.constData()) == 0;
    if (!committed_) {
        ::unlink(temporaryName_.constData());
        ::close(std::exchange(fd_, -1));
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(QFile::decodeName(targetName_)).absolutePath()));
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    FileInProgress file(path);
    return file.write(bytes) && file.commit();
}

int removeLeftOverTemporaries(const QString& path)
{
    const QFileInfo target(replacedFile(path));
    const QByteArray name = QFile::encodeName(target.fileName());
    return removeLeftOverTemporaries(target.absolutePath(), [&name](const QByteArray& stem) { return stem == name; });
}

int removeLeftOverTemporaries(const QString& folderPath, const std::function<bool(const QByteArray& name)>& isTarget)
{
    DIR* folder = ::opendir(QFile::encodeName(folderPath).constData());
    if (folder == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (isTemporaryName(QByteArray(entry->d_name), isTarget) && removeIfAbandoned(::dirfd(folder), entry->d_name)) {
            ++removed;
        }
    }
    ::closedir(folder);
    return removed;
}
