#include "settings/CommonHelpers.h"

#include <QEventLoop>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Runs the event loop until quit or the bound; the caller connects what quits it.
void runLoopWithin(QEventLoop& loop, int boundMs)
{
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(std::max(boundMs, 0));
    loop.exec();
}

bool processExists(qint64 processId)
{
    return ::kill(pid_t(processId), 0) == 0 || errno == EPERM;
}

}  // namespace

bool sWaitProcess(QProcess& process, int boundMs)
{
    if (process.state() == QProcess::NotRunning) {
        return true;
    }
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    runLoopWithin(loop, boundMs);
    return process.state() == QProcess::NotRunning;
}

bool sWaitProcess(qint64 processId, int boundMs)
{
    if (processId <= 0) {
        return true;
    }
    // A pidfd tells when the process ends, whoever its parent is.
    const int pidFd = int(::syscall(SYS_pidfd_open, pid_t(processId), 0));
    if (pidFd < 0) {
        // No such process; or a kernel older than 5.3, where no wait is possible.
        return !processExists(processId);
    }
    // Readable from the moment the process ends, before its parent collects it.
    bool ended = false;
    QEventLoop loop;
    QSocketNotifier notifier(pidFd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&ended, &loop] {
        ended = true;
        loop.quit();
    });
    runLoopWithin(loop, boundMs);
    notifier.setEnabled(false);
    ::close(pidFd);
    return ended;
}
