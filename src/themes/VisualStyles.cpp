#include "themes/VisualStyles.h"

namespace ovrel::themes {

namespace {

TVisualStyles*& Installed()
{
    static TVisualStyles* styles = nullptr;
    return styles;
}

}  // namespace

TVisualStyles::~TVisualStyles() = default;

TVisualStyles* GetVisualStyles() { return Installed(); }

TVisualStyles* SetVisualStyles(TVisualStyles* styles)
{
    TVisualStyles* previous = Installed();
    Installed() = styles;
    return previous;
}

}  // namespace ovrel::themes
