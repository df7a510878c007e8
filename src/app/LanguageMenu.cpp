// The language menu: the one place where the localiser meets the toolbar items.
#include "app/Localizer.h"

#include "themes/ThemedItems.h"

namespace ovrel::app {

void TVekLocalizer::BuildLanguageMenu(toolbars::TTBCustomItem* submenu)
{
    if (submenu == nullptr)
        return;
    submenu->Clear();
    for (int i = 0; i < GetLanguageCount(); ++i) {
        const TVekLanguage* language = GetLanguageItem(i);
        if (language->Name.empty())  // a shared file that names no language
            continue;
        auto* item = new themes::TTBXItem(submenu);
        item->SetCaption(language->Name);
        item->SetTag(language->LangId);
        item->OnClick = toolkit::TNotifyEvent(this, &TVekLocalizer::LanguageItemClick);
        submenu->Add(item);
    }
}

void TVekLocalizer::LanguageItemClick(toolkit::TObject* sender)
{
    const auto* item = dynamic_cast<const toolkit::TComponent*>(sender);
    if (item == nullptr)
        return;
    SetLanguage(static_cast<std::uint16_t>(item->GetTag()));
    OnLanguageChosen(this);
}

}  // namespace ovrel::app
