// Lines and blanks of the line-based files the program reads and edits in
// place: a line is found where it starts, so that a reader walks the file's
// bytes without copying them.
#pragma once

#include <cstddef>
#include <string_view>

namespace umbrill {

// Which bytes end a line.
enum class LineBreaks {
    LfOrCrLf,   // LF and CRLF; a CR elsewhere is part of the line
    LfCrLfOrCr, // LF, CRLF and a lone CR
};

struct LineSpan {
    std::size_t begin = 0;
    std::size_t contentEnd = 0; // where the line break starts
    std::size_t end = 0;        // after the line break
};

// The line that starts at pos (pos < text.size()).
LineSpan lineAt(std::string_view text, std::size_t pos, LineBreaks breaks);

// s less the characters at either end for which isBlank is true.
template <typename IsBlank>
constexpr std::string_view trimmed(std::string_view s, IsBlank isBlank)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace umbrill
