#pragma once
// The program started for real (configuration and language folders of the test's own) with a body that runs
// after its main window shows, then File > Exit; and folders of images made in code.

#include "AppTestSupport.h"

#include "app/Config.h"
#include "app/Localizer.h"
#include "app/MainForm.h"
#include "app/Model.h"
#include "app/StartUp.h"
#include "inspector/PropertiesView.h"
#include "toolkit/ShellCtrls.h"
#include "core/PropertyCatalog.h"
#include "platform/ui/Locale.h"
#include "toolkit/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ovrel::app::test {

inline void PumpAll()
{
    for (int i = 0; i < 8; ++i) {
        if (toolkit::TApplication* application = toolkit::Application(); application != nullptr)
            application->ProcessMessages();
        QApplication::processEvents();
    }
}

/// A command that runs a test's body from the program's start command: after Start and the main form's show.
class TTestBodyCommand : public TVekCommand {
public:
    static constexpr std::int32_t CommandId = 900;
    explicit TTestBodyCommand(std::function<void()> body) : TVekCommand(CommandId, "TestBody"), FBody(std::move(body))
    {}
    void Execute(toolkit::TObject*) override { FBody(); }

private:
    std::function<void()> FBody;
};

/// An 8 x 8 JPEG whose IFD0 holds these ASCII entries (tag, text).
inline Bytes PhotoWith(std::initializer_list<TAsciiEntry> entries) { return JpegWith(entries); }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetConfig();
        ui::SetSystemDefaultLangID(0x0409);
        std::filesystem::create_directories(Folder.File("photos"));
        std::filesystem::create_directories(Folder.File("languages"));
        LanguageFolder = Folder.File("languages");
        ConfigFile = Folder.File("exif-ovrel.cfg");
    }
    void TearDown() override
    {
        ui::SetSystemDefaultLangID(0);
        ResetConfig();
    }

    /// The shipped English and German files in the test's language folder.
    void CopyShippedLanguages()
    {
        for (const char* name : {"English.ini", "German.ini"})
            std::filesystem::copy_file(std::string(OVREL_SOURCE_DIR) + "/data/Language/" + name,
                                       LanguageFolder + "/" + name, std::filesystem::copy_options::overwrite_existing);
    }
    std::string Photo(const std::string& name, std::initializer_list<TAsciiEntry> entries)
    {
        return Folder.Write("photos/" + name, PhotoWith(entries));
    }
    std::string Photos() const { return Folder.File("photos"); }

    /// Starts the program; ready runs once the forms exist, body after the main window shows. Unless the body
    /// ended the program, File > Exit follows. Without a language folder the program runs without a localiser.
    void Run(const std::function<void(TEXIFOvrelMainForm&)>& body,
             const std::function<void(TEXIFOvrelMainForm&)>& ready = {}, bool withLocalizer = true)
    {
        TStartUpOptions options;
        const std::string configFile = ConfigFile;
        const std::string languages = LanguageFolder;
        options.MakeModel = [configFile] {
            auto model = std::make_unique<TEXIFOvrelModel>();
            model->ConfigFile = configFile;
            return model;
        };
        options.MakeLocalizer = [languages, withLocalizer]() -> std::unique_ptr<TVekLocalizer> {
            if (!withLocalizer)
                throw std::runtime_error("no localiser in this test");
            return std::make_unique<TVekLocalizer>(languages);
        };
        options.OnReady = [&](TVekApplication& application) {
            auto* form = dynamic_cast<TEXIFOvrelMainForm*>(application.GetMainForm());
            ASSERT_NE(form, nullptr);
            if (ready)
                ready(*form);
            Model()->RegisterCommand(std::make_unique<TTestBodyCommand>([&application, &body, form] {
                PumpAll();
                body(*form);
                if (!application.GetTerminated())
                    Model()->Execute(Model()->FindCommand(TCmExit::CommandId), nullptr);
            }));
            application.GetStartCommand().CommandId = TTestBodyCommand::CommandId;
        };
        EXPECT_EQ(RunStartUp(options), 0);
    }

    /// Chooses a folder in the tree as a user does; the read runs to its end.
    static void Choose(TEXIFOvrelMainForm& form, const std::string& folder)
    {
        form.ShellTreeView->SetPath(folder);
        PumpAll();
    }
    static std::vector<std::string> Captions(const TEXIFOvrelMainForm& form)
    {
        std::vector<std::string> captions;
        for (int i = 0; i < form.ListView->GetItems()->GetCount(); ++i)
            captions.push_back(form.ListView->GetItems()->GetItem(i)->GetCaption());
        return captions;
    }
    /// The value the grid shows for a property.
    static std::string GridValue(const TEXIFOvrelMainForm& form, std::uint32_t id)
    {
        for (int i = 0; i < form.PropertiesView1->GetAbsoluteCount(); ++i)
            if (const auto* row = form.PropertiesView1->GetAbsoluteItem(i);
                row->GetTag() == static_cast<std::intptr_t>(id))
                return row->GetValue();
        return "(no row)";
    }

    TTempFolder Folder;
    std::string LanguageFolder;
    std::string ConfigFile;
};

}  // namespace ovrel::app::test
