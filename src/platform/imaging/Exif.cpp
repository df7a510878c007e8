// The TIFF directory structure of Exif blocks and TIFF files: reading it into property items and writing
// the items back while everything that did not change keeps its offset.

#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Structure_p.h"

#include <algorithm>
#include <array>
#include <bit>
#include <span>
#include <unordered_map>
#include <utility>

namespace ovrel::imaging::detail {

namespace {

constexpr std::uint16_t TagJpegOffset = 0x0201;
constexpr std::uint16_t TagJpegLength = 0x0202;
constexpr std::uint16_t TagStripOffsets = 0x0111;
constexpr std::uint16_t TagStripByteCounts = 0x0117;
constexpr std::uint16_t TagTileOffsets = 0x0144;
constexpr std::uint16_t TagTileByteCounts = 0x0145;

// First-IFD tags and the ids the thumbnail items are listed under.
constexpr std::pair<std::uint16_t, std::uint16_t> ThumbnailIds[] = {
    {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024}, {0x010E, 0x5025},
    {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0111, 0x5028}, {0x0112, 0x5029}, {0x0115, 0x502A}, {0x0116, 0x502B},
    {0x0117, 0x502C}, {0x011A, 0x502D}, {0x011B, 0x502E}, {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031},
    {0x0131, 0x5032}, {0x0132, 0x5033}, {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037},
    {0x0212, 0x5038}, {0x0213, 0x5039}, {0x0214, 0x503A}, {0x8298, 0x503B},
};

std::optional<std::uint16_t> ThumbnailIdOfTag(std::uint16_t tag)
{
    for (auto [t, id] : ThumbnailIds)
        if (t == tag)
            return id;
    return std::nullopt;
}

std::optional<std::uint16_t> TagOfThumbnailId(std::uint32_t id)
{
    for (auto [t, i] : ThumbnailIds)
        if (i == id)
            return t;
    return std::nullopt;
}

// Rationals swap per 32-bit half, everything else per element.
std::uint32_t SwapUnit(std::uint16_t type)
{
    return type == PropertyTagTypeRational || type == PropertyTagTypeSRational ? 4 : ElementSize(type);
}

// Between file order and machine order; the same operation both ways.
std::vector<std::uint8_t> Reorder(std::span<const std::uint8_t> bytes, std::uint16_t type, bool bigEndian)
{
    std::vector<std::uint8_t> v(bytes.begin(), bytes.end());
    const std::uint32_t unit = SwapUnit(type);
    if (unit > 1 && bigEndian != (std::endian::native == std::endian::big))
        for (std::size_t at = 0; at + unit <= v.size(); at += unit)
            std::reverse(v.begin() + static_cast<std::ptrdiff_t>(at),
                         v.begin() + static_cast<std::ptrdiff_t>(at + unit));
    return v;
}

PropertyItem LongItem(std::uint32_t id, std::uint32_t value)
{
    PropertyItem item{id, PropertyTagTypeLong, std::vector<std::uint8_t>(4)};
    for (int i = 0; i < 4; ++i) {
        const int shift = std::endian::native == std::endian::big ? 24 - 8 * i : 8 * i;
        item.Value[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> shift);
    }
    return item;
}

// Entries of a camera's Exif block, all directories together.
constexpr std::size_t TypicalEntries = 64;

// Reserves room for more elements, at least doubling what is there.
template <class T> void Grow(std::vector<T>& v, std::size_t more)
{
    if (v.capacity() - v.size() < more)
        v.reserve(std::max(v.size() + more, 2 * v.capacity()));
}

class StructureReader {
public:
    StructureReader(std::span<const std::uint8_t> bytes, StructureMode mode, ParsedStructure& out)
        : FReader(bytes), FMode(mode), FOut(out)
    {}

