// The index of names and everyday words, and the ranking of a search.
#include "core/names/namesearch.h"

#include "core/keypad/htmlentities.h"
#include "core/names/charnames.h"
#include "core/names/everydaywords.h"
#include "core/names/keyface.h"
#include "core/names/wordfold.h"
#include "core/text/ansi.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>

#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

namespace umbrill {
namespace {

constexpr std::array<std::string_view, 5> kAlgorithmicPrefixes = {
    "CJK UNIFIED IDEOGRAPH-", "CJK COMPATIBILITY IDEOGRAPH-", "TANGUT IDEOGRAPH-",
    "KHITAN SMALL SCRIPT CHARACTER-", "NUSHU CHARACTER-"};

bool isNameSeparator(char c) { return c == ' ' || c == '-'; }
bool isAsciiAlnum(char16_t c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char16_t asciiUpper(char16_t c) { return (c >= 'a' && c <= 'z') ? static_cast<char16_t>(c - 'a' + 'A') : c; }

// A code a user may pick: assigned, and no surrogate.
bool findable(std::uint64_t c)
{
    return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF) && u_charType(static_cast<UChar32>(c)) != U_UNASSIGNED;
}

std::optional<std::uint64_t> parseNumber(std::u16string_view digits, unsigned base)
{
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t d : digits) {
        unsigned v;
        if (d >= '0' && d <= '9')
            v = d - '0';
        else if (base == 16 && asciiUpper(d) >= 'A' && asciiUpper(d) <= 'F')
            v = asciiUpper(d) - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + v;
    }
    return value;
}

bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (asciiUpper(text[i]) != asciiUpper(prefix[i]))
            return false;
    }
    return true;
}

struct CodeQueries {
    std::vector<char32_t> first;  // explicit codes, digits, mixed hexadecimal
    std::vector<char32_t> late;   // hexadecimal spelled with letters alone ("face")
};

CodeQueries codesOf(std::u16string_view q)
{
    CodeQueries found;
    auto add = [](std::vector<char32_t> &to, std::optional<std::uint64_t> c) {
        if (c && findable(*c))
            to.push_back(static_cast<char32_t>(*c));
    };
    if (startsWithNoCase(q, u"U+") || startsWithNoCase(q, u"0x")) {
        add(found.first, parseNumber(q.substr(2), 16));
    } else if (startsWithNoCase(q, u"&#x") && q.ends_with(u';')) {
        add(found.first, parseNumber(q.substr(3, q.size() - 4), 16));
    } else if (q.starts_with(u"&#") && q.ends_with(u';')) {
        add(found.first, parseNumber(q.substr(2, q.size() - 3), 10));
    } else if (parseNumber(q, 16)) {
        const bool digits = std::all_of(q.begin(), q.end(), [](char16_t d) { return d >= '0' && d <= '9'; });
        const bool letters = std::none_of(q.begin(), q.end(), [](char16_t d) { return d >= '0' && d <= '9'; });
        if (digits)
            add(found.first, parseNumber(q, 10));
        add(letters ? found.late : found.first, parseNumber(q, 16));
    }
    return found;
}

std::vector<char32_t> entitiesOf(std::u16string_view q)
{
    if (q.starts_with(u'&'))
        q.remove_prefix(1);
    if (q.ends_with(u';'))
        q.remove_suffix(1);
    std::vector<char32_t> found;
    if (q.empty())
        return found;
    auto name = [](const HtmlEntityRow &row) { return row.entity.substr(1, row.entity.size() - 2); };
    auto equal = [](std::string_view entity, std::u16string_view text, bool anyCase) {
        return entity.size() == text.size()
               && std::equal(entity.begin(), entity.end(), text.begin(), [anyCase](char a, char16_t b) {
                      return anyCase ? asciiUpper(static_cast<char16_t>(a)) == asciiUpper(b) : static_cast<char16_t>(a) == b;
                  });
    };
    for (bool anyCase : {false, true}) {
        for (const HtmlEntityRow &row : HtmlEntityTable) {
            if (equal(name(row), q, anyCase))
                found.push_back(row.character);
        }
    }
    return found;
}

