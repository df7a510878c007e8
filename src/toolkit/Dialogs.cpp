#include "toolkit/Dialogs.h"

#include "platform/ui/Messages.h"
#include "platform/ui/Services.h"
#include "toolkit/Forms.h"

namespace ovrel::toolkit {
namespace {

int Ask(const std::string& text, ui::UINT flags)
{
    SendCancelMode();
    return ui::Prompter().MessageBox(text, Application()->GetTitle(), flags);
}

}  // namespace

bool TOpenDialog::Execute()
{
    ui::FileDialogRequest request;
    request.Save = IsSave();
    request.Title = Title;
    request.Filter = Filter;
    request.DefaultExt = DefaultExt;
    request.FileName = FileName;
    request.InitialDir = InitialDir;
    request.OverwritePrompt = IsSave() && Options.Contains(ofOverwritePrompt);
    SendCancelMode();
    const std::optional<std::string> chosen = ui::FileDialogs().Run(request);
    if (!chosen || chosen->empty())
        return false;
    FileName = *chosen;
    return true;
}

bool TOpenPictureDialog::Execute()
{
    if (Filter.empty())
        Filter = PictureFilter;
    return TOpenDialog::Execute();
}

bool TColorDialog::Execute()
{
    SendCancelMode();
    const std::optional<ui::COLORREF> chosen = ui::ColorDialogs().PickColor(ColorToRGB(Color));
    if (!chosen)
        return false;
    Color = static_cast<TColor>(*chosen & 0x00FFFFFFu);
    return true;
}

void ShowMessage(const std::string& text) { Ask(text, ui::MB_OK | ui::MB_ICONASTERISK); }

bool ConfirmYesNo(const std::string& text) { return Ask(text, ui::MB_YESNO | ui::MB_ICONQUESTION) == ui::IDYES; }

void ShowError(const std::string& text) { Ask(text, ui::MB_OK | ui::MB_ICONHAND); }

}  // namespace ovrel::toolkit
