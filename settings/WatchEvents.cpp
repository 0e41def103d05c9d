#include "settings/WatchEvents.h"

#include <map>
#include <mutex>
#include <vector>

namespace {

std::mutex listenersMutex;
std::map<int, WatchListener> listeners;
int lastId = 0;

}  // namespace

int addWatchListener(WatchListener listener)
{
    std::lock_guard lock(listenersMutex);
    listeners.emplace(++lastId, std::move(listener));
    return lastId;
}

void removeWatchListener(int id)
{
    std::lock_guard lock(listenersMutex);
    listeners.erase(id);
}

void tellWatchEvent(const WatchEvent& event)
{
    // Copied, so a listener may add or remove listeners while it runs.
    std::vector<WatchListener> current;
    {
        std::lock_guard lock(listenersMutex);
        for (const auto& entry : listeners)
            current.push_back(entry.second);
    }
    for (const WatchListener& listener : current)
        listener(event);
}
