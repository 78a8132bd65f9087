// The user's own languages, My Characters and Recent.
#include "core/pad/ownlanguages.h"

#include "core/keypad/keygrid.h"
#include "core/languages/languagerecord.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/ansi.h"
#include "core/text/ascii.h"
#include "core/text/commalist.h"
#include "core/text/error.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

namespace umbrill {
namespace {

namespace fs = std::filesystem;

// A name as a comma-list item: quoted, with inner quotes doubled, when it
// holds anything the rule would split or trim.
std::string listItem(std::string_view name)
{
    const bool plain = !name.empty() && std::none_of(name.begin(), name.end(), [](char c) {
        return c == ',' || c == '"' || static_cast<unsigned char>(c) <= 32;
    });
    if (plain)
        return std::string(name);
    std::string item = "\"";
    for (char c : name) {
        item += c;
        if (c == '"')
            item += '"';
    }
    return item + "\"";
}

bool listed(const std::vector<std::string> &names, std::string_view name)
{
    return std::any_of(names.begin(), names.end(),
                       [name](const std::string &n) { return equalsIgnoringAsciiCase(n, name); });
}

std::string appended(std::string list, std::string_view name)
{
    if (!list.empty())
        list += ',';
    list += listItem(name);  // in place: a list built name by name stays linear
    return list;
}

// What goes between a list's text and one more item so that the list's own
// items stay as they are: a comma, or a quote and a comma where the text ends
// inside a quoted item; nullopt where neither will do (a text of blanks, or
// one ending in a blank after a comma).
std::optional<std::string_view> jointAfter(std::string_view list, const std::vector<std::string> &items)
{
    for (std::string_view joint : {std::string_view(","), std::string_view("\",")}) {
        std::vector<std::string> probe = splitCommaList(std::string(list) + std::string(joint) + "x");
        if (probe.size() == items.size() + 1 && probe.back() == "x"
            && std::equal(items.begin(), items.end(), probe.begin()))
            return joint;
    }
    return std::nullopt;
}

// The items, each quoted where the rule needs it.
std::string rebuiltList(const std::vector<std::string> &items)
{
    std::string text;
    for (const std::string &item : items)
        text = appended(std::move(text), item);
    return text;
}

bool enclosedInQuotes(std::string_view text) { return text.size() >= 2 && text.front() == '"' && text.back() == '"'; }

// A name that no entry key can hold: it can be listed but never loaded.
bool loadable(std::string_view name) { return !name.empty() && !holdsLineBreakOrNul(name); }

} // namespace

std::string ownListText(std::string_view whole)
{
    if (enclosedInQuotes(whole) && enclosedInQuotes(whole.substr(1, whole.size() - 2)))
        return std::string(whole.substr(1, whole.size() - 2));
    return std::string(whole);
}

std::string ownLanguagesList(const fs::path &own)
{
    return ownListText(readWholeProfileValue(own, kDataSection, kLanguagesKey).value_or(""));
}

fs::path ownLanguagesFilePath(const fs::path &settingsFile) { return settingsFile.parent_path() / "languages.ini"; }

std::string mergedCatalogue(std::string_view shipped, std::string_view own, std::string_view extra)
{
    const std::vector<std::string> shippedNames = splitCommaList(shipped);
    const std::vector<std::string> ownNames = splitCommaList(own);
    // Names compare ignoring ASCII case.
    std::unordered_set<std::string_view, AsciiCaselessHash, AsciiCaselessEqual> seen;
    seen.reserve(shippedNames.size() + ownNames.size() + 1);
    seen.insert(shippedNames.begin(), shippedNames.end());
    std::vector<std::string_view> added;
    for (const std::string &name : ownNames) {
        if (loadable(name) && seen.insert(name).second)
            added.push_back(name);
    }
    if (!extra.empty() && seen.insert(extra).second)
        added.push_back(extra);
    if (added.empty())
        return std::string(shipped); // the shipped text as it stands
    // The shipped text goes on as it stands where a name can follow it.
    std::string merged;
    if (!shippedNames.empty()) {
        const auto joint = jointAfter(shipped, shippedNames);
        merged = joint ? std::string(shipped) + std::string(joint->substr(0, joint->size() - 1)) : rebuiltList(shippedNames);
    }
    for (std::string_view name : added)
        merged = appended(std::move(merged), name);
    return merged;
}

std::optional<std::string> ownEntry(const fs::path &own, std::string_view name)
{
    const std::optional<std::string> entry = readWholeProfileValue(own, kDataSection, name);
    if (!entry)
        return std::nullopt;
    return std::string(withoutOuterQuotes(*entry));
}

std::string languageEntry(const fs::path &shipped, const fs::path &own, std::string_view name)
{
    if (auto entry = ownEntry(own, name))
        return std::move(*entry);
    return readProfileString(shipped, kDataSection, name, kNotFound);
}

std::optional<std::int32_t> entryCodeOf(std::u16string_view character)
{
    const std::u32string points = codePointsFromWide(character);
    if (points.size() != 1 || wideFromCodePoint(points[0]) != character)
        return std::nullopt; // not one character, or a lone surrogate
    const auto code = static_cast<std::int32_t>(points[0]);
    // Codes up to 255 are read as Windows-1252: only where that gives the same
    // character does the code point stand for itself.
    if (code < 256 && keyCharacter(code) != character)
        return std::nullopt;
    return code;
}

namespace {

// My Characters' entry in the user's file, or nullopt when there is none.
std::optional<LanguageRecord> myCharacters(const ProfileFile &file)
{
    const std::optional<std::string> entry = file.wholeValue(kDataSection, kMyCharactersName);
    if (!entry)
        return std::nullopt;
    return repairedLanguageEntry(withoutOuterQuotes(*entry), kMyCharactersKeysPerRow);
}

// Lists name in the user's Languages, keeping every byte of the list.
// Returns whether the file changed.
bool listOwnLanguage(ProfileFile &file, std::string_view name)
{
    const std::optional<std::string> whole = file.wholeValue(kDataSection, kLanguagesKey);
    const std::string list = ownListText(whole.value_or(""));
    const std::vector<std::string> items = splitCommaList(list);
    if (listed(items, name))
        return false;
    if (items.empty())
        return file.setWholeValue(kDataSection, kLanguagesKey, valueReadingAs(listItem(name)));
    if (const auto joint = jointAfter(list, items); list == *whole && joint)
        return file.appendToValue(kDataSection, kLanguagesKey, std::string(*joint) + listItem(name));
    // an older write's extra pair of quotes, or a text no name can follow: its items, written again
    return file.setWholeValue(kDataSection, kLanguagesKey, appended(rebuiltList(items), name));
}

bool holds(const LanguageRecord &record, std::int32_t code)
{
    const std::u16string character = keyCharacter(code);
    return std::any_of(record.KeyCodes.begin(), record.KeyCodes.end(),
                       [&](std::int32_t held) { return keyCharacter(held) == character; });
}

} // namespace

bool addToMyCharacters(ProfileFile &file, std::int32_t code, std::string_view face, std::int32_t points)
{
    std::optional<LanguageRecord> record = myCharacters(file);
    if (record && holds(*record, code))
        return false;
    if (!record) {
        record.emplace();
        record->KeyFontName = face.empty() ? std::string(kDefaultKeyFontName) : std::string(face);
        record->KeyFontSize = points > 0 ? points : kDefaultKeyFontSize;
        record->KeysPerRow = kMyCharactersKeysPerRow;
        listOwnLanguage(file, kMyCharactersName);
    }
    record->KeyCodes.push_back(code);
    file.setWholeValue(kDataSection, kMyCharactersName, writtenEntry(*record));
    return true;
}

bool removeFromMyCharacters(ProfileFile &file, std::int32_t code)
{
    std::optional<LanguageRecord> record = myCharacters(file);
    if (!record || !holds(*record, code))
        return false;
    const std::u16string character = keyCharacter(code);
    std::erase_if(record->KeyCodes, [&](std::int32_t held) { return keyCharacter(held) == character; });
    file.setWholeValue(kDataSection, kMyCharactersName, writtenEntry(*record));
    return true;
}

std::optional<LanguageRecord> myCharactersOf(const ProfileFile &file) { return myCharacters(file); }

namespace {

// A link followed to a file of another kind (or such a file in its place)
// would have a section of ours added to it: only a file that reads as a
// keyboard-language file, or holds nothing yet, is edited.
void editOwnFile(const fs::path &own, const std::function<bool(ProfileFile &)> &edit)
{
    editProfileFile(own, [&](ProfileFile &file) {
        if (!file.isBlank() && !file.hasSection(kDataSection))
            throw Error("Unable to write to " + own.string());
        return edit(file);
    });
}

} // namespace

void writeOwnEntry(const fs::path &own, std::string_view name, std::string_view entry)
{
    std::error_code ec;
    fs::create_directories(own.parent_path(), ec);
    editOwnFile(own, [&](ProfileFile &file) { return file.setWholeValue(kDataSection, name, entry); });
}

bool addOwnLanguage(ProfileFile &file, std::string_view name, std::string_view entry)
{
    if (!loadable(name))
        throw Error("'" + std::string(name) + "' cannot name a keyboard language");
    const bool entrySet = file.setWholeValue(kDataSection, name, entry);
    return listOwnLanguage(file, name) || entrySet;
}

void addOwnLanguage(const fs::path &own, std::string_view name, std::string_view entry)
{
    std::error_code ec;
    fs::create_directories(own.parent_path(), ec);
    editOwnFile(own, [&](ProfileFile &file) { return addOwnLanguage(file, name, entry); });
}

bool addToMyCharacters(const fs::path &own, std::int32_t code, std::string_view face, std::int32_t points)
{
    std::error_code ec;
    fs::create_directories(own.parent_path(), ec);
    bool added = false;
    editOwnFile(own, [&](ProfileFile &file) { return added = addToMyCharacters(file, code, face, points); });
    return added;
}

bool removeFromMyCharacters(const fs::path &own, std::int32_t code)
{
    bool removed = false;
    editOwnFile(own, [&](ProfileFile &file) { return removed = removeFromMyCharacters(file, code); });
    return removed;
}

std::optional<std::int32_t> recentCode(std::int32_t code)
{
    if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    const std::optional<std::int32_t> shown = entryCodeOf(keyCharacter(code));
    if (!shown || *shown < 0x20 || (*shown >= 0x7F && *shown <= 0x9F))
        return std::nullopt;
    return shown;
}

RecentCharacters RecentCharacters::fromText(std::string_view text)
{
    RecentCharacters recent;
    for (const std::string &item : splitCommaList(text)) {
        const std::optional<std::int32_t> number = strictNumber(item); // a damaged item is left out
        const std::optional<std::int32_t> code = number ? recentCode(*number) : std::nullopt;
        if (code && std::find(recent.m_codes.begin(), recent.m_codes.end(), *code) == recent.m_codes.end())
            recent.m_codes.push_back(*code);
        if (recent.m_codes.size() == kRecentLimit)
            break;
    }
    return recent;
}

std::string RecentCharacters::toText() const
{
    std::string text;
    for (std::int32_t code : m_codes)
        text += (text.empty() ? "" : ",") + decimalText(code);
    return text;
}

bool RecentCharacters::add(std::int32_t given)
{
    const std::optional<std::int32_t> kept = recentCode(given);
    if (!kept)
        return false;
    const std::int32_t code = *kept;
    if (!m_codes.empty() && m_codes.front() == code)
        return false;
    std::erase(m_codes, code);
    m_codes.insert(m_codes.begin(), code);
    if (m_codes.size() > kRecentLimit)
        m_codes.resize(kRecentLimit);
    return true;
}

std::string RecentCharacters::entry() const
{
    LanguageRecord record;
    record.KeyFontName = std::string(kDefaultKeyFontName);
    record.KeyFontSize = 12;
    record.KeysPerRow = kMyCharactersKeysPerRow;
    record.KeyCodes = m_codes;
    return writtenEntry(record);
}

} // namespace umbrill
