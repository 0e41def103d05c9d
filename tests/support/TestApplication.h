#pragma once

#include <QCoreApplication>

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
