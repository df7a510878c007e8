#include "app/Model.h"

#include "app/Config.h"
#include "app/Localizer.h"
#include "app/Paths.h"
#include "platform/ui/Window.h"
#include "toolkit/SysUtils.h"

#include <exception>

namespace ovrel::app {

std::string DefaultHelpFile() { return toolkit::ChangeFileExt(ExecutableFileName(), ".chm"); }

namespace {

toolkit::TApplication& CurrentApplication()
{
    if (TVekApplication* application = VekApplication(); application != nullptr)
        return *application;
    return *toolkit::Application();
}

}  // namespace

TEXIFOvrelModel::TEXIFOvrelModel() = default;

TEXIFOvrelModel::~TEXIFOvrelModel()
{
    if (TVekLocalizer* localizer = GetLocalizer();
        localizer != nullptr && localizer->OnHelpFileChanged.GetObject() == this)
        localizer->OnHelpFileChanged = {};
}

void TEXIFOvrelModel::Initialize(bool&, TVekStartCommand&)
{
    if (ConfigFile.empty())
        LoadConfig();
    else
        LoadConfig(ConfigFile);
    RegisterCommand(std::make_unique<TCmExit>());
    if (TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr) {
        if (localizer->GetHelpFile().empty())
            localizer->SetHelpFile(DefaultHelpFile());
        localizer->OnHelpFileChanged = toolkit::TNotifyEvent(this, &TEXIFOvrelModel::HelpFileChanged);
    }
}

void TEXIFOvrelModel::HelpFileChanged(toolkit::TObject* sender)
{
    if (auto* localizer = dynamic_cast<TVekLocalizer*>(sender); localizer != nullptr)
        CurrentApplication().SetHelpFile(localizer->GetHelpFile());
}

void TEXIFOvrelModel::Start()
{
    toolkit::TApplication& application = CurrentApplication();
    application.SetTitle(ApplicationTitle);
    const TVekLocalizer* localizer = GetLocalizer();
    application.SetHelpFile(localizer != nullptr && !localizer->GetHelpFile().empty() ? localizer->GetHelpFile()
                                                                                      : DefaultHelpFile());
    if (OnUpdateCaption)
        OnUpdateCaption(this);
}

void TEXIFOvrelModel::Finish()
{
    try {
        if (ConfigFile.empty())
            SaveConfig();
        else
            SaveConfig(ConfigFile);
    } catch (...) {
        ui::ReportException(std::current_exception());
    }
}

void TEXIFOvrelModel::LanguageChanged() { LocalizeCatalogue(); }

}  // namespace ovrel::app
