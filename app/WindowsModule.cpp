#include "app/WindowsModule.h"

#include "settings/ProgramModule.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kExitFailure = 1;

}  // namespace

int runWindowsModule(int& argc, char** argv, const CommandLine& commandLine)
{
    std::string why;
    using Entry = int (*)(int&, char**, const CommandLine&);
    const auto entry = reinterpret_cast<Entry>(programModuleEntry("houndly-windows.so", "houndlyRunWindows", why));
    if (entry == nullptr) {
        std::fprintf(stderr, "houndly: cannot load the windows: %s\n", why.c_str());
        return kExitFailure;
    }
    return entry(argc, argv, commandLine);
}
