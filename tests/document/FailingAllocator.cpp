// Kept in a file of its own so that no caller sees the replacement inlined. Every form of new
// that pairs with the plain delete is replaced, so that none is freed by another allocator (a
// sanitizer's runtime supplies the forms left out).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

// Allocations of this many bytes or more fail while it is set; SIZE_MAX lets all through.
std::atomic<size_t> g_failAllocationsFrom{SIZE_MAX};

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return size >= g_failAllocationsFrom ? nullptr : std::malloc(size ? size : 1);
}
void* operator new(size_t size)
{
    if (void* p = operator new(size, std::nothrow)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
