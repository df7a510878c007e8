#pragma once
// Small byte builders for test fixtures: TIFF structures (Exif blocks and TIFF files) and JPEG files.
// Everything is made in memory; the JPEG scan data is a valid baseline (or DC-only progressive) scan of a
// flat grey image, so decoders accept it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ovrel::imaging::fixtures {

using Bytes = std::vector<std::uint8_t>;

enum class Dir { Ifd0, Exif, Gps, Interop, First };

inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
inline void AppendText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }
inline void AppendBig16(Bytes& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// A TIFF structure: header, IFD0, the Exif, GPS and interoperability IFDs, the first IFD with an embedded
// JPEG thumbnail, and for TIFF files strips or tiles. The pointer entries (0x8769, 0x8825, 0xA005,
// 0x0201/0x0202, strip and tile offsets) are added and filled in by Build().
class TiffBytes {
public:
    explicit TiffBytes(bool bigEndian = false) : FBig(bigEndian) {}

    // Value elements are given as numbers and stored in the structure's byte order.
    TiffBytes& Ascii(Dir dir, std::uint16_t tag, std::string_view text)  // count includes the zero byte
    {
        Bytes v(text.begin(), text.end());
        v.push_back(0);
        return Raw(dir, tag, 2, static_cast<std::uint32_t>(v.size()), v);
    }
    TiffBytes& Byte(Dir dir, std::uint16_t tag, const Bytes& values, std::uint16_t type = 1)
    {
        return Raw(dir, tag, type, static_cast<std::uint32_t>(values.size()), values);
    }
    TiffBytes& Undefined(Dir dir, std::uint16_t tag, const Bytes& values) { return Byte(dir, tag, values, 7); }
    TiffBytes& Short(Dir dir, std::uint16_t tag, std::initializer_list<std::uint16_t> values)
    {
        Bytes v;
        for (auto x : values)
            Put16(v, x);
        return Raw(dir, tag, 3, static_cast<std::uint32_t>(values.size()), v);
    }
    TiffBytes& Long(Dir dir, std::uint16_t tag, std::initializer_list<std::uint32_t> values, std::uint16_t type = 4)
    {
        Bytes v;
        for (auto x : values)
            Put32(v, x);
        return Raw(dir, tag, type, static_cast<std::uint32_t>(values.size()), v);
    }
    // Pairs of numerator, denominator; type 5 unsigned, 10 signed (give signed values as their bit pattern).
    TiffBytes& Rational(Dir dir, std::uint16_t tag,
                        std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values, std::uint16_t type = 5)
    {
        Bytes v;
        for (auto [n, d] : values) {
            Put32(v, n);
            Put32(v, d);
        }
        return Raw(dir, tag, type, static_cast<std::uint32_t>(values.size()), v);
    }
    // An entry with exactly these value bytes (already in the structure's byte order).
    TiffBytes& Raw(Dir dir, std::uint16_t tag, std::uint16_t type, std::uint32_t count, const Bytes& value)
    {
        FEntries.push_back({dir, tag, type, count, value, false, 0});
        return *this;
    }
    // A damaged entry: its 4-byte value field holds word as is (an offset anywhere, a count that lies).
    TiffBytes& Bogus(Dir dir, std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t word)
    {
        FEntries.push_back({dir, tag, type, count, {}, true, word});
        return *this;
    }
    TiffBytes& Thumbnail(Bytes jpeg)
    {
        FThumbnail = std::move(jpeg);
        return *this;
    }
    // Image data of a TIFF file: strips (0x0111/0x0117) or tiles (0x0144/0x0145) after everything else.
    TiffBytes& Strips(std::vector<Bytes> strips)
    {
        FStrips = std::move(strips);
        FTiles = false;
        return *this;
    }
    TiffBytes& Tiles(std::vector<Bytes> tiles)
    {
        FStrips = std::move(tiles);
        FTiles = true;
        return *this;
    }
    // Damage: IFD0's entry count and next-IFD offset written as given.
    TiffBytes& Ifd0Count(std::uint16_t count)
    {
        FIfd0Count = count;
        return *this;
    }
    TiffBytes& Ifd0Next(std::uint32_t offset)
    {
        FIfd0Next = offset;
        return *this;
    }
    // Damage: a sub-directory pointer (0x8769, 0x8825, 0xA005) written with this value instead.
    TiffBytes& PointerOverride(std::uint16_t tag, std::uint32_t offset)
    {
        FPointerOverride[tag] = offset;
        return *this;
    }

    Bytes Build()
    {
        FValueOffsets.clear();
        Bytes out;
        out.push_back(FBig ? 'M' : 'I');  // byte order
        out.push_back(FBig ? 'M' : 'I');
        Put16(out, 42);  // magic
        Put32(out, 8);  // IFD0 offset

        std::vector<Entry> dirs[5];
        for (const auto& e : FEntries)
            dirs[static_cast<int>(e.Where)].push_back(e);
        const bool hasInterop = !dirs[3].empty(), hasGps = !dirs[2].empty();
        const bool hasExif = !dirs[1].empty() || hasInterop;
        const bool hasFirst = !dirs[4].empty() || !FThumbnail.empty();
        auto addPointer = [](std::vector<Entry>& d, std::uint16_t tag) {
            d.push_back({Dir::Ifd0, tag, 4, 1, Bytes(4), false, 0});
        };
        if (hasExif)
            addPointer(dirs[0], 0x8769);
        if (hasGps)
            addPointer(dirs[0], 0x8825);
        if (hasInterop)
            addPointer(dirs[1], 0xA005);
        if (!FThumbnail.empty()) {
            addPointer(dirs[4], 0x0201);
            addPointer(dirs[4], 0x0202);
        }
        if (!FStrips.empty()) {
            const auto n = static_cast<std::uint32_t>(FStrips.size());
            dirs[0].push_back(
                {Dir::Ifd0, static_cast<std::uint16_t>(FTiles ? 0x0144 : 0x0111), 4, n, Bytes(4 * n), false, 0});
            Bytes counts;
            for (const auto& s : FStrips)
                Put32(counts, static_cast<std::uint32_t>(s.size()));
            dirs[0].push_back(
                {Dir::Ifd0, static_cast<std::uint16_t>(FTiles ? 0x0145 : 0x0117), 4, n, counts, false, 0});
        }
        for (auto& d : dirs)
            std::stable_sort(d.begin(), d.end(), [](const Entry& a, const Entry& b) { return a.Tag < b.Tag; });

        // Layout order: IFD0, its values, Exif, values, GPS, Interop, First, thumbnail, strips.
        std::uint32_t dirOffset[5] = {};
        std::vector<std::pair<std::size_t, std::uint16_t>> pointerSlots;  // value field position, tag
        std::size_t ifd0NextSlot = 0;
        const Dir order[5] = {Dir::Ifd0, Dir::Exif, Dir::Gps, Dir::Interop, Dir::First};
        for (Dir dir : order) {
            auto& d = dirs[static_cast<int>(dir)];
            if (dir != Dir::Ifd0 && d.empty())
                continue;
            if (dir == Dir::First && !hasFirst)
                continue;
            dirOffset[static_cast<int>(dir)] = static_cast<std::uint32_t>(out.size());
            const std::size_t dirAt = out.size();
            Put16(out, dir == Dir::Ifd0 && FIfd0Count ? *FIfd0Count : static_cast<std::uint16_t>(d.size()));
            out.resize(out.size() + 12 * d.size() + 4);
            const std::size_t nextAt = dirAt + 2 + 12 * d.size();
            if (dir == Dir::Ifd0)
                ifd0NextSlot = nextAt;
            for (std::size_t i = 0; i < d.size(); ++i) {
                const auto& e = d[i];
                const std::size_t at = dirAt + 2 + 12 * i;
                Set16(out, at, e.Tag);
                Set16(out, at + 2, e.Type);
                Set32(out, at + 4, e.Count);
                if (e.IsBogus) {
                    Set32(out, at + 8, e.Word);
                } else if (e.Value.size() <= 4 && !IsPointer(e.Tag, dir)) {
                    std::copy(e.Value.begin(), e.Value.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 8));
                    FValueOffsets[{dir, e.Tag}] = static_cast<std::uint32_t>(at + 8);
                } else if (IsPointer(e.Tag, dir)) {
                    pointerSlots.push_back({at + 8, e.Tag});
                    if (e.Value.size() > 4) {  // strip offsets and counts of several strips
                        const auto valueAt = out.size();
                        Set32(out, at + 8, static_cast<std::uint32_t>(valueAt));
                        Append(out, e.Value);
                        pointerSlots.back().first = valueAt;
                    }
                } else {
                    if (out.size() % 2)
                        out.push_back(0);
                    Set32(out, at + 8, static_cast<std::uint32_t>(out.size()));
                    FValueOffsets[{dir, e.Tag}] = static_cast<std::uint32_t>(out.size());
                    Append(out, e.Value);
                }
            }
            if (out.size() % 2)
                out.push_back(0);
        }
        Set32(out, ifd0NextSlot, FIfd0Next ? *FIfd0Next : dirOffset[4]);
        std::uint32_t thumbAt = 0;
        if (!FThumbnail.empty()) {
            thumbAt = static_cast<std::uint32_t>(out.size());
            Append(out, FThumbnail);
        }
        std::vector<std::uint32_t> stripAt;
        for (const auto& s : FStrips) {
            if (out.size() % 2)
                out.push_back(0);
            stripAt.push_back(static_cast<std::uint32_t>(out.size()));
            Append(out, s);
        }
        FThumbnailOffset = thumbAt;
        for (auto [slot, tag] : pointerSlots) {
            std::uint32_t v = 0;
            switch (tag) {
            case 0x8769: v = dirOffset[1]; break;
            case 0x8825: v = dirOffset[2]; break;
            case 0xA005: v = dirOffset[3]; break;
            case 0x0201: v = thumbAt; break;
            case 0x0202: v = static_cast<std::uint32_t>(FThumbnail.size()); break;
            case 0x0111:
            case 0x0144:
                for (std::size_t i = 0; i < stripAt.size(); ++i)
                    Set32(out, slot + 4 * i, stripAt[i]);
                continue;
            default: continue;  // byte counts were written with the entry
            }
            if (auto it = FPointerOverride.find(tag); it != FPointerOverride.end())
                v = it->second;
            Set32(out, slot, v);
        }
        return out;
    }

    // After Build(): where the value of an entry landed (the entry's own field when it is inline).
    [[nodiscard]] std::uint32_t ValueOffset(Dir dir, std::uint16_t tag) const { return FValueOffsets.at({dir, tag}); }
    [[nodiscard]] std::uint32_t ThumbnailOffset() const { return FThumbnailOffset; }

private:
    struct Entry {
        Dir Where;
        std::uint16_t Tag;
        std::uint16_t Type;
        std::uint32_t Count;
        Bytes Value;
        bool IsBogus;
        std::uint32_t Word;
    };
    static bool IsPointer(std::uint16_t tag, Dir dir)
    {
        if (dir == Dir::First)
            return tag == 0x0201 || tag == 0x0202;
        return tag == 0x8769 || tag == 0x8825 || tag == 0xA005 || tag == 0x0111 || tag == 0x0144;
    }
    void Put16(Bytes& out, std::uint16_t v) const
    {
        out.resize(out.size() + 2);
        Set16(out, out.size() - 2, v);
    }
    void Put32(Bytes& out, std::uint32_t v) const
    {
        out.resize(out.size() + 4);
        Set32(out, out.size() - 4, v);
    }
    void Set16(Bytes& out, std::size_t at, std::uint16_t v) const
    {
        out[at] = static_cast<std::uint8_t>(FBig ? v >> 8 : v);
        out[at + 1] = static_cast<std::uint8_t>(FBig ? v : v >> 8);
    }
    void Set32(Bytes& out, std::size_t at, std::uint32_t v) const
    {
        for (int i = 0; i < 4; ++i)
            out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (FBig ? 24 - 8 * i : 8 * i));
    }

    bool FBig;
    std::vector<Entry> FEntries;
    Bytes FThumbnail;
    std::vector<Bytes> FStrips;
    bool FTiles = false;
    std::optional<std::uint16_t> FIfd0Count;
    std::optional<std::uint32_t> FIfd0Next;
    std::map<std::uint16_t, std::uint32_t> FPointerOverride;
    std::map<std::pair<Dir, std::uint16_t>, std::uint32_t> FValueOffsets;
    std::uint32_t FThumbnailOffset = 0;
};

