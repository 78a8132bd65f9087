// Reading and editing the registry-export text of user.reg.
#include "core/settings/registryfile.h"

#include "core/text/ansi.h"
#include "core/text/ascii.h"
#include "core/text/error.h"
#include "core/text/lines.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <mutex>
#include <utility>
#include <vector>

namespace umbrill {
namespace {

constexpr std::size_t kHexLineWidth = 76;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) { return trimmed(s, isBlank); }

void skipBlanks(std::string_view s, std::size_t &pos)
{
    while (pos < s.size() && isBlank(s[pos]))
        ++pos;
}

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

// Where the "quoted" string starting at pos ends: one past its closing quote.
// Inside, \\ and \" stand for one character each.
std::optional<std::size_t> quotedEnd(std::string_view s, std::size_t pos)
{
    if (pos >= s.size() || s[pos] != '"')
        return std::nullopt;
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        if (s[i] == '"')
            return i + 1;
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
            ++i;
    }
    return std::nullopt;
}

// The text of a quoted string that quotedEnd accepted, quotes included.
std::string unquoted(std::string_view quoted)
{
    std::string text;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 1 < quoted.size() && (quoted[i + 1] == '\\' || quoted[i + 1] == '"'))
            ++i;
        text += quoted[i];
    }
    return text;
}

