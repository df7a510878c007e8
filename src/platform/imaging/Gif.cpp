// GIF files: the logical screen and the frames, walked block by block without decoding the pixel data.

#include "platform/imaging/ByteReader.h"
#include "platform/imaging/Image_p.h"
#include "platform/imaging/Pixels_p.h"

namespace ovrel::imaging::detail {

namespace {

constexpr std::uint32_t TagFrameDelay = 0x5100;
constexpr std::uint32_t TagLoopCount = 0x5101;
constexpr std::uint32_t TagGlobalPalette = 0x5102;
constexpr std::uint32_t TagIndexBackground = 0x5103;
constexpr std::uint32_t TagIndexTransparent = 0x5104;

constexpr std::uint8_t ExtensionIntroducer = 0x21;
constexpr std::uint8_t ImageSeparator = 0x2C;
constexpr std::uint8_t Trailer = 0x3B;
constexpr std::uint8_t GraphicControlLabel = 0xF9;
constexpr std::uint8_t ApplicationLabel = 0xFF;

struct GifFacts {
    std::uint32_t Width = 0, Height = 0;
    std::uint8_t Background = 0;
    std::span<const std::uint8_t> GlobalPalette;
    std::vector<std::uint32_t> Delays;  // one per frame, hundredths of a second
    std::optional<std::uint16_t> LoopCount;
    std::optional<std::uint8_t> Transparent;
};

// Skips a run of data sub-blocks; the position after the zero-length terminator, or nullopt.
std::optional<std::size_t> SkipSubBlocks(const ByteReader& reader, std::size_t at)
{
    for (;;) {
        const auto length = reader.U8(at);
        if (!length)
            return std::nullopt;
        if (*length == 0)
            return at + 1;
        if (!reader.Has(at + 1, *length))
            return std::nullopt;
        at += 1 + *length;
    }
}

// The extension at `at` (just after its introducer and label). Updates the pending delay and transparency.
std::optional<std::size_t> ReadExtension(const ByteReader& reader, std::size_t at, std::uint8_t label, GifFacts& facts,
                                         std::uint32_t& pendingDelay)
{
    if (label == GraphicControlLabel && reader.U8(at) == std::uint8_t{4}) {
        const auto packed = reader.U8(at + 1);
        const auto delay = reader.U16(at + 2);
        const auto index = reader.U8(at + 4);
        if (!packed || !delay || !index)
            return std::nullopt;
        pendingDelay = *delay;
        if ((*packed & 1) && !facts.Transparent)
            facts.Transparent = *index;
    } else if (label == ApplicationLabel && reader.U8(at) == std::uint8_t{11}) {
        static constexpr std::uint8_t Netscape[11] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        static constexpr std::uint8_t Animation[11] = {'A', 'N', 'I', 'M', 'E', 'X', 'T', 'S', '1', '.', '0'};
        if ((reader.Matches(at + 1, Netscape) || reader.Matches(at + 1, Animation)) &&
            reader.U8(at + 12) == std::uint8_t{3} && reader.U8(at + 13) == std::uint8_t{1}) {
            if (const auto loops = reader.U16(at + 14))
                facts.LoopCount = *loops;
        }
    }
    return SkipSubBlocks(reader, at);
}

Status WalkGif(std::span<const std::uint8_t> file, GifFacts& facts)
{
    const ByteReader reader(file, false);
    static constexpr std::uint8_t Gif87[6] = {'G', 'I', 'F', '8', '7', 'a'};
    static constexpr std::uint8_t Gif89[6] = {'G', 'I', 'F', '8', '9', 'a'};
    if (!reader.Matches(0, Gif87) && !reader.Matches(0, Gif89))
        return Status::UnknownImageFormat;
    const auto width = reader.U16(6);
    const auto height = reader.U16(8);
    const auto packed = reader.U8(10);
    const auto background = reader.U8(11);
    if (!width || !height || !packed || !background || !reader.U8(12))
        return Status::GenericError;
    facts.Width = *width;
    facts.Height = *height;
    facts.Background = *background;
    std::size_t at = 13;
    if (*packed & 0x80) {
        const std::size_t size = 3u << ((*packed & 7) + 1);
        const auto palette = reader.Bytes(at, size);
        if (!palette)
            return Status::GenericError;
        facts.GlobalPalette = *palette;
        at += size;
    }
    std::uint32_t pendingDelay = 0;
    for (;;) {
        const auto introducer = reader.U8(at);
        if (!introducer || *introducer == Trailer)
            break;  // a missing trailer is common and harmless
        if (*introducer == ExtensionIntroducer) {
            const auto label = reader.U8(at + 1);
            const auto next = label ? ReadExtension(reader, at + 2, *label, facts, pendingDelay) : std::nullopt;
            if (!next)
                break;
            at = *next;
        } else if (*introducer == ImageSeparator) {
            const auto frameWidth = reader.U16(at + 5);
            const auto frameHeight = reader.U16(at + 7);
            const auto framePacked = reader.U8(at + 9);
            if (!frameWidth || !frameHeight || !framePacked)
                break;
            at += 10;
            if (*framePacked & 0x80)
                at += 3u << ((*framePacked & 7) + 1);
            const auto next = reader.U8(at) ? SkipSubBlocks(reader, at + 1) : std::nullopt;  // after the code size
            if (!next)
                break;  // a cut-off last frame is not counted
            at = *next;
            if (facts.Width == 0 && facts.Height == 0) {  // some writers leave the screen empty
                facts.Width = *frameWidth;
                facts.Height = *frameHeight;
            }
            facts.Delays.push_back(pendingDelay);
            pendingDelay = 0;
        } else {
            break;  // an unknown block: nothing after it can be trusted
        }
    }
    // A file without one whole frame is no image.
    if (facts.Delays.empty() || facts.Width == 0 || facts.Height == 0)
        return Status::GenericError;
    return Status::Ok;
}

}  // namespace

Status ReadGif(std::span<const std::uint8_t> file, ImageData& out) noexcept
{
    return Guarded([&] {
        GifFacts facts;
        if (const Status status = WalkGif(file, facts); status != Status::Ok)
            return status;
        out.Kind = FileKind::Gif;
        out.RawFormat = ImageFormatGIF;
        out.Width = facts.Width;
        out.Height = facts.Height;
        out.Format = PixelFormat8bppIndexed;
        out.Flags = ImageFlagsColorSpaceRGB | ImageFlagsHasRealPixelSize | ImageFlagsReadOnly |
                    (facts.Transparent ? ImageFlagsHasAlpha : 0u);
        out.DpiX = out.DpiY = 96.0f;
        out.Items.clear();
        out.DerivedIds.clear();
        std::vector<std::uint8_t> delays;
        for (const std::uint32_t delay : facts.Delays)
            AppendNative(delays, delay);
        out.Items.push_back({TagFrameDelay, PropertyTagTypeLong, std::move(delays)});
        if (facts.LoopCount) {
            std::vector<std::uint8_t> loops;
            AppendNative(loops, *facts.LoopCount);
            out.Items.push_back({TagLoopCount, PropertyTagTypeShort, std::move(loops)});
        }
        if (!facts.GlobalPalette.empty()) {
            out.Items.push_back({TagGlobalPalette, PropertyTagTypeByte,
                                 std::vector<std::uint8_t>(facts.GlobalPalette.begin(), facts.GlobalPalette.end())});
            out.Items.push_back({TagIndexBackground, PropertyTagTypeByte, {facts.Background}});
        }
        if (facts.Transparent)
            out.Items.push_back({TagIndexTransparent, PropertyTagTypeByte, {*facts.Transparent}});
        return Status::Ok;
    });
}

}  // namespace ovrel::imaging::detail
