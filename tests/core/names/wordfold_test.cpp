// Folding for the search, and the table of everyday words built from the
// Debian packages' data: each source present in its own form, nothing a user
// cannot be offered.
#include "core/names/everydaywords.h"
#include "core/names/wordfold.h"

#include "core/names/charnames.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <set>
#include <string>
#include <tuple>

namespace umbrill {
namespace {

TEST(WordFold, FoldsCaseAccentsLigaturesAndSeparators)
{
    struct Row {
        const char *text;
        const char *folded;
    };
    const Row rows[] = {
        {"H\u00E4kchen", "HAKCHEN"},
        {"c\u0153ur", "COEUR"},
        {"C\u0152UR", "COEUR"},
        {"Stra\u00DFe", "STRASSE"},
        {"\u00C6sir \u00F8re \u0141\u00F3d\u017A", "AESIR ORE LODZ"},
        {"e\u0301", "E"},  // a combining accent after its letter
        {"symbole de l\u2019infini", "SYMBOLE DE L INFINI"},
        {"plus-minus", "PLUS MINUS"},
        {"  signo m\u00E1s/menos  ", "SIGNO MAS MENOS"},
        {"\u03BA\u03B1\u03C1\u03B4\u03B9\u03AC", "\u039A\u0391\u03A1\u0394\u0399\u0391"},
        {"+1", "1"},
        {"--", ""},
        {"", ""},
        {"a\xFF\xFE" "b", "A B"},  // bytes that are not UTF-8 separate
        {"\xE2\x82", ""},          // a sequence cut short
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(foldForSearch(row.text), row.folded);
    }
}

TEST(EverydayWords, TableHoldsEachSourceInItsForm)
{
    const std::string_view text = everydayWordText();
    std::set<std::tuple<char32_t, EverydayKind, std::string_view>> rows;
    std::set<std::tuple<char32_t, EverydayKind, std::string_view, std::uint8_t>> seen;
    for (const EverydayWord &word : everydayWords()) {
        ASSERT_LE(std::size_t{word.textOffset()} + word.textLength(), text.size());
        const std::string_view words = text.substr(word.textOffset(), word.textLength());
        SCOPED_TRACE(codePointLabel(word.character) + " " + std::string(words));
        ASSERT_FALSE(words.empty());
        EXPECT_TRUE(rows.emplace(word.character, word.kind(), words).second) << "a row twice";
        seen.emplace(word.character, word.kind(), words, word.languages());
        const auto type = u_charType(static_cast<UChar32>(word.character));
        EXPECT_TRUE(type != U_UNASSIGNED && type != U_CONTROL_CHAR && type != U_SURROGATE && type != U_PRIVATE_USE_CHAR);
        EXPECT_LT(word.languages(), 16);
        if (word.kind() == EverydayKind::Sequence) {
            // Typed keys: printable ASCII without blanks, in every language.
            for (char c : words)
                EXPECT_TRUE(c > ' ' && c < 0x7F) << "not a typed key";
            // A single key comes of a dead key's sequence, which a search field never sees.
            EXPECT_GE(words.size(), 2u);
            EXPECT_EQ(word.languages(), 0);
        } else {
            EXPECT_EQ(foldForSearch(words), words) << "not folded";
            EXPECT_NE(word.languages(), 0);
        }
    }
    // One row from each source, in its language.
    const std::tuple<char32_t, EverydayKind, std::string_view, std::uint8_t> samples[] = {
        {0x00DF, EverydayKind::Words, "ESZETT", kWordEnglish},         // Unicode's informal alias
        {0x2714, EverydayKind::Tag, "HAKCHEN", kWordGerman},           // CLDR tag
        {0x00B4, EverydayKind::Words, "ACCENT AIGU", kWordFrench},     // CLDR name
        {0x00F8, EverydayKind::Sequence, "o/", 0},                     // Compose
        {0x00C6, EverydayKind::Sequence, "AE", 0},                     // Compose, its case kept
        {0x2260, EverydayKind::Sequence, "!=", 0},                     // our own list
        {0x00DF, EverydayKind::Words, "SCHARFES S", kWordGerman},      // our own list
    };
    for (const auto &sample : samples) {
        SCOPED_TRACE(std::string(std::get<2>(sample)));
        EXPECT_TRUE(seen.count(sample));
    }
}

} // namespace
} // namespace umbrill
