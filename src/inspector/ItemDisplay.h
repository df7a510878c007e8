#pragma once
// The objects that draw a row's cells on the grid's canvas and take the input the grid forwards for the row.
// Every item owns one, made from the item's GetDisplayClass.

#include "toolkit/Classes.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ovrel::inspector {

class TCustomPropertyItem;

enum TPropertiesStyle : std::uint8_t { psDefault, psOffice2003, psWhidbey };

/// The display of a row: caption cell, expand button, suffix cell, value background and preview frame.
/// The grid sets the fields before each call; mouse coordinates are relative to the value cell.
class TItemDisplay : public toolkit::TObject {
public:
    /// item: the row it draws; the item owns the display.
    explicit TItemDisplay(TCustomPropertyItem* item);
    ~TItemDisplay() override;

    [[nodiscard]] TCustomPropertyItem* GetItem() const { return FItem; }
    /// The grid's colours and whether it draws themed, in one call before each row.
    void SetColors(toolkit::TColor selectionColor, toolkit::TColor categoriesColor, bool themed,
                   toolkit::TColor gridColor, toolkit::TColor marginColor);
    [[nodiscard]] toolkit::TColor GetSelectionColor() const { return FSelectionColor; }
    [[nodiscard]] toolkit::TColor GetCategoriesColor() const { return FCategoriesColor; }
    [[nodiscard]] bool GetThemed() const { return FThemed; }
    [[nodiscard]] toolkit::TColor GetGridColor() const { return FGridColor; }
    [[nodiscard]] toolkit::TColor GetMarginColor() const { return FMarginColor; }

    // Set by the grid before each call.
    toolkit::TBiDiMode BiDiMode = toolkit::bdLeftToRight;
    toolkit::TCanvas* Canvas = nullptr;  // the grid's; borrowed
    toolkit::TRect Rect;  // the cell being drawn or handled
    toolkit::TCustomImageList* Images = nullptr;  // the grid's; borrowed
    bool Selected = false;
    TPropertiesStyle Style = psDefault;

    virtual void DrawValueBackground();
    virtual void DrawPreview(const toolkit::TRect& rect);
    virtual void KeyDown(std::uint16_t& key, toolkit::TShiftState shift);
    virtual void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y);
    virtual void MouseLeave();
    virtual void MouseMove(toolkit::TShiftState shift, int x, int y);
    virtual void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y);
    virtual void DrawCaption();
    virtual void DrawExpandButton();
    virtual void DrawSuffix();
    virtual void DrawValue();

    /// Where the caption text starts: after the indent and the image, when there is one.
    [[nodiscard]] int CaptionTextLeft() const;
    /// The frame around a selected category caption: the text's width and the image's.
    [[nodiscard]] toolkit::TRect CaptionFocusRect();

protected:
    /// A scratch bitmap for the drawing of descendants.
    [[nodiscard]] toolkit::TBitmap* GetWorkBitmap() const { return FBitmap.get(); }
    [[nodiscard]] bool HasImage() const;

private:
    TCustomPropertyItem* FItem;
    std::unique_ptr<toolkit::TBitmap> FBitmap;
    toolkit::TColor FSelectionColor = toolkit::clHighlight;
    toolkit::TColor FCategoriesColor = toolkit::clBtnFace;
    bool FThemed = false;
    toolkit::TColor FGridColor = toolkit::clBtnFace;
    toolkit::TColor FMarginColor = toolkit::clBtnFace;
};

using TItemDisplayClass = toolkit::TClassOf<TItemDisplay, TCustomPropertyItem*>;

/// The display of textual rows: the value as text, a password mask, the placeholder in grey.
class TTextualItemDisplay : public TItemDisplay {
public:
    using TItemDisplay::TItemDisplay;

    /// The part of the value cell the text takes.
    virtual void GetTextRect(toolkit::TRect& rect);
    virtual void DrawText();
    void DrawValue() override;
};

/// The text shown in place of a password: mask once per character of value.
[[nodiscard]] std::string PasswordMask(std::string_view value, char16_t mask);

// ---- Geometry of the toolbar and track-bar cells ---------------------------------------------------------

/// The left edge of toolbar button index in cell: from the cell's left edge for left-justified buttons,
/// ending at its right edge for right-justified ones.
[[nodiscard]] int ToolbarButtonLeft(const toolkit::TRect& cell, int index, int buttonCount, int buttonWidth,
                                    bool rightJustify);
/// The button under x (relative to the cell's left edge); -1 where there is none, and for any x when the
/// buttons have no width.
[[nodiscard]] int ToolbarButtonAt(int x, int cellWidth, int buttonCount, int buttonWidth, bool rightJustify);
/// Pixels from the groove's left end to the thumb: the position's share of trackLength, rounded; the
/// thumb stays at the start when max ≤ min.
[[nodiscard]] int TrackThumbOffset(int trackLength, int position, int min, int max);
/// The position a point of the cell (relative to its top-left) stands for. False outside the cell less the
/// margin at either side, and when there is no track to point at (its length ≤ 0, or max ≤ min).
[[nodiscard]] bool TrackPositionAt(int x, int y, int cellWidth, int cellHeight, int margin, int textWidth, int min,
                                   int max, int& position);

}  // namespace ovrel::inspector
