#include "themes/ThemeInterface.h"

#include "themes/ThemeManager.h"

#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <utility>
#include <vector>

namespace ovrel::themes {

using namespace ovrel::toolkit;

namespace {

struct TThemeRecord {
    std::string Name;  // whole: a cut name could register and then never be found
    TTBXThemeClass ThemeClass;
    std::unique_ptr<TTBXTheme> Instance;
    int RefCount = 0;
};

std::vector<TThemeRecord>& Registry()
{
    static std::vector<TThemeRecord> records;
    return records;
}

int IndexOfInstance(const TTBXTheme* theme)
{
    if (theme == nullptr)
        return -1;
    const auto& records = Registry();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].Instance.get() == theme)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

// ---- The theme --------------------------------------------------------------------------------------------

TTBXTheme::TTBXTheme(std::string name) : FName(std::move(name)) { AddThemeNotify(this); }

TTBXTheme::~TTBXTheme() { RemoveThemeNotify(this); }

// ---- Registry ---------------------------------------------------------------------------------------------

void RegisterTheme(const std::string& name, TTBXThemeClass themeClass)
{
    if (name.empty() || !themeClass)
        throw Exception("Cannot register theme");
    if (FindTheme(name) >= 0)
        throw Exception(Format("Theme %s is already registered", {name}));
    Registry().push_back(TThemeRecord{name, std::move(themeClass), nullptr, 0});
}

TTBXTheme* GetTheme(std::string_view name)
{
    const int index = FindTheme(name);
    if (index < 0)
        throw Exception("Unknown theme " + std::string(name));
    const auto i = static_cast<std::size_t>(index);
    if (Registry()[i].Instance == nullptr) {
        // The constructor may use the registry itself, so the record is looked up again afterwards.
        const TThemeRecord& record = Registry()[i];
        std::unique_ptr<TTBXTheme> theme = record.ThemeClass(record.Name);
        TTBXTheme* created = theme.get();
        Registry()[i].Instance = std::move(theme);
        TMessage message{WM_TBX_THEMENOTIFY, ui::IsApplicationActive() != ui::FALSE ? 1u : 0u, 0, 0};
        created->Dispatch(message);
    }
    TThemeRecord& record = Registry()[i];
    ++record.RefCount;
    return record.Instance.get();
}

void ReleaseTheme(TTBXTheme*& theme)
{
    const int index = IndexOfInstance(theme);
    if (index < 0)
        throw Exception("Cannot release theme");
    TThemeRecord& record = Registry()[static_cast<std::size_t>(index)];
    if (record.RefCount <= 0)
        throw Exception("Cannot release theme " + record.Name);
    if (--record.RefCount > 0)
        return;
    const std::unique_ptr<TTBXTheme> freed = std::move(record.Instance);
    theme = nullptr;
}

int FindTheme(std::string_view name)
{
    const auto& records = Registry();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (SameText(records[i].Name, name))
            return static_cast<int>(i);
    return -1;
}

void ClearThemeRegistry()
{
    // Moved out first: a theme's destructor must not see a registry half emptied.
    std::vector<TThemeRecord> records = std::move(Registry());
    Registry().clear();
}

// ---- Geometry ---------------------------------------------------------------------------------------------

TRect GetCaptionRect(const TFloatingWindowInfo& info, bool addBorder, bool excludeCloseButton)
{
    TRect r = Rect(0, 0, info.ClientWidth, ui::GetSystemMetrics(ui::SM_CYSMCAPTION) - 1);
    if (excludeCloseButton)
        r.right -= r.bottom - r.top;
    if (addBorder)
        ui::OffsetRect(&r, info.FloatingBorderSize.x, info.FloatingBorderSize.y);
    return r;
}

TRect GetCloseButtonRect(const TFloatingWindowInfo& info, bool addBorder)
{
    TRect r = GetCaptionRect(info, addBorder, false);
    r.left = r.right - (r.bottom - r.top);
    return r;
}

int GetDragHandleSize(const TFramePaintInfo& info)
{
    if (!info.AllowDrag)
        return 0;
    // The strip holds the close button when there is one, whichever side it lies on.
    if ((info.CloseButtonState & CDBS_VISIBLE) != 0)
        return 14;
    switch (info.Handle) {
    case 0: return 9;
    case 2: return 6;
    default: return 0;
    }
}

TRect GetToolbarCloseButtonRect(const TFramePaintInfo& info)
{
    const int side = GetDragHandleSize(info) - 1;
    const int left = info.IsVertical ? info.ClientWidth + info.BorderSize.x - side : info.BorderSize.x;
    return Bounds(left, info.BorderSize.y, side, side);
}

}  // namespace ovrel::themes
