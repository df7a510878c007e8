#include "app/Config.h"

#include "app/Localizer.h"
#include "app/Paths.h"
#include "core/SDFStream.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// A real file is a few kilobytes. Each numbered section is looked up from the start of its parent, so the
// caps also bound the time a damaged file can cost.
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
    TVekSDFStream stream(&memory);

    // Everything is read into copies first, so a read error leaves the settings as they were.
    TEXIFOvrelConfig next = EXIFOvrelConfig();
    std::uint32_t sortPropertyId = static_cast<std::uint32_t>(next.SortPropertyId);
    stream.ReadWord(IdLangId, next.LangId);
    if (stream.ReadLongWord(IdSortPropertyId, sortPropertyId))
        next.SortPropertyId = static_cast<std::int32_t>(sortPropertyId);
    stream.ReadByte(IdSortDescending, next.SortDescending);
    stream.ReadString(IdLastFolder, next.LastFolder);

    core::TEXIFPropertyInfos& properties = next.GetProperties();
    std::array<TColumnSetting, core::EXIFPropertyCount> columns;
    for (std::size_t i = 0; i < properties.size(); ++i)
        columns[i] = {properties[i].Column, properties[i].Width};
    if (stream.OpenSection(IdColumns)) {
        for (std::size_t i = 0; i < properties.size(); ++i) {
            if (stream.OpenSection(properties[i].Id)) {
                stream.ReadInteger(IdColumn, columns[i].Column);
                stream.ReadInteger(IdWidth, columns[i].Width);
                stream.CloseSection();
            } else {
                columns[i].Column = -1;
            }
        }
        stream.CloseSection();
        RenumberColumns(columns);
    }

    stream.ReadBlob(IdMainPlacement, next.MainPlacement.data(), WindowPlacementSize);
    stream.ReadBlob(IdFoldersPanel, next.FoldersPanel.data(), PanelPlacementSize);
    stream.ReadBlob(IdPreviewPanel, next.PreviewPanel.data(), PanelPlacementSize);
    stream.ReadBlob(IdPropertiesPanel, next.PropertiesPanel.data(), PanelPlacementSize);
    stream.ReadInteger(IdInspectorSplitter, next.InspectorSplitter);

    bool hasFactors = false;
    std::vector<core::TReducedFocalLengthFactor> factors;
    if (stream.OpenSection(IdFactors)) {
        hasFactors = true;
        for (std::uint32_t n = 1; n <= MaxFactorRows && stream.OpenSection(n); ++n) {
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
