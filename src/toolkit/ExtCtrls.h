#pragma once
// Simple controls: the windowless label, paint box and speed button, the panel, and the timer component.

#include "toolkit/Controls.h"
#include "toolkit/Forms.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ovrel::toolkit {

/// A text drawn on the parent's surface. AutoSize (on by default) fits the bounds to the caption as soon as
/// the caption or font changes, so Width is right straight after a caption is set; with WordWrap the width
/// stays and the height follows the wrapped lines.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    [[nodiscard]] TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    /// A transparent label leaves the parent's background in place behind its text.
    [[nodiscard]] bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool value);
    [[nodiscard]] bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

protected:
    void Paint() override;
    bool CanAutoSize(int& newWidth, int& newHeight) override;
    void CMTextChanged(TMessage& message) override;
    void CMFontChanged(TMessage& message) override;

private:
    [[nodiscard]] ui::UINT DrawFlags() const;

    TAlignment FAlignment = taLeftJustify;
    bool FTransparent = false;
    bool FWordWrap = false;
};

/// A windowless drawing surface: OnPaint draws through Canvas.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* owner);

    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

enum TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

/// A windowed container filled with its colour, framed by its bevel and border, with a centred caption.
/// BorderStyle bsNone has no border; any other style draws a single line.
class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* owner);

    [[nodiscard]] TPanelBevel GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel value);
    [[nodiscard]] TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);

protected:
    void Paint() override;
    void AdjustClientRect(ui::RECT& rect) override;
    void CMTextChanged(TMessage& message) override;

private:
    [[nodiscard]] int FrameWidth() const;
    void FrameChanged();

    TPanelBevel FBevelOuter = bvRaised;
    TFormBorderStyle FBorderStyle = bsNone;
};

/// A windowless push button drawing a glyph. The glyph bitmap holds NumGlyphs cells side by side: the first
/// for the normal look, the second (when there is one) for the disabled look. It looks pressed while the
/// left button is held on it with the pointer inside.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    /// Owned; setting it copies the bitmap.
    [[nodiscard]] TBitmap* GetGlyph() const { return FGlyph.get(); }
    void SetGlyph(const TBitmap* value);
    [[nodiscard]] int GetNumGlyphs() const { return FNumGlyphs; }
    /// 1 to 4; other values are ignored.
    void SetNumGlyphs(int value);
    /// A flat button draws its edge only while the pointer is over it.
    [[nodiscard]] bool GetFlat() const { return FFlat; }
    void SetFlat(bool value);
    /// Whether the button draws pressed now.
    [[nodiscard]] bool GetPressed() const { return FHeld && FPointerInside; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void WMLButtonUp(TMessage& message) override;
    void WMCancelMode(TMessage& message) override;
    void CMEnabledChanged(TMessage& message) override;
    void CMMouseEnter(TMessage& message) override;
    void CMMouseLeave(TMessage& message) override;

private:
    void GlyphChanged(TObject* sender);
    void SetLook(bool held, bool inside);
    void SetHovered(bool value);

    std::unique_ptr<TBitmap> FGlyph;
    int FNumGlyphs = 1;
    bool FFlat = false;
    bool FHeld = false;
    bool FPointerInside = false;
    bool FHovered = false;
};

/// Calls OnTimer every Interval milliseconds while Enabled, through a timer of a hidden window. Changing
/// Interval restarts the count; setting Enabled to the value it has changes nothing.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    [[nodiscard]] bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool value);
    [[nodiscard]] unsigned GetInterval() const { return FInterval; }
    void SetInterval(unsigned value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    void WndProc(TMessage& message);

    ui::HWND FWindow = nullptr;
    bool FEnabled = true;
    unsigned FInterval = 1000;
};

}  // namespace ovrel::toolkit
