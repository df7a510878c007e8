#pragma once

#include "toolkit/System.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ovrel::toolkit {

class TStrings;

/// Sections of "key=value" lines. Sections and keys match without regard to ASCII case.
class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(std::string fileName);
    ~TCustomIniFile() override;

    const std::string& GetFileName() const { return FFileName; }

    virtual std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const = 0;
    virtual void WriteString(std::string_view section, std::string_view key, std::string_view value) = 0;
    /// Decimal or "$" / "0x" hexadecimal; def when missing or not a number.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    void WriteInteger(std::string_view section, std::string_view key, int value);
    /// A number, non-zero meaning true; def when missing or not a number.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    /// "1" or "0".
    void WriteBool(std::string_view section, std::string_view key, bool value);
    /// StrToFloat with the current settings; def when missing or not a number. Callers that must tell a bad
    /// number apart use ReadString and StrToFloat.
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    /// FloatToStr with the current settings.
    void WriteFloat(std::string_view section, std::string_view key, double value);

    /// Section names in file order, each once.
    virtual void ReadSections(TStrings& sections) const = 0;
    /// Key names of a section in file order, duplicates included.
    virtual void ReadSection(std::string_view section, TStrings& keys) const = 0;
    /// "key=value" lines of a section in file order, duplicates included.
    virtual void ReadSectionValues(std::string_view section, TStrings& values) const = 0;
    bool SectionExists(std::string_view section) const;
    virtual bool ValueExists(std::string_view section, std::string_view key) const;
    virtual void EraseSection(std::string_view section) = 0;
    virtual void DeleteKey(std::string_view section, std::string_view key) = 0;
    /// Writes pending changes to the file.
    virtual void UpdateFile() = 0;

protected:
    void SetFileName(std::string fileName) { FFileName = std::move(fileName); }

private:
    std::string FFileName;
};

/// The whole file in memory, read at construction; UpdateFile writes it back atomically as UTF-8. Lines the
/// program does not touch (comments, blank lines, other keys) are written back as they were read.
class TMemIniFile : public TCustomIniFile {
public:
    /// A missing or unreadable file reads as empty; an empty name gives a file that is never written.
    explicit TMemIniFile(std::string fileName);
    ~TMemIniFile() override;

    /// The first value of the key in the first section of that name that has it.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const override;
    /// Replaces the first value of the key, or appends the key to the section, or appends the section.
    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    void ReadSections(TStrings& sections) const override;
    void ReadSection(std::string_view section, TStrings& keys) const override;
    void ReadSectionValues(std::string_view section, TStrings& values) const override;
    bool ValueExists(std::string_view section, std::string_view key) const override;
    void EraseSection(std::string_view section) override;
    /// Removes every line of the key in the section.
    void DeleteKey(std::string_view section, std::string_view key) override;
    /// Raises EFCreateError or EWriteError when the file cannot be written; the old file stays as it was.
    void UpdateFile() override;

    /// Replaces the content with INI text (UTF-8, Latin-1 lines accepted).
    void SetText(std::string_view text);
    /// The content as it would be written.
    std::string GetText() const;
    void SetStrings(const TStrings& lines);
    void GetStrings(TStrings& lines) const;
    void Clear();
    /// Points the object at another file, re-reading it when `reload` (unsaved changes are dropped).
    void Rename(std::string fileName, bool reload);

private:
    struct TLine {
        std::string Text;  // the line as read (UTF-8); rebuilt when a value is written
        std::string Key;  // empty for comments and blank lines
        std::string Value;
    };
    struct TSection {
        std::string Name;
        std::string Header;  // the "[Name]" line as read
        std::vector<TLine> Lines;
    };

    void Load();
    TLine* FindKey(std::string_view section, std::string_view key);
    const TLine* FindKey(std::string_view section, std::string_view key) const;
    template <class F> void ForEachKeyLine(std::string_view section, F&& visit) const;
    /// The indices in FSections of the sections of that name, in file order.
    const std::vector<std::size_t>& SectionsNamed(std::string_view section) const;
    /// After FSections gained or lost a section.
    void SectionsChanged() noexcept { FIndexed = false; }

    std::vector<TLine> FPreamble;  // lines before the first section header
    std::vector<TSection> FSections;
    // The sections by their upper-cased name, built when first asked for: a file of many sections is then
    // read in one pass instead of one search per section.
    mutable std::unordered_map<std::string, std::vector<std::size_t>> FIndex;
    mutable bool FIndexed = false;
};

/// As TMemIniFile, but every Write* and Erase* writes the file at once.
class TIniFile : public TMemIniFile {
public:
    explicit TIniFile(std::string fileName);
    ~TIniFile() override;

    void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
    void EraseSection(std::string_view section) override;
    void DeleteKey(std::string_view section, std::string_view key) override;
};

}  // namespace ovrel::toolkit
