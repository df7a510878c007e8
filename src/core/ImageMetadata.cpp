#include "core/ImageMetadata.h"

#include "toolkit/SysUtils.h"

#include <algorithm>
#include <new>

namespace ovrel::core {

using namespace ovrel::toolkit;

namespace {

TStringPropertySetter GStringPropertySetter = nullptr;

// The start of an allocation shared by the blocks of one image: how many of them are still alive.
struct TSharedBlocks {
    std::size_t Alive = 0;
};

// In front of every record: the shared allocation it lies in, or null when the block has one of its own.
struct TBlockHeader {
    TSharedBlocks* Shared = nullptr;
};

// Header, record and value bytes, rounded up so that the next block's header is aligned.
constexpr std::size_t BlockSize(std::size_t valueSize) noexcept
{
    constexpr std::size_t Align = alignof(TPropertyItem);
    return (sizeof(TBlockHeader) + sizeof(TPropertyItem) + valueSize + Align - 1) / Align * Align;
}

static_assert(sizeof(TSharedBlocks) % alignof(TPropertyItem) == 0 &&
              sizeof(TBlockHeader) % alignof(TPropertyItem) == 0);

void* Allocate(std::size_t size)
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
}

// Places a header, a record and the value bytes at raw, which has BlockSize(bytes.size()) bytes.
TPropertyItem* PlaceBlock(void* raw, TSharedBlocks* shared, std::uint32_t id, std::uint16_t type,
                          std::span<const std::uint8_t> bytes) noexcept
{
    auto* header = new (raw) TBlockHeader{shared};
    auto* value = reinterpret_cast<std::uint8_t*>(header + 1) + sizeof(TPropertyItem);
    std::copy(bytes.begin(), bytes.end(), value);
    return new (header + 1) TPropertyItem{id, static_cast<std::uint32_t>(bytes.size()), type, value};
}

}  // namespace

void TVekImageMetadata::TBlockDeleter::operator()(TPropertyItem* record) const noexcept
{
    TBlockHeader* header = reinterpret_cast<TBlockHeader*>(record) - 1;
    TSharedBlocks* shared = header->Shared;
    if (!shared)
        ::operator delete(header);
    else if (--shared->Alive == 0)
        ::operator delete(shared);
}

TVekImageMetadata::TBlock TVekImageMetadata::NewBlock(std::uint32_t id, std::uint16_t type,
                                                      std::span<const std::uint8_t> bytes)
{
    return TBlock(PlaceBlock(Allocate(BlockSize(bytes.size())), nullptr, id, type, bytes));
}

TVekImageMetadata::TVekImageMetadata() = default;
TVekImageMetadata::~TVekImageMetadata() = default;

const TPropertyItem& TVekImageMetadata::GetItem(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return *FItems[static_cast<std::size_t>(index)];
}

int TVekImageMetadata::IndexOf(std::uint32_t id) const noexcept
{
    if (FLastIndex != NoLastLookup && FLastId == id)
        return FLastIndex;
    FLastId = id;
    FLastIndex = IndexOfScanned(id);
    return FLastIndex;
}

int TVekImageMetadata::IndexOfScanned(std::uint32_t id) const noexcept
{
    // From the end, eight ids at a time: the compiler compares a group side by side, and most lookups of a
    // list's texts miss. The last item of an id is the item of that id.
    const std::uint32_t* ids = FIds.data();
    std::size_t end = FIds.size();
    for (; end >= 8; end -= 8) {
        bool any = false;
        for (std::size_t k = end - 8; k < end; ++k)
            any |= ids[k] == id;
        if (any)
            break;
    }
    for (std::size_t i = end; i-- > 0;)
        if (ids[i] == id)
            return static_cast<int>(i);
    return -1;
}

const TPropertyItem* TVekImageMetadata::Find(std::uint32_t id) const noexcept
{
    const int index = IndexOf(id);
    return index < 0 ? nullptr : FItems[static_cast<std::size_t>(index)].get();
}

void TVekImageMetadata::SetItem(std::uint32_t id, std::uint16_t type, std::span<const std::uint8_t> bytes)
{
    const int index = IndexOf(id);
    if (index < 0) {
        Append(id, type, bytes);
        return;
    }
    // The new block is filled before the old one goes: the bytes may be this item's own value.
    FItems[static_cast<std::size_t>(index)] = NewBlock(id, type, bytes);
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
    TBlock block = NewBlock(id, type, bytes);
    FLastIndex = NoLastLookup;
    try {
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
    // One allocation for all items: a folder of images lists thousands of them.
    std::size_t size = sizeof(TSharedBlocks);
    for (const imaging::PropertyItem& item : items)
        size += BlockSize(item.Value.size());
    auto* shared = new (Allocate(size)) TSharedBlocks{items.size()};
    auto* at = reinterpret_cast<std::uint8_t*>(shared + 1);
    for (const imaging::PropertyItem& item : items) {
        FItems.emplace_back(PlaceBlock(at, shared, item.Id, item.Type, item.Value));  // reserved: cannot throw
        FIds.push_back(item.Id);
        at += BlockSize(item.Value.size());
    }
}

void TVekImageMetadata::ApplyTo(imaging::Image& bitmap) const
{
    for (const auto& block : FItems) {
        imaging::PropertyItem item;
        item.Id = block->id;
        item.Type = block->type;
        const std::span<const std::uint8_t> value = block->Bytes();
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
    FLastIndex = other.FLastIndex = NoLastLookup;
}

void TVekImageMetadata::Clear() noexcept
{
    FItems.clear();
    FIds.clear();
    FLastIndex = NoLastLookup;
}

void SetStringPropertySetter(TStringPropertySetter setter) noexcept { GStringPropertySetter = setter; }

void SetStringProperty(TObject* component, std::string_view propName, std::string_view value)
{
    if (component && GStringPropertySetter)
        GStringPropertySetter(component, propName, value);
}

}  // namespace ovrel::core
