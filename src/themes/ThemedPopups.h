#pragma once
// Pop-up menus with the theme's look: the pop-up window whose border, background and view type come from the
// current theme (with the platform's drop shadow when the theme asks for it), the chevron's pop-up, and the
// context-menu component whose items open such windows.

#include "themes/Shadows.h"
#include "themes/ThemeInterface.h"

#include "platform/ui/Types.h"
#include "toolbars/Popup.h"
#include "toolbars/PopupMenu.h"
#include "toolbars/View.h"
#include "toolkit/Classes.h"
#include "toolkit/Controls.h"

#include <memory>

namespace ovrel::themes {

/// The view of a themed pop-up window.
class TTBXPopupView : public toolbars::TTBPopupView {
public:
    using TTBPopupView::TTBPopupView;
};

/// A pop-up window painted by the current theme. Without a running theme it looks as the framework's does.
class TTBXPopupWindow : public toolbars::TTBPopupWindow {
public:
    using TTBPopupWindow::TTBPopupWindow;
    ~TTBXPopupWindow() override;

    /// VT_POPUPMENU; VT_TOOLBOXPOPUP for the children of a themed item with ToolBoxPopup.
    [[nodiscard]] virtual int GetViewType() const;
    /// The theme's view border on each side.
    [[nodiscard]] toolkit::TPoint GetNCSize() const override;
    /// Whether the window may cast a shadow: not for a list-box pop-up.
    [[nodiscard]] virtual bool ShadowAllowed() const;
    /// The window's own shadows (the theme's shadow types 2 and 3), while it shows; null otherwise.
    [[nodiscard]] TShadows* GetShadows() const { return FShadows.get(); }
    /// Casts the own shadows of the theme around the window (and the toolbar button it hangs from, with type 2).
    virtual void CreateShadow();
    virtual void DestroyShadow();

protected:
    [[nodiscard]] toolbars::TTBViewClass GetViewClass() const override;
    /// The platform's drop shadow (and a class name ending in "S") only when the theme asks for it and the
    /// platform has one.
    void CreateParams(toolkit::TCreateParams& params) override;
    /// The parent item's rectangle in this window's coordinates when a toolbar button opened the pop-up;
    /// empty otherwise.
    [[nodiscard]] virtual toolkit::TRect GetParentItemRect() const;
    /// The parent item's rectangle on the screen that a type-2 shadow also shades; empty for none.
    [[nodiscard]] virtual toolkit::TRect GetShadowParentRect() const;
    /// The viewer that opened this pop-up, of the parent view; null for none.
    [[nodiscard]] const toolbars::TTBItemViewer* GetOpener() const;
    /// The opener's bounds on the screen, and in this window's coordinates; only with an opener.
    [[nodiscard]] toolkit::TRect OpenerOnScreen() const;
    [[nodiscard]] toolkit::TRect OpenerInWindow() const;
    void BeforeDestruction() override;
    /// The theme paints the border into dc, whose origin is the window's top-left (WM_NCPAINT and WM_PRINT).
    void PaintFrame(ui::HDC dc) override;

    void Dispatch(toolkit::TMessage& message) override;
    /// Ends a running animation, then the theme fills the client area with the view's colour.
    void WMEraseBkgnd(toolkit::TMessage& message) override;
    void WMNCPaint(toolkit::TMessage& message) override;
    /// Once the window shows (animated or not), the theme's own shadows appear.
    void WMTBPopupShowing(toolkit::TMessage& message) override;
    /// A move or a new size while shown casts the shadows again.
    void WMWindowPosChanged(toolkit::TMessage& message) override;

private:
    std::unique_ptr<TShadows> FShadows;
};

/// The pop-up of a toolbar's chevron: the toolbar's hidden items as buttons.
class TTBXChevronPopupWindow : public TTBXPopupWindow {
public:
    using TTBXPopupWindow::TTBXPopupWindow;

    [[nodiscard]] int GetViewType() const override;

protected:
    [[nodiscard]] toolkit::TRect GetParentItemRect() const override;
    [[nodiscard]] toolkit::TRect GetShadowParentRect() const override;
};

/// A context menu of themed items; it answers WM_TBX_GETVIEWTYPE with VT_POPUPMENU.
class TTBXPopupMenu : public toolbars::TTBPopupMenu {
public:
    using TTBPopupMenu::TTBPopupMenu;

    void Dispatch(toolkit::TMessage& message) override;

protected:
    [[nodiscard]] toolbars::TTBRootItemClass GetRootItemClass() const override;
};

}  // namespace ovrel::themes
