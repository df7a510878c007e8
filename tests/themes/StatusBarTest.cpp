// The themed status bar on a shown form: the layout of its panels and their controls, the guard and moves of
// embedded controls, panel copies, the size grip and its hit code, clicks and hints per panel, and the paint
// read back from pixels.

#include "ThemedControlsTestSupport.h"

#include "themes/StatusBars.h"

#include "toolbars/Items.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace ovrel::themes {
namespace {

using namespace ovrel::toolkit;
using testing::InkNear;
using testing::InkOf;
using testing::Palette;
using testing::Shot;

constexpr ui::COLORREF Face = Palette::Face;
constexpr ui::COLORREF Sh = Palette::Shadow;
constexpr ui::COLORREF Hl = Palette::Highlight;
constexpr ui::COLORREF Text = Palette::ButtonText;

// What the bar's click events said, in order.
struct BarEvents {
    std::vector<std::string> Events;
    void Clicked(TObject*) { Events.push_back("click"); }
    void DblClicked(TObject*) { Events.push_back("double click"); }
    void PanelClicked(TObject*, TTBXStatusPanel* panel)
    {
        Events.push_back("panel click " + std::to_string(panel->GetIndex()));
    }
    void PanelDblClicked(TObject*, TTBXStatusPanel* panel)
    {
        Events.push_back("panel double click " + std::to_string(panel->GetIndex()));
    }
};

class StatusBarTest : public testing::ThemedControlTest {
protected:
    void SetUp() override
    {
        ThemedControlTest::SetUp();
        Bar = new TTBXStatusBar(Form.get());
        Bar->SetParent(Form.get());
    }

