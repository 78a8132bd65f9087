// Line splitting of the stores' files.
#include "core/text/lines.h"

#include <cstring>

namespace umbrill {

LineSpan lineAt(std::string_view text, std::size_t pos, LineBreaks breaks)
{
    // One memchr for each kind of break over the line, never a call per byte.
    const char *const begin = text.data() + pos;
    const std::size_t rest = text.size() - pos;
    const void *const lf = std::memchr(begin, '\n', rest);
    std::size_t length = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - begin) : rest;
    if (breaks == LineBreaks::LfCrLfOrCr) {
        if (const void *cr = std::memchr(begin, '\r', length))
            length = static_cast<std::size_t>(static_cast<const char *>(cr) - begin);
    }
    LineSpan line;
    line.begin = pos;
    if (length == rest) {
        line.contentEnd = line.end = text.size(); // a CR that ends the file stays in its last line
        return line;
    }
    const std::size_t stop = pos + length;
    line.contentEnd = stop;
    line.end = stop + 1;
    if (text[stop] == '\r' && line.end < text.size() && text[line.end] == '\n')
        ++line.end;
    else if (text[stop] == '\n' && stop > pos && text[stop - 1] == '\r')
        --line.contentEnd;
    return line;
}

} // namespace umbrill
