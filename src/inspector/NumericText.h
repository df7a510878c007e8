#pragma once
// The text rules of the numeric editors, as functions of the text and the editor's settings: filtering a
// text to a number in range, reading it, formatting a value, deciding on a typed key and on a paste. The
// decimal separator is a parameter, so the rules hold for any locale.

#include "toolkit/Classes.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ovrel::inspector {

enum TEditOption : std::uint8_t { eoAllowAll, eoAllowFloat, eoAllowSigns };
using TEditOptions = toolkit::TSet<TEditOption>;

/// The settings of a numeric editor that its text rules depend on.
struct TNumberRules {
    double Max = 0;  // an upper bound only when greater than 0
    double Min = 0;  // always a lower bound
    std::string NullText;  // shown for 0 when not empty
    TEditOptions Options{eoAllowFloat, eoAllowSigns};
    int Precision = 2;  // decimals shown with eoAllowFloat
    std::string TextAfter;  // a unit appended to the number
    char DecimalSeparator = '.';
};

/// Keeps the characters of a number: digits, a leading sign when allowSigns, one separator when allowFloat
/// (and backspace). A lone sign becomes "0"; the result is then brought into the range, a text without
/// digits reading as 0.
[[nodiscard]] std::string FilterNumber(std::string_view text, bool allowFloat, bool allowSigns,
                                       const TNumberRules& rules);
/// The value of an editor's text: 0 for the empty text and for NullText; a trailing TextAfter is no part of
/// the number; the rest filtered as FilterNumber does.
[[nodiscard]] double ReadNumber(std::string_view text, const TNumberRules& rules);
/// The text an editor shows for value: NullText for 0 when set, else the number with Precision decimals
/// (with eoAllowFloat and a Precision above 0) or as short as it reads, followed by TextAfter.
[[nodiscard]] std::string NumberText(double value, const TNumberRules& rules);
/// The typed character key as the editor takes it, or 0 when refused. selStart and selLength are in the
/// edit window's UTF-16 units.
[[nodiscard]] char32_t FilterNumberKey(char32_t key, std::string_view text, int selStart, int selLength,
                                       const TNumberRules& rules);
/// The text after pasting clipboard over the selection: only the fragment's number characters go in, and a
/// fragment without a digit inserts nothing; the range is left to the reformat on leaving the editor.
[[nodiscard]] std::string PasteNumber(std::string_view text, int selStart, int selLength, std::string_view clipboard,
                                      const TNumberRules& rules);

}  // namespace ovrel::inspector
