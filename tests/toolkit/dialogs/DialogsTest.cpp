#include "platform/ui/DesktopServices.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/Dialogs.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace ovrel::toolkit {
namespace {

using ui::ScopedService;

TEST(DialogsTest, FileDialogsHandTheirSettingsOverAndTakeTheChosenName)
{
    ui::ScriptedFileDialogs files;
    ScopedService<ui::IFileDialogs> guard(ui::SetFileDialogs, files);
    files.Answers = {std::string("/tmp/a.xml"), std::nullopt, std::string("/tmp/b.xml"), std::string("/p.jpg")};

    TOpenDialog open(nullptr);
    open.Filter = "XML|*.xml";
    open.Title = "Import";
    open.FileName = "start.xml";
    open.Options.Include(ofOverwritePrompt);  // meaningless for opening
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/tmp/a.xml");
    EXPECT_FALSE(open.Execute()) << "cancelled";
    EXPECT_EQ(open.FileName, "/tmp/a.xml") << "a cancel keeps the name";

    TSaveDialog save(nullptr);
    save.DefaultExt = "xml";
    save.Options.Include(ofOverwritePrompt);
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "/tmp/b.xml");

    TOpenPictureDialog picture(nullptr);
    EXPECT_TRUE(picture.Execute());
    EXPECT_EQ(picture.FileName, "/p.jpg");

    ASSERT_EQ(files.Requests.size(), 4U);
    EXPECT_FALSE(files.Requests[0].Save);
    EXPECT_FALSE(files.Requests[0].OverwritePrompt);
    EXPECT_EQ(files.Requests[0].Filter, "XML|*.xml");
    EXPECT_EQ(files.Requests[0].Title, "Import");
    EXPECT_EQ(files.Requests[0].FileName, "start.xml");
    EXPECT_TRUE(files.Requests[2].Save);
    EXPECT_TRUE(files.Requests[2].OverwritePrompt);
    EXPECT_EQ(files.Requests[2].DefaultExt, "xml");
    EXPECT_NE(files.Requests[3].Filter.find("*.jpg"), std::string::npos);
}

TEST(DialogsTest, ColorDialogStartsAtTheColourAndKeepsItOnCancel)
{
    ui::ScriptedColorDialogs colours;
    ScopedService<ui::IColorDialogs> guard(ui::SetColorDialogs, colours);
    colours.Answers = {ui::RGB(1, 2, 3), std::nullopt};
    TColorDialog dialog(nullptr);
    dialog.Color = static_cast<TColor>(ui::RGB(200, 100, 50));
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Color, static_cast<TColor>(ui::RGB(1, 2, 3)));
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Color, static_cast<TColor>(ui::RGB(1, 2, 3)));
    ASSERT_EQ(colours.Requests.size(), 2U);
    EXPECT_EQ(colours.Requests[0], ui::RGB(200, 100, 50));
}

TEST(DialogsTest, ConfirmationIsYesOnlyOnAnExplicitYes)
{
    ui::ScriptedPrompter prompter;
    ScopedService<ui::IPrompter> guard(ui::SetPrompter, prompter);
    struct Row {
        const char* Name;
        int Answer;
        bool Expected;
    };
    const Row rows[] = {
        {"yes", ui::IDYES, true}, {"no", ui::IDNO, false}, {"ok", ui::IDOK, false}, {"cancel", ui::IDCANCEL, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        prompter.Answers = {row.Answer};
        EXPECT_EQ(ConfirmYesNo("Delete?"), row.Expected);
        EXPECT_EQ(prompter.Questions.back().Flags & 0x0F, ui::MB_YESNO);
    }
    ShowMessage("done");
    EXPECT_EQ(prompter.Questions.back().Flags & 0x0F, ui::MB_OK);
    ShowError("bad");
    EXPECT_EQ(prompter.Questions.back().Flags, ui::MB_OK | ui::MB_ICONHAND);
}

TEST(DialogsTest, ClipboardReadsTextOnly)
{
    ui::FakeClipboard board;
    ScopedService<ui::IClipboard> guard(ui::SetClipboard, board);
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->GetAsText(), "");
    board.Content = "2024:01:02 03:04:05";
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_FALSE(Clipboard()->HasFormat(2));
    EXPECT_EQ(Clipboard()->GetAsText(), "2024:01:02 03:04:05");
}

TEST(DesktopServicesTest, ContentTypeOfExtensionFromTheDesktop)
{
    EXPECT_EQ(ui::DesktopContentType(".png"), "image/png");
    EXPECT_EQ(ui::DesktopContentType("png"), "image/png");
    EXPECT_EQ(ui::DesktopContentType(""), "");
    EXPECT_EQ(ui::DesktopContentType(".no-such-extension-here"), "");
}

TEST(DesktopServicesTest, ExceptionsBecomeErrorBoxes)
{
    ui::ScriptedPrompter prompter;
    ScopedService<ui::IPrompter> guard(ui::SetPrompter, prompter);
    ui::IExceptionHandler* before = &ui::ExceptionHandler();
    ui::InstallDesktopExceptionHandler();
    ui::ExceptionHandler().Report(std::make_exception_ptr(std::runtime_error("disk full")));
    ui::ExceptionHandler().Report(std::make_exception_ptr(42));
    ui::SetExceptionHandler(before);
    ASSERT_EQ(prompter.Questions.size(), 2U);
    EXPECT_EQ(prompter.Questions[0].Text, "disk full");
    EXPECT_EQ(prompter.Questions[0].Flags, ui::MB_OK | ui::MB_ICONHAND);
    EXPECT_EQ(prompter.Questions[1].Text, "unknown exception");
}

}  // namespace
}  // namespace ovrel::toolkit
