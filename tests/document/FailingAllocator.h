#pragma once
// The test program's operator new, which can be told to run out of memory.

#include <atomic>
#include <cstddef>

// Allocations of this many bytes or more fail while it is set; SIZE_MAX lets all through.
extern std::atomic<size_t> g_failAllocationsFrom;
