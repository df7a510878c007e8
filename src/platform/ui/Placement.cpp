#include "platform/ui/Placement.h"

namespace ovrel::ui {
namespace {

// The fields in file order, so both directions walk the same list.
template <class Record, class F> void ForEachField(Record& p, F&& field)
{
    field(p.length);
    field(p.flags);
    field(p.showCmd);
    field(p.ptMinPosition.x);
    field(p.ptMinPosition.y);
    field(p.ptMaxPosition.x);
    field(p.ptMaxPosition.y);
    field(p.rcNormalPosition.left);
    field(p.rcNormalPosition.top);
    field(p.rcNormalPosition.right);
    field(p.rcNormalPosition.bottom);
}

}  // namespace

std::array<std::uint8_t, PlacementSize> PlacementToBytes(const WINDOWPLACEMENT& placement)
{
    std::array<std::uint8_t, PlacementSize> bytes{};
    std::size_t at = 0;
    ForEachField(placement, [&](auto value) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            bytes[at++] = static_cast<std::uint8_t>(bits >> shift);
    });
    return bytes;
}

std::optional<WINDOWPLACEMENT> PlacementFromBytes(std::span<const std::uint8_t> block)
{
    if (block.size() != PlacementSize)
        return std::nullopt;
    WINDOWPLACEMENT placement;
    std::size_t at = 0;
    ForEachField(placement, [&](auto& value) {
        std::uint32_t bits = 0;
        for (int shift = 0; shift < 32; shift += 8)
            bits |= static_cast<std::uint32_t>(block[at++]) << shift;
        value = static_cast<std::remove_reference_t<decltype(value)>>(bits);
    });
    if (placement.length != PlacementSize)
        return std::nullopt;
    return placement;
}

}  // namespace ovrel::ui
