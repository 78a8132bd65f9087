// The version-information block (VS_VERSIONINFO) as executables carry it: written
// from a description by the build, read back by queries in the form of
// "\StringFileInfo\080904E4\FileVersion".
//
// Layout: a tree of nodes. Each node is three little-endian 16-bit words (wLength,
// the node's bytes including its children; wValueLength; wType, 1 for text and 0
// for binary), its key in NUL-terminated UTF-16LE, padding to a 32-bit boundary,
// the value (wValueLength bytes, or UTF-16 words for text), padding, then the
// children, each starting on a 32-bit boundary. The root "VS_VERSION_INFO" holds
// the 52-byte fixed file information, then "StringFileInfo" (one string table per
// translation, keyed by 8 hexadecimal digits, holding the strings) and
// "VarFileInfo" ("Translation": pairs of 16-bit language and code page).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace umbrill {

// ---- Writing ----

// One node of a block: its key, its type and its raw value bytes. wValueLength is
// written in UTF-16 words for a text node and in bytes otherwise.
struct VersionNode {
    std::string key;                  // UTF-8; stored as UTF-16LE with a NUL
    bool isText = false;              // wType 1
    std::string value;                // raw bytes; see textValue()
    std::vector<VersionNode> children;
};

// The value bytes of a text: UTF-16LE with its terminating NUL.
std::string textValue(std::string_view utf8);

// The encoded node with its children; wLength counts the node and its children up to
// the end of the last child (no trailing padding). Throws Error when a node or a value
// exceeds the 65535 bytes that its 16-bit length can say.
std::string encodeVersionNode(const VersionNode &node);

struct VersionTranslation {
    std::uint16_t language = 0;       // e.g. 0x0809, English (United Kingdom)
    std::uint16_t codePage = 0;       // e.g. 0x04E4, Windows-1252
};

struct VersionStringTable {
    VersionTranslation translation;
    std::vector<std::pair<std::string, std::string>> strings;   // key, value (UTF-8), in this order
};

struct FixedFileInfo {
    std::array<std::uint16_t, 4> fileVersion{};       // 4.1.0.7 is {4, 1, 0, 7}
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlagsMask = 0x3F;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = 0;                         // VOS_UNKNOWN: not one of the Windows systems
    std::uint32_t fileType = 1;                       // VFT_APP
    std::uint32_t fileSubtype = 0;
    std::uint64_t fileDate = 0;
};

struct VersionInfoDescription {
    FixedFileInfo fixed;
    std::vector<VersionStringTable> stringTables;
    std::vector<VersionTranslation> translations;     // "\VarFileInfo\Translation", in this order
};

inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// The whole VS_VERSIONINFO block. Throws Error when it would exceed 65535 bytes.
std::string buildVersionBlock(const VersionInfoDescription &description);

// The translation key of a string table: language then code page, four capital
// hexadecimal digits each ("080904E4").
std::string translationKey(VersionTranslation translation);

// "4.1.0.7" as {4, 1, 0, 7}; missing parts are 0 ("4.1" is 4.1.0.0). nullopt when a
// part is not a decimal number of at most 65535 or there are more than four parts.
std::optional<std::array<std::uint16_t, 4>> parseVersionNumbers(std::string_view text);

// ---- Reading ----
// Every reader takes arbitrary bytes. A node whose wLength is below the 6-byte header
// or beyond what its parent (or the block) holds is damaged: it and the siblings after
// it are not read. A value longer than its node is cut at the node's end. Nothing is
// read outside `block`, and every walk ends (each step moves forward by at least 8 bytes).

// The value bytes of the node at `path`, like the platform's query function: the path's
// parts are separated by "\", empty parts are skipped, keys compare without regard to
// ASCII case, and "\" alone names the root. nullopt when there is no such node.
struct VersionValue {
    std::string_view bytes;           // a view into the block
    bool isText = false;
};
std::optional<VersionValue> queryVersionValue(std::string_view block, std::string_view path);

// The text of the node at `path` (UTF-16LE up to its terminating NUL or the end of
// its value, as UTF-8), or nullopt when there is no such node.
std::optional<std::string> queryVersionString(std::string_view block, std::string_view path);

// The entries of "\VarFileInfo\Translation" as translation keys, in the block's order;
// only complete 4-byte entries count.
std::vector<std::string> versionTranslations(std::string_view block);

// The root's fixed file information, when the root holds one of 52 bytes or more that
// starts with the signature 0xFEEF04BD.
std::optional<FixedFileInfo> fixedFileInfo(std::string_view block);

// The block itself cut to its root's wLength when that fits; a hint for readers of
// files, where a block is often followed by padding.
std::string_view trimVersionBlock(std::string_view bytes);

} // namespace umbrill
