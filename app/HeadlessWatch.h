#pragma once

#include "app/CommandLine.h"

// Watches without windows: a QCoreApplication with the watcher, its log on
// standard output and the termination signals. Returns the exit code.
int runHeadless(int& argc, char** argv, const CommandLine& commandLine);
