#pragma once
// Dialog components over the layer's dialog services, and the message boxes the program asks.

#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <cstdint>
#include <string>

namespace ovrel::toolkit {

enum TOpenOption : std::uint8_t { ofOverwritePrompt, ofHideReadOnly, ofPathMustExist, ofFileMustExist };
using TOpenOptions = TSet<TOpenOption>;

/// A file-open dialog; Execute shows it and, when the user chose a file, sets FileName and returns true.
class TOpenDialog : public TComponent {
public:
    using TComponent::TComponent;

    virtual bool Execute();

    /// "Description|*.ext;*.ext2|..."
    std::string Filter;
    /// Without the dot; added to a name typed without an extension.
    std::string DefaultExt;
    std::string FileName;
    std::string InitialDir;
    std::string Title;
    TOpenOptions Options{ofHideReadOnly};

protected:
    [[nodiscard]] virtual bool IsSave() const { return false; }
};

/// The save variant: asks before an existing file is overwritten when Options holds ofOverwritePrompt.
class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;

protected:
    [[nodiscard]] bool IsSave() const override { return true; }
};

/// An open dialog for pictures, with the picture types as its filter unless one is set.
class TOpenPictureDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    bool Execute() override;
};

/// The filter TOpenPictureDialog uses when none is set.
inline constexpr const char* PictureFilter =
    "All pictures|*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.tif;*.tiff|JPEG|*.jpg;*.jpeg|PNG|*.png|Bitmaps|*.bmp|GIF|*.gif|"
    "TIFF|*.tif;*.tiff|All files|*";

class TColorDialog : public TComponent {
public:
    using TComponent::TComponent;

    /// Shows the dialog starting at Color; true and the new Color when the user chose one.
    bool Execute();

    TColor Color = clBlack;
};

/// An information box with OK.
void ShowMessage(const std::string& text);
/// A Yes/No question; true only when the user answered Yes.
bool ConfirmYesNo(const std::string& text);
/// An error box with OK.
void ShowError(const std::string& text);

}  // namespace ovrel::toolkit
