#include "settings/CommonHelpers.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>

ProcessWait sWaitProcess(QProcess& process, int boundMs)
{
    if (process.state() == QProcess::NotRunning) {
        return ProcessWait::Ended;
    }
    // The event loop sleeps until the process ends or the bound passes.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer bound;
    bound.setSingleShot(true);
    bool boundPassed = false;
    QObject::connect(&bound, &QTimer::timeout, &loop, [&] {
        boundPassed = true;
        loop.quit();
    });
    bound.start(std::max(boundMs, 0));
    loop.exec();
    if (process.state() == QProcess::NotRunning) {
        return ProcessWait::Ended;
    }
    return boundPassed ? ProcessWait::BoundPassed : ProcessWait::Interrupted;
}
