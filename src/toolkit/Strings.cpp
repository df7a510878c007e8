#include "toolkit/Lists.h"

#include "toolkit/Base_p.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <numeric>

namespace ovrel::toolkit {

// ---------------------------------------------------------------------------------------------------------
// TStrings

TStrings::~TStrings() = default;

void TStrings::Error(std::string_view format, int index) { throw EListError(Format(format, {index})); }

void TStrings::Put(int index, const std::string& text)
{
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, text, object);
}

TObject* TStrings::GetObject(int /*index*/) const { return nullptr; }

void TStrings::PutObject(int /*index*/, TObject* /*object*/) {}

int TStrings::Add(const std::string& text)
{
    const int index = GetCount();
    Insert(index, text);
    return index;
}

int TStrings::AddObject(const std::string& text, TObject* object)
{
    const int index = Add(text);
    PutObject(index, object);
    return index;
}

void TStrings::InsertObject(int index, const std::string& text, TObject* object)
{
    Insert(index, text);
    PutObject(index, object);
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    BeginUpdate();
    const std::string text = Get(curIndex);
    TObject* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, text, object);
    EndUpdate();
}

void TStrings::Exchange(int index1, int index2)
{
    BeginUpdate();
    const std::string text = Get(index1);
    TObject* object = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, text);
    PutObject(index2, object);
    EndUpdate();
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return CompareText(a, b); }

int TStrings::IndexOf(std::string_view text) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (CompareStrings(Get(i), text) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (GetObject(i) == object)
            return i;
    }
    return -1;
}

int TStrings::IndexOfName(std::string_view name) const
{
    for (int i = 0; i < GetCount(); ++i) {
        const std::string line = Get(i);
        const std::size_t separator = line.find(FNameValueSeparator);
        if (separator != std::string::npos && CompareStrings(std::string_view(line).substr(0, separator), name) == 0)
            return i;
    }
    return -1;
}

std::string TStrings::GetName(int index) const
{
    const std::string line = Get(index);
    const std::size_t separator = line.find(FNameValueSeparator);
    return separator == std::string::npos ? std::string() : line.substr(0, separator);
}

std::string TStrings::GetValueFromIndex(int index) const
{
    const std::string line = Get(index);
    const std::size_t separator = line.find(FNameValueSeparator);
    return separator == std::string::npos ? std::string() : line.substr(separator + 1);
}

std::string TStrings::GetValue(std::string_view name) const
{
    const int index = IndexOfName(name);
    return index < 0 ? std::string() : GetValueFromIndex(index);
}

void TStrings::SetValue(std::string_view name, std::string_view value)
{
    const int index = IndexOfName(name);
    if (value.empty()) {
        if (index >= 0)
            Delete(index);
        return;
    }
    std::string line(name);
    line += FNameValueSeparator;
    line.append(value);
    if (index < 0)
        Add(line);
    else
        Put(index, line);
}

std::string TStrings::GetText() const
{
    std::string text;
    for (int i = 0; i < GetCount(); ++i) {
        text += Get(i);
        text += '\n';
    }
    return text;
}

void TStrings::SetText(std::string_view text)
{
    const detail::TUpdateScope update(*this);
    Clear();
    detail::ForEachLine(text, [this](std::string_view line) { Add(std::string(line)); });
}

void TStrings::Assign(const TStrings& source)
{
    if (&source == this)
        return;
    const detail::TUpdateScope update(*this);
    Clear();
    FNameValueSeparator = source.FNameValueSeparator;
    AddStrings(source);
}

void TStrings::AddStrings(const TStrings& source)
{
    // Copied first, so adding a list to itself doubles it once.
    std::vector<std::pair<std::string, TObject*>> lines;
    for (int i = 0; i < source.GetCount(); ++i)
        lines.emplace_back(source.Get(i), source.GetObject(i));
    const detail::TUpdateScope update(*this);
    for (const auto& [text, object] : lines)
        AddObject(text, object);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool /*updating*/) {}

void TStrings::LoadFromFile(const std::string& fileName)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
    SetText(detail::TextBytesToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    const std::string text = GetText();
    WriteFileAtomically(fileName, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void TStrings::LoadFromStream(TStream& stream)
{
    const std::int64_t size = stream.GetSize() - stream.GetPosition();
    std::string bytes;
    if (size > 0) {
        if (size > 0x7FFFFFFF)
            throw EOutOfMemory("Out of memory");
        bytes.resize(static_cast<std::size_t>(size));
        stream.ReadBuffer(bytes.data(), static_cast<std::int32_t>(size));
    }
    SetText(detail::TextBytesToUtf8(bytes));
}

void TStrings::SaveToStream(TStream& stream) const
{
    const std::string text = GetText();
    if (text.size() > 0x7FFFFFFF)
        throw EWriteError("Stream write error");
    stream.WriteBuffer(text.data(), static_cast<std::int32_t>(text.size()));
}

// ---------------------------------------------------------------------------------------------------------
// TStringList

namespace {

inline constexpr std::string_view IndexError = "List index out of bounds (%d)";

}  // namespace

TStringList::~TStringList() = default;

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= GetCount())
        Error(IndexError, index);
}

