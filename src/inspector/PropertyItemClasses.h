#pragma once
// The kinds of grid rows. Each keeps its value in a form of its own, converts it to and from text and
// numbers, and names the editor and the display that serve it.

#include "inspector/PropertyItems.h"

#include "toolkit/Graphics.h"
#include "toolkit/Lists.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ovrel::inspector {

/// The rows edited as text in a textual editor.
class TCustomTextualItem : public TCustomPropertyItem {
public:
    using TCustomPropertyItem::TCustomPropertyItem;

    [[nodiscard]] bool CanEdit() const override { return true; }
    [[nodiscard]] bool HasPreview() const override { return true; }
    [[nodiscard]] TCellEditorClass GetEditorClass() const override;
    /// Loads the value and the preview flag into the editor, then shows it.
    void ShowEditor() override;
};

/// A row whose value is a text.
class TTextualItem : public TCustomTextualItem {
public:
    using TCustomTextualItem::TCustomTextualItem;

    [[nodiscard]] std::string GetAsString() const override { return FText; }
    /// The text as a number; 0 when it is none.
    [[nodiscard]] int GetAsInteger() const override;
    [[nodiscard]] double GetAsFloat() const override;
    void SetAsString(const std::string& value) override;
    void SetAsInteger(int value) override;
    void SetAsFloat(double value) override;
    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;

    /// Shown once per character of the value in place of it; 0: none.
    [[nodiscard]] char16_t GetPasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char16_t value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    std::string FText;
    char16_t FPasswordChar = 0;
};

/// A textual row with a button in its editor; the button raises the grid's OnExecute for the row.
class TExecuteItem : public TTextualItem {
public:
    explicit TExecuteItem(toolkit::TComponent* owner);
    ~TExecuteItem() override;

    [[nodiscard]] TCellEditorClass GetEditorClass() const override;
    /// Hands the glyph to the editor's button and routes its clicks to OnExecute, then shows the editor.
    void ShowEditor() override;

    /// The button's picture; owned, the writer copies.
    [[nodiscard]] toolkit::TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const toolkit::TBitmap* value);
    /// The glyph's colour that is not drawn; clNone: the glyph's own transparency.
    [[nodiscard]] toolkit::TColor GetTransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(toolkit::TColor value) { FTransparentColor = value; }

    /// The button was clicked (sender = the item); the grid sets it when it opens the editor.
    toolkit::TNotifyEvent OnExecute;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    void ButtonClicked(toolkit::TObject* sender);

    std::unique_ptr<toolkit::TBitmap> FGlyph;
    toolkit::TColor FTransparentColor = toolkit::clNone;
};

/// A row holding the path of a picture.
class TImageItem : public TExecuteItem {
public:
    using TExecuteItem::TExecuteItem;
};

enum TComboBoxStyle : std::uint8_t { cbDropDown, cbDropDownList };

/// A textual row whose value may be picked from a list of lines.
class TComboBoxItem : public TTextualItem {
public:
    explicit TComboBoxItem(toolkit::TComponent* owner);
    ~TComboBoxItem() override;

    [[nodiscard]] TCellEditorClass GetEditorClass() const override;
    void ShowEditor() override;
    /// Hides the editor; a line picked there becomes the value, free text typed there stays.
    void HideEditor() override;

    /// The choices; owned, the writer copies.
    [[nodiscard]] toolkit::TStringList* GetLines() const { return FLines.get(); }
    void SetLines(const toolkit::TStrings& value);
    [[nodiscard]] int GetItemIndex() const { return FItemIndex; }
    /// Only an index of Lines: stores it and makes that line the value.
    void SetItemIndex(int value);
    [[nodiscard]] TComboBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TComboBoxStyle value) { FStyle = value; }
    [[nodiscard]] int GetDropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int value) { FDropDownCount = value; }

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    void EditorPicked(toolkit::TObject* sender);

    std::unique_ptr<toolkit::TStringList> FLines;
    int FItemIndex = -1;
    TComboBoxStyle FStyle = cbDropDown;
    int FDropDownCount = 8;
};

/// A combo row over the installed font families.
class TFontNameItem : public TComboBoxItem {
public:
    using TComboBoxItem::TComboBoxItem;

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    /// Lines become the screen's font names first.
    void ShowEditor() override;
};

enum TColorKind : std::uint8_t { ckKorvel, ckWeb };

