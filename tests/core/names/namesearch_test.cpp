// The search by name, everyday word, Compose sequence, code, entity or
// character: what comes first, and that bad input finds nothing rather than
// failing. The expected characters are written as codes here, and each row
// checks that its code has the name the row gives, so that a slip in a row
// cannot pass unseen.
#include "core/names/namesearch.h"

#include "core/names/charnames.h"
#include "core/names/everydaywords.h"
#include "core/text/ansi.h"

#include <gtest/gtest.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace umbrill {
namespace {

std::string shown(const std::vector<char32_t> &found)
{
    std::string text;
    for (std::size_t i = 0; i < std::min<std::size_t>(found.size(), 5); ++i)
        text += codePointLabel(found[i]) + " " + characterName(found[i]) + "; ";
    return text;
}

TEST(NameSearch, FindsTheCharacterAUserMeansFirst)
{
    struct Row {
        const char16_t *query;
        char32_t first;
        const char *name;
    };
    const Row rows[] = {
        {u"e acute", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"ACUTE e", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"E acute", 0x00C9, "LATIN CAPITAL LETTER E WITH ACUTE"},
        {u"EURO", 0x20AC, "EURO SIGN"},
        {u"sign euro", 0x20AC, "EURO SIGN"},
        {u"  Euro Sign  ", 0x20AC, "EURO SIGN"},
        {u"arrow left", 0x2190, "LEFTWARDS ARROW"},
        {u"s comma below", 0x0219, "LATIN SMALL LETTER S WITH COMMA BELOW"},
        {u"T COMMA BELOW", 0x021A, "LATIN CAPITAL LETTER T WITH COMMA BELOW"},
        {u"em dash", 0x2014, "EM DASH"},
        {u"no-break space", 0x00A0, "NO-BREAK SPACE"},
        {u"narrow no break", 0x202F, "NARROW NO-BREAK SPACE"},
        {u"thin space", 0x2009, "THIN SPACE"},
        {u"zero width joiner", 0x200D, "ZERO WIDTH JOINER"},
        {u"fatha", 0x064E, "ARABIC FATHA"},
        {u"grinning", 0x1F600, "GRINNING FACE"},
        {u"U+20AC", 0x20AC, "EURO SIGN"},
        {u"u+20ac", 0x20AC, "EURO SIGN"},
        {u"20AC", 0x20AC, "EURO SIGN"},
        {u"8364", 0x20AC, "EURO SIGN"},
        {u"&#8364;", 0x20AC, "EURO SIGN"},
        {u"&#x20ac;", 0x20AC, "EURO SIGN"},
        {u"0x1F600", 0x1F600, "GRINNING FACE"},
        {u"4E00", 0x4E00, "CJK UNIFIED IDEOGRAPH-4E00"},  // ideographs are found by code
        {u"U+E000", 0xE000, "private use U+E000"},
        {u"eacute", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"&Eacute;", 0x00C9, "LATIN CAPITAL LETTER E WITH ACUTE"},
        {u"szlig", 0x00DF, "LATIN SMALL LETTER SHARP S"},
        {u"nbsp", 0x00A0, "NO-BREAK SPACE"},  // a key's label
        {u"ZWJ", 0x200D, "ZERO WIDTH JOINER"},
        {u"o umlaut", 0x00F6, "LATIN SMALL LETTER O WITH DIAERESIS"},
        {u"\u00E9", 0x00E9, "LATIN SMALL LETTER E WITH ACUTE"},
        {u"\u2013", 0x2013, "EN DASH"},
        {u"\U0001F600", 0x1F600, "GRINNING FACE"},
    };
    const NameIndex &index = NameIndex::shared();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(characterName(row.first), row.name);
        const std::vector<char32_t> found = index.find(row.query);
        ASSERT_FALSE(found.empty()) << "nothing found";
        EXPECT_EQ(found.front(), row.first) << "found first: " << shown(found);
    }
}

