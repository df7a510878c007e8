#include "app/AppResources.h"

#include "platform/ui/QtText.h"
#include "toolkit/SysUtils.h"

#include <QFile>
#include <QGuiApplication>
#include <QIcon>

// Resources of a static library are only linked in when something refers to them.
static void InitAppResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(app);
        return true;
    }();
    (void)done;
}

namespace ovrel::app {

void LoadAppBitmap(toolkit::TBitmap& bitmap, std::string_view name)
{
    InitAppResources();
    bitmap.LoadFromResourceName(name);
}

std::vector<std::uint8_t> AppResourceData(std::string_view name)
{
    InitAppResources();
    QFile file(QStringLiteral(":/") + ui::ToQString(name));
    if (!file.open(QIODevice::ReadOnly))
        throw toolkit::EResNotFound(toolkit::Format("Resource %s not found", {std::string(name)}));
    const QByteArray bytes = file.readAll();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void ApplyProgramIcon()
{
    if (QGuiApplication::instance() == nullptr)
        return;
    InitAppResources();
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON.png")));
}

}  // namespace ovrel::app
