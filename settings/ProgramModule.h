#pragma once

#include <string>

// The program's own modules (the windows, the speakers) lie beside the
// executable in a build and in the library folder once installed. Loads
// module `fileName` and returns its entry point `symbol`, or null with `why`
// told. A module stays loaded to the end: its objects and exit handlers live in it.
void* programModuleEntry(const char* fileName, const char* symbol, std::string& why);
