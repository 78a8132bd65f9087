// Fuzz target of the merged catalogue that the language dialog lists: the
// shipped list's items come first, as they stand; then each name of the
// user's list that it lacks and an entry can have, once; then the extra name
// (Recent) where it is new.
#include "fuzzsupport.h"

#include "core/pad/ownlanguages.h"
#include "core/text/ansi.h"
#include "core/text/commalist.h"

#include <algorithm>

namespace {

using namespace umbrill;
using umbrill::fuzz::equalsIgnoringAsciiCase;

bool listedIn(const std::vector<std::string> &names, std::string_view name)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string &n) { return equalsIgnoringAsciiCase(n, name); });
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
    std::vector<std::string> seen = shippedNames;
    std::size_t added = 0;
    for (std::size_t i = shippedNames.size(); i < merged.size(); ++i) {
        const std::string &name = merged[i];
        UMBRILL_FUZZ_CHECK(!name.empty() && !holdsLineBreakOrNul(name));
        UMBRILL_FUZZ_CHECK(!listedIn(seen, name));
        seen.push_back(name);
        ++added;
    }
    // Every name of the user's list that an entry can have is listed.
    for (const std::string &name : splitCommaList(own)) {
        if (!name.empty() && !holdsLineBreakOrNul(name))
            UMBRILL_FUZZ_CHECK(listedIn(merged, name));
    }
    if (!extra.empty()) {
        UMBRILL_FUZZ_CHECK(listedIn(merged, extra));
        UMBRILL_FUZZ_CHECK(added > 0 || listedIn(shippedNames, extra));
    }
    return 0;
}
