#include "imaging/PixelBuilders.h"
#include "platform/imaging/Image.h"
#include "platform/imaging/Image_p.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ovrel::imaging;
using namespace ovrel::imaging::pixelfixtures;
using detail::ImageData;

namespace {

const std::vector<std::uint32_t> Palette{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// Two frames of 4x2 on a 4x2 screen: a delay of 10 and 25, the second transparent at index 3, looping forever.
GifBytes Animation()
{
    GifBytes gif(4, 2, Palette, 2);
    gif.Loop(0)
        .Comment("made in a test")
        .Control(10)
        .Frame(0, 0, 4, 2, {0, 1, 2, 3, 3, 2, 1, 0})
        .Control(25, 3)
        .Frame(0, 0, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1});
    return gif;
}

std::vector<std::uint32_t> IdsOf(const std::vector<PropertyItem>& items)
{
    std::vector<std::uint32_t> ids;
    for (const auto& item : items)
        ids.push_back(item.Id);
    return ids;
}

std::uint32_t PixelAt(const RgbaImage& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.Pixels.data() + (static_cast<std::size_t>(y) * image.Width + x) * 4;
    return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

}  // namespace

TEST(GifReader, ListsDelaysLoopCountAndPaletteWithoutDecodingFrames)
{
    ImageData data;
    ASSERT_EQ(detail::ReadGif(Animation().Trailer().Build(), data), Status::Ok);
    EXPECT_EQ(data.RawFormat, ImageFormatGIF);
    EXPECT_EQ(data.Width, 4u);
    EXPECT_EQ(data.Height, 2u);
    EXPECT_EQ(data.Format, PixelFormat8bppIndexed);
    EXPECT_NE(data.Flags & ImageFlagsHasAlpha, 0u);
    EXPECT_FLOAT_EQ(data.DpiX, 96.0f);
    ASSERT_EQ(IdsOf(data.Items), (std::vector<std::uint32_t>{0x5100, 0x5101, 0x5102, 0x5103, 0x5104}));

    const PropertyItem& delays = data.Items[0];
    EXPECT_EQ(delays.Type, PropertyTagTypeLong);
    ASSERT_EQ(delays.Length(), 8u);  // one per frame
    std::uint32_t first = 0, second = 0;
    std::memcpy(&first, delays.Value.data(), 4);
    std::memcpy(&second, delays.Value.data() + 4, 4);
    EXPECT_EQ(first, 10u);
    EXPECT_EQ(second, 25u);

    EXPECT_EQ(data.Items[1].Type, PropertyTagTypeShort);
    EXPECT_EQ(data.Items[1].Value, (Bytes{0, 0}));  // loop forever
    EXPECT_EQ(data.Items[2].Type, PropertyTagTypeByte);
    EXPECT_EQ(data.Items[2].Value, (Bytes{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    EXPECT_EQ(data.Items[3].Value, (Bytes{2}));  // background index
    EXPECT_EQ(data.Items[4].Value, (Bytes{3}));  // transparent index
}

TEST(GifReader, AStillImageHasOneDelayAndNoLoopCount)
{
    ImageData data;
    ASSERT_EQ(detail::ReadGif(GifBytes(1, 1, Palette).Frame(0, 0, 1, 1, {0}).Trailer().Build(), data), Status::Ok);
    EXPECT_EQ(IdsOf(data.Items), (std::vector<std::uint32_t>{0x5100, 0x5102, 0x5103}));
    EXPECT_EQ(data.Items[0].Value, (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(data.Flags & ImageFlagsHasAlpha, 0u);
}

TEST(GifReader, CountsOnlyWholeFramesOfACutFile)
{
    struct Row {
        const char* name;
        Bytes bytes;
        std::uint32_t frames;
    };
    const Bytes whole = Animation().Trailer().Build();
    const Row rows[] = {
        {"WithTrailer", whole, 2},
        {"WithoutTrailer", Animation().Build(), 2},
        {"SecondFrameCut", Bytes(whole.begin(), whole.end() - 6), 1},
        {"UnknownBlockAfterFirstFrame",
         [] {
             Bytes b = GifBytes(4, 2, Palette).Frame(0, 0, 4, 2, Bytes(8, 0)).Build();
             b.push_back(0x99);
             return b;
         }(),
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ImageData data;
        ASSERT_EQ(detail::ReadGif(row.bytes, data), Status::Ok);
        ASSERT_FALSE(data.Items.empty());
        EXPECT_EQ(data.Items[0].Length(), 4 * row.frames);
    }
}

struct DamagedGif {
    const char* name;
    Bytes bytes;
    Status expected;
};

class GifReaderDamaged : public ::testing::TestWithParam<DamagedGif> {};

TEST_P(GifReaderDamaged, OpensWithAFailureStatus)
{
    ImageData data;
    EXPECT_EQ(detail::ReadGif(GetParam().bytes, data), GetParam().expected);
    RgbaImage pixels;
    EXPECT_NE(detail::DecodeGif(GetParam().bytes, pixels), Status::Ok);
}

Bytes Prefix(std::size_t n)
{
    const Bytes whole = Animation().Trailer().Build();
    return Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GifReaderDamaged,
    ::testing::Values(DamagedGif{"NotAGif", Text("GIF90a1234567890"), Status::UnknownImageFormat},
                      DamagedGif{"ScreenDescriptorCut", Prefix(10), Status::GenericError},
                      DamagedGif{"PaletteCut", Prefix(20), Status::GenericError},
                      DamagedGif{"FirstFrameCut", Prefix(75), Status::GenericError},
                      DamagedGif{"NoFrameAtAll", GifBytes(4, 2, Palette).Trailer().Build(), Status::GenericError},
                      DamagedGif{"EmptyScreenAndNoFrame", GifBytes(0, 0).Trailer().Build(), Status::GenericError}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(GifDecoder, DecodesTheFirstFrameOntoTheScreen)
{
    RgbaImage image;
    ASSERT_EQ(detail::DecodeGif(Animation().Trailer().Build(), image), Status::Ok);
    ASSERT_EQ(image.Width, 4u);
    ASSERT_EQ(image.Height, 2u);
    EXPECT_EQ(PixelAt(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(image, 3, 0), 0xFFFFFFFFu);  // index 3 is transparent only from the second frame on
    EXPECT_EQ(PixelAt(image, 1, 1), 0xFF0000FFu);
}

TEST(GifDecoder, PlacesAnOffsetFrameAndLeavesTransparentPixelsClear)
{
    const Bytes gif = GifBytes(4, 4, Palette).Control(0, 1).Frame(1, 2, 2, 2, {0, 1, 2, 0}).Trailer().Build();
    RgbaImage image;
    ASSERT_EQ(detail::DecodeGif(gif, image), Status::Ok);
    ASSERT_EQ(image.Width, 4u);
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);  // outside the frame
    EXPECT_EQ(PixelAt(image, 1, 2), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(image, 2, 2), 0u);  // transparent index
    EXPECT_EQ(PixelAt(image, 1, 3), 0xFF0000FFu);
}

TEST(GifDecoder, PutsInterlacedRowsInTheirPlace)
{
    // Eight rows, one colour per row; stored in the order 0, 4, 2, 6, 1, 3, 5, 7.
    const std::uint8_t rowColour[8] = {0, 1, 2, 3, 0, 1, 2, 3};
    const int order[8] = {0, 4, 2, 6, 1, 3, 5, 7};
    Bytes indices;
    for (int row : order)
        indices.push_back(rowColour[row]);
    RgbaImage image;
    ASSERT_EQ(detail::DecodeGif(GifBytes(1, 8, Palette).Frame(0, 0, 1, 8, indices, true).Trailer().Build(), image),
              Status::Ok);
    for (std::uint32_t y = 0; y < 8; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(PixelAt(image, 0, y), 0xFF000000u | Palette[rowColour[y]]);
    }
}

TEST(GifDecoder, ClipsAFrameThatReachesPastTheScreen)
{
    const Bytes gif = GifBytes(2, 2, Palette).Frame(1, 1, 3, 3, Bytes(9, 2)).Trailer().Build();
    RgbaImage image;
    ASSERT_EQ(detail::DecodeGif(gif, image), Status::Ok);
    ASSERT_EQ(image.Pixels.size(), 16u);
    EXPECT_EQ(PixelAt(image, 1, 1), 0xFF0000FFu);
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);
}

TEST(GifDecoder, RefusesAScreenTooLargeToAllocate)
{
    const Bytes gif = GifBytes(65535, 65535, Palette).Frame(0, 0, 1, 1, {0}).Trailer().Build();
    RgbaImage image;
    EXPECT_NE(detail::DecodeGif(gif, image), Status::Ok);
}
