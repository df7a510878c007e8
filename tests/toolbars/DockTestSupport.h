#pragma once
// A dockable window without a window, for the dock's arrangement and the drag code: it has a content size,
// a docked frame, a shrink mode, and it records where the dock placed it.

#include "toolbars/DockArrange.h"

#include <stdexcept>
#include <string>

namespace ovrel::toolbars::testing {

class FakeDockedWindow final : public ITBDockedWindow {
public:
    FakeDockedWindow() = default;
    FakeDockedWindow(const FakeDockedWindow&) = delete;
    FakeDockedWindow& operator=(const FakeDockedWindow&) = delete;

    bool IsBeingDestroyed() const override { return Destroying; }
    bool IsShownOnDock() const override { return Shown; }
    int GetDockRow() const override { return DockRow; }
    void SetDockRow(int value) override { DockRow = value; }
    int GetDockPos() const override { return DockPos; }
    void SetDockPos(int value) override { DockPos = value; }
    bool GetFullSize() const override { return FullSize; }
    bool GetStretch() const override { return Stretch; }
    bool GetStartsNewRow() const override { return StartsNewRow; }
    int GetEffectiveRow() const override { return EffectiveRow; }
    int GetEffectivePos() const override { return EffectivePos; }
    void SetEffectivePlace(int row, int pos) override
    {
        EffectiveRow = row;
        EffectivePos = pos;
    }
    int GetLastRowThickness() const override { return LastRowThickness; }
    void SetLastRowThickness(int value) override { LastRowThickness = value; }
    int GetShrunkLength() const override { return ShrunkLength; }
    void SetShrunkLength(int value) override { ShrunkLength = value; }
    toolkit::TSize GetOuterSize() const override { return OuterSize; }

    toolkit::TSize NaturalSize() override
    {
        if (ThrowOnNaturalSize)
            throw std::runtime_error("natural size failed");
        return Natural;
    }
    toolkit::TPoint DockedFrameSize() override { return Frame; }
    int MinimumLength() override { return Minimum; }
    TTBShrinkMode ShrinkModeOf() override { return Shrink; }

    // A wrapping window breaks its content into lines as long as the shrunk length allows, one thickness each;
    // a chevron window only gets shorter.
    toolkit::TSize ComputeDockedSize(TTBDockType kind) override
    {
        ++Computed;
        const bool vertical = kind == dtLeftRight;
        const int along = vertical ? Natural.cy : Natural.cx;
        const int across = vertical ? Natural.cx : Natural.cy;
        const int room = ShrunkLength > 0 ? ShrunkLength - (vertical ? Frame.y : Frame.x) : along;
        const int lines = Shrink == tbsmWrap && room > 0 ? (along + room - 1) / room : 1;
        const int newAlong = ShrunkLength > 0 ? room : along;
        return vertical ? toolkit::TSize{across * lines, newAlong} : toolkit::TSize{newAlong, across * lines};
    }

    void PlaceInDock(const toolkit::TRect& bounds, bool recalculate) override
    {
        Bounds = bounds;
        OuterSize = toolkit::TSize{bounds.right - bounds.left, bounds.bottom - bounds.top};
        Recalculated = recalculate;
        ++Placements;
        // Laying the window out again forgets the shrunk length, as a toolbar's view does.
        ShrunkLength = 0;
    }

    std::string Name;
    bool Destroying = false;
    bool Shown = true;
    int DockRow = 0;
    int DockPos = -1;
    bool FullSize = false;
    bool Stretch = false;
    bool StartsNewRow = false;
    int EffectiveRow = -1;
    int EffectivePos = 0;
    int LastRowThickness = 0;
    int ShrunkLength = 0;
    toolkit::TSize OuterSize;
    toolkit::TSize Natural{40, 22};
    /// A single grip of 6 pixels and 2 on either side, along a horizontal dock.
    toolkit::TPoint Frame{10, 4};
    int Minimum = 0;
    TTBShrinkMode Shrink = tbsmNone;
    bool ThrowOnNaturalSize = false;

    toolkit::TRect Bounds;
    bool Recalculated = false;
    int Placements = 0;
    int Computed = 0;
};

}  // namespace ovrel::toolbars::testing
