#include "toolkit/SysUtils.h"

#include "toolkit/Base_p.h"

#include <locale.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace ovrel::toolkit {

// ---------------------------------------------------------------------------------------------------------
// Exceptions

Exception::Exception(std::string message) : FMessage(std::move(message)) {}

// TObject is not copyable, but exceptions must be: only the message is carried over.
Exception::Exception(const Exception& other) : TObject(), std::exception(other), FMessage(other.FMessage) {}

Exception& Exception::operator=(const Exception& other)
{
    FMessage = other.FMessage;
    return *this;
}

Exception::~Exception() = default;

const char* Exception::what() const noexcept { return FMessage.c_str(); }

void Assert(bool condition, std::string_view message)
{
    if (!condition)
        throw EAssertionFailed(std::string(message));
}

// ---------------------------------------------------------------------------------------------------------
// Integers

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Leading blanks, a sign, then decimal digits or "$" / "0x" / "x" and hexadecimal digits, nothing after.
// Hexadecimal is read as a bit pattern of 64 bits, so "$FFFFFFFFFFFFFFFF" is -1.
bool ParseInt64(std::string_view text, long long& value)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    }
    if (i == text.size())
        return false;
    unsigned long long magnitude = 0;
    const unsigned long long limit = base == 16
                                         ? std::numeric_limits<unsigned long long>::max()
                                         : static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + 1;
    for (; i < text.size(); ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0 || digit >= base)
            return false;
        if (magnitude > (limit - static_cast<unsigned>(digit)) / static_cast<unsigned>(base))
            return false;
        magnitude = magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    if (base == 10 && !negative && magnitude > static_cast<unsigned long long>(std::numeric_limits<long long>::max()))
        return false;
    // Two's complement wrap is what both the minimum and a hexadecimal bit pattern need.
    value = static_cast<long long>(negative ? 0 - magnitude : magnitude);
    return true;
}

}  // namespace

bool TryStrToInt64(std::string_view text, long long& value) { return ParseInt64(text, value); }

bool TryStrToInt(std::string_view text, int& value)
{
    long long wide = 0;
    if (!ParseInt64(text, wide))
        return false;
    // A hexadecimal text up to 8 digits may stand for a negative 32-bit value, as "$FFFFFFFF" for -1.
    if (wide > std::numeric_limits<int>::max() && wide <= 0xFFFFFFFFLL &&
        text.find_first_of("$xX") != std::string_view::npos)
        wide = static_cast<int>(static_cast<std::uint32_t>(wide));
    if (wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(wide);
    return true;
}

int StrToInt(std::string_view text)
{
    return detail::ConvertOrRaise<int>(text, "integer value", [&](int& value) { return TryStrToInt(text, value); });
}

long long StrToInt64(std::string_view text)
{
    return detail::ConvertOrRaise<long long>(text, "integer value",
                                             [&](long long& value) { return ParseInt64(text, value); });
}

int StrToIntDef(std::string_view text, int def)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : def;
}

// ---------------------------------------------------------------------------------------------------------
// Floating point

bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings)
{
    const std::string trimmed = Trim(text);
    // Rewrite into the C form, accepting only: sign, digits, one decimal separator, digits, exponent.
    std::string c;
    std::size_t i = 0;
    const auto sign = [&] {
        if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-'))
            c += trimmed[i++];
    };
    const auto digitRun = [&] {
        const std::size_t start = i;
        while (i < trimmed.size() && trimmed[i] >= '0' && trimmed[i] <= '9')
            c += trimmed[i++];
        return i > start;
    };
    sign();
    bool digits = digitRun();
    if (i < trimmed.size() && trimmed[i] == settings.DecimalSeparator) {
        c += '.';
        ++i;
        digits = digitRun() || digits;
    }
    if (!digits)
        return false;
    if (i < trimmed.size() && (trimmed[i] == 'e' || trimmed[i] == 'E')) {
        c += 'e';
        ++i;
        sign();
        if (!digitRun())
            return false;
    }
    if (i != trimmed.size())
        return false;
    // Through the C locale: the process locale follows the user's (Qt sets it), and c is in the C form.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    char* end = nullptr;
    const double result = ::strtod_l(c.c_str(), &end, cLocale);
    if (end != c.c_str() + c.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

bool TryStrToFloat(std::string_view text, double& value) { return TryStrToFloat(text, value, FormatSettings()); }

double StrToFloat(std::string_view text, const TFormatSettings& settings)
{
    return detail::ConvertOrRaise<double>(text, "floating point value",
                                          [&](double& value) { return TryStrToFloat(text, value, settings); });
}

double StrToFloat(std::string_view text) { return StrToFloat(text, FormatSettings()); }

double StrToFloatDef(std::string_view text, double def)
{
    double value = 0;
    return TryStrToFloat(text, value) ? value : def;
}

// ---------------------------------------------------------------------------------------------------------
// Booleans

std::string BoolToStr(bool value, bool useBoolStrs)
{
    if (useBoolStrs)
        return value ? "True" : "False";
    return value ? "-1" : "0";
}

bool TryStrToBool(std::string_view text, bool& value)
{
    const std::string trimmed = Trim(text);
    if (SameText(trimmed, "True")) {
        value = true;
        return true;
    }
    if (SameText(trimmed, "False")) {
        value = false;
        return true;
    }
    double number = 0;
    if (!TryStrToFloat(trimmed, number))
        return false;
    value = number != 0;
    return true;
}

bool StrToBool(std::string_view text)
{
    return detail::ConvertOrRaise<bool>(text, "boolean value", [&](bool& value) { return TryStrToBool(text, value); });
}

// ---------------------------------------------------------------------------------------------------------
// Arithmetic

namespace {

// 2^63 is exact in a double; anything at or past it does not fit.
constexpr double Int64Bound = 9223372036854775808.0;

long long CheckedToInt64(double value)
{
    if (!(value >= -Int64Bound && value < Int64Bound))
        throw EInvalidOperation("Invalid floating point operation");
    return static_cast<long long>(value);
}

}  // namespace

long long Round(double value)
{
    // nearbyint rounds half to even in the default rounding mode.
    return CheckedToInt64(std::nearbyint(value));
}

long long Trunc(double value) { return CheckedToInt64(std::trunc(value)); }

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long divisor = c;
    long long quotient = product / divisor;
    const long long remainder = product % divisor;
    // Compare 2|r| with |c| without overflow: both fit easily in 64 bits.
    const long long twice = 2 * (remainder < 0 ? -remainder : remainder);
    if (twice >= (divisor < 0 ? -divisor : divisor))
        quotient += ((product < 0) != (divisor < 0)) ? -1 : 1;
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(quotient);
}

// ---------------------------------------------------------------------------------------------------------
// Strings

std::string Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string TrimLeft(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size() && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    return std::string(text.substr(begin));
}

std::string TrimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(0, end));
}

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

