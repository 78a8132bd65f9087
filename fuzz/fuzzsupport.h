// Shared pieces of the fuzz targets: a property check that stops the run with
// the input that broke it, and the split of one input into several fields.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// The entry point every target defines; libFuzzer or the replay driver calls it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace umbrill::fuzz {

[[noreturn]] inline void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
    std::abort();
}

// A property that holds for every input. Unlike assert it stays on in release builds.
#define UMBRILL_FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::umbrill::fuzz::fail(#condition, __FILE__, __LINE__))

inline constexpr char kFieldSeparator = '\x1F';

// The input as up to `count` fields separated by 0x1F (the unit separator); the
// last field takes the rest, separators included. Missing fields are empty.
inline std::vector<std::string_view> splitFields(std::string_view input, std::size_t count)
{
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t stop = input.find(kFieldSeparator);
        if (stop == std::string_view::npos)
            break;
        fields.push_back(input.substr(0, stop));
        input.remove_prefix(stop + 1);
    }
    fields.push_back(input);
    fields.resize(count);
    return fields;
}

// Calls `each` with every line of the text, a line ending at CR or LF (a CRLF
// gives an empty line between). Two library searches run ahead over the text,
// so a long text costs one pass, not a call a byte.
template <class Each>
void forEachLine(std::string_view text, Each each)
{
    std::size_t cr = text.find('\r');
    std::size_t lf = text.find('\n');
    for (std::size_t pos = 0;;) {
        if (cr < pos)
            cr = text.find('\r', pos);
        if (lf < pos)
            lf = text.find('\n', pos);
        const std::size_t end = std::min({cr, lf, text.size()});
        each(text.substr(pos, end - pos));
        if (end == text.size())
            return;
        pos = end + 1;
    }
}

inline std::string_view asText(const std::uint8_t *data, std::size_t size)
{
    return {reinterpret_cast<const char *>(data), size};
}

// ASCII case folding, as the readers compare names.
inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace umbrill::fuzz
