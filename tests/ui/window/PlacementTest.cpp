#include "WindowTestSupport.h"

#include "platform/ui/Placement.h"

#include <vector>

namespace ovrel::ui::test {
namespace {

using PlacementTest = WindowTest;

TEST_F(PlacementTest, StoredBlockRestoresTheWindowOnAScreenThatExists)
{
    HWND w = Create(WS_POPUP | WS_VISIBLE, RECT{1100, 50, 1400, 250});
    ShowWindow(w, SW_SHOWMAXIMIZED);
    WINDOWPLACEMENT saved;
    ASSERT_TRUE(GetWindowPlacement(w, &saved));
    const auto block = PlacementToBytes(saved);
    EXPECT_EQ(block[0], 44);
    EXPECT_EQ(block[1] | block[2] | block[3], 0) << "little-endian length first";

    struct Row {
        const char* Name;
        RECT Stored;
        UINT ShowCmd;
        RECT Expected;
        bool Maximized;
    };
    const Row rows[] = {
        {"round trip maximised", saved.rcNormalPosition, SW_SHOWMAXIMIZED, RECT{1100, 50, 1400, 250}, true},
        {"minimised comes back normal", RECT{100, 100, 400, 300}, SW_SHOWMINIMIZED, RECT{100, 100, 400, 300}, false},
        {"a screen that went away", RECT{4000, 100, 4300, 300}, SW_SHOWNORMAL, RECT{2004, 100, 2304, 300}, false},
        {"negative coordinates", RECT{-500, -40, -200, 160}, SW_SHOWNORMAL, RECT{0, 0, 300, 200}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        WINDOWPLACEMENT stored = saved;
        stored.rcNormalPosition = row.Stored;
        stored.showCmd = row.ShowCmd;
        const std::optional<WINDOWPLACEMENT> read = PlacementFromBytes(PlacementToBytes(stored));
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->rcNormalPosition, row.Stored);
        ASSERT_TRUE(SetWindowPlacement(w, &*read));
        EXPECT_FALSE(IsIconic(w));
        EXPECT_EQ(IsZoomed(w) != FALSE, row.Maximized);
        WINDOWPLACEMENT back;
        ASSERT_TRUE(GetWindowPlacement(w, &back));
        EXPECT_EQ(back.rcNormalPosition, row.Expected);
    }
}

TEST(PlacementBytesTest, BlocksThatHoldNoPlacementAreRefused)
{
    EXPECT_FALSE(PlacementFromBytes(std::vector<std::uint8_t>(44, 0)).has_value()) << "zeroed default";
    auto block = PlacementToBytes(WINDOWPLACEMENT{});
    EXPECT_FALSE(PlacementFromBytes(std::span(block).first(43)).has_value());
    std::vector<std::uint8_t> longer(block.begin(), block.end());
    longer.push_back(0);
    EXPECT_FALSE(PlacementFromBytes(longer).has_value());
    block[0] = 40;
    EXPECT_FALSE(PlacementFromBytes(block).has_value());
}

}  // namespace
}  // namespace ovrel::ui::test
