// What a form makes of the system's messages: system keys offered to it as dialog keys, colour and setting
// changes handed to every control, and the application's minimised state that follows its main form.
#include "ControlsTestSupport.h"

#include "platform/ui/SysTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::toolkit {
namespace {

// A control that notes the dialog keys and change messages it hears, and may take a dialog key.
class Listener : public TWinControl {
public:
    using TWinControl::TWinControl;
    struct Heard {
        std::uint32_t Msg;
        std::uintptr_t WParam;
        bool Alt;
        friend bool operator==(const Heard&, const Heard&) = default;
    };
    std::vector<Heard> Log;
    std::uintptr_t TakeKey = 0;

protected:
    void CMDialogKey(TMessage& message) override
    {
        Log.push_back({CM_DIALOGKEY, message.WParam, (message.LParam & (1 << 29)) != 0});
        if (message.WParam == TakeKey) {
            message.Result = 1;
            return;
        }
        TWinControl::CMDialogKey(message);
    }
    void CMSysColorChange(TMessage& message) override
    {
        Log.push_back({CM_SYSCOLORCHANGE, message.WParam, false});
        TWinControl::CMSysColorChange(message);
    }
    void CMWinIniChange(TMessage& message) override
    {
        Log.push_back({CM_WININICHANGE, message.WParam, false});
        TWinControl::CMWinIniChange(message);
    }
};

// form
//   panel (a listener)   edit (a listener with the focus)
class FormMessagesTest : public ::testing::Test {
protected:
    FormMessagesTest()
    {
        ui::ClearMessageQueue();
        Form->SetBounds(0, 0, 300, 200);
        Panel->SetParent(Form.get());
        Panel->SetBounds(0, 0, 200, 100);
        Edit->SetParent(Panel);
        Edit->SetBounds(10, 10, 80, 20);
        Form->Show();
        Edit->SetFocus();
        Application.ProcessMessages();
        Panel->Log.clear();
        Edit->Log.clear();
    }
    ~FormMessagesTest() override
    {
        for (int vk : {ui::VK_MENU, ui::VK_SHIFT, ui::VK_CONTROL})
            ui::SetKeyState(vk, false);
        ui::ClearMessageQueue();
    }
    void Press(ui::WORD key, ui::UINT modifiers = 0)
    {
        ui::PostKeyInput(ui::WM_KEYDOWN, key, {}, modifiers);
        ui::PostKeyInput(ui::WM_KEYUP, key, {}, modifiers);
        Application.ProcessMessages();
    }
    [[nodiscard]] std::vector<Listener::Heard> DialogKeys() const
    {
        std::vector<Listener::Heard> keys;
        for (const auto& heard : Panel->Log)
            if (heard.Msg == CM_DIALOGKEY)
                keys.push_back(heard);
        return keys;
    }

    TApplication Application{nullptr};
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    Listener* Panel = new Listener(Form.get());
    Listener* Edit = new Listener(Form.get());
};

TEST_F(FormMessagesTest, SystemKeysReachTheFormAsDialogKeysAndOrdinaryKeysDoNot)
{
    struct Row {
        const char* Name;
        ui::WORD Key;
        ui::UINT Modifiers;
        bool Offered;
        bool Alt;
    };
    const Row rows[] = {
        {"Alt", ui::VK_MENU, 0, true, true},
        {"AltWithALetter", 'F', ui::MOD_ALT, true, true},
        {"F10", ui::VK_F10, 0, true, false},
        {"ALetter", 'F', 0, false, false},
        {"ControlWithALetter", 'F', ui::MOD_CONTROL, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        Panel->Log.clear();
        Press(row.Key, row.Modifiers);
        const auto keys = DialogKeys();
        if (row.Offered) {
            // The form broadcasts it: the panel hears it with the key and the key data of the press.
            ASSERT_EQ(keys.size(), 1u);
            EXPECT_EQ(keys[0].WParam, row.Key);
            EXPECT_EQ(keys[0].Alt, row.Alt);
        } else {
            EXPECT_TRUE(keys.empty());
        }
    }
}

struct KeyEater {
    std::uint16_t Eat = 0;
    void KeyDown(TObject*, std::uint16_t& key, TShiftState)
    {
        if (key == Eat)
            key = 0;
    }
};

struct MenuKeyWatch {
    int KeyMenus = 0;
    void Hook(TMessage& message, bool& handled)
    {
        if (message.Msg == CM_APPSYSCOMMAND)
            ++KeyMenus;
        handled = false;
    }
};

TEST_F(FormMessagesTest, TheFocusedControlMayEatItAndAControlThatTakesItStopsTheDefault)
{
    KeyEater eater;
    Edit->OnKeyDown = TKeyEvent(&eater, &KeyEater::KeyDown);
    eater.Eat = ui::VK_MENU;
    Press(ui::VK_MENU);
    EXPECT_TRUE(DialogKeys().empty());

    // Not taken, Alt still becomes the menu key on its release; Alt+F4 still closes the form.
    eater.Eat = 0;
    MenuKeyWatch watch;
    Application.HookMainWindow(TWindowHook(&watch, &MenuKeyWatch::Hook));
    Press(ui::VK_MENU);
    EXPECT_EQ(DialogKeys().size(), 1u);
    EXPECT_EQ(watch.KeyMenus, 1);

    Panel->TakeKey = ui::VK_F4;
    Press(ui::VK_F4, ui::MOD_ALT);
    EXPECT_TRUE(Form->GetVisible());
    Panel->TakeKey = 0;
    Press(ui::VK_F4, ui::MOD_ALT);
    EXPECT_FALSE(Form->GetVisible());
    Application.UnhookMainWindow(TWindowHook(&watch, &MenuKeyWatch::Hook));
}

TEST_F(FormMessagesTest, ColourAndSettingChangesReachEveryControlOfTheForm)
{
    ui::SystemTableOverride keep;
    const int index = ui::COLOR_BTNFACE;
    const ui::COLORREF colour = ui::RGB(1, 2, 3);
    ui::SetSysColors(1, &index, &colour);
    ui::NONCLIENTMETRICS metrics = ui::CurrentSystemTable().NonClientMetrics;
    ui::SystemParametersInfo(ui::SPI_SETNONCLIENTMETRICS, 0, &metrics, ui::SPIF_SENDCHANGE);
    const std::vector<Listener::Heard> expected{{CM_SYSCOLORCHANGE, 0, false},
                                                {CM_WININICHANGE, ui::SPI_SETNONCLIENTMETRICS, false}};
    EXPECT_EQ(Panel->Log, expected);
    EXPECT_EQ(Edit->Log, expected);
}

TEST(ApplicationMinimized, FollowsTheMainFormsWindow)
{
    TApplication application(nullptr);
    EXPECT_FALSE(application.GetMinimized());  // no main form
    TForm main(nullptr);
    TForm other(nullptr);
    application.SetMainForm(&main);
    EXPECT_FALSE(application.GetMinimized());  // no window yet
    main.Show();
    other.Show();
    ui::ShowWindow(other.GetHandle(), ui::SW_MINIMIZE);
    EXPECT_FALSE(application.GetMinimized());
    ui::ShowWindow(main.GetHandle(), ui::SW_MINIMIZE);
    EXPECT_TRUE(application.GetMinimized());
    ui::ShowWindow(main.GetHandle(), ui::SW_RESTORE);
    EXPECT_FALSE(application.GetMinimized());
    application.SetMainForm(nullptr);
}

}  // namespace
}  // namespace ovrel::toolkit
