#include "platform/ui/DesktopServices.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <exception>

namespace ovrel::ui {
namespace {

class ErrorBoxExceptionHandler final : public IExceptionHandler {
public:
    void Report(std::exception_ptr exception) noexcept override
    {
        std::string text = "unknown exception";
        try {
            if (exception)
                std::rethrow_exception(exception);
        } catch (const std::exception& e) {
            text = e.what();
        } catch (...) {}
        try {
            Prompter().MessageBox(text, "Error", MB_OK | MB_ICONHAND);
        } catch (...) {
            // Nothing is left to report a failing error box to.
        }
    }
};

}  // namespace

std::string DesktopContentType(std::string_view extension)
{
    QString name = QString::fromUtf8(extension.data(), static_cast<qsizetype>(extension.size()));
    if (name.isEmpty())
        return {};
    if (!name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('.'));
    const QMimeType type =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("file") + name, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return {};
    return type.name().toStdString();
}

void InstallDesktopExceptionHandler()
{
    static ErrorBoxExceptionHandler handler;
    SetExceptionHandler(&handler);
}

}  // namespace ovrel::ui
