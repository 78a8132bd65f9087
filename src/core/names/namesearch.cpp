// The name index and the ranking of a search.
#include "core/names/namesearch.h"

#include "core/keypad/htmlentities.h"
#include "core/names/charnames.h"
#include "core/names/keyface.h"

#include <unicode/uchar.h>

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

struct QueryWord {
    std::string upper;    // what names are searched for
    int caseWish = 0;     // a one-letter word: -1 lower case (SMALL), +1 upper case (CAPITAL)
};

std::vector<QueryWord> wordsOf(std::u16string_view q)
{
    std::vector<QueryWord> words;
    std::size_t i = 0;
    while (i < q.size()) {
        if (q[i] < 0x80 && !isAsciiAlnum(q[i])) {
            ++i;
            continue;
        }
        QueryWord word;
        const std::size_t start = i;
        bool ascii = true;
        while (i < q.size() && !(q[i] < 0x80 && !isAsciiAlnum(q[i]))) {
            ascii = ascii && q[i] < 0x80;
            word.upper += static_cast<char>(asciiUpper(q[i] < 0x80 ? q[i] : u'?'));
            ++i;
        }
        if (!ascii)
            return {};  // no name holds a letter beyond ASCII
        if (i - start == 1 && q[start] >= 'a' && q[start] <= 'z')
            word.caseWish = -1;
        else if (i - start == 1 && q[start] >= 'A' && q[start] <= 'Z')
            word.caseWish = 1;
        if (word.upper == "UMLAUT")  // what German and many users call the diaeresis
            word.upper = "DIAERESIS";
        words.push_back(std::move(word));
    }
    return words;
}

enum class Fit { None, Inside, Start, Whole };

Fit fitOf(std::string_view name, std::string_view word)
{
    Fit best = Fit::None;
    for (std::size_t at = name.find(word); at != std::string_view::npos; at = name.find(word, at + 1)) {
        const bool start = at == 0 || isNameSeparator(name[at - 1]);
        const bool end = at + word.size() == name.size() || isNameSeparator(name[at + word.size()]);
        const Fit fit = start && end ? Fit::Whole : (start && word.size() > 1 ? Fit::Start : Fit::Inside);
        best = std::max(best, fit);
        if (best == Fit::Whole)
            break;
    }
    return best;
}

// Lower ranks first.
using Rank = std::tuple<int, int, int, int, int, char32_t>;

std::optional<Rank> rankOf(std::string_view name, int nameWords, char32_t c, const std::vector<QueryWord> &words)
{
    int whole = 0;
    bool allStart = true;
    int caseMiss = 0;
    for (const QueryWord &word : words) {
        const Fit fit = fitOf(name, word.upper);
        if (fit == Fit::None)
            return std::nullopt;
        whole += fit == Fit::Whole;
        allStart = allStart && fit >= Fit::Start;
        if (word.caseWish != 0)
            caseMiss += fitOf(name, word.caseWish < 0 ? "SMALL" : "CAPITAL") != Fit::Whole;
    }
    const int count = static_cast<int>(words.size());
    const int group = (whole == count && nameWords == count) ? 0 : (allStart ? 1 : 2);
    return Rank{group, caseMiss, std::max(nameWords - count, 0), count - whole, static_cast<int>(name.size()), c};
}

std::u16string_view trimmed(std::u16string_view q)
{
    auto blank = [](char16_t c) { return c <= 0x20 || u_isUWhiteSpace(c); };
    while (!q.empty() && blank(q.front()))
        q.remove_prefix(1);
    while (!q.empty() && blank(q.back()))
        q.remove_suffix(1);
    return q;
}

} // namespace

NameIndex::NameIndex()
{
    m_names.reserve(2'000'000);
    m_entries.reserve(60'000);
    auto collect = [](void *context, UChar32 code, UCharNameChoice, const char *name, int32_t length) -> UBool {
        auto *index = static_cast<NameIndex *>(context);
        const std::string_view text(name, static_cast<std::size_t>(length));
        for (std::string_view prefix : kAlgorithmicPrefixes) {
            if (text.starts_with(prefix))
                return true;
        }
        const auto words = 1 + std::count_if(text.begin(), text.end(), isNameSeparator);
        index->m_entries.push_back({static_cast<char32_t>(code), static_cast<std::uint32_t>(index->m_names.size()),
                                    static_cast<std::uint16_t>(text.size()), static_cast<std::uint16_t>(words)});
        index->m_names += text;
        return true;
    };
    UErrorCode status = U_ZERO_ERROR;
    u_enumCharNames(0, 0x110000, collect, this, U_UNICODE_CHAR_NAME, &status);
    m_names.shrink_to_fit();
    m_entries.shrink_to_fit();
}

const NameIndex &NameIndex::shared()
{
    static const NameIndex index;
    return index;
}

std::vector<char32_t> NameIndex::find(std::u16string_view query, std::size_t limit) const
{
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

    std::vector<QueryWord> words = wordsOf(q);
    if (words.size() > 16)
        words.clear();  // a pasted text, not a name
    // The longest word first: it rules most names out soonest.
    std::stable_sort(words.begin(), words.end(),
                     [](const QueryWord &a, const QueryWord &b) { return a.upper.size() > b.upper.size(); });
    std::vector<std::pair<Rank, char32_t>> hits;
    if (!words.empty()) {
        const std::string_view names(m_names);
        for (const Entry &entry : m_entries) {
            if (auto rank = rankOf(names.substr(entry.offset, entry.length), entry.words, entry.c, words))
                hits.emplace_back(*rank, entry.c);
        }
    }
    const std::size_t keep = std::min(hits.size(), limit);
    std::partial_sort(hits.begin(), hits.begin() + static_cast<std::ptrdiff_t>(keep), hits.end());
    hits.resize(keep);
    bool lateAdded = false;
    for (const auto &[rank, c] : hits) {
        if (!lateAdded && std::get<0>(rank) == 2) {
            for (char32_t late : codes.late)
                add(late);
            lateAdded = true;
        }
        add(c);
    }
    if (!lateAdded) {
        for (char32_t late : codes.late)
            add(late);
    }
    return result;
}

} // namespace umbrill