// An uncompressed 8-bit RGB TIFF of width x height in two strips (one when height is 1), pixel (x, y) =
// (x * 16, y * 16, 128). Extra tags can be added to the builder before Build().
inline TiffBytes RgbTiff(std::uint16_t width, std::uint16_t height, bool bigEndian)
{
    TiffBytes t(bigEndian);
    t.Short(Dir::Ifd0, 0x0100, {width})  // ImageWidth
        .Short(Dir::Ifd0, 0x0101, {height})  // ImageLength
        .Short(Dir::Ifd0, 0x0102, {8, 8, 8})  // BitsPerSample
        .Short(Dir::Ifd0, 0x0103, {1})  // Compression: none
        .Short(Dir::Ifd0, 0x0106, {2})  // Photometric: RGB
        .Short(Dir::Ifd0, 0x0115, {3})  // SamplesPerPixel
        .Short(Dir::Ifd0, 0x011C, {1});  // PlanarConfiguration: chunky
    const std::uint16_t rowsPerStrip = static_cast<std::uint16_t>(height > 1 ? (height + 1) / 2 : 1);
    t.Short(Dir::Ifd0, 0x0116, {rowsPerStrip});  // RowsPerStrip
    std::vector<Bytes> strips;
    for (std::uint16_t y = 0; y < height; ++y) {
        if (y % rowsPerStrip == 0)
            strips.emplace_back();
        for (std::uint16_t x = 0; x < width; ++x) {
            strips.back().push_back(static_cast<std::uint8_t>(x * 16));
            strips.back().push_back(static_cast<std::uint8_t>(y * 16));
            strips.back().push_back(128);
        }
    }
    t.Strips(std::move(strips));
    return t;
}

