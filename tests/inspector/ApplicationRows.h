#pragma once
// The grid as the main window sets it up and fills it: its options, four category rows with black normal
// captions and 47 read-only rows tagged with their property identifiers, and the values of one image written
// through the walk over every row.

#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ovrel::inspector::testing {

struct CatalogueRow {
    const char* Caption;
    std::intptr_t Tag;
    int Group;  // index into GroupCaptions
};

inline constexpr const char* GroupCaptions[] = {"Image", "Camera", "Exposure", "Location"};

inline const std::vector<CatalogueRow>& CatalogueRows()
{
    static const std::vector<CatalogueRow> rows = {
        {"File name", 0xFFFE, 0},
        {"File size", 0xFFFD, 0},
        {"Width", 0xA002, 0},
        {"Height", 0xA003, 0},
        {"Resolution X", 0x011A, 0},
        {"Resolution Y", 0x011B, 0},
        {"Resolution unit", 0x0128, 0},
        {"Orientation", 0x0112, 0},
        {"Colour space", 0xA001, 0},
        {"Compression", 0x0103, 0},
        {"Description", 0x010E, 0},
        {"Artist", 0x013B, 0},
        {"Copyright", 0x8298, 0},
        {"Software", 0x0131, 0},
        {"Make", 0x010F, 1},
        {"Model", 0x0110, 1},
        {"Lens", 0xA434, 1},
        {"Serial number", 0xA431, 1},
        {"Focal length", 0x920A, 1},
        {"Focal length in 35 mm", 0xA405, 1},
        {"Digital zoom", 0xA404, 1},
        {"Flash", 0x9209, 1},
        {"Metering mode", 0x9207, 1},
        {"Light source", 0x9208, 1},
        {"White balance", 0xA403, 1},
        {"Scene type", 0xA301, 1},
        {"Date taken", 0x9003, 1},
        {"Date digitised", 0x9004, 1},
        {"Date modified", 0x0132, 1},
        {"Exposure time", 0x829A, 2},
        {"F-number", 0x829D, 2},
        {"Exposure program", 0x8822, 2},
        {"ISO speed", 0x8827, 2},
        {"Exposure bias", 0x9204, 2},
        {"Max aperture", 0x9205, 2},
        {"Brightness", 0x9203, 2},
        {"Exposure mode", 0xA402, 2},
        {"Scene capture", 0xA406, 2},
        {"Contrast", 0xA408, 2},
        {"Saturation", 0xA409, 2},
        {"Sharpness", 0xA40A, 2},
        {"Subject distance", 0x9206, 2},
        {"Latitude", 0x0002, 3},
        {"Longitude", 0x0004, 3},
        {"Altitude", 0x0006, 3},
        {"GPS time", 0x0007, 3},
        {"GPS date", 0x001D, 3},
    };
    return rows;
}

/// What the main window sets on its grid before it shows.
inline void ConfigureLikeTheMainWindow(TCustomPropertiesView& grid, int splitterPosition = 104)
{
    grid.SetOptions({poGrid, poEnterSelectNext, poUniformSelect});
    grid.SetRowHeight(16);
    grid.SetSplitterPosition(splitterPosition);
    grid.SetSuffixWidth(60);
    grid.SetCategoriesColor(toolkit::clBtnFace);
    grid.SetGridColor(toolkit::clBtnFace);
    grid.SetEnableVisualStyles(true);
}

/// Every row made again, as on show and after each language change.
inline void BuildPropertyRows(TCustomPropertiesView& grid)
{
    TPropertyItems* categories = grid.GetCategories();
    categories->Clear();
    const auto textual = TPropertyItemClass::Of<TTextualItem>();
    for (int group = 0; group < 4; ++group) {
        TCustomPropertyItem* category = categories->Add(textual, GroupCaptions[group], "");
        category->SetTag(0);
        category->GetFont()->SetColor(toolkit::clBlack);
        category->GetFont()->SetStyle({});
        for (const CatalogueRow& row : CatalogueRows()) {
            if (row.Group != group)
                continue;
            TCustomPropertyItem* item = category->GetItems()->Add(textual, row.Caption, "");
            item->SetTag(row.Tag);
            item->SetReadOnly(true);
        }
    }
}

/// The text an image gives for a row: none for some rows, so that empty values show too.
inline std::string SampleValue(std::intptr_t tag)
{
    if (tag % 5 == 0)
        return std::string();
    return "Value " + std::to_string(tag);
}

/// Writes one image's values into every row with a tag, walking all rows as the main window does.
inline void ShowSampleValues(TCustomPropertiesView& grid)
{
    for (int i = 0; i < grid.GetAbsoluteCount(); ++i) {
        TCustomPropertyItem* item = grid.GetAbsoluteItem(i);
        if (item->GetTag() != 0)
            item->SetValue(SampleValue(item->GetTag()));
    }
}

}  // namespace ovrel::inspector::testing
