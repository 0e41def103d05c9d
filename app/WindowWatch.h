#pragma once

#include "app/CommandLine.h"

// Watches in the main window on the desktop. Returns the exit code.
int runWindows(int& argc, char** argv, const CommandLine& commandLine);
