// JPEG files: the segment walk up to the first scan, and the rewrite of the Exif segment that leaves every
// other byte as it was.

#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Structure_p.h"

#include <algorithm>

namespace ovrel::imaging::detail {

namespace {

constexpr std::uint8_t MarkerSOS = 0xDA;
constexpr std::uint8_t MarkerDQT = 0xDB;
constexpr std::uint8_t MarkerEOI = 0xD9;
constexpr std::uint8_t MarkerAPP0 = 0xE0;
constexpr std::uint8_t MarkerAPP1 = 0xE1;
constexpr std::uint8_t MarkerAPP14 = 0xEE;
constexpr std::uint8_t ExifIdentifier[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint8_t JfifIdentifier[] = {'J', 'F', 'I', 'F', 0};
constexpr std::uint8_t AdobeIdentifier[] = {'A', 'd', 'o', 'b', 'e'};
// A segment's length field counts itself: 65,535 minus 2 bytes of payload at most.
constexpr std::size_t MaxSegmentPayload = 65533;

bool IsFrameMarker(std::uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

bool IsStandalone(std::uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7); }

void ReadFrame(const ByteReader& r, std::size_t at, std::size_t size, std::uint8_t marker, JpegHeader& out)
{
    if (out.HasFrame || size < 6)
        return;
    const std::uint8_t n = *r.U8(at + 5);
    if (n == 0 || size < 6 + 3 * std::size_t{n})
        return;
    out.HasFrame = true;
    out.FrameMarker = marker;
    out.Height = *r.BigU16(at + 1);
    out.Width = *r.BigU16(at + 3);
    out.Components = n;
    for (std::size_t c = 0; c < std::min<std::size_t>(n, 4); ++c)
        out.QuantOfComponent[c] = static_cast<std::uint8_t>(*r.U8(at + 6 + 3 * c + 2) & 3);
}

void ReadQuantTables(const ByteReader& r, std::size_t at, std::size_t size, JpegHeader& out)
{
    std::size_t pos = 0;
    while (pos < size) {
        const std::uint8_t pqTq = *r.U8(at + pos);
        const bool wide = (pqTq >> 4) != 0;
        const std::size_t bytes = 64 * (wide ? 2 : 1);
        if (bytes > size - pos - 1)
            return;
        JpegQuantTable& t = out.Quant[pqTq & 3];
        t.Present = true;
        for (std::size_t i = 0; i < 64; ++i)
            t.Values[i] = wide ? *r.BigU16(at + pos + 1 + 2 * i) : *r.U8(at + pos + 1 + i);
        pos += 1 + bytes;
    }
}

// Steps from segment to segment up to the first scan, calling visit(marker, start, payload, size, end) for
// each segment with a length field, the scan's own header last. Truncated means the bytes end first; needed
// then says how many bytes the walk must have to go on.
enum class JpegWalk { Scan, Truncated, Damaged };

template <class Visit> JpegWalk WalkJpegSegments(const ByteReader& r, std::size_t& needed, Visit&& visit)
{
    if (r.BigU16(0) != 0xFFD8)
        return r.Size() < 2 ? JpegWalk::Truncated : JpegWalk::Damaged;
    std::size_t pos = 2;
    for (std::size_t segments = 0; segments < MaxJpegSegments; ++segments) {
        const std::size_t start = pos;
        needed = pos + 4;  // a marker and a length at least
        if (!r.Has(pos, 1))
            return JpegWalk::Truncated;
        if (r.U8(pos) != 0xFF)
            return JpegWalk::Damaged;
        while (r.U8(pos) == 0xFF)  // fill bytes
            ++pos;
        needed = pos + 3;
        const auto marker = r.U8(pos);
        if (!marker)
            return JpegWalk::Truncated;
        if (*marker == 0x00 || *marker == 0xD8 || *marker == MarkerEOI)
            return JpegWalk::Damaged;
        ++pos;
        if (IsStandalone(*marker))
            continue;
        const auto length = r.BigU16(pos);
        if (!length)
            return JpegWalk::Truncated;
        if (*length < 2)
            return JpegWalk::Damaged;
        needed = pos + *length;
        if (!r.Has(pos, *length))
            return JpegWalk::Truncated;
        visit(*marker, start, pos + 2, *length - 2u, pos + *length);
        if (*marker == MarkerSOS)
            return JpegWalk::Scan;
        pos += *length;
    }
    return JpegWalk::Damaged;
}

}  // namespace

bool ParseJpegHeader(std::span<const std::uint8_t> file, JpegHeader& out) noexcept
{
    out = JpegHeader{};
    const ByteReader r(file, true);
    bool leadingApp0 = true;
    const auto visit = [&](std::uint8_t marker, std::size_t start, std::size_t payload, std::size_t size,
                           std::size_t end) {
        if (marker == MarkerSOS) {
            out.ScanStart = start;
            return;
        }
        if (IsFrameMarker(marker)) {
            ReadFrame(r, payload, size, marker, out);
        } else if (marker == MarkerDQT) {
            ReadQuantTables(r, payload, size, out);
        } else if (marker == MarkerAPP0 && size >= 12 && r.Matches(payload, JfifIdentifier)) {
            out.HasJfifDensity = true;
            out.JfifUnits = *r.U8(payload + 7);
            out.JfifX = *r.BigU16(payload + 8);
            out.JfifY = *r.BigU16(payload + 10);
        } else if (marker == MarkerAPP1 && !out.ExifSegmentStart && size >= sizeof ExifIdentifier &&
                   r.Matches(payload, ExifIdentifier)) {
            out.ExifSegmentStart = start;
            out.ExifSegmentEnd = end;
            out.ExifBlock = file.subspan(payload + sizeof ExifIdentifier, size - sizeof ExifIdentifier);
        } else if (marker == MarkerAPP14 && size >= 12 && r.Matches(payload, AdobeIdentifier)) {
            out.AdobeTransform = *r.U8(payload + 11);
        }
        leadingApp0 = leadingApp0 && marker == MarkerAPP0;
        if (leadingApp0)
            out.ExifInsertAt = end;
    };
    std::size_t needed = 0;
    return WalkJpegSegments(r, needed, visit) == JpegWalk::Scan && out.HasFrame;
}

std::optional<std::size_t> JpegHeaderLength(std::span<const std::uint8_t> head) noexcept
{
    const ByteReader r(head, true);
    std::size_t needed = 0, scanEnd = 0;
    const auto visit = [&](std::uint8_t, std::size_t, std::size_t, std::size_t, std::size_t end) { scanEnd = end; };
    switch (WalkJpegSegments(r, needed, visit)) {
    case JpegWalk::Scan: return scanEnd;
    case JpegWalk::Truncated: return std::max(needed, head.size() + 1);
    case JpegWalk::Damaged: break;
    }
    return std::nullopt;
}

Status ReadJpeg(std::span<const std::uint8_t> file, ImageData& out) noexcept
{
    return Guarded([&] {
        JpegHeader h;
        if (!ParseJpegHeader(file, h) || h.Width == 0 || h.Height == 0)
            return Status::GenericError;
        out.Kind = FileKind::Jpeg;
        out.RawFormat = ImageFormatJPEG;
        out.Width = h.Width;
        out.Height = h.Height;
        std::uint32_t colour = 0;
        switch (h.Components) {
        case 1:
            out.Format = PixelFormat8bppIndexed;
            colour = ImageFlagsColorSpaceGRAY;
            break;
        case 3:
            out.Format = PixelFormat24bppRGB;
            colour = h.AdobeTransform == 0 ? ImageFlagsColorSpaceRGB : ImageFlagsColorSpaceYCBCR;
            break;
        case 4:
            out.Format = PixelFormat32bppCMYK;
            colour = h.AdobeTransform == 2 ? ImageFlagsColorSpaceYCCK : ImageFlagsColorSpaceCMYK;
            break;
        default: return Status::GenericError;
        }
        out.Flags = ImageFlagsReadOnly | ImageFlagsHasRealPixelSize | colour;

        // A damaged block only means no Exif items (and a save writes a new block, little-endian).
        if (h.ExifSegmentStart && ReadExifBlock(h.ExifBlock, out.Items) == Status::Ok)
            out.MetadataBigEndian = ExifBlockIsBigEndian(h.ExifBlock);
        const std::uint8_t tables[2] = {h.QuantOfComponent[0], h.QuantOfComponent[1]};
        const std::uint32_t ids[2] = {PropertyTagLuminanceTable, PropertyTagChrominanceTable};
        for (int i = 0; i < (h.Components > 1 ? 2 : 1); ++i)
            if (const auto& t = h.Quant[tables[i]]; t.Present)
                out.Items.push_back(ShortsItem(ids[i], t.Values));
        out.DerivedIds.reserve(16);  // the pointers, the thumbnail's facts and the tables
        for (const auto& item : out.Items)
            if (IsDerivedExifId(item.Id) &&
                std::find(out.DerivedIds.begin(), out.DerivedIds.end(), item.Id) == out.DerivedIds.end())
                out.DerivedIds.push_back(item.Id);

        // The JFIF density describes the image itself; the Exif resolution is the fallback.
        bool real = false;
        if (h.HasJfifDensity && (h.JfifUnits == 1 || h.JfifUnits == 2) && h.JfifX && h.JfifY) {
            const float scale = h.JfifUnits == 2 ? 2.54f : 1.0f;
            out.DpiX = h.JfifX * scale;
            out.DpiY = h.JfifY * scale;
            real = true;
        } else {
            real = ResolutionFromItems(out.Items, out.DpiX, out.DpiY);
        }
        if (real)
            out.Flags |= ImageFlagsHasRealDPI;
        return Status::Ok;
    });
}

Status WriteJpeg(std::span<const std::uint8_t> original, const ImageData& image,
                 std::vector<std::uint8_t>& out) noexcept
{
    return Guarded([&] {
        JpegHeader h;
        if (!ParseJpegHeader(original, h))
            return Status::GenericError;
        std::vector<std::uint8_t> block;
        const Status st =
            WriteExifBlock(h.ExifSegmentStart ? h.ExifBlock : std::span<const std::uint8_t>{}, image.Items, block);
        if (st != Status::Ok)
            return st;
        if (!block.empty() && block.size() > MaxSegmentPayload - sizeof ExifIdentifier)
            return Status::ValueOverflow;
        const std::size_t cutFrom = h.ExifSegmentStart ? *h.ExifSegmentStart : h.ExifInsertAt;
        const std::size_t cutTo = h.ExifSegmentStart ? h.ExifSegmentEnd : h.ExifInsertAt;
        out.clear();
        out.reserve(original.size() + block.size() + 10);
        out.insert(out.end(), original.begin(), original.begin() + static_cast<std::ptrdiff_t>(cutFrom));
        if (!block.empty()) {
            const std::size_t length = 2 + sizeof ExifIdentifier + block.size();
            out.insert(out.end(),
                       {0xFF, MarkerAPP1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
            out.insert(out.end(), std::begin(ExifIdentifier), std::end(ExifIdentifier));
            out.insert(out.end(), block.begin(), block.end());
        }
        out.insert(out.end(), original.begin() + static_cast<std::ptrdiff_t>(cutTo), original.end());
        return Status::Ok;
    });
}

}  // namespace ovrel::imaging::detail
