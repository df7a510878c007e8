#pragma once
// Views for the tests: items of every style the views treat apart, viewers of a fixed size (so that layout
// tables read in whole pixels), a view whose font and chevron the test chooses, windows that show a view on
// a form, a pop-up factory that opens such windows and counts them, and the bits of the menu loop that the
// tests play by hand (the message position, view timers).

#include "ItemsTestSupport.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "platform/ui/Window.h"
#include "toolbars/View.h"
#include "toolbars/Viewers.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars::testing {

// ---- Items --------------------------------------------------------------------------------------------

/// An item with style bits added (and removed) by the test.
class TStyledItem : public TTBCustomItem {
public:
    TStyledItem(toolkit::TComponent* owner, TTBItemStyle add = 0, TTBItemStyle remove = 0) : TTBCustomItem(owner)
    {
        FItemStyle = static_cast<TTBItemStyle>((FItemStyle & ~remove) | add);
    }
};

class TStyledSeparator : public TTBSeparatorItem {
public:
    TStyledSeparator(toolkit::TComponent* owner, TTBItemStyle add = 0) : TTBSeparatorItem(owner) { FItemStyle |= add; }
};

inline TStyledItem* AddStyled(TTBCustomItem* parent, const std::string& caption, TTBItemStyle add,
                              TTBItemStyle remove = 0)
{
    auto* item = new TStyledItem(nullptr, add, remove);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

inline TStyledItem* AddSubmenu(TTBCustomItem* parent, const std::string& caption)
{
    return AddStyled(parent, caption, itsSubmenu);
}

inline TStyledSeparator* AddSeparator(TTBCustomItem* parent, TTBItemStyle add = 0)
{
    auto* item = new TStyledSeparator(nullptr, add);
    parent->Add(item);
    return item;
}

/// A viewer whose size is its item's: layouts then read in whole pixels, whatever the font.
class TFixedViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    void CalcSize(toolkit::TCanvas* canvas, int& width, int& height) override;
};

/// An item of a fixed size, with style bits of the test's choice.
class TFixedItem : public TStyledItem {
public:
    TFixedItem(toolkit::TComponent* owner, int width, int height, TTBItemStyle add = 0)
        : TStyledItem(owner, add), Width(width), Height(height)
    {}
    [[nodiscard]] TTBItemViewerClass GetItemViewerClass(TTBView*) const override
    {
        return TTBItemViewerClass::Of<TFixedViewer>();
    }
    int Width;
    int Height;
};

inline void TFixedViewer::CalcSize(toolkit::TCanvas*, int& width, int& height)
{
    const auto* item = static_cast<const TFixedItem*>(GetItem());
    width = item->Width;
    height = item->Height;
}

inline TFixedItem* AddFixed(TTBCustomItem* parent, const std::string& caption, int width, int height,
                            TTBItemStyle add = 0)
{
    auto* item = new TFixedItem(nullptr, width, height, add);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

// ---- Views ----------------------------------------------------------------------------------------------

/// A view whose font and chevron item the test sets. Chevron changes take effect on RecreateAllViewers.
template <class Base> class TTestViewOf : public Base {
public:
    using Base::Base;
    [[nodiscard]] toolkit::TFont* GetFont() const override { return Font != nullptr ? Font : Base::GetFont(); }
    [[nodiscard]] TTBCustomItem* GetChevronItem() const override { return Chevron; }
    toolkit::TFont* Font = nullptr;  // borrowed
    TTBCustomItem* Chevron = nullptr;  // borrowed
};
using TTestView = TTestViewOf<TTBView>;
using TTestPopupView = TTestViewOf<TTBPopupView>;

/// A windowless view of parent's children (nothing is painted; layouts and notifications work).
template <class V = TTestView>
std::unique_ptr<V> MakeView(TTBCustomItem* parent, bool isToolbar, bool usePriorityList = false,
                            TTBView* parentView = nullptr)
{
    return std::unique_ptr<V>(static_cast<V*>(TTBView::CreateView(TTBViewClass::Of<V>(), nullptr, parentView, parent,
                                                                  nullptr, isToolbar, false, usePriorityList)));
}

/// Captions of the placed viewers in order, separators as "|".
inline std::string Placed(const TTBView& view)
{
    std::string out;
    for (int i = 0; i < view.GetViewerCount(); ++i) {
        const TTBItemViewer* v = view.GetViewer(i);
        if (!v->IsPlaced())
            continue;
        out += (v->GetItem()->GetItemStyle() & itsSeparator) != 0 ? std::string("|") : v->GetCaptionText();
    }
    return out;
}

inline const toolkit::TRect& BoundsOf(const TTBView& view, const TTBCustomItem* item)
{
    return view.FindViewerOfItem(item)->GetBoundsRect();
}

// ---- Windows that show a view -----------------------------------------------------------------------------

/// A window on a form that paints its view and counts what it is sent.
class TViewWindow : public toolkit::TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TTBView* View = nullptr;
    int PaintsIntoGivenDC = 0;  // WM_PAINT with a DC in WParam
    int ErasesIntoGivenDC = 0;

protected:
    void Paint() override
    {
        if (View != nullptr)
            View->PaintViewers(GetCanvas());
    }
    void WMPaint(toolkit::TMessage& message) override
    {
        if (message.WParam != 0)
            ++PaintsIntoGivenDC;
        TCustomControl::WMPaint(message);
    }
    void WMEraseBkgnd(toolkit::TMessage& message) override
    {
        if (message.WParam != 0)
            ++ErasesIntoGivenDC;
        TCustomControl::WMEraseBkgnd(message);
    }
};

