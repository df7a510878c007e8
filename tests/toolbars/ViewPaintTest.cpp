// Views painting into windows, read back from the window's pixels: a new layout repaints through one bitmap,
// a single viewer repaints off-screen over the window's own background, the selection is painted last.
#include "ViewsTestSupport.h"

#include "platform/ui/SysTables.h"
#include "toolbars/Common.h"
#include "toolkit/Forms.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolbars {
namespace {

using namespace ovrel::toolbars::testing;
using toolkit::TRect;

std::vector<std::string>* PaintLog = nullptr;

// Writes its caption into PaintLog when painted.
class TRecordingViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    void Paint(toolkit::TCanvas* canvas, const TRect& clientRect, bool selected, bool pushed, bool emboss) override
    {
        if (PaintLog != nullptr)
            PaintLog->push_back(GetCaptionText());
        TTBItemViewer::Paint(canvas, clientRect, selected, pushed, emboss);
    }
};

class TRecordingItem : public TTBCustomItem {
public:
    using TTBCustomItem::TTBCustomItem;
    [[nodiscard]] TTBItemViewerClass GetItemViewerClass(TTBView*) const override
    {
        return TTBItemViewerClass::Of<TRecordingViewer>();
    }
};

QRgb Rgb(ui::COLORREF c) { return qRgb(ui::GetRValue(c), ui::GetGValue(c), ui::GetBValue(c)) & 0xFFFFFF; }

class ViewPainting : public ::testing::Test {
protected:
    ViewPainting()
    {
        PaintLog = &Log;
        Form->SetBounds(0, 0, 400, 300);
        Window->SetParent(Form.get());
        Window->SetBounds(10, 10, 200, 150);
        Window->SetColor(toolkit::clMenu);
        for (const char* caption : {"&Open", "&Save", "E&xit"})
            AddChild<TRecordingItem>(Items.get(), caption);
        View.reset(TTBView::CreateView(TTBViewClass::Of<TTBView>(), nullptr, nullptr, Items.get(), Window, false, false,
                                       false));
        Window->View = View.get();
        Form->Show();
        View->EnsureLayout();
        FlushPaints();
    }
    ~ViewPainting() override
    {
        Window->View = nullptr;
        View.reset();
        PaintLog = nullptr;
    }

    void FlushPaints()
    {
        ui::UpdateWindow(Window->GetHandle());
        Log.clear();
        Window->PaintsIntoGivenDC = 0;
        Window->ErasesIntoGivenDC = 0;
    }
    [[nodiscard]] QRgb Pixel(int x, int y) const
    {
        return ui::GetWindowImage(Window->GetHandle())->pixel(x, y) & 0xFFFFFF;
    }
    [[nodiscard]] bool Validated() const
    {
        ui::RECT update{};
        return ui::GetUpdateRect(Window->GetHandle(), &update, ui::FALSE) == ui::FALSE;
    }

    std::vector<std::string> Log;
    ItemPtr Items = MakeRoot();
    std::unique_ptr<toolkit::TForm> Form = std::make_unique<toolkit::TForm>(nullptr);
    TViewWindow* Window = new TViewWindow(Form.get());
    std::unique_ptr<TTBView> View;
};

TEST_F(ViewPainting, ANewLayoutRepaintsTheWholeWindowThroughOneBitmap)
{
    AddChild<TRecordingItem>(Items.get(), "&Print");
    EXPECT_EQ(Window->PaintsIntoGivenDC, 1);
    EXPECT_EQ(Window->ErasesIntoGivenDC, 1);
    EXPECT_EQ(Log, (std::vector<std::string>{"&Open", "&Save", "E&xit", "&Print"}));
    EXPECT_TRUE(Validated()) << "nothing is left to paint again";
    // The new row shows: some of its pixels are text, not background.
    const TRect& row = View->GetViewer(3)->GetBoundsRect();
    int text = 0;
    for (int y = row.top; y < row.bottom; ++y)
        for (int x = row.left; x < row.right; ++x)
            text += Pixel(x, y) != Rgb(ui::GetSysColor(ui::COLOR_MENU)) ? 1 : 0;
    EXPECT_GT(text, 0);

    // A layout that changes nothing paints nothing.
    View->InvalidatePositions();
    FlushPaints();
    View->EnsureLayout();
    EXPECT_EQ(Window->PaintsIntoGivenDC, 0);
    EXPECT_TRUE(Log.empty());
}

