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

namespace {

// mkostemp's six characters.
constexpr int kTemporarySuffixLength = 6;

// Through a symbolic link the file it names is replaced, not the link.
QString replacedFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

bool isTemporaryName(const QByteArray& name, const QByteArray& prefix)
{
    if (name.size() != prefix.size() + kTemporarySuffixLength || !name.startsWith(prefix)) {
        return false;
    }
    for (const char c : name.sliced(prefix.size())) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit) {
            return false;
        }
    }
    return true;
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

bool writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    const QString target = replacedFile(path);
    const QByteArray targetName = QFile::encodeName(target);
    QByteArray temporaryName;
    const int fd = lockedTemporary(targetName, temporaryName);
    if (fd < 0) {
        return false;
    }
    // The lock is held until the rename is done.
    const bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    const bool renamed = written && ::rename(temporaryName.constData(), targetName.constData()) == 0;
    const bool closed = ::close(fd) == 0;
    if (!renamed) {
        ::unlink(temporaryName.constData());
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(target).absolutePath()));
    return closed;
}

int removeLeftOverTemporaries(const QString& path)
{
    const QFileInfo target(replacedFile(path));
    const QByteArray prefix = QFile::encodeName(target.fileName()) + '.';
    DIR* folder = ::opendir(QFile::encodeName(target.absolutePath()).constData());
    if (folder == nullptr) {
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (isTemporaryName(QByteArray(entry->d_name), prefix) && removeIfAbandoned(::dirfd(folder), entry->d_name)) {
            ++removed;
        }
    }
    ::closedir(folder);
    return removed;
}