// A JPEG file: SOI, the segments in the order added, then the frame (DQT, SOF, DHT, SOS, scan) and EOI.
class JpegBytes {
public:
    JpegBytes& Jfif(std::uint8_t units, std::uint16_t xDensity, std::uint16_t yDensity)
    {
        Bytes p;
        AppendText(p, std::string_view("JFIF\0", 5));
        p.push_back(1);  // version 1.02
        p.push_back(2);
        p.push_back(units);  // 0 aspect only, 1 per inch, 2 per cm
        AppendBig16(p, xDensity);
        AppendBig16(p, yDensity);
        p.push_back(0);  // no JFIF thumbnail
        p.push_back(0);
        return Segment(0xE0, p);
    }
    JpegBytes& Exif(const Bytes& tiffBlock)
    {
        Bytes p;
        AppendText(p, std::string_view("Exif\0\0", 6));
        Append(p, tiffBlock);
        return Segment(0xE1, p);
    }
    JpegBytes& Xmp(std::string_view packet)
    {
        Bytes p;
        AppendText(p, std::string_view("http://ns.adobe.com/xap/1.0/\0", 29));
        AppendText(p, packet);
        return Segment(0xE1, p);
    }
    JpegBytes& Comment(std::string_view text)
    {
        Bytes p;
        AppendText(p, text);
        return Segment(0xFE, p);
    }
    // Adobe APP14; transform 0 unknown (RGB/CMYK), 1 YCbCr, 2 YCCK.
    JpegBytes& Adobe(std::uint8_t transform)
    {
        Bytes p;
        AppendText(p, "Adobe");
        AppendBig16(p, 100);  // version
        AppendBig16(p, 0);  // flags0
        AppendBig16(p, 0);  // flags1
        p.push_back(transform);
        return Segment(0xEE, p);
    }
    // Any segment; the length field is computed.
    JpegBytes& Segment(std::uint8_t marker, const Bytes& payload)
    {
        FSegments.push_back(0xFF);
        FSegments.push_back(marker);
        AppendBig16(FSegments, static_cast<std::uint16_t>(payload.size() + 2));
        Append(FSegments, payload);
        return *this;
    }
    // The frame: components 1 (grey), 3 (YCbCr) or 4 (CMYK), all sampled 1x1. Progressive gives SOF2 with
    // one DC scan. Quantisation table 0 holds 1..64 (components 0 and 3), table 1 holds 64..1 (1 and 2).
    JpegBytes& Frame(std::uint16_t width, std::uint16_t height, std::uint8_t components = 3, bool progressive = false)
    {
        FWidth = width;
        FHeight = height;
        FComponents = components;
        FProgressive = progressive;
        return *this;
    }
    // Replaces the generated scan data (not decodable then, but large files are cheap to make).
    JpegBytes& ScanData(Bytes scan)
    {
        FScan = std::move(scan);
        FCustomScan = true;
        return *this;
    }