    TTBXStatusPanel* AddPanel(int size, int viewPriority = 100, int stretchPriority = 0)
    {
        TTBXStatusPanel* panel = Bar->GetPanels()->Add();
        panel->SetSize(size);
        panel->SetViewPriority(viewPriority);
        panel->SetStretchPriority(stretchPriority);
        return panel;
    }
    TWinControl* AddControl(const std::string& name = std::string())
    {
        auto* control = new TPanel(Form.get());
        control->SetName(name);
        return control;
    }
    TTBXStatusBar* Bar = nullptr;
    std::vector<std::string> ShownHints;  // outlives the form, whose freeing may still hide a hint
};

// ---- Layout --------------------------------------------------------------------------------------------------

TEST_F(StatusBarTest, LaysOutPanelsByPriorityAndPutsTheirControlsInsideTheContentMargins)
{
    Form->SetWidth(220);
    TTBXStatusPanel* panels[] = {AddPanel(100, 100), AddPanel(100, 50), AddPanel(100, 20)};
    TWinControl* controls[3];
    for (int i = 0; i < 3; ++i) {
        controls[i] = AddControl();
        panels[i]->SetControl(controls[i]);
    }
    ASSERT_EQ(Bar->GetBoundsRect(), Rect(0, 178, 220, 200));
    // The theme's status-pane margins: left 1, right 3, top 1, bottom 1.
    EXPECT_EQ(panels[0]->GetBoundsRect(), Rect(0, 2, 100, 22));
    EXPECT_EQ(controls[0]->GetBoundsRect(), Rect(1, 3, 97, 21));
    EXPECT_EQ(controls[1]->GetBoundsRect(), Rect(101, 3, 197, 21));
    EXPECT_FALSE(panels[2]->GetShown()) << "the lowest view priority gives way";
    EXPECT_EQ(panels[2]->GetBoundsRect(), TRect{});
    EXPECT_EQ(controls[2]->GetBoundsRect(), TRect{});
    EXPECT_FALSE(panels[1]->GetAtRightEdge()) << "20 pixels stay empty";

    panels[1]->SetStretchPriority(10);
    EXPECT_EQ(panels[1]->GetBoundsRect(), Rect(100, 2, 220, 22));
    EXPECT_TRUE(panels[1]->GetAtRightEdge());
    EXPECT_EQ(controls[1]->GetBoundsRect(), Rect(101, 3, 217, 21));

    // A wider form resizes the bar, which lays itself out again: now everything fits.
    Form->SetWidth(330);
    EXPECT_EQ(panels[1]->GetBoundsRect(), Rect(100, 2, 230, 22));
    EXPECT_EQ(panels[2]->GetBoundsRect(), Rect(230, 2, 330, 22));
    EXPECT_TRUE(panels[2]->GetAtRightEdge());
    EXPECT_EQ(controls[2]->GetBoundsRect(), Rect(231, 3, 327, 21));

    // An unframed panel hands its whole rectangle to its control.
    panels[2]->SetFramed(false);
    EXPECT_EQ(controls[2]->GetBoundsRect(), Rect(230, 2, 330, 22));
}

TEST_F(StatusBarTest, TheMainWindowsBarShowsPanelOnesTextAfterItsEightPixels)
{
    Form->SetWidth(640);
    TTBXStatusPanel* left = AddPanel(8);
    TTBXStatusPanel* text = AddPanel(800);
    left->SetFramed(false);
    text->SetFramed(false);
    Bar->SetUseSystemFont(false);
    Bar->GetPanels()->GetItem(1)->SetCaption("Shows the properties of the selected images");
    EXPECT_EQ(text->GetBoundsRect(), Rect(8, 2, 808, 22)) << "shown, though it reaches past the bar";

    Shot shot(*Bar);
    const TRect ink = InkNear(shot.Image, Text, {Face, Sh, Hl});
    EXPECT_GE(ink.left, 9) << "after the first panel and the one-pixel inset";
    EXPECT_LE(ink.left, 11) << "left aligned";
    EXPECT_GT(ink.right, 150);
    EXPECT_GT(ink.top, 2);
    EXPECT_LT(ink.bottom, 22);
    // Unframed: no panel edges, just the face behind the text.
    EXPECT_EQ(InkOf(shot.Image, Sh, Rect(0, 0, 600, 22)), TRect{});
    EXPECT_EQ(shot.Image.At(4, 12), Face);
}

TEST_F(StatusBarTest, AThemeChangeReachesTheBarWhileItLives)
{
    class CountingBar : public TTBXStatusBar {
    public:
        using TTBXStatusBar::TTBXStatusBar;
        void UpdatePanels() override
        {
            ++Updates;
            TTBXStatusBar::UpdatePanels();
        }
        int Updates = 0;
    };
    auto* bar = new CountingBar(Form.get());
    bar->SetParent(Form.get());
    bar->Updates = 0;
    SendToManager(ui::WM_SYSCOLORCHANGE);
    EXPECT_EQ(bar->Updates, 3) << "notifications 1, 2 and 3 each lay the bar out";
    delete bar;
    const auto& listed = GetNexus()->GetNotifies();
    EXPECT_EQ(std::find(listed.begin(), listed.end(), static_cast<TControl*>(bar)), listed.end());
}

TEST_F(StatusBarTest, FixAlignBringsAReshownBarBelowTheOtherBottomControls)
{
    for (const bool fixAlign : {false, true}) {
        SCOPED_TRACE(fixAlign ? "FixAlign" : "plain");
        auto* other = new TPanel(Form.get());
        other->SetParent(Form.get());
        other->SetHeight(30);
        other->SetAlign(alBottom);
        ASSERT_EQ(other->GetTop(), 148) << "aligned after the bar, so above it";
        Bar->SetFixAlign(fixAlign);
        Bar->Hide();
        Bar->SetTop(0);  // where a bar made at run time starts
        Bar->Show();
        EXPECT_EQ(Bar->GetTop(), fixAlign ? 178 : 148);
        delete other;
    }
}

TEST_F(StatusBarTest, DisplayNameIsTheCaptionElseTheControlsNameElseTheClass)
{
    TTBXStatusPanel* panel = AddPanel(50);
    EXPECT_EQ(panel->GetDisplayName(), "TTBXStatusPanel");
    panel->SetControl(AddControl("Progress"));
    EXPECT_EQ(panel->GetDisplayName(), "[ Progress ]");
    panel->SetCaption("Ready");
    EXPECT_EQ(panel->GetDisplayName(), "Ready");
}

// ---- Embedded controls ---------------------------------------------------------------------------------------

TEST_F(StatusBarTest, SetControlRefusesTheBarsOwnParentsAndMovesAControlBetweenPanels)
{
    auto* host = new TPanel(Form.get());
    host->SetParent(Form.get());
    host->SetAlign(alClient);
    Bar->SetParent(host);
    TTBXStatusPanel* first = AddPanel(100);
    TTBXStatusPanel* second = AddPanel(100);
    for (TControl* parent :
         {static_cast<TControl*>(Bar), static_cast<TControl*>(host), static_cast<TControl*>(Form.get())}) {
        try {
            first->SetControl(parent);
            ADD_FAILURE() << "accepted " << ClassNameOf(*parent);
        } catch (const EInvalidOperation& error) {
            EXPECT_STREQ(error.what(), "Can't insert own parent");
        }
        EXPECT_EQ(first->GetControl(), nullptr);
        EXPECT_EQ(Bar->GetParent(), host);
    }

    TWinControl* edit = AddControl();
    first->SetControl(edit);
    EXPECT_EQ(edit->GetParent(), Bar);
    EXPECT_EQ(edit->GetBoundsRect(), Rect(1, 3, 97, 21));
    second->SetControl(edit);
    EXPECT_EQ(first->GetControl(), nullptr) << "taken from the panel that held it";
    EXPECT_EQ(Bar->GetPanels()->FindPanel(edit), second);
    EXPECT_EQ(edit->GetBoundsRect(), Rect(101, 3, 197, 21));

    delete edit;
    EXPECT_EQ(second->GetControl(), nullptr) << "a freed control leaves its panel";
    EXPECT_EQ(Bar->GetPanels()->FindPanel(nullptr), nullptr);
    second->SetSize(120);  // lays out again without touching the freed control
    EXPECT_EQ(second->GetBoundsRect(), Rect(100, 2, 220, 22));
}

TEST_F(StatusBarTest, AChangeOfTheImageListRepaintsTheBarUntilTheListIsFreed)
{
    auto* images = new TImageList(Form.get());
    Bar->SetImages(images);
    AddPanel(100)->SetImageIndex(0);
    ui::HWND window = Bar->GetHandle();
    ui::RECT dirty{};
    ui::ValidateRect(window, nullptr);
    ASSERT_EQ(ui::GetUpdateRect(window, &dirty, ui::FALSE), ui::FALSE);
    testing::AddRedImage(*images);
    EXPECT_NE(ui::GetUpdateRect(window, &dirty, ui::FALSE), ui::FALSE);

    delete images;
    EXPECT_EQ(Bar->GetImages(), nullptr);
    Shot shot(*Bar);  // paints without the list
    EXPECT_EQ(shot.Image.At(50, 1), Face);
}

TEST_F(StatusBarTest, AFreedPanelLeavesItsControlInFrontOnTheBar)
{
    TTBXStatusPanel* panel = AddPanel(100);
    TWinControl* edit = AddControl();
    panel->SetControl(edit);
    AddControl()->SetParent(Bar);  // now above the panel's control
    ASSERT_NE(Bar->GetControl(Bar->GetControlCount() - 1), edit);
    delete panel;
    EXPECT_EQ(Bar->GetPanels()->GetCount(), 0);
    EXPECT_EQ(edit->GetParent(), Bar);
    EXPECT_EQ(Bar->GetControl(Bar->GetControlCount() - 1), edit);
    delete edit;  // the bar still hears of it without a panel to clear
    EXPECT_EQ(Bar->GetControlCount(), 1);
}

TEST_F(StatusBarTest, DesignTimeInsertionGivesAControlItsOwnPanelAndRemovalTakesItAway)
{
    class DesignedBar : public TTBXStatusBar {
    public:
        explicit DesignedBar(TComponent* owner) : TTBXStatusBar(owner) { SetComponentStateItem(csDesigning, true); }
    };
    auto* bar = new DesignedBar(Form.get());
    bar->SetParent(Form.get());
    TWinControl* edit = AddControl();
    edit->SetParent(bar);
    ASSERT_EQ(bar->GetPanels()->GetCount(), 1);
    EXPECT_EQ(bar->GetPanels()->GetItem(0)->GetControl(), edit);
    auto* label = new TLabel(Form.get());
    label->SetParent(bar);
    EXPECT_EQ(bar->GetPanels()->GetCount(), 1) << "only windowed controls get panels";
    edit->SetParent(Form.get());
    EXPECT_EQ(bar->GetPanels()->GetCount(), 0);

    // At run time a control put on the bar is just a child.
    AddControl()->SetParent(Bar);
    EXPECT_EQ(Bar->GetPanels()->GetCount(), 0);
}

// ---- Copies ----------------------------------------------------------------------------------------------------

class StatusPanelAssign : public StatusBarTest {
protected:
    void SetUp() override
    {
        StatusBarTest::SetUp();
        OtherForm = std::make_unique<TForm>(nullptr);
        OtherBar = new TTBXStatusBar(OtherForm.get());
        OtherBar->SetParent(OtherForm.get());
    }
    void TearDown() override
    {
        OtherForm.reset();
        StatusBarTest::TearDown();
    }
    std::unique_ptr<TForm> OtherForm;
    TTBXStatusBar* OtherBar = nullptr;
};

// Every published property, so a property added later without its copy fails here.
TEST_F(StatusPanelAssign, CopiesEveryPublishedProperty)
{
    auto* images = new TImageList(Form.get());
    Bar->SetImages(images);
    TTBXStatusPanel* source = AddPanel(60, 40, 5);
    source->SetAlignment(taCenter);
    source->SetCaption("Caption");
    source->SetControl(AddControl("Edit1"));
    source->SetEnabled(false);
    source->SetFramed(false);
    TFontSettings& font = *source->GetFontSettings();
    font.SetBold(tsOn);
    font.SetItalic(tsOn);
    font.SetUnderline(tsOff);
    font.SetStrikeOut(tsOn);
    font.SetSize(150);
    font.SetColor(clRed);
    font.SetName("DejaVu Serif");
    source->SetHint("Hint");
    source->SetImageIndex(3);
    source->SetMaxSize(70);
    source->SetTag(42);
    source->SetTextTruncation(twPathEllipsis);

    auto* destinationControl = new TPanel(OtherForm.get());
    destinationControl->SetName("Edit1");
    TTBXStatusPanel* destination = OtherBar->GetPanels()->Add();
    const auto differs = [](const TPersistent& a, const TPersistent& b, const TPropInfo& p) {
        switch (p.Kind) {
        case TTypeKind::tkString: return GetStrProp(a, p.Name) != GetStrProp(b, p.Name);
        case TTypeKind::tkClass: return GetObjectProp(a, p.Name) != GetObjectProp(b, p.Name);
        default: return GetOrdProp(a, p.Name) != GetOrdProp(b, p.Name);
        }
    };
    const auto& properties = TTBXStatusPanel::ClassProperties().GetOwnProperties();
    ASSERT_EQ(properties.size(), 14u);
    for (const TPropInfo& p : TFontSettings::ClassProperties().GetOwnProperties())
        EXPECT_TRUE(differs(*source->GetFontSettings(), *destination->GetFontSettings(), p))
            << "FontSettings." << p.Name;
    for (const TPropInfo& p : properties)
        EXPECT_TRUE(p.Name == "FontSettings" || differs(*source, *destination, p)) << p.Name << " is not tested";

    destination->Assign(source);
    for (const TPropInfo& p : properties) {
        SCOPED_TRACE(p.Name);
        if (p.Name == "Control") {
            EXPECT_EQ(destination->GetControl(), destinationControl) << "the destination form's control of that name";
        } else if (p.Name != "FontSettings") {
            EXPECT_FALSE(differs(*source, *destination, p));
        }
    }
    for (const TPropInfo& p : TFontSettings::ClassProperties().GetOwnProperties())
        EXPECT_FALSE(differs(*source->GetFontSettings(), *destination->GetFontSettings(), p))
            << "FontSettings." << p.Name;
    EXPECT_EQ(destinationControl->GetParent(), OtherBar);
}

TEST_F(StatusPanelAssign, FindsTheControlByNameAmongTheDestinationOwnersComponents)
{
    struct Case {
        const char* Name;
        bool SourceHasControl;
        const char* OtherComponent;  // what the destination form has under the name "Edit1"
        bool Expected;
    };
    const Case cases[] = {
        {"SameNameThere", true, "control", true},
        {"SourceWithoutControl", false, "control", false},
        {"ThatNameIsNoControl", true, "image list", false},
        {"NothingOfThatName", true, "nothing", false},
    };
    TTBXStatusPanel* source = AddPanel(60);
    TWinControl* sourceControl = AddControl("Edit1");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        source->SetControl(c.SourceHasControl ? sourceControl : nullptr);
        TComponent* named = nullptr;
        if (std::string(c.OtherComponent) == "control")
            named = new TPanel(OtherForm.get());
        else if (std::string(c.OtherComponent) == "image list")
            named = new TImageList(OtherForm.get());
        if (named != nullptr)
            named->SetName("Edit1");
        TTBXStatusPanel* destination = OtherBar->GetPanels()->Add();
        auto* previous = new TPanel(OtherForm.get());
        destination->SetControl(previous);
        destination->Assign(source);
        EXPECT_EQ(destination->GetControl(), c.Expected ? named : nullptr);
        delete named;
        delete previous;
    }
    // From anything else than a panel, the standard refusal.
    EXPECT_THROW(source->Assign(Bar->GetFont()), EConvertError);
}

