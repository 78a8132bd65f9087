// Fuzz target of what the pad reads back from the last run: the "x,y" values
// of a place or a size, how they come back on a screen, and the Recent list.
// A pair reads back as written; a size or place that comes back lies on the
// screen; Recent holds real characters only, each once, at most its limit, and
// reads back as it was written.
#include "fuzzsupport.h"

#include "core/keypad/keygrid.h"
#include "core/pad/ownlanguages.h"
#include "core/pad/padstate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>

namespace {

using namespace umbrill;

void checkPair(std::string_view text)
{
    const auto pair = numberPair(text);
    if (!pair)
        return;
    UMBRILL_FUZZ_CHECK(numberPair(pairText(pair->first, pair->second)) == pair);
}

// Four 32-bit numbers from the bytes, zero where the input is short.
std::array<std::int32_t, 4> numbersOf(std::string_view bytes)
{
    std::array<std::int32_t, 4> numbers{};
    if (!bytes.empty())
        std::memcpy(numbers.data(), bytes.data(), std::min(bytes.size(), sizeof numbers));
    return numbers;
}

// A screen area of any place and a plausible size, and what comes back on it.
void checkOnScreen(std::string_view areaBytes, const std::optional<std::pair<std::int32_t, std::int32_t>> &size,
                   const std::optional<std::pair<std::int32_t, std::int32_t>> &place)
{
    const auto a = numbersOf(areaBytes);
    const ScreenRect area{a[0] % 100000, a[1] % 100000, 1 + std::abs(a[2] % 16384), 1 + std::abs(a[3] % 16384)};
    const GridSize minimum{std::abs(a[2] % 700), std::abs(a[3] % 500)};
    if (size) {
        const GridSize bounded = sizeOnScreen({size->first, size->second}, minimum, area);
        UMBRILL_FUZZ_CHECK(bounded.width >= 1 && bounded.width <= area.width);
        UMBRILL_FUZZ_CHECK(bounded.height >= 1 && bounded.height <= area.height);
        UMBRILL_FUZZ_CHECK(bounded.width >= std::min(minimum.width, area.width));
        UMBRILL_FUZZ_CHECK(bounded.height >= std::min(minimum.height, area.height));
        if (place) {
            if (const auto back = placeBackOnScreen({place->first, place->second}, bounded, area)) {
                // The whole window lies on the area.
                UMBRILL_FUZZ_CHECK(back->left >= area.left && back->top >= area.top);
                UMBRILL_FUZZ_CHECK(std::int64_t(back->left) + bounded.width <= std::int64_t(area.left) + area.width);
                UMBRILL_FUZZ_CHECK(std::int64_t(back->top) + bounded.height <= std::int64_t(area.top) + area.height);
            }
        }
    }
}

bool realCharacter(std::int32_t code)
{
    return code >= 0x20 && !(code >= 0x7F && code <= 0x9F) && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

void checkRecent(std::string_view text, std::string_view added)
{
    RecentCharacters recent = RecentCharacters::fromText(text);
    const auto check = [](const RecentCharacters &r) {
        const std::vector<std::int32_t> &codes = r.codes();
        UMBRILL_FUZZ_CHECK(codes.size() <= kRecentLimit);
        UMBRILL_FUZZ_CHECK(std::set<std::int32_t>(codes.begin(), codes.end()).size() == codes.size());
        for (const std::int32_t code : codes)
            UMBRILL_FUZZ_CHECK(realCharacter(code) && recentCode(code) == code);
        UMBRILL_FUZZ_CHECK(RecentCharacters::fromText(r.toText()).codes() == codes);
    };
    check(recent);
    // The list holds kRecentLimit codes: a few times that many adds go through
    // every way it changes, and a long input costs no more than that.
    constexpr std::size_t kMostAdds = 4 * kRecentLimit;
    for (std::size_t pos = 0; pos + 4 <= added.size() && pos < 4 * kMostAdds; pos += 4) {
        std::int32_t code = 0;
        std::memcpy(&code, added.data() + pos, 4);
        const std::vector<std::int32_t> before = recent.codes();
        const bool changed = recent.add(code);
        const auto kept = recentCode(code);
        UMBRILL_FUZZ_CHECK(changed == (kept && (before.empty() || before.front() != *kept)));
        UMBRILL_FUZZ_CHECK(!kept || recent.codes().front() == *kept);
        UMBRILL_FUZZ_CHECK(recent.codes().size() <= kRecentLimit);
    }
    check(recent);
}

} // namespace

// Layout: text 0x1F area bytes 0x1F codes to add (4 bytes each). The text is
// read as a pair and as a Recent list; its halves around the first ';' as a
// size and a place.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::string_view> fields = umbrill::fuzz::splitFields(umbrill::fuzz::asText(data, size), 3);
    const std::string_view text = fields[0];
    checkPair(text);
    const std::size_t split = text.find(';');
    const std::string_view first = text.substr(0, split);
    const std::string_view second = split == std::string_view::npos ? std::string_view() : text.substr(split + 1);
    checkPair(first);
    checkPair(second);
    checkOnScreen(fields[1], numberPair(first), numberPair(second));
    checkRecent(text, fields[2]);
    return 0;
}
