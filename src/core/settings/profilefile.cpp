// The data file's reader and in-place writer, and the one-access file functions.
#include "core/settings/profilefile.h"

#include "core/settings/atomicfile.h"
#include "core/text/ansi.h"
#include "core/text/ascii.h"
#include "core/text/error.h"

#include "core/text/lines.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>

namespace umbrill {
namespace {

namespace fs = std::filesystem;

// Blanks inside the file: what the profile functions skip around names and values
// (^Z included, the old end-of-file mark).
bool isFileBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1A'; }

std::string_view trimFileBlanks(std::string_view s) { return trimmed(s, isFileBlank); }

// Names given by the caller lose only their blanks, not tabs (as on Windows).
std::string_view trimQueryBlanks(std::string_view s)
{
    return trimmed(s, [](char c) { return c == ' '; });
}

enum class LineKind { Other, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;      // trimmed, quotes still on
    std::size_t valueOffset = 0; // from the line's start: where the old value begins
    std::string_view wholeValue; // the same to the end of the line, NUL bytes included
};

ParsedLine parseLine(std::string_view wholeLine)
{
    const std::string_view content = wholeLine.substr(0, wholeLine.find('\0')); // a NUL ends what the line says
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
        parsed.wholeValue = trimFileBlanks(wholeLine.substr(start));
    }
    return parsed;
}

// One line of the file, where it is and what it says.
struct Line {
    LineSpan span;
    ParsedLine parsed;
};

// Walks the lines of the text in order, each parsed as it is reached.
class LineReader {
public:
    explicit LineReader(std::string_view text, std::size_t from = 0) : m_text(text), m_pos(from) {}

    bool next(Line &line)
    {
        if (m_pos >= m_text.size())
            return false;
        line.span = lineAt(m_text, m_pos, LineBreaks::LfCrLfOrCr);
        line.parsed = parseLine(m_text.substr(line.span.begin, line.span.contentEnd - line.span.begin));
        m_pos = line.span.end;
        return true;
    }

