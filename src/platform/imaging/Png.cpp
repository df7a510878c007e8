// PNG files: the chunk walk, the items of the metadata chunks, and the lossless writer that replaces only
// the chunks carrying changed items.

#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Pixels_p.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

#include <zlib.h>

namespace ovrel::imaging::detail {

namespace {

constexpr std::array<std::uint8_t, 8> PngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t MaxChunkLength = 0x7FFFFFFF;
// Decompressed text and profiles: more than this is not metadata any more.
constexpr std::size_t MaxInflatedSize = 16u << 20;

constexpr std::uint32_t ChunkType(const char (&name)[5])
{
    return (std::uint32_t{static_cast<std::uint8_t>(name[0])} << 24) |
           (std::uint32_t{static_cast<std::uint8_t>(name[1])} << 16) |
           (std::uint32_t{static_cast<std::uint8_t>(name[2])} << 8) | std::uint32_t{static_cast<std::uint8_t>(name[3])};
}

constexpr std::uint32_t IHDR = ChunkType("IHDR");
constexpr std::uint32_t IDAT = ChunkType("IDAT");
constexpr std::uint32_t IEND = ChunkType("IEND");
constexpr std::uint32_t tRNS = ChunkType("tRNS");
constexpr std::uint32_t gAMA = ChunkType("gAMA");
constexpr std::uint32_t cHRM = ChunkType("cHRM");
constexpr std::uint32_t sRGB = ChunkType("sRGB");
constexpr std::uint32_t iCCP = ChunkType("iCCP");
constexpr std::uint32_t tEXt = ChunkType("tEXt");
constexpr std::uint32_t zTXt = ChunkType("zTXt");
constexpr std::uint32_t iTXt = ChunkType("iTXt");
constexpr std::uint32_t tIME = ChunkType("tIME");
constexpr std::uint32_t pHYs = ChunkType("pHYs");
constexpr std::uint32_t eXIf = ChunkType("eXIf");

// Ids of the items PNG chunks carry.
constexpr std::uint32_t TagImageWidth = 0x0100;
constexpr std::uint32_t TagImageHeight = 0x0101;
constexpr std::uint32_t TagBitsPerSample = 0x0102;
constexpr std::uint32_t TagSamplesPerPixel = 0x0115;
constexpr std::uint32_t TagDateTime = 0x0132;
constexpr std::uint32_t TagWhitePoint = 0x013E;
constexpr std::uint32_t TagPrimaryChromaticities = 0x013F;
constexpr std::uint32_t TagIccProfileDescriptor = 0x0302;
constexpr std::uint32_t TagSrgbRenderingIntent = 0x0303;
constexpr std::uint32_t TagIccProfile = 0x8773;
constexpr std::uint32_t TagPixelUnit = 0x5110;
constexpr std::uint32_t TagPixelPerUnitX = 0x5111;
constexpr std::uint32_t TagPixelPerUnitY = 0x5112;

struct TextKey {
    std::string_view Keyword;
    std::uint32_t Id;
};
// The text keywords that have an item of their own; other keywords stay in the file untouched.
constexpr TextKey TextKeys[] = {
    {"Title", PropertyTagImageTitle},
    {"Author", 0x013B},
    {"Description", 0x010E},
    {"Copyright", 0x8298},
    {"Software", 0x0131},
    {"Source", 0x0110},
};

std::optional<std::uint32_t> IdOfKeyword(std::string_view keyword)
{
    for (const TextKey& key : TextKeys)
        if (key.Keyword == keyword)
            return key.Id;
    return std::nullopt;
}

std::optional<std::string_view> KeywordOfId(std::uint32_t id)
{
    for (const TextKey& key : TextKeys)
        if (key.Id == id)
            return key.Keyword;
    return std::nullopt;
}

struct Chunk {
    std::size_t Offset = 0;  // of the length field
    std::uint32_t Type = 0;
    std::span<const std::uint8_t> Data;
    bool CrcOk = false;
    [[nodiscard]] std::size_t End() const noexcept { return Offset + 12 + Data.size(); }
};

// Where a listed item came from; a writer keeps that chunk when the item is unchanged.
enum class Origin { Exif, Text, Gamma, Time, Derived };

struct SourcedItem {
    PropertyItem Item;
    Origin From = Origin::Derived;
    std::size_t ChunkIndex = 0;
};

struct PngFile {
    std::vector<Chunk> Chunks;
    std::size_t EndOfIend = 0;
    std::optional<std::size_t> ExifChunk;
    std::span<const std::uint8_t> ExifBlock;
    std::vector<SourcedItem> Items;  // listing order, no id twice
    // The id each metadata chunk would list, listed or shadowed by an earlier one.
    std::vector<std::optional<std::uint32_t>> ChunkIds;
    std::uint32_t Width = 0, Height = 0;
    std::uint8_t BitDepth = 0, ColourType = 0;
    bool HasTransparency = false;
    bool HasDensity = false;
    float DpiX = 96.0f, DpiY = 96.0f;
};

PropertyItem MakeItem(std::uint32_t id, std::uint16_t type, std::vector<std::uint8_t> value)
{
    return PropertyItem{id, type, std::move(value)};
}

PropertyItem LongItem(std::uint32_t id, std::uint32_t v)
{
    std::vector<std::uint8_t> value;
    AppendNative(value, v);
    return MakeItem(id, PropertyTagTypeLong, std::move(value));
}

PropertyItem AsciiItem(std::uint32_t id, std::span<const std::uint8_t> text)
{
    std::vector<std::uint8_t> value(text.begin(), text.end());
    value.push_back(0);
    return MakeItem(id, PropertyTagTypeASCII, std::move(value));
}

// Rationals of PNG's fixed-point values: the stored number over 100000.
PropertyItem FixedPointItem(std::uint32_t id, ByteReader data, std::size_t count)
{
    std::vector<std::uint8_t> value;
    for (std::size_t i = 0; i < count; ++i) {
        AppendNative(value, data.BigU32(i * 4).value_or(0));
        AppendNative(value, std::uint32_t{100000});
    }
    return MakeItem(id, PropertyTagTypeRational, std::move(value));
}

bool Inflate(std::span<const std::uint8_t> compressed, std::vector<std::uint8_t>& out)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return false;
    stream.next_in = const_cast<Bytef*>(compressed.data());  // zlib's interface is not const-correct
    stream.avail_in = static_cast<uInt>(std::min<std::size_t>(compressed.size(), MaxChunkLength));
    out.clear();
    std::uint8_t buffer[16384];
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        if (result != Z_OK && result != Z_STREAM_END)
            break;
        const std::size_t produced = sizeof buffer - stream.avail_out;
        if (out.size() + produced > MaxInflatedSize) {
            result = Z_MEM_ERROR;
            break;
        }
        out.insert(out.end(), buffer, buffer + produced);
        if (result == Z_OK && produced == 0 && stream.avail_in == 0)
            result = Z_DATA_ERROR;  // the stream ends before its end marker
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END;
}

// Up to the first zero byte; nullopt when there is none.
std::optional<std::size_t> FindZero(std::span<const std::uint8_t> data, std::size_t from = 0)
{
    for (std::size_t i = from; i < data.size(); ++i)
        if (data[i] == 0)
            return i;
    return std::nullopt;
}

std::string_view AsText(std::span<const std::uint8_t> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct TextChunk {
    std::string_view Keyword;
    std::vector<std::uint8_t> Text;
};

std::optional<TextChunk> ParseText(const Chunk& chunk)
{
    const auto end = FindZero(chunk.Data);
    if (!end || *end == 0 || *end > 79)
        return std::nullopt;
    TextChunk text{AsText(chunk.Data.first(*end)), {}};
    const auto rest = chunk.Data.subspan(*end + 1);
    if (chunk.Type == tEXt) {
        text.Text.assign(rest.begin(), rest.end());
    } else if (chunk.Type == zTXt) {
        if (rest.empty() || rest[0] != 0 || !Inflate(rest.subspan(1), text.Text))
            return std::nullopt;
    } else {  // iTXt: compression flag, method, language\0, translated keyword\0, text
        if (rest.size() < 2)
            return std::nullopt;
        const bool compressed = rest[0] != 0;
        const auto language = FindZero(rest, 2);
        const auto translated = language ? FindZero(rest, *language + 1) : std::nullopt;
        if (!translated)
            return std::nullopt;
        const auto body = rest.subspan(*translated + 1);
        if (compressed) {
            if (rest[1] != 0 || !Inflate(body, text.Text))
                return std::nullopt;
        } else {
            text.Text.assign(body.begin(), body.end());
        }
    }
    // The item is a zero-terminated text: a zero inside would cut it short.
    if (const auto zero = FindZero(text.Text))
        text.Text.resize(*zero);
    return text;
}

std::uint32_t ChunkCrc(std::uint32_t type, std::span<const std::uint8_t> data)
{
    const std::uint8_t typeBytes[4] = {static_cast<std::uint8_t>(type >> 24), static_cast<std::uint8_t>(type >> 16),
                                       static_cast<std::uint8_t>(type >> 8), static_cast<std::uint8_t>(type)};
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, typeBytes, 4);
    // zlib takes at most uInt bytes at a time
    for (std::size_t at = 0; at < data.size();) {
        const auto n = static_cast<uInt>(std::min<std::size_t>(data.size() - at, 1u << 30));
        crc = crc32(crc, data.data() + at, n);
        at += n;
    }
    return static_cast<std::uint32_t>(crc);
}

bool ValidHeader(std::uint8_t colourType, std::uint8_t depth)
{
    switch (colourType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

Status WalkChunks(std::span<const std::uint8_t> file, PngFile& png)
{
    const ByteReader reader(file, true);
    if (!reader.Matches(0, PngSignature))
        return Status::UnknownImageFormat;
    std::size_t at = PngSignature.size();
    bool sawIdat = false;
    for (;;) {
        const auto length = reader.BigU32(at);
        const auto type = reader.BigU32(at + 4);
        if (!length || !type || *length > MaxChunkLength)
            return Status::GenericError;
        const auto data = reader.Bytes(at + 8, *length);
        const auto crc = data ? reader.BigU32(at + 8 + *length) : std::nullopt;
        if (!crc)
            return Status::GenericError;
        Chunk chunk{at, *type, *data, false};
        if (png.Chunks.empty() && chunk.Type != IHDR)
            return Status::GenericError;
        // Only the chunks that are read are checked: the pixel data is not touched on opening.
        if (chunk.Type != IDAT)
            chunk.CrcOk = ChunkCrc(chunk.Type, chunk.Data) == *crc;
        sawIdat = sawIdat || chunk.Type == IDAT;
        png.Chunks.push_back(chunk);
        at = chunk.End();
        if (chunk.Type == IEND) {
            png.EndOfIend = at;
            return sawIdat ? Status::Ok : Status::GenericError;
        }
    }
}

void AddItem(PngFile& png, PropertyItem item, Origin from, std::size_t chunkIndex)
{
    if (from != Origin::Exif && from != Origin::Derived)
        png.ChunkIds[chunkIndex] = item.Id;
    // The Exif block comes first in the listing; a chunk never repeats an id already listed.
    for (const SourcedItem& listed : png.Items)
        if (listed.Item.Id == item.Id)
            return;
    png.Items.push_back({std::move(item), from, chunkIndex});
}

Status ParsePng(std::span<const std::uint8_t> file, PngFile& png)
{
    if (const Status walked = WalkChunks(file, png); walked != Status::Ok)
        return walked;
    const Chunk& header = png.Chunks.front();
    const ByteReader ihdr(header.Data, true);
    if (header.Data.size() != 13 || !header.CrcOk)
        return Status::GenericError;
    png.Width = *ihdr.BigU32(0);
    png.Height = *ihdr.BigU32(4);
    png.BitDepth = *ihdr.U8(8);
    png.ColourType = *ihdr.U8(9);
    if (png.Width == 0 || png.Height == 0 || png.Width > MaxChunkLength || png.Height > MaxChunkLength ||
        !ValidHeader(png.ColourType, png.BitDepth) || *ihdr.U8(10) != 0 || *ihdr.U8(11) != 0 || *ihdr.U8(12) > 1)
        return Status::GenericError;

    png.ChunkIds.assign(png.Chunks.size(), std::nullopt);
    // The Exif block is listed first, whatever its place among the chunks.
    for (std::size_t i = 0; i < png.Chunks.size(); ++i) {
        const Chunk& chunk = png.Chunks[i];
        if (chunk.Type != eXIf || !chunk.CrcOk)
            continue;
        std::span<const std::uint8_t> block = chunk.Data;
        static constexpr std::uint8_t ExifPrefix[6] = {'E', 'x', 'i', 'f', 0, 0};
        if (ByteReader(block).Matches(0, ExifPrefix))
            block = block.subspan(6);
        std::vector<PropertyItem> exifItems;
        if (ReadExifBlock(block, exifItems) == Status::Ok) {
            png.ExifChunk = i;
            png.ExifBlock = block;
            for (PropertyItem& item : exifItems)
                AddItem(png, std::move(item), Origin::Exif, i);
        }
        break;
    }

    std::vector<SourcedItem> derived;
    const auto derive = [&derived](PropertyItem item, std::size_t index) {
        derived.push_back({std::move(item), Origin::Derived, index});
    };
    const std::uint16_t samples = png.ColourType == 2 ? 3 : png.ColourType == 4 ? 2 : png.ColourType == 6 ? 4 : 1;
    derive(LongItem(TagImageWidth, png.Width), 0);
    derive(LongItem(TagImageHeight, png.Height), 0);
    {
        std::vector<std::uint8_t> bits;
        for (std::uint16_t s = 0; s < samples; ++s)
            AppendNative(bits, std::uint16_t{png.BitDepth});
        derive(MakeItem(TagBitsPerSample, PropertyTagTypeShort, std::move(bits)), 0);
        std::vector<std::uint8_t> count;
        AppendNative(count, samples);
        derive(MakeItem(TagSamplesPerPixel, PropertyTagTypeShort, std::move(count)), 0);
    }

    for (std::size_t i = 1; i < png.Chunks.size(); ++i) {
        const Chunk& chunk = png.Chunks[i];
        const ByteReader data(chunk.Data, true);
        if (chunk.Type == tRNS)
            png.HasTransparency = true;
        if (!chunk.CrcOk)
            continue;  // a damaged metadata chunk lists nothing
        if (chunk.Type == gAMA && chunk.Data.size() == 4) {
            AddItem(png, FixedPointItem(PropertyTagGamma, data, 1), Origin::Gamma, i);
        } else if (chunk.Type == tEXt || chunk.Type == zTXt || chunk.Type == iTXt) {
            const auto text = ParseText(chunk);
            const auto id = text ? IdOfKeyword(text->Keyword) : std::nullopt;
            if (id)
                AddItem(png, AsciiItem(*id, text->Text), Origin::Text, i);
        } else if (chunk.Type == tIME && chunk.Data.size() == 7) {
            const unsigned year = *data.BigU16(0), month = *data.U8(2), day = *data.U8(3);
            const unsigned hour = *data.U8(4), minute = *data.U8(5), second = *data.U8(6);
            if (month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour < 24 && minute < 60 && second <= 60) {
                char text[32];
                const int n = std::snprintf(text, sizeof text, "%04u:%02u:%02u %02u:%02u:%02u", year, month, day, hour,
                                            minute, second);
                const auto bytes = reinterpret_cast<const std::uint8_t*>(text);
                AddItem(png, AsciiItem(TagDateTime, {bytes, static_cast<std::size_t>(n)}), Origin::Time, i);
            }
        } else if (chunk.Type == pHYs && chunk.Data.size() == 9) {
            const std::uint32_t x = *data.BigU32(0), y = *data.BigU32(4);
            const std::uint8_t unit = *data.U8(8);
            derive(MakeItem(TagPixelUnit, PropertyTagTypeByte, {unit}), i);
            derive(LongItem(TagPixelPerUnitX, x), i);
            derive(LongItem(TagPixelPerUnitY, y), i);
            if (unit == 1 && x > 0 && y > 0) {  // pixels per metre
                png.HasDensity = true;
                png.DpiX = static_cast<float>(x * 0.0254);
                png.DpiY = static_cast<float>(y * 0.0254);
            }
        } else if (chunk.Type == cHRM && chunk.Data.size() == 32) {
            derive(FixedPointItem(TagWhitePoint, data, 2), i);
            derive(FixedPointItem(TagPrimaryChromaticities, ByteReader(chunk.Data.subspan(8), true), 6), i);
        } else if (chunk.Type == sRGB && chunk.Data.size() == 1) {
            derive(MakeItem(TagSrgbRenderingIntent, PropertyTagTypeByte, {chunk.Data[0]}), i);
        } else if (chunk.Type == iCCP) {
            const auto end = FindZero(chunk.Data);
            std::vector<std::uint8_t> profile;
            if (end && *end > 0 && *end + 1 < chunk.Data.size() && chunk.Data[*end + 1] == 0 &&
                Inflate(chunk.Data.subspan(*end + 2), profile)) {
                derive(AsciiItem(TagIccProfileDescriptor, chunk.Data.first(*end)), i);
                derive(MakeItem(TagIccProfile, PropertyTagTypeUndefined, std::move(profile)), i);
            }
        }
    }
    for (SourcedItem& item : derived)
        AddItem(png, std::move(item.Item), Origin::Derived, item.ChunkIndex);
    return Status::Ok;
}

PixelFormat FormatOf(const PngFile& png)
{
    const bool wide = png.BitDepth == 16;
    switch (png.ColourType) {
    case 0:
        if (png.HasTransparency)
            return wide ? PixelFormat64bppARGB : PixelFormat32bppARGB;
        return png.BitDepth == 1   ? PixelFormat1bppIndexed
               : png.BitDepth == 4 ? PixelFormat4bppIndexed
               : wide              ? PixelFormat48bppRGB
                                   : PixelFormat8bppIndexed;
    case 2:
        if (png.HasTransparency)
            return wide ? PixelFormat64bppARGB : PixelFormat32bppARGB;
        return wide ? PixelFormat48bppRGB : PixelFormat24bppRGB;
    case 3:
        return png.BitDepth == 1   ? PixelFormat1bppIndexed
               : png.BitDepth <= 4 ? PixelFormat4bppIndexed
                                   : PixelFormat8bppIndexed;
    default:  // 4 and 6 carry alpha
        return wide ? PixelFormat64bppARGB : PixelFormat32bppARGB;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Writing

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, std::uint32_t type, std::span<const std::uint8_t> data)
{
    PutBig32(out, static_cast<std::uint32_t>(data.size()));
    PutBig32(out, type);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, ChunkCrc(type, data));
}

void CopyChunk(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> file, const Chunk& chunk)
{
    const auto bytes = file.subspan(chunk.Offset, chunk.End() - chunk.Offset);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

bool IsUtf8(std::span<const std::uint8_t> text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::uint8_t lead = text[i];
        const std::size_t extra = lead < 0x80         ? 0
                                  : (lead >> 5) == 6  ? 1
                                  : (lead >> 4) == 14 ? 2
                                  : (lead >> 3) == 30 ? 3
                                                      : 4;
        if (extra == 4 || extra > text.size() - i - 1)
            return false;
        for (std::size_t k = 1; k <= extra; ++k)
            if ((text[i + k] & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

// A text item's chunk: plain Latin-1 text as tEXt, text that needs UTF-8 as iTXt.
std::vector<std::uint8_t> TextChunkData(std::string_view keyword, const PropertyItem& item, std::uint32_t& type)
{
    std::span<const std::uint8_t> text = item.Value;
    if (const auto zero = FindZero(text))
        text = text.first(*zero);
    const bool ascii = std::all_of(text.begin(), text.end(), [](std::uint8_t c) { return c < 0x80; });
    std::vector<std::uint8_t> data(keyword.begin(), keyword.end());
    data.push_back(0);
    if (!ascii && IsUtf8(text)) {
        type = iTXt;
        data.insert(data.end(), {0, 0, 0, 0});  // uncompressed, no language, no translated keyword
    } else {
        type = tEXt;
    }
    data.insert(data.end(), text.begin(), text.end());
    return data;
}

std::optional<std::vector<std::uint8_t>> GammaChunkData(const PropertyItem& item)
{
    if (item.Type != PropertyTagTypeRational || item.Value.size() < 8)
        return std::nullopt;
    std::uint32_t numerator = 0, denominator = 0;
    std::memcpy(&numerator, item.Value.data(), 4);
    std::memcpy(&denominator, item.Value.data() + 4, 4);
    if (denominator == 0 || numerator == 0)
        return std::nullopt;
    const double stored = std::round(static_cast<double>(numerator) * 100000.0 / denominator);
    if (stored < 1 || stored > MaxChunkLength)
        return std::nullopt;
    std::vector<std::uint8_t> data;
    PutBig32(data, static_cast<std::uint32_t>(stored));
    return data;
}

const PropertyItem* FindItem(const std::vector<PropertyItem>& items, std::uint32_t id)
{
    for (const PropertyItem& item : items)
        if (item.Id == id)
            return &item;
    return nullptr;
}

// What becomes of one chunk of the original file.
enum class ChunkFate { Copy, Drop, Replace };

}  // namespace

Status ReadPng(std::span<const std::uint8_t> file, ImageData& out) noexcept
{
    return Guarded([&] {
        PngFile png;
        if (const Status status = ParsePng(file, png); status != Status::Ok)
            return status;
        out.Kind = FileKind::Png;
        out.RawFormat = ImageFormatPNG;
        out.Width = png.Width;
        out.Height = png.Height;
        out.Format = FormatOf(png);
        const bool gray = png.ColourType == 0 || png.ColourType == 4;
        const bool alpha = png.ColourType == 4 || png.ColourType == 6 || png.HasTransparency;
        out.Flags = (gray ? ImageFlagsColorSpaceGRAY : ImageFlagsColorSpaceRGB) | (alpha ? ImageFlagsHasAlpha : 0u) |
                    ImageFlagsHasRealPixelSize | ImageFlagsReadOnly | (png.HasDensity ? ImageFlagsHasRealDPI : 0u);
        out.DpiX = png.DpiX;
        out.DpiY = png.DpiY;
        out.MetadataBigEndian = ExifBlockIsBigEndian(png.ExifBlock);
        out.Items.clear();
        out.DerivedIds.clear();
        for (SourcedItem& item : png.Items) {
            if (item.From == Origin::Derived)
                out.DerivedIds.push_back(item.Item.Id);
            out.Items.push_back(std::move(item.Item));
        }
        return Status::Ok;
    });
}

Status WritePng(std::span<const std::uint8_t> original, const ImageData& image, std::vector<std::uint8_t>& out) noexcept
{
    return Guarded([&] {
        PngFile png;
        if (const Status status = ParsePng(original, png); status != Status::Ok)
            return status;

        std::vector<ChunkFate> fates(png.Chunks.size(), ChunkFate::Copy);
        std::vector<std::vector<std::uint8_t>> replacements(png.Chunks.size());
        std::vector<std::uint32_t> replacementTypes(png.Chunks.size(), 0);
        const auto sourceOf = [&png](std::uint32_t id) -> const SourcedItem* {
            for (const SourcedItem& item : png.Items)
                if (item.Item.Id == id)
                    return &item;
            return nullptr;
        };

        // A metadata chunk stays when its item is unchanged. A chunk whose id is listed from elsewhere
        // (the Exif block, an earlier chunk) goes when that item goes, or it would be read back in its place.
        for (std::size_t i = 0; i < png.Chunks.size(); ++i) {
            if (!png.ChunkIds[i])
                continue;
            const SourcedItem* listed = sourceOf(*png.ChunkIds[i]);
            const PropertyItem* now = FindItem(image.Items, *png.ChunkIds[i]);
            if (!listed)
                continue;
            if (listed->From == Origin::Exif || listed->ChunkIndex != i) {
                const bool kept = listed->From == Origin::Exif ? now != nullptr : now && *now == listed->Item;
                fates[i] = kept ? ChunkFate::Copy : ChunkFate::Drop;
                continue;
            }
            if (now && *now == listed->Item)
                continue;
            fates[i] = ChunkFate::Drop;
            if (!now || listed->From == Origin::Time)
                continue;  // a changed date has no chunk of its own: it goes into the Exif block
            if (listed->From == Origin::Gamma) {
                auto data = GammaChunkData(*now);
                if (!data)
                    return Status::InvalidParameter;
                replacements[i] = std::move(*data);
                replacementTypes[i] = gAMA;
            } else {
                replacements[i] = TextChunkData(*KeywordOfId(now->Id), *now, replacementTypes[i]);
            }
            fates[i] = ChunkFate::Replace;
        }

        // Items without a chunk: gamma and the known text keys get new chunks, the rest the Exif block.
        std::vector<PropertyItem> exifItems;
        std::vector<std::uint8_t> newGamma;
        std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> newTexts;
        for (const PropertyItem& item : image.Items) {
            const SourcedItem* source = sourceOf(item.Id);
            if (source && source->From == Origin::Derived)
                continue;  // regenerated from the file, never taken from the list
            if (source && source->From == Origin::Time && !(item == source->Item))
                exifItems.push_back(item);
            if (source && source->From != Origin::Exif)
                continue;
            if (source) {
                exifItems.push_back(item);
            } else if (item.Id == PropertyTagGamma) {
                auto data = GammaChunkData(item);
                if (!data)
                    return Status::InvalidParameter;
                newGamma = std::move(*data);
            } else if (const auto keyword = KeywordOfId(item.Id)) {
                std::uint32_t type = 0;
                auto data = TextChunkData(*keyword, item, type);
                newTexts.emplace_back(type, std::move(data));
            } else {
                exifItems.push_back(item);
            }
        }

        // The Exif block: the original bytes while its items are as they were, else rebuilt in its place.
        std::vector<PropertyItem> oldExifItems;
        for (const SourcedItem& source : png.Items)
            if (source.From == Origin::Exif)
                oldExifItems.push_back(source.Item);
        const bool exifChanged = exifItems != oldExifItems;
        std::vector<std::uint8_t> exifBlock;
        if (exifChanged && !exifItems.empty()) {
            if (const Status status = WriteExifBlock(png.ExifBlock, exifItems, exifBlock); status != Status::Ok)
                return status;
        }
        bool exifPlaced = !exifChanged || exifBlock.empty();
        for (std::size_t i = 0; i < png.Chunks.size(); ++i) {
            if (png.Chunks[i].Type != eXIf || !exifChanged)
                continue;
            if (png.ExifChunk && i == *png.ExifChunk && !exifBlock.empty()) {
                fates[i] = ChunkFate::Replace;
                replacements[i] = exifBlock;
                replacementTypes[i] = eXIf;
                exifPlaced = true;
            } else {
                fates[i] = ChunkFate::Drop;  // a second block would take over once the first is gone
            }
        }

        out.clear();
        out.reserve(original.size() + exifBlock.size() + 1024);
        out.insert(out.end(), original.begin(), original.begin() + PngSignature.size());
        bool textsWritten = false;
        for (std::size_t i = 0; i < png.Chunks.size(); ++i) {
            const Chunk& chunk = png.Chunks[i];
            if (chunk.Type == IDAT && !textsWritten) {
                for (const auto& [type, data] : newTexts)
                    PutChunk(out, type, data);
                textsWritten = true;
            }
            if (fates[i] == ChunkFate::Copy)
                CopyChunk(out, original, chunk);
            else if (fates[i] == ChunkFate::Replace)
                PutChunk(out, replacementTypes[i], replacements[i]);
            if (chunk.Type == IHDR) {
                // Gamma must precede the palette and the pixel data; the Exif block goes early too.
                if (!newGamma.empty())
                    PutChunk(out, gAMA, newGamma);
                if (!exifPlaced)
                    PutChunk(out, eXIf, exifBlock);
            }
        }
        out.insert(out.end(), original.begin() + static_cast<std::ptrdiff_t>(png.EndOfIend), original.end());
        return Status::Ok;
    });
}

}  // namespace ovrel::imaging::detail
