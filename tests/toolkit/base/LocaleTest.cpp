#include "toolkit/Base_p.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

using namespace ovrel::toolkit;

namespace {

// Sets LC_ALL for one test and restores it.
class ScopedLocaleVariable {
public:
    explicit ScopedLocaleVariable(const char* value)
    {
        if (const char* old = std::getenv("LC_ALL"))
            FOld = old;
        ::setenv("LC_ALL", value, 1);
    }
    ~ScopedLocaleVariable()
    {
        if (FOld)
            ::setenv("LC_ALL", FOld->c_str(), 1);
        else
            ::unsetenv("LC_ALL");
    }
    ScopedLocaleVariable(const ScopedLocaleVariable&) = delete;
    ScopedLocaleVariable& operator=(const ScopedLocaleVariable&) = delete;

private:
    std::optional<std::string> FOld;
};

void ExpectDefaults(const TFormatSettings& s)
{
    const TFormatSettings defaults;
    EXPECT_EQ(s.DecimalSeparator, defaults.DecimalSeparator);
    EXPECT_EQ(s.ThousandSeparator, defaults.ThousandSeparator);
    EXPECT_EQ(s.ShortDateFormat, defaults.ShortDateFormat);
    EXPECT_EQ(s.LongTimeFormat, defaults.LongTimeFormat);
    EXPECT_EQ(s.LongMonthNames, defaults.LongMonthNames);
}

}  // namespace

TEST(LocaleFormatSettings, CAndUnknownLocalesGiveTheDefaults)
{
    for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE.UTF-8"}) {
        SCOPED_TRACE(name);
        ScopedLocaleVariable locale(name);
        ExpectDefaults(LocaleFormatSettings());
    }
}

TEST(LocaleFormatSettings, StrftimePatternsBecomeOurPatterns)
{
    struct Row {
        const char* name;
        const char* strftime;
        char placeholder;
        std::string pattern;
        char separator;
        std::string shown;  // 2024-03-07 09:05:01 with that pattern and separator
    };
    const Row rows[] = {
        {"UsDate", "%m/%d/%Y", '/', "mm/dd/yyyy", '/', "03/07/2024"},
        {"GermanDate", "%d.%m.%Y", '/', "dd/mm/yyyy", '.', "07.03.2024"},
        {"IsoDate", "%Y-%m-%d", '/', "yyyy/mm/dd", '-', "2024-03-07"},
        {"UnpaddedDay", "%e/%-m/%y", '/', "d/m/yy", '/', "7/3/24"},
        {"ShortCut", "%D", '/', "mm/dd/yy", '/', "03/07/24"},
        {"Time", "%H:%M:%S", ':', "hh:nn:ss", ':', "09:05:01"},
        {"TwelveHour", "%I:%M:%S %p", ':', "hh:nn:ss AMPM", ':', "09:05:01 AM"},
        {"LettersQuoted", "%Hh%M", ':', "hh\"h\"nn", ':', "09h05"},
        {"DotTime", "%H.%M", ':', "hh:nn", '.', "09.05"},
    };
    const TDateTime value = EncodeDateTime(2024, 3, 7, 9, 5, 1, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        char separator = row.placeholder;  // left alone when the pattern has none
        const std::string pattern = detail::PatternFromStrftime(row.strftime, row.placeholder, separator);
        EXPECT_EQ(pattern, row.pattern);
        EXPECT_EQ(separator, row.separator);
        TFormatSettings s;
        s.DateSeparator = row.placeholder == '/' ? separator : '/';
        s.TimeSeparator = row.placeholder == ':' ? separator : ':';
        EXPECT_EQ(FormatDateTime(pattern, value, s), row.shown);
    }
}
