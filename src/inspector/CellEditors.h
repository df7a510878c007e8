#pragma once
// The in-place editors of the grid's cells: the editor base, the textual editor over the layer's EDIT window,
// and the editors with a button at their right edge that open a pop-up. Each is made hidden and has no
// window until it is first shown.

#include "inspector/Drawing.h"
#include "inspector/PopupView.h"

#include "toolkit/Controls.h"
#include "toolkit/DateUtils.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Lists.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ovrel::inspector {

/// The root of the cell editors: alignment, margin, border and the value slots every editor fills.
class TCellEditor : public toolkit::TWinControl {
public:
    explicit TCellEditor(toolkit::TComponent* owner);
    ~TCellEditor() override;

    [[nodiscard]] toolkit::TAlignment GetAlignment() const { return FAlignment; }
    /// Alignment, Margin and VerticalAlignment remake the window.
    void SetAlignment(toolkit::TAlignment value);
    [[nodiscard]] toolkit::TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(toolkit::TBorderStyle value);
    [[nodiscard]] int GetMargin() const { return FMargin; }
    void SetMargin(int value);
    [[nodiscard]] TVerticalAlignment GetVerticalAlignment() const { return FVerticalAlignment; }
    void SetVerticalAlignment(TVerticalAlignment value);
    /// Set while a value is loaded into the editor: a program's text then raises no OnChange.
    [[nodiscard]] bool GetChangeLock() const { return FChangeLock; }
    void SetChangeLock(bool value) { FChangeLock = value; }
    /// Set when the editor lives in the grid, which keeps the arrow keys for itself.
    [[nodiscard]] bool GetEmbedded() const { return FEmbedded; }
    void SetEmbedded(bool value) { FEmbedded = value; }
    /// The editor's own drawing surface; measuring works before the window exists.
    [[nodiscard]] toolkit::TCanvas* GetCanvas() const { return FCanvas.get(); }

    /// True when the edit window paints its own text; otherwise PaintValue does.
    [[nodiscard]] virtual bool NativePaint() const;
    virtual void PaintValue();
    // The value as text and typed; the getters raise EConvertError for text that does not convert.
    [[nodiscard]] virtual bool GetAsBoolean() const;
    [[nodiscard]] virtual toolkit::TDateTime GetDate() const;
    [[nodiscard]] virtual double GetAsFloat() const;
    [[nodiscard]] virtual int GetAsInteger() const;
    [[nodiscard]] virtual std::string GetAsString() const;
    virtual void SetAsBoolean(bool value);
    virtual void SetDate(toolkit::TDateTime value);
    virtual void SetAsFloat(double value);
    virtual void SetAsInteger(int value);
    virtual void SetAsString(const std::string& value);
    virtual void MoveCaretToEnd();
    virtual void Clear();
    virtual void SelectAll();

    toolkit::TNotifyEvent OnChange;

    /// The frame around the text: none for bsNone, 1 pixel under visual styles, 2 without; drawn on the
    /// window DC.
    void PaintBorder();
    [[nodiscard]] int GetEditorBorderWidth() const;

protected:
    /// Raises OnChange.
    virtual void Change();
    void Dispatch(toolkit::TMessage& message) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void WMNCCalcSize(toolkit::TMessage& message) override;
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMPaint(toolkit::TMessage& message) override;
    void WMSetFocus(toolkit::TMessage& message) override;
    /// Drawing over the window after its own paint; PaintValue in the base when NativePaint is false.
    virtual void PaintOver();

private:
    void RemakeWindow();

    toolkit::TAlignment FAlignment = toolkit::taLeftJustify;
    toolkit::TBorderStyle FBorderStyle = toolkit::TBorderStyle::bsSingle;
    std::unique_ptr<toolkit::TControlCanvas> FCanvas;
    ui::HWND FCanvasWindow = nullptr;  // the window the canvas's DC came from; none: the screen
    bool FChangeLock = false;
    bool FEmbedded = false;
    int FMargin = 0;
    TVerticalAlignment FVerticalAlignment = vaMiddle;
};

