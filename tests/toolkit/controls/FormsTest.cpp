// Forms and showing, the application loop and its exception handling, message-only windows, building in code,
// and mouse enter/leave over windowed and windowless controls.
#include "ControlsTestSupport.h"
#include "platform/ui/SysTables.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Lists.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

using testing::LoggedMessage;
using testing::MessageLog;
using testing::RecordedExceptions;

inline constexpr std::uint32_t WM_TESTPING = ui::WM_USER + 7;

struct Receiver {
    std::vector<std::uint32_t> Messages;
    void Proc(TMessage& message)
    {
        Messages.push_back(message.Msg);
        if (message.Msg == WM_TESTPING) {
            if (message.WParam == 1)
                throw std::runtime_error("ping failed");
            message.Result = static_cast<std::intptr_t>(message.LParam) + 1;
        }
    }
};

TEST(AllocateHWnd, RunsTheMethodForSentAndPostedMessages)
{
    RecordedExceptions exceptions;
    Receiver receiver;
    ui::HWND window = AllocateHWnd(TWndMethod(&receiver, &Receiver::Proc));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(ui::SendMessage(window, WM_TESTPING, 0, 41), 42);

    // An exception in the method is reported, not thrown through the layer.
    EXPECT_EQ(ui::SendMessage(window, WM_TESTPING, 1, 0), 0);
    ASSERT_EQ(exceptions.Messages().size(), 1u);
    EXPECT_EQ(exceptions.Messages()[0], "ping failed");

    receiver.Messages.clear();
    ui::PostMessage(window, WM_TESTPING, 0, 0);
    TApplication application(nullptr);
    application.ProcessMessages();
    EXPECT_EQ(receiver.Messages, (std::vector<std::uint32_t>{WM_TESTPING}));

    DeallocateHWnd(window);
    EXPECT_FALSE(ui::IsWindow(window));
    DeallocateHWnd(nullptr);
}

struct ExceptionSink {
    std::vector<std::string> Seen;
    bool Rethrow = false;
    void Handle(TObject*, std::exception_ptr exception)
    {
        try {
            std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            Seen.emplace_back(e.what());
        }
        if (Rethrow)
            throw std::runtime_error("handler failed");
    }
};

TEST(Application, RoutesDispatchExceptionsToOnException)
{
    RecordedExceptions fallback;
    Receiver receiver;
    ui::HWND window = AllocateHWnd(TWndMethod(&receiver, &Receiver::Proc));
    {
        TApplication application(nullptr);
        ExceptionSink sink;
        application.OnException = TExceptionEvent(&sink, &ExceptionSink::Handle);
        ui::PostMessage(window, WM_TESTPING, 1, 0);
        application.ProcessMessages();
        EXPECT_EQ(sink.Seen, (std::vector<std::string>{"ping failed"}));
        EXPECT_TRUE(fallback.Messages().empty());

        // A handler that fails itself does not lose the report.
        sink.Rethrow = true;
        ui::PostMessage(window, WM_TESTPING, 1, 0);
        application.ProcessMessages();
        EXPECT_EQ(fallback.Messages(), (std::vector<std::string>{"handler failed"}));

        // Without OnException the report goes to the handler that was there before.
        application.OnException = TExceptionEvent();
        ui::PostMessage(window, WM_TESTPING, 1, 0);
        application.ProcessMessages();
        EXPECT_EQ(fallback.Messages().back(), "ping failed");
    }
    // The application is gone: the layer reports to the test's handler directly again.
    ui::SendMessage(window, WM_TESTPING, 1, 0);
    EXPECT_EQ(fallback.Messages().size(), 3u);
    DeallocateHWnd(window);
}

TEST(Application, QuitMessageTerminatesTheLoop)
{
    TApplication application(nullptr);
    ui::PostQuitMessage(0);
    application.Run();
    EXPECT_TRUE(application.GetTerminated());
}

class Tracked : public TWinControl {
public:
    Tracked(TComponent* owner, std::vector<std::string>& log) : TWinControl(owner), FLog(log) {}

protected:
    void Loaded() override
    {
        FLog.push_back(GetName() + (GetComponentState().Contains(csLoading) ? " loading" : " loaded"));
        TWinControl::Loaded();
    }

private:
    std::vector<std::string>& FLog;
};

