#pragma once
// The program's settings: one global record, read from the configuration file at start-up and written back
// at shut-down.

#include "core/PropertyCatalog.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ovrel::toolkit {
class TStream;
}

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

/// Reads the configuration file (ConfigFileName when no name is given), opened read-only. The file is
/// taken whole or not at all: a missing, empty, unreadable or oversized file, and one cut short (its last
/// end marker or a value's bytes missing), leave the record as it was (the defaults at start-up) and
/// give false. In a whole file, elements the reader does not know, or of another type or size, are
/// skipped and their fields keep their values; a column list that would show no column keeps the
/// columns. Raises nothing, so start-up always goes on.
bool LoadConfig();
bool LoadConfig(const std::string& fileName);

/// Writes the record to a temporary file beside the configuration file and renames it over the old one,
/// creating the folder when needed. Raises the class library's file errors (EFCreateError, EWriteError) when
/// the file cannot be written; the old file stays as it was.
void SaveConfig();
void SaveConfig(const std::string& fileName);

/// The record in the file format, as SaveConfig writes it.
[[nodiscard]] std::vector<std::uint8_t> ConfigBytes();
/// Fills the record from bytes in the file format, as LoadConfig takes them; raises the stream's
/// EReadError for content cut short, and then leaves the record as it was.
void ReadConfigBytes(std::span<const std::uint8_t> bytes);
/// As ReadConfigBytes, from a stream standing at the start of the content. Each level of the content is
/// passed over once, in order, and each element read where it starts.
void ReadConfig(toolkit::TStream& stream);

/// Entry 160 of "Common" in the current language, "Not Defined" until a language sets it.
[[nodiscard]] const std::string& NotDefinedText();

/// Re-reads the catalogue captions ("ExifProperties", key = property id) and NotDefinedText from the
/// current language. A caption missing from the language keeps its current text.
void LocalizeCatalogue();

}  // namespace ovrel::app
