#pragma once
// The displays of the row kinds beyond plain text: memo lines side by side, colour and font previews,
// toolbar buttons, check marks, the track bar and the radio button, each with the input it takes.

#include "inspector/ItemDisplay.h"

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <cstdint>

namespace ovrel::inspector {

/// The lines of a memo row side by side, a line-break symbol between them.
class TMemoItemDisplay : public TTextualItemDisplay {
public:
    using TTextualItemDisplay::TTextualItemDisplay;
    void DrawText() override;
};

/// A box of the row's colour in the preview; a red cross when the text is no colour.
class TColorItemDisplay : public TTextualItemDisplay {
public:
    using TTextualItemDisplay::TTextualItemDisplay;
    void DrawPreview(const toolkit::TRect& rect) override;
};

/// A sample of the row's font family in the preview.
class TFontNameItemDisplay : public TTextualItemDisplay {
public:
    using TTextualItemDisplay::TTextualItemDisplay;
    void DrawPreview(const toolkit::TRect& rect) override;
};

/// The buttons of a toolbar row and the clicks and digit keys that toggle them.
class TToolbarItemDisplay : public TItemDisplay {
public:
    using TItemDisplay::TItemDisplay;

    /// The button index (-1: none) the pointer pressed, and the one under it.
    [[nodiscard]] int GetPressedButton() const { return FPressedButton; }
    [[nodiscard]] int GetHotButton() const { return FHotButton; }
    /// Button index's rectangle in the current cell.
    [[nodiscard]] toolkit::TRect ButtonRect(int index) const;
    /// The button under x (relative to the cell); -1 for none.
    [[nodiscard]] int ButtonAt(int x) const;

    void DrawValueBackground() override;
    void DrawValue() override;
    virtual void DrawButton(const toolkit::TRect& rect, bool checked, int index, bool pressed, bool hot);
    virtual void DrawButtons();

    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    int FPressedButton = -1;
    int FHotButton = -1;
};

/// A check box (or one toolbar button) for a check-box row.
class TCheckBoxItemDisplay : public TToolbarItemDisplay {
public:
    using TToolbarItemDisplay::TToolbarItemDisplay;

    void DrawButton(const toolkit::TRect& rect, bool checked, int index, bool pressed, bool hot) override;
    /// A character or Space toggles; modifiers alone, function and navigation keys, and keys held with
    /// Ctrl or Alt do not.
    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
};

/// A groove with a thumb, and the position as text left of it.
class TTrackBarItemDisplay : public TItemDisplay {
public:
    using TItemDisplay::TItemDisplay;

    [[nodiscard]] bool GetPressed() const { return FPressed; }
    [[nodiscard]] bool GetHot() const { return FHot; }
    /// The width of the widest text (Max and TextAfter) plus 2; 0 without text.
    [[nodiscard]] int TextWidth();
    [[nodiscard]] int TrackLength();
    /// The position a point of the cell (relative to it) stands for; false where it stands for none.
    [[nodiscard]] bool PositionAt(int x, int y, int& position);

    void DrawValue() override;
    virtual void DrawTrack();

    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    /// Draws the value again at once, outside the grid's paint.
    void Redraw();

    bool FPressed = false;
    bool FHot = false;
};

/// A radio button; a click checks, a key toggles.
class TRadioItemDisplay : public TItemDisplay {
public:
    using TItemDisplay::TItemDisplay;

    [[nodiscard]] bool GetPressed() const { return FPressed; }
    [[nodiscard]] bool GetHot() const { return FHot; }

    void DrawValue() override;
    /// As the check box: characters and Space toggle, other keys do not.
    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    void Redraw();

    bool FPressed = false;
    bool FHot = false;
};

/// Whether a key toggles a check-box or radio row: not a modifier alone, a function or navigation key, or
/// a key held with Ctrl or Alt.
[[nodiscard]] bool IsToggleKey(std::uint16_t key, toolkit::TShiftState shift);

}  // namespace ovrel::inspector
