#include "toolkit/Menus.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <array>
#include <string_view>

namespace ovrel::toolkit {

namespace {

inline constexpr TShortCut ModifierMask = scShift | scCtrl | scAlt;

struct TKeyName {
    std::uint16_t Key;
    std::string_view Name;
};

// Keys whose names are not their own character or a numbered series.
constexpr std::array<TKeyName, 31> NamedKeys{{
    {ui::VK_BACK, "BkSp"},    {ui::VK_TAB, "Tab"},        {ui::VK_RETURN, "Enter"},    {ui::VK_ESCAPE, "Esc"},
    {ui::VK_SPACE, "Space"},  {ui::VK_PRIOR, "PgUp"},     {ui::VK_NEXT, "PgDn"},       {ui::VK_END, "End"},
    {ui::VK_HOME, "Home"},    {ui::VK_LEFT, "Left"},      {ui::VK_UP, "Up"},           {ui::VK_RIGHT, "Right"},
    {ui::VK_DOWN, "Down"},    {ui::VK_INSERT, "Ins"},     {ui::VK_DELETE, "Del"},      {ui::VK_MULTIPLY, "Num *"},
    {ui::VK_ADD, "Num +"},    {ui::VK_SUBTRACT, "Num -"}, {ui::VK_DECIMAL, "Num Del"}, {ui::VK_DIVIDE, "Num /"},
    {ui::VK_OEM_1, ";"},      {ui::VK_OEM_PLUS, "+"},     {ui::VK_OEM_COMMA, ","},     {ui::VK_OEM_MINUS, "-"},
    {ui::VK_OEM_PERIOD, "."}, {ui::VK_OEM_2, "/"},        {ui::VK_OEM_3, "`"},         {ui::VK_OEM_4, "["},
    {ui::VK_OEM_5, "\\"},     {ui::VK_OEM_6, "]"},        {ui::VK_OEM_7, "'"},
}};

struct TModifierName {
    TShortCut Flag;
    std::string_view Prefix;
};

// In the order ShortCutToText writes them.
constexpr std::array<TModifierName, 3> Modifiers{{{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}}};

// Appended rather than written as literal + string, which trips a false restrict warning of GCC 12.
std::string Numbered(std::string_view prefix, int number)
{
    std::string name(prefix);
    name += std::to_string(number);
    return name;
}

std::string KeyName(std::uint16_t key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= ui::VK_F1 && key <= ui::VK_F24)
        return Numbered("F", key - ui::VK_F1 + 1);
    if (key >= ui::VK_NUMPAD0 && key <= ui::VK_NUMPAD9)
        return Numbered("Num ", key - ui::VK_NUMPAD0);
    for (const TKeyName& named : NamedKeys)
        if (named.Key == key)
            return std::string(named.Name);
    return {};
}

bool StartsWithText(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

// The key of a name, letter case ignored; 0 when no key has it.
std::uint16_t KeyFromName(std::string_view name)
{
    if (name.empty())
        return 0;
    // Every name KeyName can give is one of these keys; none is above 0xFF.
    for (std::uint16_t key = 1; key <= 0xFF; ++key) {
        const std::string candidate = KeyName(key);
        if (!candidate.empty() && SameText(candidate, name))
            return key;
    }
    return 0;
}

}  // namespace

TShortCut ShortCut(std::uint16_t key, TShiftState shift)
{
    if ((key & 0xFF00) != 0)  // no room for it beside the flags
        return scNone;
    TShortCut result = key;
    if (shift.Contains(ssShift))
        result |= scShift;
    if (shift.Contains(ssCtrl))
        result |= scCtrl;
    if (shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift)
{
    key = shortCut & static_cast<TShortCut>(~ModifierMask);
    shift = TShiftState();
    if ((shortCut & scShift) != 0)
        shift.Include(ssShift);
    if ((shortCut & scCtrl) != 0)
        shift.Include(ssCtrl);
    if ((shortCut & scAlt) != 0)
        shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut shortCut)
{
    const std::string name = KeyName(shortCut & 0xFF);
    if (name.empty())
        return {};
    std::string text;
    for (const TModifierName& modifier : Modifiers)
        if ((shortCut & modifier.Flag) != 0)
            text += modifier.Prefix;
    return text + name;
}

TShortCut TextToShortCut(std::string_view text)
{
    TShortCut flags = 0;
    // A prefix counts as a modifier only when a key name follows it: "Ctrl++" is Ctrl with the plus key.
    for (bool found = true; found;) {
        found = false;
        for (const TModifierName& modifier : Modifiers) {
            if (text.size() > modifier.Prefix.size() && StartsWithText(text, modifier.Prefix)) {
                flags |= modifier.Flag;
                text.remove_prefix(modifier.Prefix.size());
                found = true;
            }
        }
    }
    const std::uint16_t key = KeyFromName(text);
    return key == 0 ? scNone : static_cast<TShortCut>(key | flags);
}

TShiftState KeyDataToShiftState(std::intptr_t keyData)
{
    TShiftState shift;
    if (ui::GetKeyState(ui::VK_SHIFT) < 0)
        shift.Include(ssShift);
    if (ui::GetKeyState(ui::VK_CONTROL) < 0)
        shift.Include(ssCtrl);
    if ((keyData & AltMask) != 0)
        shift.Include(ssAlt);
    return shift;
}

// ---------------------------------------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y)
{
    FPopupPoint = TPoint{x, y};
    DoPopup(this);
}

bool TPopupMenu::IsShortCut(TMessage&) { return false; }

void TPopupMenu::SetPopupComponent(TComponent* value)
{
    if (value == FPopupComponent)
        return;
    // The old component keeps its free-notification pair with the menu: it may have asked for that pair
    // itself (a control keeps a pointer to its pop-up menu), and the pair is one entry for both sides.
    FPopupComponent = value;
    if (FPopupComponent != nullptr)
        FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component != nullptr && component == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* sender) { OnPopup(sender); }

const TPropertyTable& TPopupMenu::ClassProperties()
{
    static const TPropertyTable table =
        TPropertyTable(&TComponent::ClassProperties())
            .Enumeration("Alignment", &TPopupMenu::GetAlignment, &TPopupMenu::SetAlignment,
                         {"paLeft", "paRight", "paCenter"})
            .Enumeration("AutoPopup", &TPopupMenu::GetAutoPopup, &TPopupMenu::SetAutoPopup, {"False", "True"})
            .Enumeration("TrackButton", &TPopupMenu::GetTrackButton, &TPopupMenu::SetTrackButton,
                         {"tbRightButton", "tbLeftButton"});
    return table;
}

const TPropertyTable& TPopupMenu::GetPropertyTable() const { return ClassProperties(); }

}  // namespace ovrel::toolkit