    bool Read()
    {
        const auto order = FReader.Bytes(0, 2);
        if (!order)
            return false;
        if ((*order)[0] == 'I' && (*order)[1] == 'I')
            FOut.BigEndian = false;
        else if ((*order)[0] == 'M' && (*order)[1] == 'M')
            FOut.BigEndian = true;
        else
            return false;
        FReader.SetBigEndian(FOut.BigEndian);
        // Room for a camera's entries, and for the thumbnail's and the file's own items after them.
        FOut.Items.reserve(TypicalEntries + 16);
        FOut.Entries.reserve(TypicalEntries);
        const auto magic = FReader.U16(2);
        const auto ifd0 = FReader.U32(4);
        if (!magic || *magic != 42 || !ifd0)
            return false;
        if (!ReadIfd(IfdKind::Ifd0, *ifd0))
            return false;
        if (FExif)
            ReadIfd(IfdKind::Exif, *FExif);
        if (FGps)
            ReadIfd(IfdKind::Gps, *FGps);
        if (FInterop)
            ReadIfd(IfdKind::Interop, *FInterop);
        const auto next = FOut.Ifds[static_cast<int>(IfdKind::Ifd0)].Next;
        if (FMode == StructureMode::ExifBlock && next != 0 && ReadIfd(IfdKind::First, next))
            ReadThumbnail();
        return true;
    }

private:
    bool ReadIfd(IfdKind kind, std::uint32_t offset)
    {
        // A directory already read (or overlapping the header) is a loop or damage: not read again.
        const auto visited = std::span(FVisited).first(FVisitedCount);
        if (offset < 8 || FVisitedCount == FVisited.size() ||
            std::find(visited.begin(), visited.end(), offset) != visited.end())
            return false;
        FVisited[FVisitedCount++] = offset;
        const auto count = FReader.U16(offset);
        if (!count || *count > MaxEntriesPerDirectory || !FReader.Has(offset, 2 + 12 * std::size_t{*count} + 4))
            return false;
        ParsedIfd& ifd = FOut.Ifds[static_cast<int>(kind)];
        ifd.Present = true;
        ifd.Offset = offset;
        ifd.EntryCount = *count;
        ifd.Next = *FReader.U32(offset + 2 + 12 * std::size_t{*count});
        // Room for this directory's entries at once; a block's directories together hold a few dozen.
        Grow(FOut.Items, *count);
        Grow(FOut.Entries, *count);
        for (std::uint32_t i = 0; i < *count; ++i)
            ReadEntry(kind, offset + 2 + 12 * i);
        return true;
    }

    void ReadEntry(IfdKind kind, std::uint32_t at)
    {
        ParsedEntry e;
        e.Ifd = kind;
        e.Tag = *FReader.U16(at);
        e.Type = *FReader.U16(at + 2);
        e.Count = *FReader.U32(at + 4);
        const std::uint32_t unit = ElementSize(e.Type);
        if (unit == 0 || e.Count > FReader.Size() / unit)  // an unknown type, or more than the block holds
            return;
        e.ValueSize = e.Count * unit;
        e.Inline = e.ValueSize <= 4;
        e.ValueOffset = e.Inline ? at + 8 : *FReader.U32(at + 8);
        const auto value = FReader.Bytes(e.ValueOffset, e.ValueSize);
        if (!value)
            return;

        const bool pointerType = e.Type == PropertyTagTypeLong || e.Type == 13;
        const auto pointer = [&]() -> std::optional<std::uint32_t> {
            if (!pointerType || e.Count != 1)
                return std::nullopt;
            return FReader.U32(e.ValueOffset);
        };
        std::uint32_t id = e.Tag;
        if (kind == IfdKind::First) {
            if (e.Tag == TagJpegOffset || e.Tag == TagJpegLength) {
                if (e.Count == 1 && (pointerType || e.Type == PropertyTagTypeShort))
                    (e.Tag == TagJpegOffset ? FThumbOffset : FThumbLength) =
                        e.Type == PropertyTagTypeShort ? *FReader.U16(e.ValueOffset) : *FReader.U32(e.ValueOffset);
                FOut.Unlisted.push_back(e);
                return;
            }
            const auto mapped = ThumbnailIdOfTag(e.Tag);
            if (!mapped) {
                FOut.Unlisted.push_back(e);  // no id to list it under
                return;
            }
            id = *mapped;
        } else if (kind == IfdKind::Ifd0 && e.Tag == PropertyTagExifIFD) {
            FExif = pointer();
        } else if (kind == IfdKind::Ifd0 && e.Tag == PropertyTagGpsIFD) {
            FGps = pointer();
        } else if (kind == IfdKind::Exif && e.Tag == PropertyTagInteropIFD) {
            FInterop = pointer();
        }
        FOut.Items.push_back(PropertyItem{id, e.Type, Reorder(*value, e.Type, FOut.BigEndian)});
        FOut.Entries.push_back(e);
    }

