#include "app/WindowsModule.h"

#include "settings/InstallLayout.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kExitFailure = 1;
constexpr char kModuleName[] = "houndly-windows.so";

// Beside the program in a build, under the library folder once installed.
std::filesystem::path modulePath()
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::filesystem::path beside = program / kModuleName;
    if (std::filesystem::exists(beside, error))
        return beside;
    return (program / kWindowsFromProgram / kModuleName).lexically_normal();
}

}  // namespace

int runWindowsModule(int& argc, char** argv, const CommandLine& commandLine)
{
    const std::filesystem::path path = modulePath();
    // Kept loaded to the end: the windows' objects and exit handlers live in it.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "houndly: cannot load the windows: %s\n", dlerror());
        return kExitFailure;
    }
    using Entry = int (*)(int&, char**, const CommandLine&);
    const auto entry = reinterpret_cast<Entry>(dlsym(module, "houndlyRunWindows"));
    if (entry == nullptr) {
        std::fprintf(stderr, "houndly: %s has no windows: %s\n", path.c_str(), dlerror());
        return kExitFailure;
    }
    return entry(argc, argv, commandLine);
}
