// The data file's reader and in-place writer, and the one-access file functions.
#include "core/settings/profilefile.h"

#include "core/settings/atomicfile.h"
#include "core/text/ansi.h"
#include "core/text/ascii.h"
#include "core/text/error.h"

#include <algorithm>
#include <vector>

namespace umbrill {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Blanks inside the file: what the profile functions skip around names and values
// (^Z included, the old end-of-file mark).
bool isFileBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view trimFileBlanks(std::string_view s)
{
    while (!s.empty() && isFileBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isFileBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Names given by the caller lose only their blanks, not tabs (as on Windows).
std::string_view trimQueryBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0; // where the line break starts
    std::size_t end = 0;        // after the line break
};

// LF, CRLF and a lone CR each end a line.
std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.begin = pos;
        while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r')
            ++pos;
        line.contentEnd = pos;
        if (pos < text.size()) {
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
        line.end = pos;
        lines.push_back(line);
    }
    return lines;
}

enum class LineKind { Other, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;      // trimmed, quotes still on
    std::size_t valueOffset = 0; // from the line's start: where the old value begins
};

ParsedLine parseLine(std::string_view content)
{
    content = content.substr(0, content.find('\0')); // a NUL ends what the line says
    ParsedLine parsed;
    const std::string_view body = trimFileBlanks(content);
    if (body.empty())
        return parsed;
    if (body.front() == ';') {
        parsed.kind = LineKind::Comment;
    } else if (body.front() == '[') {
        // The name ends at the first ']'; a header without one still opens a section.
        const std::string_view inside = body.substr(1);
        parsed.kind = LineKind::Section;
        parsed.name = trimFileBlanks(inside.substr(0, inside.find(']')));
    } else if (const std::size_t eq = content.find('='); eq != std::string_view::npos) {
        parsed.kind = LineKind::Key;
        parsed.name = trimFileBlanks(content.substr(0, eq));
        std::size_t start = eq + 1;
        while (start < content.size() && isFileBlank(content[start]))
            ++start;
        parsed.valueOffset = start;
        parsed.value = trimFileBlanks(content.substr(start));
    }
    return parsed;
}

struct Layout {
    std::vector<Line> lines;
    std::vector<ParsedLine> parsed;
};

Layout layoutOf(std::string_view text)
{
    Layout layout;
    layout.lines = splitLines(text);
    layout.parsed.reserve(layout.lines.size());
    for (const Line &line : layout.lines)
        layout.parsed.push_back(parseLine(text.substr(line.begin, line.contentEnd - line.begin)));
    return layout;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The header line of the first section named so; later copies are never searched.
std::size_t findSection(const Layout &layout, std::string_view section)
{
    for (std::size_t i = 0; i < layout.parsed.size(); ++i) {
        if (layout.parsed[i].kind == LineKind::Section && equalsIgnoringAsciiCase(layout.parsed[i].name, section))
            return i;
    }
    return kNone;
}

std::size_t sectionEnd(const Layout &layout, std::size_t header)
{
    std::size_t i = header + 1;
    while (i < layout.parsed.size() && layout.parsed[i].kind != LineKind::Section)
        ++i;
    return i;
}

std::size_t findKey(const Layout &layout, std::size_t header, std::string_view key)
{
    const std::size_t end = sectionEnd(layout, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (layout.parsed[i].kind == LineKind::Key && equalsIgnoringAsciiCase(layout.parsed[i].name, key))
            return i;
    }
    return kNone;
}

std::string_view stripOuterQuotes(std::string_view s)
{
    if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front())
        return s.substr(1, s.size() - 2);
    return s;
}

// The first kMaxValueChars characters (not bytes) of valid UTF-8.
std::string limitChars(std::string s)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && ++chars > kMaxValueChars) {
            s.resize(i);
            break;
        }
    }
    return s;
}

std::string deliveredDefault(std::string_view dflt)
{
    // Trailing blanks go, but never the first character: "   " arrives as " ".
    while (dflt.size() > 1 && dflt.back() == ' ')
        dflt.remove_suffix(1);
    return limitChars(repairedUtf8(stripOuterQuotes(dflt)));
}

bool ansiCanHold(std::string_view utf8) { return utf8FromAnsi(ansiFromUtf8(utf8)) == utf8; }

std::string_view lineBreakOf(std::string_view text)
{
    const std::size_t pos = text.find_first_of("\r\n");
    if (pos == std::string_view::npos)
        return "\r\n";
    if (text[pos] == '\n')
        return "\n";
    return (pos + 1 < text.size() && text[pos + 1] == '\n') ? std::string_view("\r\n") : std::string_view("\r");
}

