#pragma once
// The program's settings: one global record, read from the configuration file at start-up and written back
// at shut-down.

#include "core/PropertyCatalog.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ovrel::app {

inline constexpr std::size_t WindowPlacementSize = 44;
inline constexpr std::size_t PanelPlacementSize = 47;

struct TThumbnailBox {
    std::int32_t Width = 150;
    std::int32_t Height = 150;
};

/// The settings of the run. The property groups and the catalogue belong to it too; they live in the image
/// core (core::EXIFPropertyGroups, core::EXIFProperties), and GetGroups / GetProperties reach them.
struct TEXIFOvrelConfig {
    std::uint16_t LangId = 0;  // 0: the system's default language
    std::string LastFolder;
    std::array<std::uint8_t, WindowPlacementSize> MainPlacement{};  // valid when its length field holds 44
    std::array<std::uint8_t, PanelPlacementSize> FoldersPanel{};
    std::array<std::uint8_t, PanelPlacementSize> PreviewPanel{};
    std::array<std::uint8_t, PanelPlacementSize> PropertiesPanel{};
    TThumbnailBox ThumbnailBox;  // not stored
    std::int32_t SortPropertyId = 0xFFFE;
    std::uint8_t SortDescending = 0;
    std::uint8_t ListGridLines = 1;  // not stored
    std::uint8_t InspectorGrid = 1;  // not stored
    std::int32_t InspectorSplitter = 100;

    [[nodiscard]] core::TEXIFPropertyGroups& GetGroups() const { return core::EXIFPropertyGroups(); }
    [[nodiscard]] core::TEXIFPropertyInfos& GetProperties() const { return core::EXIFProperties(); }
};

/// The one record of the run.
[[nodiscard]] TEXIFOvrelConfig& EXIFOvrelConfig();

/// Puts the record, the catalogue's columns and widths and the focal-length factor table back to the
/// program's defaults. Captions stay as the language set them.
void ResetConfig();

/// Reads the configuration file (ConfigFileName when no name is given), opened read-only. A missing,
/// empty, unreadable or damaged file leaves the record as it was (the defaults at start-up) and gives
/// false. Raises nothing, so start-up always goes on.
bool LoadConfig();
bool LoadConfig(const std::string& fileName);

/// Writes the record to a temporary file beside the configuration file and renames it over the old one,
/// creating the folder when needed. Raises the class library's file errors (EFCreateError, EWriteError) when
/// the file cannot be written; the old file stays as it was.
void SaveConfig();
void SaveConfig(const std::string& fileName);

/// The record in the file format, as SaveConfig writes it.
[[nodiscard]] std::vector<std::uint8_t> ConfigBytes();
/// Fills the record from bytes in the file format; raises the stream's EReadError for a truncated stream.
/// The record is changed only when the whole content could be read.
void ReadConfigBytes(std::span<const std::uint8_t> bytes);

/// Entry 160 of "Common" in the current language, "Not Defined" until a language sets it.
[[nodiscard]] const std::string& NotDefinedText();

/// Re-reads the catalogue captions ("ExifProperties", key = property id) and NotDefinedText from the
/// current language. A caption missing from the language keeps its current text.
void LocalizeCatalogue();

}  // namespace ovrel::app
