#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <vector>

SmallDisk::SmallDisk(int64_t bytes)
{
    if (!dir_.isValid())
        return;
    const QByteArray options = "size=" + QByteArray::number(qlonglong(bytes)) + ",mode=0700";
    mounted_ = ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", 0, options.constData()) == 0;
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
}

int64_t SmallDisk::freeBytes() const
{
    struct statvfs status {};
    if (::statvfs(QFile::encodeName(dir_.path()).constData(), &status) != 0)
        return -1;
    return int64_t(status.f_bavail) * int64_t(status.f_frsize);
}

int64_t SmallDisk::fill(int64_t leaveBytes)
{
    QFile filler(QDir(path()).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return freeBytes();
    const std::vector<char> block(4096, 'x');
    while (freeBytes() > leaveBytes) {
        const int64_t chunk = std::min<int64_t>(int64_t(block.size()), freeBytes() - leaveBytes);
        if (filler.write(block.data(), chunk) != chunk || !filler.flush())
            break;
    }
    return freeBytes();
}

void SmallDisk::empty()
{
    QFile::remove(QDir(path()).filePath(QStringLiteral("filler")));
}
