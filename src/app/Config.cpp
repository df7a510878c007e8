#include "app/Config.h"

#include "app/Localizer.h"
#include "app/Paths.h"
#include "core/SDFStream.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

using namespace ovrel::toolkit;
using ovrel::core::TVekSDFStream;

namespace ovrel::app {

namespace {

// Element ids of the file's top level.
constexpr std::uint32_t IdSortPropertyId = 1;
constexpr std::uint32_t IdSortDescending = 2;
constexpr std::uint32_t IdLastFolder = 3;
constexpr std::uint32_t IdColumns = 4;
constexpr std::uint32_t IdMainPlacement = 5;
constexpr std::uint32_t IdFoldersPanel = 6;
constexpr std::uint32_t IdPreviewPanel = 7;
constexpr std::uint32_t IdPropertiesPanel = 8;
constexpr std::uint32_t IdFactors = 9;
constexpr std::uint32_t IdInspectorSplitter = 10;
constexpr std::uint32_t IdLangId = 11;
// Inside a column section.
constexpr std::uint32_t IdColumn = 1;
constexpr std::uint32_t IdWidth = 2;
// Inside a factor section.
constexpr std::uint32_t IdMake = 1;
constexpr std::uint32_t IdModel = 2;
constexpr std::uint32_t IdFactor = 3;

// A real file is a few kilobytes.
constexpr std::int64_t MaxConfigFileSize = 256 * 1024;
constexpr std::uint32_t MaxFactorRows = 1024;

constexpr std::uint32_t NotDefinedTextId = 160;

std::string& NotDefinedTextStorage()
{
    static std::string text = "Not Defined";
    return text;
}

struct TColumnSetting {
    std::int32_t Column = -1;
    std::int32_t Width = 100;
};

// Columns as stored may repeat, skip or exceed numbers; the list needs 0..n-1 in the stored order.
void RenumberColumns(std::span<TColumnSetting> columns)
{
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].Column >= 0)
            shown.push_back(i);
    std::stable_sort(shown.begin(), shown.end(),
                     [&](std::size_t a, std::size_t b) { return columns[a].Column < columns[b].Column; });
    for (std::size_t n = 0; n < shown.size(); ++n)
        columns[shown[n]].Column = static_cast<std::int32_t>(n);
}

void WritePlacement(TVekSDFStream& stream, std::uint32_t id, std::span<const std::uint8_t> block)
{
    stream.WriteBlob(id, block.data(), static_cast<std::uint32_t>(block.size()));
}

// One level of the file, passed over once: each element is then read where it starts, so a file of many
// elements the reader does not know costs one pass, not one search per element read.
class TLevelReader {
public:
    explicit TLevelReader(TVekSDFStream& stream) : FStream(stream), FLevel(stream.ScanLevel()) {}

    [[nodiscard]] bool IsComplete() const noexcept { return FLevel.IsComplete(); }
    /// Moves to the element of that id; false when the level has none.
    bool Seek(std::uint32_t id)
    {
        const std::optional<std::int64_t> start = FLevel.Find(id);
        if (start)
            FStream.SetPosition(*start);
        return start.has_value();
    }
    /// Enters the section of that id; CloseSection on the stream returns to the level.
    bool OpenSection(std::uint32_t id) { return Seek(id) && FStream.OpenSection(id); }

private:
    TVekSDFStream& FStream;
    core::TSDFLevel FLevel;
};

}  // namespace

TEXIFOvrelConfig& EXIFOvrelConfig()
{
    static TEXIFOvrelConfig config;
    return config;
}

void ResetConfig()
{
    EXIFOvrelConfig() = TEXIFOvrelConfig();
    core::TEXIFPropertyInfos& properties = core::EXIFProperties();
    const core::TEXIFPropertyInfos& defaults = core::DefaultEXIFProperties();
    for (std::size_t i = 0; i < properties.size(); ++i) {
        properties[i].Column = defaults[i].Column;
        properties[i].Width = defaults[i].Width;
    }
    core::ImageInfoFormat().GetFactorTable().Clear();
}

