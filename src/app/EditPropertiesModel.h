#pragma once
// The edit dialog without its window: one row per editable catalogue property, the values the selected images
// share, which rows were changed, the date changes, and OK's writing and saving.

#include "app/DateTimeEditModel.h"
#include "core/ImageInfo.h"
#include "core/PropertyCatalog.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::app {

/// A date change confirmed in the date/time dialog for one date property.
struct TDateChange {
    std::uint32_t Id = 0;
    std::uint8_t Mode = DateModeNone;  // 1 set, 2 add, 3 subtract
    toolkit::TDateTime Value = 0;  // a set: the new date and time; a shift: only its time of day counts
    std::int32_t Days = 0;  // a shift: whole days
};

/// The date properties, which have a date button and are changed only through the date/time dialog.
[[nodiscard]] bool IsDateProperty(std::uint32_t id) noexcept;

/// A shift of a stored date by the change's days and time of day (milliseconds dropped), added for mode 2 and
/// subtracted for mode 3. None when the result is no date of years 1 to 9999.
[[nodiscard]] std::optional<toolkit::TDateTime> ShiftDateTime(toolkit::TDateTime date, const TDateChange& change);

/// The text a date row shows for a change: the date and time ("c") for a set, "+ d / t" or "- d / t"
/// (days, then the short time) for a shift.
[[nodiscard]] std::string DateChangeText(const TDateChange& change);

/// Where a row's controls stand on the dialog, in its pixels.
struct TEditRowLayout {
    int Top = 0;  // of the label, the field and the buttons
    int LabelRight = 0;  // the label's left is this minus its width
    int EditLeft = 0;
    int EditWidth = 0;
    int DateButtonLeft = -1;  // -1: no date button
    int UndoLeft = 0;  // one column for all rows
};

struct TEditRow {
    std::uint32_t Id = 0;
    std::string Caption;
    bool IsDate = false;  // a read-only field with a date button
    TEditRowLayout Layout;
    std::string Text;  // the field's text
    bool Changed = false;  // the undo button is enabled; only changed rows are written
};

/// What OK did.
struct TEditWriteResult {
    bool Wrote = false;  // a row was changed, so the images were written
    /// The images whose file could not be saved or whose stored date could not be shifted, in list order.
    std::vector<std::string> FailedFiles;
};

/// The rows, the common values and the changes of one showing of the edit dialog. A form builds one label, field
/// and undo button per row from GetRow and passes the user's input back:
///   BuildRows, SetImages, FillCommonValues at show; then set the fields and attach the change handler;
///   field changed -> EditChanged; undo button -> Undo; date button -> DateDialogText, the date/time dialog,
///   ApplyDateChange; OK -> Write. After each call the form shows GetRow(row).Text and .Changed again.
class TEditPropertiesModel {
public:
    static constexpr int RowSpacing = 25;
    static constexpr int FirstRowTop = 5;
    static constexpr int LabelRight = 190;
    static constexpr int EditLeft = 200;
    static constexpr int EditWidth = 178;
    static constexpr int DateEditWidth = 148;
    static constexpr int ButtonSize = 22;
    static constexpr int ButtonGap = 5;
    static constexpr int BottomMargin = 30;

    /// One row per catalogue row with the editable flag, in catalogue order. Drops the rows' texts, their
    /// changes and every date change.
    void BuildRows(const core::TEXIFPropertyInfos& catalogue = core::EXIFProperties());
    /// The selected images in list order; borrowed, they must outlive the model's use of them.
    void SetImages(std::vector<core::TVekImageInfo*> images);
    [[nodiscard]] const std::vector<core::TVekImageInfo*>& GetImages() const { return FImages; }

    [[nodiscard]] int GetRowCount() const { return static_cast<int>(FRows.size()); }
    /// Raises EListError outside 0..RowCount-1.
    [[nodiscard]] const TEditRow& GetRow(int row) const;
    [[nodiscard]] int IndexOfId(std::uint32_t id) const;
    /// The dialog's client height for rows of fieldHeight above a bottom panel; none without rows. The form's
    /// height limits apply after it.
    [[nodiscard]] std::optional<int> ClientHeight(int fieldHeight, int panelHeight) const;

    /// The text every image has for the property: the first image's, or empty as soon as one image lacks
    /// the property or shows another text.
    [[nodiscard]] std::string CommonValue(std::uint32_t id) const;
    /// Every row's text becomes its common value; no row counts as changed.
    void FillCommonValues();

    /// The user changed the field. A text equal to the row's own (the echo of the model's value being shown)
    /// changes nothing.
    void EditChanged(int row, std::string_view text);
    /// The row gets its common value again and no longer counts as changed. A date change stays recorded
    /// but is not written while the row is unchanged.
    void Undo(int row);

    /// The text the date/time dialog starts from: a recorded set while the row counts as changed, else the
    /// field's text. (A shift holds only a time of day, which is no date to start from.)
    [[nodiscard]] std::string DateDialogText(int row) const;
    /// Records the dialog's result for the date row (mode 1 to 3; anything else changes nothing), shows its text
    /// and marks the row changed.
    void ApplyDateChange(int row, const TDateTimeEditResult& result);
    [[nodiscard]] const TDateChange* FindDateChange(std::uint32_t id) const;
    [[nodiscard]] bool HasChanges() const;

    /// OK: every changed row in row order, into every image in list order; then each image that received a
    /// value is saved. The user comment is written with its character code, dates by their changes, other
    /// rows as text (an empty text too). An image goes on after a failure; the result lists each one that
    /// failed once.
    [[nodiscard]] TEditWriteResult Write();

private:
    TEditRow& RowAt(int row);
    /// False when the image's stored date cannot be shifted.
    bool WriteDate(core::TVekImageInfo& image, const TDateChange& change, bool& written);

    std::vector<TEditRow> FRows;
    std::vector<core::TVekImageInfo*> FImages;
    std::vector<TDateChange> FDateChanges;  // in the order first confirmed
};

/// The text of the error message that lists the files an operation could not change, one per line, under
/// the current language's heading (entry 1230 of "Common").
[[nodiscard]] std::string FailedFilesMessage(const std::vector<std::string>& files);

}  // namespace ovrel::app
