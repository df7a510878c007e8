#pragma once
// The layer's built-in single-line "EDIT" window class over a QLineEdit. The class exists from the first
// class lookup on (Window.cpp registers it); a program may replace it with RegisterClass.

#include "platform/ui/Types.h"

#include <string_view>

namespace ovrel::ui {

inline constexpr std::string_view EDIT_CLASS = "EDIT";

// Edit styles (the low word of the window style).
inline constexpr DWORD ES_LEFT = 0x0000;
inline constexpr DWORD ES_CENTER = 0x0001;
inline constexpr DWORD ES_RIGHT = 0x0002;
inline constexpr DWORD ES_MULTILINE = 0x0004;  // accepted; the window stays single-line
inline constexpr DWORD ES_PASSWORD = 0x0020;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;  // the line always scrolls with the caret
inline constexpr DWORD ES_READONLY = 0x0800;

// The mask an ES_PASSWORD window starts with.
inline constexpr char16_t DefaultPasswordChar = u'*';

// Registers (or re-registers) the class.
void RegisterEditClass();

}  // namespace ovrel::ui
