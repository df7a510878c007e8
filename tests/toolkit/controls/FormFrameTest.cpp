// A form's frame, placement, window state and OnCreate; Enter and Esc offered to the controls; the
// application's identity, hidden window and help requests.
#include "ControlsTestSupport.h"

#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

struct FrameCase {
    const char* Name;
    TFormBorderStyle Style;
    TBorderIcons Icons;
    ui::DWORD Has;
    ui::DWORD HasNot;
    ui::DWORD ExHas;
    ui::DWORD ExHasNot;
};

class FormFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FormFrame, StylesFollowBorderStyleAndIcons)
{
    const FrameCase& c = GetParam();
    TForm form(nullptr);
    (void)form.GetHandle();  // made with the defaults, so the change below must remake it
    form.SetBorderStyle(c.Style);
    form.SetBorderIcons(c.Icons);
    const auto style = static_cast<ui::DWORD>(ui::GetWindowLong(form.GetHandle(), ui::GWL_STYLE));
    const auto exStyle = static_cast<ui::DWORD>(ui::GetWindowLong(form.GetHandle(), ui::GWL_EXSTYLE));
    EXPECT_EQ(style & c.Has, c.Has);
    EXPECT_EQ(style & c.HasNot, 0u);
    EXPECT_EQ(exStyle & c.ExHas, c.ExHas);
    EXPECT_EQ(exStyle & c.ExHasNot, 0u);
}

using namespace ovrel::ui;
const TBorderIcons all{biSystemMenu, biMinimize, biMaximize, biHelp};
INSTANTIATE_TEST_SUITE_P(
    Forms, FormFrame,
    ::testing::Values(
        FrameCase{"Sizeable",
                  bsSizeable,
                  {biSystemMenu, biMinimize, biMaximize},
                  WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                  WS_POPUP,
                  0,
                  WS_EX_CONTEXTHELP | WS_EX_TOOLWINDOW},
        // The help button does not share the caption with minimise and maximise.
        FrameCase{"SizeableHelpWithBoxes", bsSizeable, all, WS_THICKFRAME | WS_SYSMENU, 0, 0, WS_EX_CONTEXTHELP},
        FrameCase{"SizeableNoSystemMenu",
                  bsSizeable,
                  {biMinimize},
                  WS_THICKFRAME | WS_MINIMIZEBOX,
                  WS_SYSMENU | WS_MAXIMIZEBOX,
                  0,
                  0},
        FrameCase{"DialogWithHelp", bsDialog, all, WS_CAPTION | WS_DLGFRAME | WS_SYSMENU,
                  WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP, 0},
        FrameCase{
            "ToolWindow", bsToolWindow, {biSystemMenu}, WS_CAPTION | WS_SYSMENU, WS_THICKFRAME, WS_EX_TOOLWINDOW, 0},
        FrameCase{"None", bsNone, all, WS_POPUP, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, WS_EX_CONTEXTHELP}),
    [](const ::testing::TestParamInfo<FrameCase>& info) { return std::string(info.param.Name); });

// Two screens: the primary with a panel along its top, a second one to its right.
class PositionTest : public ::testing::Test {
protected:
    FixedScreens Monitors{
        {{{0, 0, 1000, 800}, {0, 40, 1000, 800}, true}, {{1000, 0, 2000, 800}, {1000, 0, 2000, 760}, false}}};
    ScopedService<IScreens> Guard{SetScreens, Monitors};
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Main = std::make_unique<TForm>(nullptr);
};

TEST_F(PositionTest, PlacesTheFormOnShow)
{
    Main->SetBounds(1300, 200, 400, 300);
    Main->Show();
    Application.SetMainForm(Main.get());

    struct Case {
        const char* Name;
        TPosition Position;
        bool OwnedByMain;
        int Left;
        int Top;
    };
    const Case cases[] = {
        {"designed", poDesigned, false, 5, 7},
        {"default: work-area corner", poDefault, false, 0, 40},
        {"screen centre: the primary work area", poScreenCenter, false, 400, 370},
        {"main form centre", poMainFormCenter, false, 1400, 300},
        {"owner centre", poOwnerFormCenter, true, 1400, 300},
        {"no owner form: the screen", poOwnerFormCenter, false, 400, 370},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TForm form(c.OwnedByMain ? Main.get() : nullptr);
        form.SetBounds(5, 7, 200, 100);
        form.SetPosition(c.Position);
        form.Show();
        EXPECT_EQ(form.GetLeft(), c.Left);
        EXPECT_EQ(form.GetTop(), c.Top);
        form.Hide();
    }
    Application.SetMainForm(nullptr);
}

TEST_F(PositionTest, CentredFormStaysOnTheWorkArea)
{
    // Centred on a main form at the right edge, the dialog would stick out of the second screen.
    Main->SetBounds(1900, 700, 100, 100);
    Main->Show();
    Application.SetMainForm(Main.get());
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    form.SetPosition(poMainFormCenter);
    form.Show();
    EXPECT_EQ(form.GetLeft(), 1600);
    EXPECT_EQ(form.GetTop(), 460);
    Application.SetMainForm(nullptr);
}

// A dialog that fits itself to its contents as it shows is centred on the size it ends with, every time.
class SizedOnShow : public TForm {
public:
    using TForm::TForm;
    int Height = 200;
    void Fit(TObject*) { SetBounds(GetLeft(), GetTop(), GetWidth(), Height); }
};

TEST_F(PositionTest, AFormSizedAsItShowsIsCentredOnItsFinalSize)
{
    SizedOnShow form(nullptr);
    form.SetBounds(0, 0, 400, 400);
    form.SetPosition(poScreenCenter);
    form.OnShow = TNotifyEvent(&form, &SizedOnShow::Fit);
    for (const int height : {200, 300}) {
        SCOPED_TRACE(height);
        form.Height = height;
        form.Show();
        EXPECT_EQ(form.GetHeight(), height);
        EXPECT_EQ(form.GetTop(), (40 + 800 - height) / 2);
        EXPECT_EQ(form.GetLeft(), 300);
        form.Hide();
    }
}

