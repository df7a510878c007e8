#pragma once
// The options dialog without its window: the column lists of its first page, and the factor dialog's reading
// of a typed factor.

#include "core/PropertyCatalog.h"

#include <string>
#include <string_view>
#include <vector>

namespace ovrel::app {

/// The two lists of the column page: the check list shows the catalogue rows of one group, each checked while it
/// is a column; the column list holds the columns in order. Entries are rows of the catalogue (borrowed); the
/// lists live as long as the model, so a cancelled dialog shows the same lists next time. A form fills its
/// check-list box from GetCheckRow/GetChecked and its list box from GetColumnRow, passes the user's actions in,
/// and reads both lists and GetCanMoveUp/GetCanMoveDown again after each call.
class TColumnListModel {
public:
    /// Builds the column list, then shows the first group.
    explicit TColumnListModel(core::TEXIFPropertyInfos& catalogue = core::EXIFProperties(),
                              const core::TEXIFPropertyGroups& groups = core::EXIFPropertyGroups());

    /// The rows whose column is 0 or more, ordered by column; nothing selected.
    void BuildColumnList();

    [[nodiscard]] int GetGroupIndex() const { return FGroupIndex; }
    /// Shows the rows whose group shares a bit with the group's mask, in catalogue order. Raises EListError
    /// outside the groups.
    void SetGroupIndex(int index);

    [[nodiscard]] int GetCheckCount() const { return static_cast<int>(FCheckRows.size()); }
    /// Raise EListError outside 0..CheckCount-1.
    [[nodiscard]] core::TEXIFPropertyInfo* GetCheckRow(int index) const;
    [[nodiscard]] bool GetChecked(int index) const;
    /// The user checked or unchecked an entry: every shown entry that is checked and not a column is appended to
    /// the columns, every unchecked one that is a column leaves them.
    void SetChecked(int index, bool checked);
    /// "Select All" and "Unselect All": only the entries of the group shown.
    void SetAllChecked(bool checked);

    [[nodiscard]] int GetColumnCount() const { return static_cast<int>(FColumns.size()); }
    /// Raises EListError outside 0..ColumnCount-1.
    [[nodiscard]] core::TEXIFPropertyInfo* GetColumnRow(int index) const;
    [[nodiscard]] int IndexOfColumn(const core::TEXIFPropertyInfo* row) const;
    /// The selected column entry, -1 for none.
    [[nodiscard]] int GetSelected() const { return FSelected; }
    /// An index outside the columns selects none.
    void SetSelected(int index);
    /// The Delete key: the selected entry leaves the columns and its row is unchecked where it is shown;
    /// nothing is selected afterwards. Nothing happens without a selection.
    void DeleteSelected();
    /// Moves the selected entry one place and keeps it selected; nothing without a selection or at the end.
    void MoveSelected(bool up);
    [[nodiscard]] bool GetCanMoveUp() const { return FSelected > 0; }
    [[nodiscard]] bool GetCanMoveDown() const { return FSelected >= 0 && FSelected + 1 < GetColumnCount(); }

    /// Every catalogue row's column becomes -1, then the row of the i-th column entry gets column i.
    void ApplyColumns();

private:
    void Synchronize();

    core::TEXIFPropertyInfos& FCatalogue;
    const core::TEXIFPropertyGroups& FGroups;
    int FGroupIndex = 0;
    std::vector<core::TEXIFPropertyInfo*> FCheckRows;
    std::vector<bool> FChecked;
    std::vector<core::TEXIFPropertyInfo*> FColumns;
    int FSelected = -1;
};

/// A typed focal-length factor: ',', '-' and '.' each become the locale's decimal separator, digits stay and
/// everything else is dropped; nothing left gives 0. Raises EConvertError when the rest is no number ("1.2.3").
[[nodiscard]] double ReadFactor(std::string_view text);

/// The factor dialog's value: the text it shows, and what OK makes of the text the field then holds. A field
/// left as it was shown gives the value shown, at full precision, and not the two decimals on screen.
class TFactorEditValue {
public:
    /// The text for the field: the value with "%f" (two decimals, the locale's separator).
    std::string Show(double value);
    /// The shown value while text is still the shown text, else ReadFactor(text).
    [[nodiscard]] double Read(std::string_view text) const;

private:
    double FShown = 0;
    std::string FShownText;
    bool FHasShown = false;
};

}  // namespace ovrel::app
