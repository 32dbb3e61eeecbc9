// A Windows-style event on a mutex and a condition variable: auto-reset events release
// one waiter and reset themselves, manual-reset events stay signalled until reset.
#pragma once

#include <condition_variable>
#include <mutex>

namespace quillmot {

class Event {
public:
    Event(bool autoReset, bool signalled) : autoReset_(autoReset), signalled_(signalled) {}

    void set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            signalled_ = true;
        }
        if (autoReset_)
            changed_.notify_one();
        else
            changed_.notify_all();
    }

    void reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = false;
    }

    // Waits without a time limit; an auto-reset event is reset by the wait.
    void wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return signalled_; });
        if (autoReset_) signalled_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const bool autoReset_;
    bool signalled_;
};

}  // namespace quillmot
