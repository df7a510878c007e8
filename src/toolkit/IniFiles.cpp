#include "toolkit/IniFiles.h"

#include "toolkit/Base_p.h"
#include "toolkit/Lists.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <algorithm>

namespace ovrel::toolkit {

// ---------------------------------------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const
{
    return StrToIntDef(ReadString(section, key, ""), def);
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, IntToStr(value));
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const
{
    return StrToFloatDef(ReadString(section, key, ""), def);
}

void TCustomIniFile::WriteFloat(std::string_view section, std::string_view key, double value)
{
    WriteString(section, key, FloatToStr(value));
}

bool TCustomIniFile::SectionExists(std::string_view section) const
{
    TStringList keys;
    ReadSection(section, keys);
    return keys.GetCount() > 0;
}

bool TCustomIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    TStringList keys;
    ReadSection(section, keys);
    return keys.IndexOf(key) >= 0;
}

// ---------------------------------------------------------------------------------------------------------
// TMemIniFile

namespace {

// The key of a section name in the index: names match without regard to ASCII case.
std::string IndexKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

// Line breaks in a name or value would split the line when written back; they become blanks.
std::string SingleLine(std::string_view text)
{
    std::string result(text);
    std::replace_if(
        result.begin(), result.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return Trim(result);
}

}  // namespace

TMemIniFile::TMemIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) { Load(); }

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Load()
{
    Clear();
    if (GetFileName().empty())
        return;
    try {
        const std::vector<std::uint8_t> bytes = ReadFileBytes(GetFileName());
        SetText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const EStreamError&) {
        Clear();  // a missing or unreadable file reads as empty
    }
}

void TMemIniFile::Clear()
{
    FPreamble.clear();
    FSections.clear();
    SectionsChanged();
}

const std::vector<std::size_t>& TMemIniFile::SectionsNamed(std::string_view section) const
{
    if (!FIndexed) {
        FIndex.clear();
        for (std::size_t i = 0; i < FSections.size(); ++i)
            FIndex[IndexKey(FSections[i].Name)].push_back(i);
        FIndexed = true;
    }
    static const std::vector<std::size_t> none;
    const auto found = FIndex.find(IndexKey(section));
    return found == FIndex.end() ? none : found->second;
}

void TMemIniFile::SetText(std::string_view text)
{
    Clear();
    const std::string utf8 = detail::TextBytesToUtf8(text);
    detail::ForEachLine(utf8, [this](std::string_view raw) {
        const std::string line = Trim(raw);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            FSections.push_back(
                TSection{Trim(std::string_view(line).substr(1, line.size() - 2)), std::string(raw), {}});
            SectionsChanged();
            return;
        }
        TLine entry{std::string(raw), {}, {}};
        const std::size_t equals = line.find('=');
        if (!line.empty() && line[0] != ';' && equals != std::string::npos && equals > 0) {
            entry.Key = Trim(std::string_view(line).substr(0, equals));
            entry.Value = Trim(std::string_view(line).substr(equals + 1));
        }
        (FSections.empty() ? FPreamble : FSections.back().Lines).push_back(std::move(entry));
    });
}

std::string TMemIniFile::GetText() const
{
    std::string text;
    for (const TLine& line : FPreamble)
        text += line.Text + '\n';
    for (const TSection& section : FSections) {
        text += section.Header + '\n';
        for (const TLine& line : section.Lines)
            text += line.Text + '\n';
    }
    return text;
}

void TMemIniFile::SetStrings(const TStrings& lines) { SetText(lines.GetText()); }

void TMemIniFile::GetStrings(TStrings& lines) const { lines.SetText(GetText()); }

void TMemIniFile::Rename(std::string fileName, bool reload)
{
    SetFileName(std::move(fileName));
    if (reload)
        Load();
}

