#include "toolkit/SysUtils.h"

#include "toolkit/Base_p.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace ovrel::toolkit {

// ---------------------------------------------------------------------------------------------------------
// Format settings

TFormatSettings& FormatSettings()
{
    static TFormatSettings settings;
    return settings;
}

namespace {

// The locale a category takes from the environment, as setlocale(category, "") would choose it.
std::string EnvironmentLocale(const char* categoryVariable)
{
    for (const char* name : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return "C";
}

bool IsCLocale(std::string_view name) { return name == "C" || name == "POSIX" || name.starts_with("C."); }

// A locale object for one category; freed with the holder.
class TLocaleHandle {
public:
    TLocaleHandle(int mask, const std::string& name) : FLocale(newlocale(mask, name.c_str(), nullptr)) {}
    ~TLocaleHandle()
    {
        if (FLocale)
            freelocale(FLocale);
    }
    TLocaleHandle(const TLocaleHandle&) = delete;
    TLocaleHandle& operator=(const TLocaleHandle&) = delete;

    explicit operator bool() const { return FLocale != nullptr; }
    std::string Item(nl_item item) const
    {
        const char* text = nl_langinfo_l(item, FLocale);
        if (!text)
            return {};
        const char* codeset = nl_langinfo_l(CODESET, FLocale);
        const bool utf8 = codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
        return utf8 ? std::string(text) : ToDisplayText(text);
    }

private:
    locale_t FLocale;
};

// One byte for a separator: multi-byte separators (a no-break space, say) become a blank.
char SeparatorChar(const std::string& text, char fallback)
{
    if (text.empty())
        return fallback;
    if (text.size() == 1)
        return text[0];
    return ' ';
}

}  // namespace

namespace detail {

std::string PatternFromStrftime(std::string_view format, char placeholder, char& separator)
{
    std::string result;
    bool haveSeparator = false;
    auto literal = [&](char c) {
        const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool isPunct = !isLetter && !(c >= '0' && c <= '9') && c != ' ' && static_cast<unsigned char>(c) < 0x80;
        if (isPunct && c != '\'' && c != '"' && (!haveSeparator || c == separator)) {
            haveSeparator = true;
            separator = c;
            result += placeholder;
        } else if (isLetter || c == '\'' || c == '"' || isPunct) {
            result += c == '"' ? "'\"'" : std::string("\"") + c + "\"";
        } else {
            result += c;
        }
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 == format.size()) {
            literal(c);
            continue;
        }
        ++i;
        bool unpadded = false;
        while (i < format.size() && std::strchr("-_0^#EO", format[i])) {
            unpadded = unpadded || format[i] == '-';
            ++i;
        }
        if (i == format.size())
            break;
        const auto padded = [&](const char* two) { return unpadded ? std::string(1, two[0]) : std::string(two); };
        switch (format[i]) {
        case 'd': result += padded("dd"); break;
        case 'e': result += "d"; break;
        case 'm': result += padded("mm"); break;
        case 'y': result += "yy"; break;
        case 'Y': result += "yyyy"; break;
        case 'b':
        case 'h': result += "mmm"; break;
        case 'B': result += "mmmm"; break;
        case 'a': result += "ddd"; break;
        case 'A': result += "dddd"; break;
        case 'H':
        case 'I': result += padded("hh"); break;
        case 'k':
        case 'l': result += "h"; break;
        case 'M': result += padded("nn"); break;
        case 'S': result += padded("ss"); break;
        case 'p':
        case 'P': result += "AMPM"; break;
        case 'D': result += PatternFromStrftime("%m/%d/%y", placeholder, separator); break;
        case 'F': result += PatternFromStrftime("%Y-%m-%d", placeholder, separator); break;
        case 'T': result += PatternFromStrftime("%H:%M:%S", placeholder, separator); break;
        case 'R': result += PatternFromStrftime("%H:%M", placeholder, separator); break;
        case 'r': result += PatternFromStrftime("%I:%M:%S %p", placeholder, separator); break;
        case 'n':
        case 't': result += ' '; break;
        case '%': literal('%'); break;
        default: break;  // fields we do not show (week numbers, time zones) are left out
        }
        if (std::strchr("DFTRr", format[i]))
            haveSeparator = true;
    }
    return result;
}

}  // namespace detail

