#include "app/ThumbnailCanvas.h"

#include "AppTestSupport.h"
#include "imaging/PixelBuilders.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <utility>

namespace ovrel::app {
namespace {

// The colour's red, green and blue parts.
struct TRgb {
    int R, G, B;
};
TRgb Rgb(toolkit::TColor color)
{
    const auto value = static_cast<std::uint32_t>(color);
    return {static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
            static_cast<int>((value >> 16) & 0xFF)};
}
bool IsWhite(toolkit::TColor color)
{
    const TRgb c = Rgb(color);
    return c.R > 245 && c.G > 245 && c.B > 245;
}
bool IsRed(toolkit::TColor color)
{
    const TRgb c = Rgb(color);
    return c.R > 200 && c.G < 60 && c.B < 60;
}

TEST(ThumbnailCanvas, DrawsTheImageCentredInTheBoundsAndLeavesTheEdgesWhite)
{
    test::TTempFolder folder;
    const std::string file = folder.Write(
        "wide.jpg", imaging::pixelfixtures::EncodeJpeg(64, 32, [](std::uint32_t, std::uint32_t) { return 0xFF0000u; }));
    core::TVekImageInfo image(file);
    ASSERT_EQ(image.GetLoadStatus(), imaging::Status::Ok);

    toolkit::TBitmap bitmap;  // white, as a preview panel is
    bitmap.SetSize(200, 160);
    toolkit::TCanvas* canvas = bitmap.GetCanvas();
    TVekThumbnailCanvas target(*canvas);
    // A 150 x 150 box gives a 150 x 75 thumbnail, centred in the paint box's bounds at (25, 42).
    image.DrawThumbnail(target, core::TRect{0, 0, 200, 160}, 150, 150);

    EXPECT_TRUE(IsRed(canvas->GetPixel(100, 80)));
    EXPECT_TRUE(IsRed(canvas->GetPixel(26, 43)));
    EXPECT_TRUE(IsRed(canvas->GetPixel(173, 115)));
    for (const auto& [x, y] : {std::pair{23, 80}, {176, 80}, {100, 40}, {100, 118}, {0, 0}, {199, 159}})
        EXPECT_TRUE(IsWhite(canvas->GetPixel(x, y))) << x << "," << y;
}

}  // namespace
}  // namespace ovrel::app
