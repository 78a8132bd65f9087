// Names of the running pad, and the language a command line names.
#include "core/pad/onepad.h"

#include <algorithm>

namespace umbrill {
namespace {

std::string spelled(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) {
            out += c;
        } else {
            out += '_';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

} // namespace

std::string displayKey(std::string_view x11Display, std::string_view waylandDisplay)
{
    if (!x11Display.empty()) {
        // host:display.screen: the screen is part of the same display.
        const auto colon = x11Display.rfind(':');
        const auto dot = x11Display.rfind('.');
        if (colon != std::string_view::npos && dot != std::string_view::npos && dot > colon)
            x11Display = x11Display.substr(0, dot);
        return std::string(x11Display);
    }
    if (!waylandDisplay.empty())
        return std::string(waylandDisplay);
    return "none";
}

std::string padBusName(std::string_view displayKey) { return "org.example.Umbrill.d" + spelled(displayKey); }

std::string padSocketName(std::string_view displayKey) { return "umbrill-" + spelled(displayKey) + ".socket"; }

std::optional<std::size_t> findLanguageName(const std::vector<std::string> &names, std::string_view wanted)
{
    if (const auto exact = std::ranges::find(names, wanted); exact != names.end())
        return static_cast<std::size_t>(exact - names.begin());
    std::optional<std::size_t> found;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (!sameIgnoringAsciiCase(names[k], wanted))
            continue;
        if (found)
            return std::nullopt;
        found = k;
    }
    return found;
}

} // namespace umbrill
