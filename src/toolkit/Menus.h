#pragma once
// Shortcuts (a key with modifier flags) and the base of pop-up menus.

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/System.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ovrel::toolkit {

/// A key code in the low byte with scShift, scCtrl and scAlt flags; 0 is no shortcut.
using TShortCut = std::uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

/// Key data bit of a key message that says Alt was down.
inline constexpr std::intptr_t AltMask = 0x20000000;

[[nodiscard]] TShortCut ShortCut(std::uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift);
/// "Shift+Ctrl+Alt+" in that order, then the English key name ("A", "F5", "Del", "PgUp", "Num 3");
/// empty for a key without a name.
[[nodiscard]] std::string ShortCutToText(TShortCut shortCut);
/// The shortcut that ShortCutToText writes as text; modifiers in any order and letter case ignored.
/// 0 for text that names no key.
[[nodiscard]] TShortCut TextToShortCut(std::string_view text);
/// Shift and Ctrl from the keyboard state, Alt from the key data of the message.
[[nodiscard]] TShiftState KeyDataToShiftState(std::intptr_t keyData);

enum TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };
enum TTrackButton : std::uint8_t { tbRightButton, tbLeftButton };

/// The base of pop-up menus: where and for whom it pops up. The menu itself (items, images, the modal loop)
/// belongs to a descendant that overrides Popup.
class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* owner);
    ~TPopupMenu() override;

    /// Records the point and runs DoPopup; descendants show the menu after that.
    virtual void Popup(int x, int y);
    /// Whether the key message (WParam key, LParam key data) is the shortcut of one of the menu's commands,
    /// which then runs. None in the base.
    virtual bool IsShortCut(TMessage& message);

    [[nodiscard]] TPoint GetPopupPoint() const { return FPopupPoint; }
    [[nodiscard]] TPopupAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TPopupAlignment value) { FAlignment = value; }
    [[nodiscard]] TTrackButton GetTrackButton() const { return FTrackButton; }
    void SetTrackButton(TTrackButton value) { FTrackButton = value; }
    [[nodiscard]] bool GetAutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool value) { FAutoPopup = value; }
    /// The component the menu was popped up for; cleared when that component is freed.
    [[nodiscard]] TComponent* GetPopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* value);

    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnPopup;

    static const TPropertyTable& ClassProperties();
    [[nodiscard]] const TPropertyTable& GetPropertyTable() const override;

protected:
    /// Fires OnPopup (sender = the menu).
    virtual void DoPopup(TObject* sender);
    /// For a descendant's Popup, which records the point itself.
    void SetPopupPoint(TPoint value) { FPopupPoint = value; }

private:
    TPoint FPopupPoint{-1, -1};
    TPopupAlignment FAlignment = paLeft;
    TTrackButton FTrackButton = tbRightButton;
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
};

}  // namespace ovrel::toolkit
