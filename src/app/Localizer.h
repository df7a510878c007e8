#pragma once
// Replaceable user-interface texts: language files found beside the executable, string tables per section,
// and the parties that re-apply their texts when the language changes.

#include "core/MethodList.h"
#include "toolkit/Classes.h"
#include "toolkit/Lists.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ovrel::toolbars {
class TTBCustomItem;
}

namespace ovrel::app {

class TVekLocalizer;

/// One string table: lines "id=text". A key missing here is looked up in the parent table, when named.
class TVekLocalizedStrings : public toolkit::TStringList {
public:
    /// owner is borrowed: it resolves the parent table by name; it may be null.
    TVekLocalizedStrings(TVekLocalizer* owner, std::string name);
    ~TVekLocalizedStrings() override;

    using toolkit::TStrings::GetName;  // the name part of a line
    /// The section name.
    [[nodiscard]] const std::string& GetName() const { return FName; }
    [[nodiscard]] const std::string& GetParentName() const { return FParentName; }
    void SetParentName(std::string value);
    [[nodiscard]] TVekLocalizer* GetLocalizer() const { return FOwner; }

    /// The table a key missing here is looked up in next, or null: the owner's table of the parent name.
    [[nodiscard]] const TVekLocalizedStrings* GetParent() const;
    /// How many tables a lookup starting here visits: this one and its parents, each once, so that a loop
    /// of parents ends.
    [[nodiscard]] int GetLookupLength() const;

private:
    friend class TVekLocalizer;  // resolves the parents

    TVekLocalizer* FOwner;
    std::string FName;
    std::string FParentName;
    TVekLocalizedStrings* FParent = nullptr;  // one of the owner's tables
    int FLookupLength = 1;
};

/// A language the files offer.
class TVekLanguage : public toolkit::TObject {
public:
    explicit TVekLanguage(std::uint16_t langId);
    ~TVekLanguage() override;

    std::uint16_t LangId;
    std::string Name;  // the text of its menu entry; empty for a language only shared files name
    std::string HelpFile;  // empty: the default language's, or the program's
    /// A file path, or for a shared file the path, '|' and the section name.
    std::vector<std::string> Files;
};

/// Finds the language files, loads the tables of the chosen language over those of the default language and
/// asks every registered party to re-apply its texts.
class TVekLocalizer : public toolkit::TObject {
public:
    static constexpr std::uint16_t EnglishLangId = 0x0409;

    /// Scans the folder of GetLanguageFolder.
    TVekLocalizer();
    /// Scans the given folder instead, for a program whose files live elsewhere (and for tests).
    explicit TVekLocalizer(const std::string& languageFolder);
    /// Clears the global localiser first when it is this one.
    ~TVekLocalizer() override;

    /// The folder "Language/" beside the executable.
    [[nodiscard]] virtual std::string GetLanguageFolder() const;
    /// Adds a folder and scans every folder again; files already known are not added twice.
    void AddFolder(const std::string& folder);
    virtual void ScanFolders();

    /// Applies the language: its own, else the current one, else the default one; then localises the
    /// dialogs and calls the handlers. Without any language only the last two happen.
    void SetLanguage(std::uint16_t langId);
    /// Calls every handler in order of registration.
    virtual void Localized();

    /// Called at once when a language is already applied, then kept for every later change.
    void AddLocalizeHandler(const toolkit::TMethodEvent& method);
    /// Removes every handler of the object.
    void RemoveLocalizeHandlers(const void* object);

    /// The table of that name (ASCII case ignored); an empty one is made when there is none. Tables live as
    /// long as the localiser: a language change empties and refills them.
    TVekLocalizedStrings& GetStrings(std::string_view name);
    /// The table of that name, or null; makes none.
    [[nodiscard]] TVekLocalizedStrings* FindStrings(std::string_view name) const;

    [[nodiscard]] int GetLanguageCount() const { return static_cast<int>(FLanguages.size()); }
    /// Raises EListError outside 0..Count-1.
    [[nodiscard]] TVekLanguage* GetLanguageItem(int index) const;
    /// The last language with that id, or -1.
    [[nodiscard]] int IndexOfLanguage(std::uint16_t langId) const;
    /// That language, appended when there is none.
    TVekLanguage* GetLanguage(std::uint16_t langId);

