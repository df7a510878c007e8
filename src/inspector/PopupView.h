#pragma once
// The drop-down windows of the cell editors: the common pop-up (open, pick, close), the owner-drawn list and
// the font list, the calendar and the palette, and the small push button the last two hold.

#include "inspector/ScrollView.h"

#include "toolkit/DateUtils.h"
#include "toolkit/Graphics.h"
#include "toolkit/Lists.h"

#include <memory>
#include <string>

namespace ovrel::inspector {

/// (Sender, Value): the picked value as text, empty for no value.
using TSelectEvent = toolkit::TEvent<toolkit::TObject*, const std::string&>;

/// Where a pop-up of size opens for point, the screen point just under its editor: moved left so that it
/// ends one pixel inside the work area (the area of the monitor under the point) and not before the area's
/// left edge, and above the editor, whose top is editorTop, when it would pass the area's bottom.
[[nodiscard]] toolkit::TPoint PopupPosition(toolkit::TPoint point, toolkit::TSize size, const toolkit::TRect& workArea,
                                            int editorTop);

/// A pop-up an editor opens under itself: a top-level tool window, shown without taking the activation,
/// that holds the mouse while the pointer is outside it, so that a click anywhere else reaches it. The
/// release of the press that opened it is ignored; a later release inside picks through SelectAt and
/// OnSelect (the owner closes it then), one outside closes it. It closes too when the application is
/// deactivated, when another window takes the mouse from it and when something modal starts. Made hidden;
/// it has no window until it first shows.
class TPopupView : public TScrollView {
public:
    explicit TPopupView(toolkit::TComponent* owner);
    ~TPopupView() override;

    /// True while hidden: at creation and after ClosePopup.
    [[nodiscard]] bool GetClosed() const { return FClosed; }
    /// False when the pop-up opens, true after the release of the press that opened it.
    [[nodiscard]] bool GetArmed() const { return FArmed; }

    /// Frames the window: a dark shadow line outside, a white one inside it.
    virtual void DrawBorder();
    /// Turns a click at a client point into OnSelect; the plain pop-up has nothing to pick.
    virtual void SelectAt(int x, int y);
    /// Shows the pop-up at a screen point (its top-left corner), placed on the work area of the monitor
    /// there: moved left to end inside it, and above the owner control when it would pass the bottom.
    virtual void Popup(int x, int y);
    /// Hides the pop-up and raises OnClose, also when it was hidden already.
    virtual void ClosePopup();

    toolkit::TNotifyEvent OnClose;
    TSelectEvent OnSelect;

protected:
    void CreateParams(toolkit::TCreateParams& params) override;
    void CreateWnd() override;
    [[nodiscard]] bool CanShowAsRoot() const override { return true; }
    void Dispatch(toolkit::TMessage& message) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;

    virtual void DoClose();
    virtual void DoSelect(const std::string& value);

    /// The frame is drawn over the default one.
    virtual void WMNCPaint(toolkit::TMessage& message);
    /// A deactivated application closes its pop-ups: they are topmost and would stay over other programs.
    virtual void WMActivateApp(toolkit::TMessage& message);
    void WMMouseMove(toolkit::TMessage& message) override;
    void WMCaptureChanged(toolkit::TMessage& message) override;
    void WMCancelMode(toolkit::TMessage& message) override;
    // LParam: the child the pointer entered or left, 0 for the pop-up itself.
    void CMMouseEnter(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;

    bool FClosed = true;
    bool FArmed = false;

private:
    /// The pointer is over the pop-up's window or one of its children.
    [[nodiscard]] bool PointerOver() const;
    [[nodiscard]] bool HoldsCapture();
    void Capture();
    void ReleaseMouse();
};

/// A list of strings (the owner's, never copied) with a hot row that follows the pointer.
class TPopupList : public TPopupView {
public:
    explicit TPopupList(toolkit::TComponent* owner);
    ~TPopupList() override;