std::vector<std::uint8_t> ConfigBytes()
{
    const TEXIFOvrelConfig& config = EXIFOvrelConfig();
    TMemoryStream memory;
    {
        TVekSDFStream stream(&memory);
        stream.WriteWord(IdLangId, config.LangId);
        stream.WriteLongWord(IdSortPropertyId, static_cast<std::uint32_t>(config.SortPropertyId));
        stream.WriteByte(IdSortDescending, config.SortDescending);
        stream.WriteString(IdLastFolder, config.LastFolder);

        stream.BeginSection(IdColumns);
        for (const core::TEXIFPropertyInfo& row : config.GetProperties()) {
            if (row.Column < 0)
                continue;
            stream.BeginSection(row.Id);
            stream.WriteInteger(IdColumn, row.Column);
            stream.WriteInteger(IdWidth, row.Width);
            stream.EndSection();
        }
        stream.EndSection();

        WritePlacement(stream, IdMainPlacement, config.MainPlacement);
        WritePlacement(stream, IdFoldersPanel, config.FoldersPanel);
        WritePlacement(stream, IdPreviewPanel, config.PreviewPanel);
        WritePlacement(stream, IdPropertiesPanel, config.PropertiesPanel);
        stream.WriteInteger(IdInspectorSplitter, config.InspectorSplitter);

        // Rows without a factor are cameras the program merely met; they are learnt again when needed.
        stream.BeginSection(IdFactors);
        const core::TReducedFocalLengthFactorTable& table = core::ImageInfoFormat().GetFactorTable();
        std::uint32_t number = 0;
        for (int i = 0; i < table.GetCount(); ++i) {
            const core::TReducedFocalLengthFactor* row = table.GetItem(i);
            if (!(row->Factor > 0))
                continue;
            stream.BeginSection(++number);
            stream.WriteString(IdMake, row->Make);
            stream.WriteString(IdModel, row->Model);
            stream.WriteSingle(IdFactor, row->Factor);
            stream.EndSection();
        }
        stream.EndSection();
        stream.EndSection();  // the top level
    }
    const auto bytes = memory.GetBytes();
    return {bytes.begin(), bytes.end()};
}

void ReadConfigBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > static_cast<std::size_t>(MaxConfigFileSize))
        throw EReadError("Stream read error");
    TMemoryStream memory;
    memory.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    memory.SetPosition(0);
    ReadConfig(memory);
}