    void ReadThumbnail()
    {
        if (!FThumbOffset || !FThumbLength || *FThumbLength == 0)
            return;
        const auto data = FReader.Bytes(*FThumbOffset, *FThumbLength);
        if (!data)
            return;
        FOut.ThumbnailOffset = *FThumbOffset;
        FOut.ThumbnailLength = *FThumbLength;
        auto& items = FOut.ThumbnailItems;
        items.push_back(LongItem(PropertyTagThumbnailFormat, 1));  // JPEG
        JpegHeader header;
        const bool parsed = ParseJpegHeader(*data, header) && header.HasFrame;
        if (parsed) {
            items.push_back(LongItem(PropertyTagThumbnailWidth, header.Width));
            items.push_back(LongItem(PropertyTagThumbnailHeight, header.Height));
        }
        items.push_back(LongItem(0x5015, 24));  // colour depth of the decoded thumbnail
        items.push_back(LongItem(0x5016, 1));  // planes
        if (parsed) {
            const std::uint64_t raw = ((std::uint64_t{header.Width} * 24 + 31) / 32) * 4 * header.Height;
            const auto clamped = static_cast<std::uint32_t>(std::min<std::uint64_t>(raw, 0xFFFFFFFFu));
            items.push_back(LongItem(0x5017, clamped));  // raw bytes
            items.push_back(LongItem(0x5018, clamped));  // size
        }
        items.push_back(LongItem(0x5019, *FThumbLength));  // compressed size
        items.push_back(PropertyItem{PropertyTagThumbnailData, PropertyTagTypeByte,
                                     std::vector<std::uint8_t>(data->begin(), data->end())});
    }

    ByteReader FReader;
    StructureMode FMode;
    ParsedStructure& FOut;
    std::array<std::uint32_t, IfdKindCount> FVisited{};  // each kind of directory is read once at most
    std::size_t FVisitedCount = 0;
    std::optional<std::uint32_t> FExif, FGps, FInterop, FThumbOffset, FThumbLength;
};

// Where an item that the old structure did not have goes.
bool DefaultPlace(std::uint32_t id, StructureMode mode, IfdKind& ifd, std::uint16_t& tag)
{
    tag = static_cast<std::uint16_t>(id);
    if (id >= 0x5000 && id <= 0x50FF) {
        const auto t = TagOfThumbnailId(id);
        if (mode != StructureMode::ExifBlock || !t)
            return false;
        ifd = IfdKind::First;
        tag = *t;
        return true;
    }
    if (id <= 0x001F)
        ifd = IfdKind::Gps;  // the interoperability ids 1 and 2 go there only when the file had them
    else if (id >= 0x1000 && id <= 0x1002)
        ifd = IfdKind::Interop;
    else if (id == 0x829A || id == 0x829D || (id >= 0x8822 && id <= 0x8835) ||
             (id >= 0x9000 && id <= 0xAFFF && !(id >= 0x9C9B && id <= 0x9C9F)))
        ifd = IfdKind::Exif;
    else
        ifd = IfdKind::Ifd0;
    return true;
}

// Entries copied from the old structure as they are: the image data's own layout.
bool KeepsVerbatim(StructureMode mode, IfdKind ifd, std::uint16_t tag)
{
    if (mode == StructureMode::TiffFile)
        return ifd == IfdKind::Ifd0 && IsTiffStructureTag(tag);
    return ifd == IfdKind::First && (tag == TagStripOffsets || tag == TagStripByteCounts);
}

enum class EntryRole { Plain, ExifPointer, GpsPointer, InteropPointer, ThumbnailOffset, ThumbnailLength };

struct Range {
    std::size_t At;
    std::size_t Size;
};

struct OutEntry {
    std::uint16_t Tag = 0;
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    std::vector<std::uint8_t> Value;  // file order
    int Old = -1;  // the parsed entry it came from
    EntryRole Role = EntryRole::Plain;
    std::uint32_t At = 0;  // where an out-of-line value was placed
    std::optional<Range> OldValue = std::nullopt;  // where the value of an unlisted entry was
};

class StructureWriter {
public:
    StructureWriter(std::span<const std::uint8_t> old, StructureMode mode, std::vector<std::uint8_t>& out)
        : FOld(old), FMode(mode), FOut(out)
    {}

