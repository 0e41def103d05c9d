// The entry point of the windows module.
#include "app/WindowWatch.h"
#include "app/WindowsModule.h"

extern "C" int houndlyRunWindows(int& argc, char** argv, const CommandLine& commandLine)
{
    return runWindows(argc, argv, commandLine);
}
