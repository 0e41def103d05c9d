#include "settings/CommonHelpers.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>

bool sWaitProcess(QProcess& process, int boundMs)
{
    if (process.state() == QProcess::NotRunning) {
        return true;
    }
    // The event loop sleeps until the process ends or the bound passes.
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    bound.start(std::max(boundMs, 0));
    loop.exec();
    return process.state() == QProcess::NotRunning;
}
