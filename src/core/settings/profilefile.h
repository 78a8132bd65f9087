// The data file Umbrill05.ini: a tolerant reader and an in-place writer with the
// lookup rules of Windows profile files.
//
// Reading: section and key names match ignoring ASCII case; only the first copy
// of a repeated section is searched and the first of duplicate keys wins; blanks
// and tabs around names and values are dropped; a value wholly enclosed in one
// kind of quote (" or ') loses those two characters; ';' starts a comment only
// as a line's first non-blank character; LF, CRLF and lone CR end lines; a NUL
// ends a value; at most kMaxValueChars characters of a value are returned.
// A key present with an empty value gives "", not the default.
//
// Encoding: a file that starts with a UTF-8 byte-order mark, or is valid UTF-8
// with non-ASCII bytes, is read as UTF-8; one that starts with the UTF-16LE
// byte-order mark (as Windows editors save "Unicode") as UTF-16LE, one with
// the UTF-16BE mark as UTF-16BE; anything else as Windows-1252. Every text going in or out of this API is UTF-8; a write
// keeps the file's encoding. The one exception: a Windows-1252 file that is
// given a name or value the page lacks becomes a UTF-8 file (its other
// characters all carry over) rather than lose the new text to "?"; so does one
// whose bytes would, after a write, read as UTF-8.
//
// Writing edits the file in place: every other byte stays as it was (comments,
// blank lines, line endings, lines that cannot be parsed); a new key goes after
// the last key of its section, a new section at the end of the file. A value
// holding a line break or NUL is refused (it would inject a line).
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

inline constexpr std::size_t kMaxValueChars = 2047;

// How the data file's bytes encode its text.
enum class ProfileEncoding { Ansi, Utf8, Utf8WithBom, Utf16Le, Utf16Be };

// The file's text is kept once. The first question walks its lines; the
// second walks them once more to note where the first copy of each section
// and its first line of each key are, and later questions read only the line
// asked for. An edit changes the text in place and drops those notes.
class ProfileFile {
public:
    ProfileFile();

    // Takes the file's bytes; never fails.
    static ProfileFile fromBytes(std::string bytes);

    // The value of key in section, or dflt (less its trailing blanks) when absent.
    std::string value(std::string_view section, std::string_view key, std::string_view dflt) const;

    // The whole value of key in section as its line holds it, for files the
    // program keeps itself (the user's own languages): no character limit,
    // quotes and NUL bytes kept, only the blanks around it dropped. nullopt
    // when the key is absent.
    std::optional<std::string> wholeValue(std::string_view section, std::string_view key) const;

    // True when the file has a section named so (blanks around the name dropped).
    bool hasSection(std::string_view section) const;
    // True when the file holds nothing but blanks and line breaks.
    bool isBlank() const;

    // Appends tail to the whole value of key in section, every byte of the
    // line before it kept; an absent key is set to tail as setValue sets it.
    // The same errors as setValue. Returns whether the file changed.
    bool appendToValue(std::string_view section, std::string_view key, std::string_view tail);

    // Sets key in section to value (UTF-8), editing in place: the line of an
    // existing key keeps everything up to its value; writing the value already
    // there changes nothing. Blanks around section and key names are dropped.
    // Throws Error when the value or a name holds a line break or NUL, or a
    // name could not be read back (a key with "=" or a leading ";" or "[", a
    // section with "]", either with a tab or other blank at one end).
    // Returns whether the file changed (its text or its encoding).
    bool setValue(std::string_view section, std::string_view key, std::string_view value);
    // The same for the files the program keeps itself, whose values are read
    // whole (wholeValue): a line is left as it is only when its whole value
    // is already value, so bytes after a NUL, which a plain read never sees,
    // go when the line is written.
    bool setWholeValue(std::string_view section, std::string_view key, std::string_view value);

    // The file's bytes, in its encoding; the second form hands over the buffer
    // when it can.
    std::string toBytes() const &;
    std::string toBytes() &&;

    ProfileEncoding encoding() const { return m_encoding; }

private:
    bool setValue(std::string_view section, std::string_view key, std::string_view value, bool whole);
    // After an edit: a Windows-1252 file that would now read as UTF-8 becomes
    // one. Returns true (the file changed).
    bool keepReadable();
    std::string_view text() const { return std::string_view(m_text).substr(m_textStart); }

    struct Index;
    // Where the sections and keys are, found on the first call; safe to call
    // from several threads at once.
    const Index &index() const;
    // Where in text() the line of key in section begins, by the index.
    std::optional<std::size_t> keyLineAt(std::string_view section, std::string_view key) const;

    // The file's text in UTF-8, after its byte-order mark when it has a UTF-8
    // one. An ASCII file's bytes are kept as they are: they are their own UTF-8.
    std::string m_text;
    std::size_t m_textStart = 0;
    ProfileEncoding m_encoding = ProfileEncoding::Ansi;
    std::shared_ptr<Index> m_index; // shared by copies until one is edited
};

// The value less one pair of quotes (" or ') when it is wholly enclosed in
// them, as a read returns it.
std::string_view withoutOuterQuotes(std::string_view value);

// The value to write so that a read gives text: a read drops one pair of
// quotes around a whole value, so a text that is itself enclosed in quotes
// (a list whose first and last items are quoted) gets one more pair.
std::string valueReadingAs(std::string_view text);

// One read of one value: opens the file, reads, releases it. A missing or
// unreadable file gives dflt. Never throws.
std::string readProfileString(const std::filesystem::path &file, std::string_view section,
                              std::string_view key, std::string_view dflt);

// One read of a whole value (see ProfileFile::wholeValue): nullopt when the
// file is missing or unreadable or holds no such key. Never throws.
std::optional<std::string> readWholeProfileValue(const std::filesystem::path &file, std::string_view section,
                                                 std::string_view key);

// One write of one value, atomic (the file holds the old or the new content,
// never a mix) and under the file's lock. A missing file is created. Throws
// Error("Unable to write to <file>") when the file or its folder cannot be
// written (a folder that does not exist, a file or folder without any write
// permission bit, for root too, or a file that cannot be read), and leaves the
// file untouched; setValue's Error for a value that would break a line.
void writeProfileString(const std::filesystem::path &file, std::string_view section,
                        std::string_view key, std::string_view value);

// Several reads and writes as one access, under the same lock and with the
// same failures as writeProfileString: edit reads and changes the file's text
// and returns whether it changed anything; only then is the file replaced. A
// read-modify-write of two programs at once thus loses neither's change.
void editProfileFile(const std::filesystem::path &file, const std::function<bool(ProfileFile &)> &edit);

} // namespace umbrill
