#include "inspector/NumericText.h"

#include "toolkit/SysUtils.h"

#include <algorithm>

using namespace ovrel::toolkit;

namespace ovrel::inspector {

namespace {

bool IsNumberChar(char32_t c, char separator)
{
    return c == 8 || c == '+' || c == '-' || (c >= '0' && c <= '9') || c == static_cast<unsigned char>(separator);
}

TFormatSettings WithSeparator(char separator)
{
    TFormatSettings settings = FormatSettings();
    settings.DecimalSeparator = separator;
    return settings;
}

// The number a filtered text stands for; a text without digits ("", ".", "-.") counts as 0.
double FilteredValue(const std::string& text, char separator)
{
    double value = 0;
    if (text.find_first_of("0123456789") == std::string::npos)
        return 0;
    return TryStrToFloat(text, value, WithSeparator(separator)) ? value : 0;
}

// The characters of a number only: steps of the filter before the range.
std::string NumberCharacters(std::string_view text, bool allowFloat, bool allowSigns, char separator)
{
    std::string s(text);
    bool seenSeparator = false;
    std::size_t p = 0;
    while (p < s.size()) {
        const char c = s[p];
        if (!IsNumberChar(static_cast<unsigned char>(c), separator)) {
            s.erase(p, 1);
            continue;
        }
        bool deleted = false;
        if (c == separator) {
            if (!allowFloat || seenSeparator) {
                s.erase(p, 1);
                deleted = true;
            }
            seenSeparator = true;
        }
        if (p < s.size() && (s[p] == '+' || s[p] == '-') && (!allowSigns || p > 0)) {
            s.erase(p, 1);
            deleted = true;
        }
        if (!deleted)
            ++p;
    }
    if (s == "-" || s == "+")
        s = "0";
    return s;
}

std::u16string::size_type Clamp16(int value, std::size_t size)
{
    return static_cast<std::u16string::size_type>(std::clamp(value, 0, static_cast<int>(size)));
}

}  // namespace

std::string FilterNumber(std::string_view text, bool allowFloat, bool allowSigns, const TNumberRules& rules)
{
    std::string s = NumberCharacters(text, allowFloat, allowSigns, rules.DecimalSeparator);
    const TFormatSettings settings = WithSeparator(rules.DecimalSeparator);
    if (rules.Max > 0 && FilteredValue(s, rules.DecimalSeparator) > rules.Max)
        s = FloatToStr(rules.Max, settings);
    if (!(FilteredValue(s, rules.DecimalSeparator) >= rules.Min))
        s = FloatToStr(rules.Min, settings);
    return s;
}

double ReadNumber(std::string_view text, const TNumberRules& rules)
{
    if (text.empty() || (!rules.NullText.empty() && text == rules.NullText))
        return 0;
    // The unit's own digits must not join the number.
    if (!rules.TextAfter.empty() && text.size() >= rules.TextAfter.size() &&
        text.substr(text.size() - rules.TextAfter.size()) == rules.TextAfter)
        text.remove_suffix(rules.TextAfter.size());
    const std::string filtered =
        FilterNumber(text, rules.Options.Contains(eoAllowFloat), rules.Options.Contains(eoAllowSigns), rules);
    return FilteredValue(filtered, rules.DecimalSeparator);
}

std::string NumberText(double value, const TNumberRules& rules)
{
    if (value == 0 && !rules.NullText.empty())
        return rules.NullText;
    const TFormatSettings settings = WithSeparator(rules.DecimalSeparator);
    if (rules.Precision > 0 && rules.Options.Contains(eoAllowFloat))
        return FloatToStrF(value, ffFixed, 18, rules.Precision, settings) + rules.TextAfter;
    return FloatToStr(value, settings) + rules.TextAfter;
}

char32_t FilterNumberKey(char32_t key, std::string_view text, int selStart, int selLength, const TNumberRules& rules)
{
    if (rules.Options.Contains(eoAllowAll))
        return key;
    if (key == 3 || key == 9 || key == 22 || key == 24)  // Ctrl+C, Tab, Ctrl+V, Ctrl+X
        return key;
    const char separator = rules.DecimalSeparator;
    if (!IsNumberChar(key, separator))
        return 0;
    const std::u16string wide = Utf8ToUtf16(text);
    const auto start = Clamp16(selStart, wide.size());
    const auto end = Clamp16(selStart + std::max(selLength, 0), wide.size());
    const std::u16string selected = wide.substr(start, end - start);
    const auto holds = [](const std::u16string& s, char16_t c) { return s.find(c) != std::u16string::npos; };
    if (key == static_cast<unsigned char>(separator)) {
        if (!rules.Options.Contains(eoAllowFloat))
            return 0;
        const char16_t sep = static_cast<unsigned char>(separator);
        return holds(wide, sep) && !holds(selected, sep) ? 0 : key;
    }
    if (key == '+' || key == '-') {
        if (!rules.Options.Contains(eoAllowSigns))
            return 0;
        if (start == 0 && !holds(wide, u'+') && !holds(wide, u'-'))
            return key;
        return holds(selected, u'+') || holds(selected, u'-') ? key : 0;
    }
    return key;
}

std::string PasteNumber(std::string_view text, int selStart, int selLength, std::string_view clipboard,
                        const TNumberRules& rules)
{
    std::u16string wide = Utf8ToUtf16(text);
    const auto start = Clamp16(selStart, wide.size());
    const auto end = Clamp16(selStart + std::max(selLength, 0), wide.size());
    wide.erase(start, end - start);
    const char16_t sep = static_cast<unsigned char>(rules.DecimalSeparator);
    const bool allowFloat = rules.Options.Contains(eoAllowFloat) && wide.find(sep) == std::u16string::npos;
    const bool allowSigns = rules.Options.Contains(eoAllowSigns) && start == 0;
    const std::string fragment = NumberCharacters(clipboard, allowFloat, allowSigns, rules.DecimalSeparator);
    if (clipboard.find_first_of("0123456789") == std::string_view::npos)
        return Utf16ToUtf8(wide);
    wide.insert(start, Utf8ToUtf16(fragment));
    return Utf16ToUtf8(wide);
}

}  // namespace ovrel::inspector
