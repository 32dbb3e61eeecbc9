#include "protocol/front_end.h"

#include <cstdlib>
#include <new>

namespace quillmot {

namespace {

Engine* newEngine() { return new (std::nothrow) Engine(); }

}  // namespace

FrontEnd::FrontEnd(FILE* in, FILE* out, FrontEndOptions options)
    : in_(in), output_(out), options_(std::move(options)) {
    if (!options_.makeEngine) options_.makeEngine = newEngine;
    startWorker();
}

FrontEnd::~FrontEnd() {
    stopThinking();
    stopWorker();
}

void FrontEnd::exitNow() {
    output_.closeForExit();
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace quillmot
