#include "settings/PrivateFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

}  // namespace

bool createPrivateFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), S_IRWXU) == 0)
        return true;
    struct stat status {};
    return errno == EEXIST && ::stat(name.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool tightenFolder(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return false;
    return (status.st_mode & (S_IRWXG | S_IRWXO)) == 0 || ::chmod(name.constData(), status.st_mode & S_IRWXU) == 0;
}

bool tightenFile(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QByteArray name = QFile::encodeName(target);
    struct stat status {};
    if (target.isEmpty() || ::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    return (status.st_mode & (S_IRWXG | S_IRWXO)) == 0 || ::chmod(name.constData(), status.st_mode & S_IRWXU) == 0;
}

bool makeOwnerOnly(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat status {};
    const bool done = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    ::close(fd);
    return done;
}

bool appendToPrivateFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::Append, kOwnerOnly))
        return false;
    // A log left by an older version may be readable by others.
    file.setPermissions(kOwnerOnly);
    return file.write(bytes) == bytes.size() && file.flush();
}
