#include "sound/SpeakerModule.h"

#include "settings/ProgramModule.h"

#include <cstdio>
#include <string>
#include <utility>

std::unique_ptr<AudioOutput> loadSpeakers()
{
    static bool told = false;
    std::string why;
    using Entry = AudioOutput* (*)();
    const auto entry = reinterpret_cast<Entry>(programModuleEntry("houndly-speakers.so", "houndlyNewSpeakers", why));
    if (entry == nullptr) {
        if (!std::exchange(told, true))
            std::fprintf(stderr, "houndly: no sound, the speakers cannot be loaded: %s\n", why.c_str());
        return nullptr;
    }
    return std::unique_ptr<AudioOutput>(entry());
}
