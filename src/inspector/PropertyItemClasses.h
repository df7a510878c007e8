#pragma once
// The kinds of grid rows. Each keeps its value in a form of its own, converts it to and from text and
// numbers, and names the editor and the display that serve it.

#include "inspector/PropertyItems.h"

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

}  // namespace ovrel::inspector
