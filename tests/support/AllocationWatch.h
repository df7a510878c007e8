#pragma once
// What operator new hands out while a watch lives, in every thread, and a way to make one request fail.
// An executable that uses it links AllocationWatch.cpp, which replaces the global operator new and delete.

#include <cstddef>

namespace ovrel::test {

class TAllocationWatch {
public:
    /// One watch at a time.
    TAllocationWatch();
    ~TAllocationWatch();
    TAllocationWatch(const TAllocationWatch&) = delete;
    TAllocationWatch& operator=(const TAllocationWatch&) = delete;

    /// The bytes requested since the watch began, freed ones included.
    [[nodiscard]] std::size_t RequestedBytes() const noexcept;
    /// The largest single request since the watch began.
    [[nodiscard]] std::size_t LargestRequest() const noexcept;
    /// From now on, the occurrence-th request (1 for the next) of exactly size bytes throws std::bad_alloc.
    void FailRequest(std::size_t size, int occurrence) noexcept;
    /// Whether that request came and failed.
    [[nodiscard]] bool Failed() const noexcept;
};

}  // namespace ovrel::test
