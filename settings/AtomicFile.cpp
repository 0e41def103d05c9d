#include "settings/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

}  // namespace

bool writeFileAtomically(const QString& path, const QByteArray& bytes)
{
    // Through a symbolic link the file it names is replaced, not the link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
    const QByteArray targetName = QFile::encodeName(target);
    QByteArray temporaryName = targetName + ".XXXXXX";
    const int fd = ::mkostemp(temporaryName.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temporaryName.constData(), targetName.constData()) != 0) {
        ::unlink(temporaryName.constData());
        return false;
    }
    syncFolder(QFile::encodeName(QFileInfo(target).absolutePath()));
    return true;
}
