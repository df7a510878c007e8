#include "app/About.h"

#include "app/AboutModel.h"
#include "app/AppResources.h"
#include "app/Localizer.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Services.h"
#include "toolkit/SysUtils.h"

#include <optional>
#include <string>

namespace ovrel::app {

using namespace ovrel::toolkit;

namespace {

constexpr std::uint16_t KeyReturn = 13;
constexpr std::uint16_t KeyEscape = 27;

}  // namespace

// --- TBackground -------------------------------------------------------------------------------------------

TBackground::TBackground(TComponent* owner) : TGraphicControl(owner) {}

TBackground::~TBackground() = default;

void TBackground::LoadFromResource(std::string_view name)
{
    FPicture.reset();
    const std::vector<std::uint8_t> bytes = AppResourceData(std::string(name) + ".jpg");
    const std::unique_ptr<imaging::Image> image = imaging::Image::FromMemory(bytes);
    auto picture = std::make_unique<imaging::RgbaImage>();
    if (image->GetLastStatus() != imaging::Status::Ok || image->Decode(*picture) != imaging::Status::Ok)
        throw EInvalidGraphicOperation(Format("Picture %s cannot be decoded", {std::string(name)}));
    FPicture = std::move(picture);
    Invalidate();
}

void TBackground::Paint()
{
    if (!FPicture)
        return;
    const ui::RECT client = GetClientRect();
    (void)ui::StretchRgbaPixels(GetCanvas()->GetHandle(), client, static_cast<int>(FPicture->Width),
                                static_cast<int>(FPicture->Height), FPicture->Pixels);
}

// --- TAboutForm --------------------------------------------------------------------------------------------

TAboutForm::TAboutForm(TComponent* owner, int width) : TVekForm(owner) { Build(width); }

TAboutForm::~TAboutForm() = default;

void TAboutForm::Build(int width)
{
    {
        TFormBuilder builder(*this);
        SetName("AboutForm");
        SetCaption("About");
        SetBorderStyle(bsDialog);
        SetColor(clBtnFace);
        SetBorderIcons({biSystemMenu});
        SetPosition(poScreenCenter);
        SetClientWidth(514);
        SetClientHeight(334);
        SetKeyPreview(true);
        GetFont()->SetName("Tahoma");
        GetFont()->SetSize(8);
        OnKeyDown = TKeyEvent(this, &TAboutForm::FormKeyDown);

        AboutTabControl = builder.Add<TTabControl>(this);
        AboutTabControl->SetName("AboutTabControl");
        AboutTabControl->SetBounds(3, 3, 508, 328);
        AboutTabControl->GetTabs()->Add("About");
        AboutTabControl->GetTabs()->Add("Credits");
        AboutTabControl->SetTabIndex(0);
        AboutTabControl->OnChange = TNotifyEvent(this, &TAboutForm::AboutTabControlChange);

        LogoPanel = builder.Add<TPanel>(AboutTabControl);
        LogoPanel->SetName("LogoPanel");
        LogoPanel->SetCaption("");
        LogoPanel->SetBevelOuter(bvNone);
        LogoPanel->SetColor(clWhite);
        LogoPanel->SetBounds(0, 0, 500, 300);
        LogoPanel->SetAlign(alClient);
        builder.Finish();
    }

    Background = new TBackground(this);
    Background->SetName("Background");
    Background->SetParent(LogoPanel);
    Background->SetAlign(alClient);
    Background->SendToBack();
    Background->LoadFromResource("ABOUT");
    BuildLabels(width);
    AboutTabControlChange(AboutTabControl);
}

void TAboutForm::BuildLabels(int width)
{
    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    std::optional<TAboutLabelLayout> layout;
    for (const TAboutLabelRow& row : AboutLabelRows()) {
        auto* label = new TLabel(this);
        label->SetParent(LogoPanel);
        label->SetTransparent(true);
        if (!layout) {
            // The first label's canvas, with the form's font, gives the line height and the spaces.
            TCanvas* canvas = label->GetCanvas();
            canvas->SetFont(label->GetFont());
            ui::TEXTMETRIC metrics{};
            (void)canvas->TextExtent("x");  // selects the font into the canvas
            (void)ui::GetTextMetrics(canvas->GetHandle(), &metrics);
            if (auto* control = dynamic_cast<TControlCanvas*>(canvas))
                control->FreeHandle();
            layout.emplace(AboutTextMetrics(metrics), LogoPanel->GetWidth(), width);
        }
        const TAboutLabelText text = AboutLabelText(row, common);
        label->SetTag(row.Tab);
        TFontStyles style;
        if ((row.Flags & AboutBold) != 0)
            style.Include(fsBold);
        if ((row.Flags & AboutLink) != 0) {
            style.Include(fsUnderline);
            label->GetFont()->SetColor(clBlue);
            label->SetCursor(crHandPoint);
            label->OnClick = TNotifyEvent(this, &TAboutForm::LinkLabelClick);
            label->SetHint(text.Hint);
            label->SetShowHint(true);
        }
        label->GetFont()->SetStyle(style);
        label->SetWordWrap((row.Flags & AboutWordWrap) != 0);
        label->SetAlignment((row.Flags & AboutRightAligned) != 0 ? taRightJustify : taLeftJustify);
        label->SetCaption(text.Caption);  // sizes the label at once
        const TAboutLabelLayout::TPlacement placement =
            layout->Place(row, ui::SIZE{label->GetWidth(), label->GetHeight()});
        if (!placement.AutoSize)
            label->SetAutoSize(false);
        label->SetBoundsRect(placement.Bounds);
    }
}

void TAboutForm::AboutTabControlChange(TObject*)
{
    const int tab = AboutTabControl->GetTabIndex();
    for (int i = 0; i < LogoPanel->GetControlCount(); ++i)
        if (auto* label = dynamic_cast<TLabel*>(LogoPanel->GetControl(i)))
            label->SetVisible(AboutLabelVisible(static_cast<int>(label->GetTag()), tab));
}

void TAboutForm::LinkLabelClick(TObject* sender)
{
    const auto* label = dynamic_cast<TControl*>(sender);
    if (label != nullptr && !label->GetHint().empty())
        (void)ui::Opener().Open(label->GetHint());
}

void TAboutForm::FormKeyDown(TObject*, std::uint16_t& key, TShiftState)
{
    if (key == KeyEscape || key == KeyReturn)
        Close();
}

void TAboutForm::Localize()
{
    const TVekLocalizedStrings& common = GetLocalizedStrings("Common");
    LocalizeProperty(common, 47, this, "Caption");
    TStrings* tabs = AboutTabControl->GetTabs();
    const int ids[] = {47, 53};
    for (int i = 0; i < tabs->GetCount() && i < 2; ++i) {
        std::string text = tabs->Get(i);
        LocalizeText(common, ids[i], text, text);
        tabs->Put(i, text);
    }
}

}  // namespace ovrel::app
