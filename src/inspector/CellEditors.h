#pragma once
// The in-place editors of the grid's cells: the editor base, the textual editor over the layer's EDIT window,
// and the editors with a button at their right edge that open a pop-up. Each is made hidden and has no
// window until it is first shown.

#include "inspector/Drawing.h"
#include "inspector/PopupView.h"

#include "toolkit/Controls.h"
#include "toolkit/DateUtils.h"
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

protected:
    /// Raises OnChange.
    virtual void Change();

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

private:
    void Selection(int& start, int& end) const;

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

private:
    toolkit::TBitmap* FGlyph = nullptr;
};

/// The button of the pop-up editors.
class TDropDownButton : public CellEditors::TSmallButton {
public:
    explicit TDropDownButton(toolkit::TComponent* owner);
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

    [[nodiscard]] virtual TSmallButtonClass GetButtonClass() const;
    [[nodiscard]] virtual TPopupViewClass GetPopupClass() const;
    /// Lets the class fill and size its pop-up before it opens at point (screen coordinates).
    virtual void PreparePopup(toolkit::TPoint& point);
    /// A pick of the pop-up: it closes, the text becomes value and the button is released.
    virtual void PopupSelected(toolkit::TObject* sender, const std::string& value);

    /// The text area ends where the button begins.
    void GetEditRect(toolkit::TRect& rect) override;

    toolkit::TNotifyEvent OnButtonClick;

protected:
    /// The button exists before the window does, so it gets its own window with it.
    void CreateWnd() override;
    /// Raises OnButtonClick (the button was released after a press on it).
    virtual void ButtonClick();
    /// The button was pressed; nothing in the base.
    virtual void ButtonPress();

private:
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

    toolkit::TNotifyEvent OnPopupClose;

protected:
    /// Raises OnPopupClose.
    virtual void PopupClose();

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

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

private:
    int FDropDownCount = 8;
    std::unique_ptr<toolkit::TStringList> FItems;
    int FItemIndex = -1;
    toolkit::TCustomImageList* FImages = nullptr;
    int FItemHeight = 16;
};

}  // namespace ovrel::inspector
