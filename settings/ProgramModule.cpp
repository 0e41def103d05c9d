#include "settings/ProgramModule.h"

#include "settings/InstallLayout.h"

#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path modulePath(const char* fileName)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    const std::filesystem::path beside = program / fileName;
    if (std::filesystem::exists(beside, error))
        return beside;
    return (program / kModulesFromProgram / fileName).lexically_normal();
}

}  // namespace

void* programModuleEntry(const char* fileName, const char* symbol, std::string& why)
{
    void* module = dlopen(modulePath(fileName).c_str(), RTLD_NOW | RTLD_LOCAL);
    void* entry = module != nullptr ? dlsym(module, symbol) : nullptr;
    if (entry == nullptr)
        why = dlerror();
    return entry;
}
