// BMP files: the info-header family and the OS/2 core header, read for their facts and decoded by our
// own code (1, 4, 8, 16, 24 and 32 bits, RLE4 and RLE8, bottom-up and top-down).

#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Pixels_p.h"

#include <algorithm>
#include <array>
#include <bit>

namespace ovrel::imaging::detail {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;

enum class Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

struct BmpLayout {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    bool TopDown = false;
    std::uint16_t BitCount = 0;
    Compression Method = Compression::Rgb;
    std::uint32_t Masks[4] = {};  // red, green, blue, alpha
    std::array<std::uint32_t, 256> Palette{};  // 0x00RRGGBB
    std::uint32_t PaletteSize = 0;
    std::int32_t XPelsPerMeter = 0, YPelsPerMeter = 0;
    std::size_t PixelsAt = 0;
    std::size_t Stride = 0;  // uncompressed rows
};

bool IsRle(const BmpLayout& bmp) { return bmp.Method == Compression::Rle8 || bmp.Method == Compression::Rle4; }

Status ParseBmp(std::span<const std::uint8_t> file, BmpLayout& bmp)
{
    const ByteReader reader(file, false);
    static constexpr std::uint8_t Magic[2] = {'B', 'M'};
    if (!reader.Matches(0, Magic))
        return Status::UnknownImageFormat;
    const auto pixelsAt = reader.U32(10);
    const auto headerSize = reader.U32(14);
    if (!pixelsAt || !headerSize)
        return Status::GenericError;
    const std::uint32_t infoSize = *headerSize;
    if ((infoSize != CoreHeaderSize && (infoSize < InfoHeaderSize || infoSize > 1024)) ||
        !reader.Has(FileHeaderSize, infoSize))
        return Status::GenericError;

    std::int64_t width = 0, height = 0;
    std::uint16_t planes = 0;
    std::uint32_t compression = 0, coloursUsed = 0;
    if (infoSize == CoreHeaderSize) {
        width = *reader.U16(18);
        height = *reader.U16(20);
        planes = *reader.U16(22);
        bmp.BitCount = *reader.U16(24);
    } else {
        width = static_cast<std::int32_t>(*reader.U32(18));
        height = static_cast<std::int32_t>(*reader.U32(22));
        planes = *reader.U16(26);
        bmp.BitCount = *reader.U16(28);
        compression = *reader.U32(30);
        bmp.XPelsPerMeter = static_cast<std::int32_t>(*reader.U32(38));
        bmp.YPelsPerMeter = static_cast<std::int32_t>(*reader.U32(42));
        coloursUsed = *reader.U32(46);
    }
    bmp.TopDown = height < 0;
    if (width <= 0 || height == 0 || planes != 1)
        return Status::GenericError;
    bmp.Width = static_cast<std::uint32_t>(width);
    bmp.Height = static_cast<std::uint32_t>(height < 0 ? -height : height);
    bmp.Method = static_cast<Compression>(compression);

    const std::uint16_t bits = bmp.BitCount;
    const bool bitsValid = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    switch (bmp.Method) {
    case Compression::Rgb:
        if (!bitsValid)
            return Status::GenericError;
        break;
    case Compression::Rle8:
    case Compression::Rle4:
        // Run-length data is always stored bottom-up.
        if (bits != (bmp.Method == Compression::Rle8 ? 8 : 4) || bmp.TopDown)
            return Status::GenericError;
        break;
    case Compression::BitFields:
    case Compression::AlphaBitFields:
        if (bits != 16 && bits != 32)
            return Status::GenericError;
        break;
    default:  // embedded JPEG or PNG, and the OS/2 codings
        return Status::GenericError;
    }

    // Masks: in the header from version 2 on, else right after a 40-byte header.
    std::size_t at = FileHeaderSize + infoSize;
    if (bits == 16) {
        bmp.Masks[0] = 0x7C00, bmp.Masks[1] = 0x03E0, bmp.Masks[2] = 0x001F;
    } else if (bits == 24 || bits == 32) {
        bmp.Masks[0] = 0xFF0000, bmp.Masks[1] = 0x00FF00, bmp.Masks[2] = 0x0000FF;
    }
    if (bmp.Method == Compression::BitFields || bmp.Method == Compression::AlphaBitFields) {
        const bool withAlpha = bmp.Method == Compression::AlphaBitFields || infoSize >= 56;
        const std::size_t masksAt = FileHeaderSize + InfoHeaderSize;
        const std::size_t count = withAlpha ? 4 : 3;
        if (!reader.Has(masksAt, count * 4))
            return Status::GenericError;
        for (std::size_t i = 0; i < count; ++i)
            bmp.Masks[i] = *reader.U32(masksAt + i * 4);
        if (infoSize == InfoHeaderSize)
            at += count * 4;
    }

    if (bits <= 8) {
        const std::uint32_t maximum = 1u << bits;
        const std::size_t entry = infoSize == CoreHeaderSize ? 3 : 4;
        // Writers leave out unused entries; the pixel offset says how many there really are.
        const std::size_t room = *pixelsAt > at ? (*pixelsAt - at) / entry : 0;
        const std::uint32_t declared = coloursUsed == 0 || coloursUsed > maximum ? maximum : coloursUsed;
        bmp.PaletteSize = static_cast<std::uint32_t>(std::min<std::size_t>(declared, room));
        if (bmp.PaletteSize == 0)
            return Status::GenericError;
        for (std::uint32_t i = 0; i < bmp.PaletteSize; ++i) {
            const auto colour = reader.Bytes(at + i * entry, 3);
            if (!colour)
                return Status::GenericError;
            bmp.Palette[i] = (std::uint32_t{(*colour)[2]} << 16) | (std::uint32_t{(*colour)[1]} << 8) | (*colour)[0];
        }
    }

    bmp.PixelsAt = *pixelsAt;
    bmp.Stride = static_cast<std::size_t>((static_cast<std::uint64_t>(bmp.Width) * bits + 31) / 32 * 4);
    // The pixel data must be there: whole rows when uncompressed, at least a start when run-length coded.
    const std::uint64_t needed = IsRle(bmp) ? 1 : static_cast<std::uint64_t>(bmp.Stride) * bmp.Height;
    if (bmp.PixelsAt > file.size() || needed > file.size() - bmp.PixelsAt)
        return Status::GenericError;
    return Status::Ok;
}

PixelFormat FormatOf(const BmpLayout& bmp)
{
    switch (bmp.BitCount) {
    case 1: return PixelFormat1bppIndexed;
    case 4: return PixelFormat4bppIndexed;
    case 8: return PixelFormat8bppIndexed;
    case 16:
        if (bmp.Masks[3] != 0)
            return PixelFormat16bppARGB1555;
        return bmp.Masks[1] == 0x07E0 ? PixelFormat16bppRGB565 : PixelFormat16bppRGB555;
    case 24: return PixelFormat24bppRGB;
    default: return bmp.Masks[3] != 0 ? PixelFormat32bppARGB : PixelFormat32bppRGB;
    }
}

// One channel of a bit-field pixel, widened to eight bits.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t maximum = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) * 255 + maximum / 2) / maximum);
}

