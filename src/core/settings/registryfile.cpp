// Reading and editing the registry-export text of user.reg.
#include "core/settings/registryfile.h"

#include "core/text/ansi.h"
#include "core/text/ascii.h"
#include "core/text/error.h"

#include <iterator>

namespace umbrill {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::uint32_t kRegDword = 4;
constexpr std::size_t kHexLineWidth = 76;

bool startsWithIgnoringAsciiCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && equalsIgnoringAsciiCase(s.substr(0, prefix.size()), prefix);
}

// True when path is key or one of its sub-keys.
bool isKeyOrBelow(std::string_view path, std::string_view key)
{
    return equalsIgnoringAsciiCase(path, key)
           || (path.size() > key.size() && path[key.size()] == '\\' && startsWithIgnoringAsciiCase(path, key));
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

void skipBlanks(std::string_view s, std::size_t &pos)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
}

// A "quoted" string starting at pos; on success pos is past the closing quote.
std::optional<std::string> parseQuoted(std::string_view s, std::size_t &pos)
{
    if (pos >= s.size() || s[pos] != '"')
        return std::nullopt;
    std::string text;
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            pos = i + 1;
            return text;
        }
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            ++i;
        text += s[i];
    }
    return std::nullopt;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = asciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::uint32_t> parseHexNumber(std::string_view s, std::size_t maxDigits)
{
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : s) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

// "aa,bb,cc": bytes of one or two hex digits; a comma at the end is allowed.
std::optional<std::string> parseHexBytes(std::string_view list)
{
    std::string bytes;
    list = trimBlanks(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view token = trimBlanks(list.substr(0, comma));
        const auto value = parseHexNumber(token, 2);
        if (!value)
            return std::nullopt;
        bytes += static_cast<char>(*value);
        if (comma == std::string_view::npos)
            break;
        list = trimBlanks(list.substr(comma + 1));
    }
    return bytes;
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out;
}

// Registry text in UTF-16LE, up to the first NUL.
std::string textFromUtf16Le(std::string_view bytes)
{
    std::size_t end = 0;
    while (end + 1 < bytes.size() && (bytes[end] != 0 || bytes[end + 1] != 0))
        end += 2;
    return utf8FromUtf16Le(bytes.substr(0, end));
}

std::string valueLine(std::string_view name, std::string_view text, std::string_view lineBreak)
{
    std::string line = name.empty() ? std::string("@") : "\"" + escaped(name) + "\"";
    if (!holdsLineBreakOrNul(text))
        return line + "=\"" + escaped(text) + "\"";
    // hex(1): is REG_SZ too, and holds any text without breaking the line.
    std::u16string wide = wideFromUtf8(text);
    wide += u'\0';
    line += "=hex(1):";
    static constexpr char kDigits[] = "0123456789abcdef";
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < wide.size() * 2; ++i) {
        const unsigned byte = (i % 2 == 0) ? (wide[i / 2] & 0xFFu) : (wide[i / 2] >> 8);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0xF];
        if (i + 1 < wide.size() * 2) {
            line += ',';
            if (line.size() - lineStart >= kHexLineWidth) {
                line += "\\";
                line += lineBreak;
                lineStart = line.size();
                line += "  ";
            }
        }
    }
    return line;
}

bool isBlankLine(std::string_view raw)
{
    return raw.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool endsWithLineBreak(std::string_view raw) { return !raw.empty() && raw.back() == '\n'; }

// True when the lines of an entry, joined as the reader joins a value's lines,
// still end in the continuation mark "\": the entry would take in whatever
// line came next.
bool continuesOnNextLine(std::string_view raw)
{
    std::string joined;
    for (std::size_t pos = 0; pos < raw.size();) {
        const std::size_t newline = raw.find('\n', pos);
        const std::size_t end = newline == std::string_view::npos ? raw.size() : newline;
        std::string_view line = raw.substr(pos, end - pos);
        if (newline != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!joined.empty() && joined.back() == '\\')
            joined.pop_back(); // the mark that took this line in
        joined = std::string(trimBlanks(joined)) + std::string(trimBlanks(line));
        pos = newline == std::string_view::npos ? raw.size() : newline + 1;
    }
    return !joined.empty() && joined.back() == '\\';
}

std::string_view trailingLineBreak(std::string_view raw)
{
    if (raw.size() >= 2 && raw.substr(raw.size() - 2) == "\r\n")
        return "\r\n";
    return endsWithLineBreak(raw) ? std::string_view("\n") : std::string_view();
}

} // namespace