TEST(NameSearch, ResultsAreDistinctLimitedAndHoldEveryWord)
{
    const NameIndex &index = NameIndex::shared();
    const std::vector<char32_t> letters = index.find(u"letter");
    EXPECT_EQ(letters.size(), kFindLimit);
    EXPECT_EQ(std::set<char32_t>(letters.begin(), letters.end()).size(), letters.size());
    EXPECT_EQ(index.find(u"letter", 7).size(), 7u);

    // Every word in the name or in one everyday word of the character.
    for (char32_t c : index.find(u"arrow left")) {
        const std::string name = characterName(c);
        SCOPED_TRACE(name);
        bool held = name.find("ARROW") != std::string::npos && name.find("LEFT") != std::string::npos;
        for (const EverydayWord &word : everydayWords()) {
            const std::string_view text = everydayWordText().substr(word.textOffset(), word.textLength());
            held = held || (word.character == c && text.find("ARROW") != text.npos && text.find("LEFT") != text.npos);
        }
        EXPECT_TRUE(held);
    }
    // Exact names before names where the words start words, before the rest.
    const std::vector<char32_t> space = index.find(u"space");
    ASSERT_GE(space.size(), 3u);
    EXPECT_EQ(space[0], 0x0020u);  // SPACE
    const auto rest = std::find(space.begin(), space.end(), char32_t{0x2423});  // OPEN BOX, "SPACE" inside no word
    const auto thin = std::find(space.begin(), space.end(), char32_t{0x2009});  // THIN SPACE
    if (rest != space.end()) {
        EXPECT_LT(thin - space.begin(), rest - space.begin());
    }
}

// A thread keeps a search's tables for its next search: what a search finds
// does not depend on what was searched before, nor on the thread.
TEST(NameSearch, ASearchFindsTheSameAfterAnyOther)
{
    const NameIndex &index = NameIndex::shared();
    const std::vector<std::u16string> queries = {u"e", u"arrow left", u"xyzzy", u"heart", u"e accent aigu", u"a"};
    std::vector<std::vector<char32_t>> alone;
    for (const std::u16string &query : queries)
        std::thread([&] { alone.push_back(index.find(query)); }).join();
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < queries.size(); ++i)
            EXPECT_EQ(index.find(queries[i]), alone[i]) << "query " << i << ", round " << round;
    }
}