using TCellEditorClass = toolkit::TClassOf<TCellEditor, toolkit::TComponent*>;

/// (Sender, the preview rectangle).
using TCustomPreviewDrawEvent = toolkit::TEvent<toolkit::TObject*, const toolkit::TRect&>;

/// The formatting rectangle of an editor's text for its client size: from Margin + 2 to ClientWidth −
/// Margin − 1, textHeight high at the vertical alignment, 27 pixels further right with a preview box.
[[nodiscard]] toolkit::TRect EditRectFor(int clientWidth, int clientHeight, int margin,
                                         TVerticalAlignment verticalAlignment, int textHeight, bool showPreview);

/// A text editor over the layer's EDIT window (multi-line style, shown as one line).
class TTextualEditor : public TCellEditor {
public:
    explicit TTextualEditor(toolkit::TComponent* owner);
    ~TTextualEditor() override;

    [[nodiscard]] bool GetAutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool value) { FAutoSelect = value; }
    /// 0: none.
    [[nodiscard]] char16_t GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char16_t value);
    [[nodiscard]] bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    [[nodiscard]] bool GetShowPreview() const { return FShowPreview; }
    void SetShowPreview(bool value);

    /// The formatting rectangle of the text (EditRectFor with the editor's own values).
    virtual void GetEditRect(toolkit::TRect& rect);
    /// Draws the content of the preview box; the base raises OnCustomPreviewDraw.
    virtual void DrawPreview(const toolkit::TRect& rect);
    /// Hands GetEditRect to the window.
    void UpdateEditRect();
    [[nodiscard]] int GetSelStart() const;
    [[nodiscard]] int GetSelLength() const;
    /// The caret at pos, nothing selected.
    void SetSelStart(int pos);
    [[nodiscard]] std::string GetSelText() const;
    /// The height of a line in the editor's font.
    [[nodiscard]] int GetTextHeight() const;

    void SetAsString(const std::string& value) override;
    void SelectAll() override;
    void MoveCaretToEnd() override;
    void Clear() override;
    void PaintValue() override;

    TCustomPreviewDrawEvent OnCustomPreviewDraw;

protected:
    void CreateParams(toolkit::TCreateParams& params) override;
    void CreateWnd() override;
    virtual void CustomPreviewDraw(const toolkit::TRect& rect);
    /// True only while the window is being made: its first text is no change.
    [[nodiscard]] bool GetCreating() const { return FCreating; }

    void Dispatch(toolkit::TMessage& message) override;
    /// Typing: the edit window's EN_CHANGE, whatever the lock says.
    void CNCommand(toolkit::TMessage& message) override;
    /// A program's text: a change unless the lock is set.
    void CMTextChanged(toolkit::TMessage& message) override;
    void CMFontChanged(toolkit::TMessage& message) override;
    void WMSize(toolkit::TMessage& message) override;
    /// The window places the caret after the press; a press in the strip at the left edge then selects all.
    void WMLButtonDown(toolkit::TMessage& message) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void DoEnter() override;
    /// Enter never reaches the window: the line gets no line break.
    void KeyPress(char32_t& key) override;
    /// The preview box after the window's paint.
    void PaintOver() override;
    /// The width of the strip at the left edge whose press selects all.
    [[nodiscard]] virtual bool InSelectStrip(int x) const { return x <= 2; }
    /// The text as a program set it: a memo's line breaks stay, though the window shows one line.
    [[nodiscard]] std::string GetTextValue() const override;
    void SetTextValue(const std::string& value) override;

private:
    void Selection(int& start, int& end) const;
    std::string FProgramText;  // the last text a program set, line breaks kept

    bool FAutoSelect = false;
    bool FCreating = false;
    bool FReadOnly = false;
    bool FShowPreview = false;
    char16_t FPasswordChar = 0;
};

class TCustomButtonCellEditor;

