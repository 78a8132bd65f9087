// Fuzz target of Find's search and its folding of words. Nothing may crash;
// the results are distinct characters a user can pick, at most the limit; a
// longer query than the part that is read finds what that part finds; a query
// that is one findable character, not a blank, finds it first; a folded text
// is UTF-8 of single blanks between words, and folds to itself.
#include "fuzzsupport.h"

#include "core/names/namesearch.h"
#include "core/names/wordfold.h"
#include "core/text/ansi.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace {

using namespace umbrill;

void checkFolded(std::string_view text)
{
    const std::string folded = foldForSearch(text);
    UMBRILL_FUZZ_CHECK(folded.empty() || (folded.front() != ' ' && folded.back() != ' '));
    UMBRILL_FUZZ_CHECK(folded.find("  ") == std::string::npos);
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(folded.data());
    const auto size = static_cast<int32_t>(folded.size());
    for (int32_t i = 0; i < size;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, size, c);
        UMBRILL_FUZZ_CHECK(c > 0);
    }
    UMBRILL_FUZZ_CHECK(foldForSearch(folded) == folded);
}

bool findable(char32_t c)
{
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) && u_charType(static_cast<UChar32>(c)) != U_UNASSIGNED;
}

void checkQuery(std::u16string_view query, const FindOptions &options)
{
    const std::vector<char32_t> found = NameIndex::shared().find(query, options);
    UMBRILL_FUZZ_CHECK(found.size() <= options.limit);
    UMBRILL_FUZZ_CHECK(std::set<char32_t>(found.begin(), found.end()).size() == found.size());
    for (char32_t c : found)
        UMBRILL_FUZZ_CHECK(findable(c));
    if (query.size() > kQueryLimit)
        UMBRILL_FUZZ_CHECK(found == NameIndex::shared().find(query.substr(0, kQueryLimit), options));
    // Blanks around a query are not read, so a blank alone finds nothing.
    const std::u32string points = codePointsFromWide(query);
    const bool one = points.size() == 1 && wideFromCodePoint(points[0]) == query;
    if (one && !options.drawable && points[0] > 0x20 && !u_isUWhiteSpace(static_cast<UChar32>(points[0]))
        && findable(points[0]))
        UMBRILL_FUZZ_CHECK(!found.empty() && found.front() == points[0]);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input = umbrill::fuzz::asText(data, size);
    checkFolded(input);
    // The query as UTF-16 units, two bytes each; the first byte picks the limit and the language.
    if (size < 1)
        return 0;
    // Past kQueryLimit a query is cut; a few units more show that, and a
    // longer one would only slow the search down.
    constexpr std::size_t kLongestQuery = kQueryLimit + 16;
    std::u16string query(std::min((size - 1) / 2, kLongestQuery), u'\0');
    std::memcpy(query.data(), data + 1, query.size() * 2);
    FindOptions options;
    options.limit = data[0] % 4 == 0 ? 7 : kFindLimit;
    if (data[0] & 4)
        options.language = static_cast<InterfaceLanguage>((data[0] >> 3) % 4);
    if (data[0] & 64)
        options.drawable = [](char32_t c) { return c % 3 != 0; };
    // The query as UTF-16 units or, with the top bit, the same bytes as UTF-8
    // text, as a user types or pastes it: one search an input.
    if (data[0] & 128)
        checkQuery(wideFromUtf8(repairedUtf8(input.substr(1, 4 * kLongestQuery))), options);
    else
        checkQuery(query, options);
    return 0;
}
