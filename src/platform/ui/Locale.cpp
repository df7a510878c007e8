#include "platform/ui/Locale.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <string>

namespace ovrel::ui {

namespace {

struct LanguageRow {
    std::string_view Language;  // ISO 639-1
    WORD Primary;
};

// Primary language numbers; the default sub-language is 1.
constexpr std::array<LanguageRow, 30> Languages{{
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07}, {"el", 0x08},
    {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10},
    {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14}, {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18},
    {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sv", 0x1D}, {"tr", 0x1F}, {"uk", 0x22},
}};

struct CountryRow {
    std::string_view Name;  // language_COUNTRY
    WORD LangId;
};

// Countries whose identifier is not the primary language's default one.
constexpr std::array<CountryRow, 20> Countries{{
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C}, {"fr_CH", 0x100C},
    {"es_MX", 0x080A}, {"es_ES", 0x0C0A}, {"it_CH", 0x0810}, {"nl_BE", 0x0813}, {"pt_PT", 0x0816},
    {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh_HK", 0x0C04}, {"sv_FI", 0x081D}, {"nn_NO", 0x0814},
}};

constexpr WORD MakeLangId(WORD primary, WORD sub) { return static_cast<WORD>((sub << 10) | primary); }

WORD gPinned = 0;

}  // namespace

WORD LangIdFromLocaleName(std::string_view name)
{
    // "pt_BR.UTF-8@euro" → "pt_BR"; "pt-BR" is taken as well.
    std::string base(name.substr(0, std::min(name.find_first_of(".@"), name.size())));
    std::replace(base.begin(), base.end(), '-', '_');
    for (const CountryRow& row : Countries)
        if (row.Name == base)
            return row.LangId;
    const std::string_view language = std::string_view(base).substr(0, base.find('_'));
    for (const LanguageRow& row : Languages)
        if (row.Language == language)
            return MakeLangId(row.Primary, 1);
    return LANG_ENGLISH_US;
}

WORD GetSystemDefaultLangID()
{
    if (gPinned != 0)
        return gPinned;
    return LangIdFromLocaleName(QLocale::system().name().toStdString());
}

void SetSystemDefaultLangID(WORD langId) { gPinned = langId; }

}  // namespace ovrel::ui