/// A row whose text names a colour: as an identifier or number (ckKorvel), or as "#RRGGBB" (ckWeb).
class TColorItem : public TTextualItem {
public:
    using TTextualItem::TTextualItem;

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    [[nodiscard]] TColorKind GetColorKind() const { return FColorKind; }
    void SetColorKind(TColorKind value) { FColorKind = value; }
    /// Stored only.
    [[nodiscard]] bool GetUseColorNames() const { return FUseColorNames; }
    void SetUseColorNames(bool value) { FUseColorNames = value; }

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    TColorKind FColorKind = ckKorvel;
    bool FUseColorNames = false;
};

/// A row whose text is a date.
class TDateItem : public TTextualItem {
public:
    using TTextualItem::TTextualItem;
};

/// A row holding a number beside its text; the text of the number is the value.
class TSpinItem : public TTextualItem {
public:
    using TTextualItem::TTextualItem;

    /// EConvertError for text that is no number; the empty text is 0.
    void SetAsString(const std::string& value) override;
    void SetAsFloat(double value) override;
    void SetAsInteger(int value) override;
    [[nodiscard]] std::string GetAsString() const override;
    [[nodiscard]] double GetAsFloat() const override { return FNumber; }
    /// Rounded, halves to even.
    [[nodiscard]] int GetAsInteger() const override;

    [[nodiscard]] double GetMax() const { return FMax; }
    void SetMax(double value) { FMax = value; }
    [[nodiscard]] double GetMin() const { return FMin; }
    void SetMin(double value) { FMin = value; }
    [[nodiscard]] double GetIncrement() const { return FIncrement; }
    void SetIncrement(double value) { FIncrement = value; }

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    double FNumber = 0;
    double FMax = 0;
    double FMin = 0;
    double FIncrement = 1;
};

/// A row of several lines, shown side by side.
class TMemoItem : public TCustomTextualItem {
public:
    explicit TMemoItem(toolkit::TComponent* owner);
    ~TMemoItem() override;

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    /// Every line followed by a line break.
    [[nodiscard]] std::string GetAsString() const override;
    /// The lines as a number; EConvertError when they are none.
    [[nodiscard]] int GetAsInteger() const override;
    [[nodiscard]] double GetAsFloat() const override;
    void SetAsString(const std::string& value) override;
    void SetAsInteger(int value) override;
    void SetAsFloat(double value) override;

    /// Owned; the writer copies.
    [[nodiscard]] toolkit::TStringList* GetLines() const { return FLines.get(); }
    void SetLines(const toolkit::TStrings& value);
    /// A line-break symbol between the lines shown.
    [[nodiscard]] bool GetMultiLineSymbol() const { return FMultiLineSymbol; }
    void SetMultiLineSymbol(bool value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    std::unique_ptr<toolkit::TStringList> FLines;
    bool FMultiLineSymbol = true;
};

// ---- Toolbar rows -----------------------------------------------------------------------------------------

class TToolbarItem;
class TToolbarItemButtons;

/// One button of a toolbar row.
class TToolbarItemButton : public toolkit::TCollectionItem {
public:
    explicit TToolbarItemButton(toolkit::TCollection* collection);
    ~TToolbarItemButton() override;

    void Assign(const toolkit::TPersistent* source) override;

    [[nodiscard]] bool GetChecked() const { return FChecked; }
    /// Through the buttons' check rule, then repaints the button.
    void SetChecked(bool value);
    /// Owned; the writer copies. Its changes repaint the button.
    [[nodiscard]] toolkit::TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const toolkit::TBitmap* value);
    [[nodiscard]] const std::string& GetText() const { return FText; }
    void SetText(const std::string& value) { FText = value; }
    /// A click toggles Checked; otherwise it only reports the click.
    [[nodiscard]] bool GetAutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool value) { FAutoCheck = value; }
    /// A separating line in place of a button.
    [[nodiscard]] bool GetDivider() const { return FDivider; }
    void SetDivider(bool value);

    /// The row the button belongs to; none outside one.
    [[nodiscard]] TToolbarItem* GetItem() const;

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    friend class TToolbarItemButtons;
    void GlyphChanged(toolkit::TObject* sender);
    void Changed();

    bool FChecked = false;
    std::unique_ptr<toolkit::TBitmap> FGlyph;
    std::string FText;
    bool FAutoCheck = true;
    bool FDivider = false;
};