RegistryFile RegistryFile::fromBytes(std::string bytes)
{
    if (std::string_view(bytes).substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        RegistryFile file = fromBytes(utf8FromUtf16Le(std::string_view(bytes).substr(kUtf16LeBom.size())));
        file.m_utf16 = true;
        return file;
    }
    struct Line {
        std::size_t begin;
        std::size_t contentEnd;
        std::size_t end;
    };
    std::vector<Line> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t newline = bytes.find('\n', pos);
        const std::size_t end = newline == std::string::npos ? bytes.size() : newline + 1;
        std::size_t contentEnd = newline == std::string::npos ? bytes.size() : newline;
        if (contentEnd > pos && bytes[contentEnd - 1] == '\r' && newline != std::string::npos)
            --contentEnd;
        lines.push_back({pos, contentEnd, end});
        pos = end;
    }
    const std::size_t bomSize = std::string_view(bytes).substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    auto content = [&](std::size_t i) {
        const std::size_t begin = lines[i].begin + (i == 0 ? bomSize : 0);
        return std::string_view(bytes).substr(begin, lines[i].contentEnd - begin);
    };

    RegistryFile file;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Entry entry;
        const std::size_t first = i;
        const std::string_view text = trimBlanks(content(i));

        if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
            std::string_view path = text.substr(1, text.size() - 2);
            entry.deletes = !path.empty() && path.front() == '-';
            if (entry.deletes)
                path.remove_prefix(1);
            entry.kind = Entry::Kind::Key;
            entry.path = std::string(trimBlanks(path));
        } else if (!text.empty() && (text.front() == '"' || text.front() == '@')) {
            [&] {
                std::size_t pos = 0;
                std::optional<std::string> name;
                if (text.front() == '@') {
                    name = std::string();
                    pos = 1;
                } else {
                    name = parseQuoted(text, pos);
                }
                if (!name)
                    return;
                skipBlanks(text, pos);
                if (pos >= text.size() || text[pos] != '=')
                    return;
                ++pos;
                skipBlanks(text, pos);
                std::string_view data = text.substr(pos);
                entry.name = *name;
                if (!data.empty() && data.front() == '"') {
                    std::size_t end = 0;
                    const auto value = parseQuoted(data, end);
                    if (!value || !trimBlanks(data.substr(end)).empty())
                        return;
                    entry.type = kRegSz;
                    entry.quoted = true;
                    entry.data = *value;
                } else if (data == "-") {
                    entry.deletes = true;
                } else if (startsWithIgnoringAsciiCase(data, "dword:")) {
                    const auto number = parseHexNumber(data.substr(6), 8);
                    if (!number)
                        return;
                    entry.type = kRegDword;
                    for (int shift = 0; shift < 32; shift += 8)
                        entry.data += static_cast<char>((*number >> shift) & 0xFF);
                } else if (startsWithIgnoringAsciiCase(data, "hex")) {
                    data.remove_prefix(3);
                    entry.type = 3; // REG_BINARY
                    if (!data.empty() && data.front() == '(') {
                        const std::size_t close = data.find(')');
                        if (close == std::string_view::npos)
                            return;
                        const auto type = parseHexNumber(data.substr(1, close - 1), 8);
                        if (!type)
                            return;
                        entry.type = *type;
                        data.remove_prefix(close + 1);
                    }
                    if (data.empty() || data.front() != ':')
                        return;
                    std::string list(data.substr(1));
                    // A trailing "\" continues the list on the next line.
                    while (!trimBlanks(list).empty() && trimBlanks(list).back() == '\\' && i + 1 < lines.size()) {
                        list = std::string(trimBlanks(list));
                        list.pop_back();
                        ++i;
                        list += trimBlanks(content(i));
                    }
                    const auto bytesOfValue = parseHexBytes(list);
                    if (!bytesOfValue)
                        return;
                    entry.data = *bytesOfValue;
                } else {
                    return;
                }
                entry.kind = Entry::Kind::Value;
            }();
        }
        if (entry.kind == Entry::Kind::Other)
            entry = Entry{};
        entry.raw = bytes.substr(lines[first].begin, lines[i].end - lines[first].begin);
        file.m_entries.push_back(std::move(entry));
    }
    return file;
}

RegistryFile RegistryFile::fresh()
{
    return fromBytes(std::string(kRegistryHeader) + "\n\n[" + std::string(kSettingsRootKey) + "]\n");
}

bool RegistryFile::hasKey(std::string_view keyPath) const
{
    bool exists = false;
    for (const Entry &entry : m_entries) {
        if (entry.kind != Entry::Kind::Key)
            continue;
        if (entry.deletes && isKeyOrBelow(keyPath, entry.path))
            exists = false;
        else if (!entry.deletes && isKeyOrBelow(entry.path, keyPath))
            exists = true;
    }
    return exists;
}

std::optional<std::string> RegistryFile::stringValue(std::string_view keyPath, std::string_view name) const
{
    const Entry *found = nullptr;
    bool inKey = false;
    for (const Entry &entry : m_entries) {
        if (entry.kind == Entry::Kind::Key) {
            if (entry.deletes && isKeyOrBelow(keyPath, entry.path))
                found = nullptr;
            inKey = !entry.deletes && equalsIgnoringAsciiCase(entry.path, keyPath);
        } else if (entry.kind == Entry::Kind::Value && inKey && equalsIgnoringAsciiCase(entry.name, name)) {
            found = entry.deletes ? nullptr : &entry;
        }
    }
    if (!found)
        return std::nullopt;
    if (found->type != kRegSz && found->type != kRegExpandSz)
        throw Error("Invalid data type for '" + std::string(name) + "'");
    if (!found->quoted)
        return textFromUtf16Le(found->data);
    const std::string_view text = std::string_view(found->data).substr(0, found->data.find('\0'));
    // A hand edit in Latin-1 or Windows-1252 reads as meant rather than as U+FFFD.
    return isValidUtf8(text) ? std::string(text) : utf8FromAnsi(text);
}

