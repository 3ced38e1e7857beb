#pragma once
// The fuzzer's bytes as a file: a memory file that the archive opens by path,
// as it would open a file on disk. A setup failure aborts the run.

#include "io/Archive.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

inline void OpenFuzzInput(const uint8_t* data, size_t size, CArchive& ar)
{
    static const int fd = ::memfd_create("fuzz-input", 0);
    if (fd < 0 || ::ftruncate(fd, 0) != 0) std::abort();
    if (size > 0 && ::pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
    if (!ar.Open("/proc/self/fd/" + std::to_string(fd), CArchive::load)) std::abort();
}