/// The buttons of a toolbar row; they keep the row's check rule.
class TToolbarItemButtons : public toolkit::TCollection {
public:
    explicit TToolbarItemButtons(TToolbarItem* item);

    [[nodiscard]] toolkit::TPersistent* GetOwner() const override;
    [[nodiscard]] TToolbarItem* GetToolbarItem() const { return FItem; }
    [[nodiscard]] TToolbarItemButton* GetButton(int index) const;
    [[nodiscard]] int GetCheckedCount() const;
    /// The check rule: nothing when unchanged or when it would uncheck the last checked button of a row
    /// that does not allow all up; a grouped row keeps one button checked. Reports the click (kind 11).
    void CheckButton(TToolbarItemButton* button, bool checked);

private:
    TToolbarItem* FItem;
};

enum TButtonsAlignment : std::uint8_t { baLeftJustify, baRightJustify };

/// A row of toggle buttons; its value is the texts of the checked buttons joined by commas.
class TToolbarItem : public TCustomPropertyItem {
public:
    explicit TToolbarItem(toolkit::TComponent* owner);
    ~TToolbarItem() override;

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    [[nodiscard]] std::string GetAsString() const override;
    /// Checks exactly the buttons whose text occurs in value.
    void SetAsString(const std::string& value) override;

    /// A button with that text and auto-check flag, appended.
    TToolbarItemButton* AddButton(const std::string& text, bool autoCheck);
    [[nodiscard]] int ButtonCount() const;
    [[nodiscard]] bool ButtonChecked(int index) const;
    /// The button's check (through the check rule), the binding, then the value report.
    virtual void SetButtonChecked(int index, bool checked);
    /// Reports a change of button index's look (kind 12) and a click on it (kind 11).
    void ButtonChanged(int index);
    void ButtonClick(int index);

    /// Owned; the writer copies.
    [[nodiscard]] TToolbarItemButtons* GetButtons() const { return FButtons.get(); }
    void SetButtons(const TToolbarItemButtons* value);
    [[nodiscard]] bool GetAllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value) { FAllowAllUp = value; }
    [[nodiscard]] bool GetGrouped() const { return FGrouped; }
    void SetGrouped(bool value) { FGrouped = value; }
    /// The value as text beside the buttons.
    [[nodiscard]] bool GetShowText() const { return FShowText; }
    void SetShowText(bool value);
    [[nodiscard]] TButtonsAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TButtonsAlignment value);
    [[nodiscard]] int GetButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int value);
    [[nodiscard]] bool GetDrawBackground() const { return FDrawBackground; }
    void SetDrawBackground(bool value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    /// The buttons a class always has; none in the base. Called at the end of the constructor.
    virtual void CreateButtons();
    /// Adds an auto-check button with the bitmap resource of that name.
    void AddGlyphButton(const std::string& text, std::string_view resourceName);

private:
    std::unique_ptr<TToolbarItemButtons> FButtons;
    bool FAllowAllUp = false;
    bool FGrouped = false;
    bool FShowText = false;
    TButtonsAlignment FAlignment = baLeftJustify;
    int FButtonWidth = 17;
    bool FDrawBackground = false;
};

enum TCheckBoxTextKind : std::uint8_t { tkTrueFalse, tkYesNo, tkEnabledDisabled, tkCustom };
enum TCheckBoxStyle : std::uint8_t { bsButton, bsCheckMark };

/// A row with one check box; its value is a pair of words chosen by TextKind.
class TCheckBoxItem : public TToolbarItem {
public:
    explicit TCheckBoxItem(toolkit::TComponent* owner);

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    [[nodiscard]] bool GetAsBoolean() const override;
    void SetAsBoolean(bool value) override;
    [[nodiscard]] std::string GetAsString() const override;
    /// Checked exactly when value is the true word (case counts).
    void SetAsString(const std::string& value) override;
    void SetButtonChecked(int index, bool checked) override;

    /// The words for checked and unchecked, as GetAsString gives them.
    [[nodiscard]] std::string TrueWord() const;
    [[nodiscard]] std::string FalseWord() const;

