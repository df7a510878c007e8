#include "app/EditPropertiesModel.h"

#include "app/Localizer.h"
#include "toolkit/SysUtils.h"

#include <cmath>

namespace ovrel::app {

using namespace ovrel::toolkit;
using core::TVekImageInfo;

namespace {

constexpr std::uint32_t TagDateTime = 306;
constexpr std::uint32_t TagDateTimeOriginal = 36867;
constexpr std::uint32_t TagDateTimeDigitized = 36868;
constexpr int FailedFilesTextId = 1230;  // in section "Common"

// A date-time as days on a straight line. Before 1899-12-30 the stored fraction counts forward from midnight
// while the whole part counts backwards, so plain arithmetic there would move times the wrong way.
double ToLinear(TDateTime value) { return value >= 0 ? value : 2 * std::trunc(value) - value; }

TDateTime FromLinear(double value)
{
    if (value >= 0)
        return value;
    const double day = std::floor(value);
    return day - (value - day);
}

}  // namespace

bool IsDateProperty(std::uint32_t id) noexcept
{
    return id == TagDateTime || id == TagDateTimeOriginal || id == TagDateTimeDigitized;
}

std::optional<TDateTime> ShiftDateTime(TDateTime date, const TDateChange& change)
{
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeTime(change.Value, hour, minute, second, millisecond);
    const double sign = change.Mode == DateModeSubtract ? -1 : 1;
    // Hours, then minutes, then seconds, then days, each on its own scale.
    double d = ToLinear(date);
    d = (d * HoursPerDay + sign * hour) / HoursPerDay;
    d = (d * MinsPerDay + sign * minute) / MinsPerDay;
    d = (d * SecsPerDay + sign * second) / SecsPerDay;
    d += sign * change.Days;
    const TDateTime result = FromLinear(d);
    int year = 0, month = 0, day = 0;
    DecodeDate(result, year, month, day);
    if (year < 1)  // outside the calendar
        return std::nullopt;
    return result;
}

std::string DateChangeText(const TDateChange& change)
{
    if (change.Mode == DateModeSet)
        return FormatDateTime("c", change.Value);
    std::string text = change.Mode == DateModeSubtract ? "- " : "+ ";
    text += IntToStr(change.Days);
    text += " / ";
    text += FormatDateTime("t", change.Value);
    return text;
}

void TEditPropertiesModel::BuildRows(const core::TEXIFPropertyInfos& catalogue)
{
    FRows.clear();
    FDateChanges.clear();
    int undoLeft = 0;
    for (const core::TEXIFPropertyInfo& info : catalogue) {
        if (info.Editable == 0)
            continue;
        TEditRow row;
        row.Id = info.Id;
        row.Caption = info.Caption;
        row.IsDate = IsDateProperty(info.Id);
        TEditRowLayout& layout = row.Layout;
        layout.Top = RowSpacing * static_cast<int>(FRows.size()) + FirstRowTop;
        layout.LabelRight = LabelRight;
        layout.EditLeft = EditLeft;
        layout.EditWidth = row.IsDate ? DateEditWidth : EditWidth;
        if (row.IsDate)
            layout.DateButtonLeft = layout.EditLeft + layout.EditWidth + ButtonGap;
        // The first row's field decides the undo column.
        if (FRows.empty())
            undoLeft = layout.EditLeft + layout.EditWidth + ButtonGap;
        layout.UndoLeft = undoLeft;
        FRows.push_back(std::move(row));
    }
}

void TEditPropertiesModel::SetImages(std::vector<TVekImageInfo*> images) { FImages = std::move(images); }

const TEditRow& TEditPropertiesModel::GetRow(int row) const
{
    if (row < 0 || row >= GetRowCount())
        throw EListError(Format("List index out of bounds (%d)", {row}));
    return FRows[static_cast<std::size_t>(row)];
}

TEditRow& TEditPropertiesModel::RowAt(int row) { return const_cast<TEditRow&>(GetRow(row)); }

int TEditPropertiesModel::IndexOfId(std::uint32_t id) const
{
    for (std::size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i].Id == id)
            return static_cast<int>(i);
    return -1;
}

std::optional<int> TEditPropertiesModel::ClientHeight(int fieldHeight, int panelHeight) const
{
    if (FRows.empty())
        return std::nullopt;
    return FRows.back().Layout.Top + fieldHeight + panelHeight + BottomMargin;
}

std::string TEditPropertiesModel::CommonValue(std::uint32_t id) const
{
    std::string text;
    for (std::size_t i = 0; i < FImages.size(); ++i) {
        const TVekImageInfo& image = *FImages[i];
        if (!image.HasProperty(id))
            return {};
        if (i == 0)
            text = image.GetPropertyText(id);
        else if (image.GetPropertyText(id) != text)
            return {};
    }
    return text;
}

