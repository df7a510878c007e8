#include "core/FocalLengthFactors.h"

#include "toolkit/IniFiles.h"
#include "toolkit/SysUtils.h"

#include <memory>

namespace ovrel::core {

using namespace ovrel::toolkit;

namespace {

// INI files always carry "." as the decimal separator; the user's own comes back however the exchange ends.
class TDotSeparatorScope {
public:
    TDotSeparatorScope() : FSaved(FormatSettings().DecimalSeparator) { FormatSettings().DecimalSeparator = '.'; }
    ~TDotSeparatorScope() { FormatSettings().DecimalSeparator = FSaved; }
    TDotSeparatorScope(const TDotSeparatorScope&) = delete;
    TDotSeparatorScope& operator=(const TDotSeparatorScope&) = delete;

private:
    char FSaved;
};

}  // namespace

TReducedFocalLengthFactorTable::TReducedFocalLengthFactorTable() = default;

TReducedFocalLengthFactorTable::~TReducedFocalLengthFactorTable()
{
    Clear();  // the base destructor cannot reach Notify
}

void TReducedFocalLengthFactorTable::Notify(void* ptr, TListNotification action)
{
    if (action == lnDeleted)
        delete static_cast<TReducedFocalLengthFactor*>(ptr);
    TList::Notify(ptr, action);
}

TReducedFocalLengthFactor* TReducedFocalLengthFactorTable::AddRecord()
{
    auto row = std::make_unique<TReducedFocalLengthFactor>();
    Add(row.get());
    return row.release();
}

TReducedFocalLengthFactor* TReducedFocalLengthFactorTable::GetItem(int index) const
{
    return static_cast<TReducedFocalLengthFactor*>(Get(index));
}

int TReducedFocalLengthFactorTable::IndexOf(std::string_view make, std::string_view model) const
{
    const std::string trimmedMake = Trim(make);
    const std::string trimmedModel = Trim(model);
    for (int i = GetCount() - 1; i >= 0; --i) {
        const TReducedFocalLengthFactor* row = GetItem(i);
        if (row && row->Make == trimmedMake && row->Model == trimmedModel)
            return i;
    }
    return -1;
}

float TReducedFocalLengthFactorTable::GetFactor(std::string_view make, std::string_view model)
{
    const int index = IndexOf(make, model);
    if (index >= 0)
        return GetItem(index)->Factor;
    if (FAutoAdd) {
        TReducedFocalLengthFactor* row = AddRecord();
        row->Make = Trim(make);
        row->Model = Trim(model);
    }
    return 0.0f;
}

void TReducedFocalLengthFactorTable::SetFactor(std::string_view make, std::string_view model, float factor)
{
    const int index = IndexOf(make, model);
    TReducedFocalLengthFactor* row = index >= 0 ? GetItem(index) : nullptr;
    if (!row) {
        row = AddRecord();
        row->Make = make;
        row->Model = model;
    }
    row->Factor = factor;
}

void TReducedFocalLengthFactorTable::SaveToFile(const std::string& fileName) const
{
    const TDotSeparatorScope dot;
    TMemIniFile ini(fileName);
    for (int i = 0; i < GetCount(); ++i)
        if (const TReducedFocalLengthFactor* row = GetItem(i))
            ini.WriteFloat(row->Make, row->Model, static_cast<double>(row->Factor));
    ini.UpdateFile();
}

void TReducedFocalLengthFactorTable::LoadFromFile(const std::string& fileName)
{
    const TDotSeparatorScope dot;
    const TMemIniFile ini(fileName);
    TStringList sections;
    ini.ReadSections(sections);
    for (int s = 0; s < sections.GetCount(); ++s) {
        const std::string section = sections.Get(s);
        TStringList keys;
        ini.ReadSection(section, keys);
        for (int k = 0; k < keys.GetCount(); ++k) {
            const std::string key = keys.Get(k);
            const double value = StrToFloat(ini.ReadString(section, key, ""));
            SetFactor(section, key, static_cast<float>(value));
        }
    }
}

}  // namespace ovrel::core
