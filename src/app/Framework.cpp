#include "app/Framework.h"

#include "app/AppResources.h"
#include "app/Localizer.h"
#include "app/VekForm.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "toolkit/SysUtils.h"

#include <exception>

namespace ovrel::app {

using toolkit::TComponent;
using toolkit::TCustomForm;
using toolkit::TObject;

namespace {

TVekApplication* gVekApplication = nullptr;
std::unique_ptr<TVekModel> gModel;  // owned by the application's lifetime, see ~TVekApplication

}  // namespace

TVekApplication* VekApplication() noexcept { return gVekApplication; }
TVekModel* Model() noexcept { return gModel.get(); }

bool IsHtmlHelpFile(const std::string& fileName)
{
    return toolkit::SameText(toolkit::ExtractFileExt(fileName), ".chm");
}

// ---- TVekCommand ------------------------------------------------------------------------------------------

TVekCommand::TVekCommand(std::int32_t id, std::string name) : FId(id), FName(std::move(name)) {}
TVekCommand::~TVekCommand() = default;
TObject* TVekCommand::CreateUndo(TObject*) { return nullptr; }
bool TVekCommand::IsEnabled(TObject*) { return true; }

TCmExit::TCmExit() : TVekCommand(CommandId, "Exit") {}

void TCmExit::Execute(TObject*)
{
    toolkit::TApplication* application = VekApplication();
    if (application == nullptr)
        application = toolkit::Application();
    // Closing the main form runs its close handler, which stores the layout.
    if (TCustomForm* mainForm = application->GetMainForm(); mainForm != nullptr)
        mainForm->Close();
    application->Terminate();
}

// ---- TVekModel --------------------------------------------------------------------------------------------

TVekModel::TVekModel() = default;
TVekModel::~TVekModel() = default;
void TVekModel::Initialize(bool&, TVekStartCommand&) {}
void TVekModel::Finish() {}
void TVekModel::Start() {}
void TVekModel::BeforeExecute(TVekCommand*, TObject*) {}
void TVekModel::LanguageChanged() {}

void TVekModel::RegisterCommand(std::unique_ptr<TVekCommand> command)
{
    if (command == nullptr)
        return;
    if (const int index = IndexOfCommand(command->GetId()); index >= 0)
        FCommands.erase(FCommands.begin() + index);
    FCommands.push_back(std::move(command));
}

int TVekModel::IndexOfCommand(std::int32_t id) const
{
    for (int i = GetCommandCount() - 1; i >= 0; --i)
        if (FCommands[static_cast<std::size_t>(i)]->GetId() == id)
            return i;
    return -1;
}

TVekCommand* TVekModel::FindCommand(std::int32_t id) const
{
    const int index = IndexOfCommand(id);
    return index < 0 ? nullptr : FCommands[static_cast<std::size_t>(index)].get();
}

void TVekModel::Execute(TVekCommand* command, TObject* parameter)
{
    if (command == nullptr)
        return;
    BeforeExecute(command, parameter);
    command->Execute(parameter);
}

void TVekModel::ExecuteStart(const TVekStartCommand& startCommand)
{
    Execute(FindCommand(startCommand.CommandId), startCommand.Parameter.get());
}

TVekCommandAction* TVekModel::CreateAction(std::int32_t commandId, TObject* parameter)
{
    TVekApplication* application = VekApplication();
    if (application == nullptr)
        return nullptr;
    return new TVekCommandAction(application->GetActionList(), parameter, commandId);
}

// ---- TVekCommandAction ------------------------------------------------------------------------------------

TVekCommandAction::TVekCommandAction(toolkit::TCustomActionList* actionList, TObject* parameter, std::int32_t commandId)
    : TCustomAction(actionList), FParameter(parameter)
{
    SetActionList(actionList);
    if (TVekModel* model = Model(); model != nullptr)
        FCommand = model->FindCommand(commandId);
    // A second action for the same command keeps no name: names are unique among the list's components.
    if (FCommand != nullptr && (actionList == nullptr || actionList->FindComponent(FCommand->GetName()) == nullptr))
        SetName(FCommand->GetName());
}

void TVekCommandAction::ExecuteTarget(TObject*)
{
    if (TVekModel* model = Model(); model != nullptr)
        model->Execute(FCommand, FParameter);
}

bool TVekCommandAction::HandlesTarget(TObject*) { return FCommand != nullptr; }

void TVekCommandAction::UpdateTarget(TObject*)
{
    if (FCommand != nullptr)
        SetEnabled(FCommand->IsEnabled(FParameter));
}

bool TVekCommandAction::Execute()
{
    // The command is the target: without a target source the base finds nothing to execute.
    if (TCustomAction::Execute())
        return true;
    if (FCommand == nullptr || IsSuspended() || !GetEnabled())
        return false;
    ExecuteTarget(nullptr);
    return true;
}

bool TVekCommandAction::Update()
{
    if (TCustomAction::Update())
        return true;
    if (FCommand == nullptr)
        return false;
    UpdateTarget(nullptr);
    return true;
}

// ---- TVekApplication --------------------------------------------------------------------------------------

TVekApplication::TVekApplication(TComponent* owner)
    : TApplication(owner), FActionList(new toolkit::TCustomActionList(this))
{
    if (gVekApplication == nullptr)
        gVekApplication = this;
    ApplyProgramIcon();
}

TVekApplication::~TVekApplication()
{
    FStartCommand.Parameter.reset();
    FreeFormsAndLocalizer();
    if (gVekApplication == this) {
        gVekApplication = nullptr;
        gModel.reset();
    }
}

void TVekApplication::FreeFormsAndLocalizer()
{
    // Forms unregister from the localiser while they are freed, so they go first.
    for (int i = GetComponentCount() - 1; i >= 0; --i) {
        if (i >= GetComponentCount())
            continue;
        if (auto* form = dynamic_cast<TCustomForm*>(GetComponent(i)); form != nullptr) {
            if (GetMainForm() == form)
                SetMainForm(nullptr);
            delete form;
        }
    }
    FLocalizer.reset();  // clears the global localiser itself
}

void TVekApplication::InitializeModel(const ModelFactory& makeModel, const LocalizerFactory& makeLocalizer)
{
    Initialize();
    try {
        gModel = makeModel ? makeModel() : std::make_unique<TVekModel>();
    } catch (...) {
        gModel.reset();
        throw;
    }
    FLocalizer.reset();
    if (makeLocalizer) {
        try {
            FLocalizer = makeLocalizer();
        } catch (...) {
            FLocalizer.reset();  // the program goes on without localisation
        }
    }
    SetLocalizer(FLocalizer.get());
    FInteractive = true;
    try {
        gModel->Initialize(FInteractive, FStartCommand);
    } catch (...) {
        gModel.reset();
        throw;
    }
    if (TVekLocalizer* localizer = GetLocalizer(); localizer != nullptr)
        localizer->AddLocalizeHandler(toolkit::TMethodEvent(gModel.get(), &TVekModel::LanguageChanged));
    SetShowHint(FInteractive);
}

void TVekApplication::RunModel()
{
    TVekModel* model = Model();
    if (FInteractive && model != nullptr)
        model->Start();
    // After Start: the caption and the first read come from there, so showing earlier would read twice.
    if (FInteractive && FShowMainForm && GetMainForm() != nullptr && !GetTerminated())
        GetMainForm()->Show();
    if (FStartCommand.CommandId != 0 && model != nullptr)
        model->ExecuteStart(FStartCommand);
    if (FInteractive && !GetTerminated())
        Run();
    Done();
}

void TVekApplication::Done()
{
    if (TVekModel* model = Model(); model != nullptr)
        model->Finish();
    HelpCommand(ui::HELP_QUIT, 0);
}

TCustomForm* TVekApplication::CreateForm(const std::function<TCustomForm*(TComponent*)>& make)
{
    if (!FInteractive || !make)
        return nullptr;
    TCustomForm* form = TApplication::CreateForm(make);
    if (auto* vekForm = dynamic_cast<TVekForm*>(form); vekForm != nullptr)
        vekForm->Constructed();
    return form;
}

void TVekApplication::ShowHelp(int context, const std::string& helpFile)
{
    const std::string file = helpFile.empty() ? GetHelpFile() : helpFile;
    if (IsHtmlHelpFile(file)) {
        if (context != 0)
            ui::Help().Show(file, ui::HH_HELP_CONTEXT, static_cast<std::uintptr_t>(context));
        else
            ui::Help().Show(file, ui::HH_DISPLAY_TOPIC, 0);
        return;
    }
    if (context != 0)
        HelpCommand(ui::HELP_CONTEXT, static_cast<std::uintptr_t>(context));
    else
        HelpCommand(ui::HELP_INDEX, 0);
}

}  // namespace ovrel::app