TEST(FormWindowState, AppliedOnShowAndFollowsTheWindow)
{
    TForm form(nullptr);
    form.SetWindowState(wsMaximized);
    EXPECT_EQ(form.GetWindowState(), wsMaximized);
    form.Show();
    EXPECT_TRUE(IsZoomed(form.GetHandle()));
    form.SetWindowState(wsMinimized);
    EXPECT_TRUE(IsIconic(form.GetHandle()));
    EXPECT_EQ(form.GetWindowState(), wsMinimized);
    form.SetWindowState(wsNormal);
    EXPECT_FALSE(IsIconic(form.GetHandle()));
    EXPECT_FALSE(IsZoomed(form.GetHandle()));
    EXPECT_EQ(form.GetWindowState(), wsNormal);
}

struct CreateWatch {
    TWinControl* Child = nullptr;
    int Calls = 0;
    bool ChildLoading = true;
    void Created(TObject*)
    {
        ++Calls;
        ChildLoading = Child->GetComponentState().Contains(csLoading);
    }
};

TEST(FormCreate, FiresOnceAfterTheBuild)
{
    TForm form(nullptr);
    CreateWatch watch;
    {
        TFormBuilder builder(form);
        form.OnCreate = TNotifyEvent(&watch, &CreateWatch::Created);
        watch.Child = builder.Add<TWinControl>(&form);
        EXPECT_EQ(watch.Calls, 0);
        builder.Finish();
    }
    EXPECT_EQ(watch.Calls, 1);
    EXPECT_FALSE(watch.ChildLoading);
}

// Stands in for a default or cancel button: takes Enter or Esc when offered as a dialog key.
struct DialogKeyTaker {
    std::uint16_t Key = 0;
    std::vector<std::uintptr_t> Offered;
    TWndMethod Saved;
    void Proc(TMessage& message)
    {
        if (message.Msg == CM_DIALOGKEY) {
            Offered.push_back(message.WParam);
            if (message.WParam == Key) {
                message.Result = 1;
                return;
            }
        }
        Saved(message);
    }
};

TEST(FormDialogKeys, EnterAndEscReachControlsOnPanels)
{
    TApplication application(nullptr);
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    auto* panel = new TWinControl(&form);
    panel->SetParent(&form);
    auto* button = new TWinControl(&form);
    button->SetParent(panel);
    auto* edit = new TWinControl(&form);
    edit->SetParent(&form);
    edit->SetBounds(0, 50, 50, 20);
    DialogKeyTaker taker;
    taker.Key = VK_RETURN;
    taker.Saved = button->GetWindowProc();
    button->SetWindowProc(TWndMethod(&taker, &DialogKeyTaker::Proc));
    form.Show();
    edit->SetFocus();

    struct Case {
        const char* Name;
        std::uint16_t Key;
        std::intptr_t Result;
    };
    for (const Case& c : {Case{"enter taken", VK_RETURN, 1}, Case{"escape offered, left", VK_ESCAPE, 0}}) {
        SCOPED_TRACE(c.Name);
        taker.Offered.clear();
        EXPECT_EQ(form.Perform(CM_DIALOGKEY, c.Key, 0), c.Result);
        EXPECT_EQ(taker.Offered, (std::vector<std::uintptr_t>{c.Key}));
    }
    // From the keyboard, through the focused control.
    taker.Offered.clear();
    PostKeyInput(WM_KEYDOWN, VK_RETURN);
    application.ProcessMessages();
    EXPECT_EQ(taker.Offered, (std::vector<std::uintptr_t>{VK_RETURN}));
    button->SetWindowProc(taker.Saved);
}

TEST(ApplicationIdentity, TitleExeNameAndHiddenWindow)
{
    TApplication application(nullptr);
    EXPECT_NE(application.GetExeName().find("toolkit_controls_tests"), std::string::npos);
    EXPECT_EQ(application.GetTitle(), "toolkit_controls_tests");
    HWND handle = application.GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    EXPECT_EQ(application.GetHandle(), handle);
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_EQ(GetWindowText(handle), "toolkit_controls_tests");
    application.SetTitle("Viewer");
    EXPECT_EQ(application.GetTitle(), "Viewer");
    EXPECT_EQ(GetWindowText(handle), "Viewer");

    SetApplicationActive(true);
    EXPECT_TRUE(application.GetActive());
    SetApplicationActive(false);
    EXPECT_FALSE(application.GetActive());
}

TEST(ApplicationHelp, GoesToTheHelpServiceWithTheFile)
{
    RecordingHelp help;
    ScopedService<IHelp> guard(SetHelp, help);
    TApplication application(nullptr);
    EXPECT_FALSE(application.HelpContext(12));  // no help file: nothing to ask
    EXPECT_TRUE(help.Requests.empty());

    application.SetHelpFile("/opt/viewer/help.chm");
    EXPECT_TRUE(application.HelpContext(12));
    EXPECT_TRUE(application.HelpCommand(HELP_QUIT, 0));
    ASSERT_EQ(help.Requests.size(), 2u);
    EXPECT_EQ(help.Requests[0].HelpFile, "/opt/viewer/help.chm");
    EXPECT_EQ(help.Requests[0].Command, HELP_CONTEXT);
    EXPECT_EQ(help.Requests[0].Data, 12u);
    EXPECT_EQ(help.Requests[1].Command, HELP_QUIT);
}

}  // namespace
}  // namespace ovrel::toolkit
