#pragma once

#include "toolkit/DateUtils.h"
#include "toolkit/System.h"

#include <array>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace ovrel::toolkit {

// ---------------------------------------------------------------------------------------------------------
// Exceptions

/// The class library's exception: a message fit to show.
class Exception : public TObject, public std::exception {
public:
    explicit Exception(std::string message);
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ~Exception() override;

    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override;

private:
    std::string FMessage;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};
class EListError : public Exception {
public:
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};
class EOutOfMemory : public Exception {
public:
    using Exception::Exception;
};
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};
class EInvalidCast : public Exception {
public:
    using Exception::Exception;
};
class EStreamError : public Exception {
public:
    using Exception::Exception;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

/// Raises EAssertionFailed with the message when the condition is false.
void Assert(bool condition, std::string_view message = "Assertion failed");

// ---------------------------------------------------------------------------------------------------------
// Format settings

/// Separators, date and time formats and names used by every locale-dependent routine.
/// The defaults are the C / US-English settings.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, mmmm d, yyyy";
    std::string ShortTimeFormat = "h:nn AMPM";
    std::string LongTimeFormat = "h:nn:ss AMPM";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
};

/// The process's current settings; mutable, so the program can load the locale's and tests can pin them.
TFormatSettings& FormatSettings();
/// Settings read from the user's locale (LC_NUMERIC and LC_TIME), falling back to the defaults per field.
TFormatSettings LocaleFormatSettings();

// ---------------------------------------------------------------------------------------------------------
// Format

/// One argument of Format: an integer, a floating-point number or a text (borrowed for the call).
class TFormatArg {
public:
    enum class TKind { Signed, Unsigned, Float, Text };

    TFormatArg(int value) : FKind(TKind::Signed), FSigned(value) {}
    TFormatArg(long value) : FKind(TKind::Signed), FSigned(value) {}
    TFormatArg(long long value) : FKind(TKind::Signed), FSigned(value) {}
    TFormatArg(unsigned value) : FKind(TKind::Unsigned), FUnsigned(value) {}
    TFormatArg(unsigned long value) : FKind(TKind::Unsigned), FUnsigned(value) {}
    TFormatArg(unsigned long long value) : FKind(TKind::Unsigned), FUnsigned(value) {}
    TFormatArg(double value) : FKind(TKind::Float), FFloat(value) {}
    TFormatArg(float value) : FKind(TKind::Float), FFloat(value) {}
    TFormatArg(const char* value) : FKind(TKind::Text), FText(value ? value : "") {}
    TFormatArg(const std::string& value) : FKind(TKind::Text), FText(value) {}
    TFormatArg(std::string_view value) : FKind(TKind::Text), FText(value) {}

    TKind GetKind() const { return FKind; }
    long long GetSigned() const { return FSigned; }
    unsigned long long GetUnsigned() const { return FUnsigned; }
    double GetFloat() const { return FFloat; }
    std::string_view GetText() const { return FText; }

private:
    TKind FKind;
    long long FSigned = 0;
    unsigned long long FUnsigned = 0;
    double FFloat = 0;
    std::string_view FText;
};

/// printf-like: %d %u %x %X %s %f %e %g %n %%, with '-', width and '.precision' ("%-8.2f", "%.8x").
/// %f and %n default to 2 decimals; %n adds thousands separators; %g is the shortest form of up to 15
/// significant digits (or the precision); %e has an exponent of three digits; %x and %X both give upper-case
/// hexadecimal digits, as the platform does. Integers are accepted where a
/// floating-point number is expected. A missing or mismatched argument raises EConvertError.
/// Decimal digits are rounded half away from zero, as the platform does.
std::string Format(std::string_view format, std::initializer_list<TFormatArg> args);
std::string Format(std::string_view format, std::initializer_list<TFormatArg> args, const TFormatSettings& settings);

// ---------------------------------------------------------------------------------------------------------
// Numbers

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

std::string IntToStr(long long value);
std::string IntToHex(unsigned long long value, int digits);
/// 15 significant digits, shortest form: 1.6f widened gives "1.60000002384186"; "1E20" style past 15 digits.
std::string FloatToStr(double value);
std::string FloatToStr(double value, const TFormatSettings& settings);
/// ffGeneral: shortest of up to `precision` significant digits; ffExponent: `precision` digits and an
/// exponent of at least `digits` digits; ffFixed / ffNumber: `digits` decimals (ffNumber with thousands
/// separators), falling back to ffGeneral when the value needs more than `precision` integer digits.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);

/// Decimal, or hexadecimal with "$" or "0x"; blanks around the number are allowed, nothing else.
int StrToInt(std::string_view text);
long long StrToInt64(std::string_view text);
[[nodiscard]] bool TryStrToInt(std::string_view text, int& value);
[[nodiscard]] bool TryStrToInt64(std::string_view text, long long& value);
int StrToIntDef(std::string_view text, int def);
/// Uses the DecimalSeparator of the settings; no thousands separators; an exponent is allowed.
double StrToFloat(std::string_view text);
double StrToFloat(std::string_view text, const TFormatSettings& settings);
[[nodiscard]] bool TryStrToFloat(std::string_view text, double& value);
[[nodiscard]] bool TryStrToFloat(std::string_view text, double& value, const TFormatSettings& settings);
double StrToFloatDef(std::string_view text, double def);

