#pragma once

#include "app/CommandLine.h"

// The windows live in a module of their own, loaded only when the program
// shows them, so that watching without a desktop never maps Qt Widgets.
// Runs them and returns the exit code; 1 with a line on standard error when
// the module cannot be loaded.
int runWindowsModule(int& argc, char** argv, const CommandLine& commandLine);

// The module's one entry point.
extern "C" int houndlyRunWindows(int& argc, char** argv, const CommandLine& commandLine);
