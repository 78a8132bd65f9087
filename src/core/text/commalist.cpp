// Splitting and number rules shared by every reader of the data file.
#include "core/text/commalist.h"

#include "core/text/error.h"

#include <algorithm>
#include <optional>

namespace umbrill {
namespace {

bool isSeparatorChar(char c) { return static_cast<unsigned char>(c) <= 32; }
bool isSkippable(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

struct Parsed {
    std::int64_t value = 0;
    std::size_t end = 0;  // one past the last character used
    bool anyDigit = false;
    bool overflow = false;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads as much of a number as fits; `end` says where it stopped.
Parsed parseNumber(std::string_view s)
{
    Parsed p;
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::int64_t limit = negative ? 2147483648LL : (base == 16 ? 4294967295LL : 2147483647LL);
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int d = base == 16 ? hexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (d < 0)
            break;
        const std::int64_t next = value * base + d;
        if (next > limit) {
            p.overflow = true;
            break;
        }
        value = next;
        p.anyDigit = true;
    }
    p.end = i;
    if (base == 16 && value > 2147483647LL)
        value -= 4294967296LL;  // $FFFFFFFF is -1, as a 32-bit pattern
    p.value = negative ? -value : value;
    return p;
}

} // namespace

std::vector<std::string> splitCommaList(std::string_view text)
{
    std::vector<std::string> items;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isSkippable(text[i]))
        ++i;
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                // The text up to the next quote goes in whole.
                const std::size_t quote = std::min(text.find('"', i), n);
                item.append(text.substr(i, quote - i));
                i = quote;
                if (i == n)
                    break;
                if (i + 1 < n && text[i + 1] == '"') {
                    item += '"';
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
        } else {
            const std::size_t start = i;
            while (i < n && text[i] != ',' && !isSeparatorChar(text[i]))
                ++i;
            item.assign(text.substr(start, i - start));
        }
        items.push_back(std::move(item));
        while (i < n && isSkippable(text[i]))
            ++i;
        if (i < n && text[i] == ',') {
            ++i;
            if (i == n) {
                items.emplace_back();
                break;
            }
            while (i < n && isSkippable(text[i]))
                ++i;
        } else if (i < n && text[i] == '\0') {
            ++i;  // a NUL is neither an item nor skippable; step over it
        }
    }
    return items;
}

std::optional<std::int32_t> strictNumber(std::string_view item)
{
    const Parsed p = parseNumber(item);
    if (!p.anyDigit || p.overflow || p.end != item.size())
        return std::nullopt;
    return static_cast<std::int32_t>(p.value);
}

std::int32_t strictToInt(std::string_view item)
{
    if (const std::optional<std::int32_t> value = strictNumber(item))
        return *value;
    throw Error("'" + std::string(item) + "' is not a valid integer value");
}

std::int32_t lenientToInt(std::string_view item)
{
    return static_cast<std::int32_t>(parseNumber(item).value);
}

std::string decimalText(std::int64_t value) { return std::to_string(value); }

} // namespace umbrill
