#pragma once
// Helpers shared by the core tests: pinned format settings and clock, a temporary folder, value bytes.

#include "core/ImageInfo.h"
#include "toolkit/DateUtils.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace ovrel::core::test {

using Bytes = std::vector<std::uint8_t>;

/// Pins the process's format settings for one test and restores them afterwards.
class TPinnedSettings {
public:
    explicit TPinnedSettings(char decimal = '.', char thousand = ',') : FSaved(toolkit::FormatSettings())
    {
        toolkit::TFormatSettings& settings = toolkit::FormatSettings();
        settings = toolkit::TFormatSettings{};
        settings.DecimalSeparator = decimal;
        settings.ThousandSeparator = thousand;
        settings.DateSeparator = '.';
        settings.TimeSeparator = ':';
        settings.ShortDateFormat = "dd/mm/yyyy";
        settings.LongTimeFormat = "hh:nn:ss";
    }
    ~TPinnedSettings() { toolkit::FormatSettings() = FSaved; }
    TPinnedSettings(const TPinnedSettings&) = delete;
    TPinnedSettings& operator=(const TPinnedSettings&) = delete;

private:
    toolkit::TFormatSettings FSaved;
};

/// Pins Now() to a fixed date-time for one test.
class TPinnedClock {
public:
    explicit TPinnedClock(toolkit::TDateTime now) : FNow(now)
    {
        toolkit::SetNowFunction([now] { return now; });
    }
    ~TPinnedClock() { toolkit::SetNowFunction({}); }
    TPinnedClock(const TPinnedClock&) = delete;
    TPinnedClock& operator=(const TPinnedClock&) = delete;
    [[nodiscard]] toolkit::TDateTime Get() const { return FNow; }

private:
    toolkit::TDateTime FNow;
};

/// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ovrel-core-XXXXXX").string();
        FPath = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TTempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(FPath, error);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    [[nodiscard]] const std::string& Path() const { return FPath; }
    [[nodiscard]] std::string File(std::string_view name) const { return FPath + "/" + std::string(name); }
    std::string Write(std::string_view name, const Bytes& bytes) const
    {
        const std::string fileName = File(name);
        std::ofstream out(fileName, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return fileName;
    }
    std::string WriteText(std::string_view name, std::string_view text) const
    {
        return Write(name, Bytes(text.begin(), text.end()));
    }

private:
    std::string FPath;
};

// Value bytes in the machine's order, as the image layer hands them over.
template <class T> Bytes Values(std::initializer_list<T> values)
{
    Bytes bytes(values.size() * sizeof(T));
    std::size_t at = 0;
    for (T value : values) {
        std::memcpy(bytes.data() + at, &value, sizeof(T));
        at += sizeof(T);
    }
    return bytes;
}
inline Bytes U16(std::uint16_t value) { return Values<std::uint16_t>({value}); }
inline Bytes U32(std::uint32_t value) { return Values<std::uint32_t>({value}); }
inline Bytes Rational(std::uint32_t numerator, std::uint32_t denominator)
{
    return Values<std::uint32_t>({numerator, denominator});
}
inline Bytes SRational(std::int32_t numerator, std::int32_t denominator)
{
    return Values<std::int32_t>({numerator, denominator});
}
/// The text's bytes followed by one zero byte.
inline Bytes Ascii(std::string_view text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}
inline Bytes Raw(std::string_view text) { return Bytes(text.begin(), text.end()); }
inline Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct TItemSpec {
    std::uint32_t Id;
    std::uint16_t Type;
    Bytes Value;
};

/// An image object for a file that does not exist (no file facts), holding the given items.
inline std::unique_ptr<TVekImageInfo> MakeInfo(std::initializer_list<TItemSpec> items,
                                               std::string fileName = "/nonexistent/folder/image.jpg")
{
    auto info = std::make_unique<TVekImageInfo>(std::move(fileName));
    for (const TItemSpec& item : items)
        info->SetPropertyItem(item.Id, item.Type, static_cast<std::uint32_t>(item.Value.size()), item.Value.data());
    return info;
}

}  // namespace ovrel::core::test