void RegistryFile::setString(std::string_view keyPath, std::string_view name, std::string_view text)
{
    // A key line drops the blanks around its path and reads a leading "-" as a
    // deletion: such a path would not read back as the key written.
    const bool pathReadsBack = trimBlanks(keyPath) == keyPath && (keyPath.empty() || keyPath.front() != '-');
    if (holdsLineBreakOrNul(keyPath) || holdsLineBreakOrNul(name) || !pathReadsBack)
        throw Error("Failed to set data for '" + std::string(name) + "'");
    const std::string value = repairedUtf8(text);
    const std::string lb = lineBreak();

    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t found = kNone;
    std::size_t header = kNone;
    bool inKey = false;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &entry = m_entries[i];
        if (entry.kind == Entry::Kind::Key) {
            if (entry.deletes && isKeyOrBelow(keyPath, entry.path)) {
                found = kNone;
                header = kNone;
            }
            inKey = !entry.deletes && equalsIgnoringAsciiCase(entry.path, keyPath);
            if (inKey)
                header = i;
        } else if (entry.kind == Entry::Kind::Value && inKey && equalsIgnoringAsciiCase(entry.name, name)) {
            found = i;
        }
    }

    Entry line;
    line.kind = Entry::Kind::Value;
    line.type = kRegSz;
    line.quoted = true;
    line.data = value;

    if (found != kNone) {
        Entry &old = m_entries[found];
        if (!old.deletes && old.quoted && old.data == value)
            return;
        line.name = old.name; // the spelling already in the file stays
        line.raw = valueLine(line.name, value, lb) + std::string(trailingLineBreak(old.raw));
        old = std::move(line);
        return;
    }

    line.name = std::string(name);
    line.raw = valueLine(name, value, lb) + lb;
    if (header != kNone) {
        // After the last value of the key, before blank lines or comments that follow.
        std::size_t after = header;
        for (std::size_t i = header + 1; i < m_entries.size() && m_entries[i].kind != Entry::Kind::Key; ++i) {
            if (m_entries[i].kind == Entry::Kind::Value)
                after = i;
        }
        if (!endsWithLineBreak(m_entries[after].raw))
            m_entries[after].raw += lb;
        m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(line));
        return;
    }

    if (m_entries.empty())
        m_entries = fresh().m_entries;
    Entry key;
    key.kind = Entry::Kind::Key;
    key.path = std::string(keyPath);
    key.raw = "[" + std::string(keyPath) + "]" + lb;
    // A last entry ending in "\" would continue onto the lines added after it,
    // changing what it and they mean: the new key goes in before that entry.
    if (continuesOnNextLine(m_entries.back().raw)) {
        Entry &last = m_entries.back();
        if (m_entries.size() == 1 && std::string_view(last.raw).substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            key.raw.insert(0, kUtf8Bom); // the byte-order mark stays first
            last.raw.erase(0, kUtf8Bom.size());
        }
        const auto at = m_entries.end() - 1;
        const bool blankBefore = at == m_entries.begin() || isBlankLine((at - 1)->raw);
        std::vector<Entry> added;
        if (!blankBefore) {
            added.emplace_back();
            added.back().raw = lb;
        }
        added.push_back(std::move(key));
        added.push_back(std::move(line));
        m_entries.insert(at, std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        return;
    }
    if (!endsWithLineBreak(m_entries.back().raw)) {
        // A CR that ends the file is part of its last line; a line break added
        // after it must not turn it into a CRLF and change what that line says.
        std::string &last = m_entries.back().raw;
        last += !last.empty() && last.back() == '\r' ? std::string("\r\n") : lb;
    }
    if (!isBlankLine(m_entries.back().raw)) {
        Entry blank;
        blank.raw = lb;
        m_entries.push_back(std::move(blank));
    }
    m_entries.push_back(std::move(key));
    m_entries.push_back(std::move(line));
}

std::string RegistryFile::toBytes() const
{
    std::string bytes;
    for (const Entry &entry : m_entries)
        bytes += entry.raw;
    if (!m_utf16)
        return bytes;
    std::string wide(kUtf16LeBom);
    for (char16_t unit : wideFromUtf8(bytes)) {
        wide += static_cast<char>(unit & 0xFF);
        wide += static_cast<char>(unit >> 8);
    }
    return wide;
}

std::string RegistryFile::lineBreak() const
{
    for (const Entry &entry : m_entries) {
        const std::size_t newline = entry.raw.find('\n');
        if (newline != std::string::npos)
            return (newline > 0 && entry.raw[newline - 1] == '\r') ? "\r\n" : "\n";
    }
    return "\n";
}

} // namespace umbrill
