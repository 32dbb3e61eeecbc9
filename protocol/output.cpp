#include "protocol/output.h"

#include <cstdarg>

namespace quillmot {

int Output::pipeOut(const char* format, ...) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (silenced_) return 0;
    if (!notice_.empty()) {
        std::fputs(notice_.c_str(), out_);
        std::fputc('\n', out_);
        notice_.clear();
    }
    va_list args;
    va_start(args, format);
    const int written = std::vfprintf(out_, format, args);
    va_end(args);
    std::fputc('\n', out_);
    std::fflush(out_);
    return written;
}

}  // namespace quillmot