namespace CellEditors {

/// The button at the right edge of an editor; the editor owns, parents and wires it.
class TSmallButton : public toolkit::TCustomControl {
public:
    explicit TSmallButton(toolkit::TComponent* owner);
    ~TSmallButton() override;

    [[nodiscard]] bool GetPressed() const { return FPressed; }
    void SetPressed(bool value);
    [[nodiscard]] bool GetHot() const { return FHot; }
    void SetHot(bool value);
    [[nodiscard]] TCustomButtonCellEditor* GetEditor() const { return FEditor; }
    void SetEditor(TCustomButtonCellEditor* value) { FEditor = value; }

    toolkit::TNotifyEvent OnPress;
    toolkit::TNotifyEvent OnRelease;

protected:
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void CMMouseEnter(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;
    /// The themed state: 3 pressed, 2 hot, 1 otherwise.
    [[nodiscard]] int ThemeState() const { return FPressed ? 3 : FHot ? 2 : 1; }

private:
    bool FPressed = false;
    bool FHot = false;
    TCustomButtonCellEditor* FEditor = nullptr;
};

}  // namespace CellEditors

/// The button of the button editors; it draws a glyph someone else owns.
class TExecuteButton : public CellEditors::TSmallButton {
public:
    explicit TExecuteButton(toolkit::TComponent* owner);
    /// Borrowed (the editor's Glyph); may be none.
    [[nodiscard]] toolkit::TBitmap* GetGlyph() const { return FGlyph; }
    void SetGlyph(toolkit::TBitmap* value) { FGlyph = value; }

protected:
    void Paint() override;

private:
    toolkit::TBitmap* FGlyph = nullptr;
};

/// The button of the pop-up editors.
class TDropDownButton : public CellEditors::TSmallButton {
public:
    explicit TDropDownButton(toolkit::TComponent* owner);

protected:
    void Paint() override;
};

using TSmallButtonClass = toolkit::TClassOf<CellEditors::TSmallButton, toolkit::TComponent*>;
using TPopupViewClass = toolkit::TClassOf<TPopupView, toolkit::TComponent*>;

/// A textual editor with a button at its right edge and a pop-up it may open. Button and pop-up come from
/// GetButtonClass and GetPopupClass, made on first use (both hidden), and are owned by the editor.
class TCustomButtonCellEditor : public TTextualEditor {
public:
    explicit TCustomButtonCellEditor(toolkit::TComponent* owner);
    ~TCustomButtonCellEditor() override;

    [[nodiscard]] CellEditors::TSmallButton* GetButton();
    [[nodiscard]] TPopupView* GetPopup();
    /// Whether the pop-up was made already.
    [[nodiscard]] bool HasPopup() const { return FPopup != nullptr; }

    [[nodiscard]] virtual TSmallButtonClass GetButtonClass() const;
    [[nodiscard]] virtual TPopupViewClass GetPopupClass() const;
    /// Lets the class fill and size its pop-up before it opens at point (screen coordinates).
    virtual void PreparePopup(toolkit::TPoint& point);
    /// A pick of the pop-up: it closes, the text becomes value and the button is released.
    virtual void PopupSelected(toolkit::TObject* sender, const std::string& value);

    /// The text area ends where the button begins.
    void GetEditRect(toolkit::TRect& rect) override;
    void MoveCaretToEnd() override;

    toolkit::TNotifyEvent OnButtonClick;

protected:
    /// The button exists before the window does, so it gets its own window with it.
    void CreateWnd() override;
    /// Places the button at the right edge, the client's height.
    void WMSize(toolkit::TMessage& message) override;
    void WMWindowPosChanged(toolkit::TMessage& message) override;
    void CMMouseEnter(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;
    /// Raises OnButtonClick (the button was released after a press on it).
    virtual void ButtonClick();
    /// The button was pressed; nothing in the base.
    virtual void ButtonPress();

private:
    void PlaceButton();
    void ButtonPressed(toolkit::TObject* sender);
    void ButtonReleased(toolkit::TObject* sender);
    void PopupClosed(toolkit::TObject* sender);

    CellEditors::TSmallButton* FButton = nullptr;  // owned as a component
    TPopupView* FPopup = nullptr;  // owned as a component
};

enum TDropDownStyle : std::uint8_t { dsDropDown, dsDropDownList };

/// A button editor whose button drops a pop-up down; in list style the text can only be picked.
class TPopupEditor : public TCustomButtonCellEditor {
public:
    explicit TPopupEditor(toolkit::TComponent* owner);
    ~TPopupEditor() override;

