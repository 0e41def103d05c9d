#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>
#include <functional>

// The test program's one application object (QCoreApplication or QApplication),
// made on first use so that test discovery runs without one, and kept to the end.
template <class Application = QCoreApplication>
Application& testApplication()
{
    static int argc = 1;
    static char name[] = "houndly_test";
    static char* argv[] = {name, nullptr};
    static Application application(argc, argv);
    return application;
}

// Like testApplication, but never destroyed: a QApplication that has shown
// windows crashes Qt when it is torn down among the exit handlers.
template <class Application>
Application& lastingApplication()
{
    static int argc = 1;
    static char name[] = "houndly_test";
    static char* argv[] = {name, nullptr};
    static Application* application = new Application(argc, argv);
    return *application;
}

// Waits until `done` holds, at most `bound`: looked at every few milliseconds,
// so a busy machine only makes the wait longer, never the test wrong.
inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds bound)
{
    for (const QDeadlineTimer deadline(bound); !done(); QThread::msleep(5))
        if (deadline.hasExpired())
            return false;
    return true;
}
