#pragma once
// Private to the image layer: limits and helpers shared by the PNG, BMP and GIF code and the decoders.

#include <cstdint>
#include <cstring>
#include <vector>

namespace ovrel::imaging::detail {

// No decoder allocates for more pixels than this (1 GiB of RGBA), whatever a header claims.
inline constexpr std::uint64_t MaxDecodedPixels = std::uint64_t{1} << 28;

// Appends a number to an item value in the machine's byte order, as items hold them.
template <typename T> void AppendNative(std::vector<std::uint8_t>& value, T number)
{
    const std::size_t at = value.size();
    value.resize(at + sizeof(T));
    std::memcpy(value.data() + at, &number, sizeof(T));
}

}  // namespace ovrel::imaging::detail
