// Fuzz target of My Characters' add and remove on the user's own file. Whatever
// the file holds, an edit keeps every other value as it was, every name of the
// Languages list, and every character My Characters held (less the one
// removed); the file keeps its encoding (a Windows-1252 one may become UTF-8,
// a UTF-8 one plain ASCII).
#include "fuzzsupport.h"

#include "core/keypad/keygrid.h"
#include "core/pad/ownlanguages.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingnames.h"
#include "core/text/ascii.h"
#include "core/text/commalist.h"
#include "core/text/error.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

namespace {

using namespace umbrill;
using umbrill::fuzz::equalsIgnoringAsciiCase;

using NamedValue = std::pair<std::string_view, std::string_view>; // (section, key), parts of the file's text

// Every (section, key) the file's lines seem to name, found the simple way.
std::vector<NamedValue> namedValues(std::string_view text)
{
    std::vector<NamedValue> named;
    std::string_view section;
    umbrill::fuzz::forEachLine(text, [&](std::string_view line) {
        line = line.substr(0, line.find('\0'));
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            return;
        line.remove_prefix(start);
        if (line.front() == '[') {
            section = line.substr(1, line.find(']') == std::string_view::npos ? line.npos : line.find(']') - 1);
        } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos && line.front() != ';') {
            named.emplace_back(section, line.substr(0, eq));
        }
    });
    return named;
}

bool isOwnList(const NamedValue &name)
{
    const auto trimmed = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
            s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
            s.remove_suffix(1);
        return s;
    };
    return equalsIgnoringAsciiCase(trimmed(name.first), kDataSection)
           && (equalsIgnoringAsciiCase(trimmed(name.second), kLanguagesKey)
               || equalsIgnoringAsciiCase(trimmed(name.second), kMyCharactersName));
}

std::vector<std::string> listNames(const ProfileFile &file)
{
    return splitCommaList(ownListText(file.wholeValue(kDataSection, kLanguagesKey).value_or("")));
}

void checkEdit(const std::string &bytes, std::int32_t code, bool add)
{
    const ProfileFile before = ProfileFile::fromBytes(bytes);
    ProfileFile edited = before; // a copy shares the parsed text until the edit
    const std::optional<LanguageRecord> held = myCharactersOf(before);
    bool changed = false;
    try {
        changed = add ? addToMyCharacters(edited, code, "Face", 12) : removeFromMyCharacters(edited, code);
    } catch (const Error &) {
        return; // a name or value the file cannot hold: the caller leaves the file as it was
    }
    // What a later read of the written file sees.
    const std::string written = std::move(edited).toBytes();
    const ProfileFile after = ProfileFile::fromBytes(written);
    // A UTF-8 file whose only other characters were in the entry may come out plain ASCII.
    const bool ascii = std::all_of(written.begin(), written.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    UMBRILL_FUZZ_CHECK(after.encoding() == before.encoding()
                       || (before.encoding() == ProfileEncoding::Ansi && after.encoding() == ProfileEncoding::Utf8)
                       || (before.encoding() == ProfileEncoding::Utf8 && ascii));

    // Every value, or in a long file a sample: its first and last 8 and 16
    // spread between them, so that a long input costs no more than a short one.
    std::vector<NamedValue> named = namedValues(bytes);
    if (named.size() > 32) {
        std::vector<NamedValue> sample(named.begin(), named.begin() + 8);
        for (std::size_t k = 1; k <= 16; ++k)
            sample.push_back(named[8 + k * (named.size() - 16) / 17]);
        sample.insert(sample.end(), named.end() - 8, named.end());
        named = std::move(sample);
    }
    for (const auto &[section, key] : named) {
        if (isOwnList({section, key}))
            continue;
        UMBRILL_FUZZ_CHECK(after.value(section, key, "\n") == before.value(section, key, "\n"));
        UMBRILL_FUZZ_CHECK(after.wholeValue(section, key) == before.wholeValue(section, key));
    }

    // The list keeps every name, in order; My Characters is on it once there are keys.
    const std::vector<std::string> namesBefore = listNames(before);
    const std::vector<std::string> namesAfter = listNames(after);
    UMBRILL_FUZZ_CHECK(namesAfter.size() >= namesBefore.size());
    UMBRILL_FUZZ_CHECK(std::equal(namesBefore.begin(), namesBefore.end(), namesAfter.begin()));
    // Names match as entry names do, whatever their letter case.
    if (add && !held)
        UMBRILL_FUZZ_CHECK(std::any_of(namesAfter.begin(), namesAfter.end(), [](const std::string &name) {
            return equalsIgnoringAsciiCase(name, kMyCharactersName);
        }));
    if (held || !add)
        UMBRILL_FUZZ_CHECK(namesAfter.size() == namesBefore.size());

    // Every character held stays, in order; the one added joins at the end, the one removed goes.
    const std::optional<LanguageRecord> now = myCharactersOf(after);
    std::vector<std::int32_t> expected = held ? held->KeyCodes : std::vector<std::int32_t>();
    const std::u16string character = keyCharacter(code);
    const bool wasHeld = std::any_of(expected.begin(), expected.end(),
                                     [&](std::int32_t c) { return keyCharacter(c) == character; });
    if (add && !wasHeld)
        expected.push_back(code);
    if (!add)
        std::erase_if(expected, [&](std::int32_t c) { return keyCharacter(c) == character; });
    UMBRILL_FUZZ_CHECK(changed == (add ? !wasHeld : wasHeld));
    UMBRILL_FUZZ_CHECK(now.has_value() == (held.has_value() || changed));
    if (now) {
        UMBRILL_FUZZ_CHECK(now->KeyCodes == expected);
        if (held && changed) {
            UMBRILL_FUZZ_CHECK(now->KeyFontName == held->KeyFontName);
            UMBRILL_FUZZ_CHECK(now->KeyFontSize == held->KeyFontSize);
            UMBRILL_FUZZ_CHECK(now->KeysPerRow == held->KeysPerRow);
        }
    }
}

} // namespace

// Layout: op byte (even: add, odd: remove), four bytes of the code
// (little-endian), then the file's bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 5)
        return 0;
    std::int32_t code = 0;
    std::memcpy(&code, data + 1, 4);
    const std::string bytes(reinterpret_cast<const char *>(data + 5), size - 5);
    checkEdit(bytes, code, data[0] % 2 == 0);
    return 0;
}
