// The reply writer: every line of the program, from either thread, goes out whole.
#pragma once

#include <cstdio>
#include <mutex>

namespace quillmot {

class Output {
public:
    explicit Output(FILE* out) : out_(out) {}

    // Writes one line (printf formatting, then a line feed) and flushes it.
    int pipeOut(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Takes the writer for good, so that no other line can follow; for leaving the
    // process at once.
    void closeForExit() { mutex_.lock(); }

private:
    FILE* out_;
    std::mutex mutex_;
};

}  // namespace quillmot
