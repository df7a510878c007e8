// The language identifier of a locale name, and the pinned system answer.
#include "platform/ui/Locale.h"

#include <gtest/gtest.h>

namespace ovrel::ui {
namespace {

TEST(Locale, NamesGiveTheirLanguageIdentifier)
{
    const struct {
        const char* Name;
        WORD Expected;
    } cases[] = {
        {"en_US", 0x0409},       {"en_GB", 0x0809}, {"de_DE", 0x0407}, {"de_AT", 0x0C07},
        {"de_CH.UTF-8", 0x0807}, {"pt-BR", 0x0416}, {"pt_PT", 0x0816}, {"fr", 0x040C},
        {"ja_JP", 0x0411},       {"zh_CN", 0x0804}, {"nb_NO", 0x0414}, {"de_LU", 0x0407},
        {"xx_YY", 0x0409},       {"", 0x0409},      {"C", 0x0409},     {"ru_RU.KOI8-R@x", 0x0419},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LangIdFromLocaleName(c.Name), c.Expected);
    }
}

TEST(Locale, APinnedAnswerHoldsUntilCleared)
{
    SetSystemDefaultLangID(0x0407);
    EXPECT_EQ(GetSystemDefaultLangID(), 0x0407);
    SetSystemDefaultLangID(0);
    EXPECT_NE(GetSystemDefaultLangID(), 0);
}

}  // namespace
}  // namespace ovrel::ui
