#include "toolkit/Clipbrd.h"

#include "platform/ui/Services.h"

namespace ovrel::toolkit {

bool TClipboard::HasFormat(std::uint16_t format) const { return format == CF_TEXT && ui::Clipboard().HasText(); }

std::string TClipboard::GetAsText() const { return ui::Clipboard().HasText() ? ui::Clipboard().Text() : std::string(); }

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}

}  // namespace ovrel::toolkit