void PutColour(std::uint8_t* p, std::uint32_t rgb)
{
    p[0] = static_cast<std::uint8_t>(rgb >> 16);
    p[1] = static_cast<std::uint8_t>(rgb >> 8);
    p[2] = static_cast<std::uint8_t>(rgb);
    p[3] = 255;
}

void DecodeRows(std::span<const std::uint8_t> file, const BmpLayout& bmp, RgbaImage& image)
{
    const ByteReader reader(file, false);
    for (std::uint32_t row = 0; row < bmp.Height; ++row) {
        const std::uint32_t y = bmp.TopDown ? row : bmp.Height - 1 - row;
        const std::size_t rowAt = bmp.PixelsAt + static_cast<std::size_t>(row) * bmp.Stride;
        std::uint8_t* out = image.Pixels.data() + static_cast<std::size_t>(y) * bmp.Width * 4;
        for (std::uint32_t x = 0; x < bmp.Width; ++x, out += 4) {
            switch (bmp.BitCount) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bit = static_cast<std::size_t>(x) * bmp.BitCount;
                const std::uint8_t byte = reader.U8(rowAt + bit / 8).value_or(0);
                const unsigned index = (byte >> (8 - bmp.BitCount - bit % 8)) & ((1u << bmp.BitCount) - 1);
                PutColour(out, index < bmp.PaletteSize ? bmp.Palette[index] : 0);
                break;
            }
            case 24: {
                const std::size_t at = rowAt + static_cast<std::size_t>(x) * 3;
                const std::uint32_t bgr =
                    reader.U16(at).value_or(0) | (std::uint32_t{reader.U8(at + 2).value_or(0)} << 16);
                PutColour(out, bgr);
                break;
            }
            default: {
                const std::uint32_t pixel = bmp.BitCount == 16
                                                ? reader.U16(rowAt + static_cast<std::size_t>(x) * 2).value_or(0)
                                                : reader.U32(rowAt + static_cast<std::size_t>(x) * 4).value_or(0);
                out[0] = Channel(pixel, bmp.Masks[0]);
                out[1] = Channel(pixel, bmp.Masks[1]);
                out[2] = Channel(pixel, bmp.Masks[2]);
                out[3] = bmp.Masks[3] != 0 ? Channel(pixel, bmp.Masks[3]) : 255;
            }
            }
        }
    }
}