    [[nodiscard]] TCheckBoxTextKind GetTextKind() const { return FTextKind; }
    void SetTextKind(TCheckBoxTextKind value);
    /// The words of tkCustom; empty: "true" and "false".
    [[nodiscard]] const std::string& GetTrueText() const { return FTrueText; }
    void SetTrueText(const std::string& value);
    [[nodiscard]] const std::string& GetFalseText() const { return FFalseText; }
    void SetFalseText(const std::string& value);
    [[nodiscard]] TCheckBoxStyle GetStyle() const { return FStyle; }
    void SetStyle(TCheckBoxStyle value);
    [[nodiscard]] bool GetFlatStyle() const { return FFlatStyle; }
    void SetFlatStyle(bool value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

protected:
    void CreateButtons() override;

private:
    TCheckBoxTextKind FTextKind = tkTrueFalse;
    std::string FTrueText;
    std::string FFalseText;
    TCheckBoxStyle FStyle = bsCheckMark;
    bool FFlatStyle = false;
};

/// Left, centre, right and justify; one at most.
class TAlignmentItem : public TToolbarItem {
public:
    explicit TAlignmentItem(toolkit::TComponent* owner);

protected:
    void CreateButtons() override;
};

/// Top, middle and bottom; one at most.
class TVertAlignmentItem : public TToolbarItem {
public:
    explicit TVertAlignmentItem(toolkit::TComponent* owner);

protected:
    void CreateButtons() override;
};

/// Bold, italic and underline, in any combination.
class TFontStyleItem : public TToolbarItem {
public:
    explicit TFontStyleItem(toolkit::TComponent* owner);

protected:
    void CreateButtons() override;
};

// ---- Track bar and radio rows -----------------------------------------------------------------------------

/// A row whose value is a whole number between Min and Max, set with a thumb.
class TTrackBarItem : public TCustomPropertyItem {
public:
    using TCustomPropertyItem::TCustomPropertyItem;

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    [[nodiscard]] int GetAsInteger() const override { return FPosition; }
    [[nodiscard]] double GetAsFloat() const override { return FPosition; }
    [[nodiscard]] std::string GetAsString() const override;
    /// Clamped into [Min, Max]; nothing when the position stays.
    void SetAsInteger(int value) override;
    /// Rounded, halves to even.
    void SetAsFloat(double value) override;
    /// EConvertError for text that is no whole number.
    void SetAsString(const std::string& value) override;

    [[nodiscard]] int GetPosition() const { return FPosition; }
    void SetPosition(int value);
    [[nodiscard]] int GetMin() const { return FMin; }
    /// Only 0 ≤ value < Max is taken; a position below it moves up.
    void SetMin(int value);
    [[nodiscard]] int GetMax() const { return FMax; }
    /// A position above it moves down.
    void SetMax(int value);
    /// Pixels at either end of the groove.
    [[nodiscard]] int GetMargin() const { return FMargin; }
    void SetMargin(int value) { FMargin = value; }
    [[nodiscard]] bool GetShowText() const { return FShowText; }
    void SetShowText(bool value);
    /// Shown after the number, as a unit.
    [[nodiscard]] const std::string& GetTextAfter() const { return FTextAfter; }
    void SetTextAfter(const std::string& value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    /// Brings the position into the bounds; a move is a value change.
    void KeepPositionInBounds();

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FMargin = 6;
    bool FShowText = true;
    std::string FTextAfter;
};

/// A row that is one of the choices of its level: checking it unchecks the other radio rows of its list.
class TRadioItem : public TCustomPropertyItem {
public:
    using TCustomPropertyItem::TCustomPropertyItem;

    [[nodiscard]] TItemDisplayClass GetDisplayClass() const override;
    [[nodiscard]] bool GetAsBoolean() const override { return FChecked; }
    void SetAsBoolean(bool value) override;
    /// "true" or "false".
    [[nodiscard]] std::string GetAsString() const override;
    /// Checked exactly when value is "true" in any case.
    void SetAsString(const std::string& value) override;

    [[nodiscard]] bool GetChecked() const { return FChecked; }
    void SetChecked(bool value);
    [[nodiscard]] bool GetFlatStyle() const { return FFlatStyle; }
    void SetFlatStyle(bool value);

    static const toolkit::TPropertyTable& ClassProperties();
    [[nodiscard]] const toolkit::TPropertyTable& GetPropertyTable() const override;

private:
    bool FChecked = false;
    bool FFlatStyle = false;
};

}  // namespace ovrel::inspector
