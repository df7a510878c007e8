#pragma once
// The metadata of one image as a flat list of property items, in the shape the image layer hands them out.

#include "platform/imaging/Image.h"
#include "toolkit/System.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace ovrel::core {

/// One metadata entry. `value` points at `length` bytes owned by the list that handed the record out; it
/// stays valid until that item is changed or the list is cleared or destroyed.
struct TPropertyItem {
    std::uint32_t id = 0;
    std::uint32_t length = 0;
    std::uint16_t type = 0;
    const std::uint8_t* value = nullptr;

    [[nodiscard]] std::span<const std::uint8_t> Bytes() const noexcept { return {value, length}; }
};

/// The property items of one image: filled from an image, edited by id, written back into an image.
class TVekImageMetadata : public toolkit::TObject {
public:
    TVekImageMetadata();
    ~TVekImageMetadata() override;

    [[nodiscard]] int Count() const noexcept { return static_cast<int>(FItems.size()); }
    /// Raises EListError when index is out of range.
    [[nodiscard]] const TPropertyItem& GetItem(int index) const;
    /// The last index holding that id, or -1.
    [[nodiscard]] int IndexOf(std::uint32_t id) const noexcept;
    /// The item of IndexOf(id), or null.
    [[nodiscard]] const TPropertyItem* Find(std::uint32_t id) const noexcept;
    [[nodiscard]] bool Has(std::uint32_t id) const noexcept { return IndexOf(id) >= 0; }

    /// Replaces the item of that id in place, or appends a new one.
    void SetItem(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes);
    void SetItem(std::uint32_t id, std::uint16_t type, std::uint32_t length, const void* bytes);
    /// An ASCII item: the text followed by one zero byte, the length counting it.
    void SetString(std::uint32_t id, std::string_view text);
    /// Appends an item without looking for one of that id: the list may hold duplicates, as a file's does.
    void Append(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes);
    /// Exchanges the items of the two lists; records handed out stay valid and go with their items (the
    /// blocks of a list read from an image carry their shared allocation with them).
    void Swap(TVekImageMetadata& other) noexcept;

    /// Replaces the list by the image's items in the image's order, duplicates included.
    void LoadFromImage(const imaging::Image& image);
    /// Sets every item on the image in list order; the image's own refusals are ignored. Raises EOutOfMemory
    /// when an item could not be set for want of memory, as the image would be saved without it.
    void ApplyTo(imaging::Image& bitmap) const;
    void Clear() noexcept;

private:
    // A block holds an item's record followed by its value bytes. The items read from an image share one
    // allocation, freed with the last of its blocks; an item set later has an allocation of its own.
    struct TBlockDeleter {
        void operator()(TPropertyItem* record) const noexcept;
    };
    using TBlock = std::unique_ptr<TPropertyItem, TBlockDeleter>;
    [[nodiscard]] static TBlock NewBlock(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes);
    [[nodiscard]] int IndexOfScanned(std::uint32_t id) const noexcept;

    // One block per item, so a record handed out survives changes to other items.
    std::vector<TBlock> FItems;
    // The ids of FItems side by side, so a lookup (sorting does many) scans one array instead of every block.
    std::vector<std::uint32_t> FIds;
    // The last lookup: showing a property asks for its item twice, whether it is there and then its value.
    mutable std::uint32_t FLastId = 0;
    mutable int FLastIndex = NoLastLookup;
    static constexpr int NoLastLookup = -2;
};

/// Sets a published string property of a component by name. The class library of the user interface
/// registers the lookup; without it, and for a null component, nothing happens.
using TStringPropertySetter = void (*)(toolkit::TObject* component, std::string_view propName, std::string_view value);
void SetStringPropertySetter(TStringPropertySetter setter) noexcept;
void SetStringProperty(toolkit::TObject* component, std::string_view propName, std::string_view value);

}  // namespace ovrel::core