    [[nodiscard]] std::uint16_t GetDefaultLangId() const { return FDefaultLangId; }
    void SetDefaultLangId(std::uint16_t value) { FDefaultLangId = value; }
    [[nodiscard]] std::uint16_t GetCurrentLangId() const { return FCurrentLangId; }
    [[nodiscard]] TVekLanguage* GetCurrentLanguage() const { return FCurrentLanguage; }
    [[nodiscard]] bool GetApplied() const { return FApplied; }
    [[nodiscard]] const std::vector<std::string>& GetFolders() const { return FFolders; }

    /// The application's help file: set it to the program's default before the first language is applied;
    /// SetLanguage replaces it with the language's own (or the default language's) when one is named.
    [[nodiscard]] const std::string& GetHelpFile() const { return FHelpFile; }
    void SetHelpFile(std::string value) { FHelpFile = std::move(value); }

    /// Localises the dialogs that are not registered as handlers; called by SetLanguage before the handlers.
    /// Sender is the localiser.
    toolkit::TNotifyEvent OnLocalizeDialogs;
    /// After SetLanguage chose a help file. Sender is the localiser.
    toolkit::TNotifyEvent OnHelpFileChanged;

    // -- The language menu (LanguageMenu.cpp) ---------------------------------------------------------------
    /// Empties the submenu, then adds one item per language that has a name, in list order: caption = the
    /// name, tag = the language id, click = LanguageItemClick. Items are owned by the submenu.
    void BuildLanguageMenu(toolbars::TTBCustomItem* submenu);
    /// The click of a language item: SetLanguage with its tag as a 16-bit id, then OnLanguageChosen.
    void LanguageItemClick(toolkit::TObject* sender);
    /// After a language was chosen from the menu (the main window builds its grid rows again). Sender is the
    /// localiser.
    toolkit::TNotifyEvent OnLanguageChosen;

private:
    friend class TVekLocalizedStrings;  // a changed parent name asks for the parents to be resolved again

    void LoadLanguageFile(const std::string& entry, std::uint16_t langId);
    void ScanFile(const std::string& fileName);
    void NormalizeTables();
    /// Each table's parent and lookup length, found once for all tables (not again on every lookup).
    void ResolveParents();

    bool FApplied = false;
    core::TVekMethodList FHandlers;
    std::vector<std::unique_ptr<TVekLocalizedStrings>> FSections;
    std::unordered_map<std::string, TVekLocalizedStrings*> FSectionsByName;  // by ASCII-lowered name
    bool FParentsResolved = true;
    std::uint16_t FDefaultLangId = EnglishLangId;
    std::uint16_t FCurrentLangId = 0;
    std::vector<std::unique_ptr<TVekLanguage>> FLanguages;
    std::vector<std::string> FFolders;
    TVekLanguage* FCurrentLanguage = nullptr;  // one of FLanguages
    std::string FHelpFile;
};

/// The localiser of the run, or null when the program runs without one.
[[nodiscard]] TVekLocalizer* GetLocalizer() noexcept;
/// Borrowed: the localiser clears this when it is freed.
void SetLocalizer(TVekLocalizer* localizer) noexcept;

/// The table of the global localiser; without one, an empty table.
TVekLocalizedStrings& GetLocalizedStrings(std::string_view name);

/// The text of the key in the table or, when missing there, in its parent tables (each table visited once,
/// so a loop of parents ends); false and the empty text when no table has it.
bool FindString(const TVekLocalizedStrings& table, int id, std::string& text);
/// Target becomes the found text, or def.
void LocalizeText(const TVekLocalizedStrings& table, int id, std::string& target, std::string_view def);
/// The found text, or def.
[[nodiscard]] std::string GetString(const TVekLocalizedStrings& table, int id, std::string_view def);
/// Sets the published string property of the component to the found text; false when the text is missing.
/// A component without such a writable property is left alone.
bool LocalizeProperty(const TVekLocalizedStrings& table, int id, toolkit::TPersistent* component,
                      std::string_view propName);
/// As LocalizeProperty, with suffix (":" or "...") appended to the text.
bool LocalizePropertySuffix(const TVekLocalizedStrings& table, int id, toolkit::TPersistent* component,
                            std::string_view propName, std::string_view suffix);

}  // namespace ovrel::app