TMemIniFile::TLine* TMemIniFile::FindKey(std::string_view section, std::string_view key)
{
    for (const std::size_t index : SectionsNamed(section)) {
        for (TLine& line : FSections[index].Lines) {
            if (!line.Key.empty() && SameText(line.Key, key))
                return &line;
        }
    }
    return nullptr;
}

const TMemIniFile::TLine* TMemIniFile::FindKey(std::string_view section, std::string_view key) const
{
    return const_cast<TMemIniFile*>(this)->FindKey(section, key);
}

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    const TLine* line = FindKey(section, key);
    return line ? line->Value : std::string(def);
}

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return FindKey(section, key) != nullptr;
}

void TMemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName = SingleLine(section);
    const std::string keyName = SingleLine(key);
    const std::string text = SingleLine(value);
    if (TLine* line = FindKey(sectionName, keyName)) {
        line->Value = text;
        line->Text = line->Key + "=" + text;  // the key keeps the spelling the file gave it
        return;
    }
    const std::vector<std::size_t>& named = SectionsNamed(sectionName);
    if (named.empty()) {
        // A blank line between sections, as a person would write it.
        std::vector<TLine>& last = FSections.empty() ? FPreamble : FSections.back().Lines;
        if (!last.empty() && !Trim(last.back().Text).empty())
            last.push_back(TLine{});
        FSections.push_back(TSection{sectionName, "[" + sectionName + "]", {}});
        FSections.back().Lines.push_back(TLine{keyName + "=" + text, keyName, text});
        SectionsChanged();
        return;
    }
    // After the section's last non-blank line, so a blank line before the next section stays there.
    std::vector<TLine>& lines = FSections[named.front()].Lines;
    auto at = lines.end();
    while (at != lines.begin() && Trim((at - 1)->Text).empty())
        --at;
    lines.insert(at, TLine{keyName + "=" + text, keyName, text});
}

void TMemIniFile::ReadSections(TStrings& sections) const
{
    const detail::TUpdateScope update(sections);
    sections.Clear();
    for (std::size_t i = 0; i < FSections.size(); ++i) {
        if (SectionsNamed(FSections[i].Name).front() == i)  // the first of its name
            sections.Add(FSections[i].Name);
    }
}

template <class F> void TMemIniFile::ForEachKeyLine(std::string_view section, F&& visit) const
{
    for (const std::size_t index : SectionsNamed(section)) {
        for (const TLine& line : FSections[index].Lines) {
            if (!line.Key.empty())
                visit(line);
        }
    }
}

void TMemIniFile::ReadSection(std::string_view section, TStrings& keys) const
{
    const detail::TUpdateScope update(keys);
    keys.Clear();
    ForEachKeyLine(section, [&](const TLine& line) { keys.Add(line.Key); });
}

void TMemIniFile::ReadSectionValues(std::string_view section, TStrings& values) const
{
    const detail::TUpdateScope update(values);
    values.Clear();
    ForEachKeyLine(section, [&](const TLine& line) { values.Add(line.Key + "=" + line.Value); });
}

void TMemIniFile::EraseSection(std::string_view section)
{
    std::erase_if(FSections, [&](const TSection& s) { return SameText(s.Name, section); });
    SectionsChanged();
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    for (const std::size_t index : SectionsNamed(section))
        std::erase_if(FSections[index].Lines,
                      [&](const TLine& line) { return !line.Key.empty() && SameText(line.Key, key); });
}

void TMemIniFile::UpdateFile()
{
    if (GetFileName().empty())
        return;
    const std::string text = GetText();
    WriteFileAtomically(GetFileName(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// ---------------------------------------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(std::string fileName) : TMemIniFile(std::move(fileName)) {}

TIniFile::~TIniFile() = default;

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    TMemIniFile::WriteString(section, key, value);
    UpdateFile();
}

void TIniFile::EraseSection(std::string_view section)
{
    TMemIniFile::EraseSection(section);
    UpdateFile();
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    TMemIniFile::DeleteKey(section, key);
    UpdateFile();
}

}  // namespace ovrel::toolkit
