#pragma once
// The desktop's versions of the services the program uses: error boxes for exceptions, and the desktop's MIME
// database for the content types of file extensions. Message boxes, file and colour dialogs, the opener, help,
// clipboard, sound and screens are the services' own Qt defaults.

#include <string>
#include <string_view>

namespace ovrel::ui {

/// The MIME type the desktop gives a file extension (".heic" or "heic"); "" when it knows none.
[[nodiscard]] std::string DesktopContentType(std::string_view extension);

/// Puts the error-box exception handler in place of the one that writes to standard error.
void InstallDesktopExceptionHandler();

}  // namespace ovrel::ui