// ---- Size grip ----------------------------------------------------------------------------------------------

struct GripCase {
    const char* Name;
    std::function<void(TForm&, TTBXStatusBar&)> Arrange;
    bool Shown;
    friend void PrintTo(const GripCase& c, std::ostream* os) { *os << c.Name; }
};

class StatusBarGrip : public StatusBarTest, public ::testing::WithParamInterface<GripCase> {};

TEST_P(StatusBarGrip, ShowsOnlyInTheNormalFormsBottomRightCornerAndAnswersTheSizingCode)
{
    GetParam().Arrange(*Form, *Bar);
    EXPECT_EQ(Bar->IsGripShown(), GetParam().Shown);
    const TRect grip = Bar->GetGripRect();
    EXPECT_EQ(grip, Rect(Bar->GetClientWidth() - 16, 3, Bar->GetClientWidth(), 22));
    const auto hit = [this](int x, int y) {
        const ui::POINT screen = Bar->ClientToScreen({x, y});
        return ui::SendMessage(Bar->GetHandle(), ui::WM_NCHITTEST, 0, ui::MAKELPARAM(screen.x, screen.y));
    };
    EXPECT_EQ(hit(grip.right - 2, grip.bottom - 2), GetParam().Shown ? ui::HTBOTTOMRIGHT : ui::HTCLIENT);
    EXPECT_EQ(hit(grip.left - 1, grip.bottom - 2), ui::HTCLIENT);
    EXPECT_EQ(hit(grip.right - 2, grip.top - 1), ui::HTCLIENT);
    // The grip's first ridge, in the shadow colour, passes just above the corner pixel.
    Shot shot(*Bar);
    EXPECT_EQ(shot.Image.At(Bar->GetClientWidth() - 1, 20), GetParam().Shown ? Sh : Face);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StatusBarGrip,
    ::testing::Values(GripCase{"InTheCorner", [](TForm&, TTBXStatusBar&) {}, true},
                      GripCase{"SizeGripOff", [](TForm&, TTBXStatusBar& bar) { bar.SetSizeGrip(false); }, false},
                      GripCase{"FormMaximised", [](TForm& form, TTBXStatusBar&) { form.SetWindowState(wsMaximized); },
                               false},
                      GripCase{"ControlBelow",
                               [](TForm& form, TTBXStatusBar&) {
                                   auto* below = new TPanel(&form);
                                   below->SetParent(&form);
                                   below->SetHeight(20);
                                   below->SetTop(form.GetClientHeight());
                                   below->SetAlign(alBottom);
                               },
                               false},
                      GripCase{"ControlToTheRight",
                               [](TForm& form, TTBXStatusBar& bar) {
                                   bar.SetAlign(alNone);
                                   bar.SetBounds(0, 178, 350, 22);
                                   auto* right = new TPanel(&form);
                                   right->SetParent(&form);
                                   right->SetBounds(350, 178, 50, 22);
                               },
                               false}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(StatusBarTest, APressOnTheGripResizesTheForm)
{
    Form->SetBorderStyle(bsSizeable);  // only a resizable form follows its grip
    ASSERT_TRUE(Bar->IsGripShown());
    const int width = Form->GetWidth();
    const int height = Form->GetHeight();
    const ui::POINT start = Bar->ClientToScreen({Bar->GetClientWidth() - 3, Bar->GetClientHeight() - 3});
    // Queued before the press: the size loop the press starts takes them.
    ui::PostMouseInput(ui::WM_LBUTTONDOWN, start);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, {start.x + 30, start.y + 20});
    ui::PostMouseInput(ui::WM_MOUSEMOVE, {start.x + 60, start.y + 40});
    ui::PostMouseInput(ui::WM_LBUTTONUP, {start.x + 60, start.y + 40});
    Application.ProcessMessages();
    EXPECT_EQ(Form->GetWidth(), width + 60);
    EXPECT_EQ(Form->GetHeight(), height + 40);
    const int clientWidth = Form->GetClientWidth();
    const int clientHeight = Form->GetClientHeight();
    EXPECT_EQ(Bar->GetBoundsRect(), Rect(0, clientHeight - 22, clientWidth, clientHeight)) << "the bar follows";
    EXPECT_TRUE(Bar->IsGripShown());
}

// ---- Clicks and hints ----------------------------------------------------------------------------------------

TEST_F(StatusBarTest, ClicksReachThePanelUnderTheCursorAfterTheBarsOwnEvent)
{
    AddPanel(100);
    AddPanel(100);
    BarEvents log;
    std::vector<std::string>& Events = log.Events;
    Bar->OnClick = TNotifyEvent(&log, &BarEvents::Clicked);
    Bar->OnDblClick = TNotifyEvent(&log, &BarEvents::DblClicked);
    Bar->OnPanelClick = TSBPanelEvent(&log, &BarEvents::PanelClicked);
    Bar->OnPanelDblClick = TSBPanelEvent(&log, &BarEvents::PanelDblClicked);

    Mouse(ui::WM_LBUTTONDOWN, *Bar, 150, 10);
    Mouse(ui::WM_LBUTTONUP, *Bar, 150, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "panel click 1"}));

    Events.clear();
    Mouse(ui::WM_LBUTTONDOWN, *Bar, 300, 10);
    Mouse(ui::WM_LBUTTONUP, *Bar, 300, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"click"})) << "no panel there";

    Events.clear();
    Clock.Advance(1000);  // not a double click of the last press
    Mouse(ui::WM_LBUTTONDOWN, *Bar, 50, 10);
    Mouse(ui::WM_LBUTTONUP, *Bar, 50, 10);
    Mouse(ui::WM_LBUTTONDBLCLK, *Bar, 50, 10);
    Mouse(ui::WM_LBUTTONUP, *Bar, 50, 10);
    EXPECT_EQ(Events, (std::vector<std::string>{"click", "panel click 0", "double click", "panel double click 0",
                                                "click", "panel click 0"}));
}

