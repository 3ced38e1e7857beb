// Kept in a file of its own so that no caller sees the replacement inlined.
// Every form of new and delete is replaced, so that no block allocated by
// one allocator is freed by the other.

#include "FailingAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

std::atomic<size_t> g_failAllocationsFrom{SIZE_MAX};

namespace {

void* Allocate(size_t size) noexcept
{
    if (size >= g_failAllocationsFrom) return nullptr;
    return std::malloc(size ? size : 1);
}

}  // namespace

void* operator new(size_t size)
{
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