    [[nodiscard]] TDropDownStyle GetStyle() const { return FStyle; }
    /// dsDropDown: editable text; dsDropDownList: read-only, picked from the pop-up.
    virtual void SetStyle(TDropDownStyle value);
    /// No focus rectangle in list style.
    [[nodiscard]] bool GetHideFocus() const { return FHideFocus; }
    void SetHideFocus(bool value) { FHideFocus = value; }

    [[nodiscard]] TSmallButtonClass GetButtonClass() const override;
    [[nodiscard]] bool NativePaint() const override;
    void GetEditRect(toolkit::TRect& rect) override;
    void SelectAll() override;
    void PopupSelected(toolkit::TObject* sender, const std::string& value) override;
    /// Opens the pop-up just under the editor's bottom-left corner, filled by PreparePopup.
    void DropDown();
    /// The value in list style, where the window draws nothing: highlighted when focused.
    void PaintValue() override;

    toolkit::TNotifyEvent OnPopupClose;

protected:
    /// Raises OnPopupClose.
    virtual void PopupClose();
    void ButtonPress() override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    /// Esc closes the pop-up.
    void KeyPress(char32_t& key) override;
    void CMVisibleChanged(toolkit::TMessage& message) override;
    /// No strip selects all here: the arrow is the list's.
    [[nodiscard]] bool InSelectStrip(int) const override { return false; }

private:
    TDropDownStyle FStyle = dsDropDown;
    bool FHideFocus = false;
};

/// A pop-up editor over a list of strings (its own copy) with an optional image per line.
class TComboBoxEditor : public TPopupEditor {
public:
    explicit TComboBoxEditor(toolkit::TComponent* owner);
    ~TComboBoxEditor() override;

    [[nodiscard]] int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int value) { FDropDownCount = value; }
    /// Owned; the writer copies.
    [[nodiscard]] toolkit::TStrings* GetItems() const { return FItems.get(); }
    void SetItems(const toolkit::TStrings& value);
    [[nodiscard]] int GetItemIndex() const { return FItemIndex; }
    /// Stores any value; the text becomes that line when it is one of the list's.
    void SetItemIndex(int value);
    /// Not owned; forgotten when it is freed.
    [[nodiscard]] toolkit::TCustomImageList* GetImages() const { return FImages; }
    void SetImages(toolkit::TCustomImageList* value);
    [[nodiscard]] int GetItemHeight() const { return FItemHeight; }
    void SetItemHeight(int value) { FItemHeight = value; }

    [[nodiscard]] TPopupViewClass GetPopupClass() const override;
    void SetStyle(TDropDownStyle value) override;
    void PreparePopup(toolkit::TPoint& point) override;
    /// The image of the line ItemIndex, centred in the box.
    void DrawPreview(const toolkit::TRect& rect) override;

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;
    /// The picked line's index goes into the field before OnPopupClose; the text follows in PopupSelected.
    void PopupClose() override;
    /// Out of the grid, Up and Down step through the lines.
    void KeyDown(std::uint16_t& key, toolkit::TShiftState shift) override;
    /// The wheel always steps, and is handled.
    bool DoMouseWheelDown(toolkit::TShiftState shift, ui::POINT mousePos) override;
    bool DoMouseWheelUp(toolkit::TShiftState shift, ui::POINT mousePos) override;
    /// One line down (+1) or up (−1) when there is one.
    void Step(int delta);

private:
    int FDropDownCount = 8;
    std::unique_ptr<toolkit::TStringList> FItems;
    int FItemIndex = -1;
    toolkit::TCustomImageList* FImages = nullptr;
    int FItemHeight = 16;
};

/// A combo box over the screen's font names, each drawn in its own font; the preview shows a sample.
class TFontEditor : public TComboBoxEditor {
public:
    explicit TFontEditor(toolkit::TComponent* owner);