TFormatSettings LocaleFormatSettings()
{
    TFormatSettings settings;
    const std::string numericName = EnvironmentLocale("LC_NUMERIC");
    if (!IsCLocale(numericName)) {
        const TLocaleHandle numeric(LC_NUMERIC_MASK, numericName);
        if (numeric) {
            settings.DecimalSeparator = SeparatorChar(numeric.Item(RADIXCHAR), settings.DecimalSeparator);
            settings.ThousandSeparator = SeparatorChar(numeric.Item(THOUSEP), settings.ThousandSeparator);
            if (settings.ThousandSeparator == settings.DecimalSeparator)
                settings.ThousandSeparator = settings.DecimalSeparator == ',' ? '.' : ',';
        }
    }
    const std::string timeName = EnvironmentLocale("LC_TIME");
    if (!IsCLocale(timeName)) {
        const TLocaleHandle time(LC_TIME_MASK, timeName);
        if (time) {
            const std::string dateFormat = time.Item(D_FMT);
            if (!dateFormat.empty())
                settings.ShortDateFormat = detail::PatternFromStrftime(dateFormat, '/', settings.DateSeparator);
            std::string timeFormat = time.Item(T_FMT);
            if (timeFormat == "%r")
                timeFormat = time.Item(T_FMT_AMPM);
            if (!timeFormat.empty()) {
                settings.LongTimeFormat = detail::PatternFromStrftime(timeFormat, ':', settings.TimeSeparator);
                std::string shortFormat = settings.LongTimeFormat;
                const std::size_t seconds = shortFormat.find(":ss");
                if (seconds != std::string::npos)
                    shortFormat.erase(seconds, 3);
                settings.ShortTimeFormat = shortFormat;
            }
            const std::string am = time.Item(AM_STR);
            const std::string pm = time.Item(PM_STR);
            if (!am.empty() && !pm.empty()) {
                settings.TimeAMString = am;
                settings.TimePMString = pm;
            }
            const nl_item longMonths[] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                          MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
            const nl_item shortMonths[] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                           ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
            const nl_item longDays[] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
            const nl_item shortDays[] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
            const auto fill = [&](auto& names, const nl_item* items) {
                for (std::size_t i = 0; i < names.size(); ++i) {
                    std::string name = time.Item(items[i]);
                    if (!name.empty())
                        names[i] = std::move(name);
                }
            };
            fill(settings.LongMonthNames, longMonths);
            fill(settings.ShortMonthNames, shortMonths);
            fill(settings.LongDayNames, longDays);
            fill(settings.ShortDayNames, shortDays);
        }
    }
    return settings;
}

// ---------------------------------------------------------------------------------------------------------
// Decimal digits of a number

namespace {

// value = 0.D1 D2 D3 ... x 10^Exponent when Digits is not empty; empty Digits is zero.
struct TDecimal {
    bool Negative = false;
    std::string Digits;
    int Exponent = 0;
};

// 18 significant digits of the exact binary value, correctly rounded; rounding to fewer digits is then done
// on these decimal digits, half away from zero, as the platform's float-to-text does.
TDecimal DecimalOf(double value)
{
    TDecimal result;
    result.Negative = std::signbit(value);
    value = std::fabs(value);
    if (value == 0)
        return result;
    // to_chars, not printf: the digits must not follow the process locale, which Qt sets from the user's.
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 17);
    *written.ptr = '\0';  // d.ddddddddddddddddde+XX
    result.Exponent = std::atoi(buffer + 20) + 1;
    buffer[1] = buffer[0];  // the digits side by side, then without their trailing zeros
    std::size_t digits = 18;
    while (digits > 0 && buffer[digits] == '0')
        --digits;
    result.Digits.assign(buffer + 1, digits);
    return result;
}

TDecimal DecimalOf(unsigned long long magnitude, bool negative)
{
    TDecimal result;
    result.Negative = negative;
    if (magnitude == 0)
        return result;
    result.Digits = std::to_string(magnitude);
    result.Exponent = static_cast<int>(result.Digits.size());
    while (result.Digits.back() == '0')
        result.Digits.pop_back();
    return result;
}