TEST(FormBuilder, RunsLoadedAfterTheTreeIsBuilt)
{
    std::vector<std::string> log;
    TForm form(nullptr);
    {
        TFormBuilder builder(form);
        auto* panel = new Tracked(&form, log);
        panel->SetName("panel");
        panel->SetParent(&form);
        auto* inner = new Tracked(&form, log);
        inner->SetName("inner");
        inner->SetParent(panel);
        EXPECT_TRUE(form.GetComponentState().Contains(csLoading));
        EXPECT_TRUE(inner->GetComponentState().Contains(csLoading));
        EXPECT_TRUE(log.empty());
        auto* added = builder.Add<TWinControl>(panel);
        EXPECT_EQ(added->GetParent(), panel);
        EXPECT_EQ(added->GetOwner(), &form);
        builder.Finish();
        EXPECT_EQ(log.size(), 2u);
        builder.Finish();  // once only
        EXPECT_EQ(log.size(), 2u);
    }
    EXPECT_FALSE(form.GetComponentState().Contains(csLoading));
    ASSERT_EQ(log.size(), 2u);
}

class FormTest : public ::testing::Test {
protected:
    FormTest()
    {
        Form->SetBounds(20, 20, 200, 150);
        Child->SetParent(Form.get());
        Child->SetBounds(0, 0, 100, 100);
        Log.Watch(Form.get(), "form");
        Log.Watch(Child, "child");
    }
    ~FormTest() override
    {
        if (Form)
            Log.Forget(Form.get());
    }
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TWinControl* Child = new TWinControl(Form.get());
    MessageLog Log{{CM_SHOWINGCHANGED}};
};

TEST_F(FormTest, ShowingFollowsTheFormAndItsWindow)
{
    EXPECT_FALSE(Form->GetVisible());
    EXPECT_FALSE(Child->GetShowing());
    Form->Show();
    EXPECT_TRUE(Form->GetShowing());
    EXPECT_TRUE(Child->GetShowing());
    EXPECT_TRUE(ui::IsWindowVisible(Child->GetHandle()));
    EXPECT_EQ(Log.Entries, (std::vector<LoggedMessage>{{"form", CM_SHOWINGCHANGED}, {"child", CM_SHOWINGCHANGED}}));

    Log.Entries.clear();
    Child->SetVisible(false);
    EXPECT_FALSE(Child->GetShowing());
    EXPECT_FALSE(ui::IsWindowVisible(Child->GetHandle()));
    Form->Hide();
    Child->SetVisible(true);  // the form is hidden: nothing shows
    EXPECT_FALSE(Child->GetShowing());
    EXPECT_EQ(Log.Entries, (std::vector<LoggedMessage>{{"child", CM_SHOWINGCHANGED}, {"form", CM_SHOWINGCHANGED}}));
}

TEST_F(FormTest, ASizeableFormReportsTheLeastSizeItsWindowKeepsTo)
{
    Form->Show();
    Form->SetBounds(100, 100, 10, 10);
    ui::RECT window{};
    ui::GetWindowRect(Form->GetHandle(), &window);
    EXPECT_EQ(Form->GetWidth(), ui::GetSystemMetrics(ui::SM_CXMINTRACK));
    EXPECT_EQ(Form->GetHeight(), ui::GetSystemMetrics(ui::SM_CYMINTRACK));
    EXPECT_EQ(Form->GetWidth(), window.right - window.left) << "the form's size is its window's";
    EXPECT_LE(Form->GetClientWidth(), Form->GetWidth());
}

struct CloseChoice {
    TCloseAction Action = caHide;
    int Calls = 0;
    void Close(TObject*, TCloseAction& action)
    {
        ++Calls;
        EXPECT_EQ(action, caHide);
        action = Action;
    }
};

struct FreeWatch : public TComponent {
    using TComponent::TComponent;
    bool Freed = false;
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component != this)
            Freed = true;
    }
};

