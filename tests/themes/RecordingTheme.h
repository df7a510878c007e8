#pragma once
// A theme that answers as the test configures it and records every paint and every question about an item,
// each with a copy of the information record it was given; and a fixture that makes it the current theme
// of a running theme runtime.

#include "ThemeTestSupport.h"

#include "themes/Nexus.h"
#include "themes/ThemeInterface.h"

#include "toolkit/Graphics.h"

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ovrel::themes::testing {

/// One call of the theme. Fields the call has no use for stay at their defaults.
struct ThemeCall {
    explicit ThemeCall(std::string name, toolkit::TRect rect = {}, const TItemPaintInfo& info = {})
        : Name(std::move(name)), Rect(rect), Info(info)
    {}

    std::string Name;
    toolkit::TRect Rect{};
    TItemPaintInfo Info;
    std::string Text;  // a caption
    ui::UINT Format = 0;
    bool Rotated = false;  // PaintCaption
    bool Horizontal = false;  // PaintSeparator
    bool LineSeparator = false;
    int ImageIndex = -1;
    toolkit::TColor FontColor = toolkit::clNone;  // the canvas font's colour when the call came
    TPopupInfo Popup;
    int ViewType = 0;  // of the view questions
};

class RecordingTheme : public TTBXTheme {
public:
    using TTBXTheme::TTBXTheme;

    /// Sizes by index; an index not listed answers -1, as an unknown one does. Every value differs, so a
    /// size taken from the wrong metric shows.
    std::map<int, int> IntegerMetrics{{10, 13}, {20, 9}, {21, 3}, {30, 2},  {31, 5},
                                      {32, 1},  {33, 4}, {34, 7}, {35, -1}, {50, -1}};
    std::map<int, bool> BooleanMetrics;
    toolkit::TColor ItemTextColor = toolkit::clMaroon;
    toolkit::TColor ViewColor = toolkit::clTeal;
    toolkit::TPoint ImageOffset{1, 2};
    toolkit::TPoint ViewBorder{3, 3};
    int ShadowType = PST_WINDOWSXP;
    mutable std::vector<ThemeCall> Calls;

    /// The names of the calls in order, of those whose name starts with prefix ("Paint" by default).
    [[nodiscard]] std::vector<std::string> Names(std::string_view prefix = "Paint") const
    {
        std::vector<std::string> names;
        for (const ThemeCall& call : Calls)
            if (call.Name.starts_with(prefix))
                names.push_back(call.Name);
        return names;
    }
    /// The calls of that name, in order.
    [[nodiscard]] std::vector<ThemeCall> Of(std::string_view name) const
    {
        std::vector<ThemeCall> calls;
        std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(calls),
                     [name](const ThemeCall& c) { return c.Name == name; });
        return calls;
    }

    toolkit::TPoint GetImageOffset(toolkit::TCanvas&, const TItemPaintInfo& info,
                                   const toolkit::TCustomImageList*) const override
    {
        Record("GetImageOffset", {}, info);
        return ImageOffset;
    }
    toolkit::TColor GetItemColor(const TItemPaintInfo& info) const override
    {
        Record("GetItemColor", {}, info);
        return toolkit::clNone;
    }
    toolkit::TColor GetItemTextColor(const TItemPaintInfo& info) const override
    {
        Record("GetItemTextColor", {}, info);
        return ItemTextColor;
    }
    toolkit::TColor GetItemImageBackground(const TItemPaintInfo& info) const override
    {
        Record("GetItemImageBackground", {}, info);
        return toolkit::clNone;
    }
    void GetMargins(int, TTBXMargins& margins) const override { margins = TTBXMargins{}; }
    int GetPopupShadowType() const override { return ShadowType; }
    toolkit::TPoint GetViewBorder(int viewType) const override
    {
        ThemeCall call{"GetViewBorder"};
        call.ViewType = viewType;
        Calls.push_back(call);
        return ViewBorder;
    }
    toolkit::TColor GetViewColor(int viewType) const override
    {
        ThemeCall call{"GetViewColor"};
        call.ViewType = viewType;
        Calls.push_back(call);
        return ViewColor;
    }
    void GetViewMargins(int, TTBXMargins& margins) const override { margins = TTBXMargins{}; }
    void PaintBackground(toolkit::TCanvas&, const toolkit::TRect& rect, const toolkit::TRect&, toolkit::TColor, bool,
                         int viewType) const override
    {
        ThemeCall call{"PaintBackground", rect};
        call.ViewType = viewType;
        Calls.push_back(call);
    }
    void PaintButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override
    {
        Record("PaintButton", rect, info, &canvas);
    }
    void PaintCaption(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                      std::string_view caption, ui::UINT format, bool rotated) const override
    {
        ThemeCall& call = Record("PaintCaption", rect, info, &canvas);
        call.Text = std::string(caption);
        call.Format = format;
        call.Rotated = rotated;
    }
    void PaintCheckMark(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override
    {
        Record("PaintCheckMark", rect, info, &canvas);
    }
    void PaintChevron(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override
    {
        Record("PaintChevron", rect, info, &canvas);
    }
    void PaintEditFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                        const TEditFrameInfo&) const override
    {
        Record("PaintEditFrame", rect, info, &canvas);
    }
    void PaintEditButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                         const TEditButtonInfo&) const override
    {
        Record("PaintEditButton", rect, info, &canvas);
    }
    void PaintDock(toolkit::TCanvas&, const toolkit::TRect& clientRect, const toolkit::TRect&, int) const override
    {
        Calls.push_back(ThemeCall{"PaintDock", clientRect});
    }
    void PaintDockPanelNCArea(toolkit::TCanvas&, const toolkit::TRect& rect, const TFramePaintInfo&) const override
    {
        Calls.push_back(ThemeCall{"PaintDockPanelNCArea", rect});
    }
    void PaintDropDownArrow(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                            const TItemPaintInfo& info) const override
    {
        Record("PaintDropDownArrow", rect, info, &canvas);
    }
    void PaintFloatingBorder(toolkit::TCanvas&, const toolkit::TRect& rect, const TFloatingWindowInfo&) const override
    {
        Calls.push_back(ThemeCall{"PaintFloatingBorder", rect});
    }
    void PaintFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override
    {
        Record("PaintFrame", rect, info, &canvas);
    }
    void PaintImage(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                    const toolkit::TCustomImageList*, int imageIndex) const override
    {
        Record("PaintImage", rect, info, &canvas).ImageIndex = imageIndex;
    }
    void PaintCaptionButton(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                            int) const override
    {
        Record("PaintCaptionButton", rect, info, &canvas);
    }
    void PaintMenuItem(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info) const override
    {
        Record("PaintMenuItem", rect, info, &canvas);
    }
    void PaintMenuItemFrame(toolkit::TCanvas& canvas, const toolkit::TRect& rect,
                            const TItemPaintInfo& info) const override
    {
        Record("PaintMenuItemFrame", rect, info, &canvas);
    }
    void PaintArrowButton(toolkit::TCanvas&, const toolkit::TRect& rect, int, bool) const override
    {
        Calls.push_back(ThemeCall{"PaintArrowButton", rect});
    }
    void PaintPopupNCArea(ui::HWND, ui::HDC, const TPopupInfo& info) const override
    {
        ThemeCall call{"PaintPopupNCArea"};
        call.Popup = info;
        call.ViewType = info.ViewType;
        Calls.push_back(call);
    }
    void PaintSeparator(toolkit::TCanvas& canvas, const toolkit::TRect& rect, const TItemPaintInfo& info,
                        bool horizontal, bool lineSeparator) const override
    {
        ThemeCall& call = Record("PaintSeparator", rect, info, &canvas);
        call.Horizontal = horizontal;
        call.LineSeparator = lineSeparator;
    }
    void PaintToolbarNCArea(toolkit::TCanvas&, const toolkit::TRect& rect, const TFramePaintInfo&) const override
    {
        Calls.push_back(ThemeCall{"PaintToolbarNCArea", rect});
    }
    void PaintFrameControl(toolkit::TCanvas&, const toolkit::TRect& rect, int, int) const override
    {
        Calls.push_back(ThemeCall{"PaintFrameControl", rect});
    }
    void PaintStatusBar(toolkit::TCanvas&, const toolkit::TRect& rect, int) const override
    {
        Calls.push_back(ThemeCall{"PaintStatusBar", rect});
    }
    int GetIntegerMetric(int index) const override
    {
        const auto found = IntegerMetrics.find(index);
        return found != IntegerMetrics.end() ? found->second : -1;
    }
    bool GetBooleanMetric(int index) const override
    {
        const auto found = BooleanMetrics.find(index);
        return found != BooleanMetrics.end() && found->second;
    }

private:
    ThemeCall& Record(const char* name, const toolkit::TRect& rect, const TItemPaintInfo& info,
                      toolkit::TCanvas* canvas = nullptr) const
    {
        ThemeCall call(name, rect, info);
        if (canvas != nullptr)
            call.FontColor = canvas->GetFont()->GetColor();
        Calls.push_back(call);
        return Calls.back();
    }
};

/// A theme runtime whose current theme is a RecordingTheme.
class RecordingThemeTest : public ThemeRuntimeTest {
protected:
    void SetUp() override
    {
        ThemeRuntimeTest::SetUp();
        // Before any themed control registers with the nexus, which goes with its theme.
        StopNexus();
        RegisterTheme("Recording", [](const std::string& name) { return std::make_unique<RecordingTheme>(name); });
        StartNexus("Recording");
    }

    RecordingTheme& Recorder() { return static_cast<RecordingTheme&>(Theme()); }
};

}  // namespace ovrel::themes::testing