    Status Write(const std::vector<PropertyItem>& items)
    {
        FHavePrev = !FOld.empty() && ParseStructure(FOld, FMode, FPrev);
        if (!FOld.empty() && !FHavePrev && FMode == StructureMode::TiffFile)
            return Status::GenericError;
        FBig = FHavePrev && FPrev.BigEndian;
        CollectEntries(items);
        if (FMode == StructureMode::ExifBlock &&
            std::all_of(std::begin(FDirs), std::end(FDirs), [](const auto& d) { return d.empty(); }) && !FThumb) {
            FOut.clear();
            return Status::Ok;
        }
        AddPointers();
        for (auto& d : FDirs)
            std::stable_sort(d.begin(), d.end(), [](const OutEntry& a, const OutEntry& b) { return a.Tag < b.Tag; });
        if (!Layout())
            return Status::ValueOverflow;
        Emit();
        return Status::Ok;
    }

private:
    std::vector<OutEntry>& Dir(IfdKind kind) { return FDirs[static_cast<int>(kind)]; }

    void CollectEntries(const std::vector<PropertyItem>& items)
    {
        std::unordered_map<std::uint32_t, std::vector<int>> oldById;
        for (std::size_t j = 0; j < FPrev.Items.size(); ++j)
            oldById[FPrev.Items[j].Id].push_back(static_cast<int>(j));
        std::unordered_map<std::uint32_t, std::size_t> seen;
        for (const auto& item : items) {
            if (item.Id == PropertyTagThumbnailData) {
                if (FMode == StructureMode::ExifBlock)
                    FThumb = &item.Value;  // the last one counts
                continue;
            }
            if (item.Id > 0xFFFF || IsDerivedExifId(item.Id))
                continue;
            if (FMode == StructureMode::TiffFile &&
                (IsTiffStructureTag(static_cast<std::uint16_t>(item.Id)) || (item.Id >= 0x5000 && item.Id <= 0x50FF)))
                continue;
            const std::uint32_t unit = ElementSize(item.Type);
            if (unit == 0 || item.Value.size() % unit != 0 || item.Value.size() / unit > 0xFFFFFFFFu)
                continue;
            // The k-th item of an id takes the place of the k-th entry of that id in the old structure.
            int old = -1;
            const std::size_t k = seen[item.Id]++;
            if (auto it = oldById.find(item.Id); it != oldById.end() && k < it->second.size())
                old = it->second[k];
            IfdKind ifd;
            std::uint16_t tag;
            if (old >= 0) {
                ifd = FPrev.Entries[static_cast<std::size_t>(old)].Ifd;
                tag = FPrev.Entries[static_cast<std::size_t>(old)].Tag;
                if (KeepsVerbatim(FMode, ifd, tag))
                    continue;
            } else if (!DefaultPlace(item.Id, FMode, ifd, tag) || KeepsVerbatim(FMode, ifd, tag)) {
                continue;
            }
            Dir(ifd).push_back(OutEntry{tag, item.Type, static_cast<std::uint32_t>(item.Value.size() / unit),
                                        Reorder(item.Value, item.Type, FBig), old});
        }
        if (FThumb && FThumb->empty())
            FThumb = nullptr;
        KeepUnlisted();
        for (std::size_t j = 0; j < FPrev.Entries.size(); ++j) {
            const auto& e = FPrev.Entries[j];
            if (!KeepsVerbatim(FMode, e.Ifd, e.Tag))
                continue;
            const auto bytes = FOld.subspan(e.ValueOffset, e.ValueSize);
            Dir(e.Ifd).push_back(OutEntry{e.Tag, e.Type, e.Count, {bytes.begin(), bytes.end()}, static_cast<int>(j)});
            FProtected.push_back(Range{e.ValueOffset, e.ValueSize});
            AddDataRanges(e, j);
        }
    }