    // The next line of the current section, the line that opens the next section excluded.
    bool nextInSection(Line &line)
    {
        const std::size_t pos = m_pos;
        if (!next(line))
            return false;
        if (line.parsed.kind != LineKind::Section)
            return true;
        m_pos = pos;
        return false;
    }

private:
    std::string_view m_text;
    std::size_t m_pos;
};

// The header line of the first section named so; later copies are never searched.
std::optional<Line> findSection(std::string_view text, std::string_view section)
{
    LineReader reader(text);
    for (Line line; reader.next(line);) {
        if (line.parsed.kind == LineKind::Section && equalsIgnoringAsciiCase(line.parsed.name, section))
            return line;
    }
    return std::nullopt;
}

// What a write needs to know of the section: the line of the key, or the last
// key line (the header when there is none), before any comments that follow it.
struct KeyPlace {
    std::optional<Line> key;
    Line lastKey;
};

KeyPlace findKey(std::string_view text, const Line &header, std::string_view key)
{
    KeyPlace place;
    place.lastKey = header;
    LineReader reader(text, header.span.end);
    for (Line line; reader.nextInSection(line);) {
        if (line.parsed.kind != LineKind::Key)
            continue;
        if (equalsIgnoringAsciiCase(line.parsed.name, key)) {
            place.key = line;
            return place;
        }
        place.lastKey = line;
    }
    return place;
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
    if (text.empty())
        return "\r\n";
    const LineSpan first = lineAt(text, 0, LineBreaks::LfCrLfOrCr);
    if (first.end == first.contentEnd)
        return "\r\n";
    return text.substr(first.contentEnd, first.end - first.contentEnd);
}

bool hasNonAscii(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string asciiLowered(std::string_view name)
{
    std::string lowered(name);
    for (char &c : lowered)
        c = asciiLower(c);
    return lowered;
}

} // namespace

// From the second question on: names ASCII-lowered, as they match, of the
// first copy of each section, and in it where the first line of each key
// begins. One question alone is answered by a walk, which costs less.
struct ProfileFile::Index {
    std::atomic<int> questions = 0;
    std::once_flag built;
    std::unordered_map<std::string, std::unordered_map<std::string, std::size_t>> sections;
};

ProfileFile::ProfileFile() : m_index(std::make_shared<Index>()) {}

const ProfileFile::Index &ProfileFile::index() const
{
    std::call_once(m_index->built, [this] {
        std::unordered_map<std::string, std::size_t> *keys = nullptr; // of the section being read
        LineReader reader(text());
        for (Line line; reader.next(line);) {
            if (line.parsed.kind == LineKind::Section) {
                const auto [section, first] = m_index->sections.try_emplace(asciiLowered(line.parsed.name));
                keys = first ? &section->second : nullptr; // later copies are never searched
            } else if (line.parsed.kind == LineKind::Key && keys) {
                keys->try_emplace(asciiLowered(line.parsed.name), line.span.begin); // the first wins
            }
        }
    });
    return *m_index;
}

std::optional<std::size_t> ProfileFile::keyLineAt(std::string_view section, std::string_view key) const
{
    if (m_index->questions.fetch_add(1) == 0) {
        const std::optional<Line> header = findSection(text(), trimQueryBlanks(section));
        const std::optional<Line> line = header ? findKey(text(), *header, trimQueryBlanks(key)).key : std::nullopt;
        return line ? std::optional<std::size_t>(line->span.begin) : std::nullopt;
    }
    const Index &found = index();
    const auto keys = found.sections.find(asciiLowered(trimQueryBlanks(section)));
    if (keys == found.sections.end())
        return std::nullopt;
    const auto line = keys->second.find(asciiLowered(trimQueryBlanks(key)));
    if (line == keys->second.end())
        return std::nullopt;
    return line->second;
}

ProfileFile ProfileFile::fromBytes(std::string bytes)
{
    ProfileFile file;
    const std::string_view view = bytes;
    if (view.starts_with(kUtf8Bom)) {
        file.m_encoding = ProfileEncoding::Utf8WithBom;
        file.m_textStart = kUtf8Bom.size();
        file.m_text = std::move(bytes);
    } else if (view.starts_with(kUtf16LeBom)) {
        file.m_encoding = ProfileEncoding::Utf16Le;
        file.m_text = utf8FromUtf16Le(view.substr(kUtf16LeBom.size()));
    } else if (view.starts_with(kUtf16BeBom)) {
        file.m_encoding = ProfileEncoding::Utf16Be;
        file.m_text = utf8FromUtf16Be(view.substr(kUtf16BeBom.size()));
    } else if (!hasNonAscii(view)) {
        file.m_text = std::move(bytes); // ASCII: Windows-1252 and UTF-8 alike
    } else if (isValidUtf8(view)) {
        file.m_encoding = ProfileEncoding::Utf8;
        file.m_text = std::move(bytes);
    } else {
        file.m_text = utf8FromAnsi(view);
    }
    return file;
}

std::string ProfileFile::value(std::string_view section, std::string_view key, std::string_view dflt) const
{
    const std::optional<std::size_t> at = keyLineAt(section, key);
    Line line;
    if (!at || !LineReader(text(), *at).next(line))
        return deliveredDefault(dflt);
    return limitChars(repairedUtf8(stripOuterQuotes(line.parsed.value)));
}

std::optional<std::string> ProfileFile::wholeValue(std::string_view section, std::string_view key) const
{
    const std::optional<std::size_t> at = keyLineAt(section, key);
    Line line;
    if (!at || !LineReader(text(), *at).next(line))
        return std::nullopt;
    return repairedUtf8(line.parsed.wholeValue);
}

bool ProfileFile::hasSection(std::string_view section) const
{
    return findSection(text(), trimQueryBlanks(section)).has_value();
}

bool ProfileFile::isBlank() const
{
    return std::all_of(text().begin(), text().end(), [](char c) { return isFileBlank(c) || c == '\r' || c == '\n'; });
}

bool ProfileFile::appendToValue(std::string_view section, std::string_view key, std::string_view tail)
{
    m_index = std::make_shared<Index>(); // the text may change: the lines move
    const std::optional<Line> header = findSection(text(), trimQueryBlanks(section));
    const std::optional<Line> line =
        header ? findKey(text(), *header, trimQueryBlanks(key)).key : std::optional<Line>();
    if (!line || line->parsed.wholeValue.empty())
        return setValue(section, key, tail);
    if (holdsLineBreakOrNul(tail))
        throw Error("A value in the data file cannot hold a line break");
    // The whole value ends where its trailing blanks begin.
    const std::string_view whole = line->parsed.wholeValue;
    const std::size_t end = static_cast<std::size_t>(whole.data() + whole.size() - text().data());
    const ProfileEncoding before = m_encoding;
    const std::string added = repairedUtf8(tail);
    if (m_encoding == ProfileEncoding::Ansi && !ansiCanHold(added))
        m_encoding = ProfileEncoding::Utf8;
    if (added.empty())
        return m_encoding != before;
    m_text.insert(m_textStart + end, added);
    return keepReadable();
}

bool ProfileFile::keepReadable()
{
    // A Windows-1252 file whose bytes come to form UTF-8 (its one stray byte
    // replaced, or a value such as C3 A9 written into a plain ASCII file) would
    // read back as UTF-8, with other text: it becomes a UTF-8 file, its
    // characters carried over. An ASCII text cannot.
    if (m_encoding == ProfileEncoding::Ansi && hasNonAscii(text())) {
        const std::string bytes = ansiFromUtf8(text());
        if (isValidUtf8(bytes) && hasNonAscii(bytes))
            m_encoding = ProfileEncoding::Utf8;
    }
    return true;
}

bool ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    return setValue(section, key, value, false);
}

