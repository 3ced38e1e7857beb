// Kept in a file of its own so that no caller sees the replacement inlined.

#include "FailingAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

std::atomic<size_t> g_failAllocationsFrom{SIZE_MAX};

void* operator new(size_t size)
{
    if (size >= g_failAllocationsFrom) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
