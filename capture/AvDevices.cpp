#include "capture/AvDevices.h"

extern "C" {
#include <libavdevice/version_major.h>
#include <libavutil/macros.h>
}

#include <cstdio>
#include <dlfcn.h>
#include <mutex>

namespace {

constexpr char kLibrary[] = "libavdevice.so." AV_STRINGIFY(LIBAVDEVICE_VERSION_MAJOR);

bool loadAndRegister()
{
    // Never unloaded: libavformat keeps pointers to its formats.
    void* library = dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    const auto registerAll = library ? reinterpret_cast<void (*)()>(dlsym(library, "avdevice_register_all")) : nullptr;
    if (registerAll == nullptr) {
        std::fprintf(stderr, "houndly: cannot load %s, so no camera or sound device can be read: %s\n", kLibrary,
                     dlerror());
        return false;
    }
    registerAll();
    return true;
}

}  // namespace

bool registerAvDevices()
{
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] { registered = loadAndRegister(); });
    return registered;
}