    Bytes Build() const
    {
        Bytes out;
        out.reserve(2 + FSegments.size());
        out.push_back(0xFF);  // SOI
        out.push_back(0xD8);
        Append(out, FSegments);
        Bytes dqt;
        const int tables = FComponents > 1 ? 2 : 1;
        for (int t = 0; t < tables; ++t) {
            dqt.push_back(static_cast<std::uint8_t>(t));  // 8-bit precision, table t
            for (int i = 0; i < 64; ++i)
                dqt.push_back(static_cast<std::uint8_t>(t == 0 ? i + 1 : 64 - i));
        }
        AppendSegment(out, 0xDB, dqt);
        Bytes sof;
        sof.push_back(8);  // sample precision
        AppendBig16(sof, FHeight);
        AppendBig16(sof, FWidth);
        sof.push_back(FComponents);
        for (std::uint8_t c = 0; c < FComponents; ++c) {
            sof.push_back(static_cast<std::uint8_t>(c + 1));  // component id
            sof.push_back(0x11);  // sampling 1x1
            sof.push_back(static_cast<std::uint8_t>(c == 1 || c == 2));  // quantisation table
        }
        AppendSegment(out, FProgressive ? 0xC2 : 0xC0, sof);
        // One Huffman code of length 1 per table: DC difference category 0, AC end of block.
        Bytes dht;
        for (std::uint8_t cls : {std::uint8_t{0x00}, std::uint8_t{0x10}}) {
            dht.push_back(cls);  // class and table id 0
            dht.push_back(1);  // one code of length 1
            dht.insert(dht.end(), 15, 0);
            dht.push_back(0);  // its symbol
        }
        AppendSegment(out, 0xC4, dht);
        Bytes sos;
        sos.push_back(FComponents);
        for (std::uint8_t c = 0; c < FComponents; ++c) {
            sos.push_back(static_cast<std::uint8_t>(c + 1));
            sos.push_back(0x00);  // DC table 0, AC table 0
        }
        sos.push_back(0);  // Ss
        sos.push_back(FProgressive ? 0 : 63);  // Se
        sos.push_back(0);  // Ah, Al
        AppendSegment(out, 0xDA, sos);
        if (FCustomScan) {
            Append(out, FScan);
        } else {
            // Every block: DC code "0", and for baseline AC code "0" (end of block); pad with 1 bits.
            const std::size_t blocks = std::size_t{(FWidth + 7u) / 8u} * ((FHeight + 7u) / 8u) * FComponents;
            const std::size_t bits = blocks * (FProgressive ? 1 : 2);
            Bytes scan((bits + 7) / 8, 0);
            if (bits % 8)
                scan.back() = static_cast<std::uint8_t>(0xFF >> (bits % 8));
            Append(out, scan);
        }
        out.push_back(0xFF);
        out.push_back(0xD9);  // EOI
        return out;
    }

private:
    static void AppendSegment(Bytes& out, std::uint8_t marker, const Bytes& payload)
    {
        out.push_back(0xFF);
        out.push_back(marker);
        AppendBig16(out, static_cast<std::uint16_t>(payload.size() + 2));
        Append(out, payload);
    }

    Bytes FSegments;
    std::uint16_t FWidth = 8, FHeight = 8;
    std::uint8_t FComponents = 3;
    bool FProgressive = false;
    Bytes FScan;
    bool FCustomScan = false;
};

// Where a byte sequence first occurs in bytes, or bytes.size().
inline std::size_t Find(const Bytes& bytes, const Bytes& needle)
{
    return static_cast<std::size_t>(std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end()) -
                                    bytes.begin());
}

}  // namespace ovrel::imaging::fixtures
