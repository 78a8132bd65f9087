// Fuzz target of the generated languages' file: any bytes read as the file
// give languages whose codes are plain, listed once, each with an entry and a
// name in every interface language; the catalogue built from them, and its
// filter, hold for any query (the input's first line).
#include "fuzzsupport.h"

#include "core/pad/catalogue.h"

#include <set>

namespace {

using namespace umbrill;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input = umbrill::fuzz::asText(data, size);
    const GeneratedLanguages read = GeneratedLanguages::fromBytes(input);
    std::set<std::string> codes;
    for (const GeneratedLanguage &language : read.languages()) {
        UMBRILL_FUZZ_CHECK(!language.code.empty());
        UMBRILL_FUZZ_CHECK(language.code.find_first_not_of(
                               "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_")
                           == std::string::npos);
        UMBRILL_FUZZ_CHECK(codes.insert(language.code).second);
        UMBRILL_FUZZ_CHECK(!language.entry.empty() && language.entry.size() <= 2047);
        for (const std::string &name : language.names)
            UMBRILL_FUZZ_CHECK(!name.empty());
        UMBRILL_FUZZ_CHECK(read.byCode(language.code) == &language);
        UMBRILL_FUZZ_CHECK(generatedCode(generatedKey(language.code)) == language.code);
    }
    for (InterfaceLanguage language : {InterfaceLanguage::English, InterfaceLanguage::German}) {
        std::vector<CatalogueEntry> entries = listedEntries({"Shipped"}, 1);
        appendGenerated(entries, read, language);
        UMBRILL_FUZZ_CHECK(entries.size() <= read.languages().size() + 1);
        const std::string query = filterQuery(input.substr(0, input.find('\n')));
        for (const CatalogueEntry &entry : entries) {
            static_cast<void>(filterMatches(entry, query));
            UMBRILL_FUZZ_CHECK(entry.kind == CatalogueKind::Shipped || generatedCode(entry.key).has_value());
        }
        if (const GeneratedLanguage *named = read.named(input.substr(0, 40), language))
            UMBRILL_FUZZ_CHECK(read.byCode(named->code) == named);
    }
    return 0;
}
