// Fuzz target of Find's search and its folding of words. Nothing may crash;
// the results are distinct characters a user can pick, at most the limit; a
// folded text is UTF-8 of single blanks between words, and folds to itself.
#include "fuzzsupport.h"

#include "core/names/namesearch.h"
#include "core/names/wordfold.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input = umbrill::fuzz::asText(data, size);
    checkFolded(input);
    // The query as UTF-16 units, two bytes each; the first byte picks the limit and the language.
    if (size < 1)
        return 0;
    std::u16string query((size - 1) / 2, u'\0');
    std::memcpy(query.data(), data + 1, query.size() * 2);
    FindOptions options;
    options.limit = data[0] % 4 == 0 ? 7 : kFindLimit;
    if (data[0] & 4)
        options.language = static_cast<InterfaceLanguage>((data[0] >> 3) % 4);
    if (data[0] & 64)
        options.drawable = [](char32_t c) { return c % 3 != 0; };
    const std::vector<char32_t> found = NameIndex::shared().find(query, options);
    UMBRILL_FUZZ_CHECK(found.size() <= options.limit);
    UMBRILL_FUZZ_CHECK(std::set<char32_t>(found.begin(), found.end()).size() == found.size());
    for (char32_t c : found) {
        UMBRILL_FUZZ_CHECK(c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF));
        UMBRILL_FUZZ_CHECK(u_charType(static_cast<UChar32>(c)) != U_UNASSIGNED);
    }
    return 0;
}
