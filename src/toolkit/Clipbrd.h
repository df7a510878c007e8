#pragma once
// The clipboard as the program reads it: whether it holds text, and the text.

#include <cstdint>
#include <string>

namespace ovrel::toolkit {

inline constexpr std::uint16_t CF_TEXT = 1;

class TClipboard {
public:
    /// Only CF_TEXT is known; any other format is reported absent.
    [[nodiscard]] bool HasFormat(std::uint16_t format) const;
    /// The text on the clipboard, "" when it holds none.
    [[nodiscard]] std::string GetAsText() const;
};

/// The program's clipboard object.
TClipboard* Clipboard();

}  // namespace ovrel::toolkit
