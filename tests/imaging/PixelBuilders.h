#pragma once
// Byte builders for PNG, BMP and GIF fixtures, and a JPEG encoder over the codec, for the pixel tests.
// Everything is made in memory.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <vector>

#include <jpeglib.h>
#include <zlib.h>

namespace ovrel::imaging::pixelfixtures {

using Bytes = std::vector<std::uint8_t>;

inline void PutBig32(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
inline void PutLittle16(Bytes& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLittle32(Bytes& out, std::uint32_t v)
{
    PutLittle16(out, static_cast<std::uint16_t>(v));
    PutLittle16(out, static_cast<std::uint16_t>(v >> 16));
}
inline void PutText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }
inline Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The first keep bytes: a file cut short.
inline Bytes Cut(Bytes bytes, std::size_t keep)
{
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

inline Bytes Deflate(const Bytes& raw)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    out.resize(size);
    return out;
}

// A PNG: the signature, then the chunks in the order added. Nothing is added implicitly.
class PngBytes {
public:
    // IHDR: colour type 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA.
    PngBytes& Header(std::uint32_t width, std::uint32_t height, std::uint8_t depth = 8, std::uint8_t colour = 2,
                     std::uint8_t interlace = 0)
    {
        Bytes d;
        PutBig32(d, width);
        PutBig32(d, height);
        d.push_back(depth);
        d.push_back(colour);
        d.push_back(0);  // deflate
        d.push_back(0);  // adaptive filtering
        d.push_back(interlace);
        return Chunk("IHDR", d);
    }
    PngBytes& Chunk(std::string_view type, const Bytes& data, bool goodCrc = true)
    {
        PutBig32(FOut, static_cast<std::uint32_t>(data.size()));
        const std::size_t typeAt = FOut.size();
        PutText(FOut, type);
        FOut.insert(FOut.end(), data.begin(), data.end());
        const auto crc = crc32(0, FOut.data() + typeAt, static_cast<uInt>(4 + data.size()));
        PutBig32(FOut, static_cast<std::uint32_t>(goodCrc ? crc : crc ^ 1));
        return *this;
    }
    PngBytes& Gamma(std::uint32_t times100000)
    {
        Bytes d;
        PutBig32(d, times100000);
        return Chunk("gAMA", d);
    }
    PngBytes& TextChunk(std::string_view keyword, std::string_view text)
    {
        Bytes d = Text(keyword);
        d.push_back(0);
        PutText(d, text);
        return Chunk("tEXt", d);
    }
    PngBytes& CompressedText(std::string_view keyword, std::string_view text)
    {
        Bytes d = Text(keyword);
        d.push_back(0);
        d.push_back(0);  // deflate
        const Bytes packed = Deflate(Text(text));
        d.insert(d.end(), packed.begin(), packed.end());
        return Chunk("zTXt", d);
    }
    PngBytes& InternationalText(std::string_view keyword, std::string_view utf8, bool compressed)
    {
        Bytes d = Text(keyword);
        d.push_back(0);
        d.push_back(compressed ? 1 : 0);
        d.push_back(0);
        PutText(d, "en");
        d.push_back(0);
        PutText(d, "Titel");
        d.push_back(0);
        const Bytes body = compressed ? Deflate(Text(utf8)) : Text(utf8);
        d.insert(d.end(), body.begin(), body.end());
        return Chunk("iTXt", d);
    }
    // pHYs: unit 1 is the metre.
    PngBytes& Density(std::uint32_t x, std::uint32_t y, std::uint8_t unit = 1)
    {
        Bytes d;
        PutBig32(d, x);
        PutBig32(d, y);
        d.push_back(unit);
        return Chunk("pHYs", d);
    }
    // Rows of raw samples (without filter bytes), each rowBytes long, as one IDAT with filter 0 per row.
    PngBytes& Pixels(const Bytes& raw, std::size_t rowBytes)
    {
        Bytes filtered;
        for (std::size_t at = 0; at < raw.size(); at += rowBytes) {
            filtered.push_back(0);
            filtered.insert(filtered.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                            raw.begin() + static_cast<std::ptrdiff_t>(at + rowBytes));
        }
        return Chunk("IDAT", Deflate(filtered));
    }
    PngBytes& End() { return Chunk("IEND", {}); }
    Bytes Build() const
    {
        Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        out.insert(out.end(), FOut.begin(), FOut.end());
        return out;
    }

private:
    Bytes FOut;
};

// A 2x2 RGB PNG: red, green / blue, white.
inline PngBytes SmallRgbPng()
{
    PngBytes png;
    png.Header(2, 2, 8, 2);
    return png;
}
inline const Bytes& SmallRgbPixels()
{
    static const Bytes pixels{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    return pixels;
}

// A BMP with a BITMAPINFOHEADER (or the OS/2 core header), palette and masks as given, pixel rows as given.
struct BmpSpec {
    std::int32_t Width = 2;
    std::int32_t Height = 2;  // negative: top-down
    std::uint16_t Bits = 24;
    std::uint32_t Compression = 0;
    std::uint32_t HeaderSize = 40;  // 12: OS/2 core header; 56 or more: masks inside the header
    std::vector<std::uint32_t> Palette;  // 0x00RRGGBB
    std::vector<std::uint32_t> Masks;  // written after a 40-byte header, or inside a larger one
    std::int32_t PelsPerMeter = 0;
    std::uint16_t Planes = 1;
    Bytes Pixels;  // exactly as stored, rows padded by the caller
};

inline Bytes MakeBmp(const BmpSpec& spec)
{
    Bytes info;
    if (spec.HeaderSize == 12) {
        PutLittle32(info, 12);
        PutLittle16(info, static_cast<std::uint16_t>(spec.Width));
        PutLittle16(info, static_cast<std::uint16_t>(spec.Height));
        PutLittle16(info, spec.Planes);
        PutLittle16(info, spec.Bits);
    } else {
        PutLittle32(info, spec.HeaderSize);
        PutLittle32(info, static_cast<std::uint32_t>(spec.Width));
        PutLittle32(info, static_cast<std::uint32_t>(spec.Height));
        PutLittle16(info, spec.Planes);
        PutLittle16(info, spec.Bits);
        PutLittle32(info, spec.Compression);
        PutLittle32(info, static_cast<std::uint32_t>(spec.Pixels.size()));
        PutLittle32(info, static_cast<std::uint32_t>(spec.PelsPerMeter));
        PutLittle32(info, static_cast<std::uint32_t>(spec.PelsPerMeter));
        PutLittle32(info, static_cast<std::uint32_t>(spec.Palette.size()));
        PutLittle32(info, 0);  // all colours important
        for (std::uint32_t mask : spec.Masks)
            PutLittle32(info, mask);
        info.resize(std::max<std::size_t>(info.size(), spec.HeaderSize), 0);
    }
    for (std::uint32_t colour : spec.Palette) {
        info.push_back(static_cast<std::uint8_t>(colour));  // blue, green, red
        info.push_back(static_cast<std::uint8_t>(colour >> 8));
        info.push_back(static_cast<std::uint8_t>(colour >> 16));
        if (spec.HeaderSize != 12)
            info.push_back(0);
    }
    Bytes out;
    out.reserve(14 + info.size() + spec.Pixels.size());
    out.push_back('B');
    out.push_back('M');
    PutLittle32(out, static_cast<std::uint32_t>(14 + info.size() + spec.Pixels.size()));
    PutLittle32(out, 0);  // reserved
    PutLittle32(out, static_cast<std::uint32_t>(14 + info.size()));
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), spec.Pixels.begin(), spec.Pixels.end());
    return out;
}

// LZW data for 8-bit indices that never lets the code table grow: a clear code every 250 literals keeps
// every code 9 bits wide. Returned as sub-blocks with the minimum code size in front and the terminator.
inline Bytes GifImageData(const Bytes& indices)
{
    std::vector<std::uint16_t> codes{256};
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i > 0 && i % 250 == 0)
            codes.push_back(256);
        codes.push_back(indices[i]);
    }
    codes.push_back(257);  // end of information
    Bytes packed;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (std::uint16_t code : codes) {
        buffer |= static_cast<std::uint32_t>(code) << bits;
        bits += 9;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(buffer));
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        packed.push_back(static_cast<std::uint8_t>(buffer));
    Bytes out{8};  // minimum code size
    for (std::size_t at = 0; at < packed.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
                   packed.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

// A GIF: header and logical screen, then the blocks in the order added, then the trailer if asked for.
class GifBytes {
public:
    GifBytes(std::uint16_t width, std::uint16_t height, std::vector<std::uint32_t> palette = {},
             std::uint8_t background = 0)
    {
        PutText(FOut, "GIF89a");
        PutLittle16(FOut, width);
        PutLittle16(FOut, height);
        FOut.push_back(palette.empty() ? 0 : static_cast<std::uint8_t>(0x80 | SizeBits(palette.size())));
        FOut.push_back(background);
        FOut.push_back(0);  // no aspect ratio
        PutPalette(palette);
    }
    // A graphic control extension: delay in hundredths of a second, transparent index or -1.
    GifBytes& Control(std::uint16_t delay, int transparent = -1)
    {
        FOut.insert(FOut.end(), {0x21, 0xF9, 4, static_cast<std::uint8_t>(transparent >= 0 ? 1 : 0)});
        PutLittle16(FOut, delay);
        FOut.push_back(static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
        FOut.push_back(0);
        return *this;
    }
    GifBytes& Loop(std::uint16_t count)
    {
        FOut.insert(FOut.end(), {0x21, 0xFF, 11});
        PutText(FOut, "NETSCAPE2.0");
        FOut.insert(FOut.end(), {3, 1});
        PutLittle16(FOut, count);
        FOut.push_back(0);
        return *this;
    }
    GifBytes& Comment(std::string_view text)
    {
        FOut.insert(FOut.end(), {0x21, 0xFE, static_cast<std::uint8_t>(text.size())});
        PutText(FOut, text);
        FOut.push_back(0);
        return *this;
    }
    // A frame of indices, row by row (already in interlaced order when interlaced).
    GifBytes& Frame(std::uint16_t left, std::uint16_t top, std::uint16_t width, std::uint16_t height,
                    const Bytes& indices, bool interlaced = false, std::vector<std::uint32_t> localPalette = {})
    {
        FOut.push_back(0x2C);
        PutLittle16(FOut, left);
        PutLittle16(FOut, top);
        PutLittle16(FOut, width);
        PutLittle16(FOut, height);
        std::uint8_t packed = interlaced ? 0x40 : 0;
        if (!localPalette.empty())
            packed = static_cast<std::uint8_t>(packed | 0x80 | SizeBits(localPalette.size()));
        FOut.push_back(packed);
        PutPalette(localPalette);
        const Bytes data = GifImageData(indices);
        FOut.insert(FOut.end(), data.begin(), data.end());
        return *this;
    }
    GifBytes& Trailer()
    {
        FOut.push_back(0x3B);
        return *this;
    }
    Bytes Build() const { return FOut; }

private:
    static std::uint8_t SizeBits(std::size_t colours)
    {
        std::uint8_t bits = 0;
        while ((std::size_t{2} << bits) < colours)
            ++bits;
        return bits;
    }
    void PutPalette(const std::vector<std::uint32_t>& palette)
    {
        if (palette.empty())
            return;
        const std::size_t size = std::size_t{2} << SizeBits(palette.size());
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint32_t c = i < palette.size() ? palette[i] : 0;
            FOut.insert(FOut.end(), {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                     static_cast<std::uint8_t>(c)});
        }
    }
    Bytes FOut;
};

// A JPEG of the codec: colour(x, y) gives 0x00RRGGBB (or the grey level when components is 1; CMYK
// samples as 0xCCMMYYKK with an Adobe marker when 4). An APP1 payload is written after SOI when given.
template <typename ColourFn>
Bytes EncodeJpeg(std::uint32_t width, std::uint32_t height, ColourFn colour, int components = 3, const Bytes& app1 = {},
                 int quality = 95)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (!app1.empty())
        jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), static_cast<unsigned>(app1.size()));
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * components);
    while (info.next_scanline < height) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, info.next_scanline);
            for (int k = 0; k < components; ++k) {
                const int shift = components == 1 ? 0 : components == 4 ? 24 - 8 * k : 16 - 8 * k;
                row[static_cast<std::size_t>(x) * components + k] = static_cast<std::uint8_t>(c >> shift);
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace ovrel::imaging::pixelfixtures