    // The first IFD's entries that no item stands for go back as they were while the directory stays. The
    // thumbnail's offset and length do only when no thumbnail was read: a read one is rewritten or removed.
    void KeepUnlisted()
    {
        FUnlistedKept.assign(FPrev.Unlisted.size(), false);
        if (FMode != StructureMode::ExifBlock || (Dir(IfdKind::First).empty() && !FThumb))
            return;
        for (std::size_t j = 0; j < FPrev.Unlisted.size(); ++j) {
            const auto& e = FPrev.Unlisted[j];
            if ((e.Tag == TagJpegOffset || e.Tag == TagJpegLength) && (FThumb || FPrev.ThumbnailOffset))
                continue;
            const auto bytes = FOld.subspan(e.ValueOffset, e.ValueSize);
            OutEntry out{e.Tag, e.Type, e.Count, {bytes.begin(), bytes.end()}};
            if (!e.Inline)
                out.OldValue = Range{e.ValueOffset, e.ValueSize};
            Dir(IfdKind::First).push_back(std::move(out));
            FUnlistedKept[j] = true;
        }
    }

    // The strips or tiles an offsets entry points at must survive the zeroing of dead regions.
    void AddDataRanges(const ParsedEntry& offsets, std::size_t index)
    {
        const std::uint16_t countsTag = offsets.Tag == TagStripOffsets  ? TagStripByteCounts
                                        : offsets.Tag == TagTileOffsets ? TagTileByteCounts
                                                                        : 0;
        if (countsTag == 0)
            return;
        ByteReader r(FOld, FBig);
        for (std::size_t j = 0; j < FPrev.Entries.size(); ++j) {
            const auto& c = FPrev.Entries[j];
            if (j == index || c.Ifd != offsets.Ifd || c.Tag != countsTag || c.Count != offsets.Count)
                continue;
            for (std::uint32_t i = 0; i < offsets.Count; ++i) {
                const auto at = Element(r, offsets, i), size = Element(r, c, i);
                if (at && size)
                    FProtected.push_back(Range{*at, *size});
            }
        }
    }

    static std::optional<std::uint32_t> Element(const ByteReader& r, const ParsedEntry& e, std::uint32_t i)
    {
        if (e.Type == PropertyTagTypeShort)
            return r.U16(e.ValueOffset + std::size_t{i} * 2);
        if (e.Type == PropertyTagTypeLong || e.Type == 13)
            return r.U32(e.ValueOffset + std::size_t{i} * 4);
        return std::nullopt;
    }

    void AddPointers()
    {
        auto pointer = [](std::uint16_t tag, EntryRole role) {
            return OutEntry{tag, PropertyTagTypeLong, 1, std::vector<std::uint8_t>(4), -1, role};
        };
        if (!Dir(IfdKind::Interop).empty())
            Dir(IfdKind::Exif).push_back(pointer(PropertyTagInteropIFD, EntryRole::InteropPointer));
        if (!Dir(IfdKind::Exif).empty())
            Dir(IfdKind::Ifd0).push_back(pointer(PropertyTagExifIFD, EntryRole::ExifPointer));
        if (!Dir(IfdKind::Gps).empty())
            Dir(IfdKind::Ifd0).push_back(pointer(PropertyTagGpsIFD, EntryRole::GpsPointer));
        if (FThumb) {
            Dir(IfdKind::First).push_back(pointer(TagJpegOffset, EntryRole::ThumbnailOffset));
            Dir(IfdKind::First).push_back(pointer(TagJpegLength, EntryRole::ThumbnailLength));
        }
    }

    std::optional<std::uint32_t> Append(std::size_t size)
    {
        if (FOut.size() % 2)
            FOut.push_back(0);  // values start on a word boundary
        const std::size_t at = FOut.size();
        if (size > 0xFFFFFFFFu - at)
            return std::nullopt;
        FOut.resize(at + size);
        return static_cast<std::uint32_t>(at);
    }

    // Reuses the old place when the new bytes fit there, else appends; the rest of the old place is dead.
    std::optional<std::uint32_t> Place(std::size_t size, std::optional<Range> old)
    {
        if (old && size <= old->Size) {
            if (size < old->Size)
                FDead.push_back(Range{old->At + size, old->Size - size});
            return static_cast<std::uint32_t>(old->At);
        }
        if (old)
            FDead.push_back(*old);
        return Append(size);
    }

