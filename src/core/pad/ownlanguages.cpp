// The user's own languages, My Characters and Recent.
#include "core/pad/ownlanguages.h"

#include "core/keypad/keygrid.h"
#include "core/languages/languagerecord.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/settings/settingsstore.h"
#include "core/text/ansi.h"
#include "core/text/ascii.h"
#include "core/text/commalist.h"
#include "core/text/error.h"

#include <algorithm>

namespace umbrill {
namespace {

namespace fs = std::filesystem;

// A value in a profile file never holds a line break: a read that gives one
// found no value.
constexpr std::string_view kAbsent = "\n";

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
    return list + listItem(name);
}

} // namespace

fs::path ownLanguagesFilePath() { return settingsFilePath().parent_path() / "languages.ini"; }

std::string mergedCatalogue(std::string_view shipped, std::string_view own, std::string_view extra)
{
    std::string merged(shipped);
    std::vector<std::string> names = splitCommaList(shipped);
    for (const std::string &name : splitCommaList(own)) {
        if (name.empty() || listed(names, name))
            continue;
        merged = appended(std::move(merged), name);
        names.push_back(name);
    }
    if (!extra.empty() && !listed(names, extra))
        merged = appended(std::move(merged), extra);
    return merged;
}

std::optional<std::string> ownEntry(const fs::path &own, std::string_view name)
{
    std::string entry = readProfileString(own, kDataSection, name, kAbsent);
    if (entry == kAbsent)
        return std::nullopt;
    return entry;
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
    const std::string entry = file.value(kDataSection, kMyCharactersName, kAbsent);
    if (entry == kAbsent)
        return std::nullopt;
    LanguageRecord record;
    try {
        applyLanguageEntry(record, entry);
    } catch (const Error &) {
        // a hand-damaged size: the keys are still worth keeping
        record.KeyFontSize = kDefaultKeyFontSize;
        record.KeysPerRow = kMyCharactersKeysPerRow;
    }
    return record;
}

bool holds(const LanguageRecord &record, std::int32_t code)
{
    const std::u16string character = keyCharacter(code);
    return std::any_of(record.KeyCodes.begin(), record.KeyCodes.end(),
                       [&](std::int32_t held) { return keyCharacter(held) == character; });
}

} // namespace

bool addToMyCharacters(const fs::path &own, std::int32_t code, std::string_view face, std::int32_t points)
{
    std::error_code ec;
    fs::create_directories(own.parent_path(), ec);
    bool added = false;
    editProfileFile(own, [&](ProfileFile &file) {
        std::optional<LanguageRecord> record = myCharacters(file);
        if (record && holds(*record, code))
            return false;
        if (!record) {
            record.emplace();
            record->KeyFontName = face.empty() ? std::string(kDefaultKeyFontName) : std::string(face);
            record->KeyFontSize = points > 0 ? points : kDefaultKeyFontSize;
            record->KeysPerRow = kMyCharactersKeysPerRow;
            const std::string list = file.value(kDataSection, kLanguagesKey, "");
            if (!listed(splitCommaList(list), kMyCharactersName))
                file.setValue(kDataSection, kLanguagesKey, valueReadingAs(appended(list, kMyCharactersName)));
        }
        record->KeyCodes.push_back(code);
        file.setValue(kDataSection, kMyCharactersName, writtenEntry(*record));
        added = true;
        return true;
    });
    return added;
}

bool removeFromMyCharacters(const fs::path &own, std::int32_t code)
{
    bool removed = false;
    editProfileFile(own, [&](ProfileFile &file) {
        std::optional<LanguageRecord> record = myCharacters(file);
        if (!record || !holds(*record, code))
            return false;
        const std::u16string character = keyCharacter(code);
        std::erase_if(record->KeyCodes, [&](std::int32_t held) { return keyCharacter(held) == character; });
        file.setValue(kDataSection, kMyCharactersName, writtenEntry(*record));
        removed = true;
        return true;
    });
    return removed;
}

RecentCharacters RecentCharacters::fromText(std::string_view text)
{
    RecentCharacters recent;
    for (const std::string &item : splitCommaList(text)) {
        try {
            recent.m_codes.push_back(strictToInt(item));
        } catch (const Error &) {
            // a damaged item: left out
        }
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

bool RecentCharacters::add(std::int32_t code)
{
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
