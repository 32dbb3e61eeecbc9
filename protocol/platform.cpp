#include "protocol/platform.h"

#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace quillmot {

#ifdef _WIN32

void setBinaryInput(FILE* in) { _setmode(_fileno(in), _O_BINARY); }

struct WorkerThread::Native {
    void (*body)(void*);
    void* argument;
    HANDLE handle;

    static DWORD WINAPI run(LPVOID self) {
        const Native& native = *static_cast<Native*>(self);
        native.body(native.argument);
        return 0;
    }
};

// Without STACK_SIZE_PARAM_IS_A_RESERVATION the size would be committed at once.
WorkerThread::WorkerThread(void (*body)(void*), void* argument, size_t stackBytes)
    : native_(new Native{body, argument, nullptr}) {
    native_->handle = CreateThread(nullptr, stackBytes, &Native::run, native_.get(),
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (native_->handle == nullptr) std::abort();
}

void WorkerThread::join() {
    WaitForSingleObject(native_->handle, INFINITE);
    CloseHandle(native_->handle);
    native_->handle = nullptr;
}

#else

void setBinaryInput(FILE*) {}

struct WorkerThread::Native {
    void (*body)(void*);
    void* argument;
    pthread_t thread;

    static void* run(void* self) {
        const Native& native = *static_cast<Native*>(self);
        native.body(native.argument);
        return nullptr;
    }
};

// glibc maps the stack lazily, so its size is address space until the search touches it.
WorkerThread::WorkerThread(void (*body)(void*), void* argument, size_t stackBytes)
    : native_(new Native{body, argument, {}}) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stackBytes);
    const int failed = pthread_create(&native_->thread, &attr, &Native::run, native_.get());
    pthread_attr_destroy(&attr);
    if (failed != 0) std::abort();
}

void WorkerThread::join() { pthread_join(native_->thread, nullptr); }

#endif

WorkerThread::~WorkerThread() = default;

}  // namespace quillmot