    [[nodiscard]] TPopupViewClass GetPopupClass() const override;
    void PreparePopup(toolkit::TPoint& point) override;
    void DrawPreview(const toolkit::TRect& rect) override;
};

/// A pop-up editor of a date picked from a calendar.
class TDatePickerEditor : public TPopupEditor {
public:
    explicit TDatePickerEditor(toolkit::TComponent* owner);
    ~TDatePickerEditor() override;

    /// Today for an empty text or "0"; raises EConvertError for other text that is no date.
    [[nodiscard]] toolkit::TDateTime GetDate() const override;
    /// The date alone.
    void SetDate(toolkit::TDateTime value) override;
    /// Stored only.
    [[nodiscard]] const std::string& GetEmptyText() const { return FEmptyText; }
    void SetEmptyText(const std::string& value) { FEmptyText = value; }
    /// Owned; the writer copies. Empty: the calendar's own names.
    [[nodiscard]] toolkit::TStrings* GetMonthNames() const { return FMonthNames.get(); }
    void SetMonthNames(const toolkit::TStrings& value);

    [[nodiscard]] TPopupViewClass GetPopupClass() const override;
    /// The calendar opens on the editor's date; on today when the text is no date.
    void PreparePopup(toolkit::TPoint& point) override;

private:
    std::string FEmptyText;
    std::unique_ptr<toolkit::TStringList> FMonthNames;
};

/// A pop-up editor of a colour picked from a palette, with the colour in its preview box.
class TColorPickerEditor : public TPopupEditor {
public:
    explicit TColorPickerEditor(toolkit::TComponent* owner);

    /// clNone for the empty text; raises EConvertError for other text that is no colour.
    [[nodiscard]] toolkit::TColor GetSelectedColor() const;
    /// clNone empties the text.
    void SetSelectedColor(toolkit::TColor value);
    /// "#RRGGBB" texts instead of the class library's names; the text is not converted.
    [[nodiscard]] bool GetWebColorFormat() const { return FWebColorFormat; }
    void SetWebColorFormat(bool value) { FWebColorFormat = value; }

    [[nodiscard]] TPopupViewClass GetPopupClass() const override;
    void PreparePopup(toolkit::TPoint& point) override;
    /// The colour, or a white box with a red cross for no colour and for text that is none.
    void DrawPreview(const toolkit::TRect& rect) override;

private:
    bool FWebColorFormat = false;
};

/// A textual editor with a button that runs something; the button shows the editor's glyph.
class TButtonEditor : public TCustomButtonCellEditor {
public:
    explicit TButtonEditor(toolkit::TComponent* owner);
    ~TButtonEditor() override;

    /// Owned; the writer copies.
    [[nodiscard]] toolkit::TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const toolkit::TBitmap* value);
    [[nodiscard]] toolkit::TColor GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(toolkit::TColor value);

private:
    void GlyphChanged();

    std::unique_ptr<toolkit::TBitmap> FGlyph;
    toolkit::TColor FTransparentColor = toolkit::clNone;
};

/// A button editor whose button picks a picture file.
class TImagePathEditor : public TButtonEditor {
public:
    explicit TImagePathEditor(toolkit::TComponent* owner);

    [[nodiscard]] toolkit::TOpenPictureDialog* GetDialog() const { return FDialog; }

protected:
    /// OnButtonClick, then the dialog; a chosen file becomes the text.
    void ButtonClick() override;

private:
    toolkit::TOpenPictureDialog* FDialog = nullptr;  // owned as a component
};

}  // namespace ovrel::inspector
