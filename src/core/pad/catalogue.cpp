// The catalogue of keyboard languages, and the generated languages' file.
#include "core/pad/catalogue.h"

#include "core/names/wordfold.h"
#include "core/pad/onepad.h"
#include "core/pad/ownlanguages.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/ascii.h"
#include "core/text/commalist.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>
#include <unordered_set>

namespace umbrill {
namespace {

constexpr std::string_view kGeneratedPrefix = "[generated:";

std::string lowered(std::string_view text)
{
    std::string key(text);
    std::transform(key.begin(), key.end(), key.begin(), asciiLower);
    return key;
}

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A value as a read of the data file gives it: up to a NUL, less one pair of
// outer quotes, at most kMaxValueChars bytes (never cutting a character).
std::string readValue(std::string_view raw)
{
    raw = raw.substr(0, raw.find('\0'));
    raw = withoutOuterQuotes(trimmed(raw));
    if (raw.size() > kMaxValueChars) {
        std::size_t end = kMaxValueChars;
        while (end > 0 && (static_cast<unsigned char>(raw[end]) & 0xC0) == 0x80)
            --end;
        raw = raw.substr(0, end);
    }
    return std::string(raw);
}

bool plainCode(std::string_view code)
{
    return !code.empty() && std::all_of(code.begin(), code.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// Takes the next line off text (LF, CRLF or a lone CR ends it), trimmed.
std::string_view nextLine(std::string_view &text)
{
    const auto end = std::find_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; });
    const std::string_view line = trimmed(text.substr(0, static_cast<std::size_t>(end - text.begin())));
    text.remove_prefix(end == text.end() ? text.size() : static_cast<std::size_t>(end - text.begin()) + 1);
    return line;
}

// The body of each section (the lines after its header up to the next
// header), by its lowered name; only the first copy of a repeated section.
std::unordered_map<std::string, std::string_view> sectionBodies(std::string_view text)
{
    std::unordered_map<std::string, std::string_view> bodies;
    std::string_view *current = nullptr;
    while (!text.empty()) {
        const char *lineStart = text.data();
        const std::string_view line = nextLine(text);
        if (!line.empty() && line.front() == '[') {
            if (current)
                *current = current->substr(0, static_cast<std::size_t>(lineStart - current->data()));
            const std::size_t close = line.find(']');
            const std::string name = lowered(trimmed(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
            const auto [at, added] = bodies.try_emplace(name, text);
            current = added ? &at->second : nullptr;
        }
    }
    return bodies;
}

// The values of keys in a section's body, in one pass over its lines (the
// first line of each key wins), as a read gives them; nullopt for an absent key.
template <std::size_t N>
std::array<std::optional<std::string>, N> valuesIn(std::string_view body, const std::array<std::string_view, N> &keys)
{
    std::array<std::optional<std::string>, N> values;
    while (!body.empty()) {
        const std::string_view line = nextLine(body);
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == ';' || equals == std::string_view::npos)
            continue;
        const std::string_view key = trimmed(line.substr(0, equals));
        for (std::size_t k = 0; k < N; ++k) {
            if (!values[k] && equalsIgnoringAsciiCase(key, keys[k])) {
                values[k] = readValue(line.substr(equals + 1));
                break;
            }
        }
    }
    return values;
}

std::string folded(std::string_view text) { return foldForSearch(text); }

} // namespace

GeneratedLanguages GeneratedLanguages::fromBytes(std::string_view bytes)
{
    GeneratedLanguages result;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const std::unordered_map<std::string, std::string_view> sections = sectionBodies(bytes);
    const auto head = sections.find(lowered(kDataSection));
    const std::optional<std::string> list =
        head == sections.end() ? std::nullopt : valuesIn(head->second, std::array{kLanguagesKey})[0];
    if (!list)
        return result;
    // Entry, Own, then the names by InterfaceLanguage.
    static constexpr std::array<std::string_view, 6> kKeys = {"Entry", "Own", "en", "de", "fr", "es"};
    std::unordered_set<std::string> codes;
    for (const std::string &code : splitCommaList(*list)) {
        if (!plainCode(code) || !codes.insert(lowered(code)).second)
            continue;
        const auto section = sections.find(lowered(code));
        if (section == sections.end())
            continue;
        auto values = valuesIn(section->second, kKeys);
        if (!values[0] || values[0]->empty())
            continue;
        GeneratedLanguage language{code, std::move(*values[0]), values[1].value_or(""), {}};
        for (std::size_t k = 0; k < language.names.size(); ++k)
            language.names[k] = values[2 + k].value_or("");
        if (language.names[0].empty())
            language.names[0] = code;
        for (std::string &name : language.names) {
            if (name.empty())
                name = language.names[0];
        }
        result.m_languages.push_back(std::move(language));
    }
    return result;
}

GeneratedLanguages GeneratedLanguages::load(const std::filesystem::path &file)
{
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return {};
    const std::streamoff size = in.tellg();
    if (size <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    in.read(bytes.data(), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return fromBytes(bytes);
}

const GeneratedLanguage *GeneratedLanguages::byCode(std::string_view code) const
{
    const auto found = std::find_if(m_languages.begin(), m_languages.end(),
                                    [code](const GeneratedLanguage &language) { return language.code == code; });
    return found == m_languages.end() ? nullptr : &*found;
}

const GeneratedLanguage *GeneratedLanguages::named(std::string_view wanted, InterfaceLanguage language) const
{
    const auto among = [&](auto nameOf) -> const GeneratedLanguage * {
        std::vector<std::string> names;
        names.reserve(m_languages.size());
        for (const GeneratedLanguage &generated : m_languages)
            names.push_back(nameOf(generated));
        const std::optional<std::size_t> found = findLanguageName(names, wanted);
        return found ? &m_languages[*found] : nullptr;
    };
    if (const auto *byCode = among([](const GeneratedLanguage &g) { return g.code; }))
        return byCode;
    if (const auto *byName = among([language](const GeneratedLanguage &g) { return g.name(language); }))
        return byName;
    return among([](const GeneratedLanguage &g) { return g.name(InterfaceLanguage::English); });
}

std::string generatedKey(std::string_view code) { return std::string(kGeneratedPrefix) + std::string(code) + "]"; }

std::optional<std::string> generatedCode(std::string_view key)
{
    if (!key.starts_with(kGeneratedPrefix) || !key.ends_with(']') || key.size() <= kGeneratedPrefix.size() + 1)
        return std::nullopt;
    return std::string(key.substr(kGeneratedPrefix.size(), key.size() - kGeneratedPrefix.size() - 1));
}

std::vector<CatalogueEntry> listedEntries(const std::vector<std::string> &names, std::size_t shippedCount)
{
    std::vector<CatalogueEntry> entries;
    entries.reserve(names.size() + 1);
    for (std::size_t k = 0; k < names.size(); ++k) {
        CatalogueEntry entry;
        entry.kind = k < shippedCount ? CatalogueKind::Shipped : CatalogueKind::Own;
        entry.shown = names[k];
        entry.key = names[k];
        entry.filterText = folded(entry.shown);
        entries.push_back(std::move(entry));
    }
    return entries;
}

CatalogueEntry recentEntry(std::string_view caption)
{
    CatalogueEntry entry{CatalogueKind::Recent, std::string(kRecentLanguageKey), std::string(caption), {}, {}};
    entry.filterText = folded(entry.shown);
    return entry;
}

std::optional<std::size_t> findEntry(const std::vector<CatalogueEntry> &entries, std::string_view wanted)
{
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const CatalogueEntry &entry : entries)
        names.push_back(entry.shown);
    return findLanguageName(names, wanted);
}

void appendGenerated(std::vector<CatalogueEntry> &entries, const GeneratedLanguages &generated,
                     InterfaceLanguage language)
{
    std::unordered_set<std::string> listed;
    for (const CatalogueEntry &entry : entries) {
        if (entry.kind != CatalogueKind::Recent)
            listed.insert(lowered(entry.shown));
    }
    struct Sorted {
        std::string sortKey;
        CatalogueEntry entry;
    };
    std::vector<Sorted> added;
    added.reserve(generated.languages().size());
    for (const GeneratedLanguage &g : generated.languages()) {
        const std::string &shown = g.name(language);
        if (!listed.insert(lowered(shown)).second)
            continue;
        CatalogueEntry entry{CatalogueKind::Generated, generatedKey(g.code), shown, g.own, {}};
        const std::string shownFolded = folded(shown);
        entry.filterText = shownFolded + '|' + folded(g.name(InterfaceLanguage::English)) + '|' + folded(g.own)
                           + '|' + folded(g.code);
        added.push_back({shownFolded, std::move(entry)});
    }
    std::sort(added.begin(), added.end(), [](const Sorted &a, const Sorted &b) {
        return a.sortKey != b.sortKey ? a.sortKey < b.sortKey : a.entry.shown < b.entry.shown;
    });
    for (Sorted &each : added)
        entries.push_back(std::move(each.entry));
}

std::string filterQuery(std::string_view typed) { return folded(typed); }

bool filterMatches(const CatalogueEntry &entry, std::string_view query)
{
    return query.empty() || entry.filterText.find(query) != std::string::npos;
}

} // namespace umbrill
