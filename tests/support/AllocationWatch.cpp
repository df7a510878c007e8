#include "support/AllocationWatch.h"

#include <atomic>
#include <cassert>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> GWatching{false};
std::atomic<std::size_t> GRequested{0};
std::atomic<std::size_t> GLargest{0};
std::atomic<std::size_t> GFailSize{0};
std::atomic<int> GFailCountdown{0};
std::atomic<bool> GFailed{false};

void Note(std::size_t size)
{
    if (!GWatching.load(std::memory_order_relaxed))
        return;
    GRequested.fetch_add(size, std::memory_order_relaxed);
    std::size_t largest = GLargest.load(std::memory_order_relaxed);
    while (size > largest && !GLargest.compare_exchange_weak(largest, size, std::memory_order_relaxed)) {}
    if (size == GFailSize.load(std::memory_order_relaxed) && GFailCountdown.load(std::memory_order_relaxed) > 0 &&
        GFailCountdown.fetch_sub(1, std::memory_order_relaxed) == 1) {
        GFailed = true;
        throw std::bad_alloc();
    }
}

void* Allocate(std::size_t size)
{
    Note(size);
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment)
{
    Note(size);
    const auto align = static_cast<std::size_t>(alignment);
    void* p = std::aligned_alloc(align, (size + align - 1) / align * align);
    if (!p)
        throw std::bad_alloc();
    return p;
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace ovrel::test {

TAllocationWatch::TAllocationWatch()
{
    assert(!GWatching);
    GRequested = 0;
    GLargest = 0;
    GFailCountdown = 0;
    GFailed = false;
    GWatching = true;
}

TAllocationWatch::~TAllocationWatch()
{
    GWatching = false;
    GFailCountdown = 0;
}

std::size_t TAllocationWatch::RequestedBytes() const noexcept { return GRequested; }

std::size_t TAllocationWatch::LargestRequest() const noexcept { return GLargest; }

void TAllocationWatch::FailRequest(std::size_t size, int occurrence) noexcept
{
    GFailSize = size;
    GFailCountdown = occurrence;
}

bool TAllocationWatch::Failed() const noexcept { return GFailed; }

}  // namespace ovrel::test