TEST_F(FormTest, CloseDoesWhatOnCloseChose)
{
    CloseChoice choice;
    Form->OnClose = TCloseEvent(&choice, &CloseChoice::Close);
    Form->Show();

    choice.Action = caNone;
    ui::SendMessage(Form->GetHandle(), ui::WM_CLOSE, 0, 0);
    EXPECT_TRUE(Form->GetVisible());
    EXPECT_TRUE(ui::IsWindow(Form->GetHandle()));

    choice.Action = caHide;
    Form->Close();
    EXPECT_FALSE(Form->GetVisible());
    EXPECT_EQ(choice.Calls, 2);

    // caFree frees the form only after the handler returned, from the loop.
    Form->Show();
    FreeWatch watch(nullptr);
    Form->FreeNotification(&watch);
    choice.Action = caFree;
    Log.Forget(Form.get());
    Log.Forget(Child);
    Form->Close();
    EXPECT_FALSE(watch.Freed);
    TForm* form = Form.release();
    TApplication application(nullptr);
    application.ProcessMessages();
    EXPECT_TRUE(watch.Freed);
    (void)form;
}

TEST_F(FormTest, ClosingTheMainFormEndsTheApplication)
{
    TApplication application(nullptr);
    application.SetMainForm(Form.get());
    Form->Show();
    Form->Close();
    EXPECT_TRUE(application.GetTerminated());
    Log.Forget(Form.get());
    Log.Forget(Child);
    Form.reset();
    EXPECT_EQ(application.GetMainForm(), nullptr);
}

TEST_F(FormTest, ClientSizeIsSetInsideTheFrame)
{
    Form->Show();
    Form->SetClientWidth(250);
    Form->SetClientHeight(120);
    EXPECT_EQ(Form->GetClientWidth(), 250);
    EXPECT_EQ(Form->GetClientHeight(), 120);
    EXPECT_GE(Form->GetWidth(), 250);  // whatever frame the window has lies outside
    EXPECT_GE(Form->GetHeight(), 120);
    const ui::RECT client = Form->GetClientRect();
    EXPECT_EQ(client.right - client.left, 250);

    // The child's screen position is its place in the client area.
    const ui::POINT origin = Form->GetClientOrigin();
    const ui::POINT child = Child->ClientToScreen({0, 0});
    EXPECT_EQ(child.x - origin.x, Child->GetLeft());
    EXPECT_EQ(child.y - origin.y, Child->GetTop());
}

TEST_F(FormTest, ScreenListsTheShownForms)
{
    Form->Show();
    TForm second(nullptr);
    second.Show();
    std::vector<TCustomForm*> forms;
    for (int i = 0; i < Screen()->GetFormCount(); ++i)
        forms.push_back(Screen()->GetForm(i));
    EXPECT_NE(std::find(forms.begin(), forms.end(), Form.get()), forms.end());
    EXPECT_NE(std::find(forms.begin(), forms.end(), &second), forms.end());
    EXPECT_THROW((void)Screen()->GetForm(-1), EListError);
    EXPECT_GT(Screen()->GetWidth(), 0);
}

TEST(ScreenFonts, AreTheDesktopsFamiliesSortedAndReadOnce)
{
    TStrings* fonts = Screen()->GetFonts();
    ASSERT_NE(fonts, nullptr);
    EXPECT_GE(fonts->IndexOf("DejaVu Sans"), 0);  // the test fonts
    for (int i = 1; i < fonts->GetCount(); ++i)
        EXPECT_LT(CompareText(fonts->GetString(i - 1), fonts->GetString(i)), 0) << fonts->GetString(i);
    EXPECT_EQ(Screen()->GetFonts(), fonts);
}

// form (windowed) with a windowless control on it and a windowed child holding another windowless one.
class MouseTest : public FormTest {
protected:
    MouseTest()
    {
        Form->SetBounds(0, 0, 300, 200);
        Graphic->SetParent(Form.get());
        Graphic->SetBounds(150, 10, 40, 40);
        Inner->SetParent(Child);
        Inner->SetBounds(10, 10, 20, 20);
        Form->Show();
        Enter.Watch(Form.get(), "form");
        Enter.Watch(Child, "child");
        Enter.Watch(Graphic, "graphic");
        Enter.Watch(Inner, "inner");
    }
    ~MouseTest() override { CheckMouseControl({-1000, -1000}); }
    ui::POINT At(TControl* c, int x, int y) const { return c->ClientToScreen({x, y}); }

    TControl* Graphic = new TControl(Form.get());
    TControl* Inner = new TControl(Form.get());
    MessageLog Enter{{CM_MOUSEENTER, CM_MOUSELEAVE}};
};