/// "True"/"False" with useBoolStrs, else "-1"/"0".
std::string BoolToStr(bool value, bool useBoolStrs = false);
/// "True"/"False" in any case, or a number (non-zero is true); raises EConvertError otherwise.
bool StrToBool(std::string_view text);
[[nodiscard]] bool TryStrToBool(std::string_view text, bool& value);

/// Half to even, as the platform rounds; raises EInvalidOperation when the value does not fit.
long long Round(double value);
/// Towards zero; raises EInvalidOperation when the value does not fit.
long long Trunc(double value);
/// a * b / c with a 64-bit intermediate, rounded half away from zero; -1 when c is 0 or on overflow.
int MulDiv(int a, int b, int c);

// ---------------------------------------------------------------------------------------------------------
// Strings (bytes; case mapping is ASCII only)

/// Strip bytes <= ' ' from both ends / the start / the end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
/// Byte order; the sign of the first difference (<0, 0, >0).
int CompareStr(std::string_view a, std::string_view b);
/// As CompareStr with ASCII letters folded to upper case.
int CompareText(std::string_view a, std::string_view b);
bool SameStr(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

enum TReplaceFlags : unsigned { rfNone = 0, rfReplaceAll = 1, rfIgnoreCase = 2 };
inline constexpr TReplaceFlags operator|(TReplaceFlags a, TReplaceFlags b)
{
    return static_cast<TReplaceFlags>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
/// Replaces the first occurrence, or all with rfReplaceAll; ASCII case folded with rfIgnoreCase.
std::string StringReplace(std::string_view text, std::string_view from, std::string_view to, TReplaceFlags flags);
/// 1-based position of sub in text, 0 when absent (or when sub is empty).
int Pos(std::string_view sub, std::string_view text);
/// `count` bytes from the 1-based `index`, clipped to the text.
std::string Copy(std::string_view text, int index, int count);
/// The parts of a "short|long" hint; a hint without '|' is both.
std::string GetShortHint(std::string_view hint);
std::string GetLongHint(std::string_view hint);

// ---------------------------------------------------------------------------------------------------------
// UTF-8

bool IsValidUtf8(std::string_view bytes);
/// Length of the sequence a byte starts: 1..4, or 0 for a continuation or invalid lead byte.
int Utf8SequenceLength(unsigned char leadByte);
/// Decodes the code point at `pos` and advances past it; a malformed sequence gives U+FFFD and one byte.
char32_t NextUtf8CodePoint(std::string_view text, std::size_t& pos);
void AppendUtf8(std::string& text, char32_t codePoint);
std::string Latin1ToUtf8(std::string_view bytes);
/// Valid UTF-8 as it is, anything else read as Latin-1.
std::string ToDisplayText(std::string_view bytes);
/// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
/// Simple case folding of one code point (Latin, Greek, Cyrillic and Armenian letters).
char32_t FoldCase(char32_t codePoint);
/// Whether two code points are the same letter regardless of case.
bool SameCharText(char32_t a, char32_t b);

// ---------------------------------------------------------------------------------------------------------
// File names and files ('/' is the delimiter)

inline constexpr char PathDelim = '/';
inline constexpr char DriveDelim = '\0';

std::string ExtractFileName(std::string_view path);
/// The folder with its trailing '/', "" when the path has no folder.
std::string ExtractFilePath(std::string_view path);
/// The folder without the trailing '/' (except the root "/").
std::string ExtractFileDir(std::string_view path);
/// ".jpg", "" when the name has none; a dot in a folder name is not an extension.
std::string ExtractFileExt(std::string_view path);
/// Replaces or appends the extension; `ext` includes its dot ("" removes the extension).
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingPathDelimiter(std::string_view path);
/// Removes one trailing '/', keeping the root "/".
std::string ExcludeTrailingPathDelimiter(std::string_view path);

/// A file that is not a folder (symbolic links followed).
bool FileExists(std::string_view fileName);
bool DirectoryExists(std::string_view directory);
/// -1 when the file cannot be examined.
std::int64_t FileSizeOf(std::string_view fileName);
[[nodiscard]] bool DeleteFile(std::string_view fileName);
[[nodiscard]] bool RenameFile(std::string_view oldName, std::string_view newName);
/// Creates the folder and every missing parent; true when it exists afterwards.
[[nodiscard]] bool ForceDirectories(std::string_view directory);

// ---------------------------------------------------------------------------------------------------------
// File search

inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faSymLink = 0x40;
inline constexpr int faAnyFile = 0x3F;

struct TSearchState;

/// One entry found by FindFirst / FindNext. Time is the modification time, local.
struct TSearchRec {
    std::string Name;
    int Attr = 0;
    std::int64_t Size = 0;
    TDateTime Time = 0;
    std::shared_ptr<TSearchState> FState;  // private to the search
};

/// Regular files matching the mask, in byte order of their names. Names starting with '.' count as hidden and
/// are found only when `attr` has faHidden; folders only when it has faDirectory ("." and ".." never);
/// devices, FIFOs and sockets never. '*' and '?' match without regard to ASCII case, and "*.*" matches every
/// name, with or without a dot. A folder that cannot be read finds nothing. Returns 0 when found.
[[nodiscard]] int FindFirst(std::string_view pathAndMask, int attr, TSearchRec& rec);
[[nodiscard]] int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);
/// Whether a file name matches a mask as FindFirst matches it.
bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace ovrel::toolkit