    /// Borrowed: the owner's list.
    [[nodiscard]] toolkit::TStrings* GetItems() const { return FItems; }
    void SetItems(toolkit::TStrings* value) { FItems = value; }
    /// Not owned; forgotten when it is freed.
    [[nodiscard]] toolkit::TCustomImageList* GetImages() const { return FImages; }
    void SetImages(toolkit::TCustomImageList* value);
    [[nodiscard]] bool GetShowImages() const { return FShowImages; }
    void SetShowImages(bool value) { FShowImages = value; }
    /// The picked row; SelectAt stores it before OnSelect.
    [[nodiscard]] int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value) { FItemIndex = value; }
    [[nodiscard]] int GetItemHeight() const { return FItemHeight; }
    /// Values ≤ 0 become 1.
    void SetItemHeight(int value);
    [[nodiscard]] int GetHotRow() const { return FHot; }

    /// The number of items (0 without a list).
    [[nodiscard]] virtual int GetCount() const;
    /// The largest top row that still fills the client: Count − ClientHeight div ItemHeight.
    [[nodiscard]] virtual int GetMaxTop() const;
    /// Draws item index into rect: its image when images show, then its text.
    virtual void DrawItem(int index, const toolkit::TRect& rect);
    /// Rows move by whole items.
    [[nodiscard]] int GetVertScrollDelta(int oldPos, int newPos) override;

    /// Opens at the top, then scrolls to ItemIndex or else to the first item equal to the pop-up's text.
    void Popup(int x, int y) override;
    /// Picks the row under y; a point below the last row, or a list without items, picks nothing.
    void SelectAt(int x, int y) override;

protected:
    void Paint() override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

    int FHot = 0;
    int FPreviousHot = 0;

private:
    void SynchronizeSelection();
    [[nodiscard]] int RowAt(int y) const;
    [[nodiscard]] toolkit::TRect RowRect(int row) const;

    toolkit::TStrings* FItems = nullptr;
    toolkit::TCustomImageList* FImages = nullptr;
    bool FShowImages = false;
    int FItemIndex = -1;  // nothing picked yet: a new list opens on the item equal to its text
    int FItemHeight = 16;
};

/// A list of font names, each drawn in its own font at ItemHeight − 8 points.
class TFontPopup : public TPopupList {
public:
    explicit TFontPopup(toolkit::TComponent* owner);

    void DrawItem(int index, const toolkit::TRect& rect) override;
};

namespace PopupView {

/// The push button of the calendar and the palette: a glyph and a caption, drawn sunken while pressed.
class TSmallButton : public toolkit::TGraphicControl {
public:
    explicit TSmallButton(toolkit::TComponent* owner);
    ~TSmallButton() override;

    [[nodiscard]] bool GetPressed() const { return FPressed; }
    /// Owned; empty at first.
    [[nodiscard]] toolkit::TBitmap* GetGlyph() const { return FGlyph.get(); }

protected:
    void Paint() override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    /// The pop-up hears of the pointer coming and going over its buttons too, to let the mouse go or
    /// take it back.
    void CMMouseEnter(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;

private:
    bool FPressed = false;
    std::unique_ptr<toolkit::TBitmap> FGlyph;
};

}  // namespace PopupView

/// The calendar of the date picker: a month of 6 × 7 day cells with arrows to the months around it, and
/// the buttons "Today" and "None". It picks a date as text, or the empty text.
class TDatePopup : public TPopupView {
public:
    explicit TDatePopup(toolkit::TComponent* owner);
    ~TDatePopup() override;