bool hasNonAscii(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

ProfileFile ProfileFile::fromBytes(std::string bytes)
{
    ProfileFile file;
    const std::string_view view = bytes;
    if (view.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        file.m_utf8 = true;
        file.m_bom = true;
        file.m_bytes = bytes.substr(kUtf8Bom.size());
    } else if (view.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        file.m_utf16 = true;
        file.m_bytes = utf8FromUtf16Le(view.substr(kUtf16LeBom.size()));
    } else if (hasNonAscii(view) && isValidUtf8(view)) {
        file.m_utf8 = true;
        file.m_bytes = std::move(bytes);
    } else {
        file.m_bytes = utf8FromAnsi(view);
    }
    return file;
}

std::string ProfileFile::value(std::string_view section, std::string_view key, std::string_view dflt) const
{
    const Layout layout = layoutOf(m_bytes);
    const std::size_t header = findSection(layout, trimQueryBlanks(section));
    if (header == kNone)
        return deliveredDefault(dflt);
    const std::size_t line = findKey(layout, header, trimQueryBlanks(key));
    if (line == kNone)
        return deliveredDefault(dflt);
    return limitChars(repairedUtf8(stripOuterQuotes(layout.parsed[line].value)));
}

void ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    section = trimQueryBlanks(section);
    key = trimQueryBlanks(key);
    if (holdsLineBreakOrNul(value))
        throw Error("A value in the data file cannot hold a line break");
    // The file drops tabs and other blanks around names, which the caller's name
    // keeps: such a name would never be found again.
    if (holdsLineBreakOrNul(section) || section.find(']') != std::string_view::npos
        || trimFileBlanks(section) != section)
        throw Error("'" + std::string(section) + "' cannot be a section name in the data file");
    if (holdsLineBreakOrNul(key) || key.find('=') != std::string_view::npos
        || (!key.empty() && (key.front() == ';' || key.front() == '[')) || trimFileBlanks(key) != key)
        throw Error("'" + std::string(key) + "' cannot be a key name in the data file");

    const std::string text = repairedUtf8(value);
    const std::string sectionText = repairedUtf8(section);
    const std::string keyText = repairedUtf8(key);
    if (!m_utf8 && !m_utf16 && !(ansiCanHold(text) && ansiCanHold(sectionText) && ansiCanHold(keyText)))
        m_utf8 = true;

    // A Windows-1252 file whose bytes come to form UTF-8 (its one stray byte
    // replaced, or a value such as C3 A9 written into a plain ASCII file) would
    // read back as UTF-8, with other text: it becomes a UTF-8 file, its
    // characters carried over.
    const auto keepReadable = [this] {
        if (!m_utf8 && !m_utf16) {
            const std::string bytes = ansiFromUtf8(m_bytes);
            m_utf8 = isValidUtf8(bytes) && hasNonAscii(bytes);
        }
    };

    const Layout layout = layoutOf(m_bytes);
    const std::string lineBreak(lineBreakOf(m_bytes));
    const std::size_t header = findSection(layout, sectionText);

    if (header != kNone) {
        const std::size_t keyLine = findKey(layout, header, keyText);
        if (keyLine != kNone) {
            // Blanks around a value do not survive reading, so a value that differs
            // only in them is already there; rewriting it would pile up blanks.
            if (layout.parsed[keyLine].value == trimFileBlanks(text))
                return;
            const Line &line = layout.lines[keyLine];
            const std::size_t from = line.begin + layout.parsed[keyLine].valueOffset;
            m_bytes.replace(from, line.contentEnd - from, text);
            keepReadable();
            return;
        }
        // After the last key of the section, before any comments that follow it.
        std::size_t after = header;
        for (std::size_t i = header + 1; i < sectionEnd(layout, header); ++i) {
            if (layout.parsed[i].kind == LineKind::Key)
                after = i;
        }
        const Line &line = layout.lines[after];
        std::string insert = keyText + "=" + text + lineBreak;
        if (line.end == line.contentEnd)
            insert = lineBreak + insert; // the last line of the file had no line break
        m_bytes.insert(line.end, insert);
        keepReadable();
        return;
    }

    if (!m_bytes.empty() && m_bytes.back() != '\n' && m_bytes.back() != '\r')
        m_bytes += lineBreak;
    m_bytes += "[" + sectionText + "]" + lineBreak + keyText + "=" + text + lineBreak;
    keepReadable();
}

std::string ProfileFile::toBytes() const
{
    if (m_utf16)
        return std::string(kUtf16LeBom) + utf16LeFromUtf8(m_bytes);
    if (m_utf8)
        return m_bom ? std::string(kUtf8Bom) + m_bytes : m_bytes;
    return ansiFromUtf8(m_bytes);
}

std::string readProfileString(const fs::path &file, std::string_view section, std::string_view key,
                              std::string_view dflt)
{
    const fs::path target = resolveStorePath(file);
    const FileLock lock = FileLock::acquire(target, LockMode::Shared); // reads go on without it
    FileContents contents = readWholeFile(target);
    if (contents.status != FileContents::Status::Read)
        contents.bytes.clear();
    return ProfileFile::fromBytes(std::move(contents.bytes)).value(section, key, dflt);
}

void writeProfileString(const fs::path &file, std::string_view section, std::string_view key,
                        std::string_view value)
{
    const Error failure("Unable to write to " + file.string());
    const fs::path target = resolveStorePath(file);
    std::error_code ec;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::is_directory(folder, ec))
        throw failure;
    if (!canReplaceFile(target))
        throw failure;
    const FileLock lock = FileLock::acquire(target, LockMode::Exclusive);
    if (!lock.held() || !canReplaceFile(target))
        throw failure;
    FileContents contents = readWholeFile(target);
    if (contents.status == FileContents::Status::Unreadable)
        throw failure;
    ProfileFile profile = ProfileFile::fromBytes(contents.bytes);
    profile.setValue(section, key, value);
    const std::string bytes = profile.toBytes();
    if (contents.status == FileContents::Status::Read && bytes == contents.bytes)
        return;
    if (replaceFileAtomically(target, bytes))
        throw failure;
}

} // namespace umbrill
