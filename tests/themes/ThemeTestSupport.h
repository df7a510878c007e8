#pragma once
// The fixtures of the theme tests: a theme runtime per test over a colour table whose colours all differ, the
// layer's recording visual-styles backend, objects and controls that record the notifications they hear, and a canvas
// over an image whose pixels the tests read back.

#include "support/GdiTestSupport.h"

#include "themes/Nexus.h"
#include "themes/ThemeInterface.h"
#include "themes/ThemeManager.h"
#include "themes/ThemeRuntime.h"

#include "platform/ui/Services.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/VisualStyles.h"
#include "platform/ui/Window.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace ovrel::themes::testing {

using ui::testing::Canvas;

/// The system colours the tests tell apart; each differs from every other one used by the themes.
struct Palette {
    static constexpr ui::COLORREF Face = ui::RGB(212, 208, 200);
    static constexpr ui::COLORREF Shadow = ui::RGB(128, 128, 128);
    static constexpr ui::COLORREF Highlight = ui::RGB(255, 255, 255);
    static constexpr ui::COLORREF DarkShadow = ui::RGB(64, 64, 64);
    static constexpr ui::COLORREF Light = ui::RGB(224, 224, 224);
    static constexpr ui::COLORREF ButtonText = ui::RGB(40, 0, 0);
    static constexpr ui::COLORREF GrayText = ui::RGB(150, 150, 150);
    static constexpr ui::COLORREF Menu = ui::RGB(236, 233, 216);
    static constexpr ui::COLORREF MenuText = ui::RGB(0, 40, 0);
    static constexpr ui::COLORREF Window = ui::RGB(250, 250, 240);
    static constexpr ui::COLORREF WindowText = ui::RGB(0, 0, 40);
    static constexpr ui::COLORREF WindowFrame = ui::RGB(20, 20, 20);
    static constexpr ui::COLORREF Selection = ui::RGB(10, 36, 106);  // COLOR_HIGHLIGHT
    static constexpr ui::COLORREF SelectionText = ui::RGB(255, 255, 200);
    static constexpr ui::COLORREF ActiveCaption = ui::RGB(30, 60, 150);
    static constexpr ui::COLORREF GradientActiveCaption = ui::RGB(166, 202, 240);
    static constexpr ui::COLORREF InactiveCaption = ui::RGB(120, 120, 130);
    static constexpr ui::COLORREF GradientInactiveCaption = ui::RGB(190, 190, 200);

    static void Apply(ui::SystemTable& table)
    {
        auto& c = table.Colors;
        c[ui::COLOR_BTNFACE] = Face;
        c[ui::COLOR_BTNSHADOW] = Shadow;
        c[ui::COLOR_BTNHIGHLIGHT] = Highlight;
        c[ui::COLOR_3DDKSHADOW] = DarkShadow;
        c[ui::COLOR_3DLIGHT] = Light;
        c[ui::COLOR_BTNTEXT] = ButtonText;
        c[ui::COLOR_GRAYTEXT] = GrayText;
        c[ui::COLOR_MENU] = Menu;
        c[ui::COLOR_MENUTEXT] = MenuText;
        c[ui::COLOR_WINDOW] = Window;
        c[ui::COLOR_WINDOWTEXT] = WindowText;
        c[ui::COLOR_WINDOWFRAME] = WindowFrame;
        c[ui::COLOR_HIGHLIGHT] = Selection;
        c[ui::COLOR_HIGHLIGHTTEXT] = SelectionText;
        c[ui::COLOR_ACTIVECAPTION] = ActiveCaption;
        c[ui::COLOR_GRADIENTACTIVECAPTION] = GradientActiveCaption;
        c[ui::COLOR_INACTIVECAPTION] = InactiveCaption;
        c[ui::COLOR_GRADIENTINACTIVECAPTION] = GradientInactiveCaption;
    }
};

/// One message as a recorder heard it, with a tag naming the recorder.
struct Heard {
    std::string Who;
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    friend bool operator==(const Heard&, const Heard&) = default;
};
inline void PrintTo(const Heard& h, std::ostream* os) { *os << h.Who << ':' << std::hex << h.Msg << '/' << h.WParam; }

/// An object on the manager's notify list that logs what it hears into a shared log.
class RecordingObject : public toolkit::TObject {
public:
    RecordingObject(std::string name, std::vector<Heard>& log) : FName(std::move(name)), FLog(log) {}
    void Dispatch(toolkit::TMessage& message) override
    {
        FLog.push_back({FName, message.Msg, message.WParam});
        message.Result = Answer;
    }
    std::intptr_t Answer = 0;

private:
    std::string FName;
    std::vector<Heard>& FLog;
};

/// A control registered with the nexus that logs the theme changes it hears.
class RecordingControl : public toolkit::TControl {
public:
    RecordingControl(std::string name, std::vector<Heard>& log) : TControl(nullptr), FName(std::move(name)), FLog(log)
    {}
    std::function<void()> OnChanged;

protected:
    void WndProc(toolkit::TMessage& message) override
    {
        if (message.Msg == WM_TBX_THEMECHANGED) {
            FLog.push_back({FName, message.Msg, message.WParam});
            if (OnChanged)
                OnChanged();
            return;
        }
        TControl::WndProc(message);
    }

private:
    std::string FName;
    std::vector<Heard>& FLog;
};

