#pragma once
// The fixture of the themed item and viewer tests: the recording theme as the current theme, a view of the
// framework shown in a window on a form that answers the view type the test chooses, items of the themed
// classes under one root, a 12 x 10 image list, and text measured by GetTextExtentPoint32 in DejaVu Sans.

#include "RecordingTheme.h"
#include "toolbars/ViewsTestSupport.h"

#include "themes/ThemedItems.h"
#include "themes/ThemedViewers.h"

#include "platform/ui/Gdi.h"
#include "toolbars/View.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace ovrel::themes::testing {

/// A window showing a view that answers WM_TBX_GETVIEWTYPE with ViewType.
class TViewTypeWindow : public toolbars::testing::TViewWindow {
public:
    using TViewWindow::TViewWindow;
    int ViewType = 0;
    void Dispatch(toolkit::TMessage& message) override
    {
        if (message.Msg == WM_TBX_GETVIEWTYPE) {
            message.Result = ViewType;
            return;
        }
        TViewWindow::Dispatch(message);
    }
};

/// The extent of text in font, on the screen.
inline toolkit::TSize TextExtent(const toolkit::TFont& font, std::string_view text)
{
    ui::HDC dc = ui::GetDC(nullptr);
    ui::HGDIOBJ old = ui::SelectObject(dc, font.GetHandle());
    toolkit::TSize size{0, 0};
    ui::GetTextExtentPoint32(dc, text, &size);
    ui::SelectObject(dc, old);
    ui::ReleaseDC(nullptr, dc);
    return size;
}

inline ui::TEXTMETRIC FontMetrics(const toolkit::TFont& font)
{
    ui::HDC dc = ui::GetDC(nullptr);
    ui::HGDIOBJ old = ui::SelectObject(dc, font.GetHandle());
    ui::TEXTMETRIC metrics;
    ui::GetTextMetrics(dc, &metrics);
    ui::SelectObject(dc, old);
    ui::ReleaseDC(nullptr, dc);
    return metrics;
}

inline int Width(const toolkit::TRect& r) { return r.right - r.left; }
inline int Height(const toolkit::TRect& r) { return r.bottom - r.top; }

class ThemedViewTest : public RecordingThemeTest {
protected:
    static constexpr int ImageWidth = 12;
    static constexpr int ImageHeight = 10;

    void SetUp() override
    {
        RecordingThemeTest::SetUp();
        Font.SetName("DejaVu Sans");
        Font.SetSize(9);
        Images = std::make_unique<toolkit::TImageList>(nullptr);
        Images->SetSize(ImageWidth, ImageHeight);
        toolkit::TBitmap strip;
        strip.SetSize(2 * ImageWidth, ImageHeight);
        strip.GetCanvas()->GetBrush()->SetColor(toolkit::clRed);
        strip.GetCanvas()->FillRect(toolkit::TRect{0, 0, 2 * ImageWidth, ImageHeight});
        Images->AddMasked(&strip, toolkit::clWhite);  // two images
        Root = std::make_unique<TTBXRootItem>(nullptr);
        Form = std::make_unique<toolkit::TForm>(nullptr);
        Form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override
    {
        if (Window != nullptr)
            Window->View = nullptr;
        View.reset();
        Root.reset();
        Form.reset();
        Images.reset();
        RecordingThemeTest::TearDown();
    }

    template <class T = TTBXItem> T* Add(const std::string& caption)
    {
        auto* item = new T(nullptr);
        item->SetCaption(caption);
        Root->Add(item);
        return item;
    }

    /// A view of Root's children in a window of viewType on the shown form, laid out.
    toolbars::TTBView& ShowView(bool isToolbar, int viewType,
                                toolbars::TTBViewOrientation orientation = toolbars::tbvoHorizontal)
    {
        Window = new TViewTypeWindow(Form.get());
        Window->SetParent(Form.get());
        Window->SetBounds(10, 10, 300, 200);
        Window->ViewType = viewType;
        auto* view = static_cast<toolbars::testing::TTestView*>(
            toolbars::TTBView::CreateView(toolbars::TTBViewClass::Of<toolbars::testing::TTestView>(), nullptr, nullptr,
                                          Root.get(), Window, isToolbar, false, false));
        view->Font = &Font;
        View.reset(view);
        View->SetOrientation(orientation);
        Window->View = View.get();
        Form->Show();
        View->EnsureLayout();
        return *View;
    }

    [[nodiscard]] TTBXItemViewer& ViewerOf(const toolbars::TTBCustomItem* item) const
    {
        return static_cast<TTBXItemViewer&>(*View->FindViewerOfItem(item));
    }

    /// The viewer's size as it measures itself on a canvas in the view's font.
    toolkit::TSize Measure(toolbars::TTBItemViewer& viewer)
    {
        PaintTarget target(1, 1);
        target.Canvas.GetFont()->Assign(&Font);
        int width = 0;
        int height = 0;
        viewer.CalcSize(&target.Canvas, width, height);
        return toolkit::TSize{width, height};
    }

    /// Paints the viewer as its view does (selection and pushed state from the view) and leaves the theme's
    /// calls of that paint in Recorder().Calls.
    void Paint(toolbars::TTBItemViewer& viewer)
    {
        Recorder().Calls.clear();
        View->PaintViewer(&viewer, &Target.Canvas, false);
    }

    [[nodiscard]] int Metric(int index) { return Recorder().GetIntegerMetric(index); }
    [[nodiscard]] toolkit::TSize Text(std::string_view text) const { return TextExtent(Font, text); }

    toolkit::TFont Font;
    std::unique_ptr<toolkit::TImageList> Images;
    std::unique_ptr<TTBXRootItem> Root;
    std::unique_ptr<toolkit::TForm> Form;
    TViewTypeWindow* Window = nullptr;  // owned by the form
    std::unique_ptr<toolbars::TTBView> View;
    PaintTarget Target{400, 100};
};

}  // namespace ovrel::themes::testing
