// What differs between Windows and the POSIX systems, kept in one place: how standard
// input is read, and the worker thread with its stack. Everything else (the steady clock,
// mutexes and condition variables, leaving with std::_Exit) is the same standard library
// call on both.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

namespace quillmot {

// Makes the stream deliver every byte as it arrives. The Windows C runtime reads a pipe in
// text mode by default, where a 0x1A byte ends the input and carriage returns vanish
// before the line reader sees them; the line reader handles CR LF itself. Standard output
// stays in text mode there, so every reply ends in CR LF as Windows managers expect. Does
// nothing on POSIX systems.
void setBinaryInput(FILE* in);

// A thread running body(argument) on a stack of stackBytes. The stack is reserved address
// space, not committed memory, on both systems: pages are taken as a deep search reaches
// them, so an idle engine does not pay for its deepest search. Aborts when the system
// cannot start a thread, since no engine can play without one.
class WorkerThread {
public:
    WorkerThread(void (*body)(void*), void* argument, size_t stackBytes);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Waits for body to return.
    void join();

private:
    struct Native;
    std::unique_ptr<Native> native_;
};

}  // namespace quillmot
