# Cross build for 64-bit Windows with Debian's MinGW-w64 toolchain (the posix thread
# model, package g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Every executable is linked statically (libstdc++, libgcc, winpthreads), so that it
# starts on a Windows machine with nothing installed and imports only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLMOT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLMOT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLMOT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLMOT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLMOT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Neither GoogleTest nor Google Benchmark is built for Windows: the Windows programs are
# tested from outside, through their standard streams under Wine.
set(QUILLMOT_TESTS OFF CACHE BOOL "")
set(QUILLMOT_BENCHMARKS OFF CACHE BOOL "")

# The executables that the tests run are the ones that ship: stripped.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