std::optional<std::uint32_t> parseHexNumber(std::string_view s, std::size_t maxDigits)
{
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    const char *end = s.data() + s.size();
    const auto [stop, error] = std::from_chars(s.data(), end, value, 16);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// "aa,bb,cc" as it arrives in pieces: bytes of one or two hex digits with
// blanks around them; a comma at the end is allowed.
class HexBytesReader {
public:
    // out, when given, receives the bytes.
    explicit HexBytesReader(std::string *out) : m_out(out) {}

    void feed(std::string_view piece)
    {
        for (const char c : piece) {
            if (!m_ok)
                return;
            if (c == ',')
                m_ok = endByte();
            else if (isBlank(c))
                m_closed = m_size > 0;
            else if (m_closed || m_size == sizeof m_digits)
                m_ok = false;
            else
                m_digits[m_size++] = c;
        }
    }

    // True when the whole list was well-formed.
    bool finish() { return m_ok && (m_size == 0 || endByte()); }

private:
    bool endByte()
    {
        const auto value = parseHexNumber(std::string_view(m_digits, m_size), sizeof m_digits);
        if (!value)
            return false;
        if (m_out)
            *m_out += static_cast<char>(*value);
        m_size = 0;
        m_closed = false;
        return true;
    }

    std::string *m_out;
    char m_digits[2] = {};
    std::size_t m_size = 0;
    bool m_closed = false; // a blank followed the digits
    bool m_ok = true;
};

// The lines of a value joined as an import joins them: while the text so far,
// blanks trimmed, ends in "\", that mark goes and the next line, trimmed, is
// added. Only the trailing run of blanks and marks can still change, so that
// run is held back and everything before it goes on to the reader at once:
// joining takes time in proportion to the lines' length.
class ContinuedText {
public:
    // reader, when given, receives the joined text.
    explicit ContinuedText(HexBytesReader *reader) : m_reader(reader) {}

    void append(std::string_view piece)
    {
        const std::size_t last = piece.find_last_not_of("\\ \t");
        if (last == std::string_view::npos) {
            m_tail += piece;
        } else {
            if (m_reader) {
                m_reader->feed(m_tail);
                m_reader->feed(piece.substr(0, last + 1));
            }
            m_tail.assign(piece.substr(last + 1));
        }
        while (!m_tail.empty() && isBlank(m_tail.back()))
            m_tail.pop_back();
    }

    // True when the text ends in the mark that takes in the next line.
    bool continues() const { return !m_tail.empty() && m_tail.back() == '\\'; }
    void dropMark() { m_tail.pop_back(); }

    void finish()
    {
        if (m_reader)
            m_reader->feed(m_tail);
    }

private:
    HexBytesReader *m_reader;
    std::string m_tail;
};

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

// The bytes of a text in the hex(1): form: UTF-16LE with a closing NUL.
std::string hexTextBytes(std::string_view text) { return utf16LeFromUtf8(text) + std::string(2, '\0'); }

std::string valueLine(std::string_view name, std::string_view text, std::string_view lineBreak)
{
    std::string line = name.empty() ? std::string("@") : "\"" + escaped(name) + "\"";
    if (!holdsLineBreakOrNul(text))
        return line + "=\"" + escaped(text) + "\"";
    // hex(1): is REG_SZ too, and holds any text without breaking the line.
    const std::string bytes = hexTextBytes(text);
    line += "=hex(1):";
    static constexpr char kDigits[] = "0123456789abcdef";
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0xF];
        if (i + 1 < bytes.size()) {
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

std::string_view trailingLineBreak(std::string_view raw)
{
    if (raw.ends_with("\r\n"))
        return "\r\n";
    return raw.ends_with('\n') ? std::string_view("\n") : std::string_view();
}

// The data of one value, decoded.
struct ValueData {
    std::uint32_t type = 0;
    std::string bytes;   // the text of a "quoted" string, else the raw bytes
    bool quoted = false; // written as "text"
};

// One line of the file, or the lines of one continued value.
struct Entry {
    enum class Kind { Other, Key, Value };
    Kind kind = Kind::Other;
    std::size_t begin = 0; // its bytes, line breaks included
    std::size_t end = 0;
    bool deletes = false;  // [-KEY] or "Name"=-
    std::string_view path; // Key: the key path
    std::string name;      // Value: the value name
};

// Walks the entries of the text in order.
class EntryReader {
public:
    explicit EntryReader(std::string_view text, std::size_t from = 0)
        : m_text(text), m_bomSize(text.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0), m_pos(from)
    {
    }

    // The next entry; data, when given, receives a value's data. False at the end.
    bool next(Entry &entry, ValueData *data = nullptr)
    {
        if (m_pos >= m_text.size())
            return false;
        entry.kind = Entry::Kind::Other;
        entry.begin = m_pos;
        entry.deletes = false;
        entry.path = {};
        entry.name.clear();
        const std::string_view text = trimBlanks(nextLine());
        if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
            readKeyLine(text, entry);
        else if (!text.empty() && (text.front() == '"' || text.front() == '@'))
            readValueEntry(text, entry, data);
        entry.end = m_pos;
        return true;
    }

    // True when the lines of an entry, joined as a value's lines are, still end
    // in the continuation mark: the entry would take in a line added after it.
    bool continues(const Entry &entry)
    {
        m_pos = entry.begin;
        ContinuedText joined(nullptr);
        joined.append(trimBlanks(nextLine()));
        while (m_pos < entry.end) {
            joined.dropMark();
            joined.append(trimBlanks(nextLine()));
        }
        return joined.continues();
    }

private:
    // The content of the line at m_pos, less the byte-order mark; moves past it.
    std::string_view nextLine()
    {
        const LineSpan line = lineAt(m_text, m_pos, LineBreaks::LfOrCrLf);
        m_pos = line.end;
        const std::size_t begin = line.begin == 0 ? m_bomSize : line.begin;
        return m_text.substr(begin, line.contentEnd - begin);
    }

    static void readKeyLine(std::string_view text, Entry &entry)
    {
        std::string_view path = text.substr(1, text.size() - 2);
        entry.deletes = !path.empty() && path.front() == '-';
        if (entry.deletes)
            path.remove_prefix(1);
        entry.kind = Entry::Kind::Key;
        entry.path = trimBlanks(path);
    }

    // A line that is not a well-formed value means nothing.
    void readValueEntry(std::string_view text, Entry &entry, ValueData *data)
    {
        if (readValueLine(text, entry, data)) {
            entry.kind = Entry::Kind::Value;
        } else {
            entry.deletes = false;
            entry.name.clear();
        }
    }

    // "Name"=<data> or @=<data>.
    bool readValueLine(std::string_view text, Entry &entry, ValueData *data)
    {
        std::size_t pos = 1;
        if (text.front() == '"') {
            const auto end = quotedEnd(text, 0);
            if (!end)
                return false;
            entry.name = unquoted(text.substr(0, *end));
            pos = *end;
        }
        skipBlanks(text, pos);
        if (pos >= text.size() || text[pos] != '=')
            return false;
        ++pos;
        skipBlanks(text, pos);
        const std::string_view value = text.substr(pos);
        if (value.starts_with('"'))
            return readQuoted(value, data);
        if (value == "-") {
            entry.deletes = true;
            return true;
        }
        if (startsWithIgnoringAsciiCase(value, "dword:"))
            return readDword(value.substr(6), data);
        if (startsWithIgnoringAsciiCase(value, "hex"))
            return readHex(value.substr(3), data);
        return false;
    }

    // "text": REG_SZ.
    static bool readQuoted(std::string_view value, ValueData *data)
    {
        const auto end = quotedEnd(value, 0);
        if (!end || !trimBlanks(value.substr(*end)).empty())
            return false;
        if (data) {
            data->type = kRegSz;
            data->quoted = true;
            data->bytes = unquoted(value.substr(0, *end));
        }
        return true;
    }

    // dword:0000002a: REG_DWORD, stored little-endian.
    static bool readDword(std::string_view digits, ValueData *data)
    {
        const auto number = parseHexNumber(digits, 8);
        if (!number)
            return false;
        if (data) {
            data->type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8)
                data->bytes += static_cast<char>((*number >> shift) & 0xFF);
        }
        return true;
    }

    // :aa,bb (REG_BINARY) or (N):aa,bb; a line ending in "\" continues on the
    // next, which belongs to the entry even when the list then proves damaged.
    bool readHex(std::string_view rest, ValueData *data)
    {
        std::uint32_t type = kRegBinary;
        if (rest.starts_with('(')) {
            const std::size_t close = rest.find(')');
            if (close == std::string_view::npos)
                return false;
            const auto number = parseHexNumber(rest.substr(1, close - 1), 8);
            if (!number)
                return false;
            type = *number;
            rest.remove_prefix(close + 1);
        }
        if (!rest.starts_with(':'))
            return false;
        HexBytesReader reader(data ? &data->bytes : nullptr);
        ContinuedText list(&reader);
        list.append(rest.substr(1));
        while (list.continues() && m_pos < m_text.size()) {
            list.dropMark();
            list.append(trimBlanks(nextLine()));
        }
        list.finish();
        if (!reader.finish())
            return false;
        if (data)
            data->type = type;
        return true;
    }

    std::string_view m_text;
    std::size_t m_bomSize;
    std::size_t m_pos;
};

// The data of the value whose entry starts at begin.
ValueData valueDataAt(std::string_view text, std::size_t begin)
{
    ValueData data;
    Entry entry;
    EntryReader(text, begin).next(entry, &data);
    return data;
}

// A key line; its entries run up to the next key line.
struct KeyLine {
    std::size_t begin = 0;
    std::size_t pathBegin = 0;
    std::size_t pathSize = 0;
    std::uint32_t hash = 0; // of the path (asciiCaselessHash), as paths match
    bool deletes = false;
};

constexpr std::uint32_t kNoLine = static_cast<std::uint32_t>(-1);

} // namespace

