// Fuzz target of the merged catalogue that the language dialog lists: the
// shipped list's items come first, as they stand; then each name of the
// user's list that it lacks and an entry can have, once; then the extra name
// (Recent) where it is new.
#include "fuzzsupport.h"

#include "core/pad/ownlanguages.h"
#include "core/text/ansi.h"
#include "core/text/commalist.h"

#include <algorithm>
#include <unordered_set>

namespace {

using namespace umbrill;

// Names as the catalogue compares them: ASCII letters folded. Held in a set,
// so that a list of thousands of names is checked in linear time.
std::string folded(std::string_view name)
{
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

std::unordered_set<std::string> foldedSet(const std::vector<std::string> &names)
{
    std::unordered_set<std::string> set;
    for (const std::string &name : names)
        set.insert(folded(name));
    return set;
}

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
    // Each added name is new, once, and can be an entry's name.
    const std::unordered_set<std::string> shippedSet = foldedSet(shippedNames);
    std::unordered_set<std::string> seen = shippedSet;
    std::size_t added = 0;
    for (std::size_t i = shippedNames.size(); i < merged.size(); ++i) {
        const std::string &name = merged[i];
        UMBRILL_FUZZ_CHECK(!name.empty() && !holdsLineBreakOrNul(name));
        UMBRILL_FUZZ_CHECK(seen.insert(folded(name)).second);
        ++added;
    }
    // Every name of the user's list that an entry can have is listed.
    const std::unordered_set<std::string> listed = foldedSet(merged);
    for (const std::string &name : splitCommaList(own)) {
        if (!name.empty() && !holdsLineBreakOrNul(name))
            UMBRILL_FUZZ_CHECK(listed.contains(folded(name)));
    }
    if (!extra.empty()) {
        UMBRILL_FUZZ_CHECK(listed.contains(folded(extra)));
        UMBRILL_FUZZ_CHECK(added > 0 || shippedSet.contains(folded(extra)));
    }
    return 0;
}
