#include "tests/support/HttpCamera.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {

// Whether something listens on the loopback TCP port: probing it by connecting
// would take the one viewer ffmpeg serves.
bool listening(int port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = QByteArray("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
            return true;
    }
    return false;
}

}  // namespace

HttpCamera::HttpCamera(int port, int framesPerSecond, int seconds)
{
    process_.start("ffmpeg", {"-loglevel", "error", "-re", "-f", "lavfi", "-i",
                              QStringLiteral("testsrc=size=320x240:rate=%1").arg(framesPerSecond), "-t",
                              QString::number(seconds), "-c:v", "mjpeg", "-f", "mpjpeg", "-listen", "1",
                              QStringLiteral("http://127.0.0.1:%1/feed.mjpg").arg(port)});
    process_.waitForStarted();
    for (QDeadlineTimer deadline(10000); !listening(port) && !deadline.hasExpired();)
        QThread::msleep(10);
}

HttpCamera::~HttpCamera()
{
    stop();
}

void HttpCamera::stop()
{
    process_.kill();
    process_.waitForFinished();
}
