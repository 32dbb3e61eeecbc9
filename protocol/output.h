// The reply writer: every line of the program, from either thread, goes out whole.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

namespace quillmot {

class Output {
public:
    explicit Output(FILE* out) : out_(out) {}

    // Writes one line (printf formatting, then a line feed) and flushes it.
    int pipeOut(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Takes the writer for good, so that no other line can follow; for leaving the
    // process at once.
    void closeForExit() { mutex_.lock(); }

    // From now on every line is dropped: nothing may follow END, not even the move of a
    // turn that is still running.
    void silence() {
        std::lock_guard<std::mutex> lock(mutex_);
        silenced_ = true;
    }

    // A line written once, just before the next line of any kind (an INFO that the engine
    // has something to say about: INFO itself has no reply).
    void setNotice(std::string notice) {
        std::lock_guard<std::mutex> lock(mutex_);
        notice_ = std::move(notice);
    }

private:
    FILE* out_;
    std::mutex mutex_;
    bool silenced_ = false;
    std::string notice_;
};

}  // namespace quillmot
