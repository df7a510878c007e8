#pragma once
// Common controls: a page control with tab sheets, a tab control and an up-down arrow pair bound to an edit,
// drawn by the toolkit itself, and a date/time picker over a Qt date or time edit.

#include "toolkit/Controls.h"
#include "toolkit/DateUtils.h"
#include "toolkit/Lists.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ovrel::toolkit {

class TPageControl;

/// Height of the tab strip of a page or tab control, in pixels.
inline constexpr int TabStripHeight = 22;
/// The narrowest tab; a tab whose caption needs more room is as wide as its caption and its margins.
inline constexpr int TabWidth = 80;
/// Room left of and right of a tab's caption.
inline constexpr int TabTextMargin = 6;

/// A strip of equal tabs along the top edge over a client area: the part page and tab controls share.
class TCustomTabControl : public TCustomControl {
public:
    explicit TCustomTabControl(TComponent* owner);

    /// The tab under a client point; -1 outside the tabs.
    [[nodiscard]] int IndexOfTabAt(int x, int y) const;

    /// After the user picked another tab (not after a program set).
    TNotifyEvent OnChange;

protected:
    [[nodiscard]] virtual int TabCount() const = 0;
    [[nodiscard]] virtual std::string TabCaption(int index) const = 0;
    [[nodiscard]] virtual int CurrentTab() const = 0;
    /// Makes a valid other tab the current one, as a program set would.
    virtual void SelectTab(int index) = 0;

    void AdjustClientRect(ui::RECT& rect) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint() override;

private:
    /// The right edge of each tab, in order.
    [[nodiscard]] std::vector<int> TabEdges() const;
};

/// One page of a page control: a container whose children show while it is the active page.
class TTabSheet : public TCustomControl {
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    [[nodiscard]] TPageControl* GetPageControl() const { return FPageControl; }
    /// Moves the sheet to another page control (or none); it becomes that control's last page.
    void SetPageControl(TPageControl* value);
    /// Position among its page control's pages; -1 without one.
    [[nodiscard]] int GetPageIndex() const;

    void SetParent(TWinControl* value) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
};

/// A tab strip over a stack of tab sheets; only the active sheet is visible.
class TPageControl : public TCustomTabControl {
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    [[nodiscard]] int GetPageCount() const { return static_cast<int>(FPages.size()); }
    [[nodiscard]] TTabSheet* GetPage(int index) const;
    [[nodiscard]] TTabSheet* GetActivePage() const { return FActivePage; }
    /// A sheet of another control (or null) is refused.
    void SetActivePage(TTabSheet* value);
    [[nodiscard]] int GetActivePageIndex() const;
    /// Out of range: no page is active.
    void SetActivePageIndex(int value);

protected:
    [[nodiscard]] int TabCount() const override { return GetPageCount(); }
    [[nodiscard]] std::string TabCaption(int index) const override;
    [[nodiscard]] int CurrentTab() const override { return GetActivePageIndex(); }
    void SelectTab(int index) override { SetActivePageIndex(index); }

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ShowActive();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

class TTabControl;

/// The tab captions of a tab control: a string list whose changes redraw the strip and keep TabIndex valid.
class TTabStrings : public TStringList {
public:
    explicit TTabStrings(TTabControl& control) : FControl(control) {}

protected:
    void Changed() override;

private:
    TTabControl& FControl;
};

/// A tab strip over one client area the program fills as the tab changes.
class TTabControl : public TCustomTabControl {
public:
    explicit TTabControl(TComponent* owner);
    ~TTabControl() override;

    [[nodiscard]] TStrings* GetTabs() const { return FTabs.get(); }
    void SetTabs(const TStrings* value);
    [[nodiscard]] int GetTabIndex() const { return FTabIndex; }
    /// Out of range gives -1; a program set does not raise OnChange.
    void SetTabIndex(int value);

protected:
    [[nodiscard]] int TabCount() const override { return FTabs->GetCount(); }
    [[nodiscard]] std::string TabCaption(int index) const override { return FTabs->Get(index); }
    [[nodiscard]] int CurrentTab() const override { return FTabIndex; }
    void SelectTab(int index) override { SetTabIndex(index); }

private:
    friend class TTabStrings;
    void TabsChanged();

    std::unique_ptr<TTabStrings> FTabs;
    int FTabIndex = -1;
};

enum TDateTimeKind : std::uint8_t { dtkDate, dtkTime };

/// Shows and keeps a date or a time of day; the user types or steps it in a Qt date edit (with a calendar
/// pop-up) or time edit (with seconds). The value is kept while there is no window and across RecreateWnd.
class TDateTimePicker : public TNativeControl {
public:
    explicit TDateTimePicker(TComponent* owner);
    ~TDateTimePicker() override;

    [[nodiscard]] TDateTimeKind GetKind() const { return FKind; }
    /// A window of the other kind is made again.
    void SetKind(TDateTimeKind value);
    [[nodiscard]] TDateTime GetDateTime() const { return FDateTime; }
    void SetDateTime(TDateTime value);
    /// The date part (midnight of the day).
    [[nodiscard]] TDateTime GetDate() const;
    /// Replaces the date part and keeps the time of day.
    void SetDate(TDateTime value);
    /// The time of day as a fraction of a day.
    [[nodiscard]] TDateTime GetTime() const;
    /// Replaces the time of day and keeps the date.
    void SetTime(TDateTime value);
    /// The value in the program's date or time format.
    [[nodiscard]] std::string DisplayText() const;

    /// After a value change, by the program or the user; an unchanged value notifies nobody.
    TNotifyEvent OnChange;

protected:
    QWidget* CreateWidget() override;
    void InitWidget(QWidget* widget) override;
    /// A click selects the field under it, as the desktop's own pickers do, so that typed digits replace it.
    void WMLButtonUp(TMessage& message) override;

private:
    void ShowValue(QWidget* widget);
    void UserChanged(TDateTime value);

    TDateTimeKind FKind = dtkDate;
    TDateTime FDateTime = 0;
    bool FShowing = false;  // the program is pushing the value into the widget
};

enum TUDBtnType : std::uint8_t { btNext, btPrev };
using TUDClickEvent = TEvent<TObject*, TUDBtnType>;

/// Two arrows that step a number shown in an associated control's text.
class TUpDown : public TCustomControl {
public:
    explicit TUpDown(TComponent* owner);
    ~TUpDown() override;

    [[nodiscard]] TWinControl* GetAssociate() const { return FAssociate; }
    /// The associate shows Position at once.
    void SetAssociate(TWinControl* value);
    [[nodiscard]] int GetMin() const { return FMin; }
    void SetMin(int value);
    [[nodiscard]] int GetMax() const { return FMax; }
    void SetMax(int value);
    [[nodiscard]] int GetIncrement() const { return FIncrement; }
    void SetIncrement(int value);
    /// Read back from the associate's text when there is one, so typed numbers count; clamped to Min..Max.
    [[nodiscard]] int GetPosition() const;
    void SetPosition(int value);

    /// After an arrow stepped the position (also when it stayed at a limit).
    TUDClickEvent OnClick;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;
    void Paint() override;

private:
    void Step(TUDBtnType button);
    [[nodiscard]] int Clamp(int value) const;

    TWinControl* FAssociate = nullptr;
    int FMin = 0;
    int FMax = 100;
    int FIncrement = 1;
    int FPosition = 0;
};

}  // namespace ovrel::toolkit
