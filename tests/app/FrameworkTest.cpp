#include "app/Framework.h"

#include "app/Config.h"
#include "app/Localizer.h"
#include "app/Model.h"
#include "app/StartUp.h"
#include "app/VekForm.h"
#include "platform/imaging/Image.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace ovrel::app;
using ovrel::toolkit::TObject;

using Log = std::vector<std::string>;

class CountingCommand : public TVekCommand {
public:
    CountingCommand(std::int32_t id, Log* log, std::string tag, bool enabled = true)
        : TVekCommand(id, "Count"), FLog(log), FTag(std::move(tag)), FEnabled(enabled)
    {}
    ~CountingCommand() override { FLog->push_back("~" + FTag); }
    bool IsEnabled(TObject*) override { return FEnabled; }
    void Execute(TObject*) override { FLog->push_back("run " + FTag); }

private:
    Log* FLog;
    std::string FTag;
    bool FEnabled;
};

TEST(CommandRegistry, SameIdReplacesAndDestroysUnknownIdDoesNothing)
{
    Log log;
    TVekModel model;
    model.RegisterCommand(std::make_unique<CountingCommand>(1, &log, "a"));
    model.RegisterCommand(std::make_unique<CountingCommand>(2, &log, "b"));
    model.RegisterCommand(std::make_unique<CountingCommand>(1, &log, "c"));
    EXPECT_EQ(log, Log{"~a"});
    EXPECT_EQ(model.GetCommandCount(), 2);
    EXPECT_EQ(model.IndexOfCommand(1), 1);
    EXPECT_EQ(model.IndexOfCommand(7), -1);
    EXPECT_EQ(model.FindCommand(7), nullptr);

    model.Execute(model.FindCommand(1), nullptr);
    model.ExecuteStart(TVekStartCommand{7, nullptr});
    EXPECT_EQ(log, (Log{"~a", "run c"}));
}

class FrameworkApp : public ::testing::Test {
protected:
    void Init(std::function<std::unique_ptr<TVekModel>()> make)
    {
        FApplication.InitializeModel(
            std::move(make), []() -> std::unique_ptr<TVekLocalizer> { throw std::runtime_error("no languages"); });
    }
    Log FLog;  // outlives the application, which frees the model and its commands
    TVekApplication FApplication{nullptr};
};

TEST_F(FrameworkApp, ActionsRunTheirCommandAndFollowItsEnabledState)
{
    Log& log = FLog;
    Init([&log] {
        auto model = std::make_unique<TVekModel>();
        model->RegisterCommand(std::make_unique<CountingCommand>(5, &log, "on"));
        model->RegisterCommand(std::make_unique<CountingCommand>(6, &log, "off", false));
        return model;
    });
    ASSERT_EQ(GetLocalizer(), nullptr);  // a failing localiser leaves the program without one

    TVekCommandAction* unknown = Model()->CreateAction(99, nullptr);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->GetCommand(), nullptr);
    EXPECT_FALSE(unknown->HandlesTarget(nullptr));
    EXPECT_FALSE(unknown->Execute());

    TVekCommandAction* on = Model()->CreateAction(5, nullptr);
    EXPECT_EQ(on->GetName(), "Count");
    EXPECT_EQ(on->GetActionList(), FApplication.GetActionList());
    EXPECT_TRUE(on->Execute());
    TVekCommandAction* second = Model()->CreateAction(5, nullptr);  // no clash of component names
    EXPECT_TRUE(second->GetName().empty());

    TVekCommandAction* off = Model()->CreateAction(6, nullptr);
    EXPECT_FALSE(off->Execute());
    EXPECT_FALSE(off->GetEnabled());
    EXPECT_EQ(log, Log{"run on"});
}

TEST_F(FrameworkApp, ExitClosesTheMainFormThenTerminates)
{
    Init([] {
        auto model = std::make_unique<TVekModel>();
        model->RegisterCommand(std::make_unique<TCmExit>());
        return model;
    });
    struct Closer : TObject {
        int closed = 0;
        void Close(TObject*, ovrel::toolkit::TCloseAction&) { ++closed; }
    } closer;
    TVekForm* form = nullptr;
    FApplication.CreateForm(form);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(FApplication.GetMainForm(), form);
    form->OnClose = ovrel::toolkit::TCloseEvent(&closer, &Closer::Close);

    Model()->Execute(Model()->FindCommand(TCmExit::CommandId), nullptr);
    EXPECT_EQ(closer.closed, 1);
    EXPECT_TRUE(FApplication.GetTerminated());
}

