#include "app/StartUp.h"

#include "app/Config.h"
#include "app/DateTimeEdit.h"
#include "app/EditProperties.h"
#include "app/Localizer.h"
#include "app/MainForm.h"
#include "app/Model.h"
#include "app/Preferences.h"
#include "core/PropertyCatalog.h"
#include "platform/imaging/Image.h"
#include "platform/ui/DesktopServices.h"
#include "themes/ThemeRuntime.h"
#include "toolbars/Hooks.h"
#include "toolkit/SysUtils.h"

#include <memory>

namespace ovrel::app {

void InstallDesktopServices()
{
    ui::InstallDesktopExceptionHandler();
    imaging::SetContentTypeResolver(&ui::DesktopContentType);
}

void ApplyUserLocale() { toolkit::FormatSettings() = toolkit::LocaleFormatSettings(); }

namespace {

// Localises the plain dialogs that exist when the language changes.
class TDialogLocalizer : public toolkit::TObject {
public:
    void LocalizeDialogs(toolkit::TObject*)
    {
        if (TDateTimeEdit* dialog = FindForm<TDateTimeEdit>(); dialog != nullptr)
            dialog->LocalizeDialog();
        if (TEditProperties* dialog = FindForm<TEditProperties>(); dialog != nullptr)
            dialog->LocalizeDialog();
    }
};

}  // namespace

int RunStartUp(const TStartUpOptions& options)
{
    auto* application = new TVekApplication(nullptr);
    toolkit::SetApplication(application);  // frees the default application object
    TVekApplication::ModelFactory makeModel = options.MakeModel;
    if (!makeModel)
        makeModel = [] { return std::make_unique<TEXIFOvrelModel>(); };
    TVekApplication::LocalizerFactory makeLocalizer = options.MakeLocalizer;
    if (!makeLocalizer)
        makeLocalizer = [] { return std::make_unique<TVekLocalizer>(); };
    (void)core::ImageInfoFormat();  // the one formatter, made on first use
    application->InitializeModel(makeModel, makeLocalizer);
    // Before the first form: every themed control registers with it.
    auto themeRuntime = std::make_unique<themes::TThemeRuntime>();

    TEXIFOvrelMainForm* mainForm = nullptr;
    TEXIFOvrelPreferencesForm* preferences = nullptr;
    TDateTimeEdit* dateTimeEdit = nullptr;
    TEditProperties* editProperties = nullptr;
    application->CreateForm(mainForm);
    application->CreateForm(preferences);
    application->CreateForm(dateTimeEdit);
    if (dateTimeEdit != nullptr)
        dateTimeEdit->LocalizeDialog();
    application->CreateForm(editProperties);
    if (editProperties != nullptr) {
        editProperties->SetDateTimeEdit(dateTimeEdit);
        editProperties->LocalizeDialog();
    }
    // The two plain dialogs hear a language change from the localiser, before the registered forms do.
    TDialogLocalizer dialogLocalizer;
    TVekLocalizer* localizer = GetLocalizer();
    if (localizer != nullptr)
        localizer->OnLocalizeDialogs = toolkit::TNotifyEvent(&dialogLocalizer, &TDialogLocalizer::LocalizeDialogs);

    if (options.OnReady)
        options.OnReady(*application);
    application->SetShowMainForm(options.ShowMainForm);
    application->RunModel();

    // Forms before the localiser and the themes, the model with the application.
    if (localizer != nullptr && GetLocalizer() == localizer)
        localizer->OnLocalizeDialogs = {};
    application->FreeFormsAndLocalizer();
    toolbars::ShutDownHookRegistry();
    themeRuntime.reset();
    toolkit::SetApplication(new toolkit::TApplication(nullptr));  // frees ours, and the model with it
    return 0;
}

}  // namespace ovrel::app