TEST_F(MouseTest, EnterAndLeaveFollowTheControlUnderThePointer)
{
    TApplication application(nullptr);
    auto moveTo = [&](ui::POINT screen) {
        ui::PostMouseInput(ui::WM_MOUSEMOVE, screen);
        application.ProcessMessages();
    };
    moveTo(At(Graphic, 5, 5));
    EXPECT_EQ(GetMouseControl(), Graphic);
    moveTo(At(Graphic, 6, 6));  // no change: nothing sent
    moveTo(At(Inner, 5, 5));
    moveTo(At(Child, 50, 50));  // onto the windowless control's windowed parent
    moveTo(At(Form.get(), 250, 150));
    EXPECT_EQ(Enter.Entries, (std::vector<LoggedMessage>{{"graphic", CM_MOUSEENTER},
                                                         {"graphic", CM_MOUSELEAVE},
                                                         {"inner", CM_MOUSEENTER},
                                                         {"inner", CM_MOUSELEAVE},
                                                         {"child", CM_MOUSEENTER},
                                                         {"child", CM_MOUSELEAVE},
                                                         {"form", CM_MOUSEENTER}}));

    // Leaving the program's windows is a leave too, found by the idle-time check.
    Enter.Entries.clear();
    ui::PostMouseLeftApplication();
    application.ProcessMessages();
    CheckMouseControl(At(Form.get(), 250, 150));
    EXPECT_EQ(Enter.Entries, (std::vector<LoggedMessage>{{"form", CM_MOUSELEAVE}}));
    EXPECT_EQ(GetMouseControl(), nullptr);
}

TEST_F(MouseTest, FreeingTheControlUnderThePointerForgetsIt)
{
    TApplication application(nullptr);
    ui::PostMouseInput(ui::WM_MOUSEMOVE, At(Inner, 5, 5));
    application.ProcessMessages();
    ASSERT_EQ(GetMouseControl(), Inner);
    Enter.Forget(Inner);
    delete Inner;
    EXPECT_EQ(GetMouseControl(), nullptr);
    Enter.Entries.clear();
    ui::PostMouseInput(ui::WM_MOUSEMOVE, At(Child, 50, 50));
    application.ProcessMessages();
    EXPECT_EQ(Enter.Entries, (std::vector<LoggedMessage>{{"child", CM_MOUSEENTER}}));
}

}  // namespace
}  // namespace ovrel::toolkit

namespace ovrel::toolkit {
namespace {

struct KeyWatch {
    std::vector<std::string> Seen;
    bool Handle = false;
    TApplication* Unhook = nullptr;
    void Hook(TMessage& message, bool& handled)
    {
        if (message.Msg == CM_APPKEYDOWN)
            Seen.push_back("app " + std::to_string(message.WParam));
        if (message.Msg == CM_APPSYSCOMMAND)
            Seen.push_back("sys " + std::to_string(reinterpret_cast<TMessage*>(message.LParam)->WParam & 0xFFF0));
        if (Unhook != nullptr)
            Unhook->UnhookMainWindow(TWindowHook(this, &KeyWatch::Hook));
        handled = Handle;
    }
    void ShortCut(TMessage& message, bool& handled)
    {
        Seen.push_back("shortcut " + std::to_string(message.WParam));
        handled = message.WParam == 'S';
    }
    void KeyDown(TObject*, std::uint16_t& key, TShiftState) { Seen.push_back("control " + std::to_string(key)); }
};

class KeyRouteTest : public ::testing::Test {
protected:
    KeyRouteTest()
    {
        Form->SetBounds(0, 0, 200, 100);
        Edit->SetParent(Form.get());
        Edit->SetBounds(10, 10, 50, 20);
        Edit->OnKeyDown = TKeyEvent(&Watch, &KeyWatch::KeyDown);
        Form->Show();
        Edit->SetFocus();
        Application.HookMainWindow(TWindowHook(&Watch, &KeyWatch::Hook));
    }
    void Press(std::uint16_t key)
    {
        ui::PostKeyInput(ui::WM_KEYDOWN, key);
        Application.ProcessMessages();
    }

