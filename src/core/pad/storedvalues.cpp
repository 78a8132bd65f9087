// How each stored value is written and read back.
#include "core/pad/storedvalues.h"

#include "core/text/commalist.h"
#include "core/text/error.h"

#include <utility>
#include <vector>

namespace umbrill {
namespace {

constexpr std::string_view kSingleCharName = "SingleChar";
constexpr std::string_view kMultipleCharName = "MultipleChar";

} // namespace

std::optional<std::pair<std::int32_t, std::int32_t>> numberPair(std::string_view text)
{
    const std::vector<std::string> items = splitCommaList(text);
    try {
        if (items.size() == 2)
            return std::pair(strictToInt(items[0]), strictToInt(items[1]));
    } catch (const Error &) {
        // damaged: not remembered
    }
    return std::nullopt;
}

std::string pairText(std::int64_t first, std::int64_t second) { return decimalText(first) + "," + decimalText(second); }

std::string asText(std::string_view text) { return std::string(text); }

std::optional<std::string> someText(std::string_view text) { return std::string(text); }

std::optional<std::string> sameText(const std::string &text) { return text; }

std::string textOf(const std::string &text) { return text; }

std::int32_t keySizeOf(std::string_view text) { return lenientToInt(text); }

std::string keySizeText(const std::int32_t &size) { return decimalText(size); }

std::optional<bool> flagOf(std::string_view text)
{
    if (text == "1" || text == "0")
        return text == "1";
    return std::nullopt;
}

std::optional<std::string> flagText(const bool &on) { return on ? "1" : "0"; }

std::optional<KeyPlacement> placementOf(std::string_view text)
{
    if (const auto pair = numberPair(text))
        return KeyPlacement{pair->first, pair->second};
    return std::nullopt;
}

std::optional<std::string> placementText(const KeyPlacement &place) { return pairText(place.left, place.top); }

std::optional<InputMode> modeOf(std::string_view text)
{
    if (text == kSingleCharName)
        return InputMode::SingleChar;
    if (text == kMultipleCharName)
        return InputMode::MultipleChar;
    return std::nullopt;
}

std::optional<std::string> modeText(const InputMode &mode)
{
    switch (mode) {
    case InputMode::SingleChar:
        return std::string(kSingleCharName);
    case InputMode::MultipleChar:
        return std::string(kMultipleCharName);
    case InputMode::DirectPaste:
        break;
    }
    return std::nullopt;
}

std::optional<GridSize> positiveSizeOf(std::string_view text)
{
    const auto size = numberPair(text);
    if (size && size->first > 0 && size->second > 0)
        return GridSize{size->first, size->second};
    return std::nullopt;
}

std::optional<std::string> sizeText(const GridSize &size) { return pairText(size.width, size.height); }

} // namespace umbrill