TEST_F(StatusBarTest, AHintRequestOverAPanelAnswersItsHintAndRectangle)
{
    AddPanel(100)->SetHint("First");
    AddPanel(100)->SetHint("Second");
    THintInfo info;
    info.HintControl = Bar;
    info.CursorPos = {150, 10};
    info.CursorRect = Bar->GetClientRect();
    info.HintStr = "Bar";
    EXPECT_EQ(Bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<std::intptr_t>(&info)), 0);
    EXPECT_EQ(info.HintStr, "Second");
    EXPECT_EQ(info.CursorRect, Rect(100, 2, 200, 22));

    info.CursorPos = {300, 10};
    info.CursorRect = Bar->GetClientRect();
    info.HintStr = "Bar";
    EXPECT_EQ(Bar->Perform(CM_HINTSHOW, 0, reinterpret_cast<std::intptr_t>(&info)), 0);
    EXPECT_EQ(info.HintStr, "Bar") << "elsewhere the bar's own hint";
    EXPECT_EQ(info.CursorRect, Bar->GetClientRect());
}

TEST_F(StatusBarTest, ABarWithoutAHintShowsEachPanelsHint)
{
    std::vector<std::string>& shown = ShownHints;
    Application.SetHintDisplay([&shown](const std::string& text, ui::POINT) { shown.push_back(text); });
    AddPanel(100)->SetHint("First");
    AddPanel(100)->SetHint("Second");
    Bar->SetShowHint(true);
    Mouse(ui::WM_MOUSEMOVE, *Bar, 50, 10);
    Wait(500);
    EXPECT_EQ(shown, (std::vector<std::string>{"First"}));
    Mouse(ui::WM_MOUSEMOVE, *Bar, 150, 10);  // leaves the first panel's rectangle
    Wait(500);
    EXPECT_EQ(shown, (std::vector<std::string>{"First", "", "Second"}));
    MouseAtScreen(ui::WM_MOUSEMOVE, {-1000, -1000});
}

