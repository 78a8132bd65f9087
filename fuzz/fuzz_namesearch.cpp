// Fuzz target of the search by name. Whatever the query, nothing may crash and
// the results are findable characters, each once, at most the limit asked for;
// a longer query than the part that is read finds what that part finds; a
// query that is one findable character, not a blank, finds it first.
#include "fuzzsupport.h"

#include "core/names/namesearch.h"
#include "core/text/ansi.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <set>

namespace {

using namespace umbrill;

bool findable(char32_t c)
{
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) && u_charType(static_cast<UChar32>(c)) != U_UNASSIGNED;
}

void checkQuery(const NameIndex &index, std::u16string_view query, std::size_t limit)
{
    const std::vector<char32_t> found = index.find(query, limit);
    UMBRILL_FUZZ_CHECK(found.size() <= limit);
    UMBRILL_FUZZ_CHECK(std::set<char32_t>(found.begin(), found.end()).size() == found.size());
    for (const char32_t c : found)
        UMBRILL_FUZZ_CHECK(findable(c));
    if (query.size() > kQueryLimit)
        UMBRILL_FUZZ_CHECK(found == index.find(query.substr(0, kQueryLimit), limit));
    const std::u32string points = codePointsFromWide(query);
    // Blanks around a query are not read, so a blank alone finds nothing.
    const bool blank = points.size() == 1 && (points[0] <= 0x20 || u_isUWhiteSpace(static_cast<UChar32>(points[0])));
    if (limit > 0 && points.size() == 1 && !blank && wideFromCodePoint(points[0]) == query && findable(points[0]))
        UMBRILL_FUZZ_CHECK(!found.empty() && found.front() == points[0]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const NameIndex index;
    const std::string_view input = umbrill::fuzz::asText(data, size);
    // The first byte picks the limit; the rest is the query, once as UTF-8 and
    // once as UTF-16 units (lone surrogates included).
    const std::size_t limit = input.empty() ? kFindLimit : static_cast<unsigned char>(input.front()) % 8 == 0 ? 0
                                                                                                      : kFindLimit;
    const std::string_view text = input.empty() ? input : input.substr(1);
    checkQuery(index, wideFromUtf8(repairedUtf8(text)), limit);
    std::u16string units;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(text[i + 1]) << 8);
    checkQuery(index, units, limit);
    return 0;
}
