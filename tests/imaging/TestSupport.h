#pragma once
// Helpers of the image tests: a temporary folder, file I/O and item values in the machine's byte order.

#include "Builders.h"
#include "platform/imaging/Image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ovrel::imaging::fixtures {

// A fresh folder, removed with everything in it.
class TempDir {
public:
    TempDir()
    {
        std::random_device rd;
        FPath =
            std::filesystem::temp_directory_path() / ("ovrel-imaging-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(FPath);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(FPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(FPath, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] std::string File(std::string_view name) const { return (FPath / name).string(); }
    [[nodiscard]] const std::filesystem::path& Path() const { return FPath; }
    // Names in the folder, sorted.
    [[nodiscard]] std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(FPath))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path FPath;
};

inline void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename T> std::vector<std::uint8_t> Native(std::initializer_list<T> values)
{
    std::vector<std::uint8_t> out(values.size() * sizeof(T));
    std::size_t at = 0;
    for (T v : values) {
        std::memcpy(out.data() + at, &v, sizeof(T));
        at += sizeof(T);
    }
    return out;
}

inline std::vector<std::uint8_t> AsciiValue(std::string_view text)
{
    std::vector<std::uint8_t> v(text.begin(), text.end());
    v.push_back(0);
    return v;
}

inline PropertyItem Ascii(std::uint32_t id, std::string_view text)
{
    return {id, PropertyTagTypeASCII, AsciiValue(text)};
}

inline std::vector<std::uint32_t> Ids(const std::vector<PropertyItem>& items)
{
    std::vector<std::uint32_t> ids;
    for (const auto& i : items)
        ids.push_back(i.Id);
    return ids;
}

inline const PropertyItem* ItemOf(const std::vector<PropertyItem>& items, std::uint32_t id)
{
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (it->Id == id)
            return &*it;
    return nullptr;
}

// Maker-note bytes that hold offsets of their own: a pattern that shows any shift or change.
inline Bytes MakerNote(std::size_t size)
{
    Bytes note(size);
    for (std::size_t i = 0; i < size; ++i)
        note[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return note;
}

// An Exif block as a camera writes it: IFD0, Exif with a maker note, GPS, interoperability, and a first IFD
// with a JPEG thumbnail.
inline TiffBytes CameraExif(bool bigEndian, std::size_t makerNoteSize = 40)
{
    TiffBytes t(bigEndian);
    t.Ascii(Dir::Ifd0, 0x010F, "Ovrel")  // Make
        .Ascii(Dir::Ifd0, 0x0110, "Model X")  // Model
        .Rational(Dir::Ifd0, 0x011A, {{72, 1}})  // XResolution
        .Rational(Dir::Ifd0, 0x011B, {{72, 1}})  // YResolution
        .Short(Dir::Ifd0, 0x0128, {2})  // ResolutionUnit: inch
        .Ascii(Dir::Ifd0, 0x0132, "2004:07:15 13:45:09")  // DateTime
        .Rational(Dir::Exif, 0x829A, {{1, 125}})  // ExposureTime
        .Rational(Dir::Exif, 0x829D, {{28, 10}})  // FNumber
        .Undefined(Dir::Exif, 0x9000, {'0', '2', '2', '0'})  // ExifVersion
        .Rational(Dir::Exif, 0x9204, {{0xFFFFFFFE, 3}}, 10)  // ExposureBias -2/3
        .Short(Dir::Exif, 0x9209, {1})  // Flash: fired
        .Rational(Dir::Exif, 0x920A, {{50, 1}})  // FocalLength
        .Undefined(Dir::Exif, 0x927C, MakerNote(makerNoteSize))  // MakerNote
        .Byte(Dir::Gps, 0x0000, {2, 3, 0, 0})  // GPSVersionID
        .Ascii(Dir::Gps, 0x0001, "N")  // GPSLatitudeRef
        .Rational(Dir::Gps, 0x0002, {{48, 1}, {51, 1}, {30, 1}})  // GPSLatitude
        .Ascii(Dir::Interop, 0x0001, "R98")  // InteroperabilityIndex
        .Short(Dir::First, 0x0103, {6})  // thumbnail Compression: JPEG
        .Thumbnail(JpegBytes().Frame(16, 12).Build());
    return t;
}

}  // namespace ovrel::imaging::fixtures