    KeyWatch Watch;
    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TWinControl* Edit = new TWinControl(Form.get());
};

TEST_F(KeyRouteTest, ShortcutsThenHooksThenTheFocusedControl)
{
    Form->OnShortCut = TShortCutEvent(&Watch, &KeyWatch::ShortCut);
    Press('A');
    Press('S');  // the form's shortcut: nobody else sees it
    Watch.Handle = true;
    Press('B');  // a hook used it: the control does not see it
    EXPECT_EQ(Watch.Seen, (std::vector<std::string>{"shortcut 65", "app 65", "control 65", "shortcut 83", "shortcut 66",
                                                    "app 66"}));
}

TEST_F(KeyRouteTest, KeyMenuGoesToTheHooksFirst)
{
    Watch.Handle = true;
    ui::SendMessage(Form->GetHandle(), ui::WM_SYSCOMMAND, ui::SC_KEYMENU, 'f');
    EXPECT_EQ(Watch.Seen, (std::vector<std::string>{"sys " + std::to_string(ui::SC_KEYMENU)}));
}

TEST_F(KeyRouteTest, AHookMayUnhookItselfWhileCalled)
{
    Watch.Unhook = &Application;
    Press('A');
    Press('B');
    EXPECT_EQ(Watch.Seen, (std::vector<std::string>{"app 65", "control 65", "control 66"}));
}

}  // namespace
}  // namespace ovrel::toolkit

