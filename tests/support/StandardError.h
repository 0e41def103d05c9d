#pragma once

#include <QByteArray>
#include <QTemporaryFile>

#include <cstdio>
#include <functional>
#include <unistd.h>

// What `calls` write to the process's standard error, which is restored after them.
inline QByteArray standardErrorOf(const std::function<void()>& calls)
{
    QTemporaryFile capture;
    if (!capture.open())
        return "(standard error not captured)";
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    calls();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}
