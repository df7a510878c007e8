#pragma once
// The drop-down windows of the cell editors: the common pop-up (open, pick, close) and the owner-drawn list.

#include "inspector/ScrollView.h"

#include "toolkit/Graphics.h"
#include "toolkit/Lists.h"

#include <string>

namespace ovrel::inspector {

/// (Sender, Value): the picked value as text, empty for no value.
using TSelectEvent = toolkit::TEvent<toolkit::TObject*, const std::string&>;

/// Where a pop-up of size opens for point, the screen point just under its editor: moved left so that it
/// ends one pixel inside the work area (the area of the monitor under the point) and not before the area's
/// left edge, and above the editor, whose top is editorTop, when it would pass the area's bottom.
[[nodiscard]] toolkit::TPoint PopupPosition(toolkit::TPoint point, toolkit::TSize size, const toolkit::TRect& workArea,
                                            int editorTop);

/// A pop-up an editor opens under itself; it reports a pick through OnSelect and its closing through OnClose.
/// Made hidden; it has no window until it first shows.
class TPopupView : public TScrollView {
public:
    explicit TPopupView(toolkit::TComponent* owner);
    ~TPopupView() override;

    /// True while hidden: at creation and after ClosePopup.
    [[nodiscard]] bool GetClosed() const { return FClosed; }
    /// False when the pop-up opens, true after the release of the press that opened it.
    [[nodiscard]] bool GetArmed() const { return FArmed; }

    /// Turns a click at a client point into OnSelect; the plain pop-up has nothing to pick.
    virtual void SelectAt(int x, int y);
    /// Hides the pop-up and raises OnClose, also when it was hidden already.
    virtual void ClosePopup();

    toolkit::TNotifyEvent OnClose;
    TSelectEvent OnSelect;

protected:
    virtual void DoClose();
    virtual void DoSelect(const std::string& value);

    bool FClosed = true;
    bool FArmed = false;
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
    /// Rows move by whole items.
    [[nodiscard]] int GetVertScrollDelta(int oldPos, int newPos) override;

protected:
    void Notification(toolkit::TComponent* component, toolkit::TOperation operation) override;

    int FHot = 0;
    int FPreviousHot = 0;

private:
    toolkit::TStrings* FItems = nullptr;
    toolkit::TCustomImageList* FImages = nullptr;
    bool FShowImages = false;
    int FItemIndex = 0;
    int FItemHeight = 16;
};

}  // namespace ovrel::inspector
