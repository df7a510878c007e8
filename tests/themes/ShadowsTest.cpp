// The arithmetic of the own drop shadows: the style by capability, the fading bands with their corners, and
// where the bands of a pop-up and its parent item lie.

#include "themes/Shadows.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using toolkit::Rect;
using toolkit::TRect;

TEST(ShadowStyle, FollowsTheCapabilities)
{
    ui::Capabilities none;
    ui::Capabilities layered;
    layered.LayeredPerPixelAlpha = true;
    layered.AlphaBlend = true;
    ui::Capabilities blend;
    blend.AlphaBlend = true;
    EXPECT_EQ(ChooseShadowStyle(false, layered), TShadowStyle::Layered);
    EXPECT_EQ(ChooseShadowStyle(false, blend), TShadowStyle::AlphaBlended);
    EXPECT_EQ(ChooseShadowStyle(false, none), TShadowStyle::Plain);
    EXPECT_EQ(ChooseShadowStyle(true, layered), TShadowStyle::Plain);
    EXPECT_EQ(ChooseShadowStyle(false, ui::Capabilities()), TShadowStyle::Plain) << "the program's capabilities";
}

std::uint8_t At(const std::vector<std::uint8_t>& alpha, int width, int x, int y)
{
    return alpha[static_cast<std::size_t>(y * width + x)];
}

TEST(ShadowBands, FadeAwayFromTheEdgeWithCornersAtTheNamedEnds)
{
    // A band 20 by 4 with both corners: 4 columns of corner at each end, the middle fading downwards.
    const std::vector<std::uint8_t> horz = HorzShadowAlpha(20, 4, SHADOW_START | SHADOW_FINISH);
    ASSERT_EQ(horz.size(), 80u);
    for (int x = 4; x < 16; ++x)
        EXPECT_EQ((std::vector<int>{At(horz, 20, x, 0), At(horz, 20, x, 1), At(horz, 20, x, 2), At(horz, 20, x, 3)}),
                  (std::vector<int>{255, 191, 127, 63}))
            << x;
    EXPECT_EQ(At(horz, 20, 3, 0), 255);  // the corner's inner top
    EXPECT_EQ(At(horz, 20, 0, 0), 63);  // (3 + 0 + 3) * 128 / 4 = 192
    EXPECT_EQ(At(horz, 20, 0, 3), 0);  // far out: t above 254
    EXPECT_EQ(At(horz, 20, 16, 0), 255);
    EXPECT_EQ(At(horz, 20, 19, 0), 63);
    // Without corners the band runs end to end.
    const std::vector<std::uint8_t> plain = HorzShadowAlpha(20, 4, 0);
    EXPECT_EQ(At(plain, 20, 0, 1), 191);
    EXPECT_EQ(At(plain, 20, 19, 3), 63);

    const std::vector<std::uint8_t> vert = VertShadowAlpha(4, 20, SHADOW_START | SHADOW_FINISH);
    for (int y = 4; y < 16; ++y)
        EXPECT_EQ((std::vector<int>{At(vert, 4, 0, y), At(vert, 4, 1, y), At(vert, 4, 2, y), At(vert, 4, 3, y)}),
                  (std::vector<int>{255, 191, 127, 63}))
            << y;
    EXPECT_EQ(At(vert, 4, 0, 3), 255);
    EXPECT_EQ(At(vert, 4, 0, 0), 63);
    EXPECT_EQ(At(vert, 4, 0, 16), 255);
    EXPECT_EQ(At(vert, 4, 3, 19), 0);
}

TEST(ShadowBands, ANarrowBandWithBothCornersIsHalfOneHalfTheOther)
{
    // 6 wide and 4 high: each corner gets 3 columns and no column is band.
    const std::vector<std::uint8_t> alpha = HorzShadowAlpha(6, 4, SHADOW_START | SHADOW_FINISH);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(alpha, 6, x, y), At(alpha, 6, 5 - x, y)) << x << ',' << y;
    EXPECT_NE(At(alpha, 6, 2, 1), 191) << "no middle band";
    // With only one corner it takes the whole width.
    const std::vector<std::uint8_t> one = HorzShadowAlpha(3, 4, SHADOW_START);
    EXPECT_EQ(At(one, 3, 2, 0), 191);  // m = 4: dx = 1, dy = 0, t = (1 + 0 + 1) * 128 / 4
}

TEST(ShadowBands, EmptyAreasGiveNothing)
{
    EXPECT_TRUE(HorzShadowAlpha(0, 4, SHADOW_START).empty());
    EXPECT_TRUE(HorzShadowAlpha(10, -1, 0).empty());
    EXPECT_TRUE(VertShadowAlpha(4, 0, SHADOW_FINISH).empty());
}

struct Band {
    bool Vertical;
    TRect Bounds;
    unsigned Edges;
    friend bool operator==(const Band&, const Band&) = default;
};

