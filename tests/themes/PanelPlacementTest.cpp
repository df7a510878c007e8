// The 47-byte placement block of a dockable panel: golden bytes of each kind of save, the halves a save leaves
// alone, refused blocks, and the checks that keep restored values sane.

#include "themes/PanelPlacement.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace ovrel::themes {
namespace {

using Block = std::array<std::uint8_t, DockablePanelPlacementSize>;

Block Filled(std::uint8_t value)
{
    Block block;
    block.fill(value);
    return block;
}

TDockablePanelPlacement Sample()
{
    TDockablePanelPlacement p;
    p.Visible = true;
    p.Floating = false;
    p.FloatingX = -20;
    p.FloatingY = 300;
    p.FloatingWidth = 196;
    p.FloatingHeight = 0x1234;
    p.DockPosition = 3;
    p.DockPos = 258;
    p.DockRow = 1;
    p.DockedWidth = 196;
    p.DockedHeight = 160;
    p.SplitWidth = 0;
    p.SplitHeight = 124;
    return p;
}

TEST(PanelPlacementBlock, ADockedSaveWritesTheHeadAndTheDockedHalfOnly)
{
    Block block = Filled(0xEE);
    WritePlacementBlock(block, Sample(), TPlacementHalf::Docked);
    const Block expected{
        0x2F, 0x00, 0x00, 0x00,  // Size 47
        0x01,  // Visible
        0x00,  // Floating
        0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,  // FloatingX, FloatingY: as they were
        0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,  // FloatingWidth, FloatingHeight: as they were
        0x03,  // DockPosition: right
        0x02, 0x01, 0x00, 0x00,  // DockPos 258
        0x01, 0x00, 0x00, 0x00,  // DockRow 1
        0xC4, 0x00, 0x00, 0x00,  // DockedWidth 196
        0xA0, 0x00, 0x00, 0x00,  // DockedHeight 160
        0x00, 0x00, 0x00, 0x00,  // SplitWidth 0
        0x7C, 0x00, 0x00, 0x00,  // SplitHeight 124
    };
    EXPECT_EQ(block, expected);
}

TEST(PanelPlacementBlock, AFloatingSaveWritesOffsetsZeroToTwentyOneOnly)
{
    Block block = Filled(0xEE);
    TDockablePanelPlacement p = Sample();
    p.Floating = true;
    WritePlacementBlock(block, p, TPlacementHalf::Floating);
    Block expected = Filled(0xEE);
    const std::array<std::uint8_t, 22> head{
        0x2F, 0x00, 0x00, 0x00,  // Size 47
        0x01,  // Visible
        0x01,  // Floating
        0xEC, 0xFF, 0xFF, 0xFF,  // FloatingX -20
        0x2C, 0x01, 0x00, 0x00,  // FloatingY 300
        0xC4, 0x00, 0x00, 0x00,  // FloatingWidth 196
        0x34, 0x12, 0x00, 0x00,  // FloatingHeight 0x1234
    };
    std::copy(head.begin(), head.end(), expected.begin());
    EXPECT_EQ(block, expected);
}

TEST(PanelPlacementBlock, SavedDockedThenFloatingKeepsTheDockedValues)
{
    Block block{};
    WritePlacementBlock(block, Sample(), TPlacementHalf::Docked);
    TDockablePanelPlacement floating;
    floating.Visible = true;
    floating.Floating = true;
    floating.FloatingX = 40;
    floating.FloatingY = 50;
    floating.FloatingWidth = 200;
    floating.FloatingHeight = 300;
    WritePlacementBlock(block, floating, TPlacementHalf::Floating);
    const auto read = ReadPlacementBlock(block);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->Floating);
    EXPECT_EQ(read->FloatingX, 40);
    EXPECT_EQ(read->FloatingHeight, 300);
    EXPECT_EQ(read->DockPosition, 3);
    EXPECT_EQ(read->DockPos, 258);
    EXPECT_EQ(read->DockedWidth, 196);
    EXPECT_EQ(read->SplitHeight, 124);
}

TEST(PanelPlacementBlock, APanelWithoutADockWritesOnlyTheHead)
{
    Block block = Filled(0xEE);
    WritePlacementBlock(block, Sample(), TPlacementHalf::None);
    for (std::size_t i = 6; i < block.size(); ++i)
        EXPECT_EQ(block[i], 0xEE) << i;
    EXPECT_EQ((std::vector<std::uint8_t>(block.begin(), block.begin() + 6)),
              (std::vector<std::uint8_t>{0x2F, 0, 0, 0, 1, 0}));
}