bool ProfileFile::setWholeValue(std::string_view section, std::string_view key, std::string_view value)
{
    return setValue(section, key, value, true);
}

bool ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value, bool whole)
{
    m_index = std::make_shared<Index>(); // the text may change: the lines move
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

    const ProfileEncoding before = m_encoding;
    const std::string text = repairedUtf8(value);
    const std::string sectionText = repairedUtf8(section);
    const std::string keyText = repairedUtf8(key);
    if (m_encoding == ProfileEncoding::Ansi && !(ansiCanHold(text) && ansiCanHold(sectionText) && ansiCanHold(keyText)))
        m_encoding = ProfileEncoding::Utf8;

    const std::string lineBreak(lineBreakOf(this->text()));
    const std::optional<Line> header = findSection(this->text(), sectionText);

    if (header) {
        const KeyPlace place = findKey(this->text(), *header, keyText);
        if (place.key) {
            // Blanks around a value do not survive reading, so a value that differs
            // only in them is already there; rewriting it would pile up blanks.
            if ((whole ? place.key->parsed.wholeValue : place.key->parsed.value) == trimFileBlanks(text))
                return m_encoding != before;
            const LineSpan &line = place.key->span;
            const std::size_t from = line.begin + place.key->parsed.valueOffset;
            m_text.replace(m_textStart + from, line.contentEnd - from, text);
            return keepReadable();
        }
        // After the last key of the section, before any comments that follow it.
        const LineSpan &line = place.lastKey.span;
        std::string insert = keyText + "=" + text + lineBreak;
        if (line.end == line.contentEnd)
            insert = lineBreak + insert; // the last line of the file had no line break
        m_text.insert(m_textStart + line.end, insert);
        return keepReadable();
    }

    if (!this->text().empty() && m_text.back() != '\n' && m_text.back() != '\r')
        m_text += lineBreak;
    m_text += "[" + sectionText + "]" + lineBreak + keyText + "=" + text + lineBreak;
    return keepReadable();
}

std::string ProfileFile::toBytes() const &
{
    switch (m_encoding) {
    case ProfileEncoding::Utf16Le:
        return std::string(kUtf16LeBom) + utf16LeFromUtf8(m_text);
    case ProfileEncoding::Utf16Be:
        return std::string(kUtf16BeBom) + utf16BeFromUtf8(m_text);
    case ProfileEncoding::Utf8:
    case ProfileEncoding::Utf8WithBom:
        return m_text;
    case ProfileEncoding::Ansi:
        break;
    }
    return ansiFromUtf8(m_text);
}

std::string ProfileFile::toBytes() &&
{
    const bool sameBytes = m_encoding == ProfileEncoding::Utf8 || m_encoding == ProfileEncoding::Utf8WithBom
                           || (m_encoding == ProfileEncoding::Ansi && !hasNonAscii(m_text));
    return sameBytes ? std::move(m_text) : std::as_const(*this).toBytes();
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

std::optional<std::string> readWholeProfileValue(const fs::path &file, std::string_view section,
                                                 std::string_view key)
{
    const fs::path target = resolveStorePath(file);
    const FileLock lock = FileLock::acquire(target, LockMode::Shared); // reads go on without it
    FileContents contents = readWholeFile(target);
    if (contents.status != FileContents::Status::Read)
        return std::nullopt;
    return ProfileFile::fromBytes(std::move(contents.bytes)).wholeValue(section, key);
}

std::string_view withoutOuterQuotes(std::string_view value) { return stripOuterQuotes(value); }

std::string valueReadingAs(std::string_view text)
{
    if (stripOuterQuotes(text) == text)
        return std::string(text);
    return "\"" + std::string(text) + "\"";
}

void writeProfileString(const fs::path &file, std::string_view section, std::string_view key,
                        std::string_view value)
{
    editProfileFile(file, [&](ProfileFile &profile) { return profile.setValue(section, key, value); });
}

void editProfileFile(const fs::path &file, const std::function<bool(ProfileFile &)> &edit)
{
    const Error failure("Unable to write to " + file.string());
    const fs::path target = resolveStorePath(file);
    std::error_code ec;
    if (!fs::is_directory(folderOf(target), ec))
        throw failure;
    if (!canReplaceFile(target))
        throw failure;
    const std::error_code replaced = editLocked(target, WideFiles::AnyOrder, [&](FileContents &contents, bool held, bool wide) {
        if (!held || !canReplaceFile(target) || contents.status == FileContents::Status::Unreadable)
            throw failure;
        ProfileFile profile = ProfileFile::fromBytes(wide ? contents.bytes : std::move(contents.bytes));
        const bool changed = edit(profile);
        return EditedBytes{std::move(profile).toBytes(), changed};
    });
    if (replaced)
        throw failure;
}

} // namespace umbrill
