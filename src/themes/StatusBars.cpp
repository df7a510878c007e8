#include "themes/StatusBars.h"

#include "themes/Nexus.h"

#include "toolbars/Items.h"

#include "platform/ui/Gdi.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SysTables.h"
#include "platform/ui/Window.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

#include <algorithm>

namespace ovrel::themes {

using namespace ovrel::toolkit;
using namespace ovrel::ui;

namespace {

const std::vector<std::string>& BooleanNames()
{
    static const std::vector<std::string> names{"False", "True"};
    return names;
}

int Priority(int value) { return std::clamp(value, 0, 100); }

bool Intersects(const TRect& a, const TRect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TRect Shrunk(const TRect& rect, const TTBXMargins& margins)
{
    return Rect(rect.left + margins.LeftWidth, rect.top + margins.TopHeight, rect.right - margins.RightWidth,
                rect.bottom - margins.BottomHeight);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TTBXStatusPanel

// Joins the collection only once whole: joining lays the bar out, which reads every panel.
TTBXStatusPanel::TTBXStatusPanel(TCollection* collection)
    : TCollectionItem(nullptr), FFontSettings(std::make_unique<TFontSettings>())
{
    FFontSettings->OnChange = TNotifyEvent(this, &TTBXStatusPanel::FontSettingsChanged);
    SetCollection(collection);
}

TTBXStatusPanel::~TTBXStatusPanel()
{
    TTBXCustomStatusBar* bar = GetStatusBar();
    SetCollection(nullptr);  // the bar is laid out without this panel
    auto* window = dynamic_cast<TWinControl*>(FControl);
    if (bar == nullptr || window == nullptr || !window->HandleAllocated() ||
        window->GetComponentState().Contains(csDestroying))
        return;
    window->BringToFront();
    window->Perform(CM_SHOWINGCHANGED, 0, 0);
}

template <class T> void TTBXStatusPanel::Store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Changed(false);
}

void TTBXStatusPanel::SetAlignment(TAlignment value)
{
    FAlignment = value;
    Changed(false);
}

void TTBXStatusPanel::SetCaption(const std::string& value) { Store(FCaption, value); }
void TTBXStatusPanel::SetEnabled(bool value) { Store(FEnabled, value); }
void TTBXStatusPanel::SetFramed(bool value) { Store(FFramed, value); }
void TTBXStatusPanel::SetFontSettings(const TFontSettings* value) { FFontSettings->Assign(value); }
void TTBXStatusPanel::SetHint(const std::string& value) { Store(FHint, value); }
void TTBXStatusPanel::SetMaxSize(int value) { Store(FMaxSize, value); }
void TTBXStatusPanel::SetSize(int value) { Store(FSize, value); }
void TTBXStatusPanel::SetStretchPriority(int value) { Store(FStretchPriority, Priority(value)); }
void TTBXStatusPanel::SetViewPriority(int value) { Store(FViewPriority, Priority(value)); }

void TTBXStatusPanel::SetImageIndex(int value)
{
    if (FImageIndex == value)
        return;
    FImageIndex = value;
    if (const TTBXCustomStatusBar* bar = GetStatusBar(); bar != nullptr && bar->GetImages() != nullptr)
        Changed(false);
}

void TTBXStatusPanel::SetTextTruncation(TTextTruncation value)
{
    FTextTruncation = value;
    Changed(false);
}

void TTBXStatusPanel::FontSettingsChanged(TObject*) { Changed(false); }

void TTBXStatusPanel::SetControl(TControl* value)
{
    if (FControl == value)
        return;
    TTBXCustomStatusBar* bar = GetStatusBar();
    if (value != nullptr && bar != nullptr) {
        for (const TControl* c = bar; c != nullptr; c = c->GetParent())
            if (c == value)
                throw EInvalidOperation("Can't insert own parent");
        if (TTBXStatusPanel* holder = bar->GetPanels()->FindPanel(value); holder != nullptr && holder != this)
            holder->FControl = nullptr;
    }
    TControl* old = FControl;
    // Held before it is parented, so the bar knows the control is a panel's when it arrives.
    FControl = value;
    if (value != nullptr && bar != nullptr) {
        value->SetParent(bar);
        value->FreeNotification(bar);
    }
    if (old != nullptr)
        old->Perform(CM_SHOWINGCHANGED, 0, 0);
    Changed(false);
}

TTBXCustomStatusBar* TTBXStatusPanel::GetStatusBar() const
{
    const auto* panels = dynamic_cast<const TTBXStatusPanels*>(GetCollection());
    return panels != nullptr ? panels->GetStatusBar() : nullptr;
}

void TTBXStatusPanel::Assign(const TPersistent* source)
{
    const auto* other = dynamic_cast<const TTBXStatusPanel*>(source);
    if (other == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    if (other == this)
        return;
    TControl* control = nullptr;
    if (const TTBXCustomStatusBar* bar = GetStatusBar();
        bar != nullptr && bar->GetOwner() != nullptr && other->FControl != nullptr)
        control = dynamic_cast<TControl*>(bar->GetOwner()->FindComponent(other->FControl->GetName()));
    // One layout for the whole copy.
    TCollection* collection = GetCollection();
    if (collection != nullptr)
        collection->BeginUpdate();
    try {
        SetAlignment(other->FAlignment);
        SetCaption(other->FCaption);
        SetControl(control);
        SetEnabled(other->FEnabled);
        SetFramed(other->FFramed);
        SetFontSettings(other->FFontSettings.get());
        SetHint(other->FHint);
        SetImageIndex(other->FImageIndex);
        SetMaxSize(other->FMaxSize);
        SetSize(other->FSize);
        SetStretchPriority(other->FStretchPriority);
        SetTag(other->FTag);
        SetTextTruncation(other->FTextTruncation);
        SetViewPriority(other->FViewPriority);
    } catch (...) {
        if (collection != nullptr)
            collection->EndUpdate();
        throw;
    }
    if (collection != nullptr)
        collection->EndUpdate();
}

std::string TTBXStatusPanel::GetDisplayName() const
{
    if (!FCaption.empty())
        return FCaption;
    if (FControl != nullptr)
        return "[ " + FControl->GetName() + " ]";
    return TCollectionItem::GetDisplayName();
}

const TPropertyTable& TTBXStatusPanel::ClassProperties()
{
    using P = TTBXStatusPanel;
    static const TPropertyTable table = TPropertyTable(&TPersistent::ClassProperties())
                                            .Enumeration("Alignment", &P::GetAlignment, &P::SetAlignment,
                                                         {"taLeftJustify", "taRightJustify", "taCenter"})
                                            .String("Caption", &P::GetCaption, &P::SetCaption)
                                            .Object("Control", &P::GetControl, &P::SetControl)
                                            .Enumeration("Enabled", &P::GetEnabled, &P::SetEnabled, BooleanNames())
                                            .Enumeration("Framed", &P::GetFramed, &P::SetFramed, BooleanNames())
                                            .Object("FontSettings", &P::GetFontSettings, &P::SetFontSettings)
                                            .String("Hint", &P::GetHint, &P::SetHint)
                                            .Integer("ImageIndex", &P::GetImageIndex, &P::SetImageIndex)
                                            .Integer("MaxSize", &P::GetMaxSize, &P::SetMaxSize)
                                            .Integer("Size", &P::GetSize, &P::SetSize)
                                            .Integer("StretchPriority", &P::GetStretchPriority, &P::SetStretchPriority)
                                            .Integer("Tag", &P::GetTag, &P::SetTag)
                                            .Enumeration("TextTruncation", &P::GetTextTruncation, &P::SetTextTruncation,
                                                         {"twNone", "twEndEllipsis", "twPathEllipsis"})
                                            .Integer("ViewPriority", &P::GetViewPriority, &P::SetViewPriority);
    return table;
}

const TPropertyTable& TTBXStatusPanel::GetPropertyTable() const { return ClassProperties(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXStatusPanels

TTBXStatusPanels::TTBXStatusPanels(TTBXCustomStatusBar* statusBar)
    : TCollection(TCollectionItemClass::Of<TTBXStatusPanel>()), FStatusBar(statusBar)
{}

TTBXStatusPanel* TTBXStatusPanels::Add() { return static_cast<TTBXStatusPanel*>(TCollection::Add()); }

TTBXStatusPanel* TTBXStatusPanels::GetItem(int index) const
{
    return static_cast<TTBXStatusPanel*>(TCollection::GetItem(index));
}

TTBXStatusPanel* TTBXStatusPanels::FindPanel(const TControl* control) const
{
    if (control == nullptr)
        return nullptr;
    for (int i = 0; i < GetCount(); ++i)
        if (GetItem(i)->GetControl() == control)
            return GetItem(i);
    return nullptr;
}

TPersistent* TTBXStatusPanels::GetOwner() const { return FStatusBar; }

void TTBXStatusPanels::Update(TCollectionItem*) { FStatusBar->UpdatePanels(); }

// ---------------------------------------------------------------------------------------------------------
// TTBXCustomStatusBar

TTBXCustomStatusBar::TTBXCustomStatusBar(TComponent* owner)
    : TCustomControl(owner), FImageChangeLink(std::make_unique<TChangeLink>())
{
    FPanels = std::make_unique<TTBXStatusPanels>(this);
    FImageChangeLink->OnChange = TNotifyEvent(this, &TTBXCustomStatusBar::ImageListChange);
    SetControlStyle(GetControlStyle() +
                    TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks});
    SetDoubleBuffered(true);
    SetBounds(0, 0, 150, 22);
    SetAlign(alBottom);
    AddThemeControl(this);
}

TTBXCustomStatusBar::~TTBXCustomStatusBar()
{
    RemoveThemeControl(this);
    FPanels.reset();  // while the bar is whole: a panel going hands its control back to the bar
}

void TTBXCustomStatusBar::SetPanels(const TTBXStatusPanels* value) { FPanels->Assign(value); }

void TTBXCustomStatusBar::SetImages(TCustomImageList* value)
{
    if (FImages == value)
        return;
    if (FImages != nullptr)
        FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages = value;
    if (FImages != nullptr) {
        FImages->RegisterChanges(FImageChangeLink.get());
        FImages->FreeNotification(this);
    }
    Invalidate();
}

void TTBXCustomStatusBar::SetSizeGrip(bool value)
{
    FSizeGrip = value;
    Invalidate();
}

void TTBXCustomStatusBar::SetUseSystemFont(bool value)
{
    if (FUseSystemFont == value)
        return;
    FUseSystemFont = value;
    UpdatePanels();
    Invalidate();
}

void TTBXCustomStatusBar::ImageListChange(TObject*) { Invalidate(); }

TTBXStatusPanel* TTBXCustomStatusBar::PanelAt(TPoint clientPos) const
{
    for (int i = 0; i < FPanels->GetCount(); ++i) {
        TTBXStatusPanel* panel = FPanels->GetItem(i);
        if (panel->FShown && PtInRect(&panel->FBoundsRect, clientPos) != FALSE)
            return panel;
    }
    return nullptr;
}

TTBXStatusPanel* TTBXCustomStatusBar::PanelUnderCursor() const
{
    POINT cursor{};
    ui::GetCursorPos(&cursor);
    return PanelAt(ScreenToClient(cursor));
}

bool TTBXCustomStatusBar::IsGripShown() const
{
    if (!FSizeGrip)
        return false;
    const TCustomForm* form = GetParentForm();
    if (form == nullptr || form->GetWindowState() != wsNormal)
        return false;
    const TPoint corner = ClientToScreen(Point(GetClientWidth(), GetClientHeight()));
    const TPoint formCorner = form->ClientToScreen(Point(form->GetClientWidth(), form->GetClientHeight()));
    return corner.x == formCorner.x && corner.y == formCorner.y;
}

TRect TTBXCustomStatusBar::GetGripRect() const
{
    TRect r = GetClientRect();
    r.top += 3;
    r.left = r.right - GetSystemMetrics(SM_CXVSCROLL);
    return r;
}

void TTBXCustomStatusBar::ArrangePanels()
{
    const int count = FPanels->GetCount();
    if (count == 0)
        return;
    FContentMargins = TTBXMargins{};
    if (const TTBXTheme* theme = CurrentTheme())
        theme->GetMargins(MID_STATUSPANE, FContentMargins);
    FLayout.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const TTBXStatusPanel& panel = *FPanels->GetItem(i);
        TStatusPanelLayout& layout = FLayout[static_cast<std::size_t>(i)];
        layout = TStatusPanelLayout{};
        layout.Size = panel.FSize;
        layout.MaxSize = panel.FMaxSize;
        layout.ViewPriority = panel.FViewPriority;
        layout.StretchPriority = panel.FStretchPriority;
    }
    themes::ArrangePanels(FLayout, GetClientRect());
    for (int i = 0; i < count; ++i) {
        TTBXStatusPanel& panel = *FPanels->GetItem(i);
        const TStatusPanelLayout& layout = FLayout[static_cast<std::size_t>(i)];
        panel.FShown = layout.Shown;
        panel.FCurrentWidth = layout.Width;
        panel.FBoundsRect = layout.Rect;
        panel.FAtRightEdge = layout.AtRightEdge;
    }
}

void TTBXCustomStatusBar::UpdatePanels()
{
    if (GetComponentState().Contains(csDestroying))
        return;
    Invalidate();
    ArrangePanels();
    for (int i = 0; i < FPanels->GetCount(); ++i) {
        const TTBXStatusPanel& panel = *FPanels->GetItem(i);
        if (panel.FControl == nullptr)
            continue;
        if (!panel.FShown)
            panel.FControl->SetBoundsRect(TRect{});
        else
            panel.FControl->SetBoundsRect(panel.FFramed ? Shrunk(panel.FBoundsRect, FContentMargins)
                                                        : panel.FBoundsRect);
    }
}

void TTBXCustomStatusBar::AdjustContentRect(TTBXStatusPanel* panel, TRect& rect)
{
    if (panel->FFramed)
        rect = Shrunk(rect, FContentMargins);
    OnAdjustContentRect(this, panel, rect);
}

void TTBXCustomStatusBar::AdjustFont(TTBXStatusPanel* panel, TFont* font) { OnAdjustFont(this, panel, font); }

void TTBXCustomStatusBar::DoPanelClick(TTBXStatusPanel* panel) { OnPanelClick(this, panel); }

void TTBXCustomStatusBar::DoPanelDblClick(TTBXStatusPanel* panel) { OnPanelDblClick(this, panel); }

void TTBXCustomStatusBar::Paint()
{
    const TTBXTheme* theme = CurrentTheme();
    if (theme == nullptr)
        return;
    TCanvas& canvas = *GetCanvas();
    const TRect client = GetClientRect();
    theme->PaintStatusBar(canvas, client, SBP_BODY);
    const TRect clip = canvas.GetClipRect();
    const int count = FPanels->GetCount();
    for (int i = 0; i < count; ++i) {
        TTBXStatusPanel* panel = FPanels->GetItem(i);
        if (!panel->FShown || !Intersects(panel->FBoundsRect, clip))
            continue;
        if (panel->FFramed)
            theme->PaintStatusBar(canvas, panel->FBoundsRect, panel->FAtRightEdge ? SBP_LASTPANE : SBP_PANE);
        TFont& font = *canvas.GetFont();
        font.Assign(FUseSystemFont ? toolbars::SharedMenuFont() : GetFont());
        font.SetColor(GetStateTextColor(panel->FEnabled ? 0 : ISF_DISABLED));
        ApplyFontSettings(*panel->FFontSettings, font);
        AdjustFont(panel, &font);
        TRect content = panel->FBoundsRect;
        AdjustContentRect(panel, content);
        DoPaintPanel(content, panel, i == count - 1);
    }
    if (IsGripShown())
        theme->PaintStatusBar(canvas, GetGripRect(), SBP_GRIPPER);
}

void TTBXCustomStatusBar::DoPaintPanel(const TRect& rect, TTBXStatusPanel* panel, bool /*isLast*/)
{
    TCanvas& canvas = *GetCanvas();
    TRect text = Rect(rect.left + 1, rect.top, rect.right - 1, rect.bottom);
    const int state = panel->FEnabled ? 0 : ISF_DISABLED;
    if (panel->FImageIndex >= 0 && FImages != nullptr) {
        const int width = FImages->GetWidth();
        const int height = FImages->GetHeight();
        TRect image = text;
        image.top = (text.top + text.bottom - height) / 2;
        image.bottom = image.top + height;
        switch (panel->FAlignment) {
        case taLeftJustify:
            image.right = image.left + width;
            text.left = image.right + 4;
            break;
        case taRightJustify:
            image.left = image.right - width;
            text.right = image.left - 4;
            break;
        case taCenter:
            image.left = (text.left + text.right - width) / 2;
            image.right = image.left + width;
            break;
        }
        if (panel->FEnabled)
            FImages->Draw(&canvas, image.left, image.top, panel->FImageIndex, true);
        else
            DrawStateImage(canvas, image, FImages, panel->FImageIndex, state);
    }
    static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    static constexpr UINT Truncations[] = {0, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS};
    const UINT format =
        DT_SINGLELINE | DT_VCENTER | Alignments[panel->FAlignment] | Truncations[panel->FTextTruncation];
    canvas.GetBrush()->SetStyle(bsClear);
    DrawStateCaption(canvas, text, panel->FCaption, state, format);
    canvas.GetBrush()->SetStyle(bsSolid);
}

// The bar's own handlers run first and may free the bar.
void TTBXCustomStatusBar::Click()
{
    const TLifeToken::TObserver alive = FLife.Observe();
    TCustomControl::Click();
    if (TTBXStatusPanel* panel = alive.Expired() ? nullptr : PanelUnderCursor())
        DoPanelClick(panel);
}

void TTBXCustomStatusBar::DblClick()
{
    const TLifeToken::TObserver alive = FLife.Observe();
    TCustomControl::DblClick();
    if (TTBXStatusPanel* panel = alive.Expired() ? nullptr : PanelUnderCursor())
        DoPanelDblClick(panel);
}

void TTBXCustomStatusBar::Resize()
{
    UpdatePanels();
    Invalidate();
    TCustomControl::Resize();
}

void TTBXCustomStatusBar::Loaded()
{
    TCustomControl::Loaded();
    UpdatePanels();
}

void TTBXCustomStatusBar::CreateWnd()
{
    TCustomControl::CreateWnd();
    if (!GetComponentState().Contains(csLoading))
        UpdatePanels();
}

void TTBXCustomStatusBar::CreateParams(TCreateParams& params)
{
    TCustomControl::CreateParams(params);
    params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTBXCustomStatusBar::AlignControls(TControl* control, ui::RECT& rect)
{
    if (!GetComponentState().Contains(csDestroying) &&
        ((control == nullptr && FPanels->GetCount() > 0) || dynamic_cast<TWinControl*>(control) != nullptr)) {
        Invalidate();
        UpdatePanels();
    }
    TCustomControl::AlignControls(control, rect);
}

void TTBXCustomStatusBar::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == FImages)
        SetImages(nullptr);
    if (FPanels != nullptr)
        if (TTBXStatusPanel* panel = FPanels->FindPanel(dynamic_cast<TControl*>(component)))
            panel->FControl = nullptr;
}

void TTBXCustomStatusBar::FlipChildren(bool /*allLevels*/) {}

void TTBXCustomStatusBar::Dispatch(TMessage& message)
{
    switch (message.Msg) {
    case WM_TBX_THEMECHANGED: WMTBXThemeChanged(message); return;
    case CM_CONTROLCHANGE: CMControlChange(message); return;
    default: TCustomControl::Dispatch(message);
    }
}

void TTBXCustomStatusBar::WMNCHitTest(TMessage& message)
{
    TCustomControl::WMNCHitTest(message);
    if (message.Result != HTCLIENT || !IsGripShown())
        return;
    const TPoint screen = Point(GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam));
    const TRect grip = GetGripRect();
    if (PtInRect(&grip, ScreenToClient(screen)) != FALSE)
        message.Result = HTBOTTOMRIGHT;
}

void TTBXCustomStatusBar::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TTBXCustomStatusBar::CMFontChanged(TMessage& message)
{
    TCustomControl::CMFontChanged(message);
    UpdatePanels();
    Invalidate();
}

void TTBXCustomStatusBar::CMVisibleChanged(TMessage& message)
{
    if (FFixAlign && GetParent() != nullptr)
        SetTop(GetParent()->GetClientHeight());
    TCustomControl::CMVisibleChanged(message);
}

void TTBXCustomStatusBar::CMHintShow(TMessage& message)
{
    auto* info = reinterpret_cast<THintInfo*>(message.LParam);
    if (TTBXStatusPanel* panel = PanelAt(info->CursorPos)) {
        info->HintStr = panel->FHint;
        info->CursorRect = panel->FBoundsRect;
        message.Result = 0;
        return;
    }
    TCustomControl::CMHintShow(message);
}

void TTBXCustomStatusBar::CMControlChange(TMessage& message)
{
    DefaultHandler(message);
    const TComponentState state = GetComponentState();
    if (!state.Contains(csDesigning) || state.Contains(csLoading))
        return;
    auto* control = reinterpret_cast<TControl*>(message.WParam);
    if (message.LParam != 0) {
        if (auto* window = dynamic_cast<TWinControl*>(control);
            window != nullptr && FPanels->FindPanel(window) == nullptr)
            FPanels->Add()->SetControl(window);
    } else if (TTBXStatusPanel* panel = FPanels->FindPanel(control)) {
        FPanels->Delete(panel->GetIndex());
    }
}

void TTBXCustomStatusBar::WMTBXThemeChanged(TMessage&)
{
    UpdatePanels();
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------------
// TTBXStatusBar

const TPropertyTable& TTBXStatusBar::ClassProperties()
{
    using B = TTBXStatusBar;
    static const TPropertyTable table =
        TPropertyTable(&TWinControl::ClassProperties())
            .Object("Panels", &B::GetPanels, &B::SetPanels)
            .Object("Images", &B::GetImages, &B::SetImages)
            .Enumeration("SizeGrip", &B::GetSizeGrip, &B::SetSizeGrip, BooleanNames())
            .Enumeration("UseSystemFont", &B::GetUseSystemFont, &B::SetUseSystemFont, BooleanNames())
            .Enumeration("FixAlign", &B::GetFixAlign, &B::SetFixAlign, BooleanNames());
    return table;
}

const TPropertyTable& TTBXStatusBar::GetPropertyTable() const { return ClassProperties(); }

}  // namespace ovrel::themes
