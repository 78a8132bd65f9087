// Line splitting of the stores' files.
#include "core/text/lines.h"

namespace umbrill {

LineSpan lineAt(std::string_view text, std::size_t pos, LineBreaks breaks)
{
    LineSpan line;
    line.begin = pos;
    const std::size_t stop = text.find_first_of(breaks == LineBreaks::LfOrCrLf ? "\n" : "\r\n", pos);
    if (stop == std::string_view::npos) {
        line.contentEnd = line.end = text.size(); // a CR that ends the file stays in its last line
        return line;
    }
    line.contentEnd = stop;
    line.end = stop + 1;
    if (text[stop] == '\r' && line.end < text.size() && text[line.end] == '\n')
        ++line.end;
    else if (text[stop] == '\n' && stop > pos && text[stop - 1] == '\r')
        --line.contentEnd;
    return line;
}

} // namespace umbrill