/// The stand-in for a pop-up window: its view's timers run on it, and it frees its view with itself.
class TFakePopupWindow : public TViewWindow, public ITBPopupWindow {
public:
    using TViewWindow::TViewWindow;
    [[nodiscard]] TTBView* GetView() const override { return View; }
    [[nodiscard]] toolkit::TPoint GetNCSize() const override { return toolkit::TPoint{3, 3}; }
    bool FromFactory = false;
};

/// Opens a TFakePopupWindow on host for each pop-up, beside the viewer it opens from, and records it.
class TFakePopupFactory final : public ITBPopupFactory {
public:
    struct Opening {
        TTBCustomItem* Item;
        bool AsSubmenu;
        bool SelectFirstItem;
    };

    explicit TFakePopupFactory(toolkit::TWinControl* host) : FHost(host) { FPrevious = SetPopupFactory(this); }
    ~TFakePopupFactory() override { SetPopupFactory(FPrevious); }
    TFakePopupFactory(const TFakePopupFactory&) = delete;
    TFakePopupFactory& operator=(const TFakePopupFactory&) = delete;

    toolkit::TWinControl* CreatePopup(TTBCustomItem& item, TTBView* parentView, TTBItemViewer* parentViewer,
                                      bool asSubmenu, bool selectFirstItem, bool customizing, toolkit::TPoint,
                                      toolkit::TPopupAlignment) override
    {
        Openings.push_back({&item, asSubmenu, selectFirstItem});
        auto* window = new TFakePopupWindow(nullptr);
        window->FromFactory = true;
        window->SetParent(FHost);
        toolkit::TPoint at{0, 0};
        if (parentView != nullptr && parentView->GetWindow() != nullptr) {
            const toolkit::TRect& r = parentViewer->GetBoundsRect();
            const toolkit::TPoint corner =
                asSubmenu ? toolkit::TPoint{r.right, r.top} : toolkit::TPoint{r.left, r.bottom};
            at = FHost->ScreenToClient(parentView->GetWindow()->ClientToScreen(corner));
        }
        window->SetBounds(at.x, at.y, 10, 10);
        auto* view = static_cast<TTestPopupView*>(TTBView::CreateView(
            TTBViewClass::Of<TTestPopupView>(), window, parentView, &item, window, false, customizing, false));
        view->Font = Font;
        window->View = view;
        view->SetMaxHeight(MaxHeight);
        view->SetState(view->GetState() | ViewStateModal |
                       (parentView != nullptr ? parentView->GetState() & ViewStateAccelsShown : 0));
        if (selectFirstItem)
            view->Select(view->FirstSelectable());
        view->EnsureLayout();
        if (parentView != nullptr)
            parentView->PopupOpened(window, view, parentViewer);
        window->Show();
        return window;
    }

    std::vector<Opening> Openings;
    toolkit::TFont* Font = nullptr;  // borrowed
    int MaxHeight = 0;

private:
    toolkit::TWinControl* FHost;
    ITBPopupFactory* FPrevious = nullptr;
};

/// Counts the pop-up windows of the factory alive on host.
inline int OpenPopupWindows(const toolkit::TWinControl& host)
{
    int n = 0;
    for (int i = 0; i < host.GetControlCount(); ++i) {
        const auto* window = dynamic_cast<const TFakePopupWindow*>(host.GetControl(i));
        n += window != nullptr && window->FromFactory ? 1 : 0;
    }
    return n;
}

// ---- The menu loop, played by hand --------------------------------------------------------------------------

/// Makes screen the position of the last message retrieved, as the loop sees it.
inline void SetMessagePos(toolkit::TPoint screen)
{
    ui::PostMouseInput(ui::WM_MOUSEMOVE, screen);
    ui::MSG msg;
    while (ui::PeekMessage(&msg, nullptr, ui::WM_MOUSEMOVE, ui::WM_MOUSEMOVE, ui::PM_REMOVE)) {}
}

/// Hands the due view timers to their views, as the loop does; how many it handed.
inline int RunDueViewTimers()
{
    int handed = 0;
    ui::MSG msg;
    while (ui::PeekMessage(&msg, nullptr, ui::WM_TIMER, ui::WM_TIMER, ui::PM_REMOVE)) {
        auto* window = dynamic_cast<ITBPopupWindow*>(toolkit::TWinControl::FindControl(msg.hwnd));
        if (window == nullptr || window->GetView() == nullptr || msg.wParam < ViewTimerBaseId ||
            msg.wParam > ViewTimerBaseId + tiScrollDown)
            continue;
        window->GetView()->HandleTimer(static_cast<TViewTimer>(msg.wParam - ViewTimerBaseId));
        ++handed;
    }
    return handed;
}

}  // namespace ovrel::toolbars::testing
