#pragma once
// The catalogue of the properties the program shows, their groups, and the one formatter that turns a
// property of an image into display text and orders images by it.

#include "core/FocalLengthFactors.h"
#include "core/ImageInfo.h"
#include "core/ImageMetadata.h"
#include "toolkit/DateUtils.h"
#include "toolkit/System.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace ovrel::core {

struct TEXIFPropertyInfo {
    std::uint32_t Id = 0;
    std::uint16_t Group = 0;  // one bit of a group mask
    std::uint16_t Reserved = 0;
    std::string Caption;
    std::int32_t Column = -1;  // image-list column, -1 when not shown
    std::int32_t Width = 100;
    std::uint8_t Alignment = 0;  // 0 left, 1 right, 2 centred
    std::uint8_t Editable = 0;  // 1 when the edit dialog offers it
};

struct TEXIFPropertyGroup {
    std::uint16_t Mask = 0;
    std::uint16_t Reserved = 0;
    std::string Caption;
};

inline constexpr std::size_t EXIFPropertyCount = 47;
inline constexpr std::size_t EXIFPropertyGroupCount = 5;
using TEXIFPropertyInfos = std::array<TEXIFPropertyInfo, EXIFPropertyCount>;
using TEXIFPropertyGroups = std::array<TEXIFPropertyGroup, EXIFPropertyGroupCount>;

/// The catalogue and groups as shipped, with the English captions.
[[nodiscard]] const TEXIFPropertyInfos& DefaultEXIFProperties();
[[nodiscard]] const TEXIFPropertyGroups& DefaultEXIFPropertyGroups();
/// The live catalogue and groups: columns, widths, order and captions are changed by the configuration
/// and the language; they start as the defaults.
[[nodiscard]] TEXIFPropertyInfos& EXIFProperties();
[[nodiscard]] TEXIFPropertyGroups& EXIFPropertyGroups();
/// The first live catalogue row with that id, or null.
[[nodiscard]] const TEXIFPropertyInfo* FindEXIFProperty(std::uint32_t id);

/// Formats property values for display and compares images by a property for sorting.
class TVekImageInfoFormat : public toolkit::TObject {
public:
    TVekImageInfoFormat();
    ~TVekImageInfoFormat() override;

    /// The display text of the property; the empty text when it cannot be formatted. Raises nothing.
    virtual std::string FormatValue(const TVekImageInfo& info, std::uint32_t id);
    /// Negative when info1 sorts before info2. Images without the item sort last in both directions.
    virtual int Compare(const TVekImageInfo& info1, const TVekImageInfo& info2, bool descending, std::uint32_t id);

    /// The text of an item by its type alone (the first element of several); empty for no item or a value
    /// that cannot be read.
    [[nodiscard]] std::string TypedText(const TPropertyItem* item) const;
    /// Orders two items of one id by type; a missing item sorts last whatever the direction.
    [[nodiscard]] int CompareItems(const TPropertyItem* item1, const TPropertyItem* item2, bool descending) const;
    /// The 35 mm equivalent focal length, 0 when it cannot be computed. Teaches the factor table the camera.
    double Get35mmEquivalent(const TVekImageInfo& info);
    /// The item parsed as an EXIF date (see ParseExifDateTime).
    [[nodiscard]] toolkit::TDateTime GetDate(const TVekImageInfo& info, std::uint32_t id) const;

    [[nodiscard]] TReducedFocalLengthFactorTable& GetFactorTable() noexcept { return *FFactorTable; }

private:
    std::unique_ptr<TReducedFocalLengthFactorTable> FFactorTable;
};

/// The program's one formatter.
[[nodiscard]] TVekImageInfoFormat& ImageInfoFormat();

// File-fact texts shared by formatting and comparison.
[[nodiscard]] std::string ColorSpaceText(std::uint32_t imageFlags);
[[nodiscard]] std::string FormatText(const imaging::GUID& rawFormat);
[[nodiscard]] int BitsPerPixel(imaging::PixelFormat pixelFormat);
/// The text of a user comment after its 8-byte character-code prefix, as UTF-8.
[[nodiscard]] std::string UserCommentText(std::span<const std::uint8_t> value);

}  // namespace ovrel::core