// The key lines in file order and, from the second question on, a hash table
// over their paths: the lines of one path are then found without looking at
// the others. One question alone is answered by a walk over the lines, which
// costs less than the table.
struct RegistryFile::KeyIndex {
    std::once_flag listed;
    std::vector<KeyLine> lines;
    std::atomic<int> questions = 0;
    std::once_flag hashed;
    std::vector<std::uint32_t> heads; // per bucket, the last line in it
    std::vector<std::uint32_t> next;  // per line, the line before it in its bucket

    void buildTable()
    {
        if (lines.empty() || lines.size() >= kNoLine)
            return; // no keys, or more lines than any settings file holds: no table
        std::size_t buckets = 1;
        while (buckets < lines.size())
            buckets *= 2;
        heads.assign(buckets, kNoLine);
        next.assign(lines.size(), kNoLine);
        for (std::uint32_t i = 0; i < lines.size(); ++i) {
            std::uint32_t &head = heads[lines[i].hash & (buckets - 1)];
            next[i] = head;
            head = i;
        }
    }

    // The lines that decide a value of keyPath, in file order: those of the
    // key itself, and deletions of it or of a key above it.
    std::vector<std::uint32_t> linesOf(std::string_view text, std::string_view keyPath)
    {
        std::vector<std::uint32_t> matching;
        if (questions.fetch_add(1) == 0 || lines.size() >= kNoLine) {
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const KeyLine &line = lines[i];
                const std::string_view path = text.substr(line.pathBegin, line.pathSize);
                if (line.deletes ? isKeyOrBelow(keyPath, path) : equalsIgnoringAsciiCase(path, keyPath))
                    matching.push_back(static_cast<std::uint32_t>(i));
            }
            return matching;
        }
        std::call_once(hashed, [this] { buildTable(); });
        linesNamed(text, keyPath, false, matching);
        for (std::size_t i = 0; i < keyPath.size(); ++i) {
            if (keyPath[i] == '\\')
                linesNamed(text, keyPath.substr(0, i), true, matching);
        }
        std::sort(matching.begin(), matching.end());
        return matching;
    }

    // Where the entries of line i end: at the next key line, or the end of the text.
    std::size_t sectionEnd(std::uint32_t i, std::size_t textSize) const
    {
        return i + 1 < lines.size() ? lines[i + 1].begin : textSize;
    }

    // The lines whose path is path (ignoring ASCII case), added to out.
    void linesNamed(std::string_view text, std::string_view path, bool deletesOnly, std::vector<std::uint32_t> &out) const
    {
        if (heads.empty())
            return;
        const auto hash = static_cast<std::uint32_t>(asciiCaselessHash(path));
        for (std::uint32_t i = heads[hash & (heads.size() - 1)]; i != kNoLine; i = next[i]) {
            const KeyLine &line = lines[i];
            if (line.hash == hash && (line.deletes || !deletesOnly) && equalsIgnoringAsciiCase(text.substr(line.pathBegin, line.pathSize), path))
                out.push_back(i);
        }
    }
};

