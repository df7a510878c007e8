#include "core/ImageMetadata.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <new>

namespace ovrel::core {

using namespace ovrel::toolkit;

namespace {

TStringPropertySetter GStringPropertySetter = nullptr;

std::vector<std::uint8_t> CopyBytes(std::span<const std::uint8_t> bytes)
{
    try {
        return {bytes.begin(), bytes.end()};
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
}

}  // namespace

void TVekImageMetadata::TBlock::Assign(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes)
{
    const std::uint8_t* value = nullptr;
    if (bytes.size() <= SmallSize) {
        std::copy(bytes.begin(), bytes.end(), Small.begin());
        Large = {};
        value = Small.data();
    } else {
        Large.assign(bytes.begin(), bytes.end());
        value = Large.data();
    }
    Item = TPropertyItem{id, static_cast<std::uint32_t>(bytes.size()), type, value};
}

TVekImageMetadata::TVekImageMetadata() = default;
TVekImageMetadata::~TVekImageMetadata() = default;

const TPropertyItem& TVekImageMetadata::GetItem(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<std::size_t>(index)]->Item;
}

int TVekImageMetadata::IndexOf(std::uint32_t id) const noexcept
{
    for (std::size_t i = FIds.size(); i-- > 0;)
        if (FIds[i] == id)
            return static_cast<int>(i);
    return -1;
}

const TPropertyItem* TVekImageMetadata::Find(std::uint32_t id) const noexcept
{
    const int index = IndexOf(id);
    return index < 0 ? nullptr : &FItems[static_cast<std::size_t>(index)]->Item;
}

void TVekImageMetadata::SetItem(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes)
{
    const int index = IndexOf(id);
    if (index < 0) {
        Append(id, type, bytes);
        return;
    }
    // Copy before replacing: the bytes may be this item's own value.
    const std::vector<std::uint8_t> copy = CopyBytes(bytes);
    try {
        FItems[static_cast<std::size_t>(index)]->Assign(id, type, copy);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
}

void TVekImageMetadata::SetItem(std::uint32_t id, std::uint16_t type, std::uint32_t length, const void* bytes)
{
    SetItem(id, type, std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(bytes), bytes ? length : 0));
}

void TVekImageMetadata::SetString(std::uint32_t id, std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    SetItem(id, imaging::PropertyTagTypeASCII, bytes);
}

void TVekImageMetadata::Append(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes)
{
    try {
        auto block = std::make_unique<TBlock>();
        block->Assign(id, type, bytes);
        FIds.push_back(id);
        try {
            FItems.push_back(std::move(block));
        } catch (...) {
            FIds.pop_back();
            throw;
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
}

void TVekImageMetadata::LoadFromImage(const imaging::Image& image)
{
    Clear();
    if (image.GetPropertyCount() == 0)
        return;
    const auto& items = image.GetAllPropertyItems();
    FItems.reserve(items.size());
    FIds.reserve(items.size());
    for (const imaging::PropertyItem& item : items)
        Append(item.Id, item.Type, item.Value);
}

void TVekImageMetadata::ApplyTo(imaging::Image& bitmap) const
{
    for (const auto& block : FItems) {
        imaging::PropertyItem item;
        item.Id = block->Item.id;
        item.Type = block->Item.type;
        const std::span<const std::uint8_t> value = block->Item.Bytes();
        try {
            item.Value.assign(value.begin(), value.end());
        } catch (const std::bad_alloc&) {
            throw EOutOfMemory("Out of memory");
        }
        if (bitmap.SetPropertyItem(item) == imaging::Status::OutOfMemory)
            throw EOutOfMemory("Out of memory");
    }
}

void TVekImageMetadata::Swap(TVekImageMetadata& other) noexcept
{
    FItems.swap(other.FItems);
    FIds.swap(other.FIds);
}

void TVekImageMetadata::Clear() noexcept
{
    FItems.clear();
    FIds.clear();
}

void SetStringPropertySetter(TStringPropertySetter setter) noexcept { GStringPropertySetter = setter; }

void SetStringProperty(TObject* component, std::string_view propName, std::string_view value)
{
    if (component && GStringPropertySetter)
        GStringPropertySetter(component, propName, value);
}

}  // namespace ovrel::core
