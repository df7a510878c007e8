#pragma once
// Helpers of the application tests: pinned locale settings and JPEG files with metadata made in code.

#include "core/CoreTestSupport.h"
#include "imaging/Builders.h"
#include "toolkit/SysUtils.h"

#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

namespace ovrel::app::test {

using core::test::Bytes;
using core::test::TPinnedClock;
using core::test::TTempFolder;

/// Pins the process's format settings for one test: US English with a 24-hour clock, or a variant with a
/// decimal comma and day-first dates.
class TPinnedLocale {
public:
    enum class TKind { Point, Comma };

    explicit TPinnedLocale(TKind kind = TKind::Point)
        : FPinned(kind == TKind::Comma ? ',' : '.', kind == TKind::Comma ? '.' : ',')
    {
        toolkit::TFormatSettings& settings = toolkit::FormatSettings();
        settings.ShortTimeFormat = "h:nn";
        settings.LongTimeFormat = "h:nn:ss";
        settings.DateSeparator = kind == TKind::Comma ? '.' : '/';
        settings.ShortDateFormat = kind == TKind::Comma ? "dd.mm.yyyy" : "M/d/yyyy";
    }

private:
    core::test::TPinnedSettings FPinned;  // restores the settings
};

inline void PrintTo(TPinnedLocale::TKind kind, std::ostream* out)
{
    *out << (kind == TPinnedLocale::TKind::Comma ? "comma" : "point");
}

/// One ASCII entry of a JPEG's Exif block.
struct TAsciiEntry {
    imaging::fixtures::Dir Dir;
    std::uint16_t Tag;
    std::string_view Text;
};

/// An 8 x 8 JPEG whose Exif block holds the entries.
inline Bytes JpegWith(std::initializer_list<TAsciiEntry> entries)
{
    imaging::fixtures::TiffBytes block;
    for (const TAsciiEntry& entry : entries)
        block.Ascii(entry.Dir, entry.Tag, entry.Text);
    return imaging::fixtures::JpegBytes().Exif(block.Build()).Frame(8, 8).Build();
}

inline Bytes ReadFile(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ovrel::app::test