// Words of the four languages, and other spellings, for the words of the
// names. Most are CLDR's words for the accents and signs (the annotations of
// ´ ` ^ ¨ ~ ¸ in English, German, French and Spanish); the general words for
// an accent stand first for the acute, the accent these languages write most.
// A word of some languages only means the name word when the interface
// language is one of them: Spanish "tilde" is the acute ("e con tilde" is é)
// and, after it, the tilde. A lesser meaning ranks after the word's first.
struct NameWordFor {
    std::string_view word;
    std::string_view name;
    std::uint8_t languages = 0;  // EverydayLanguage bits; none: every language
    bool lesser = false;
};
constexpr NameWordFor kNameWordFor[] = {
    {"UMLAUT", "DIAERESIS"},      {"TREMA", "DIAERESIS"},        {"DIERESIS", "DIAERESIS"},
    {"DIARESE", "DIAERESIS"},     {"DIERESE", "DIAERESIS"},      {"CREMA", "DIAERESIS"},
    {"AIGU", "ACUTE"},            {"AKUT", "ACUTE"},             {"AGUDO", "ACUTE"},
    {"GRAVIS", "GRAVE"},          {"CIRCONFLEXE", "CIRCUMFLEX"}, {"ZIRKUMFLEX", "CIRCUMFLEX"},
    {"CIRCUNFLEJO", "CIRCUMFLEX"}, {"DACH", "CIRCUMFLEX"},       {"CEDILLE", "CEDILLA"},
    {"VIRGULILLA", "TILDE"},      {"HATSCHEK", "CARON"},         {"HACEK", "CARON"},
    {"SCHARFES", "SHARP"},        {"BARRE", "STROKE"},           {"DURCHGESTRICHEN", "STROKE"},
    {"DURCHGESTRICHENES", "STROKE"}, {"STRICH", "STROKE"},       {"LIGATUR", "LIGATURE"},
    {"KRINGEL", "RING"},          {"ROND", "RING"},
    {"ACCENT", "ACUTE"},          {"ACCENT", "GRAVE", 0, true},  {"ACCENT", "CIRCUMFLEX", 0, true},
    {"AKZENT", "ACUTE"},          {"AKZENT", "GRAVE", 0, true},  {"AKZENT", "CIRCUMFLEX", 0, true},
    {"ACENTO", "ACUTE"},          {"ACENTO", "GRAVE", 0, true},  {"ACENTO", "CIRCUMFLEX", 0, true},
    {"TILDE", "ACUTE", kWordSpanish}, {"TILDE", "TILDE", kWordSpanish, true},
    {"SYMBOL", "SIGN"},           {"ZEICHEN", "SIGN"},           {"SIGNE", "SIGN"},
    {"SYMBOLE", "SIGN"},          {"SIGNO", "SIGN"},             {"SIMBOLO", "SIGN"},
    {"QUOTE", "QUOTATION"},       {"QUOTES", "QUOTATION"},       {"OPENING", "LEFT"},
    {"CLOSING", "RIGHT"},         {"UP", "UPWARDS"},             {"DOWN", "DOWNWARDS"},
    {"LEFT", "LEFTWARDS"},        {"RIGHT", "RIGHTWARDS"},
};

// Words that join the others ("e accent aigu", "n con tilde", "a mit Akut",
// "signo de euro", "nach oben weisender Pfeil"): a text may lack them when it
// holds the other words, and ranks after texts that hold them. The first of
// them, words of direction and relation, do not count as other words of a
// text either.
constexpr std::size_t kFillerWords = 17;
constexpr std::array<std::string_view, 35> kJoiningWords = {
    "OF", "THE", "DE", "DEL", "LA", "LE", "D", "DU", "NACH", "VERS", "HACIA", "WEISEND", "WEISENDER", "APUNTANDO",
    "POINTING", "AVEC", "CON",
    "ACCENT", "AKZENT", "ACENTO", "MIT", "WITH",
    "SIGN", "SYMBOL", "ZEICHEN", "SIGNE", "SYMBOLE", "SIGNO", "SIMBOLO",
    "MAJUSCULE", "MAYUSCULA", "GROSSES", "MINUSCULE", "MINUSCULA", "KLEINES"};

bool isJoining(std::string_view word)
{
    return std::find(kJoiningWords.begin(), kJoiningWords.end(), word) != kJoiningWords.end();
}

// Every text's words are looked up here as the index is built: most are
// ruled out by their first letter and length alone.
bool isFiller(std::string_view word)
{
    static constexpr auto kShapes = [] {
        std::array<std::uint16_t, 256> shapes{};  // for each first letter, the lengths of filler words
        for (std::size_t i = 0; i < kFillerWords; ++i)
            shapes[static_cast<unsigned char>(kJoiningWords[i].front())] |= static_cast<std::uint16_t>(1u << kJoiningWords[i].size());
        return shapes;
    }();
    if (word.empty() || word.size() > 15 || !(kShapes[static_cast<unsigned char>(word.front())] >> word.size() & 1))
        return false;
    return std::find(kJoiningWords.begin(), kJoiningWords.begin() + kFillerWords, word)
           != kJoiningWords.begin() + kFillerWords;
}

// Words that ask for a capital (+1) or small (-1) letter, as its case does.
int caseWishOf(std::string_view word)
{
    if (word == "MAJUSCULE" || word == "MAYUSCULA" || word == "GROSSES")
        return 1;
    if (word == "MINUSCULE" || word == "MINUSCULA" || word == "KLEINES")
        return -1;
    return 0;
}

// One way a query word may be written in a text.
struct Spelling {
    std::string text;
    bool wholeOnly = false;  // a plural's singular: only a whole word of the text
    bool lesser = false;     // a lesser meaning of the word
};

struct QueryWord {
    std::string folded;              // as typed, folded
    std::vector<Spelling> words;     // what everyday words are searched for
    std::vector<Spelling> nameWords; // what names are searched for
    int caseWish = 0;     // a one-letter word: -1 lower case (SMALL), +1 upper case (CAPITAL)
    bool joining = false;
};

