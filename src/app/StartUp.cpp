#include "app/StartUp.h"

#include "app/Config.h"
#include "app/Localizer.h"
#include "app/Model.h"
#include "platform/imaging/Image.h"
#include "platform/ui/DesktopServices.h"
#include "toolkit/SysUtils.h"

#include <memory>

namespace ovrel::app {

TStandInMainForm::TStandInMainForm(toolkit::TComponent* owner) : TVekForm(owner)
{
    OnClose = toolkit::TCloseEvent(this, &TStandInMainForm::FormClose);
    if (TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr)
        localizer->SetLanguage(EXIFOvrelConfig().LangId);
}

void TStandInMainForm::FormClose(toolkit::TObject*, toolkit::TCloseAction&)
{
    // What the session keeps of this window: its language.
    if (const TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr && localizer->GetApplied())
        EXIFOvrelConfig().LangId = localizer->GetCurrentLangId();
    if (TVekApplication* application = VekApplication(); application != nullptr)
        application->Terminate();
}

void InstallDesktopServices()
{
    ui::InstallDesktopExceptionHandler();
    imaging::SetContentTypeResolver(&ui::DesktopContentType);
}

void ApplyUserLocale() { toolkit::FormatSettings() = toolkit::LocaleFormatSettings(); }

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
    application->InitializeModel(makeModel, makeLocalizer);

    TStandInMainForm* mainForm = nullptr;
    TStandInForm* preferences = nullptr;
    TStandInForm* dateTimeEdit = nullptr;
    TStandInForm* editProperties = nullptr;
    application->CreateForm(mainForm);
    application->CreateForm(preferences);
    application->CreateForm(dateTimeEdit);
    if (dateTimeEdit != nullptr)
        dateTimeEdit->Localize();
    application->CreateForm(editProperties);
    if (editProperties != nullptr)
        editProperties->Localize();

    if (options.OnReady)
        options.OnReady(*application);
    if (mainForm != nullptr && options.ShowMainForm)
        mainForm->Show();
    application->RunModel();

    // Forms before the localiser, the model with the application.
    application->FreeFormsAndLocalizer();
    toolkit::SetApplication(new toolkit::TApplication(nullptr));  // frees ours, and the model with it
    return 0;
}

}  // namespace ovrel::app
