// The rule of the general error display's text.
#include "core/text/error.h"

namespace umbrill {

std::string errorDisplayText(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

} // namespace umbrill
