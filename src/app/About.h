#pragma once
// The about box: the logo behind labels laid out from a table, on the tabs "About" and "Credits", with link
// labels that open their address.

#include "app/VekForm.h"
#include "platform/imaging/Image.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"

#include <memory>
#include <string_view>

namespace ovrel::app {

/// A picture drawn stretched over the control's bounds.
class TBackground : public toolkit::TGraphicControl {
public:
    explicit TBackground(toolkit::TComponent* owner);
    ~TBackground() override;

    /// Decodes the picture resource of that name ("ABOUT" reads "ABOUT.jpg"), dropping the previous one.
    /// Raises EResNotFound when there is none, and EInvalidGraphicOperation when it does not decode.
    void LoadFromResource(std::string_view name);
    [[nodiscard]] const imaging::RgbaImage* GetPicture() const { return FPicture.get(); }

protected:
    void Paint() override;

private:
    std::unique_ptr<imaging::RgbaImage> FPicture;
};

/// Made by hand: TAboutForm(owner, width), then Constructed(); the main window makes it without owner, shows
/// it modally and frees it.
class TAboutForm : public TVekForm {
public:
    /// width: the panel width the label table's pixels are scaled from (the main window passes 500).
    TAboutForm(toolkit::TComponent* owner, int width);
    ~TAboutForm() override;

    void Localize() override;

    void AboutTabControlChange(toolkit::TObject* sender);
    void LinkLabelClick(toolkit::TObject* sender);
    void FormKeyDown(toolkit::TObject* sender, std::uint16_t& key, toolkit::TShiftState shift);

    toolkit::TTabControl* AboutTabControl = nullptr;
    toolkit::TPanel* LogoPanel = nullptr;
    TBackground* Background = nullptr;

private:
    void Build(int width);
    void BuildLabels(int width);
};

}  // namespace ovrel::app
