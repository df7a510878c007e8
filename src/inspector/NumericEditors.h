#pragma once
// The numeric cell editors: a textual editor that takes only number text, keeps it in range and formats it
// with fixed decimals and a unit, and the spin editor with its pair of press-and-hold buttons.

#include "inspector/CellEditors.h"
#include "inspector/NumericText.h"

#include "toolkit/ExtCtrls.h"

#include <cstdint>
#include <string>

namespace ovrel::inspector {

/// A textual editor of a number. The text rules are those of NumericText.h with the current decimal
/// separator; leaving the editor reformats what was typed.
class TNumericEditor : public TTextualEditor {
public:
    explicit TNumericEditor(toolkit::TComponent* owner);

    [[nodiscard]] double GetMax() const { return FMax; }
    /// An upper bound only when above 0.
    void SetMax(double value) { FMax = value; }
    [[nodiscard]] double GetMin() const { return FMin; }
    void SetMin(double value) { FMin = value; }
    [[nodiscard]] const std::string& GetNullText() const { return FNullText; }
    /// Shows the value 0 at once: a non-empty text stands for it.
    void SetNullText(const std::string& value);
    [[nodiscard]] TEditOptions GetOptions() const { return FOptions; }
    void SetOptions(TEditOptions value) { FOptions = value; }
    [[nodiscard]] int GetPrecision() const { return FPrecision; }
    void SetPrecision(int value);
    [[nodiscard]] const std::string& GetTextAfter() const { return FTextAfter; }
    void SetTextAfter(const std::string& value);

    /// The rules the text follows now, with the current decimal separator.
    [[nodiscard]] TNumberRules Rules() const;
    /// The number of the text: 0 for the empty text, NullText and text without digits.
    [[nodiscard]] double GetValue() const;
    /// Writes the text of x.
    void DisplayValue(double x);
    void SetValue(double value) { DisplayValue(value); }

    [[nodiscard]] double GetAsFloat() const override;
    void SetAsFloat(double value) override;
    /// Copies the range, then NullText, Options, Precision and the value of another numeric editor.
    void Assign(const toolkit::TPersistent* source) override;

protected:
    void CreateWnd() override;
    void Dispatch(toolkit::TMessage& message) override;
    /// Refuses what cannot be part of a number here.
    void KeyPress(char32_t& key) override;
    void DoExit() override;
    /// Only the clipboard's number characters go in, at the selection.
    virtual void WMPaste(toolkit::TMessage& message);
    /// Leaving the editor: the text is clamped and formatted again.
    virtual void Reformat();

private:
    double FMax = 0;
    double FMin = 0;
    std::string FNullText;
    TEditOptions FOptions{eoAllowFloat, eoAllowSigns};
    int FPrecision = 2;
    std::string FTextAfter;
};

class TSpinEditor;

enum TSpinDirection : std::uint8_t { sdUp, sdDown };
using TSpinDirections = toolkit::TSet<TSpinDirection>;
/// (Sender, Direction).
using TSpinEvent = toolkit::TEvent<toolkit::TObject*, TSpinDirections>;

/// The up and down halves at a spin editor's right edge. A press steps at once, again after 400 ms and
/// then every 20 ms until released.
class TSpinButtons : public toolkit::TCustomControl {
public:
    explicit TSpinButtons(toolkit::TComponent* owner);
    ~TSpinButtons() override;

    [[nodiscard]] TSpinDirections GetPressed() const { return FPressed; }
    /// A direction steps at once and starts the delay; none stops both timers.
    void SetPressed(TSpinDirections value);
    [[nodiscard]] TSpinDirections GetHot() const { return FHot; }
    void SetHot(TSpinDirections value);
    /// Both timers off, nothing pressed.
    void Stop();
    [[nodiscard]] toolkit::TTimer* GetDelayTimer() const { return FDelayTimer; }
    [[nodiscard]] toolkit::TTimer* GetRepeatTimer() const { return FRepeatTimer; }

    TSpinEvent OnSpin;

protected:
    void Paint() override;
    void Dispatch(toolkit::TMessage& message) override;
    void MouseDown(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void MouseMove(toolkit::TShiftState shift, int x, int y) override;
    void MouseUp(toolkit::TMouseButton button, toolkit::TShiftState shift, int x, int y) override;
    void CMMouseLeave(toolkit::TMessage& message) override;
    void WMCaptureChanged(toolkit::TMessage& message) override;

private:
    [[nodiscard]] TSpinDirections HalfAt(int y) const;
    void Spin();
    void DelayElapsed(toolkit::TObject* sender);
    void RepeatElapsed(toolkit::TObject* sender);

    toolkit::TTimer* FDelayTimer = nullptr;  // owned as a component
    TSpinDirections FHot;
    TSpinDirections FPressed;
    toolkit::TTimer* FRepeatTimer = nullptr;  // owned as a component
};

/// A numeric editor with up and down buttons, the arrow keys (outside the grid) and the wheel stepping
/// by Increment inside the range.
class TSpinEditor : public TNumericEditor {
public:
    explicit TSpinEditor(toolkit::TComponent* owner);

    [[nodiscard]] TSpinButtons* GetButtons() const { return FButtons; }
    [[nodiscard]] double GetIncrement() const { return FIncrement; }
    void SetIncrement(double value) { FIncrement = value; }

    /// One step up or down, when it stays inside the range.
    void SpinClick(TSpinDirections direction);

    [[nodiscard]] double GetAsFloat() const override;
    /// The value to the nearest integer, ties to even.
    [[nodiscard]] int GetAsInteger() const override;
    void SetAsFloat(double value) override;
    void SetAsInteger(int value) override;
    void MoveCaretToEnd() override;
    /// The text ends where the buttons begin.
    void GetEditRect(toolkit::TRect& rect) override;

protected:
    void CreateWnd() override;
    void Dispatch(toolkit::TMessage& message) override;
    void WMSize(toolkit::TMessage& message) override;
    void WMWindowPosChanged(toolkit::TMessage& message) override;
    void CMMouseEnter(toolkit::TMessage& message) override;
    void CMMouseLeave(toolkit::TMessage& message) override;
    bool DoMouseWheelDown(toolkit::TShiftState shift, ui::POINT mousePos) override;
    bool DoMouseWheelUp(toolkit::TShiftState shift, ui::POINT mousePos) override;
    void DoExit() override;

private:
    void PlaceButtons();
    void Spun(toolkit::TObject* sender, TSpinDirections direction);

    TSpinButtons* FButtons = nullptr;  // owned as a component
    double FIncrement = 1.0;
};

}  // namespace ovrel::inspector