TEST_F(ViewPainting, TheSelectionIsPaintedLastUnlessDrawnInOrder)
{
    View->Select(View->GetViewer(1));
    FlushPaints();
    Window->Repaint();
    EXPECT_EQ(Log, (std::vector<std::string>{"&Open", "E&xit", "&Save"}));

    View->SetState(View->GetState() | ViewStateDrawInOrder);
    Log.clear();
    Window->Repaint();
    EXPECT_EQ(Log, (std::vector<std::string>{"&Open", "&Save", "E&xit"}));
    EXPECT_EQ(View->GetState() & ViewStateDrawInOrder, 0) << "for one paint only";
    Log.clear();
    Window->Repaint();
    EXPECT_EQ(Log.back(), "&Save");
}

TEST_F(ViewPainting, ASelectedViewerRepaintsAloneOffscreenInTheHighlight)
{
    TTBItemViewer* save = View->GetViewer(1);
    View->Select(save);  // its item asks for a repaint when selected
    EXPECT_TRUE(save->GetPaintPending());
    ui::UpdateWindow(Window->GetHandle());
    EXPECT_FALSE(save->GetPaintPending());
    EXPECT_EQ(Window->ErasesIntoGivenDC, 1) << "the viewer's bitmap gets the window's background first";
    const TRect& r = save->GetBoundsRect();
    EXPECT_EQ(Pixel(r.right - 2, (r.top + r.bottom) / 2), Rgb(ui::GetSysColor(ui::COLOR_HIGHLIGHT)));
    const TRect& open = View->GetViewer(0)->GetBoundsRect();
    EXPECT_EQ(Pixel(open.right - 2, (open.top + open.bottom) / 2), Rgb(ui::GetSysColor(ui::COLOR_MENU)));
}

TEST_F(ViewPainting, AMenuSeparatorIsAnEtchedLineInsetFromBothSides)
{
    Items->Insert(1, new TTBSeparatorItem(nullptr));
    ui::UpdateWindow(Window->GetHandle());
    const TRect& r = View->GetViewer(1)->GetBoundsRect();
    const int line = r.top + (r.bottom - r.top) / 2 - 1;
    EXPECT_EQ(Pixel(r.left + 12, line), Rgb(ui::GetSysColor(ui::COLOR_BTNSHADOW)));
    EXPECT_EQ(Pixel(r.left + 12, line + 1), Rgb(ui::GetSysColor(ui::COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(Pixel(r.left + 11, line), Rgb(ui::GetSysColor(ui::COLOR_MENU)));
    EXPECT_EQ(Pixel(r.right - 12, line), Rgb(ui::GetSysColor(ui::COLOR_MENU)));
}

TEST_F(ViewPainting, DisabledItemsAreEmbossedWhereGreyTextWouldNotShow)
{
    const auto highlights = [this](const TRect& r) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += Pixel(x, y) == Rgb(ui::GetSysColor(ui::COLOR_BTNHIGHLIGHT)) ? 1 : 0;
        return n;
    };
    Items->GetItem(1)->SetEnabled(false);
    const TRect r = View->GetViewer(1)->GetBoundsRect();
    for (const auto& [color, embossed] : {std::pair{toolkit::clBtnFace, true}, std::pair{toolkit::clYellow, false}}) {
        SCOPED_TRACE(embossed ? "on button face" : "on yellow");
        Window->SetColor(color);
        Window->Repaint();
        EXPECT_EQ(highlights(r) > 0, embossed);
    }
}

TEST_F(ViewPainting, AcceleratorUnderlinesFollowTheSystemUnlessShown)
{
    ui::SystemTableOverride table;
    table.Table().KeyboardCues = ui::FALSE;  // underlines only once the keyboard is used
    View->SetStyle(ViewStyleAccelsFollowSystem);
    View->SetAccelsVisibility(true);
    EXPECT_NE(View->GetState() & ViewStateAccelsShown, 0);
    EXPECT_TRUE(View->GetViewer(0)->GetPaintPending()) << "captions with a mark repaint";
    ui::UpdateWindow(Window->GetHandle());
    View->SetAccelsVisibility(false);
    EXPECT_EQ(View->GetState() & ViewStateAccelsShown, 0);

    table.Table().KeyboardCues = ui::TRUE;  // always shown: hiding them leaves them
    View->SetAccelsVisibility(false);
    EXPECT_NE(View->GetState() & ViewStateAccelsShown, 0);
    View->SetStyle(0);
    View->SetAccelsVisibility(false);
    EXPECT_EQ(View->GetState() & ViewStateAccelsShown, 0);
}

}  // namespace
}  // namespace ovrel::toolbars