    bool Layout()
    {
        if (FHavePrev) {
            FOut.assign(FOld.begin(), FOld.end());
        } else {
            FOut.assign(8, 0);
        }
        for (std::size_t k = 0; k < IfdKindCount; ++k) {
            const auto kind = static_cast<IfdKind>(k);
            const bool present = kind == IfdKind::Ifd0 || !FDirs[k].empty();
            std::optional<Range> old;
            if (FHavePrev && FPrev.Ifds[k].Present)
                old = Range{FPrev.Ifds[k].Offset, 2 + 12 * std::size_t{FPrev.Ifds[k].EntryCount} + 4};
            if (!present) {
                if (old)
                    FDead.push_back(*old);
                continue;
            }
            const auto at = Place(2 + 12 * FDirs[k].size() + 4, old);
            if (!at)
                return false;
            FDirAt[k] = *at;
        }
        std::vector<bool> oldUsed(FPrev.Entries.size());
        for (auto& d : FDirs) {
            for (auto& e : d) {
                std::optional<Range> old = e.OldValue;
                if (e.Old >= 0) {
                    const auto& p = FPrev.Entries[static_cast<std::size_t>(e.Old)];
                    oldUsed[static_cast<std::size_t>(e.Old)] = true;
                    if (!p.Inline)
                        old = Range{p.ValueOffset, p.ValueSize};
                }
                if (e.Value.size() <= 4) {
                    if (old)
                        FDead.push_back(*old);
                    continue;
                }
                const auto at = Place(e.Value.size(), old);
                if (!at)
                    return false;
                e.At = *at;
            }
        }
        for (std::size_t j = 0; j < FPrev.Entries.size(); ++j)
            if (!oldUsed[j] && !FPrev.Entries[j].Inline)
                FDead.push_back(Range{FPrev.Entries[j].ValueOffset, FPrev.Entries[j].ValueSize});
        for (std::size_t j = 0; j < FPrev.Unlisted.size(); ++j)
            if (!FUnlistedKept[j] && !FPrev.Unlisted[j].Inline)
                FDead.push_back(Range{FPrev.Unlisted[j].ValueOffset, FPrev.Unlisted[j].ValueSize});
        std::optional<Range> oldThumb;
        if (FPrev.ThumbnailOffset)
            oldThumb = Range{*FPrev.ThumbnailOffset, FPrev.ThumbnailLength};
        if (FThumb) {
            const auto at = Place(FThumb->size(), oldThumb);
            if (!at)
                return false;
            FThumbAt = *at;
        } else if (oldThumb) {
            FDead.push_back(*oldThumb);
        }
        return true;
    }

    void Emit()
    {
        // Removed and moved values are cleared, unless a region is shared with image data that stays. A TIFF
        // file with further pages is left as it is: their directories were not read.
        const bool mayClear = !(FMode == StructureMode::TiffFile && FHavePrev && FPrev.Ifds[0].Next != 0);
        if (mayClear) {
            for (const auto& d : FDead) {
                const bool shared = std::any_of(FProtected.begin(), FProtected.end(), [&](const Range& p) {
                    return p.At < d.At + d.Size && d.At < p.At + p.Size;
                });
                if (!shared && d.At <= FOut.size() && d.Size <= FOut.size() - d.At)
                    std::fill_n(FOut.begin() + static_cast<std::ptrdiff_t>(d.At), d.Size, 0);
            }
        }
        ByteWriter w(FOut, FBig);
        if (FThumb)
            std::copy(FThumb->begin(), FThumb->end(), FOut.begin() + FThumbAt);
        for (std::size_t k = 0; k < IfdKindCount; ++k) {
            const auto kind = static_cast<IfdKind>(k);
            if (kind != IfdKind::Ifd0 && FDirs[k].empty())
                continue;
            const std::size_t dirAt = FDirAt[k];
            w.PutU16(dirAt, static_cast<std::uint16_t>(FDirs[k].size()));
            for (std::size_t i = 0; i < FDirs[k].size(); ++i) {
                auto& e = FDirs[k][i];
                const std::size_t at = dirAt + 2 + 12 * i;
                w.PutU16(at, e.Tag);
                w.PutU16(at + 2, e.Type);
                w.PutU32(at + 4, e.Count);
                w.PutU32(at + 8, 0);
                switch (e.Role) {
                case EntryRole::ExifPointer: w.PutU32(at + 8, FDirAt[static_cast<int>(IfdKind::Exif)]); break;
                case EntryRole::GpsPointer: w.PutU32(at + 8, FDirAt[static_cast<int>(IfdKind::Gps)]); break;
                case EntryRole::InteropPointer: w.PutU32(at + 8, FDirAt[static_cast<int>(IfdKind::Interop)]); break;
                case EntryRole::ThumbnailOffset: w.PutU32(at + 8, FThumbAt); break;
                case EntryRole::ThumbnailLength: w.PutU32(at + 8, static_cast<std::uint32_t>(FThumb->size())); break;
                case EntryRole::Plain:
                    if (e.Value.size() <= 4) {
                        std::copy(e.Value.begin(), e.Value.end(), FOut.begin() + static_cast<std::ptrdiff_t>(at + 8));
                    } else {
                        std::copy(e.Value.begin(), e.Value.end(), FOut.begin() + e.At);
                        w.PutU32(at + 8, e.At);
                    }
                    break;
                }
            }
            std::uint32_t next = 0;
            if (kind == IfdKind::Ifd0) {
                if (FMode == StructureMode::TiffFile)
                    next = FHavePrev ? FPrev.Ifds[0].Next : 0;
                else if (!FDirs[static_cast<int>(IfdKind::First)].empty())
                    next = FDirAt[static_cast<int>(IfdKind::First)];
            }
            w.PutU32(dirAt + 2 + 12 * FDirs[k].size(), next);
        }
        FOut[0] = FOut[1] = FBig ? 'M' : 'I';
        w.PutU16(2, 42);
        w.PutU32(4, FDirAt[0]);
    }

