#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// Tells the server's threads to end what they wait for. Safe from any thread.
class StopSignal {
public:
    void stop()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
    }
    void reset()
    {
        const std::lock_guard lock(mutex_);
        stopped_ = false;
    }
    bool stopped() const
    {
        const std::lock_guard lock(mutex_);
        return stopped_;
    }
    // Waits until `deadline`; true when stopped meanwhile (or before).
    bool waitUntil(std::chrono::steady_clock::time_point deadline) const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_until(lock, deadline, [this] { return stopped_; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopped_ = false;
};