    [[nodiscard]] toolkit::TDateTime GetDate() const { return FSelectedDate; }
    /// Sets the highlighted date and the year, month and day shown.
    void SetDate(toolkit::TDateTime value);
    // The month shown; the writers only store.
    [[nodiscard]] int GetDay() const { return FDay; }
    void SetDay(int value) { FDay = value; }
    [[nodiscard]] int GetMonth() const { return FMonth; }
    void SetMonth(int value) { FMonth = value; }
    [[nodiscard]] int GetYear() const { return FYear; }
    void SetYear(int value) { FYear = value; }
    /// The highlighted day.
    [[nodiscard]] toolkit::TDateTime GetSelectedDate() const { return FSelectedDate; }
    void SetSelectedDate(toolkit::TDateTime value) { FSelectedDate = value; }
    /// Borrowed (the editor's); twelve strings name the months, anything else leaves the English names.
    [[nodiscard]] toolkit::TStrings* GetMonthNames() const { return FMonthNames; }
    void SetMonthNames(toolkit::TStrings* value) { FMonthNames = value; }

    [[nodiscard]] PopupView::TSmallButton* GetTodayButton() const { return FTodayButton; }
    [[nodiscard]] PopupView::TSmallButton* GetNoneButton() const { return FNoneButton; }
    /// The cell painted highlighted last, in client coordinates; empty before the first paint.
    [[nodiscard]] const toolkit::TRect& GetHighlightRect() const { return FHighlightRect; }

    /// The date of the day cell under the point, as text.
    void SelectAt(int x, int y) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    /// "Today" picks today's date, "None" the empty text.
    virtual void ButtonClick(toolkit::TObject* sender);

private:
    /// The year and month shown, kept where every cell has a date.
    void ShownMonth(int& year, int& month) const;
    /// The date and rectangle of the day cell under a client point; false outside the cells shown.
    bool CellDateAt(int x, int y, toolkit::TDateTime& date, toolkit::TRect& cell) const;
    /// Where a press starts picking a day: (14, 38, ClientWidth − 14, ClientHeight − 20).
    [[nodiscard]] toolkit::TRect GridArea() const;
    void HighlightPoint(int x, int y);
    void StepMonth(int delta);

    int FDay = 1;
    int FMonth = 1;
    int FYear = 1;
    toolkit::TDateTime FSelectedDate = 0;
    toolkit::TStrings* FMonthNames = nullptr;
    bool FTracking = false;
    toolkit::TRect FHighlightRect;
    PopupView::TSmallButton* FTodayButton = nullptr;  // owned as a component
    PopupView::TSmallButton* FNoneButton = nullptr;  // owned as a component
};

/// The palette of the colour picker: 21 × 12 swatches, the colour under the pointer with its name, and
/// buttons for the colour dialog and for no colour. It picks a colour as text, or the empty text.
class TColorPopup : public TPopupView {
public:
    explicit TColorPopup(toolkit::TComponent* owner);
    ~TColorPopup() override;

    [[nodiscard]] toolkit::TColor GetSelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(toolkit::TColor value) { FSelectedColor = value; }
    /// Colour texts as "#RRGGBB" instead of the class library's names.
    [[nodiscard]] bool GetWebColorFormat() const { return FWebColorFormat; }
    void SetWebColorFormat(bool value) { FWebColorFormat = value; }

    [[nodiscard]] PopupView::TSmallButton* GetMoreColorsButton() const { return FMoreButton; }
    [[nodiscard]] PopupView::TSmallButton* GetNoColorButton() const { return FNoneButton; }

    /// The colour text of value in the pop-up's format.
    [[nodiscard]] std::string ColorText(toolkit::TColor value) const;
    /// The swatch under the point, or the empty text outside every swatch.
    void SelectAt(int x, int y) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    /// Shows colour and its text in the box above the swatches.
    virtual void ShowColorInfo(toolkit::TColor color);
    /// Closes the pop-up and picks what the colour dialog gives.
    virtual void MoreColors();
    /// Picks no colour.
    virtual void NoColor();

private:
    void ButtonClicked(toolkit::TObject* sender);

    toolkit::TColor FSelectedColor = toolkit::clNone;
    bool FWebColorFormat = false;
    PopupView::TSmallButton* FMoreButton = nullptr;  // owned as a component
    PopupView::TSmallButton* FNoneButton = nullptr;  // owned as a component
    toolkit::TLifeToken FLife;  // the colour dialog runs a loop of its own
};

}  // namespace ovrel::inspector