    std::span<const std::uint8_t> FOld;
    StructureMode FMode;
    std::vector<std::uint8_t>& FOut;
    ParsedStructure FPrev;
    bool FHavePrev = false;
    bool FBig = false;
    std::vector<OutEntry> FDirs[IfdKindCount];
    const std::vector<std::uint8_t>* FThumb = nullptr;
    std::uint32_t FThumbAt = 0;
    std::uint32_t FDirAt[IfdKindCount] = {};
    std::vector<Range> FDead;
    std::vector<Range> FProtected;
    std::vector<bool> FUnlistedKept;  // per entry of FPrev.Unlisted
};

}  // namespace

std::uint32_t ElementSize(std::uint16_t type) noexcept
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7: return 1;  // byte, ASCII, signed byte, undefined
    case 3:
    case 8: return 2;  // short, signed short
    case 4:
    case 9:
    case 11:
    case 13: return 4;  // long, signed long, float, IFD
    case 5:
    case 10:
    case 12: return 8;  // rationals, double
    default: return 0;
    }
}

bool IsDerivedExifId(std::uint32_t id) noexcept
{
    return id == PropertyTagExifIFD || id == PropertyTagGpsIFD || id == PropertyTagInteropIFD ||
           (id >= PropertyTagThumbnailFormat && id <= 0x501A) || id == 0x5028 || id == 0x502C ||
           id == PropertyTagLuminanceTable || id == PropertyTagChrominanceTable;
}

bool IsTiffStructureTag(std::uint16_t tag) noexcept
{
    switch (tag) {
    case 0x00FE:
    case 0x00FF:  // subfile type
    case 0x0100:
    case 0x0101:
    case 0x0102:
    case 0x0103:
    case 0x0106:  // size, samples, compression, photometric
    case 0x0107:
    case 0x010A:
    case 0x0111:
    case 0x0115:
    case 0x0116:
    case 0x0117:
    case 0x0118:
    case 0x0119:
    case 0x011C:
    case 0x0122:
    case 0x0123:
    case 0x0124:
    case 0x0125:
    case 0x013D:
    case 0x0140:
    case 0x0142:
    case 0x0143:
    case 0x0144:
    case 0x0145:
    case 0x014A:
    case 0x0152:
    case 0x0153:
    case 0x0154:
    case 0x0155:
    case 0x015B:
    case 0x0211:
    case 0x0212:
    case 0x0213:
    case 0x0214: return true;
    default: return tag >= 0x0200 && tag <= 0x0209;  // old-style JPEG fields
    }
}

bool ParseStructure(std::span<const std::uint8_t> bytes, StructureMode mode, ParsedStructure& out)
{
    out = ParsedStructure{};
    return StructureReader(bytes, mode, out).Read();
}

