#include "app/OptionsModel.h"

#include "toolkit/SysUtils.h"

#include <algorithm>

namespace ovrel::app {

using namespace ovrel::toolkit;
using core::TEXIFPropertyInfo;

namespace {

[[noreturn]] void RaiseIndex(int index) { throw EListError(Format("List index out of bounds (%d)", {index})); }

}  // namespace

TColumnListModel::TColumnListModel(core::TEXIFPropertyInfos& catalogue, const core::TEXIFPropertyGroups& groups)
    : FCatalogue(catalogue), FGroups(groups)
{
    BuildColumnList();
    SetGroupIndex(0);
}

void TColumnListModel::BuildColumnList()
{
    FColumns.clear();
    FSelected = -1;
    for (TEXIFPropertyInfo& row : FCatalogue)
        if (row.Column >= 0)
            FColumns.push_back(&row);
    std::stable_sort(FColumns.begin(), FColumns.end(),
                     [](const TEXIFPropertyInfo* a, const TEXIFPropertyInfo* b) { return a->Column < b->Column; });
    for (std::size_t i = 0; i < FCheckRows.size(); ++i)
        FChecked[i] = IndexOfColumn(FCheckRows[i]) >= 0;
}

void TColumnListModel::SetGroupIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(FGroups.size()))
        RaiseIndex(index);
    FGroupIndex = index;
    const std::uint16_t mask = FGroups[static_cast<std::size_t>(index)].Mask;
    FCheckRows.clear();
    FChecked.clear();
    for (TEXIFPropertyInfo& row : FCatalogue) {
        if ((row.Group & mask) == 0)
            continue;
        FCheckRows.push_back(&row);
        FChecked.push_back(IndexOfColumn(&row) >= 0);
    }
}

TEXIFPropertyInfo* TColumnListModel::GetCheckRow(int index) const
{
    if (index < 0 || index >= GetCheckCount())
        RaiseIndex(index);
    return FCheckRows[static_cast<std::size_t>(index)];
}

bool TColumnListModel::GetChecked(int index) const
{
    if (index < 0 || index >= GetCheckCount())
        RaiseIndex(index);
    return FChecked[static_cast<std::size_t>(index)];
}

void TColumnListModel::SetChecked(int index, bool checked)
{
    if (index < 0 || index >= GetCheckCount())
        RaiseIndex(index);
    FChecked[static_cast<std::size_t>(index)] = checked;
    Synchronize();
}

void TColumnListModel::SetAllChecked(bool checked)
{
    std::fill(FChecked.begin(), FChecked.end(), checked);
    Synchronize();
}

void TColumnListModel::Synchronize()
{
    // The selected entry stays selected wherever it moves to, and nothing is selected when it goes.
    TEXIFPropertyInfo* selected = FSelected >= 0 ? FColumns[static_cast<std::size_t>(FSelected)] : nullptr;
    for (std::size_t i = 0; i < FCheckRows.size(); ++i) {
        TEXIFPropertyInfo* row = FCheckRows[i];
        const int at = IndexOfColumn(row);
        if (FChecked[i] && at < 0)
            FColumns.push_back(row);
        else if (!FChecked[i] && at >= 0)
            FColumns.erase(FColumns.begin() + at);
    }
    FSelected = selected != nullptr ? IndexOfColumn(selected) : -1;
}

TEXIFPropertyInfo* TColumnListModel::GetColumnRow(int index) const
{
    if (index < 0 || index >= GetColumnCount())
        RaiseIndex(index);
    return FColumns[static_cast<std::size_t>(index)];
}

int TColumnListModel::IndexOfColumn(const TEXIFPropertyInfo* row) const
{
    const auto it = std::find(FColumns.begin(), FColumns.end(), row);
    return it == FColumns.end() ? -1 : static_cast<int>(it - FColumns.begin());
}

void TColumnListModel::SetSelected(int index) { FSelected = index >= 0 && index < GetColumnCount() ? index : -1; }

void TColumnListModel::DeleteSelected()
{
    if (FSelected < 0)
        return;
    const TEXIFPropertyInfo* row = FColumns[static_cast<std::size_t>(FSelected)];
    FColumns.erase(FColumns.begin() + FSelected);
    FSelected = -1;
    for (std::size_t i = 0; i < FCheckRows.size(); ++i)
        if (FCheckRows[i] == row)
            FChecked[i] = false;
}

void TColumnListModel::MoveSelected(bool up)
{
    if (up ? !GetCanMoveUp() : !GetCanMoveDown())
        return;
    const int target = up ? FSelected - 1 : FSelected + 1;
    std::swap(FColumns[static_cast<std::size_t>(FSelected)], FColumns[static_cast<std::size_t>(target)]);
    FSelected = target;
}

void TColumnListModel::ApplyColumns()
{
    for (TEXIFPropertyInfo& row : FCatalogue)
        row.Column = -1;
    for (std::size_t i = 0; i < FColumns.size(); ++i)
        FColumns[i]->Column = static_cast<std::int32_t>(i);
}

double ReadFactor(std::string_view text)
{
    const char separator = FormatSettings().DecimalSeparator;
    std::string number;
    for (const char c : text) {
        if (c == ',' || c == '-' || c == '.')
            number.push_back(separator);
        else if (c >= '0' && c <= '9')
            number.push_back(c);
    }
    if (number.empty())
        return 0;
    return StrToFloat(number);
}

std::string TFactorEditValue::Show(double value)
{
    FShown = value;
    FShownText = Format("%f", {value});
    FHasShown = true;
    return FShownText;
}

double TFactorEditValue::Read(std::string_view text) const
{
    if (FHasShown && text == FShownText)
        return FShown;
    return ReadFactor(text);
}

}  // namespace ovrel::app