template <class Map> int CompareBytes(std::string_view a, std::string_view b, Map map)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const auto x = static_cast<unsigned char>(map(a[i]));
        const auto y = static_cast<unsigned char>(map(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

// Position of `from` in `text` at or after `start`, comparing ASCII letters without case when asked.
std::size_t FindFrom(std::string_view text, std::string_view from, std::size_t start, bool ignoreCase)
{
    if (!ignoreCase)
        return text.find(from, start);
    if (from.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = start; i + from.size() <= text.size(); ++i) {
        if (CompareBytes(text.substr(i, from.size()), from, AsciiUpper) == 0)
            return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = AsciiUpper(c);
    return result;
}

std::string LowerCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = AsciiLower(c);
    return result;
}

int CompareStr(std::string_view a, std::string_view b)
{
    return CompareBytes(a, b, [](char c) { return c; });
}

int CompareText(std::string_view a, std::string_view b) { return CompareBytes(a, b, AsciiUpper); }

bool SameStr(std::string_view a, std::string_view b) { return a == b; }

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

std::string StringReplace(std::string_view text, std::string_view from, std::string_view to, TReplaceFlags flags)
{
    if (from.empty())
        return std::string(text);
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    std::string result;
    std::size_t start = 0;
    while (true) {
        const std::size_t found = FindFrom(text, from, start, ignoreCase);
        if (found == std::string_view::npos)
            break;
        result.append(text.substr(start, found - start));
        result.append(to);
        start = found + from.size();
        if ((flags & rfReplaceAll) == 0)
            break;
    }
    result.append(text.substr(start));
    return result;
}

int Pos(std::string_view sub, std::string_view text)
{
    if (sub.empty())
        return 0;
    const std::size_t found = text.find(sub);
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

std::string Copy(std::string_view text, int index, int count)
{
    if (index < 1)
        index = 1;
    if (count <= 0 || static_cast<std::size_t>(index) > text.size())
        return {};
    return std::string(text.substr(static_cast<std::size_t>(index) - 1, static_cast<std::size_t>(count)));
}

std::string GetShortHint(std::string_view hint)
{
    const std::size_t bar = hint.find('|');
    return std::string(bar == std::string_view::npos ? hint : hint.substr(0, bar));
}

std::string GetLongHint(std::string_view hint)
{
    const std::size_t bar = hint.find('|');
    return std::string(bar == std::string_view::npos ? hint : hint.substr(bar + 1));
}

// ---------------------------------------------------------------------------------------------------------
// UTF-8

int Utf8SequenceLength(unsigned char leadByte)
{
    if (leadByte < 0x80)
        return 1;
    if (leadByte >= 0xC2 && leadByte <= 0xDF)
        return 2;
    if (leadByte >= 0xE0 && leadByte <= 0xEF)
        return 3;
    if (leadByte >= 0xF0 && leadByte <= 0xF4)
        return 4;
    return 0;
}

namespace {

inline constexpr char32_t ReplacementChar = 0xFFFD;

// The code point of a well-formed sequence at pos (no overlongs, no surrogates, at most U+10FFFF), and its
// length; 0 when the bytes there are not one.
int DecodeAt(std::string_view text, std::size_t pos, char32_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    const int length = Utf8SequenceLength(lead);
    if (length == 0 || text.size() - pos < static_cast<std::size_t>(length))
        return 0;
    if (length == 1) {
        codePoint = lead;
        return 1;
    }
    char32_t value = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(k)]);
        if ((byte & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte & 0x3F);
    }
    if ((length == 3 && value < 0x800) || (length == 4 && (value < 0x10000 || value > 0x10FFFF)) ||
        (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t codePoint = 0;
        const int length = DecodeAt(bytes, pos, codePoint);
        if (length == 0)
            return false;
        pos += static_cast<std::size_t>(length);
    }
    return true;
}

char32_t NextUtf8CodePoint(std::string_view text, std::size_t& pos)
{
    if (pos >= text.size())
        return 0;
    char32_t codePoint = 0;
    const int length = DecodeAt(text, pos, codePoint);
    if (length == 0) {
        ++pos;
        return ReplacementChar;
    }
    pos += static_cast<std::size_t>(length);
    return codePoint;
}

void AppendUtf8(std::string& text, char32_t codePoint)
{
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        codePoint = ReplacementChar;
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string result;
    result.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(result, static_cast<unsigned char>(c));
    return result;
}

std::string ToDisplayText(std::string_view bytes)
{
    return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(result, unit);  // a lone surrogate becomes U+FFFD there
    }
    return result;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string result;
    result.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t codePoint = NextUtf8CodePoint(text, pos);
        if (codePoint >= 0x10000) {
            result += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(codePoint);
        }
    }
    return result;
}

char32_t FoldCase(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    // Latin-1: À..Þ except ×.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return c + 32;
    if (c == 0xB5)
        return 0x3BC;  // micro sign folds to Greek mu
    // Latin Extended-A: pairs upper/lower, with the odd ranges where lower case is the odd code point.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c + 1 : c;
    if (c == 0x178)
        return 0xFF;
    if (c == 0x17F)
        return 's';
    // Greek.
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        return c + 32;
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 37;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 63;
    if (c == 0x3C2)
        return 0x3C3;  // final sigma
    // Cyrillic.
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F))
        return c | 1;
    if (c >= 0x4C1 && c <= 0x4CE)
        return (c & 1) ? c + 1 : c;
    if (c == 0x4C0)
        return 0x4CF;
    // Armenian.
    if (c >= 0x531 && c <= 0x556)
        return c + 48;
    // Latin Extended Additional and Greek Extended are left alone: rare in accelerators and file names.
    return c;
}