RegistryFile::RegistryFile() : m_index(std::make_shared<KeyIndex>()) {}

RegistryFile::KeyIndex &RegistryFile::keyIndex() const
{
    std::call_once(m_index->listed, [this] {
        EntryReader reader(m_text);
        for (Entry entry; reader.next(entry);) {
            if (entry.kind == Entry::Kind::Key)
                m_index->lines.push_back({entry.begin, static_cast<std::size_t>(entry.path.data() - m_text.data()),
                                          entry.path.size(), static_cast<std::uint32_t>(asciiCaselessHash(entry.path)),
                                          entry.deletes});
        }
    });
    return *m_index;
}

RegistryFile RegistryFile::fromBytes(std::string bytes)
{
    RegistryFile file;
    if (std::string_view(bytes).starts_with(kUtf16LeBom)) {
        file = fromBytes(utf8FromUtf16Le(std::string_view(bytes).substr(kUtf16LeBom.size())));
        file.m_utf16 = true;
        return file;
    }
    file.m_text = std::move(bytes);
    return file;
}

RegistryFile RegistryFile::fresh()
{
    return fromBytes(std::string(kRegistryHeader) + "\n\n[" + std::string(kSettingsRootKey) + "]\n");
}

bool RegistryFile::hasKey(std::string_view keyPath) const
{
    bool exists = false;
    for (const KeyLine &line : keyIndex().lines) {
        const std::string_view path = std::string_view(m_text).substr(line.pathBegin, line.pathSize);
        if (line.deletes && isKeyOrBelow(keyPath, path))
            exists = false;
        else if (!line.deletes && isKeyOrBelow(path, keyPath))
            exists = true;
    }
    return exists;
}

std::optional<std::string> RegistryFile::stringValue(std::string_view keyPath, std::string_view name) const
{
    KeyIndex &index = keyIndex();
    const std::vector<std::uint32_t> matching = index.linesOf(m_text, keyPath);
    std::size_t found = kNone;
    for (const std::uint32_t i : matching) {
        const KeyLine &line = index.lines[i];
        if (line.deletes) {
            found = kNone;
            continue;
        }
        // The entries of this key: the key line, then its values.
        EntryReader reader(std::string_view(m_text).substr(0, index.sectionEnd(i, m_text.size())), line.begin);
        Entry entry;
        reader.next(entry);
        while (reader.next(entry)) {
            if (entry.kind == Entry::Kind::Value && equalsIgnoringAsciiCase(entry.name, name))
                found = entry.deletes ? kNone : entry.begin;
        }
    }
    if (found == kNone)
        return std::nullopt;
    const ValueData data = valueDataAt(m_text, found);
    if (data.type != kRegSz && data.type != kRegExpandSz)
        throw Error("Invalid data type for '" + std::string(name) + "'");
    if (!data.quoted)
        return textFromUtf16Le(data.bytes);
    const std::string_view text = std::string_view(data.bytes).substr(0, data.bytes.find('\0'));
    // A hand edit in Latin-1 or Windows-1252 reads as meant rather than as U+FFFD.
    return isValidUtf8(text) ? std::string(text) : utf8FromAnsi(text);
}

namespace {

// What a write needs to know of the file, in one walk.
struct WritePlace {
    std::optional<Entry> value; // the value to replace
    bool keyFound = false;      // a key line of the key, not deleted since
    std::size_t keyEnd = 0;     // the end of that key's last value, or of the key line
    Entry last;                 // the file's last entry
    bool hasBeforeLast = false;
    Entry beforeLast;
};

WritePlace writePlaceOf(std::string_view text, std::string_view keyPath, std::string_view name)
{
    WritePlace place;
    bool inKey = false;
    bool inBlock = false; // still below the key's last key line
    EntryReader reader(text);
    for (Entry entry; reader.next(entry);) {
        if (entry.kind == Entry::Kind::Key) {
            if (entry.deletes && isKeyOrBelow(keyPath, entry.path)) {
                place.value.reset();
                place.keyFound = false;
            }
            inKey = !entry.deletes && equalsIgnoringAsciiCase(entry.path, keyPath);
            inBlock = inKey;
            if (inKey) {
                place.keyFound = true;
                place.keyEnd = entry.end;
            }
        } else if (entry.kind == Entry::Kind::Value) {
            if (inKey && equalsIgnoringAsciiCase(entry.name, name))
                place.value = entry;
            if (inBlock)
                place.keyEnd = entry.end; // after the last value, before blank lines or comments
        }
        place.hasBeforeLast = entry.begin > 0;
        std::swap(place.beforeLast, place.last);
        place.last = std::move(entry);
    }
    return place;
}

} // namespace

