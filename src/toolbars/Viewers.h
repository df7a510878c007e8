#pragma once
// Item viewers: the presence of one item in one view. A viewer measures its item, paints the framework's
// own look of it (the themed viewers replace both), answers hit tests, reacts to the mouse on behalf of the
// menu loop and executes the item. The same item shown in a menu bar and in a pop-up has two viewers.

#include "toolbars/Items.h"

#include "platform/ui/Types.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>

namespace ovrel::toolbars {

class TTBView;
class TTBItemViewerAccObject;

/// Shows one item in one view; owned by the view.
class TTBItemViewer : public toolkit::TObject, public ITBAccActionHandler {
public:
    /// groupLevel: 0 for a child of the view's item, n inside the n-th nested inline group.
    TTBItemViewer(TTBView* view, TTBCustomItem* item, int groupLevel);
    ~TTBItemViewer() override;

    [[nodiscard]] TTBView* GetView() const { return FView; }
    [[nodiscard]] TTBCustomItem* GetItem() const { return FItem; }
    [[nodiscard]] int GetGroupLevel() const { return FGroupLevel; }
    /// In the client coordinates of the view's window; valid after the view's layout.
    [[nodiscard]] const toolkit::TRect& GetBoundsRect() const { return FBoundsRect; }
    /// Shown in the window.
    [[nodiscard]] bool IsPlaced() const { return FPlaced; }
    /// Left out for lack of room; shown in the chevron's pop-up instead.
    [[nodiscard]] bool IsOverflowed() const { return FOverflowed; }
    /// Left out because the pop-up is scrolled.
    [[nodiscard]] bool IsScrolledOut() const { return FScrolledOut; }
    /// Placed, overflowed or scrolled out.
    [[nodiscard]] bool IsPresent() const { return FPlaced || FOverflowed || FScrolledOut; }
    /// A separator that the layout turned into the gap between two wrapped lines.
    [[nodiscard]] bool IsDrawnAsLineBreak() const { return FDrawnAsLineBreak; }
    [[nodiscard]] bool GetPaintPending() const { return FPaintPending; }

    // -- Texts and predicates --------------------------------------------------------------------------------
    /// The caption up to the first Tab.
    [[nodiscard]] virtual std::string GetCaptionText() const;
    /// The short hint, else (for most items) the caption without its marks; with the shortcut when the
    /// application shows shortcuts in hints.
    [[nodiscard]] std::string GetHintText() const;
    [[nodiscard]] virtual bool CaptionShown() const;
    [[nodiscard]] bool ImageShown() const;
    /// The item's images, else the submenu images of the views' items, from this view up.
    [[nodiscard]] toolkit::TCustomImageList* GetImageList() const;
    /// Drawn turned: in a vertical view unless the options keep it upright.
    [[nodiscard]] bool IsRotated() const;
    /// Sized as a toolbar button rather than as a menu row.
    [[nodiscard]] virtual bool IsToolbarSize() const;
    /// Looks and behaves as a toolbar button.
    [[nodiscard]] virtual bool IsToolbarStyle() const;
    /// Whether a viewer-relative point is on the part that executes (false on the part that opens the pop-up).
    [[nodiscard]] virtual bool IsPtInButtonPart(int x, int y) const;
    [[nodiscard]] virtual bool UsesSameWidth() const;
    /// The accessibility role (ROLE_SYSTEM_...).
    [[nodiscard]] virtual int GetAccRole() const;
    /// False: no value.
    virtual bool GetAccValue(std::string& value) const;
    [[nodiscard]] int IndexInView() const;
    /// A screen point in the coordinates of this viewer.
    [[nodiscard]] toolkit::TPoint ScreenToViewer(toolkit::TPoint screenPoint) const;

    // -- Measuring and painting ------------------------------------------------------------------------------
    /// The size the item needs, measured with the canvas's font.
    virtual void CalcSize(toolkit::TCanvas* canvas, int& width, int& height);
    /// clientRect is the viewer's rectangle moved to (0, 0); the view has set the canvas's font and brush.
    virtual void Paint(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
                       bool emboss);
    virtual void DrawItemCaption(toolkit::TCanvas* canvas, toolkit::TRect rect, const std::string& caption, bool emboss,
                                 ui::UINT format);

    // -- Input, on behalf of the menu loop (viewer-relative coordinates) ------------------------------------
    virtual void MouseDown(toolkit::TShiftState shift, int x, int y, bool& mouseDownOnMenu);
    virtual void MouseUp(int x, int y, bool mouseDownOnMenu);
    virtual void MouseMove(int x, int y);
    virtual void MouseWheel(int delta, int x, int y);
    virtual void KeyDown(std::uint16_t& key, toolkit::TShiftState shift);
    /// The cursor over a viewer-relative point; left alone for the arrow.
    virtual void GetCursor(toolkit::TPoint point, ui::HCURSOR& cursor);
    virtual void Entering(TTBItemViewer* oldSelected);
    virtual void Leaving();
    virtual void LosingCapture();

    // -- Executing -------------------------------------------------------------------------------------------
    /// Makes the menu loop end by running this item; whether it did.
    virtual bool DoExecute();
    /// DoExecute; with givePriority the view then keeps this viewer in sight first.
    void Execute(bool givePriority);
    /// Runs this viewer's accessibility action later, from the message loop (flag 1: execute).
    void PostDeferredCall(ui::WPARAM flag);
    /// The accessibility action as the deferred call runs it.
    void HandleAccAction(bool execute) override;
    /// This viewer's accessibility object, made on first request. The viewer keeps its own reference, which
    /// it gives up when it goes; a client that wants to keep the object takes one of its own.
    [[nodiscard]] TTBItemViewerAccObject* GetAccObject();
    /// Whether the view's window takes part: visible, enabled up to the top, and in the menu loop or the
    /// active window or one of its parents.
    [[nodiscard]] bool IsWindowUsable() const;

protected:
private:
    friend class TTBView;

    void PaintToolbarStyle(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
                           bool emboss);
    void PaintMenuStyle(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool emboss);
    [[nodiscard]] ui::UINT CaptionPrefixFormat() const;

    toolkit::TRect FBoundsRect;
    bool FScrolledOut = false;
    int FGroupLevel;
    TTBCustomItem* FItem;
    bool FOverflowed = false;
    bool FPlaced = false;
    TTBView* FView;
    bool FPaintPending = false;
    bool FDrawnAsLineBreak = false;
    TTBItemViewerAccObject* FAccObject = nullptr;  // one reference held
    toolkit::TSize FMeasuredSize{-1, -1};  // what CalcSize gave at the last layout that measured
};

/// The viewer of a separator: a gap with an etched line.
class TTBSeparatorItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;

    void CalcSize(toolkit::TCanvas* canvas, int& width, int& height) override;
    void Paint(toolkit::TCanvas* canvas, const toolkit::TRect& clientRect, bool selected, bool pushed,
               bool emboss) override;
    [[nodiscard]] bool UsesSameWidth() const override { return false; }
};

}  // namespace ovrel::toolbars