bool SameCharText(char32_t a, char32_t b) { return FoldCase(a) == FoldCase(b); }

// ---------------------------------------------------------------------------------------------------------
// File names

namespace {

std::size_t LastDelimiter(std::string_view path) { return path.rfind(PathDelim); }

}  // namespace

std::string ExtractFileName(std::string_view path)
{
    const std::size_t slash = LastDelimiter(path);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ExtractFilePath(std::string_view path)
{
    const std::size_t slash = LastDelimiter(path);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view path)
{
    const std::size_t slash = LastDelimiter(path);
    if (slash == std::string_view::npos)
        return {};
    if (slash == 0)
        return std::string(1, PathDelim);  // the root keeps its delimiter
    return std::string(path.substr(0, slash));
}

std::string ExtractFileExt(std::string_view path)
{
    const std::size_t slash = LastDelimiter(path);
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext)
{
    const std::string current = ExtractFileExt(path);
    std::string result(path.substr(0, path.size() - current.size()));
    result.append(ext);
    return result;
}

std::string IncludeTrailingPathDelimiter(std::string_view path)
{
    std::string result(path);
    if (result.empty() || result.back() != PathDelim)
        result += PathDelim;
    return result;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path)
{
    std::string result(path);
    if (result.size() > 1 && result.back() == PathDelim)
        result.pop_back();
    return result;
}

// ---------------------------------------------------------------------------------------------------------
// Files

bool FileExists(std::string_view fileName)
{
    struct stat info {};
    return !fileName.empty() && ::stat(std::string(fileName).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(std::string_view directory)
{
    struct stat info {};
    return !directory.empty() && ::stat(std::string(directory).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::int64_t FileSizeOf(std::string_view fileName)
{
    struct stat info {};
    if (fileName.empty() || ::stat(std::string(fileName).c_str(), &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool DeleteFile(std::string_view fileName) { return !fileName.empty() && ::unlink(std::string(fileName).c_str()) == 0; }

bool RenameFile(std::string_view oldName, std::string_view newName)
{
    return ::rename(std::string(oldName).c_str(), std::string(newName).c_str()) == 0;
}

bool ForceDirectories(std::string_view directory)
{
    const std::string path = ExcludeTrailingPathDelimiter(directory);
    if (path.empty())
        return false;
    if (DirectoryExists(path))
        return true;
    const std::string parent = ExtractFileDir(path);
    if (!parent.empty() && parent != path && !ForceDirectories(parent))
        return false;
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(path));
}

namespace detail {

std::string ErrnoText(int error)
{
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which may not be in the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text ? std::string(text) : std::string("Unknown error");
}

std::string TextBytesToUtf8(std::string_view bytes)
{
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string result;
    result.reserve(bytes.size() + bytes.size() / 8);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string_view::npos ? bytes.size() : end + 1;
        result += ToDisplayText(bytes.substr(start, end - start));
        start = end;
    }
    return result;
}

}  // namespace detail

}  // namespace ovrel::toolkit