// ---- Paint ----------------------------------------------------------------------------------------------------

TEST_F(StatusBarTest, PaintsTheBodyThePanelFramesTheirTextAndTheGripOnTop)
{
    TTBXStatusPanel* first = AddPanel(100);
    first->SetCaption("Alpha");
    TTBXStatusPanel* last = AddPanel(100, 100, 10);
    last->SetCaption("Beta");
    last->SetEnabled(false);
    ASSERT_EQ(last->GetBoundsRect(), Rect(100, 2, 400, 22));

    Shot shot(*Bar);
    EXPECT_EQ(shot.Image.At(50, 0), Face);
    EXPECT_EQ(shot.Image.At(50, 1), Face);
    // A panel's sunken frame leaves two pixels to the next one; the last panel's reaches the bar's edge.
    EXPECT_EQ(shot.Image.Row(2, Sh, 0, 100), std::string(97, '#') + "...");
    EXPECT_EQ(shot.Image.Column(0, Sh, 2, 22), std::string(19, '#') + ".");
    EXPECT_EQ(shot.Image.At(97, 10), Hl);
    EXPECT_EQ(shot.Image.At(98, 10), Face);
    EXPECT_EQ(shot.Image.At(399, 10), Hl);
    EXPECT_EQ(shot.Image.At(399, 20), Sh) << "the grip is painted over the last panel's frame";

    // Text inside the content rectangles: framed panels keep it in the margins, plus one pixel each side.
    const TRect alpha = InkNear(shot.Image, Text, {Face, Sh, Hl}, Rect(0, 0, 100, 22));
    EXPECT_GE(alpha.left, 2);
    EXPECT_LE(alpha.left, 4);
    EXPECT_GE(alpha.top, 3);
    EXPECT_LE(alpha.bottom, 21);
    // The disabled panel has no text colour, only the etched relief.
    EXPECT_EQ(InkNear(shot.Image, Text, {Face, Sh, Hl}, Rect(100, 0, 380, 22)), TRect{});
    const TRect etched = InkNear(shot.Image, Sh, {Face, Hl}, Rect(102, 4, 380, 20));
    EXPECT_GE(etched.left, 102);
    EXPECT_LE(etched.left, 106);
}

