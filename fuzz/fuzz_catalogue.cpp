// Fuzz target of the merged catalogue that the language dialog lists: the
// shipped list's items come first, as they stand; then each name of the
// user's list that it lacks and an entry can have, once; then the extra name
// (Recent) where it is new.
#include "fuzzsupport.h"

#include "core/pad/ownlanguages.h"
#include "core/text/ansi.h"
#include "core/text/commalist.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace {

using namespace umbrill;

// Names as the catalogue compares them, ASCII letters folded, in a set of
// views into the lists: a list of thousands of names is checked in linear
// time, with no folded copy of each. Letters fold through a table, which
// costs the fuzz build no comparison hook a byte.
constexpr std::array<unsigned char, 256> kFolded = [] {
    std::array<unsigned char, 256> table{};
    for (std::size_t c = 0; c < table.size(); ++c)
        table[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return table;
}();
unsigned char foldedByte(char c) { return kFolded[static_cast<unsigned char>(c)]; }

struct FoldedHash {
    std::size_t operator()(std::string_view name) const noexcept
    {
        std::size_t hash = 0;
        for (char c : name)
            hash = hash * 31 + foldedByte(c);
        return hash;
    }
};
struct FoldedEqual {
    bool operator()(std::string_view a, std::string_view b) const noexcept
    {
        return umbrill::fuzz::equalsIgnoringAsciiCase(a, b);
    }
};
using FoldedSet = std::unordered_set<std::string_view, FoldedHash, FoldedEqual>;

} // namespace

// Layout: shipped list 0x1F user's list as its line holds it 0x1F extra name.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::string_view> fields = umbrill::fuzz::splitFields(umbrill::fuzz::asText(data, size), 3);
    const std::string_view shipped = fields[0];
    const std::string own = ownListText(fields[1]);
    // The extra name is the program's own caption: never a line break or NUL.
    std::string extra(fields[2]);
    std::erase_if(extra, [](char c) { return c == '\0' || c == '\r' || c == '\n'; });
    const std::vector<std::string> merged = splitCommaList(mergedCatalogue(shipped, own, extra));
    const std::vector<std::string> shippedNames = splitCommaList(shipped);

    UMBRILL_FUZZ_CHECK(merged.size() >= shippedNames.size());
    UMBRILL_FUZZ_CHECK(std::equal(shippedNames.begin(), shippedNames.end(), merged.begin()));
    // Each added name is new, once, and can be an entry's name; then every
    // name merged is in the set.
    FoldedSet listed(shippedNames.begin(), shippedNames.end());
    const bool extraShipped = listed.contains(extra);
    for (std::size_t i = shippedNames.size(); i < merged.size(); ++i) {
        const std::string &name = merged[i];
        UMBRILL_FUZZ_CHECK(!name.empty() && !holdsLineBreakOrNul(name));
        UMBRILL_FUZZ_CHECK(listed.insert(name).second);
    }
    // Every name of the user's list that an entry can have is listed.
    for (const std::string &name : splitCommaList(own)) {
        if (!name.empty() && !holdsLineBreakOrNul(name))
            UMBRILL_FUZZ_CHECK(listed.contains(name));
    }
    if (!extra.empty()) {
        UMBRILL_FUZZ_CHECK(listed.contains(extra));
        UMBRILL_FUZZ_CHECK(merged.size() > shippedNames.size() || extraShipped);
    }
    return 0;
}