TEST(NameSearch, BadInputFindsNothingOrLittle)
{
    const NameIndex &index = NameIndex::shared();
    struct Row {
        const char *what;
        std::u16string query;
    };
    const Row nothing[] = {
        {"empty", u""},
        {"blanks", u" \t\u3000 "},
        {"a prefix alone", u"U+"},
        {"beyond Unicode", u"U+110000"},
        {"a huge number", u"U+FFFFFFFFFFFFFFFF"},
        {"a surrogate's code", u"U+D800"},
        {"a surrogate's decimal code", u"&#56320;"},
        {"an unassigned code", u"U+0378"},
        {"a lone surrogate", u"\xD800"},
        {"no such word", u"xyzzyq"},
        {"a word beyond ASCII", u"xyzz\u00E9q"},
    };
    for (const Row &row : nothing) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(index.find(row.query), std::vector<char32_t>{}) << shown(index.find(row.query));
    }
    // A page pasted in: read as far as the query limit, and never more than the limit found.
    std::u16string pasted;
    while (pasted.size() < 10'000)
        pasted += u"latin small letter e with acute ";
    EXPECT_LE(index.find(pasted).size(), kFindLimit);
    EXPECT_TRUE(index.find(std::u16string(10'000, u'a')).empty());
    EXPECT_TRUE(index.find(std::u16string(10'000, u'\xDC00')).empty());
}

// The fixed list of everyday queries in the four interface languages: every
// row marked "must" finds its character first, and in each language at least
// its floor of all rows do. Each language's share is reported.
TEST(NameSearch, EverydayQueriesFindWhatTheyMean)
{
    std::ifstream file(UMBRILL_SOURCE_DIR "/tests/data/find_queries.tsv");
    ASSERT_TRUE(file) << "tests/data/find_queries.tsv is missing";
    struct Language {
        InterfaceLanguage language;
        int floor;  // per cent of the rows that find their character first
        int rows = 0;
        int hits = 0;
    };
    std::map<std::string, Language> languages = {{"en", {InterfaceLanguage::English, 90}},
                                                 {"de", {InterfaceLanguage::German, 90}},
                                                 {"fr", {InterfaceLanguage::French, 90}},
                                                 {"es", {InterfaceLanguage::Spanish, 90}}};
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string query, language, code, must, what;
        std::getline(fields, query, '\t');
        std::getline(fields, language, '\t');
        std::getline(fields, code, '\t');
        std::getline(fields, must, '\t');
        std::getline(fields, what, '\t');
        SCOPED_TRACE("find_queries.tsv:" + std::to_string(number) + " " + query + " (" + language + ")");
        ASSERT_TRUE(languages.count(language));
        ASSERT_TRUE(must == "must" || must == "want");
        ASSERT_EQ(code.substr(0, 2), "U+");
        const auto first = static_cast<char32_t>(std::stoul(code.substr(2), nullptr, 16));
        Language &counts = languages.at(language);
        FindOptions options;
        options.language = counts.language;
        const std::vector<char32_t> found = NameIndex::shared().find(wideFromUtf8(query), options);
        const bool hit = !found.empty() && found.front() == first;
        ++counts.rows;
        counts.hits += hit;
        if (must == "must") {
            EXPECT_TRUE(hit) << "wanted " << codePointLabel(first) << " " << characterName(first)
                             << ", found first: " << shown(found);
        }
    }
    for (const auto &[name, counts] : languages) {
        SCOPED_TRACE(name);
        ASSERT_GE(counts.rows, 30);
        EXPECT_GE(counts.hits * 100, counts.rows * counts.floor)
            << "fewer than " << counts.floor << " % of the everyday queries find their character first";
        std::cout << "[ hit rate ] " << name << ": " << counts.hits << " of " << counts.rows
                  << " everyday queries find their character first (" << (100 * counts.hits + counts.rows / 2) / counts.rows
                  << " %)\n";
    }
}

// A word may differ between languages ("Grad" is the gradient in English and
// the degree in German): the interface language's words win, and the other
// languages' words still match.
TEST(NameSearch, InterfaceLanguageWordsComeFirst)
{
    const NameIndex &index = NameIndex::shared();
    FindOptions english;
    english.language = InterfaceLanguage::English;
    FindOptions german;
    german.language = InterfaceLanguage::German;
    const std::vector<char32_t> inEnglish = index.find(u"Grad", english);
    const std::vector<char32_t> inGerman = index.find(u"Grad", german);
    ASSERT_FALSE(inEnglish.empty());
    ASSERT_FALSE(inGerman.empty());
    EXPECT_EQ(inEnglish.front(), 0x2207u) << shown(inEnglish);  // NABLA, "grad" in English
    EXPECT_EQ(inGerman.front(), 0x00B0u) << shown(inGerman);    // DEGREE SIGN, "Grad" in German
    EXPECT_NE(std::find(inEnglish.begin(), inEnglish.end(), char32_t{0x00B0}), inEnglish.end());

    const std::vector<char32_t> tick = index.find(u"H\u00E4kchen", english);
    ASSERT_FALSE(tick.empty());
    EXPECT_EQ(tick.front(), 0x2714u) << shown(tick);  // HEAVY CHECK MARK, from German words
    // Without an interface language every language's words count alike.
    EXPECT_FALSE(index.find(u"Grad").empty());
}

// Within a meaning the plain sign comes first: the heavy, black or ornament
// form and the single quotation mark go after the plain or double sign found
// with them, and stay where they are when it is not found.
TEST(NameSearch, PlainSignsComeBeforeTheirVariants)
{
    const NameIndex &index = NameIndex::shared();
    auto place = [](const std::vector<char32_t> &found, char32_t c) {
        return std::find(found.begin(), found.end(), c) - found.begin();
    };
    struct Row {
        const char16_t *query;
        InterfaceLanguage language;
        char32_t plain;
        char32_t variant;
    };
    const Row rows[] = {
        {u"fl\u00E8che droite", InterfaceLanguage::French, 0x2192, 0x27A1},  // RIGHTWARDS ARROW, BLACK RIGHTWARDS ARROW
        {u"right arrow", InterfaceLanguage::English, 0x2192, 0x27A1},
        {u"Anf\u00FChrungszeichen unten", InterfaceLanguage::German, 0x201E, 0x201A},  // DOUBLE and SINGLE LOW-9
        {u"comillas", InterfaceLanguage::Spanish, 0x201C, 0x0027},  // LEFT DOUBLE QUOTATION MARK, APOSTROPHE
        {u"Pfeil rechts", InterfaceLanguage::German, 0x2192, 0x27A1},
        {u"arrow", InterfaceLanguage::English, 0x2190, 0x2B05},  // thousands found: LEFTWARDS ARROW, LEFTWARDS BLACK ARROW
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(utf8FromWide(row.query));
        FindOptions options;
        options.language = row.language;
        const std::vector<char32_t> found = index.find(row.query, options);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front(), row.plain) << shown(found);
        EXPECT_GT(place(found, row.variant), place(found, row.plain)) << shown(found);
        EXPECT_LT(place(found, row.variant), static_cast<std::ptrdiff_t>(found.size())) << "the variant is found too";
    }
    // No plain check mark is called "Häkchen": the heavy one stays first.
    FindOptions german;
    german.language = InterfaceLanguage::German;
    EXPECT_EQ(index.find(u"H\u00E4kchen", german).front(), 0x2714u);
    // The pairs come from the names, and a plain sign is never an emoji in colour.
    const auto variants = signVariants();
    EXPECT_TRUE(std::find_if(variants.begin(), variants.end(), [](const SignVariant &v) {
                    return v.variant == 0x2714 && v.plain == 0x2713;  // HEAVY CHECK MARK of CHECK MARK
                }) != variants.end());
    for (const SignVariant &variant : variants) {
        SCOPED_TRACE(codePointLabel(variant.variant));
        EXPECT_NE(variant.variant, variant.plain);
        EXPECT_FALSE(u_hasBinaryProperty(static_cast<UChar32>(variant.plain), UCHAR_EMOJI_PRESENTATION));
    }
}

// Each language's words for accents and signs: a general word for an accent
// is first the acute, Spanish "tilde" is the acute before the tilde (and
// only in Spanish), words for "sign" and little words may go unmatched, a
// word for a capital asks for the capital, and a letter of the four languages
// comes before a rarer one of the same name.
TEST(NameSearch, EachLanguagesWordsForAccentsAndSigns)
{
    const NameIndex &index = NameIndex::shared();
    struct Row {
        const char16_t *query;
        InterfaceLanguage language;
        char32_t first;
    };
    const Row rows[] = {
        {u"e con tilde", InterfaceLanguage::Spanish, 0x00E9},   // é
        {u"n con tilde", InterfaceLanguage::Spanish, 0x00F1},   // ñ, not the Polish ń
        {u"e tilde", InterfaceLanguage::English, 0x1EBD},       // ẽ
        {u"e mit Akzent", InterfaceLanguage::German, 0x00E9},
        {u"e with accent", InterfaceLanguage::English, 0x00E9},
        {u"e accent grave", InterfaceLanguage::French, 0x00E8},
        {u"e mit Dach", InterfaceLanguage::German, 0x00EA},     // CLDR's German word for the circumflex
        {u"a majuscule accent grave", InterfaceLanguage::French, 0x00C0},
        {u"signo de euro", InterfaceLanguage::Spanish, 0x20AC},
        {u"Pfeil nach oben", InterfaceLanguage::German, 0x2191},
        {u"three dots", InterfaceLanguage::English, 0x2026},
        {u"symbole euro", InterfaceLanguage::French, 0x20AC},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(utf8FromWide(row.query));
        FindOptions options;
        options.language = row.language;
        const std::vector<char32_t> found = index.find(row.query, options);
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front(), row.first) << shown(found);
    }
    // A plural meets its singular only as a whole word.
    EXPECT_TRUE(index.find(u"degrees").size() > 0 && index.find(u"degrees").front() == 0x00B0) << shown(index.find(u"degrees"));
    const auto letters = everydayLetters();
    EXPECT_TRUE(std::is_sorted(letters.begin(), letters.end()));
    for (char32_t c : {U'\u00E9', U'\u00C9', U'\u00F1', U'\u00DF', U'\u0153'})
        EXPECT_TRUE(std::binary_search(letters.begin(), letters.end(), c)) << codePointLabel(c);
    for (char32_t c : {U'\u0144', U'\u1EBD'})
        EXPECT_FALSE(std::binary_search(letters.begin(), letters.end(), c)) << codePointLabel(c);
}

// Characters no installed font draws come after every character one draws;
// what a user asked for by code or by itself stays first.
TEST(NameSearch, CharactersNoFontDrawsComeLast)
{
    const NameIndex &index = NameIndex::shared();
    const std::vector<char32_t> all = index.find(u"heart");
    ASSERT_GE(all.size(), 10u);
    const std::set<char32_t> blank = {all[0], all[2]};
    std::map<char32_t, int> asked;
    FindOptions options;
    options.drawable = [&](char32_t c) {
        ++asked[c];
        return !blank.count(c);
    };
    const std::vector<char32_t> drawnFirst = index.find(u"heart", options);
    ASSERT_EQ(std::set<char32_t>(drawnFirst.begin(), drawnFirst.end()), std::set<char32_t>(all.begin(), all.end()));
    EXPECT_EQ(drawnFirst[0], all[1]);
    EXPECT_EQ(drawnFirst[1], all[3]);
    EXPECT_TRUE(blank.count(drawnFirst[drawnFirst.size() - 2]) && blank.count(drawnFirst.back())) << shown(drawnFirst);
    EXPECT_TRUE(std::all_of(asked.begin(), asked.end(), [](const auto &entry) { return entry.second == 1; }));

    // Characters no font draws beyond the limit change nothing.
    FindOptions firstFive;
    firstFive.limit = 5;
    firstFive.drawable = [&](char32_t c) { return std::find(all.begin(), all.begin() + 5, c) != all.begin() + 5; };
    EXPECT_EQ(index.find(u"heart", firstFive), std::vector<char32_t>(all.begin(), all.begin() + 5));
    firstFive.drawable = [&](char32_t c) { return c != all[0]; };
    EXPECT_EQ(index.find(u"heart", firstFive), std::vector<char32_t>(all.begin() + 1, all.begin() + 6));

    // Under a limit, the order is that of all results with the drawn ones
    // first, and the fonts are asked about little more than what is kept.
    const std::vector<char32_t> arrows = index.find(u"arrow", 100000);
    ASSERT_GT(arrows.size(), 400u);
    FindOptions some;
    some.limit = 50;
    std::set<char32_t> askedOnce;
    some.drawable = [&](char32_t c) {
        askedOnce.insert(c);
        return c % 3 != 0;
    };
    std::vector<char32_t> expected = arrows;
    std::stable_partition(expected.begin(), expected.end(), [](char32_t c) { return c % 3 != 0; });
    expected.resize(50);
    EXPECT_EQ(index.find(u"arrow", some), expected);
    EXPECT_LT(askedOnce.size(), 150u);

    options.drawable = [](char32_t) { return false; };
    EXPECT_EQ(index.find(u"U+2764", options), std::vector<char32_t>{0x2764});
    EXPECT_EQ(index.find(u"\u2764", options).front(), 0x2764u);
    EXPECT_EQ(index.find(u"heart", options), all);  // none drawn: the order stays
}

} // namespace
} // namespace umbrill