QueryWord queryWord(std::string folded, int caseWish, std::uint8_t language)
{
    QueryWord word;
    word.folded = std::move(folded);
    word.caseWish = caseWish;
    word.joining = isJoining(word.folded);
    word.words.push_back({word.folded});
    // A plural meets its singular ("three dots", "grados"); words of four
    // letters or more that end in one S.
    const std::string_view text = word.folded;
    const bool plural = text.size() >= 4 && text.back() == 'S' && text[text.size() - 2] != 'S';
    if (plural)
        word.words.push_back({std::string(text.substr(0, text.size() - 1)), true});
    bool literalLesser = false;
    for (const NameWordFor &row : kNameWordFor) {
        if (row.word != word.folded || (row.languages != 0 && !(row.languages & language)))
            continue;
        if (row.name == word.folded)
            literalLesser = row.lesser;
        else
            word.nameWords.push_back({std::string(row.name), false, row.lesser});
    }
    word.nameWords.insert(word.nameWords.begin(), word.words.begin(), word.words.end());
    for (std::size_t k = 0; k < word.words.size(); ++k)
        word.nameWords[k].lesser = literalLesser;
    return word;
}

std::vector<QueryWord> wordsOf(std::u16string_view q, std::uint8_t language)
{
    std::vector<QueryWord> words;
    std::size_t i = 0;
    while (i < q.size()) {
        if (q[i] < 0x80 && !isAsciiAlnum(q[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < q.size() && !(q[i] < 0x80 && !isAsciiAlnum(q[i])))
            ++i;
        const std::u16string_view raw = q.substr(start, i - start);
        int caseWish = 0;
        if (raw.size() == 1 && raw[0] >= 'a' && raw[0] <= 'z')
            caseWish = -1;
        else if (raw.size() == 1 && raw[0] >= 'A' && raw[0] <= 'Z')
            caseWish = 1;
        // Folding may split a word ("l’infini") or leave nothing of it ("·").
        const std::string folded = foldForSearch(utf8FromWide(raw));
        for (std::size_t at = 0; at < folded.size();) {
            const std::size_t blank = std::min(folded.find(' ', at), folded.size());
            words.push_back(queryWord(folded.substr(at, blank - at), caseWish, language));
            at = blank + 1;
        }
    }
    // "a majuscule", "ñ mayúscula": the word asks for the letter's case.
    for (const QueryWord &asking : words) {
        if (const int wish = caseWishOf(asking.folded); wish != 0) {
            for (QueryWord &word : words) {
                if (word.folded.size() == 1)
                    word.caseWish = wish;
            }
        }
    }
    return words;
}

enum class Fit { None, Inside, Start, Whole };

Fit fitOf(std::string_view text, std::string_view word)
{
    Fit best = Fit::None;
    if (word.size() == 1) {
        // A one-letter word, the commonest query while typing: a plain walk
        // beats a search call per occurrence in a short name.
        const char letter = word.front();
        for (std::size_t at = text.find(letter); at != std::string_view::npos; at = text.find(letter, at + 1)) {
            if ((at == 0 || isNameSeparator(text[at - 1])) && (at + 1 == text.size() || isNameSeparator(text[at + 1])))
                return Fit::Whole;
            best = Fit::Inside;
        }
        return best;
    }
    // The first letter is searched for; the rest, short, is compared in place.
    const std::string_view rest = word.substr(1);
    const std::size_t last = text.size() - std::min(text.size(), rest.size());
    for (std::size_t at = text.find(word.front()); at < last; at = text.find(word.front(), at + 1)) {
        std::size_t k = 0;
        while (k < rest.size() && text[at + 1 + k] == rest[k])
            ++k;
        if (k < rest.size())
            continue;
        const bool start = at == 0 || isNameSeparator(text[at - 1]);
        const bool end = at + word.size() == text.size() || isNameSeparator(text[at + word.size()]);
        const Fit fit = start && end ? Fit::Whole : (start && word.size() > 1 ? Fit::Start : Fit::Inside);
        best = std::max(best, fit);
        if (best == Fit::Whole)
            break;
    }
    return best;
}

constexpr std::uint8_t kSmallWord = 1;
constexpr std::uint8_t kCapitalWord = 2;

// The bit of an ASCII letter or digit, as written; 0 for any other byte.
constexpr auto kLetterBits = [] {
    std::array<std::uint64_t, 256> bits{};
    for (int c = 0; c < 26; ++c) {
        bits[static_cast<std::size_t>('A' + c)] = std::uint64_t{1} << c;
        bits[static_cast<std::size_t>('a' + c)] = std::uint64_t{1} << (26 + c);
    }
    for (int c = 0; c < 10; ++c)
        bits[static_cast<std::size_t>('0' + c)] = std::uint64_t{1} << (52 + c);
    return bits;
}();
std::uint64_t letterBit(char c) { return kLetterBits[static_cast<unsigned char>(c)]; }

// What a text holds, known before any search: its ASCII letters and digits,
// those of them that stand as a word of their own (what fitOf finds for a
// one-letter word), and its pairs of neighbouring bytes, each hashed to one of
// 64 bits (a longer word cannot be inside a text that lacks one of its pairs).
// Pairs with a blank or hyphen are left out, as no word holds them.
struct TextMasks {
    std::uint64_t letters = 0;
    std::uint64_t wholeLetters = 0;
    std::uint64_t pairs = 0;
    unsigned words = 0;  // its words, filler words left out ("NACH OBEN WEISENDER PFEIL" has two)
};

TextMasks masksOf(std::string_view text)
{
    TextMasks masks;
    bool wordStart = true;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (isNameSeparator(c)) {
            if (!wordStart)
                masks.words += !isFiller(text.substr(start, at - start));
            wordStart = true;
            continue;
        }
        if (wordStart)
            start = at;
        const std::uint64_t bit = letterBit(c);
        masks.letters |= bit;
        if (wordStart && (at + 1 == text.size() || isNameSeparator(text[at + 1])))
            masks.wholeLetters |= bit;
        if (!wordStart) {
            const auto pair = static_cast<std::uint32_t>(static_cast<unsigned char>(text[at - 1])) << 8
                              | static_cast<unsigned char>(c);
            masks.pairs |= std::uint64_t{1} << ((pair * 2654435761u) >> 26);
        }
        wordStart = false;
    }
    if (!wordStart)
        masks.words += !isFiller(text.substr(start));
    return masks;
}

// Whether a Unicode name holds the whole word SMALL or CAPITAL, which a
// one-letter word of the query wishes for by its case.
std::uint8_t caseWordsOf(std::string_view name)
{
    return static_cast<std::uint8_t>((fitOf(name, "SMALL") == Fit::Whole ? kSmallWord : 0)
                                     | (fitOf(name, "CAPITAL") == Fit::Whole ? kCapitalWord : 0));
}

// The text with its blanks and hyphens left out is joined ("CHECK MARK" and "CHECKMARK").
bool joinedEquals(std::string_view text, std::string_view joined)
{
    std::size_t k = 0;
    for (char c : text) {
        if (isNameSeparator(c))
            continue;
        if (k == joined.size() || joined[k] != c)
            return false;
        ++k;
    }
    return k == joined.size();
}

// 0: the blocks of everyday writing and symbols; 2: emoji, historic and rarely
// used scripts, and the supplementary planes; 1: the rest.
std::uint8_t tierOf(char32_t c)
{
    const auto code = static_cast<UChar32>(c);
    if (c >= 0x10000 || u_hasBinaryProperty(code, UCHAR_EMOJI_PRESENTATION))
        return 2;
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(code, &status);
    if (U_SUCCESS(status) && script != USCRIPT_COMMON && script != USCRIPT_INHERITED) {
        const UScriptUsage usage = uscript_getUsage(script);
        if (usage != USCRIPT_USAGE_RECOMMENDED && usage != USCRIPT_USAGE_ASPIRATIONAL)
            return 2;
    }
    switch (ublock_getCode(code)) {
    case UBLOCK_BASIC_LATIN: case UBLOCK_LATIN_1_SUPPLEMENT: case UBLOCK_LATIN_EXTENDED_A:
    case UBLOCK_LATIN_EXTENDED_B: case UBLOCK_LATIN_EXTENDED_ADDITIONAL: case UBLOCK_SPACING_MODIFIER_LETTERS:
    case UBLOCK_COMBINING_DIACRITICAL_MARKS: case UBLOCK_GREEK: case UBLOCK_CYRILLIC:
    case UBLOCK_GENERAL_PUNCTUATION: case UBLOCK_SUPERSCRIPTS_AND_SUBSCRIPTS: case UBLOCK_CURRENCY_SYMBOLS:
    case UBLOCK_LETTERLIKE_SYMBOLS: case UBLOCK_NUMBER_FORMS: case UBLOCK_ARROWS:
    case UBLOCK_MATHEMATICAL_OPERATORS: case UBLOCK_MISCELLANEOUS_TECHNICAL: case UBLOCK_GEOMETRIC_SHAPES:
    case UBLOCK_MISCELLANEOUS_SYMBOLS: case UBLOCK_DINGBATS: case UBLOCK_SUPPLEMENTAL_PUNCTUATION:
        return 0;
    default:
        return 1;
    }
}

// A rank packed into one number, lower first. From the top: no font draws it
// (1 bit), only inside words (1), tier (2), group (2), not the interface
// language (1), case wishes missed (3), joining words missed (3), a loose tag
// (1), other words (6), words only started (5), an everyday word rather than
// the Unicode name (1), a rarer form (a letter none of the four languages
// writes, a closing sign) (1), a
// lesser meaning of a word (1), text length (8), code (21). Exact and
// word-start matches are ordered by tier first, so that an emoji's exact words
// do not hide the everyday character whose name starts the same.
using Rank = std::uint64_t;

Rank field(unsigned value, unsigned bits) { return static_cast<Rank>(std::min(value, (1u << bits) - 1)); }

// What an entry brings to every rank it earns, whatever the query: its tier,
// whether it is a loose tag (those of emoji: "heart" for a stethoscope; those
// of everyday symbols are not), an everyday word, a rare letter, its length
// and its code.
Rank entryRank(unsigned tier, bool looseTag, bool everyday, bool rare, unsigned length, char32_t c)
{
    return field(tier, 2) << 53 | field(looseTag, 1) << 43 | field(everyday, 1) << 31 | field(rare, 1) << 30
           | field(length, 8) << 21 | static_cast<Rank>(c);
}

// What the query makes of an entry.
struct RankParts {
    unsigned group = 0;
    bool otherLanguage = false;
    unsigned caseMiss = 0;
    unsigned missed = 0;
    unsigned otherWords = 0;
    unsigned started = 0;
    bool lesser = false;
};

Rank packRank(const RankParts &parts, Rank entry)
{
    return entry | Rank{parts.group == 2} << 55 | Rank{parts.group} << 51 | Rank{parts.otherLanguage} << 50
           | field(parts.caseMiss, 3) << 47 | field(parts.missed, 3) << 44 | field(parts.otherWords, 6) << 37
           | field(parts.started, 5) << 32 | Rank{parts.lesser} << 29;
}
constexpr unsigned kRestGroup = 2;
unsigned groupOf(Rank rank) { return static_cast<unsigned>(rank >> 51) & 3; }

std::u16string_view trimmed(std::u16string_view q)
{
    auto blank = [](char16_t c) { return c <= 0x20 || u_isUWhiteSpace(c); };
    while (!q.empty() && blank(q.front()))
        q.remove_prefix(1);
    while (!q.empty() && blank(q.back()))
        q.remove_suffix(1);
    return q;
}

// A Latin letter that none of English, German, French and Spanish writes, or
// the closing sign of a pair (», ”), which comes after the opening one.
bool rareForm(char32_t c)
{
    const auto type = u_charType(static_cast<UChar32>(c));
    if (type == U_END_PUNCTUATION || type == U_FINAL_PUNCTUATION)
        return true;
    // The Latin letters with marks: Latin-1, Latin Extended-A and -B, Latin Extended Additional.
    const bool latin = (c >= 0x00C0 && c < 0x0250) || (c >= 0x1E00 && c < 0x1F00);
    const std::span<const char32_t> letters = everydayLetters();
    return latin && (type == U_UPPERCASE_LETTER || type == U_LOWERCASE_LETTER)
           && !std::binary_search(letters.begin(), letters.end(), c);
}


} // namespace