namespace ovrel::toolkit {
namespace {

// Answers a posted message by ending the modal loop of a form, noting what it saw then.
struct ModalEnder {
    TCustomForm* Form = nullptr;
    TModalResult Result = mrOk;
    ui::HWND Other = nullptr;
    bool OtherEnabledDuring = true;
    bool ShownDuring = false;
    void Proc(TMessage& message)
    {
        if (message.Msg != WM_TESTPING)
            return;
        OtherEnabledDuring = ui::IsWindowEnabled(Other) != ui::FALSE;
        ShownDuring = Form->GetShowing();
        Form->SetModalResult(Result);
    }
};

TEST(ModalForm, RunsUntilAResultAndDisablesTheOtherForms)
{
    TApplication application(nullptr);
    TForm main(nullptr);
    main.Show();
    TForm dialog(nullptr);
    ModalEnder ender{&dialog, mrYes, main.GetHandle()};
    ui::HWND window = AllocateHWnd(TWndMethod(&ender, &ModalEnder::Proc));
    ui::PostMessage(window, WM_TESTPING, 0, 0);

    EXPECT_EQ(dialog.ShowModal(), mrYes);
    EXPECT_FALSE(ender.OtherEnabledDuring);
    EXPECT_TRUE(ender.ShownDuring);
    EXPECT_TRUE(ui::IsWindowEnabled(main.GetHandle()));
    EXPECT_FALSE(dialog.GetVisible());
    EXPECT_FALSE(dialog.GetModal());

    dialog.Show();
    EXPECT_THROW(dialog.ShowModal(), EInvalidOperation);
    DeallocateHWnd(window);
}

// Notes, when pinged inside a modal loop, which window is active and which one a click on the form would reach.
struct ModalTopWatch {
    TCustomForm* Form = nullptr;
    ui::HWND Active = nullptr;
    ui::HWND Under = nullptr;
    void Proc(TMessage& message)
    {
        if (message.Msg != WM_TESTPING)
            return;
        Active = ui::GetActiveWindow();
        ui::POINT middle{Form->GetWidth() / 2, Form->GetHeight() / 2};
        ui::ClientToScreen(Form->GetHandle(), &middle);
        Under = ui::WindowFromPoint(middle);
        Form->SetModalResult(mrOk);
    }
};

TEST(ModalForm, ShownAgainItIsActiveAndAboveTheFormThatOpenedIt)
{
    TApplication application(nullptr);
    TForm main(nullptr);
    main.SetBounds(0, 0, 400, 300);
    main.Show();
    TForm dialog(nullptr);
    dialog.SetBounds(50, 50, 200, 100);
    ModalTopWatch watch{&dialog};
    ui::HWND window = AllocateHWnd(TWndMethod(&watch, &ModalTopWatch::Proc));
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE(showing);
        ui::SetActiveWindow(main.GetHandle());  // the opener is active and on top when the dialog opens
        ui::PostMessage(window, WM_TESTPING, 0, 0);
        EXPECT_EQ(dialog.ShowModal(), mrOk);
        EXPECT_EQ(watch.Active, dialog.GetHandle());
        EXPECT_EQ(watch.Under, dialog.GetHandle()) << "a click reaches the dialog, not the disabled opener";
    }
    DeallocateHWnd(window);
}

// Each modal service notes which window held the mouse when it was asked.
struct CaptureAtModal final : ui::IPrompter, ui::IFileDialogs, ui::IColorDialogs {
    ui::HWND Seen = reinterpret_cast<ui::HWND>(1);  // not asked
    int MessageBox(const std::string&, const std::string&, ui::UINT) override
    {
        Seen = ui::GetCapture();
        return ui::IDOK;
    }
    std::optional<std::string> Run(const ui::FileDialogRequest&) override
    {
        Seen = ui::GetCapture();
        return std::nullopt;
    }
    std::optional<ui::COLORREF> PickColor(ui::COLORREF) override
    {
        Seen = ui::GetCapture();
        return std::nullopt;
    }
};

template <class Base> class CancelWatch : public Base {
public:
    using Base::Base;
    int Cancels = 0;

protected:
    void WMCancelMode(TMessage& message) override
    {
        ++Cancels;
        Base::WMCancelMode(message);
    }
};

TEST(ModalStart, TheControlHoldingTheMouseLetsGoBeforeAnythingModalRuns)
{
    TApplication application(nullptr);
    CaptureAtModal modal;
    ui::ScopedService<ui::IPrompter> prompter(ui::SetPrompter, modal);
    ui::ScopedService<ui::IFileDialogs> files(ui::SetFileDialogs, modal);
    ui::ScopedService<ui::IColorDialogs> colours(ui::SetColorDialogs, modal);
    TForm main(nullptr);
    main.SetBounds(0, 0, 200, 150);
    auto* windowed = new CancelWatch<TCustomControl>(&main);
    windowed->SetParent(&main);
    auto* windowless = new CancelWatch<TGraphicControl>(&main);
    windowless->SetParent(&main);
    windowless->SetBounds(100, 10, 20, 20);
    main.Show();

    TForm dialog(nullptr);
    struct Ender {
        TForm* Dialog;
        CaptureAtModal* Modal;
        void Proc(TMessage& message)
        {
            if (message.Msg != WM_TESTPING)
                return;
            Modal->Seen = ui::GetCapture();
            Dialog->SetModalResult(mrOk);
        }
    } ender{&dialog, &modal};
    ui::HWND window = AllocateHWnd(TWndMethod(&ender, &Ender::Proc));

    struct Row {
        const char* name;
        std::function<void()> run;
    };
    const Row rows[] = {
        {"ShowModal",
         [&] {
             ui::PostMessage(window, WM_TESTPING, 0, 0);
             dialog.ShowModal();
         }},
        {"ShowMessage", [] { ShowMessage("note"); }},
        {"ConfirmYesNo", [] { ConfirmYesNo("sure?"); }},
        {"ShowError", [] { ShowError("failed"); }},
        {"OpenDialog", [] { TOpenDialog(nullptr).Execute(); }},
        {"ColorDialog", [] { TColorDialog(nullptr).Execute(); }},
    };
    for (TControl* holder : std::initializer_list<TControl*>{windowed, windowless}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (holder == windowed ? " windowed" : " windowless"));
            windowed->Cancels = windowless->Cancels = 0;
            modal.Seen = reinterpret_cast<ui::HWND>(1);
            holder->SetMouseCapture(true);
            ASSERT_NE(ui::GetCapture(), nullptr);
            row.run();
            EXPECT_EQ(modal.Seen, nullptr);
            EXPECT_EQ(holder == windowed ? windowed->Cancels : windowless->Cancels, 1);
            EXPECT_FALSE(holder->GetMouseCapture());
        }
    }
    DeallocateHWnd(window);
}

TEST(ModalForm, ClosingCancelsUnlessOnCloseRefuses)
{
    TApplication application(nullptr);
    TForm dialog(nullptr);
    dialog.Show();
    dialog.Hide();  // made, so the close can be posted before the loop runs
    ui::PostMessage(dialog.GetHandle(), ui::WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);

    CloseChoice refuse;
    refuse.Action = caNone;
    dialog.OnClose = TCloseEvent(&refuse, &CloseChoice::Close);
    ModalEnder ender{&dialog, mrOk, dialog.GetHandle()};
    ui::HWND window = AllocateHWnd(TWndMethod(&ender, &ModalEnder::Proc));
    ui::PostMessage(dialog.GetHandle(), ui::WM_CLOSE, 0, 0);
    ui::PostMessage(window, WM_TESTPING, 0, 0);
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(refuse.Calls, 1);
    DeallocateHWnd(window);
}

}  // namespace
}  // namespace ovrel::toolkit
