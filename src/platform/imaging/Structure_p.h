#pragma once
// Private to the image layer: the TIFF directory structure shared by Exif blocks and TIFF files, and the
// JPEG segment walk shared by the JPEG reader, the writer and the thumbnail facts.

#include "platform/imaging/Image_p.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ovrel::imaging::detail {

// Caps on what a file may ask for.
inline constexpr std::uint16_t MaxEntriesPerDirectory = 1000;
inline constexpr std::size_t MaxJpegSegments = 4096;

enum class IfdKind : std::uint8_t { Ifd0, Exif, Gps, Interop, First };
inline constexpr std::size_t IfdKindCount = 5;

// An Exif block lists its first IFD as the thumbnail; a TIFF file's next IFD is another page, left alone.
enum class StructureMode { ExifBlock, TiffFile };

struct ParsedEntry {
    IfdKind Ifd = IfdKind::Ifd0;
    std::uint16_t Tag = 0;
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    bool Inline = false;
    std::uint32_t ValueOffset = 0;  // where the value bytes start (inside the entry when inline)
    std::uint32_t ValueSize = 0;
};

struct ParsedIfd {
    bool Present = false;
    std::uint32_t Offset = 0;
    std::uint16_t EntryCount = 0;
    std::uint32_t Next = 0;
};

struct ParsedStructure {
    bool BigEndian = false;
    ParsedIfd Ifds[IfdKindCount];
    // One entry per directory item, in listing order; Items[i] is the item of Entries[i].
    std::vector<ParsedEntry> Entries;
    std::vector<PropertyItem> Items;
    // Entries of an Exif block's first IFD that no item is listed under: the thumbnail's offset and length,
    // and tags without an id of their own. A save writes them back as they were.
    std::vector<ParsedEntry> Unlisted;
    // The embedded thumbnail of an Exif block, and the items derived from it (after Items in the listing).
    std::optional<std::uint32_t> ThumbnailOffset;
    std::uint32_t ThumbnailLength = 0;
    std::vector<PropertyItem> ThumbnailItems;
};

// False when the header or IFD0 is damaged; a damaged entry or sub-directory is left out.
[[nodiscard]] bool ParseStructure(std::span<const std::uint8_t> bytes, StructureMode mode, ParsedStructure& out);

// Builds the structure anew from the items. With old bytes, the result starts as a copy of them: byte order,
// unchanged values and whatever no directory points at stay where they were. In TiffFile mode the structure
// tags of old's IFD0 are kept as they are and items carrying them are ignored. Out is empty when no item
// belongs in the structure (ExifBlock mode only).
[[nodiscard]] Status WriteStructure(std::span<const std::uint8_t> old, StructureMode mode,
                                    const std::vector<PropertyItem>& items, std::vector<std::uint8_t>& out);

// Items a save regenerates from the data instead of taking from the list.
[[nodiscard]] bool IsDerivedExifId(std::uint32_t id) noexcept;
[[nodiscard]] bool IsTiffStructureTag(std::uint16_t tag) noexcept;
// Bytes per element of a property type; 0 for a type the layer does not carry.
[[nodiscard]] std::uint32_t ElementSize(std::uint16_t type) noexcept;

// Element index of a byte, short or long item (values in machine order).
[[nodiscard]] std::optional<std::uint32_t> ItemNumber(const PropertyItem& item, std::size_t index = 0) noexcept;
// The last item of that id, or null.
[[nodiscard]] const PropertyItem* FindItem(const std::vector<PropertyItem>& items, std::uint32_t id) noexcept;
// Dots per inch from XResolution, YResolution and ResolutionUnit items; false when they give none.
[[nodiscard]] bool ResolutionFromItems(const std::vector<PropertyItem>& items, float& dpiX, float& dpiY) noexcept;
// A 64-entry table as a 16-bit item.
[[nodiscard]] PropertyItem ShortsItem(std::uint32_t id, std::span<const std::uint16_t> values);

struct JpegQuantTable {
    bool Present = false;
    std::uint16_t Values[64] = {};  // in the order the file stores them
};

// What the segment walk finds before the first scan.
struct JpegHeader {
    bool HasFrame = false;
    std::uint8_t FrameMarker = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint8_t Components = 0;
    std::uint8_t QuantOfComponent[4] = {};
    JpegQuantTable Quant[4];
    bool HasJfifDensity = false;
    std::uint8_t JfifUnits = 0;
    std::uint16_t JfifX = 0, JfifY = 0;
    std::optional<std::uint8_t> AdobeTransform;
    // The first Exif APP1 segment (marker to end) and its TIFF block.
    std::optional<std::size_t> ExifSegmentStart;
    std::size_t ExifSegmentEnd = 0;
    std::span<const std::uint8_t> ExifBlock;
    // Where a new Exif segment goes when there is none: after SOI and any leading APP0 segments.
    std::size_t ExifInsertAt = 2;
    std::size_t ScanStart = 0;  // the first SOS marker
};

// False when the file is not a JPEG or its segments are damaged before the first scan.
[[nodiscard]] bool ParseJpegHeader(std::span<const std::uint8_t> file, JpegHeader& out) noexcept;
// How many bytes from the start of the file its headers take, up to the end of the first scan's header.
// When head ends before that, a number larger than head.size(): the bytes the segments seen so far need.
// Nullopt when the bytes are not a JPEG or a segment is damaged.
[[nodiscard]] std::optional<std::size_t> JpegHeaderLength(std::span<const std::uint8_t> head) noexcept;

}  // namespace ovrel::imaging::detail