TEST_F(FrameworkApp, HelpGoesToHtmlHelpForChmFilesInAnyCase)
{
    Init(nullptr);
    ovrel::ui::RecordingHelp help;
    ovrel::ui::ScopedService<ovrel::ui::IHelp> scoped(ovrel::ui::SetHelp, help);
    FApplication.SetHelpFile("/opt/app/Program.CHM");
    FApplication.ShowHelp(42);
    FApplication.ShowHelp(0, "other.chm");
    ASSERT_EQ(help.Requests.size(), 2U);
    EXPECT_EQ(help.Requests[0].HelpFile, "/opt/app/Program.CHM");
    EXPECT_EQ(help.Requests[0].Command, ovrel::ui::HH_HELP_CONTEXT);
    EXPECT_EQ(help.Requests[0].Data, 42U);
    EXPECT_EQ(help.Requests[1].HelpFile, "other.chm");
    EXPECT_EQ(help.Requests[1].Command, ovrel::ui::HH_DISPLAY_TOPIC);
}

// Records the stages; clears Interactive and asks for a start command.
class BatchModel : public TVekModel {
public:
    explicit BatchModel(Log* log) : FLog(log) {}
    void Initialize(bool& interactive, TVekStartCommand& startCommand) override
    {
        FLog->push_back("initialize");
        RegisterCommand(std::make_unique<CountingCommand>(3, FLog, "start"));
        interactive = false;
        startCommand.CommandId = 3;
    }
    void Start() override { FLog->push_back("start"); }
    void Finish() override { FLog->push_back("finish"); }

private:
    Log* FLog;
};

TEST(StartUp, ANonInteractiveModelRunsItsStartCommandWithoutFormsOrLoop)
{
    Log log;
    TStartUpOptions options;
    options.MakeModel = [&log] { return std::make_unique<BatchModel>(&log); };
    options.MakeLocalizer = [] { return std::make_unique<TVekLocalizer>(std::string("/nonexistent-ovrel-languages")); };
    options.OnReady = [&log](TVekApplication& application) {
        EXPECT_EQ(ovrel::toolkit::Application(), &application);
        EXPECT_EQ(application.GetMainForm(), nullptr);
        EXPECT_FALSE(application.GetShowHint());
        log.push_back("ready");
    };
    EXPECT_EQ(RunStartUp(options), 0);
    EXPECT_EQ(log, (Log{"initialize", "ready", "run start", "finish", "~start"}));
    EXPECT_EQ(VekApplication(), nullptr);
    EXPECT_EQ(Model(), nullptr);
    EXPECT_EQ(GetLocalizer(), nullptr);
}

struct ErrorCatcher : TObject {
    std::vector<std::string> errors;
    void Catch(TObject*, std::exception_ptr error)
    {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            errors.emplace_back(e.what());
        }
    }
};

TEST(StartUp, ShutDownWithoutLocaliserReportsAFailedSaveAndStillEnds)
{
    ErrorCatcher catcher;
    TStartUpOptions options;
    options.MakeModel = [] {
        auto model = std::make_unique<TEXIFOvrelModel>();
        model->ConfigFile = "/proc/ovrel-no-such-folder/exif-ovrel.cfg";
        return model;
    };
    options.MakeLocalizer = []() -> std::unique_ptr<TVekLocalizer> { throw std::runtime_error("broken"); };
    options.ShowMainForm = false;
    options.OnReady = [&catcher](TVekApplication& application) {
        ASSERT_NE(application.GetMainForm(), nullptr);  // the stand-in main window
        EXPECT_FALSE(dynamic_cast<TVekForm*>(application.GetMainForm())->GetRegistered());
        EXPECT_TRUE(application.GetShowHint());
        application.OnException = ovrel::toolkit::TExceptionEvent(&catcher, &ErrorCatcher::Catch);
        Model()->Execute(Model()->FindCommand(TCmExit::CommandId), nullptr);  // File > Exit
    };
    EXPECT_EQ(RunStartUp(options), 0);
    EXPECT_EQ(catcher.errors.size(), 1U);
    EXPECT_EQ(VekApplication(), nullptr);
}

