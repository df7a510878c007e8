#pragma once
// The program's one theme, "Default": a classic look drawn from the system colours.

#include "themes/ThemeInterface.h"

#include <string>

namespace ovrel::themes {

class TTBXDefaultTheme : public TTBXTheme {
public:
    explicit TTBXDefaultTheme(std::string name);

    /// The toolbar background: the manager's toolbar fill colour, re-read at the second step of a change.
    [[nodiscard]] toolkit::TColor GetToolbarColor() const { return FToolbarColor; }

    [[nodiscard]] toolkit::TPoint GetImageOffset(toolkit::TCanvas& canvas, const TItemPaintInfo& info,
                                                 const toolkit::TCustomImageList* imageList) const override;
    [[nodiscard]] toolkit::TColor GetItemColor(const TItemPaintInfo& info) const override;
    [[nodiscard]] toolkit::TColor GetItemTextColor(const TItemPaintInfo& info) const override;
    [[nodiscard]] toolkit::TColor GetItemImageBackground(const TItemPaintInfo& info) const override;
    void GetMargins(int kind, TTBXMargins& margins) const override;
    [[nodiscard]] int GetPopupShadowType() const override;
    [[nodiscard]] toolkit::TPoint GetViewBorder(int viewType) const override;
    [[nodiscard]] toolkit::TColor GetViewColor(int viewType) const override;
    void GetViewMargins(int viewType, TTBXMargins& margins) const override;
    void PaintBackground(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const toolkit::TRect& clipRect,
                         toolkit::TColor color, bool transparent, int viewType) const override;
    void PaintButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override;
    void PaintCaption(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                      std::string_view caption, ui::UINT format, bool rotated) const override;
    void PaintCheckMark(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                        const TItemPaintInfo& info) const override;
    void PaintChevron(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override;
    void PaintEditFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                        const TEditFrameInfo& editInfo) const override;
    void PaintEditButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                         const TEditButtonInfo& buttonInfo) const override;
    void PaintDock(toolkit::TCanvas& canvas, const toolkit::TRect& clientRect, const toolkit::TRect& dockRect,
                   int dockPosition) const override;
    void PaintDockPanelNCArea(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                              const TFramePaintInfo& info) const override;
    void PaintDropDownArrow(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                            const TItemPaintInfo& info) const override;
    void PaintFloatingBorder(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                             const TFloatingWindowInfo& info) const override;
    void PaintFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override;
    void PaintImage(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                    const toolkit::TCustomImageList* imageList, int imageIndex) const override;
    void PaintCaptionButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                            int buttonKind) const override;
    void PaintMenuItem(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override;
    void PaintMenuItemFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                            const TItemPaintInfo& info) const override;
    void PaintArrowButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int direction,
                          bool pressed) const override;
    void PaintPopupNCArea(ui::HWND window, ui::HDC dc, const TPopupInfo& info) const override;
    void PaintSeparator(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                        bool horizontal, bool lineSeparator) const override;
    void PaintToolbarNCArea(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                            const TFramePaintInfo& info) const override;
    void PaintFrameControl(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int kind, int state) const override;
    void PaintStatusBar(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int part) const override;
    [[nodiscard]] int GetIntegerMetric(int index) const override;
    [[nodiscard]] bool GetBooleanMetric(int index) const override;

    void Dispatch(toolkit::TMessage& message) override;

private:
    void UpdateColors();
    /// The "WINDOW" visual style's parts for the border, caption and close button of a floating frame.
    void PaintStyledFloatingBorder(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                                   const TFloatingWindowInfo& info) const;
    /// styled: through the toolbar visual style instead of edges.
    void PaintCloseButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, int state, bool tall,
                          bool styled) const;

    toolkit::TColor FToolbarColor = toolkit::clBtnFace;
};

}  // namespace ovrel::themes
