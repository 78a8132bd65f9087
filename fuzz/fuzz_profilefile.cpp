// Fuzz target of the data-file reader and in-place writer. The input is a
// section, a key and a value, then the file's bytes (fields split at 0x1F).
// Nothing may crash; a written value reads back as the reading rules deliver
// it, both from the edited object and from its bytes read afresh; a refused
// write changes nothing; writing the same value again changes nothing; and no
// other key changes its value.
#include "fuzzsupport.h"

#include "core/settings/profilefile.h"
#include "core/text/ansi.h"
#include "core/text/error.h"

#include <algorithm>
#include <utility>

namespace {

using namespace umbrill;
using umbrill::fuzz::equalsIgnoringAsciiCase;

constexpr std::string_view kAbsent = "\x02(absent)";
constexpr std::size_t kMaxNames = 8;

bool isFileBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view trimmed(std::string_view s, bool (*blank)(char))
{
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trimFileBlanks(std::string_view s) { return trimmed(s, isFileBlank); }
std::string_view trimSpaces(std::string_view s) { return trimmed(s, [](char c) { return c == ' '; }); }

std::string validUtf8(std::string_view s) { return isValidUtf8(s) ? std::string(s) : utf8FromWide(wideFromUtf8(s)); }

std::string_view stripOuterQuotes(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

std::string firstChars(std::string s, std::size_t count)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && ++chars > count) {
            s.resize(i);
            break;
        }
    }
    return s;
}

bool hasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// The file's text as UTF-8, whatever its encoding, from its bytes.
std::string textOf(const ProfileFile &file, const std::string &bytes)
{
    if (file.encoding() == ProfileEncoding::Utf16Le) {
        std::u16string wide;
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
        return utf8FromWide(wide);
    }
    if (file.encoding() == ProfileEncoding::Utf8WithBom)
        return bytes.substr(3);
    if (file.encoding() == ProfileEncoding::Utf8)
        return bytes;
    return utf8FromAnsi(bytes);
}

// A rough scan for the section and key names a file holds; it need not follow the
// reader's rules exactly, since every name is only used as a query.
std::pair<std::vector<std::string>, std::vector<std::string>> namesIn(std::string_view text)
{
    std::vector<std::string> sections;
    std::vector<std::string> keys;
    const auto add = [](std::vector<std::string> &names, std::string_view name) {
        if (names.size() < kMaxNames && std::find(names.begin(), names.end(), name) == names.end())
            names.emplace_back(name);
    };
    umbrill::fuzz::forEachLine(text, [&](std::string_view line) {
        line = trimFileBlanks(line.substr(0, line.find('\0')));
        if (!line.empty() && line.front() == '[')
            add(sections, trimFileBlanks(line.substr(1, line.find(']') - 1)));
        else if (const std::size_t eq = line.find('='); eq != std::string_view::npos)
            add(keys, trimFileBlanks(line.substr(0, eq)));
    });
    return {sections, keys};
}

// A write is refused only for the reasons the header gives.
bool refusalAllowed(std::string_view section, std::string_view key, std::string_view value)
{
    section = trimSpaces(section);
    key = trimSpaces(key);
    const auto edgeBlank = [](std::string_view name) {
        return !name.empty() && (isFileBlank(name.front()) || isFileBlank(name.back()));
    };
    return hasLineBreakOrNul(value) || hasLineBreakOrNul(section) || hasLineBreakOrNul(key)
           || section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos
           || (!key.empty() && (key.front() == ';' || key.front() == '[')) || edgeBlank(section) || edgeBlank(key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::string_view> fields = umbrill::fuzz::splitFields(umbrill::fuzz::asText(data, size), 4);
    const std::string_view section = fields[0];
    const std::string_view key = fields[1];
    const std::string_view value = fields[2];

    ProfileFile file = ProfileFile::fromBytes(std::string(fields[3]));
    const std::string before = file.toBytes();
    const auto [sections, keys] = namesIn(textOf(file, before));
    std::vector<std::string> valuesBefore;
    for (const std::string &s : sections) {
        for (const std::string &k : keys)
            valuesBefore.push_back(file.value(s, k, kAbsent));
    }
    static_cast<void>(file.value(section, key, value)); // the default path too

    try {
        file.setValue(section, key, value);
    } catch (const Error &) {
        UMBRILL_FUZZ_CHECK(refusalAllowed(section, key, value));
        UMBRILL_FUZZ_CHECK(file.toBytes() == before);
        return 0;
    }
    UMBRILL_FUZZ_CHECK(!hasLineBreakOrNul(value));

    // Names as they went into the file: less their blanks, in UTF-8.
    const std::string sectionName = validUtf8(trimSpaces(section));
    const std::string keyName = validUtf8(trimSpaces(key));
    // Blanks around a value and one pair of enclosing quotes do not survive the
    // trip through the file, as the reading rules say; everything else does.
    const std::string expected = firstChars(std::string(stripOuterQuotes(trimFileBlanks(validUtf8(value)))), kMaxValueChars);
    UMBRILL_FUZZ_CHECK(file.value(sectionName, keyName, kAbsent) == expected);

    const std::string written = file.toBytes();
    const ProfileFile reread = ProfileFile::fromBytes(written);
    UMBRILL_FUZZ_CHECK(reread.value(sectionName, keyName, kAbsent) == expected);
    UMBRILL_FUZZ_CHECK((reread.encoding() == ProfileEncoding::Utf16Le) == (file.encoding() == ProfileEncoding::Utf16Le));

    std::size_t index = 0;
    for (const std::string &s : sections) {
        for (const std::string &k : keys) {
            const std::string &old = valuesBefore[index++];
            if (equalsIgnoringAsciiCase(trimSpaces(s), sectionName) && equalsIgnoringAsciiCase(trimSpaces(k), keyName))
                continue;
            UMBRILL_FUZZ_CHECK(file.value(s, k, kAbsent) == old);
            UMBRILL_FUZZ_CHECK(reread.value(s, k, kAbsent) == old);
        }
    }

    file.setValue(section, key, value);
    UMBRILL_FUZZ_CHECK(file.toBytes() == written);
    return 0;
}