void TEditPropertiesModel::FillCommonValues()
{
    for (TEditRow& row : FRows) {
        row.Text = CommonValue(row.Id);
        row.Changed = false;
    }
}

void TEditPropertiesModel::EditChanged(int row, std::string_view text)
{
    TEditRow& target = RowAt(row);
    if (target.Text == text)
        return;
    target.Text = std::string(text);
    target.Changed = true;
}

void TEditPropertiesModel::Undo(int row)
{
    TEditRow& target = RowAt(row);
    target.Text = CommonValue(target.Id);
    target.Changed = false;
}

std::string TEditPropertiesModel::DateDialogText(int row) const
{
    const TEditRow& target = GetRow(row);
    const TDateChange* change = FindDateChange(target.Id);
    if (change != nullptr && change->Mode == DateModeSet && target.Changed)
        return DateChangeText(*change);
    return target.Text;
}

void TEditPropertiesModel::ApplyDateChange(int row, const TDateTimeEditResult& result)
{
    TEditRow& target = RowAt(row);
    if (result.Mode < DateModeSet || result.Mode > DateModeSubtract)
        return;
    TDateChange* change = nullptr;
    for (TDateChange& existing : FDateChanges)
        if (existing.Id == target.Id)
            change = &existing;
    if (change == nullptr)
        change = &FDateChanges.emplace_back();
    *change = TDateChange{target.Id, result.Mode, result.Value, result.Days};
    target.Text = DateChangeText(*change);
    target.Changed = true;
}

const TDateChange* TEditPropertiesModel::FindDateChange(std::uint32_t id) const
{
    for (const TDateChange& change : FDateChanges)
        if (change.Id == id)
            return &change;
    return nullptr;
}

bool TEditPropertiesModel::HasChanges() const
{
    for (const TEditRow& row : FRows)
        if (row.Changed)
            return true;
    return false;
}

bool TEditPropertiesModel::WriteDate(TVekImageInfo& image, const TDateChange& change, bool& written)
{
    if (change.Mode == DateModeSet) {
        image.SetPropertyText(change.Id, core::FormatExifDateTime(change.Value));
        written = true;
        return true;
    }
    if (!image.HasProperty(change.Id))
        return true;  // a shift leaves an image without the date alone
    // A stored date that does not parse (a camera's zeros, a text) is no date to shift, and not now either.
    TDateTime stored = 0;
    try {
        if (!core::TryParseExifDateTime(core::ImageInfoFormat().TypedText(image.GetMetadata().Find(change.Id)), stored))
            return false;
    } catch (const EConvertError&) {
        return false;
    }
    const std::optional<TDateTime> shifted = ShiftDateTime(stored, change);
    if (!shifted)
        return false;
    image.SetPropertyText(change.Id, core::FormatExifDateTime(*shifted));
    written = true;
    return true;
}

TEditWriteResult TEditPropertiesModel::Write()
{
    TEditWriteResult result;
    if (!HasChanges())
        return result;
    result.Wrote = true;
    std::vector<bool> written(FImages.size(), false);
    std::vector<bool> failed(FImages.size(), false);
    for (const TEditRow& row : FRows) {
        if (!row.Changed)
            continue;
        const TDateChange* change = row.IsDate ? FindDateChange(row.Id) : nullptr;
        if (row.IsDate && change == nullptr)
            continue;  // a date row is written only from a confirmed change
        for (std::size_t i = 0; i < FImages.size(); ++i) {
            TVekImageInfo& image = *FImages[i];
            try {
                bool wrote = false;
                if (change != nullptr) {
                    if (!WriteDate(image, *change, wrote))
                        failed[i] = true;
                } else if (row.Id == core::TagUserComment) {
                    image.SetUserComment(row.Text);
                    wrote = true;
                } else {
                    image.SetPropertyText(row.Id, row.Text);
                    wrote = true;
                }
                if (wrote)
                    written[i] = true;
            } catch (const Exception&) {
                failed[i] = true;
            }
        }
    }
    for (std::size_t i = 0; i < FImages.size(); ++i) {
        if (!written[i])
            continue;
        try {
            if (!FImages[i]->SaveToFile())
                failed[i] = true;
        } catch (const Exception&) {
            failed[i] = true;
        }
    }
    for (std::size_t i = 0; i < FImages.size(); ++i)
        if (failed[i])
            result.FailedFiles.push_back(FImages[i]->GetFileName());
    return result;
}

std::string FailedFilesMessage(const std::vector<std::string>& files)
{
    std::string text = GetString(GetLocalizedStrings("Common"), FailedFilesTextId,
                                 "Some changes could not be written to these files:");
    for (const std::string& file : files) {
        text += '\n';
        text += file;
    }
    return text;
}

}  // namespace ovrel::app
