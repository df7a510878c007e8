#include "toolkit/Menus.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ovrel::toolkit;
namespace ui = ovrel::ui;

namespace {

struct TextRow {
    const char* name;
    TShortCut shortCut;
    const char* text;
};

class ShortCutText : public ::testing::TestWithParam<TextRow> {};

TEST_P(ShortCutText, WritesModifiersInFixedOrderThenTheEnglishKeyName)
{
    EXPECT_EQ(ShortCutToText(GetParam().shortCut), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShortCutText,
    ::testing::Values(TextRow{"Letter", ShortCut('A', {ssCtrl}), "Ctrl+A"},
                      TextRow{"Digit", ShortCut('0', {ssAlt}), "Alt+0"},
                      TextRow{"AllModifiers", ShortCut(ui::VK_DELETE, {ssAlt, ssCtrl, ssShift}), "Shift+Ctrl+Alt+Del"},
                      TextRow{"FunctionKey", ui::VK_F5, "F5"}, TextRow{"LastFunctionKey", ui::VK_F24, "F24"},
                      TextRow{"PageUp", ui::VK_PRIOR, "PgUp"}, TextRow{"PageDown", ui::VK_NEXT, "PgDn"},
                      TextRow{"Insert", ui::VK_INSERT, "Ins"}, TextRow{"Escape", ui::VK_ESCAPE, "Esc"},
                      TextRow{"Enter", ui::VK_RETURN, "Enter"},
                      TextRow{"Backspace", ShortCut(ui::VK_BACK, {ssAlt}), "Alt+BkSp"},
                      TextRow{"Arrow", ShortCut(ui::VK_LEFT, {ssShift}), "Shift+Left"},
                      TextRow{"NumPad", ui::VK_NUMPAD0 + 3, "Num 3"}, TextRow{"NumPadOperator", ui::VK_ADD, "Num +"},
                      TextRow{"PlusKey", ShortCut(ui::VK_OEM_PLUS, {ssCtrl}), "Ctrl++"},
                      TextRow{"MinusKey", ShortCut(ui::VK_OEM_MINUS, {ssCtrl}), "Ctrl+-"}, TextRow{"None", scNone, ""},
                      TextRow{"ModifiersWithoutKey", scCtrl | scShift, ""},
                      TextRow{"UnnamedKey", ShortCut(0xFF, {ssCtrl}), ""}, TextRow{"ShiftKeyItself", ui::VK_SHIFT, ""}),
    [](const auto& row) { return std::string(row.param.name); });

struct ParseRow {
    const char* name;
    const char* text;
    TShortCut shortCut;
};

class TextToShortCutRows : public ::testing::TestWithParam<ParseRow> {};

TEST_P(TextToShortCutRows, ReadsWhatUsersAndLanguageFilesWrite)
{
    EXPECT_EQ(TextToShortCut(GetParam().text), GetParam().shortCut);
}

INSTANTIATE_TEST_SUITE_P(Rows, TextToShortCutRows,
                         ::testing::Values(ParseRow{"Plain", "Ctrl+O", scCtrl | 'O'},
                                           ParseRow{"CaseIgnored", "ctrl+shift+o", scCtrl | scShift | 'O'},
                                           ParseRow{"AnyModifierOrder", "Alt+Shift+F4", scAlt | scShift | ui::VK_F4},
                                           ParseRow{"NamedKey", "Shift+Del", scShift | ui::VK_DELETE},
                                           ParseRow{"NameWithSpace", "Num 7", ui::VK_NUMPAD0 + 7},
                                           ParseRow{"PlusAsKey", "Ctrl++", scCtrl | ui::VK_OEM_PLUS},
                                           ParseRow{"ModifierOnly", "Ctrl+", scNone},
                                           ParseRow{"ModifierNameAlone", "Ctrl", scNone}, ParseRow{"Empty", "", scNone},
                                           ParseRow{"UnknownKey", "Ctrl+Foo", scNone},
                                           ParseRow{"TwoKeys", "A+B", scNone}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ShortCutText, EveryNamedShortCutReadsBackAsItself)
{
    const TShortCut modifierSets[] = {
        0, scShift, scCtrl, scAlt, scShift | scCtrl, scCtrl | scAlt, scShift | scCtrl | scAlt};
    int named = 0;
    for (int key = 1; key <= 0xFF; ++key) {
        for (TShortCut modifiers : modifierSets) {
            const auto shortCut = static_cast<TShortCut>(key | modifiers);
            const std::string text = ShortCutToText(shortCut);
            if (text.empty())
                continue;
            ++named;
            SCOPED_TRACE(text);
            EXPECT_EQ(TextToShortCut(text), shortCut);
        }
    }
    // Letters, digits, 24 function keys, the number pad and the named keys, each with every modifier set.
    EXPECT_GT(named, 7 * (26 + 10 + 24 + 10));
}

TEST(ShortCut, CombinesKeyAndShiftStateAndSplitsBack)
{
    struct Row {
        const char* name;
        std::uint16_t key;
        TShiftState shift;
        TShortCut expected;
    };
    const Row rows[] = {
        {"Plain", 'S', {}, 'S'},
        {"Ctrl", 'S', {ssCtrl}, scCtrl | 'S'},
        {"All", ui::VK_F2, {ssShift, ssCtrl, ssAlt}, scShift | scCtrl | scAlt | ui::VK_F2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TShortCut shortCut = ShortCut(row.key, row.shift);
        EXPECT_EQ(shortCut, row.expected);
        std::uint16_t key = 0;
        TShiftState shift{ssLeft};
        ShortCutToKey(shortCut, key, shift);
        EXPECT_EQ(key, row.key);
        EXPECT_EQ(shift, row.shift);
    }
}

TEST(ShortCut, IgnoresMouseAndDoubleClickStateAndRefusesKeysAboveAByte)
{
    EXPECT_EQ(ShortCut('A', {ssLeft, ssDouble, ssCtrl}), scCtrl | 'A');
    EXPECT_EQ(ShortCut(0x100 | 'A', {ssCtrl}), scNone) << "would collide with the flags";
}

/// Sets keys down for one test and releases them afterwards.
class TKeysDown {
public:
    explicit TKeysDown(std::vector<int> keys) : FKeys(std::move(keys))
    {
        for (int key : FKeys)
            ui::SetKeyState(key, true);
    }
    ~TKeysDown()
    {
        for (int key : FKeys)
            ui::SetKeyState(key, false);
    }
    TKeysDown(const TKeysDown&) = delete;
    TKeysDown& operator=(const TKeysDown&) = delete;

private:
    std::vector<int> FKeys;
};

TEST(KeyDataToShiftState, TakesShiftAndCtrlFromTheKeyboardAndAltFromTheKeyData)
{
    struct Row {
        const char* name;
        std::vector<int> down;
        std::intptr_t keyData;
        TShiftState expected;
    };
    const std::vector<Row> rows = {
        {"Nothing", {}, 0x00000001, {}},
        {"Shift", {ui::VK_SHIFT}, 0x002A0001, {ssShift}},
        {"Ctrl", {ui::VK_CONTROL}, 0x001D0001, {ssCtrl}},
        {"AltBitOnly", {}, AltMask | 0x001E0001, {ssAlt}},
        {"AltKeyDownButNotInKeyData", {ui::VK_MENU}, 0x001E0001, {}},
        {"All", {ui::VK_SHIFT, ui::VK_CONTROL}, AltMask, {ssShift, ssCtrl, ssAlt}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TKeysDown keys(row.down);
        EXPECT_EQ(KeyDataToShiftState(row.keyData), row.expected);
    }
}

// ---- Pop-up menu base ---------------------------------------------------------------------------------------

class TPopupRecorder : public TObject {
public:
    void Popped(TObject* sender) { Senders.push_back(sender); }
    std::vector<TObject*> Senders;
};

/// A descendant as the menus of the program are: it shows its menu after the base has run.
class TShowingPopupMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override
    {
        TPopupMenu::Popup(x, y);
        Shown.push_back(GetPopupPoint());
    }
    std::vector<TPoint> Shown;
};

/// A component that keeps a pointer to a menu, as a control does with its pop-up menu.
class TMenuUser : public TComponent {
public:
    using TComponent::TComponent;
    void SetMenu(TPopupMenu* menu)
    {
        FMenu = menu;
        if (menu != nullptr)
            menu->FreeNotification(this);
    }
    [[nodiscard]] TPopupMenu* GetMenu() const { return FMenu; }
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == FMenu)
            FMenu = nullptr;
    }

private:
    TPopupMenu* FMenu = nullptr;
};

}  // namespace

TEST(PopupMenu, PopupRecordsThePointAndFiresOnPopupWithTheMenuAsSender)
{
    TPopupRecorder recorder;
    TShowingPopupMenu menu(nullptr);
    EXPECT_EQ(menu.GetPopupPoint().x, -1);
    menu.OnPopup = TNotifyEvent(&recorder, &TPopupRecorder::Popped);
    menu.Popup(120, -40);  // a point on a monitor left of or above the primary one is negative
    EXPECT_EQ(menu.GetPopupPoint().x, 120);
    EXPECT_EQ(menu.GetPopupPoint().y, -40);
    EXPECT_EQ(recorder.Senders, (std::vector<TObject*>{&menu}));
    ASSERT_EQ(menu.Shown.size(), 1u);
    EXPECT_EQ(menu.Shown[0].x, 120);
}

TEST(PopupMenu, HasNoShortCutsOfItsOwn)
{
    TPopupMenu menu(nullptr);
    TMessage message{ui::WM_KEYDOWN, 'A', 0, 0};
    EXPECT_FALSE(menu.IsShortCut(message));
}

TEST(PopupMenu, ForgetsAFreedPopupComponent)
{
    TComponent form(nullptr);
    auto* menu = new TPopupMenu(&form);
    auto* control = new TComponent(&form);
    menu->SetPopupComponent(control);
    EXPECT_EQ(menu->GetPopupComponent(), control);
    delete control;
    EXPECT_EQ(menu->GetPopupComponent(), nullptr);

    // A component owned elsewhere, freed before the menu.
    auto other = std::make_unique<TComponent>(nullptr);
    menu->SetPopupComponent(other.get());
    other.reset();
    EXPECT_EQ(menu->GetPopupComponent(), nullptr);
}

TEST(PopupMenu, SwitchingPopupComponentKeepsTheFormerComponentsOwnWatch)
{
    // Both controls point at the menu; popping up for one, then the other, must not cut the first
    // one's free notification, or it would keep a dangling pointer when the menu goes.
    TComponent form(nullptr);
    auto* first = new TMenuUser(&form);
    auto* second = new TMenuUser(&form);
    auto* menu = new TPopupMenu(nullptr);
    first->SetMenu(menu);
    second->SetMenu(menu);
    menu->SetPopupComponent(first);
    menu->SetPopupComponent(second);
    menu->SetPopupComponent(nullptr);
    delete menu;
    EXPECT_EQ(first->GetMenu(), nullptr);
    EXPECT_EQ(second->GetMenu(), nullptr);
}

TEST(PopupMenu, PublishesItsSettingsByName)
{
    TPopupMenu menu(nullptr);
    EXPECT_EQ(GetEnumProp(menu, "Alignment"), "paLeft");
    EXPECT_EQ(GetEnumProp(menu, "TrackButton"), "tbRightButton");
    EXPECT_EQ(GetEnumProp(menu, "AutoPopup"), "True");
    SetEnumProp(menu, "Alignment", "paCenter");
    SetEnumProp(menu, "TrackButton", "tbLeftButton");
    SetEnumProp(menu, "AutoPopup", "False");
    EXPECT_EQ(menu.GetAlignment(), paCenter);
    EXPECT_EQ(menu.GetTrackButton(), tbLeftButton);
    EXPECT_FALSE(menu.GetAutoPopup());
}