struct PlacementCase {
    const char* Name;
    TRect Item;
    TRect Popup;
    bool Halve;
    std::array<std::optional<Band>, 6> Expected;
    friend void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.Name; }
};

class ShadowPlacementTable : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(ShadowPlacementTable, LaysTheBandsAlongTheOutline)
{
    const PlacementCase& c = GetParam();
    const TShadowLayout layout = PlaceShadows(c.Item, c.Popup, 4, c.Halve);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(layout[i].has_value(), c.Expected[i].has_value());
        if (!layout[i])
            continue;
        EXPECT_EQ(layout[i]->Vertical, c.Expected[i]->Vertical);
        EXPECT_EQ(layout[i]->Bounds, c.Expected[i]->Bounds);
        EXPECT_EQ(layout[i]->Edges, c.Expected[i]->Edges);
    }
}

constexpr unsigned S = SHADOW_START;
constexpr unsigned Both = SHADOW_START | SHADOW_FINISH;
std::optional<Band> V(TRect r, unsigned edges) { return Band{true, r, edges}; }
std::optional<Band> H(TRect r, unsigned edges) { return Band{false, r, edges}; }
constexpr std::nullopt_t No = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Rows, ShadowPlacementTable,
    ::testing::Values(
        // Slots: first vertical, first horizontal, second vertical, second horizontal, third vertical, third
        // horizontal.
        PlacementCase{"APopupAlone",
                      TRect{},
                      Rect(100, 100, 200, 300),
                      false,
                      {V(Rect(200, 104, 204, 300), S), H(Rect(104, 300, 204, 304), Both), No, No, No, No}},
        PlacementCase{"HalvedWithoutAlphaOrWhenFlat",
                      TRect{},
                      Rect(100, 100, 200, 300),
                      true,
                      {V(Rect(200, 102, 202, 300), S), H(Rect(102, 300, 202, 302), Both), No, No, No, No}},
        PlacementCase{"NothingWithoutRectangles", TRect{}, TRect{}, false, {No, No, No, No, No, No}},
        // A drop-down below a narrower toolbar button.
        PlacementCase{"BelowANarrowItem",
                      Rect(100, 80, 140, 100),
                      Rect(100, 100, 250, 300),
                      false,
                      {V(Rect(140, 84, 144, 100), S), No, V(Rect(250, 104, 254, 300), S),
                       H(Rect(104, 300, 254, 304), Both), No, No}},
        // Below a wider item: a band under the item's overhang, the pop-up's side without corner.
        PlacementCase{"BelowAWideItem",
                      Rect(100, 80, 300, 100),
                      Rect(100, 100, 250, 300),
                      false,
                      {V(Rect(300, 84, 304, 100), S), No, V(Rect(250, 101, 254, 300), 0),
                       H(Rect(104, 300, 254, 304), Both), No, H(Rect(250, 100, 304, 104), Both)}},
        // Where the item reaches left of the pop-up, a band runs under that part.
        PlacementCase{"BelowAnItemFurtherLeft",
                      Rect(60, 80, 120, 100),
                      Rect(100, 100, 250, 300),
                      false,
                      {V(Rect(120, 84, 124, 100), S), H(Rect(64, 100, 100, 104), S), V(Rect(250, 104, 254, 300), S),
                       H(Rect(104, 300, 254, 304), Both), No, No}},
        PlacementCase{"AboveAnItem",
                      Rect(100, 300, 140, 320),
                      Rect(100, 100, 250, 300),
                      false,
                      {V(Rect(250, 104, 254, 300), S), No, V(Rect(140, 301, 144, 320), 0),
                       H(Rect(104, 320, 144, 324), Both), No, H(Rect(140, 300, 254, 304), Both)}},
        // Side by side: the item at the left, the pop-up starting above it.
        PlacementCase{"BesideAnItem",
                      Rect(100, 100, 140, 120),
                      Rect(140, 90, 300, 300),
                      false,
                      {No, H(Rect(104, 120, 140, 124), S), V(Rect(300, 94, 304, 304), Both),
                       H(Rect(144, 300, 300, 304), S), No, No}},
        PlacementCase{"BesideATallerItem",
                      Rect(100, 90, 140, 400),
                      Rect(140, 100, 300, 300),
                      false,
                      {V(Rect(140, 94, 144, 100), S), H(Rect(104, 400, 140, 404), S), V(Rect(300, 104, 304, 304), Both),
                       H(Rect(140, 300, 300, 304), 0), V(Rect(140, 300, 144, 404), Both), No}},
        PlacementCase{
            "OverlappingGetsNone", Rect(100, 100, 200, 200), Rect(150, 150, 300, 300), false, {No, No, No, No, No, No}},
        // A band that would have no height is not made.
        PlacementCase{"AFlatPopupHasNoSide",
                      TRect{},
                      Rect(100, 100, 200, 103),
                      false,
                      {No, H(Rect(104, 103, 204, 107), Both), No, No, No, No}}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
}  // namespace ovrel::themes