TEST(StartUp, DesktopServicesReachTheImageLayerAndReportErrorsInABox)
{
    namespace ui = ovrel::ui;
    namespace imaging = ovrel::imaging;
    ui::ScriptedPrompter prompter;
    ui::ScopedService<ui::IPrompter> guard(ui::SetPrompter, prompter);
    ui::IExceptionHandler* before = &ui::ExceptionHandler();
    imaging::SetContentTypeResolver(nullptr);
    ASSERT_EQ(imaging::ContentTypeOfExtension(".bmp"), "");  // not in the image layer's own table

    InstallDesktopServices();
    const std::string bmp = imaging::ContentTypeOfExtension(".bmp");
    ui::ExceptionHandler().Report(std::make_exception_ptr(std::runtime_error("disk full")));
    ui::SetExceptionHandler(before);
    imaging::SetContentTypeResolver(nullptr);

    EXPECT_EQ(bmp, ui::DesktopContentType(".bmp"));
    EXPECT_NE(bmp, "");
    ASSERT_EQ(prompter.Questions.size(), 1U);
    EXPECT_EQ(prompter.Questions[0].Text, "disk full");
}

// A language folder with English and German, for the forms' registration.
class Languages : public ::testing::Test {
protected:
    void SetUp() override
    {
        // One folder per test and process: CTest runs the tests of this fixture at the same time.
        FFolder =
            std::filesystem::temp_directory_path() / ("ovrel-framework-languages-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(FFolder);
        std::filesystem::create_directories(FFolder);
        std::ofstream(FFolder / "English.ini")
            << "[Language]\nLangId=1033\nLanguage=English\n[Common]\n160=Not Defined\n";
        std::ofstream(FFolder / "German.ini")
            << "[Language]\nLangId=1031\nLanguage=Deutsch\nHelpFile=Hilfe.chm\n[Common]\n160=Nicht definiert\n";
    }
    void TearDown() override { std::filesystem::remove_all(FFolder); }
    std::filesystem::path FFolder;
};

class CountingForm : public TVekForm {
public:
    CountingForm(ovrel::toolkit::TComponent* owner, int* count) : TVekForm(owner), FCount(count) {}
    void Localize() override { ++*FCount; }

private:
    int* FCount;
};

TEST_F(Languages, FormsRegisterWhenMadeAndUnregisterWhenFreed)
{
    TVekLocalizer localizer(FFolder.string());
    SetLocalizer(&localizer);
    localizer.SetLanguage(1033);
    int count = 0;
    auto* form = new CountingForm(nullptr, &count);
    EXPECT_TRUE(form->GetRegistered());
    EXPECT_EQ(count, 0);  // held until the form is whole
    form->Constructed();
    EXPECT_EQ(count, 1);
    localizer.SetLanguage(1031);
    EXPECT_EQ(count, 2);
    delete form;
    localizer.SetLanguage(1033);  // a freed form is not called (the sanitizers watch)
    EXPECT_EQ(count, 2);
    SetLocalizer(nullptr);
}

TEST_F(Languages, StartKeepsTheLanguagesOwnHelpFileElseTheProgramsDefault)
{
    ovrel::toolkit::TApplication* previous = ovrel::toolkit::Application();
    TVekApplication application(nullptr);
    const std::string config = (FFolder / "test.cfg").string();
    application.InitializeModel(
        [&config] {
            auto model = std::make_unique<TEXIFOvrelModel>();
            model->ConfigFile = config;
            return model;
        },
        [this] { return std::make_unique<TVekLocalizer>(FFolder.string()); });
    TVekLocalizer* localizer = GetLocalizer();
    ASSERT_NE(localizer, nullptr);
    EXPECT_EQ(localizer->GetHelpFile(), DefaultHelpFile());  // before any language

    Model()->Start();
    EXPECT_EQ(application.GetTitle(), ApplicationTitle);
    EXPECT_EQ(application.GetHelpFile(), DefaultHelpFile());

    localizer->SetLanguage(1031);
    EXPECT_EQ(NotDefinedText(), "Nicht definiert");  // the model's LanguageChanged ran
    Model()->Start();
    EXPECT_NE(application.GetHelpFile().find("Hilfe.chm"), std::string::npos);
    EXPECT_EQ(ovrel::toolkit::Application(), previous);
    ResetConfig();
}

}  // namespace