bool RegistryFile::setString(std::string_view keyPath, std::string_view name, std::string_view text)
{
    // A key line drops the blanks around its path and reads a leading "-" as a
    // deletion: such a path would not read back as the key written.
    const bool pathReadsBack = trimBlanks(keyPath) == keyPath && (keyPath.empty() || keyPath.front() != '-');
    if (holdsLineBreakOrNul(keyPath) || holdsLineBreakOrNul(name) || !pathReadsBack)
        throw Error("Failed to set data for '" + std::string(name) + "'");
    const std::string value = repairedUtf8(text);
    const std::string lb = lineBreak();

    WritePlace place = writePlaceOf(m_text, keyPath, name);
    if (place.value) {
        const Entry &old = *place.value;
        if (!old.deletes) {
            const ValueData data = valueDataAt(m_text, old.begin);
            // Written already: as "text", or (a text with a line break or NUL)
            // in the hex(1): form, whose line breaks are left as they are.
            const bool same = data.quoted ? data.bytes == value
                                          : data.type == kRegSz && holdsLineBreakOrNul(value)
                                                && data.bytes == hexTextBytes(value);
            if (same)
                return false;
        }
        m_index = std::make_shared<KeyIndex>(); // the text changes: the key lines move
        const std::string_view raw = std::string_view(m_text).substr(old.begin, old.end - old.begin);
        // The spelling of the name already in the file stays.
        const std::string line = valueLine(old.name, value, lb) + std::string(trailingLineBreak(raw));
        m_text.replace(old.begin, old.end - old.begin, line);
        return true;
    }

    m_index = std::make_shared<KeyIndex>();
    std::string line = valueLine(name, value, lb) + lb;
    if (place.keyFound) {
        if (m_text[place.keyEnd - 1] != '\n')
            line.insert(0, lb); // the last line of the file had no line break
        m_text.insert(place.keyEnd, line);
        return true;
    }

    if (m_text.empty()) {
        m_text = fresh().m_text;
        place = writePlaceOf(m_text, keyPath, name);
    }
    const std::string keyLine = "[" + std::string(keyPath) + "]" + lb;
    // A last entry ending in "\" would continue onto the lines added after it,
    // changing what it and they mean: the new key goes in before that entry.
    if (EntryReader(m_text).continues(place.last)) {
        const bool blankBefore =
            !place.hasBeforeLast
            || isBlankLine(std::string_view(m_text).substr(place.beforeLast.begin, place.beforeLast.end - place.beforeLast.begin));
        std::size_t at = place.last.begin;
        if (at == 0 && std::string_view(m_text).starts_with(kUtf8Bom))
            at = kUtf8Bom.size(); // the byte-order mark stays first
        m_text.insert(at, (blankBefore ? std::string() : lb) + keyLine + line);
        return true;
    }
    if (m_text.back() != '\n') {
        // A CR that ends the file is part of its last line; a line break added
        // after it must not turn it into a CRLF and change what that line says.
        m_text += m_text.back() == '\r' ? std::string("\r\n") : lb;
    }
    if (!isBlankLine(std::string_view(m_text).substr(place.last.begin)))
        m_text += lb;
    m_text += keyLine;
    m_text += line;
    return true;
}

std::string RegistryFile::toBytes() const &
{
    if (!m_utf16)
        return m_text;
    return std::string(kUtf16LeBom) + utf16LeFromUtf8(m_text);
}

std::string RegistryFile::toBytes() &&
{
    if (!m_utf16)
        return std::move(m_text);
    return std::as_const(*this).toBytes();
}

std::string RegistryFile::lineBreak() const
{
    const std::size_t newline = m_text.find('\n');
    if (newline == std::string::npos)
        return "\n";
    return (newline > 0 && m_text[newline - 1] == '\r') ? "\r\n" : "\n";
}

} // namespace umbrill