// Run-length data; pixels it skips stay transparent. False when the data ends before its end marker.
bool DecodeRunLength(std::span<const std::uint8_t> file, const BmpLayout& bmp, RgbaImage& image)
{
    const ByteReader reader(file.subspan(bmp.PixelsAt), false);
    const bool four = bmp.Method == Compression::Rle4;
    std::uint32_t x = 0, row = 0;  // row counts from the bottom
    const auto put = [&](unsigned index) {
        if (x < bmp.Width && row < bmp.Height) {
            std::uint8_t* p =
                image.Pixels.data() + (static_cast<std::size_t>(bmp.Height - 1 - row) * bmp.Width + x) * 4;
            PutColour(p, index < bmp.PaletteSize ? bmp.Palette[index] : 0);
        }
        ++x;
    };
    std::size_t at = 0;
    for (;;) {
        const auto count = reader.U8(at);
        const auto value = reader.U8(at + 1);
        if (!count || !value)
            return false;
        at += 2;
        if (*count > 0) {  // a run of one index, or of two alternating ones
            for (unsigned i = 0; i < *count && x < bmp.Width; ++i)
                put(four ? (i % 2 == 0 ? *value >> 4 : *value & 0x0F) : *value);
            continue;
        }
        switch (*value) {
        case 0:  // end of line
            x = 0;
            ++row;
            break;
        case 1:  // end of bitmap
            return true;
        case 2: {  // move right and up
            const auto dx = reader.U8(at);
            const auto dy = reader.U8(at + 1);
            if (!dx || !dy)
                return false;
            at += 2;
            x += *dx;
            row += *dy;
            break;
        }
        default: {  // literal indices, padded to a 16-bit boundary
            const unsigned n = *value;
            const std::size_t bytes = four ? (n + 1) / 2 : n;
            const auto literal = reader.Bytes(at, bytes);
            if (!literal)
                return false;
            for (unsigned i = 0; i < n; ++i)
                put(four ? (i % 2 == 0 ? (*literal)[i / 2] >> 4 : (*literal)[i / 2] & 0x0F) : (*literal)[i]);
            at += bytes + (bytes & 1);
        }
        }
        if (row >= bmp.Height)
            return true;  // nothing further could land in the image
    }
}

}  // namespace

Status ReadBmp(std::span<const std::uint8_t> file, ImageData& out) noexcept
{
    return Guarded([&] {
        BmpLayout bmp;
        if (const Status status = ParseBmp(file, bmp); status != Status::Ok)
            return status;
        out.Kind = FileKind::Bmp;
        out.RawFormat = ImageFormatBMP;
        out.Width = bmp.Width;
        out.Height = bmp.Height;
        out.Format = FormatOf(bmp);
        const bool density = bmp.XPelsPerMeter > 0 && bmp.YPelsPerMeter > 0;
        out.Flags = ImageFlagsColorSpaceRGB | ImageFlagsHasRealPixelSize | ImageFlagsReadOnly |
                    (bmp.Masks[3] != 0 ? ImageFlagsHasAlpha : 0u) | (density ? ImageFlagsHasRealDPI : 0u);
        out.DpiX = density ? static_cast<float>(bmp.XPelsPerMeter * 0.0254) : 96.0f;
        out.DpiY = density ? static_cast<float>(bmp.YPelsPerMeter * 0.0254) : 96.0f;
        out.Items.clear();  // a BMP carries no metadata items
        out.DerivedIds.clear();
        return Status::Ok;
    });
}

Status DecodeBmp(std::span<const std::uint8_t> file, RgbaImage& out) noexcept
{
    return Guarded([&] {
        BmpLayout bmp;
        if (const Status status = ParseBmp(file, bmp); status != Status::Ok)
            return status;
        if (static_cast<std::uint64_t>(bmp.Width) * bmp.Height > MaxDecodedPixels)
            return Status::OutOfMemory;
        RgbaImage image;
        image.Width = bmp.Width;
        image.Height = bmp.Height;
        image.Pixels.assign(static_cast<std::size_t>(bmp.Width) * bmp.Height * 4, 0);
        if (IsRle(bmp)) {
            if (!DecodeRunLength(file, bmp, image))
                return Status::GenericError;
        } else {
            DecodeRows(file, bmp, image);
        }
        out = std::move(image);
        return Status::Ok;
    });
}

}  // namespace ovrel::imaging::detail
