// Letter case of ASCII only: the stores' names match ignoring it, as the
// Windows functions they stand in for do; other letters match exactly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace umbrill {

// Through a table: names are folded byte by byte, and a comparison a byte
// would cost the fuzz build a hook call a byte.
inline constexpr std::array<char, 256> kAsciiLowerTable = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return table;
}();
constexpr char asciiLower(char c) { return kAsciiLowerTable[static_cast<unsigned char>(c)]; }

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// A hash that ignores ASCII case, as names match (FNV-1a of the lowered
// bytes): a lookup needs no lowered copy of the name.
constexpr std::uint64_t asciiCaselessHash(std::string_view text)
{
    std::uint64_t hash = 14695981039346656037u;
    for (char c : text)
        hash = (hash ^ static_cast<unsigned char>(asciiLower(c))) * 1099511628211u;
    return hash;
}

// Hash and equality for sets and maps of such names.
struct AsciiCaselessHash {
    std::size_t operator()(std::string_view text) const noexcept
    {
        return static_cast<std::size_t>(asciiCaselessHash(text));
    }
};
struct AsciiCaselessEqual {
    bool operator()(std::string_view a, std::string_view b) const noexcept { return equalsIgnoringAsciiCase(a, b); }
};

} // namespace umbrill
