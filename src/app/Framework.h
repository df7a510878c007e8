#pragma once
// The program's own application framework: an application that runs a model through fixed stages, the
// model with its registry of commands, and actions that bind menu items to commands.

#include "toolkit/ActnList.h"
#include "toolkit/Forms.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {

class TVekLocalizer;

/// A command of the model, found by its id.
class TVekCommand : public toolkit::TObject {
public:
    TVekCommand(std::int32_t id, std::string name);
    ~TVekCommand() override;

    [[nodiscard]] std::int32_t GetId() const { return FId; }
    [[nodiscard]] const std::string& GetName() const { return FName; }

    /// Undo is not kept by this program: none in the base.
    virtual toolkit::TObject* CreateUndo(toolkit::TObject* parameter);
    [[nodiscard]] virtual bool IsEnabled(toolkit::TObject* parameter);
    virtual void Execute(toolkit::TObject* parameter) = 0;

private:
    std::int32_t FId;
    std::string FName;
};

/// File > Exit. Closes the main form first, so that its close handler stores the layout, then ends the
/// application (the framework's, else the toolkit's).
class TCmExit : public TVekCommand {
public:
    static constexpr std::int32_t CommandId = 1;
    TCmExit();
    void Execute(toolkit::TObject* parameter) override;
};

/// The command run once after start, when its id is not 0. The parameter is owned.
struct TVekStartCommand {
    std::int32_t CommandId = 0;
    std::unique_ptr<toolkit::TObject> Parameter;
};

class TVekCommandAction;

/// The base of the program's model: hooks run by the application at fixed stages, and the commands.
class TVekModel : public toolkit::TObject {
public:
    TVekModel();
    ~TVekModel() override;

    /// Loads what the run needs; may clear interactive or set a start command.
    virtual void Initialize(bool& interactive, TVekStartCommand& startCommand);
    /// After the message loop.
    virtual void Finish();
    /// Before the message loop, when interactive.
    virtual void Start();
    /// Before every command; the program keeps no undo history, so nothing happens in the base.
    virtual void BeforeExecute(TVekCommand* command, toolkit::TObject* parameter);
    /// After every change of language.
    virtual void LanguageChanged();

    /// Owns the command; a registered command with the same id is destroyed.
    void RegisterCommand(std::unique_ptr<TVekCommand> command);
    /// The last index with that id, or -1.
    [[nodiscard]] int IndexOfCommand(std::int32_t id) const;
    [[nodiscard]] TVekCommand* FindCommand(std::int32_t id) const;
    [[nodiscard]] int GetCommandCount() const { return static_cast<int>(FCommands.size()); }

    /// Does nothing without a command.
    void Execute(TVekCommand* command, toolkit::TObject* parameter);
    void ExecuteStart(const TVekStartCommand& startCommand);
    /// A new action in the application's action list; null without a framework application.
    TVekCommandAction* CreateAction(std::int32_t commandId, toolkit::TObject* parameter);

private:
    std::vector<std::unique_ptr<TVekCommand>> FCommands;
};

/// An action bound to a command of the model (not owned; the action does nothing when there is none).
class TVekCommandAction : public toolkit::TCustomAction {
public:
    /// Joins the list (its owner); named after the command when the model has it.
    TVekCommandAction(toolkit::TCustomActionList* actionList, toolkit::TObject* parameter, std::int32_t commandId);

    [[nodiscard]] TVekCommand* GetCommand() const { return FCommand; }
    [[nodiscard]] toolkit::TObject* GetParameter() const { return FParameter; }

    void ExecuteTarget(toolkit::TObject* target) override;
    [[nodiscard]] bool HandlesTarget(toolkit::TObject* target) override;
    void UpdateTarget(toolkit::TObject* target) override;
    /// Runs the command itself: a command action has no other target.
    bool Execute() override;
    bool Update() override;

private:
    TVekCommand* FCommand = nullptr;
    toolkit::TObject* FParameter = nullptr;
};

/// The application of the program: runs the model through its stages.
class TVekApplication : public toolkit::TApplication {
public:
    using ModelFactory = std::function<std::unique_ptr<TVekModel>()>;
    /// May raise: the program then goes on without a localiser.
    using LocalizerFactory = std::function<std::unique_ptr<TVekLocalizer>()>;

    explicit TVekApplication(toolkit::TComponent* owner);
    /// Destroys the start parameter, then the global model. The localiser is not owned here.
    ~TVekApplication() override;

    /// Makes the global model and localiser and runs the model's Initialize. An error from the model clears
    /// the global model and is raised again; one from the localiser leaves the program without one.
    void InitializeModel(const ModelFactory& makeModel, const LocalizerFactory& makeLocalizer);
    /// The model's Start when interactive, the main form shown, the start command, the loop when interactive,
    /// then Done.
    void RunModel();
    /// The model's Finish, then HELP_QUIT.
    virtual void Done();

    /// Makes the form only when interactive (null otherwise); the first one made becomes the main form.
    toolkit::TCustomForm* CreateForm(const std::function<toolkit::TCustomForm*(toolkit::TComponent*)>& make) override;
    using TApplication::CreateForm;

    /// Help for the context from the file, or the application's help file when file is empty.
    void ShowHelp(int context, const std::string& helpFile = {});

    /// Whether RunModel shows the main form after the model's Start, before the loop; on by default.
    [[nodiscard]] bool GetShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool value) { FShowMainForm = value; }
    [[nodiscard]] bool GetInteractive() const { return FInteractive; }
    void SetInteractive(bool value) { FInteractive = value; }
    [[nodiscard]] TVekStartCommand& GetStartCommand() { return FStartCommand; }
    [[nodiscard]] toolkit::TCustomActionList* GetActionList() const { return FActionList; }
    /// The owned localiser, when start-up made one; it outlives the forms (see FreeForms).
    [[nodiscard]] TVekLocalizer* GetOwnedLocalizer() const { return FLocalizer.get(); }
    /// Frees the forms the application owns; then the localiser. Shut-down calls it before the destructor.
    void FreeFormsAndLocalizer();

private:
    bool FInteractive = false;
    bool FShowMainForm = true;
    TVekStartCommand FStartCommand;
    toolkit::TCustomActionList* FActionList = nullptr;  // owned as a component
    std::unique_ptr<TVekLocalizer> FLocalizer;
};

/// The framework application of the run, or null.
[[nodiscard]] TVekApplication* VekApplication() noexcept;
/// The model of the run, or null.
[[nodiscard]] TVekModel* Model() noexcept;

/// The file's extension is ".chm" (ASCII case ignored).
[[nodiscard]] bool IsHtmlHelpFile(const std::string& fileName);

}  // namespace ovrel::app