struct NameIndex::Query {
    std::vector<QueryWord> words;
    std::string joined;  // the one word of a one-word query, to meet texts written apart
    std::uint8_t language = 0;  // EverydayLanguage bit of the interface language
};

struct NameIndex::Hit {
    Rank rank;
    char32_t c;
    std::uint32_t slot;
};

NameIndex::NameIndex()
{
    m_nameText.reserve(2'000'000);
    m_names.reserve(60'000);
    m_nameSieves.reserve(60'000);
    auto collect = [](void *context, UChar32 code, UCharNameChoice, const char *name, int32_t length) -> UBool {
        auto *index = static_cast<NameIndex *>(context);
        const std::string_view text(name, static_cast<std::size_t>(length));
        for (std::string_view prefix : kAlgorithmicPrefixes) {
            if (text.starts_with(prefix))
                return true;
        }
        const auto c = static_cast<char32_t>(code);
        const TextMasks masks = masksOf(text);
        const std::uint8_t tier = tierOf(c);
        const bool rare = rareForm(c);
        index->m_names.push_back({static_cast<std::uint32_t>(index->m_nameText.size()), index->m_slots++,
                                  static_cast<std::uint8_t>(text.size()), static_cast<std::uint8_t>(masks.words), tier, 0,
                                  false, caseWordsOf(text), masks.wholeLetters,
                                  entryRank(tier, false, false, rare, static_cast<unsigned>(text.size()), c)});
        index->m_nameSieves.push_back({masks.letters, masks.pairs});
        index->m_nameText += text;
        return true;
    };
    UErrorCode status = U_ZERO_ERROR;
    u_enumCharNames(0, 0x110000, collect, this, U_UNICODE_CHAR_NAME, &status);
    m_nameText.shrink_to_fit();
    m_names.shrink_to_fit();
    m_nameSieves.shrink_to_fit();

    // The names came in code order, so a character's slot is found by bisection.
    std::vector<std::pair<char32_t, std::uint32_t>> unnamed;
    auto slotOf = [&](char32_t c) {
        const auto named = std::lower_bound(m_names.begin(), m_names.end(), c,
                                            [](const Entry &entry, char32_t code) { return entry.c() < code; });
        if (named != m_names.end() && named->c() == c)
            return named->slot;
        for (const auto &[code, slot] : unnamed) {
            if (code == c)
                return slot;
        }
        unnamed.emplace_back(c, m_slots);
        return m_slots++;
    };
    const std::string_view text = everydayWordText();
    for (const EverydayWord &word : everydayWords()) {
        const std::string_view words = text.substr(word.textOffset(), word.textLength());
        const TextMasks masks = masksOf(words);
        const std::uint8_t tier = tierOf(word.character);
        const bool tag = word.kind() == EverydayKind::Tag;
        const bool sequence = word.kind() == EverydayKind::Sequence;
        const Entry entry{word.textOffset(), slotOf(word.character),
                          static_cast<std::uint8_t>(word.textLength()),
                          static_cast<std::uint8_t>(masks.words), tier,
                          word.languages(), tag, 0, masks.wholeLetters,
                          entryRank(tier, tag && tier == 2, !sequence, rareForm(word.character),
                                    static_cast<unsigned>(word.textLength()), word.character)};
        if (sequence) {
            m_sequences.push_back(entry);
        } else {
            m_words.push_back(entry);
            m_wordSieves.push_back({masks.letters, masks.pairs});
        }
    }
    m_variantBits.assign(0x10000 / 64, 0);
    for (const SignVariant &variant : signVariants()) {
        m_variants.push_back({variant.variant, slotOf(variant.variant), slotOf(variant.plain)});
        if (variant.variant < 0x10000)
            m_variantBits[variant.variant / 64] |= std::uint64_t{1} << (variant.variant % 64);
    }
}

const NameIndex &NameIndex::shared()
{
    static const NameIndex index;
    return index;
}

// One hit a character, with the best rank any of its entries earned.
void NameIndex::keepBest(std::vector<Hit> &hits, std::vector<std::uint32_t> &bestOf, const Entry &entry, Rank rank)
{
    std::uint32_t &best = bestOf[entry.slot];
    if (best == UINT32_MAX) {
        best = static_cast<std::uint32_t>(hits.size());
        hits.push_back({rank, entry.c(), entry.slot});
    } else if (rank < hits[best].rank) {
        hits[best].rank = rank;
    }
}

// Ranks every entry whose text holds every word of the query, keeping the best
// rank of each character.
template <bool OneWord>
void NameIndex::scan(std::string_view text, const std::vector<Entry> &entries, const std::vector<Sieve> &sieves,
                     bool names, const Query &query, std::vector<Hit> &hits, std::vector<std::uint32_t> &bestOf) const
{
    const auto count = OneWord ? 1u : static_cast<unsigned>(query.words.size());
    const bool allJoining = std::all_of(query.words.begin(), query.words.end(),
                                        [](const QueryWord &word) { return word.joining; });
    // A one-letter word fits as the entry's letters say; a longer one cannot
    // fit a text that lacks one of its letters or digits, or of its pairs.
    struct Searched {
        std::string_view text;
        std::uint64_t letter = 0;
        std::uint64_t needs = 0;
        std::uint64_t pairs = 0;
        bool wholeOnly = false;
        bool lesser = false;
    };
    constexpr std::size_t kSpellings = 6;
    std::array<std::array<Searched, kSpellings>, 16> spellings{};
    std::array<std::size_t, 16> spellingCount{};
    std::array<std::uint8_t, 16> caseWish{};  // the SMALL or CAPITAL bit a one-letter word wishes for
    std::array<bool, 16> mayMiss{};           // a joining word among others
    std::array<unsigned, 16> fillerWord{};  // a filler word, which texts do not count
    // A text written apart holds the letters of the joined word, and no others.
    const std::uint64_t joinedLetters = masksOf(query.joined).letters;
    // What every text that may hold the query has: the letters and pairs that
    // each word not allowed to miss needs in all its spellings.
    std::uint64_t allNeed = 0;
    std::uint64_t allPairs = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const QueryWord &word = query.words[k];
        const std::vector<Spelling> &ways = names ? word.nameWords : word.words;
        spellingCount[k] = std::min(ways.size(), kSpellings);
        for (std::size_t j = 0; j < spellingCount[k]; ++j) {
            Searched &searched = spellings[k][j];
            searched.text = ways[j].text;
            searched.letter = searched.text.size() == 1 ? letterBit(searched.text.front()) : 0;
            const TextMasks masks = masksOf(searched.text);
            searched.needs = masks.letters;
            searched.pairs = masks.pairs;
            searched.wholeOnly = ways[j].wholeOnly;
            searched.lesser = ways[j].lesser;
        }
        caseWish[k] = word.caseWish == 0 ? 0 : (word.caseWish < 0 ? kSmallWord : kCapitalWord);
        mayMiss[k] = word.joining && !allJoining;
        fillerWord[k] = isFiller(word.folded);
        if (!mayMiss[k] && spellingCount[k] > 0) {
            std::uint64_t need = ~std::uint64_t{0};
            std::uint64_t pairs = ~std::uint64_t{0};
            for (std::size_t j = 0; j < spellingCount[k]; ++j) {
                need &= spellings[k][j].needs;
                pairs &= spellings[k][j].pairs;
            }
            allNeed |= need;
            allPairs |= pairs;
        }
    }
    const bool joinedMayMeet = !query.joined.empty();
    const Sieve *const first = sieves.data();
    const Sieve *const last = first + sieves.size();
    // The next text from `at` on that the sieve lets through, in a loop of its own.
    const auto next = [allNeed, allPairs, joinedMayMeet, joinedLetters, last](const Sieve *at) {
        for (; at != last; ++at) {
            if (((at->letters & allNeed) == allNeed && (at->pairs & allPairs) == allPairs)
                || (joinedMayMeet && at->letters == joinedLetters))
                break;
        }
        return at;
    };
    for (const Sieve *at = next(first); at != last; at = next(at + 1)) {
        const Sieve sieve = *at;
        const Entry &entry = entries[static_cast<std::size_t>(at - first)];
        const std::string_view entryText(text.data() + entry.offset, entry.length);
        unsigned whole = 0;
        unsigned missed = 0;
        unsigned caseMiss = 0;
        bool allStart = true;
        bool found = true;
        bool lesser = false;
        unsigned fillersFound = 0;  // filler words the text holds, which its word count leaves out
        for (std::size_t k = 0; k < count; ++k) {
            Fit fit = Fit::None;
            bool lesserFit = false;
            if (spellingCount[k] == 1) {
                const Searched &searched = spellings[k][0];
                fit = (sieve.letters & searched.needs) != searched.needs || (sieve.pairs & searched.pairs) != searched.pairs
                          ? Fit::None
                      : searched.letter == 0                 ? fitOf(entryText, searched.text)
                      : entry.wholeLetters & searched.letter ? Fit::Whole
                                                             : Fit::Inside;
                lesserFit = searched.lesser;
            }
            for (std::size_t j = 0; spellingCount[k] > 1 && j < spellingCount[k]; ++j) {
                const Searched &searched = spellings[k][j];
                if ((sieve.letters & searched.needs) != searched.needs || (sieve.pairs & searched.pairs) != searched.pairs)
                    continue;
                Fit one = searched.letter == 0                 ? fitOf(entryText, searched.text)
                          : entry.wholeLetters & searched.letter ? Fit::Whole
                                                                 : Fit::Inside;
                if (searched.wholeOnly)
                    one = one == Fit::Whole ? Fit::Start : Fit::None;
                if (one > fit || (one == fit && one != Fit::None && lesserFit && !searched.lesser)) {
                    fit = one;
                    lesserFit = searched.lesser;
                }
            }
            if (mayMiss[k] && fit < Fit::Start) {
                ++missed;
                continue;
            }
            if (fit == Fit::None) {
                found = false;
                break;
            }
            whole += fit == Fit::Whole;
            fillersFound += fillerWord[k];
            allStart = allStart && fit >= Fit::Start;
            lesser = lesser || lesserFit;
            // Everyday words do not tell small from capital letters.
            caseMiss += caseWish[k] != 0 && !(entry.caseWords & caseWish[k]);
        }
        RankParts parts;
        unsigned matched = count - missed - fillersFound;  // words of the text the query names
        if (found) {
            parts.group = (whole == count - missed && entry.words == matched) ? 0 : (allStart ? 1 : kRestGroup);
        } else if (joinedMayMeet && sieve.letters == joinedLetters && joinedEquals(entryText, query.joined)) {
            parts.group = 0;
            whole = count;
            missed = 0;
            matched = entry.words;
        } else {
            continue;
        }
        // A tag matched exactly still only starts what the character is called.
        if (entry.tag && parts.group == 0)
            parts.group = 1;
        parts.otherLanguage = entry.languages != 0 && query.language != 0 && !(entry.languages & query.language);
        parts.caseMiss = caseMiss;
        parts.missed = missed;
        parts.lesser = lesser;
        parts.otherWords = entry.words > matched ? entry.words - matched : 0;
        parts.started = count - whole - missed;
        keepBest(hits, bestOf, entry, packRank(parts, entry.rank));
    }
}

std::vector<char32_t> NameIndex::find(std::u16string_view query, const FindOptions &options) const
{
    const std::size_t limit = options.limit;
    const std::u16string_view q = trimmed(query.substr(0, kQueryLimit));
    std::vector<char32_t> result;
    if (q.empty() || limit == 0)
        return result;
    auto add = [&](char32_t c) {
        if (result.size() < limit && std::find(result.begin(), result.end(), c) == result.end())
            result.push_back(c);
    };

    if (const auto c = firstCodePoint(q); c && utf16Of(*c).size() == q.size() && findable(*c))
        add(*c);
    const CodeQueries codes = codesOf(q);
    for (char32_t c : codes.first)
        add(c);
    // "U+", "0x" and "&#" begin a code and nothing else.
    if (startsWithNoCase(q, u"U+") || startsWithNoCase(q, u"0x") || q.starts_with(u"&#"))
        return result;
    for (char32_t c : entitiesOf(q))
        add(c);
    if (const auto labelled = labelledCharacter(q))
        add(*labelled);

    Query words;
    if (options.language) {
        constexpr std::array<std::uint8_t, 4> bits = {kWordEnglish, kWordGerman, kWordFrench, kWordSpanish};
        words.language = bits[static_cast<std::size_t>(*options.language)];
    }
    words.words = wordsOf(q, words.language);
    if (words.words.size() > 16)
        words.words.clear();  // a pasted text, not a name
    // The longest word first: it rules most texts out soonest. Joining words,
    // which rule nothing out, last.
    std::stable_sort(words.words.begin(), words.words.end(), [](const QueryWord &a, const QueryWord &b) {
        return std::make_pair(a.joining, b.folded.size()) < std::make_pair(b.joining, a.folded.size());
    });
    if (words.words.size() == 1)
        words.joined = words.words.front().folded;

    // The search's tables, kept by each thread from one search to the next:
    // they are as large as the characters held, and a keystroke should not
    // have to ask for and fill over a megabyte. A search unsets every place
    // it set once it is done with them; one that ended early (out of memory)
    // leaves the places marked, to be unset afresh.
    struct Scratch {
        std::vector<std::uint32_t> bestOf;  // a character's place among the hits, by slot; UINT32_MAX for none
        bool unsetEverywhere = false;
        std::vector<Hit> hits;  // empty, for its room
    };
    thread_local Scratch scratch;
    std::vector<Hit> hits = std::move(scratch.hits);
    hits.clear();
    hits.reserve(m_slots);  // at most one a character: never moved while it grows
    if (!scratch.unsetEverywhere || scratch.bestOf.size() < m_slots)
        scratch.bestOf.assign(m_slots, UINT32_MAX);
    scratch.unsetEverywhere = false;
    std::vector<std::uint32_t> &bestOf = scratch.bestOf;
    if (!words.words.empty()) {
        if (words.words.size() == 1) {
            scan<true>(m_nameText, m_names, m_nameSieves, true, words, hits, bestOf);
            scan<true>(everydayWordText(), m_words, m_wordSieves, false, words, hits, bestOf);
        } else {
            scan<false>(m_nameText, m_names, m_nameSieves, true, words, hits, bestOf);
            scan<false>(everydayWordText(), m_words, m_wordSieves, false, words, hits, bestOf);
        }
    }
    // A Compose sequence is typed with or without blanks between its keys.
    std::string keys;
    for (char16_t unit : q) {
        if (unit != ' ')
            keys += static_cast<char>(unit < 0x80 ? unit : 0);  // no sequence holds a NUL
    }
    if (!keys.empty() && keys.size() <= 8 && keys.find(char{0}) == std::string::npos) {
        const std::string_view text = everydayWordText();
        for (const Entry &entry : m_sequences) {
            if (text.substr(entry.offset, entry.length) != keys)
                continue;
            keepBest(hits, bestOf, entry, entry.rank);
        }
    }
    // Within a meaning the plain sign comes first: a heavy, ornament or single
    // form found with it goes right after it, unless the plain sign is found
    // only inside words. Twice, for a variant of a variant. A search that
    // finds few characters looks at each; one that finds many, at each pair.
    auto demote = [&](std::uint32_t v, std::uint32_t plainSlot) {
        const std::uint32_t p = bestOf[plainSlot];
        if (p != UINT32_MAX && groupOf(hits[p].rank) != kRestGroup && hits[v].rank < hits[p].rank)
            hits[v].rank = hits[p].rank + 1;
    };
    for (int pass = 0; pass < 2; ++pass) {
        if (hits.size() < 4 * m_variants.size()) {
            for (std::uint32_t h = 0; h < hits.size(); ++h) {
                const char32_t c = hits[h].c;
                if (c >= 0x10000 || !(m_variantBits[c / 64] >> (c % 64) & 1))
                    continue;
                auto pair = std::lower_bound(m_variants.begin(), m_variants.end(), c,
                                             [](const Variant &variant, char32_t code) { return variant.variant < code; });
                for (; pair != m_variants.end() && pair->variant == c; ++pair)
                    demote(h, pair->plainSlot);
            }
        } else {
            for (const Variant &pair : m_variants) {
                if (const std::uint32_t v = bestOf[pair.variantSlot]; v != UINT32_MAX)
                    demote(v, pair.plainSlot);
            }
        }
    }
    for (const Hit &hit : hits)
        bestOf[hit.slot] = UINT32_MAX;
    scratch.unsetEverywhere = true;
    const std::size_t keep = std::min(hits.size(), limit);
    const auto kept = hits.begin() + static_cast<std::ptrdiff_t>(keep);
    const auto byRank = [](const Hit &a, const Hit &b) { return a.rank < b.rank; };
    std::partial_sort(hits.begin(), kept, hits.end(), byRank);
    // Asking the fonts costs. Characters no installed font draws go after all
    // that one draws, so for each such character among those kept the next
    // drawn one in rank order moves up: the rest is asked about in rank order
    // only until as many drawn ones are found.
    if (options.drawable) {
        const auto drawnEnd =
            std::stable_partition(hits.begin(), kept, [&](const Hit &hit) { return options.drawable(hit.c); });
        const auto wanted = static_cast<std::size_t>(kept - drawnEnd);
        if (wanted > 0) {
            std::vector<Hit> moved;
            std::vector<Hit> undrawn(drawnEnd, kept);
            // The rest is put in rank order a few more than are missing at a
            // time: most searches need one such step, which costs one look at
            // each hit rather than ordering them all.
            for (auto next = kept; moved.size() < wanted && next != hits.end();) {
                const auto missing = static_cast<std::ptrdiff_t>(wanted - moved.size());
                const auto step = std::min<std::ptrdiff_t>(hits.end() - next, 2 * missing + 16);
                std::partial_sort(next, next + step, hits.end(), byRank);
                for (const auto end = next + step; next != end && moved.size() < wanted; ++next)
                    (options.drawable(next->c) ? moved : undrawn).push_back(*next);
            }
            // Either enough drawn ones moved up, or every character was asked
            // about and the undrawn ones fill the places left, in rank order.
            auto out = std::copy(moved.begin(), moved.end(), drawnEnd);
            std::copy_n(undrawn.begin(), kept - out, out);
        }
    }
    hits.resize(keep);
    bool lateAdded = false;
    for (const Hit &hit : hits) {
        if (!lateAdded && groupOf(hit.rank) == kRestGroup) {
            for (char32_t late : codes.late)
                add(late);
            lateAdded = true;
        }
        add(hit.c);
    }
    if (!lateAdded) {
        for (char32_t late : codes.late)
            add(late);
    }
    scratch.hits = std::move(hits);
    return result;
}

} // namespace umbrill