// Keeps `count` significant digits (count may be <= 0), rounding half away from zero.
void RoundDigits(TDecimal& d, int count)
{
    if (count >= static_cast<int>(d.Digits.size()))
        return;
    if (count < 0) {
        d.Digits.clear();
        return;
    }
    const bool up = d.Digits[static_cast<std::size_t>(count)] >= '5';
    d.Digits.resize(static_cast<std::size_t>(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.Digits[static_cast<std::size_t>(i)] == '9') {
            d.Digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.Digits[static_cast<std::size_t>(i)];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exponent;
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
}

char DigitAt(const TDecimal& d, int index)
{
    return index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[static_cast<std::size_t>(index)] : '0';
}

// A sign only when something non-zero is left after rounding: -0.04 with one decimal is "0.0".
std::string Sign(const TDecimal& d) { return d.Negative && !d.Digits.empty() ? "-" : ""; }

std::string FixedText(TDecimal d, int decimals, const TFormatSettings& settings, bool thousands)
{
    RoundDigits(d, d.Exponent + decimals);
    std::string integer;
    const int integerDigits = std::max(d.Digits.empty() ? 1 : d.Exponent, 1);
    for (int i = 0; i < integerDigits; ++i) {
        if (thousands && settings.ThousandSeparator != '\0' && i > 0 && (integerDigits - i) % 3 == 0)
            integer += settings.ThousandSeparator;
        integer += DigitAt(d, d.Exponent - integerDigits + i);
    }
    std::string result = Sign(d) + integer;
    if (decimals > 0) {
        result += settings.DecimalSeparator;
        for (int i = 0; i < decimals; ++i)
            result += DigitAt(d, d.Exponent + i);
    }
    return result;
}

std::string ExponentText(int exponent, int minDigits, bool plusSign)
{
    std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return std::string("E") + (exponent < 0 ? "-" : (plusSign ? "+" : "")) + digits;
}

std::string ScientificText(TDecimal d, int precision, int expDigits, const TFormatSettings& settings)
{
    precision = std::clamp(precision, 1, 18);
    RoundDigits(d, precision);
    std::string result = Sign(d) + DigitAt(d, 0);
    if (precision > 1) {
        result += settings.DecimalSeparator;
        for (int i = 1; i < precision; ++i)
            result += DigitAt(d, i);
    }
    return result + ExponentText(d.Digits.empty() ? 0 : d.Exponent - 1, expDigits, true);
}

std::string GeneralText(TDecimal d, int precision, const TFormatSettings& settings)
{
    precision = std::clamp(precision, 1, 18);
    RoundDigits(d, precision);
    if (d.Digits.empty())
        return "0";
    const int exponent = d.Exponent - 1;  // of the first digit
    const int count = static_cast<int>(d.Digits.size());
    if (exponent < -4 || exponent >= precision) {
        std::string result = Sign(d) + d.Digits[0];
        if (count > 1)
            result += settings.DecimalSeparator + d.Digits.substr(1);
        return result + ExponentText(exponent, 0, false);
    }
    const int decimals = std::max(count - d.Exponent, 0);
    return FixedText(d, decimals, settings, false);
}

std::string NonFiniteText(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

// Fixed or number format; past `precision` integer digits the general format takes over.
std::string FixedOrGeneral(const TDecimal& d, int precision, int decimals, const TFormatSettings& settings,
                           bool thousands)
{
    decimals = std::clamp(decimals, 0, 18);
    if (d.Exponent > precision)
        return GeneralText(d, precision, settings);
    return FixedText(d, decimals, settings, thousands);
}

}  // namespace

std::string IntToStr(long long value) { return std::to_string(value); }

std::string IntToHex(unsigned long long value, int digits)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", std::clamp(digits, 0, 16), value);
    return buffer;
}

std::string FloatToStr(double value, const TFormatSettings& settings)
{
    return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

std::string FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    const TDecimal d = DecimalOf(value);
    precision = std::clamp(precision, 1, 18);
    switch (format) {
    case ffExponent: return ScientificText(d, precision, std::clamp(digits, 0, 4), settings);
    case ffFixed: return FixedOrGeneral(d, precision, digits, settings, false);
    case ffNumber: return FixedOrGeneral(d, precision, digits, settings, true);
    case ffGeneral: break;
    }
    return GeneralText(d, precision, settings);
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

// ---------------------------------------------------------------------------------------------------------
// Format

namespace {

[[noreturn]] void RaiseBadFormat(std::string_view format)
{
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

std::string Pad(std::string text, int width, bool left)
{
    if (width > 0 && static_cast<int>(text.size()) < width) {
        const std::size_t fill = static_cast<std::size_t>(width) - text.size();
        if (left)
            text.append(fill, ' ');
        else
            text.insert(0, fill, ' ');
    }
    return text;
}

// Negative values printed as unsigned or hexadecimal use 32 bits when they fit an int, as the platform's
// integers do, else 64.
unsigned long long AsUnsigned(const TFormatArg& arg)
{
    if (arg.GetKind() == TFormatArg::TKind::Unsigned)
        return arg.GetUnsigned();
    const long long value = arg.GetSigned();
    if (value < 0 && value >= -2147483648LL)
        return static_cast<std::uint32_t>(value);
    return static_cast<unsigned long long>(value);
}

TDecimal DecimalOfArg(const TFormatArg& arg)
{
    switch (arg.GetKind()) {
    case TFormatArg::TKind::Signed: {
        const long long v = arg.GetSigned();
        return DecimalOf(v < 0 ? 0 - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v), v < 0);
    }
    case TFormatArg::TKind::Unsigned: return DecimalOf(arg.GetUnsigned(), false);
    default: return DecimalOf(arg.GetFloat());
    }
}

std::string MinDigits(std::string digits, int precision)
{
    if (precision > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
    return digits;
}

}  // namespace

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args, const TFormatSettings& settings)
{
    std::string result;
    const TFormatArg* next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        const std::size_t percent = format.find('%', i);
        if (percent == std::string_view::npos) {
            result.append(format.substr(i));
            break;
        }
        result.append(format.substr(i, percent - i));
        i = percent + 1;
        if (i < format.size() && format[i] == '%') {
            result += '%';
            ++i;
            continue;
        }
        bool left = false;
        if (i < format.size() && format[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9' && width < 100000)
            width = width * 10 + (format[i++] - '0');
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = 0;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9' && precision < 100000)
                precision = precision * 10 + (format[i++] - '0');
        }
        if (i == format.size())
            RaiseBadFormat(format);
        const char conversion = static_cast<char>(format[i] | 0x20);  // letters in either case
        ++i;
        if (!std::strchr("duxsfegn", conversion))
            RaiseBadFormat(format);
        if (next == args.end())
            throw EConvertError("No argument for format '" + std::string(format) + "'");
        const TFormatArg& arg = *next++;
        const bool isText = arg.GetKind() == TFormatArg::TKind::Text;
        const bool isInteger = !isText && arg.GetKind() != TFormatArg::TKind::Float;
        std::string text;
        switch (conversion) {
        case 'd':
            if (!isInteger)
                RaiseBadFormat(format);
            if (arg.GetKind() == TFormatArg::TKind::Unsigned) {
                text = MinDigits(std::to_string(arg.GetUnsigned()), precision);
            } else {
                const long long v = arg.GetSigned();
                const unsigned long long magnitude =
                    v < 0 ? 0 - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
                text = MinDigits(std::to_string(magnitude), precision);
                if (v < 0)
                    text.insert(text.begin(), '-');
            }
            break;
        case 'u':
            if (!isInteger)
                RaiseBadFormat(format);
            text = MinDigits(std::to_string(AsUnsigned(arg)), precision);
            break;
        case 'x':
            if (!isInteger)
                RaiseBadFormat(format);
            text = MinDigits(IntToHex(AsUnsigned(arg), 0), precision);
            break;
        case 's':
            if (!isText)
                RaiseBadFormat(format);
            text = std::string(arg.GetText());
            if (precision >= 0 && static_cast<std::size_t>(precision) < text.size())
                text.resize(static_cast<std::size_t>(precision));
            break;
        default: {
            if (isText)
                RaiseBadFormat(format);
            if (arg.GetKind() == TFormatArg::TKind::Float && !std::isfinite(arg.GetFloat())) {
                text = NonFiniteText(arg.GetFloat());
                break;
            }
            const TDecimal d = DecimalOfArg(arg);
            if (conversion == 'f' || conversion == 'n')
                text = FixedOrGeneral(d, 18, precision < 0 ? 2 : precision, settings, conversion == 'n');
            else if (conversion == 'e')
                text = ScientificText(d, precision < 0 ? 15 : precision, 3, settings);
            else
                text = GeneralText(d, precision < 0 ? 15 : std::max(precision, 1), settings);
            break;
        }
        }
        result += Pad(std::move(text), width, left);
    }
    return result;
}

std::string Format(std::string_view format, std::initializer_list<TFormatArg> args)
{
    return Format(format, args, FormatSettings());
}

}  // namespace ovrel::toolkit