// Where the image goes and how the text is cut: the panel's pixels equal the image list's drawing and a DrawText
// with the expected rectangle and format.
struct PlacementCase {
    const char* Name;
    TAlignment Alignment;
    TTextTruncation Truncation;
    int ImageLeft;  // -1: no image
    TRect TextRect;
    ui::UINT Format;
    friend void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.Name; }
};

class StatusPanelPlacement : public StatusBarTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(StatusPanelPlacement, PlacesTheImageAndDrawsTheTextInTheRestWithTheFormat)
{
    const PlacementCase& c = GetParam();
    TImageList images(nullptr);
    testing::AddRedImage(images);
    Bar->SetImages(&images);
    TTBXStatusPanel* panel = AddPanel(60);
    panel->SetFramed(false);
    panel->SetCaption("A caption too long for the panel");
    panel->SetAlignment(c.Alignment);
    panel->SetTextTruncation(c.Truncation);
    panel->SetImageIndex(c.ImageLeft >= 0 ? 0 : -1);
    Shot shot(*Bar);

    ui::testing::Canvas expected(60, 22, Face);
    ui::HDC dc = expected.Dc();
    if (c.ImageLeft >= 0) {
        TCanvas canvas;
        canvas.SetHandle(dc);
        images.Draw(&canvas, c.ImageLeft, 10, 0, true);
        canvas.SetHandle(nullptr);
    }
    ui::SelectObject(dc, Bar->GetFont()->GetHandle());
    ui::SetTextColor(dc, Text);
    ui::SetBkMode(dc, ui::TRANSPARENT);
    TRect textRect = c.TextRect;
    ui::DrawText(dc, "A caption too long for the panel", &textRect, c.Format);
    int differing = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 60; ++x)
            differing += shot.Image.At(x, y) != expected.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    Bar->SetImages(nullptr);
}

