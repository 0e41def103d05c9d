#pragma once

#include "settings/WatchEvent.h"

#include <functional>
#include <utility>
#include <vector>

using WatchListener = std::function<void(const WatchEvent&)>;

// The watcher's hub of outside listeners (the headless log, the history
// window, tests). They hear every event on the watcher's thread, after the
// watcher's own parts, in the order they were added.
class WatchEvents {
public:
    // Returns an id for remove.
    int add(WatchListener listener);
    void remove(int id);
    void tell(const WatchEvent& event) const;

private:
    std::vector<std::pair<int, WatchListener>> listeners_;
    int lastId_ = 0;
};
