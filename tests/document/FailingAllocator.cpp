// Kept in a file of its own so that no caller sees the replacement inlined. Only the plain forms
// (and the sized delete, which the compiler calls directly) are replaced: the library's nothrow and
// array forms call them.

#include <atomic>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

// Allocations of this many bytes or more fail while it is set; SIZE_MAX lets all through.
std::atomic<size_t> g_failAllocationsFrom{SIZE_MAX};

void* operator new(size_t size)
{
    if (size < g_failAllocationsFrom)
        if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