Status WriteStructure(std::span<const std::uint8_t> old, StructureMode mode, const std::vector<PropertyItem>& items,
                      std::vector<std::uint8_t>& out)
{
    return StructureWriter(old, mode, out).Write(items);
}

Status ReadExifBlock(std::span<const std::uint8_t> tiff, std::vector<PropertyItem>& items) noexcept
{
    return Guarded([&] {
        ParsedStructure parsed;
        if (!ParseStructure(tiff, StructureMode::ExifBlock, parsed))
            return Status::GenericError;
        if (items.empty())
            items = std::move(parsed.Items);  // with the room reserved for what follows
        else
            items.insert(items.end(), std::make_move_iterator(parsed.Items.begin()),
                         std::make_move_iterator(parsed.Items.end()));
        items.insert(items.end(), std::make_move_iterator(parsed.ThumbnailItems.begin()),
                     std::make_move_iterator(parsed.ThumbnailItems.end()));
        return Status::Ok;
    });
}

bool ExifBlockIsBigEndian(std::span<const std::uint8_t> tiff) noexcept
{
    return tiff.size() >= 2 && tiff[0] == 'M' && tiff[1] == 'M';
}

Status WriteExifBlock(std::span<const std::uint8_t> old, const std::vector<PropertyItem>& items,
                      std::vector<std::uint8_t>& out) noexcept
{
    return Guarded([&] { return WriteStructure(old, StructureMode::ExifBlock, items, out); });
}

}  // namespace ovrel::imaging::detail

namespace ovrel::imaging::detail {

namespace {

std::uint32_t NativeUnsigned(std::span<const std::uint8_t> bytes) noexcept
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t k = std::endian::native == std::endian::big ? i : bytes.size() - 1 - i;
        v = (v << 8) | bytes[k];
    }
    return v;
}

std::optional<double> FirstRational(const PropertyItem* item) noexcept
{
    if (!item || item->Type != PropertyTagTypeRational || item->Value.size() < 8)
        return std::nullopt;
    const std::span<const std::uint8_t> v(item->Value);
    const std::uint32_t n = NativeUnsigned(v.subspan(0, 4)), d = NativeUnsigned(v.subspan(4, 4));
    if (d == 0 || n == 0)
        return std::nullopt;
    return static_cast<double>(n) / d;
}

}  // namespace

std::optional<std::uint32_t> ItemNumber(const PropertyItem& item, std::size_t index) noexcept
{
    std::size_t unit = 0;
    if (item.Type == PropertyTagTypeByte)
        unit = 1;
    else if (item.Type == PropertyTagTypeShort)
        unit = 2;
    else if (item.Type == PropertyTagTypeLong || item.Type == 13)
        unit = 4;
    if (unit == 0 || index >= item.Value.size() / unit)
        return std::nullopt;
    return NativeUnsigned(std::span<const std::uint8_t>(item.Value).subspan(index * unit, unit));
}

const PropertyItem* FindItem(const std::vector<PropertyItem>& items, std::uint32_t id) noexcept
{
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (it->Id == id)
            return &*it;
    return nullptr;
}

bool ResolutionFromItems(const std::vector<PropertyItem>& items, float& dpiX, float& dpiY) noexcept
{
    const auto x = FirstRational(FindItem(items, 0x011A)), y = FirstRational(FindItem(items, 0x011B));
    if (!x || !y)
        return false;
    std::uint32_t unit = 2;  // inches when the file does not say
    if (const auto* u = FindItem(items, 0x0128); u && ItemNumber(*u))
        unit = *ItemNumber(*u);
    if (unit != 2 && unit != 3)
        return false;
    const double scale = unit == 3 ? 2.54 : 1.0;
    dpiX = static_cast<float>(*x * scale);
    dpiY = static_cast<float>(*y * scale);
    return true;
}

PropertyItem ShortsItem(std::uint32_t id, std::span<const std::uint16_t> values)
{
    PropertyItem item{id, PropertyTagTypeShort, std::vector<std::uint8_t>(values.size() * 2)};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto hi = static_cast<std::uint8_t>(values[i] >> 8), lo = static_cast<std::uint8_t>(values[i]);
        item.Value[2 * i] = std::endian::native == std::endian::big ? hi : lo;
        item.Value[2 * i + 1] = std::endian::native == std::endian::big ? lo : hi;
    }
    return item;
}

}  // namespace ovrel::imaging::detail
