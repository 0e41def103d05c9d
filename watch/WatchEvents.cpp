#include "watch/WatchEvents.h"

#include <algorithm>

int WatchEvents::add(WatchListener listener)
{
    listeners_.emplace_back(++lastId_, std::move(listener));
    return lastId_;
}

void WatchEvents::remove(int id)
{
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void WatchEvents::tell(const WatchEvent& event) const
{
    // Copied, so a listener may add or remove listeners while it hears.
    const auto current = listeners_;
    for (const auto& entry : current)
        entry.second(event);
}
