// Fuzz target of the user.reg reader and in-place writer. The input is a section,
// a value name and a value, then the file's bytes (fields split at 0x1F). Nothing
// may crash; a stored string reads back as written (up to a NUL), both from the
// edited object and from its bytes read afresh; a refused write changes nothing;
// storing the same text again changes nothing; and no other value changes.
#include "fuzzsupport.h"

#include "core/settings/registryfile.h"
#include "core/text/ansi.h"
#include "core/text/error.h"

#include <algorithm>
#include <utility>

namespace {

using namespace umbrill;
using umbrill::fuzz::equalsIgnoringAsciiCase;

constexpr std::string_view kAbsent = "\x02(absent)";
constexpr std::string_view kWrongType = "\x03(wrong type)";
// Key paths and value names looked up, each across the other: every lookup
// reads all the values of its key, so a long key costs a lookup that much.
constexpr std::size_t kMaxNames = 3;

std::string validUtf8(std::string_view s) { return isValidUtf8(s) ? std::string(s) : utf8FromWide(wideFromUtf8(s)); }

bool hasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::string textOf(const RegistryFile &file)
{
    const std::string bytes = file.toBytes();
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return bytes;
    std::u16string wide;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
        wide += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return utf8FromWide(wide);
}

// A rough scan for the key paths and value names a file holds; every name found
// is only used as a query, so it need not follow the reader's rules exactly.
std::pair<std::vector<std::string>, std::vector<std::string>> namesIn(std::string_view text)
{
    std::vector<std::string> paths;
    std::vector<std::string> names;
    const auto add = [](std::vector<std::string> &list, std::string name) {
        if (list.size() < kMaxNames && std::find(list.begin(), list.end(), name) == list.end())
            list.push_back(std::move(name));
    };
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimBlanks(text.substr(pos, end - pos));
        if (line.size() >= 2 && line.front() == '[') {
            std::string_view path = line.substr(1, line.find(']') - 1);
            if (!path.empty() && path.front() == '-')
                path.remove_prefix(1);
            add(paths, std::string(trimBlanks(path)));
        } else if (!line.empty() && line.front() == '@') {
            add(names, "");
        } else if (!line.empty() && line.front() == '"') {
            std::string name;
            for (std::size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size())
                    ++i;
                name += line[i];
            }
            add(names, std::move(name));
        }
        pos = end + 1;
    }
    return {paths, names};
}

std::string valueOf(const RegistryFile &file, std::string_view path, std::string_view name)
{
    try {
        const std::optional<std::string> value = file.stringValue(path, name);
        return value ? *value : std::string(kAbsent);
    } catch (const Error &) {
        return std::string(kWrongType);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::vector<std::string_view> fields = umbrill::fuzz::splitFields(umbrill::fuzz::asText(data, size), 4);
    // Names reach the store as UTF-8; the value is taken as it comes.
    const std::string section = validUtf8(fields[0]);
    const std::string keyPath = std::string(kSettingsRootKey) + (section.empty() ? "" : "\\" + section);
    const std::string name = validUtf8(fields[1]);
    const std::string_view value = fields[2];

    RegistryFile file = RegistryFile::fromBytes(std::string(fields[3]));
    const std::string before = file.toBytes();
    auto [paths, names] = namesIn(textOf(file));
    paths.push_back(kSettingsRootKey.data());
    std::vector<std::string> valuesBefore;
    for (const std::string &p : paths) {
        static_cast<void>(file.hasKey(p));
        for (const std::string &n : names)
            valuesBefore.push_back(valueOf(file, p, n));
    }
    static_cast<void>(valueOf(file, keyPath, name));

    try {
        file.setString(keyPath, name, value);
    } catch (const Error &) {
        // Refused only for names that cannot be written or would not read back.
        UMBRILL_FUZZ_CHECK(hasLineBreakOrNul(keyPath) || hasLineBreakOrNul(name) || trimBlanks(keyPath) != keyPath);
        UMBRILL_FUZZ_CHECK(file.toBytes() == before);
        return 0;
    }

    const std::string text = validUtf8(value);
    const std::string expected = text.substr(0, text.find('\0'));
    UMBRILL_FUZZ_CHECK(file.hasKey(keyPath));
    UMBRILL_FUZZ_CHECK(valueOf(file, keyPath, name) == expected);

    const std::string written = file.toBytes();
    const RegistryFile reread = RegistryFile::fromBytes(written);
    UMBRILL_FUZZ_CHECK(valueOf(reread, keyPath, name) == expected);

    std::size_t index = 0;
    for (const std::string &p : paths) {
        for (const std::string &n : names) {
            const std::string &old = valuesBefore[index++];
            if (equalsIgnoringAsciiCase(p, keyPath) && equalsIgnoringAsciiCase(n, name))
                continue;
            UMBRILL_FUZZ_CHECK(valueOf(file, p, n) == old);
            UMBRILL_FUZZ_CHECK(valueOf(reread, p, n) == old);
        }
    }

    file.setString(keyPath, name, value);
    UMBRILL_FUZZ_CHECK(file.toBytes() == written);
    return 0;
}