/// A theme runtime for one test, over a fresh system table with the distinct palette; the application is
/// active. Everything is put back at the end.
class ThemeRuntimeTest : public ::testing::Test {
protected:
    ThemeRuntimeTest() { Palette::Apply(FTable.Table()); }

    void SetUp() override
    {
        FWasActive = ui::IsApplicationActive() != ui::FALSE;
        ui::SetApplicationActive(true);
        FRuntime = std::make_unique<TThemeRuntime>();
    }
    void TearDown() override
    {
        FRuntime.reset();
        ui::SetApplicationActive(FWasActive);
    }

    ui::SystemTable& Table() { return FTable.Table(); }
    TTBXTheme& Theme() { return *CurrentTheme(); }
    TTBXThemeManager& Manager() { return *GetThemeManager(); }
    /// Sends a system message to the manager's hidden window as the system would.
    void SendToManager(ui::UINT msg, ui::WPARAM wParam = 0)
    {
        ui::SendMessage(Manager().GetWindowHandle(), msg, wParam, 0);
    }

private:
    ui::SystemTableOverride FTable;
    std::unique_ptr<TThemeRuntime> FRuntime;
    bool FWasActive = true;
};

/// The paint information of an item in a view of that type.
inline TItemPaintInfo Item(int viewType, int options, bool enabled, std::uint8_t hover = HK_NONE)
{
    TItemPaintInfo info;
    info.ViewType = viewType;
    info.ItemOptions = options;
    info.Enabled = enabled;
    info.HoverKind = hover;
    return info;
}

/// A canvas of the class library over an image: draw through Canvas, read pixels through Image.
class PaintTarget {
public:
    PaintTarget(int width, int height, ui::COLORREF fill = ui::testing::White) : Image(width, height, fill)
    {
        Canvas.SetHandle(Image.Dc());
    }
    ~PaintTarget() { Canvas.SetHandle(nullptr); }
    PaintTarget(const PaintTarget&) = delete;
    PaintTarget& operator=(const PaintTarget&) = delete;

    ui::testing::Canvas Image;
    toolkit::TCanvas Canvas;
};

/// A list of 4 x 4 images with one red image; uncoveredCorner leaves its bottom-right pixel out.
inline void AddRedImage(toolkit::TImageList& images, bool uncoveredCorner = false)
{
    images.SetSize(4, 4);
    toolkit::TBitmap cell;
    cell.SetSize(4, 4);
    cell.GetCanvas()->GetBrush()->SetColor(toolkit::clRed);
    cell.GetCanvas()->FillRect(toolkit::Rect(0, 0, 4, 4));
    if (uncoveredCorner)
        cell.GetCanvas()->SetPixel(3, 3, toolkit::clWhite);
    images.AddMasked(&cell, toolkit::clWhite);
}

/// The bounds of the pixels of one colour inside area (all zeros when there are none).
inline toolkit::TRect InkOf(const ui::testing::Canvas& image, ui::COLORREF color,
                            toolkit::TRect area = toolkit::TRect{0, 0, 10000, 10000})
{
    toolkit::TRect r{image.Width(), image.Height(), 0, 0};
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, image.Height()); ++y)
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, image.Width()); ++x)
            if (image.At(x, y) == color) {
                r.left = std::min<ui::LONG>(r.left, x);
                r.top = std::min<ui::LONG>(r.top, y);
                r.right = std::max<ui::LONG>(r.right, x + 1);
                r.bottom = std::max<ui::LONG>(r.bottom, y + 1);
            }
    return r.right == 0 ? toolkit::TRect{} : r;
}

inline int Distance(ui::COLORREF a, ui::COLORREF b)
{
    const auto d = [](int x, int y) { return (x - y) * (x - y); };
    return d(ui::GetRValue(a), ui::GetRValue(b)) + d(ui::GetGValue(a), ui::GetGValue(b)) +
           d(ui::GetBValue(a), ui::GetBValue(b));
}

inline bool Nearer(ui::COLORREF pixel, ui::COLORREF to, ui::COLORREF than)
{
    return Distance(pixel, to) < Distance(pixel, than);
}

/// The bounds of the pixels of area nearer to color than to any of the others: text is drawn antialiased, so its
/// edges blend with what lies behind.
inline toolkit::TRect InkNear(const ui::testing::Canvas& image, ui::COLORREF color,
                              std::initializer_list<ui::COLORREF> others,
                              toolkit::TRect area = toolkit::TRect{0, 0, 10000, 10000})
{
    toolkit::TRect r{image.Width(), image.Height(), 0, 0};
    for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, image.Height()); ++y)
        for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, image.Width()); ++x) {
            const ui::COLORREF pixel = image.At(x, y);
            const int mine = Distance(pixel, color);
            if (std::all_of(others.begin(), others.end(), [&](ui::COLORREF o) { return mine < Distance(pixel, o); })) {
                r.left = std::min<ui::LONG>(r.left, x);
                r.top = std::min<ui::LONG>(r.top, y);
                r.right = std::max<ui::LONG>(r.right, x + 1);
                r.bottom = std::max<ui::LONG>(r.bottom, y + 1);
            }
        }
    return r.right == 0 ? toolkit::TRect{} : r;
}

}  // namespace ovrel::themes::testing