TEST(PanelPlacementBlock, RoundTripsEveryValue)
{
    Block block{};
    TDockablePanelPlacement p = Sample();
    WritePlacementBlock(block, p, TPlacementHalf::Docked);
    WritePlacementBlock(block, p, TPlacementHalf::Floating);
    const auto read = ReadPlacementBlock(block);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->Visible, p.Visible);
    EXPECT_EQ(read->Floating, p.Floating);
    EXPECT_EQ((std::array{read->FloatingX, read->FloatingY, read->FloatingWidth, read->FloatingHeight}),
              (std::array{p.FloatingX, p.FloatingY, p.FloatingWidth, p.FloatingHeight}));
    EXPECT_EQ(read->DockPosition, p.DockPosition);
    EXPECT_EQ((std::array{read->DockPos, read->DockRow, read->DockedWidth, read->DockedHeight, read->SplitWidth,
                          read->SplitHeight}),
              (std::array{p.DockPos, p.DockRow, p.DockedWidth, p.DockedHeight, p.SplitWidth, p.SplitHeight}));
}

TEST(PanelPlacementBlock, RefusesBlocksWhoseSizeIsNot47)
{
    for (std::uint8_t size : {0, 46, 48}) {
        SCOPED_TRACE(static_cast<int>(size));
        Block block{};
        WritePlacementBlock(block, Sample(), TPlacementHalf::Docked);
        block[0] = size;
        EXPECT_FALSE(ReadPlacementBlock(block).has_value());
    }
    Block zeroed{};
    EXPECT_FALSE(ReadPlacementBlock(zeroed).has_value()) << "a configuration never written";
    Block valid{};
    WritePlacementBlock(valid, Sample(), TPlacementHalf::Docked);
    EXPECT_FALSE(ReadPlacementBlock(std::span<const std::uint8_t>(valid).first(46)).has_value());
    std::vector<std::uint8_t> longer(valid.begin(), valid.end());
    longer.push_back(0);
    EXPECT_FALSE(ReadPlacementBlock(longer).has_value());
}

void Put(Block& block, std::size_t at, std::int32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        block[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

TEST(PanelPlacementBlock, RestoredValuesAreBroughtIntoRange)
{
    Block block{};
    WritePlacementBlock(block, Sample(), TPlacementHalf::Docked);
    block[4] = 2;  // Visible, neither 0 nor 1
    block[5] = 0x80;  // Floating
    Put(block, 6, -100000);  // FloatingX
    Put(block, 10, 100000);  // FloatingY
    Put(block, 14, -5);  // FloatingWidth
    Put(block, 18, 0x7FFFFFFF);  // FloatingHeight
    Put(block, 23, 70000);  // DockPos
    Put(block, 27, -3);  // DockRow
    Put(block, 31, 40000);  // DockedWidth
    Put(block, 35, -1);  // DockedHeight
    Put(block, 39, static_cast<std::int32_t>(0x80000000u));  // SplitWidth
    Put(block, 43, 32767);  // SplitHeight
    const auto read = ReadPlacementBlock(block);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->Visible);
    EXPECT_TRUE(read->Floating);
    EXPECT_EQ(read->FloatingX, -32768);
    EXPECT_EQ(read->FloatingY, 32767);
    EXPECT_EQ(read->FloatingWidth, 0);
    EXPECT_EQ(read->FloatingHeight, 32767);
    EXPECT_EQ(read->DockPos, 32767);
    EXPECT_EQ(read->DockRow, 0);
    EXPECT_EQ(read->DockedWidth, 32767);
    EXPECT_EQ(read->DockedHeight, 0);
    EXPECT_EQ(read->SplitWidth, 0);
    EXPECT_EQ(read->SplitHeight, 32767);
}

TEST(PanelPlacementBlock, ADockPositionOutsideTheFourSidesIsNone)
{
    for (std::uint8_t position : {0, 1, 2, 3, 4, 255}) {
        SCOPED_TRACE(static_cast<int>(position));
        Block block{};
        WritePlacementBlock(block, Sample(), TPlacementHalf::Docked);
        block[22] = position;
        const auto read = ReadPlacementBlock(block);
        ASSERT_TRUE(read.has_value());
        if (position <= 3)
            EXPECT_EQ(read->DockPosition, position);
        else
            EXPECT_FALSE(read->DockPosition.has_value());
    }
}

}  // namespace
}  // namespace ovrel::themes
