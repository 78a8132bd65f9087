// The text of user.reg in memory: registry keys and their values in the
// registry-export format, read tolerantly and edited in place.
//
// The file is UTF-8; one that starts with the UTF-16LE byte-order mark (an
// export made on Windows) is read as UTF-16LE and written back so.
//
// Grammar, line by line (LF or CRLF; a UTF-8 byte-order mark is kept):
//   [KEY\PATH]              a key; [-KEY\PATH] deletes it and its sub-keys
//   "Name"=<data>           a value of the last key line; @=<data> is the default value
//   <data>:  "text"                 REG_SZ; inside, \\ is "\" and \" is '"'
//            dword:0000002a         REG_DWORD
//            hex:aa,bb              REG_BINARY
//            hex(N):aa,bb,...       type N (hexadecimal); a line ending in "\"
//                                   continues on the next
//            -                      deletes the value
// Anything else (the header, comments, blank lines, damaged lines) is kept as it
// is and means nothing. Key paths and value names match ignoring ASCII case.
// The lines apply in order, as an import would: of repeated values the last wins.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace umbrill {

inline constexpr std::string_view kRegistryHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kSettingsRootKey = "HKEY_CURRENT_USER\\umbrill.ini";

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// The file's bytes are kept once, as read. The first question walks its lines
// once to note where each key line is; from the second on, a hash table over
// the key paths finds the lines of the key named, so a question reads only
// those, and only the value asked for has its data decoded. An edit changes
// the bytes in place and drops those notes.
class RegistryFile {
public:
    RegistryFile();

    // Takes the file's bytes; never fails.
    static RegistryFile fromBytes(std::string bytes);
    // A new file: the header and the empty key kSettingsRootKey.
    static RegistryFile fresh();

    // True when the key, or a key below it, exists.
    bool hasKey(std::string_view keyPath) const;

    // The text of value name of key keyPath: REG_SZ and REG_EXPAND_SZ (taken
    // literally) up to the first NUL; no data gives "". nullopt when the key or
    // value is absent. Another type throws Error("Invalid data type for '<name>'").
    std::optional<std::string> stringValue(std::string_view keyPath, std::string_view name) const;

    // Sets value name of keyPath to text as REG_SZ, creating the key when
    // absent. A value already holding exactly this text is left alone. Text
    // with a line break or NUL is written in the hex(1): form, so that it
    // cannot break the line. Throws Error("Failed to set data for '<name>'")
    // for a name or key path holding a line break or NUL, and for a key path
    // that would not read back: one with a blank at either end or a leading "-".
    // Returns whether the text changed.
    bool setString(std::string_view keyPath, std::string_view name, std::string_view text);

    // The file's bytes; the second form hands over the buffer when it can.
    std::string toBytes() const &;
    std::string toBytes() &&;

private:
    struct KeyIndex;

    std::string lineBreak() const;
    // Where the key lines of m_text are, found on the first call; safe to call
    // from several threads at once.
    KeyIndex &keyIndex() const;

    std::string m_text; // UTF-8, its byte-order mark included
    bool m_utf16 = false;
    std::shared_ptr<KeyIndex> m_index; // shared by copies until one is edited
};

} // namespace umbrill