constexpr ui::UINT Base = ui::DT_SINGLELINE | ui::DT_VCENTER;

INSTANTIATE_TEST_SUITE_P(Rows, StatusPanelPlacement,
                         ::testing::Values(PlacementCase{"LeftImageThenText", taLeftJustify, twNone, 1,
                                                         Rect(9, 2, 59, 22), Base | ui::DT_LEFT},
                                           PlacementCase{"RightImageAndEndEllipsis", taRightJustify, twEndEllipsis, 55,
                                                         Rect(1, 2, 51, 22), Base | ui::DT_RIGHT | ui::DT_END_ELLIPSIS},
                                           PlacementCase{"CentredImageUnderCentredText", taCenter, twPathEllipsis, 28,
                                                         Rect(1, 2, 59, 22),
                                                         Base | ui::DT_CENTER | ui::DT_PATH_ELLIPSIS},
                                           PlacementCase{"NoImage", taLeftJustify, twEndEllipsis, -1,
                                                         Rect(1, 2, 59, 22), Base | ui::DT_LEFT | ui::DT_END_ELLIPSIS}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(StatusBarTest, ADisabledPanelDrawsItsImageInTheListsDisabledLook)
{
    TImageList images(nullptr);
    testing::AddRedImage(images);
    Bar->SetImages(&images);
    TTBXStatusPanel* panel = AddPanel(60);
    panel->SetFramed(false);
    panel->SetImageIndex(0);
    EXPECT_EQ(InkOf(Shot(*Bar).Image, ui::testing::Red), Rect(1, 10, 5, 14));
    panel->SetEnabled(false);
    Shot disabled(*Bar);
    EXPECT_EQ(InkOf(disabled.Image, ui::testing::Red), TRect{});
    EXPECT_NE(InkOf(disabled.Image, Sh, Rect(0, 8, 8, 16)), TRect{});
    Bar->SetImages(nullptr);
}

TEST_F(StatusBarTest, PanelTextFollowsTheFontSettingsTheSystemFontAndTheHooks)
{
    TTBXStatusPanel* panel = AddPanel(300);
    panel->SetFramed(false);
    panel->SetCaption("Hg");
    const auto ink = [this](ui::COLORREF color = Text) {
        const ui::COLORREF other = color == Text ? ui::testing::Red : Text;
        return InkNear(Shot(*Bar).Image, color, {Face, other}, Rect(0, 0, 300, 22));
    };
    const auto height = [](const TRect& r) { return r.bottom - r.top; };
    const TRect plain = ink();
    ASSERT_NE(plain, TRect{});

    panel->GetFontSettings()->SetSize(180);
    EXPECT_GT(height(ink()), height(plain) + 3) << "a size percentage applies to the panel";
    panel->GetFontSettings()->SetSize(100);
    EXPECT_EQ(ink(), plain);

    // The menu font in place of the bar's, whatever the bar's font is.
    Bar->GetFont()->SetSize(14);
    const TRect big = ink();
    Bar->SetUseSystemFont(true);
    const TRect system = ink();
    Bar->SetUseSystemFont(false);
    Bar->GetFont()->Assign(toolbars::SharedMenuFont());
    EXPECT_EQ(system, ink());
    EXPECT_NE(system, big);

    struct Hooks {
        void Font(TObject*, TTBXStatusPanel*, TFont* font) { font->SetColor(clRed); }
        void Content(TObject*, TTBXStatusPanel*, TRect& rect) { rect.left += 100; }
    } hooks;
    Bar->OnAdjustFont = TSBAdjustFontEvent(&hooks, &Hooks::Font);
    Bar->OnAdjustContentRect = TSBAdjustContentRectEvent(&hooks, &Hooks::Content);
    EXPECT_EQ(ink(), TRect{});
    const TRect red = ink(ui::testing::Red);
    EXPECT_GE(red.left, 101);
    EXPECT_LE(red.left, 103);
    Bar->OnAdjustFont = {};
    Bar->OnAdjustContentRect = {};
}

}  // namespace
}  // namespace ovrel::themes
