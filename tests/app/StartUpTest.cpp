#include "app/StartUp.h"

#include "core/CoreTestSupport.h"
#include "core/PropertyCatalog.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include <locale.h>

namespace {

using namespace ovrel;
using core::test::Ascii;
using core::test::Rational;
using core::test::SRational;

// The environment of a user with that locale, and the process locale Qt sets from it when the program
// starts; the settings, the variable and the process locale are put back afterwards.
class TUserLocaleScope {
public:
    explicit TUserLocaleScope(const char* name) : FSavedSettings(toolkit::FormatSettings())
    {
        if (const char* old = std::getenv("LC_ALL"))
            FSavedVariable = old;
        FSavedProcessLocale = std::setlocale(LC_ALL, nullptr);
        ::setenv("LC_ALL", name, 1);
        std::setlocale(LC_ALL, "");
    }
    ~TUserLocaleScope()
    {
        if (FSavedVariable)
            ::setenv("LC_ALL", FSavedVariable->c_str(), 1);
        else
            ::unsetenv("LC_ALL");
        std::setlocale(LC_ALL, FSavedProcessLocale.c_str());
        toolkit::FormatSettings() = FSavedSettings;
    }
    TUserLocaleScope(const TUserLocaleScope&) = delete;
    TUserLocaleScope& operator=(const TUserLocaleScope&) = delete;

private:
    toolkit::TFormatSettings FSavedSettings;
    std::optional<std::string> FSavedVariable;
    std::string FSavedProcessLocale;
};

bool LocaleInstalled(const char* name)
{
    const locale_t locale = ::newlocale(LC_ALL_MASK, name, nullptr);
    if (!locale)
        return false;
    ::freelocale(locale);
    return true;
}

struct TLocaleRow {
    const char* Name;
    const char* Locale;
    const char* Size;  // 1234567 bytes
    const char* Aperture;  // APEX 3
    const char* Bias;  // -2/3
    const char* Date;  // 2024:03:07 09:05:01
    const char* Typed;  // two and a half, as a user of the locale types it
};

class UserLocale : public ::testing::TestWithParam<TLocaleRow> {};

TEST_P(UserLocale, DecidesSeparatorsAndDatesOfTheDisplayTexts)
{
    const TLocaleRow& row = GetParam();
    // A missing locale is a broken machine, not a reason to check nothing: scripts/deps.sh generates them.
    ASSERT_TRUE(LocaleInstalled(row.Locale)) << row.Locale << " is not installed; run scripts/deps.sh";
    const TUserLocaleScope scope(row.Locale);
    app::ApplyUserLocale();

    core::test::TTempFolder folder;
    const std::string file = folder.Write("big.bin", core::test::Bytes(1234567, 0));
    auto info = core::test::MakeInfo(
        {{37378, 5, Rational(3, 1)}, {37380, 10, SRational(-2, 3)}, {36867, 2, Ascii("2024:03:07 09:05:01")}}, file);
    core::TVekImageInfoFormat format;
    EXPECT_EQ(format.FormatValue(*info, core::PropertyIdFileSize), row.Size);
    EXPECT_EQ(format.FormatValue(*info, 37378), row.Aperture);
    EXPECT_EQ(format.FormatValue(*info, 37380), row.Bias);
    EXPECT_EQ(format.FormatValue(*info, 36867), row.Date);
    // The C library now follows the locale too; the class library's number routines must not.
    EXPECT_EQ(toolkit::StrToFloat(row.Typed), 2.5);
    EXPECT_EQ(toolkit::FloatToStr(2.5), row.Typed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UserLocale,
    ::testing::Values(TLocaleRow{"German", "de_DE.UTF-8", "1.234.567", "F2,8", "EV-0,7", "07.03.2024 09:05:01", "2,5"},
                      TLocaleRow{"UnitedStates", "en_US.UTF-8", "1,234,567", "F2.8", "EV-0.7", "03/07/2024 09:05:01 AM",
                                 "2.5"},
                      TLocaleRow{"CLocale", "C.UTF-8", "1,234,567", "F2.8", "EV-0.7", "3/7/2024 9:05:01 AM", "2.5"}),
    [](const auto& row) { return std::string(row.param.Name); });

}  // namespace
