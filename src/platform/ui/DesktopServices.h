#pragma once
// The desktop's versions of the services the program uses: error boxes for exceptions, and the desktop's MIME
// database for the image-file layer. Message boxes, file and colour dialogs, the opener, help, clipboard,
// sound and screens are the services' own Qt defaults.

#include "platform/imaging/Image.h"

#include <string>
#include <string_view>

namespace ovrel::ui {

/// The MIME type the desktop gives a file extension (".heic" or "heic"); "" when it knows none.
[[nodiscard]] std::string DesktopContentType(std::string_view extension);

/// Puts the error-box exception handler in place of the one that writes to standard error.
void InstallDesktopExceptionHandler();

/// Installs every desktop service; the program calls it first thing at start-up. Inline so that the UI
/// layer itself needs no link to the image-file layer: the program links both.
inline void InstallDesktopServices()
{
    InstallDesktopExceptionHandler();
    imaging::SetContentTypeResolver(&DesktopContentType);
}

}  // namespace ovrel::ui
