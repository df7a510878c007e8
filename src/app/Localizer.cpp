#include "app/Localizer.h"

#include "app/Paths.h"
#include "toolkit/IniFiles.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <unordered_map>

using namespace ovrel::toolkit;

namespace ovrel::app {

namespace {

TVekLocalizer* GLocalizer = nullptr;

constexpr std::string_view LanguageSection = "Language";
constexpr char SharedFileDelimiter = '|';

std::string AsciiLower(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return result;
}

// A language id as the files write it: decimal, 1..65535.
bool ParseLangId(std::string_view text, std::uint16_t& langId)
{
    int value = 0;
    if (text.empty() || !TryStrToInt(std::string(text), value) || value <= 0 || value > 0xFFFF)
        return false;
    langId = static_cast<std::uint16_t>(value);
    return true;
}

std::string ReplaceLineFeeds(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += '\n';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

}  // namespace

TVekLocalizedStrings::TVekLocalizedStrings(TVekLocalizer* owner, std::string name)
    : FOwner(owner), FName(std::move(name))
{}

TVekLocalizedStrings::~TVekLocalizedStrings() = default;

void TVekLocalizedStrings::SetParentName(std::string value)
{
    FParentName = std::move(value);
    if (FOwner)
        FOwner->FParentsResolved = false;
}

const TVekLocalizedStrings* TVekLocalizedStrings::GetParent() const
{
    if (FOwner && !FOwner->FParentsResolved)
        FOwner->ResolveParents();
    return FParent;
}

int TVekLocalizedStrings::GetLookupLength() const
{
    if (FOwner && !FOwner->FParentsResolved)
        FOwner->ResolveParents();
    return FLookupLength;
}

TVekLanguage::TVekLanguage(std::uint16_t langId) : LangId(langId) {}

TVekLanguage::~TVekLanguage() = default;

TVekLocalizer::TVekLocalizer() { AddFolder(GetLanguageFolder()); }

TVekLocalizer::TVekLocalizer(const std::string& languageFolder) { AddFolder(languageFolder); }

TVekLocalizer::~TVekLocalizer()
{
    // Forms freed after the localiser must find none rather than a freed one.
    if (GLocalizer == this)
        GLocalizer = nullptr;
}

std::string TVekLocalizer::GetLanguageFolder() const { return ExtractFilePath(ExecutableFileName()) + "Language/"; }

void TVekLocalizer::AddFolder(const std::string& folder)
{
    FFolders.push_back(IncludeTrailingPathDelimiter(folder));
    ScanFolders();
}

void TVekLocalizer::ScanFolders()
{
    for (const std::string& folder : FFolders) {
        TSearchRec rec;
        for (int found = FindFirst(folder + "*.ini", faReadOnly | faHidden | faArchive, rec); found == 0;
             found = FindNext(rec))
            ScanFile(folder + rec.Name);
        FindClose(rec);
    }
}

void TVekLocalizer::ScanFile(const std::string& fileName)
{
    const TMemIniFile ini(fileName);
    const int langId = ini.ReadInteger(LanguageSection, "LangId", 0);
    auto addEntry = [](TVekLanguage& language, std::string entry) {
        // A second scan meets the same files again.
        if (std::find(language.Files.begin(), language.Files.end(), entry) == language.Files.end())
            language.Files.push_back(std::move(entry));
    };
    if (langId > 0 && langId <= 0xFFFF) {
        TVekLanguage* language = GetLanguage(static_cast<std::uint16_t>(langId));
        language->Name = ini.ReadString(LanguageSection, "Language", language->Name);
        language->HelpFile = ini.ReadString(LanguageSection, "HelpFile", language->HelpFile);
        addEntry(*language, fileName);
        return;
    }
    if (langId != 0)
        return;  // not a language id: the file is not one of ours
    const std::string shared = ini.ReadString(LanguageSection, "LangSection", "");
    if (shared.empty())
        return;
    TStringList sections;
    ini.ReadSections(sections);
    const std::string prefix = shared + ":";
    for (int i = 0; i < sections.GetCount(); ++i) {
        const std::string name = sections[i];
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        std::uint16_t sectionLangId = 0;
        if (ParseLangId(std::string_view(name).substr(prefix.size(), 5), sectionLangId))
            addEntry(*GetLanguage(sectionLangId), fileName + SharedFileDelimiter + shared);
    }
}

void TVekLocalizer::SetLanguage(std::uint16_t langId)
{
    int index = IndexOfLanguage(langId);
    if (index < 0)
        index = IndexOfLanguage(FCurrentLangId);
    if (index < 0)
        index = IndexOfLanguage(FDefaultLangId);
    if (index >= 0) {
        TVekLanguage* chosen = FLanguages[static_cast<std::size_t>(index)].get();
        // Tables are emptied, not freed: callers may hold on to them.
        for (const auto& table : FSections) {
            table->Clear();
            table->SetParentName({});
        }
        std::string helpFile = FHelpFile;
        const int defaultIndex = IndexOfLanguage(FDefaultLangId);
        if (defaultIndex >= 0 && defaultIndex != index) {
            const TVekLanguage* fallback = FLanguages[static_cast<std::size_t>(defaultIndex)].get();
            if (!fallback->HelpFile.empty())
                helpFile = fallback->HelpFile;
            for (const std::string& entry : fallback->Files)
                LoadLanguageFile(entry, fallback->LangId);
        }
        FCurrentLanguage = chosen;
        FCurrentLangId = chosen->LangId;
        for (const std::string& entry : chosen->Files)
            LoadLanguageFile(entry, chosen->LangId);
        NormalizeTables();
        ResolveParents();
        if (!chosen->HelpFile.empty())
            helpFile = chosen->HelpFile;
        FHelpFile = helpFile;
        OnHelpFileChanged(this);
    }
    OnLocalizeDialogs(this);
    Localized();
}

void TVekLocalizer::LoadLanguageFile(const std::string& entry, std::uint16_t langId)
{
    TStringList lines;
    const std::size_t bar = entry.rfind(SharedFileDelimiter);
    if (bar != std::string::npos) {
        const std::string tableName = entry.substr(bar + 1);
        const TMemIniFile ini(entry.substr(0, bar));
        ini.ReadSectionValues(tableName + ":" + IntToStr(langId), lines);
        GetStrings(tableName).AddStrings(lines);
        return;
    }
    const TMemIniFile ini(entry);
    TStringList sections;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.GetCount(); ++i) {
        const std::string section = sections[i];
        const std::size_t colon = section.find(':');
        TVekLocalizedStrings& table = GetStrings(section.substr(0, colon));
        table.SetParentName(colon == std::string::npos ? std::string() : section.substr(colon + 1));
        lines.Clear();
        ini.ReadSectionValues(section, lines);
        table.AddStrings(lines);
    }
}

void TVekLocalizer::NormalizeTables()
{
    for (const auto& table : FSections) {
        // The last line of a key wins: the chosen language was loaded after the default one.
        std::unordered_map<std::string, int> lastLine;
        for (int i = 0; i < table->GetCount(); ++i)
            lastLine[AsciiLower(table->GetName(i))] = i;
        TStringList kept;
        for (int i = 0; i < table->GetCount(); ++i) {
            if (lastLine[AsciiLower(table->GetName(i))] == i)
                kept.Add(ReplaceLineFeeds(table->Get(i)));
        }
        table->Assign(kept);
    }
}

void TVekLocalizer::ResolveParents()
{
    for (const auto& table : FSections)
        table->FParent = table->FParentName.empty() ? nullptr : FindStrings(table->FParentName);
    // Each table has at most one parent, so the tables a lookup visits are a path that may end in a loop.
    // Lengths are found walking each path once: a loop's tables all visit the whole loop, a table before it
    // one more than its parent.
    enum class TMark { None, OnPath, Done };
    std::unordered_map<const TVekLocalizedStrings*, TMark> marks;
    std::vector<TVekLocalizedStrings*> path;
    for (const auto& start : FSections) {
        path.clear();
        TVekLocalizedStrings* current = start.get();
        while (current && marks[current] == TMark::None) {
            marks[current] = TMark::OnPath;
            path.push_back(current);
            current = current->FParent;
        }
        std::size_t end = path.size();
        if (current && marks[current] == TMark::OnPath) {
            const auto loopStart = std::find(path.begin(), path.end(), current);
            const int loopLength = static_cast<int>(path.end() - loopStart);
            for (auto it = loopStart; it != path.end(); ++it) {
                (*it)->FLookupLength = loopLength;
                marks[*it] = TMark::Done;
            }
            end = static_cast<std::size_t>(loopStart - path.begin());
        }
        for (std::size_t i = end; i-- > 0;) {
            const TVekLocalizedStrings* parent = path[i]->FParent;
            path[i]->FLookupLength = 1 + (parent ? parent->FLookupLength : 0);
            marks[path[i]] = TMark::Done;
        }
    }
    FParentsResolved = true;
}

void TVekLocalizer::Localized()
{
    FApplied = true;
    FHandlers.CallAll();
}

void TVekLocalizer::AddLocalizeHandler(const TMethodEvent& method)
{
    if (FApplied)
        method();
    FHandlers.Add(method);
}

void TVekLocalizer::RemoveLocalizeHandlers(const void* object) { FHandlers.RemoveObject(object); }

TVekLocalizedStrings* TVekLocalizer::FindStrings(std::string_view name) const
{
    const auto found = FSectionsByName.find(AsciiLower(name));
    return found == FSectionsByName.end() ? nullptr : found->second;
}

TVekLocalizedStrings& TVekLocalizer::GetStrings(std::string_view name)
{
    std::string key = AsciiLower(name);
    if (const auto found = FSectionsByName.find(key); found != FSectionsByName.end())
        return *found->second;
    FSections.push_back(std::make_unique<TVekLocalizedStrings>(this, std::string(name)));
    FSectionsByName.emplace(std::move(key), FSections.back().get());
    FParentsResolved = false;  // a parent name may have named it before it existed
    return *FSections.back();
}

TVekLanguage* TVekLocalizer::GetLanguageItem(int index) const
{
    if (index < 0 || index >= GetLanguageCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FLanguages[static_cast<std::size_t>(index)].get();
}

int TVekLocalizer::IndexOfLanguage(std::uint16_t langId) const
{
    for (int i = GetLanguageCount() - 1; i >= 0; --i)
        if (FLanguages[static_cast<std::size_t>(i)]->LangId == langId)
            return i;
    return -1;
}

TVekLanguage* TVekLocalizer::GetLanguage(std::uint16_t langId)
{
    const int index = IndexOfLanguage(langId);
    if (index >= 0)
        return FLanguages[static_cast<std::size_t>(index)].get();
    FLanguages.push_back(std::make_unique<TVekLanguage>(langId));
    return FLanguages.back().get();
}

TVekLocalizer* GetLocalizer() noexcept { return GLocalizer; }

void SetLocalizer(TVekLocalizer* localizer) noexcept { GLocalizer = localizer; }

TVekLocalizedStrings& GetLocalizedStrings(std::string_view name)
{
    if (GLocalizer)
        return GLocalizer->GetStrings(name);
    // Without a localiser every lookup finds nothing; the table is emptied in case a caller filled it.
    static TVekLocalizedStrings empty(nullptr, {});
    empty.Clear();
    empty.SetParentName({});
    return empty;
}

bool FindString(const TVekLocalizedStrings& table, int id, std::string& text)
{
    const std::string key = IntToStr(id);
    const TVekLocalizedStrings* current = &table;
    for (int left = table.GetLookupLength(); current && left > 0; --left, current = current->GetParent()) {
        const int index = current->IndexOfName(key);
        if (index >= 0) {
            text = current->GetValueFromIndex(index);
            return true;
        }
    }
    text.clear();
    return false;
}

void LocalizeText(const TVekLocalizedStrings& table, int id, std::string& target, std::string_view def)
{
    std::string text;
    target = FindString(table, id, text) ? std::move(text) : std::string(def);
}

std::string GetString(const TVekLocalizedStrings& table, int id, std::string_view def)
{
    std::string text;
    LocalizeText(table, id, text, def);
    return text;
}

bool LocalizePropertySuffix(const TVekLocalizedStrings& table, int id, TPersistent* component,
                            std::string_view propName, std::string_view suffix)
{
    std::string text;
    if (!FindString(table, id, text))
        return false;
    const TPropInfo* info = GetPropInfo(component, propName);
    if (info && info->Kind == TTypeKind::tkString && info->IsWritable())
        SetStrProp(*component, propName, text + std::string(suffix));
    return true;
}

bool LocalizeProperty(const TVekLocalizedStrings& table, int id, TPersistent* component, std::string_view propName)
{
    return LocalizePropertySuffix(table, id, component, propName, {});
}

}  // namespace ovrel::app