void ReadConfig(TStream& source)
{
    TVekSDFStream stream(&source);
    TLevelReader top(stream);
    // The writer ends the file with the top level's end marker: without it the file was cut short, and
    // what it would give is a part of the settings.
    if (!top.IsComplete())
        throw EReadError("Stream read error");

    // Everything is read into copies first, so a read error leaves the settings as they were.
    TEXIFOvrelConfig next = EXIFOvrelConfig();
    std::uint32_t sortPropertyId = static_cast<std::uint32_t>(next.SortPropertyId);
    if (top.Seek(IdLangId))
        stream.ReadWord(IdLangId, next.LangId);
    if (top.Seek(IdSortPropertyId) && stream.ReadLongWord(IdSortPropertyId, sortPropertyId))
        next.SortPropertyId = static_cast<std::int32_t>(sortPropertyId);
    if (top.Seek(IdSortDescending))
        stream.ReadByte(IdSortDescending, next.SortDescending);
    if (!top.Seek(IdLastFolder) || !stream.ReadString(IdLastFolder, next.LastFolder))
        next.LastFolder.clear();

    core::TEXIFPropertyInfos& properties = next.GetProperties();
    std::array<TColumnSetting, core::EXIFPropertyCount> columns;
    for (std::size_t i = 0; i < properties.size(); ++i)
        columns[i] = {properties[i].Column, properties[i].Width};
    if (top.OpenSection(IdColumns)) {
        std::array<TColumnSetting, core::EXIFPropertyCount> stored;
        bool anyShown = false;
        TLevelReader rows(stream);
        for (std::size_t i = 0; i < properties.size(); ++i) {
            stored[i] = columns[i];
            if (rows.OpenSection(properties[i].Id)) {
                stream.ReadInteger(IdColumn, stored[i].Column);
                stream.ReadInteger(IdWidth, stored[i].Width);
                stream.CloseSection();
                anyShown = anyShown || stored[i].Column >= 0;
            } else {
                stored[i].Column = -1;
            }
        }
        stream.CloseSection();
        // A list without a single column cannot be used: a file that shows none keeps the columns.
        if (anyShown) {
            columns = stored;
            RenumberColumns(columns);
        }
    }

    if (top.Seek(IdMainPlacement))
        stream.ReadBlob(IdMainPlacement, next.MainPlacement.data(), WindowPlacementSize);
    if (top.Seek(IdFoldersPanel))
        stream.ReadBlob(IdFoldersPanel, next.FoldersPanel.data(), PanelPlacementSize);
    if (top.Seek(IdPreviewPanel))
        stream.ReadBlob(IdPreviewPanel, next.PreviewPanel.data(), PanelPlacementSize);
    if (top.Seek(IdPropertiesPanel))
        stream.ReadBlob(IdPropertiesPanel, next.PropertiesPanel.data(), PanelPlacementSize);
    if (top.Seek(IdInspectorSplitter))
        stream.ReadInteger(IdInspectorSplitter, next.InspectorSplitter);

    bool hasFactors = false;
    std::vector<core::TReducedFocalLengthFactor> factors;
    if (top.OpenSection(IdFactors)) {
        hasFactors = true;
        TLevelReader rows(stream);
        for (std::uint32_t n = 1; n <= MaxFactorRows && rows.OpenSection(n); ++n) {
            core::TReducedFocalLengthFactor row;
            stream.ReadString(IdMake, row.Make);
            stream.ReadString(IdModel, row.Model);
            stream.ReadSingle(IdFactor, row.Factor);
            if (!std::isfinite(row.Factor))
                row.Factor = 0;
            factors.push_back(std::move(row));
            stream.CloseSection();
        }
        stream.CloseSection();
    }

    EXIFOvrelConfig() = std::move(next);
    for (std::size_t i = 0; i < properties.size(); ++i) {
        properties[i].Column = columns[i].Column;
        properties[i].Width = columns[i].Width;
    }
    if (hasFactors) {
        // The table is empty at start-up; a second load replaces rather than doubles it.
        core::TReducedFocalLengthFactorTable& table = core::ImageInfoFormat().GetFactorTable();
        table.Clear();
        for (core::TReducedFocalLengthFactor& row : factors)
            *table.AddRecord() = std::move(row);
    }
}

bool LoadConfig() { return LoadConfig(ConfigFileName()); }

bool LoadConfig(const std::string& fileName)
{
    try {
        if (fileName.empty() || !FileExists(fileName))
            return false;
        const std::int64_t size = FileSizeOf(fileName);
        if (size <= 0 || size > MaxConfigFileSize)
            return false;
        ReadConfigBytes(ReadFileBytes(fileName));
        return true;
    } catch (...) {
        // A damaged settings file must never keep the program from starting.
        return false;
    }
}

void SaveConfig() { SaveConfig(ConfigFileName()); }

void SaveConfig(const std::string& fileName)
{
    if (fileName.empty())
        throw EFCreateError("Cannot create file \"\". No folder for the configuration file");
    const std::string folder = ExtractFilePath(fileName);
    if (!folder.empty())
        (void)ForceDirectories(folder);  // a folder that cannot be made fails the write below
    WriteFileAtomically(fileName, ConfigBytes());
}

const std::string& NotDefinedText() { return NotDefinedTextStorage(); }

void LocalizeCatalogue()
{
    TVekLocalizedStrings& captions = GetLocalizedStrings("ExifProperties");
    for (core::TEXIFPropertyInfo& row : core::EXIFProperties())
        LocalizeText(captions, static_cast<int>(row.Id), row.Caption, row.Caption);
    NotDefinedTextStorage() = GetString(GetLocalizedStrings("Common"), NotDefinedTextId, "Not Defined");
}

}  // namespace ovrel::app
