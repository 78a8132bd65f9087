// What the store-writer helper writes, shared with the tests that check it: a
// self-checking value per version, so that a file holding a mix of two writes
// cannot pass for either.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill::testing {

// "<version>:" then letters whose length and order depend on the version, then ":end".
inline std::string versionText(std::size_t version)
{
    std::string text = std::to_string(version) + ":";
    const std::size_t length = 200 + (version * 37) % 1500;
    for (std::size_t i = 0; i < length; ++i)
        text += static_cast<char>('a' + (version + i) % 26);
    return text + ":end";
}

// The version a text was made for, or nullopt when it is not exactly one.
inline std::optional<std::size_t> versionOf(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos || colon > 9)
        return std::nullopt;
    std::size_t version = 0;
    for (char c : text.substr(0, colon)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        version = version * 10 + static_cast<std::size_t>(c - '0');
    }
    if (versionText(version) != text)
        return std::nullopt;
    return version;
}

} // namespace umbrill::testing
