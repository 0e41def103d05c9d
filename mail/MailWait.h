#pragma once

#include <functional>

// Runs `send` (a mail, bounded by its own deadline) on a thread of its own
// while the window's events are served (painting, timers, a close request)
// and user input is dropped: the window does not react during a mail, but
// stays alive. Returns what `send` returned; false when a close ended the
// wait first (the close cancels the mail).
bool sendWhileTheWindowLives(const std::function<bool()>& send);
