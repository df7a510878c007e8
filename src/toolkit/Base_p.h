#pragma once

// Helpers shared by the non-UI sources of the class library; not part of its API.

#include "toolkit/DateUtils.h"
#include "toolkit/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ovrel::toolkit::detail {

/// The text of an errno value, for messages.
std::string ErrnoText(int error);

/// Seconds and nanoseconds since the Unix epoch as a local date-time.
TDateTime LocalDateTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

/// The bytes of a text file as UTF-8: a leading byte-order mark dropped, lines that are not valid UTF-8
/// read as Latin-1.
std::string TextBytesToUtf8(std::string_view bytes);

/// Calls `line` for each line of the text; LF, CR LF and CR end a line, and a final break adds no line.
template <class F> void ForEachLine(std::string_view text, F&& line)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            line(text.substr(start));
            return;
        }
        line(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

/// A strftime date or time pattern of the locale as one of ours. The first separator met is stored in
/// `separator` and written as `placeholder`, so the pattern follows DateSeparator / TimeSeparator.
std::string PatternFromStrftime(std::string_view format, char placeholder, char& separator);

/// The value `tryConvert` makes of the text, or EConvertError("'text' is not a valid <what>").
template <class T, class Try> T ConvertOrRaise(std::string_view text, std::string_view what, Try&& tryConvert)
{
    T value{};
    if (!tryConvert(value))
        throw EConvertError("'" + std::string(text) + "' is not a valid " + std::string(what));
    return value;
}

/// BeginUpdate now, EndUpdate when the scope ends, also by an exception.
template <class T> class TUpdateScope {
public:
    explicit TUpdateScope(T& target) : FTarget(target) { FTarget.BeginUpdate(); }
    ~TUpdateScope() { FTarget.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    T& FTarget;
};

}  // namespace ovrel::toolkit::detail