void TStringList::Changing()
{
    if (GetUpdateCount() == 0)
        OnChanging(this);
}

void TStringList::Changed()
{
    if (GetUpdateCount() == 0)
        OnChange(this);
}

void TStringList::SetUpdateState(bool updating)
{
    // Called with the update count already 1 (begin) or 0 (end).
    if (updating)
        OnChanging(this);
    else
        Changed();
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const
{
    return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<std::size_t>(index)].FString;
}

void TStringList::Put(int index, const std::string& text)
{
    if (FSorted)
        throw EListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    FItems[static_cast<std::size_t>(index)].FString = text;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<std::size_t>(index)].FObject;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Changing();
    FItems[static_cast<std::size_t>(index)].FObject = object;
    Changed();
}

void TStringList::InsertItem(int index, const std::string& text, TObject* object)
{
    Changing();
    FItems.insert(FItems.begin() + index, TStringItem{text, object});
    Changed();
}

int TStringList::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStringList::AddObject(const std::string& text, TObject* object)
{
    int index = GetCount();
    if (FSorted && Find(text, index)) {
        switch (FDuplicates) {
        case dupIgnore: return index;
        case dupError: throw EListError("String list does not allow duplicates");
        case dupAccept:
            // After the equal run, so equal strings keep the order they came in.
            while (index < GetCount() && CompareStrings(FItems[static_cast<std::size_t>(index)].FString, text) == 0)
                ++index;
            break;
        }
    }
    InsertItem(index, text, object);
    return index;
}

void TStringList::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TStringList::InsertObject(int index, const std::string& text, TObject* object)
{
    if (FSorted)
        throw EListError("Operation not allowed on sorted list");
    if (index < 0 || index > GetCount())
        Error(IndexError, index);
    InsertItem(index, text, object);
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    if (FItems.empty())
        return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[static_cast<std::size_t>(index1)], FItems[static_cast<std::size_t>(index2)]);
    Changed();
}

int TStringList::IndexOf(std::string_view text) const
{
    int index = -1;
    if (FSorted)
        return Find(text, index) ? index : -1;
    return TStrings::IndexOf(text);
}

bool TStringList::Find(std::string_view text, int& index) const
{
    if (!FSorted) {
        for (int i = 0; i < GetCount(); ++i) {
            if (CompareStrings(FItems[static_cast<std::size_t>(i)].FString, text) == 0) {
                index = i;
                return true;
            }
        }
        index = GetCount();
        return false;
    }
    // The first of an equal run, or where the text would go.
    const auto found =
        std::lower_bound(FItems.begin(), FItems.end(), text, [this](const TStringItem& item, std::string_view value) {
            return CompareStrings(item.FString, value) < 0;
        });
    index = static_cast<int>(found - FItems.begin());
    return found != FItems.end() && CompareStrings(found->FString, text) == 0;
}

void TStringList::SetText(std::string_view text) { TStrings::SetText(text); }

void TStringList::Assign(const TStrings& source) { TStrings::Assign(source); }

void TStringList::StableSort(const std::function<bool(const TStringItem&, const TStringItem&)>& less)
{
    Changing();
    std::vector<TStringItem> sorted = FItems;  // a throwing comparison leaves the list as it was
    std::stable_sort(sorted.begin(), sorted.end(), less);
    FItems.swap(sorted);
    Changed();
}

void TStringList::Sort()
{
    StableSort([this](const TStringItem& a, const TStringItem& b) { return CompareStrings(a.FString, b.FString) < 0; });
}

void TStringList::CustomSort(const TStringListSortCompare& compare)
{
    if (FSorted || GetCount() < 2)
        return;
    // The comparison names positions in the list, so the list stays put while an order of indices is sorted.
    std::vector<int> order(static_cast<std::size_t>(GetCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this, &compare](int a, int b) { return compare(*this, a, b) < 0; });
    Changing();
    std::vector<TStringItem> sorted;
    sorted.reserve(FItems.size());
    for (const int index : order)
        sorted.push_back(FItems[static_cast<std::size_t>(index)]);
    FItems.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool value)
{
    if (FSorted == value)
        return;
    if (value)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (FCaseSensitive == value)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}

}  // namespace ovrel::toolkit
