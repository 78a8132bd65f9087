// The VS_VERSIONINFO writer and reader: layout, queries, and blocks whose lengths lie.
#include "core/text/error.h"
#include "core/versioninfo/versionblock.h"
#include "imagebuilders.h"

#include <gtest/gtest.h>

#include <functional>

namespace umbrill {
namespace {

using testing::putUnsigned;
using testing::sampleBlock;
using testing::sampleDescription;

std::uint32_t le32(const std::string &bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8
                                      | static_cast<unsigned char>(bytes[at + 2]) << 16
                                      | static_cast<unsigned char>(bytes[at + 3]) << 24);
}

// Offset of the node whose key is `key` (ASCII), found by its UTF-16 key bytes.
std::size_t nodeOffset(const std::string &block, std::string_view key)
{
    std::string pattern;
    for (const char c : key)
        pattern += {c, '\0'};
    pattern += std::string(2, '\0');
    const std::size_t at = block.find(pattern);
    EXPECT_NE(at, std::string::npos) << key;
    return at - 6;
}

std::string stringValue(const std::string &block, std::string_view key)
{
    return queryVersionString(block, "\\StringFileInfo\\080904E4\\" + std::string(key)).value_or("<none>");
}

TEST(VersionBlockWriter, RootHoldsTheFixedFileInformationAfterItsAlignedKey)
{
    const std::string block = sampleBlock();
    EXPECT_EQ(le32(block, 0) & 0xFFFF, block.size());             // wLength covers the whole block
    EXPECT_EQ(le32(block, 0) >> 16, 52u);                          // wValueLength of VS_FIXEDFILEINFO
    EXPECT_EQ(block.substr(6, 32), std::string("V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0\0", 32));
    EXPECT_EQ(le32(block, 40), kFixedFileInfoSignature);          // 6 + 32 bytes of key, padded to 40
    EXPECT_EQ(le32(block, 48), 0x00040001u);                       // file version 4.1 ...
    EXPECT_EQ(le32(block, 52), 0x00000007u);                       // ... .0.7

    const auto fixed = fixedFileInfo(block);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersion, (std::array<std::uint16_t, 4>{4, 1, 0, 7}));
    EXPECT_EQ(fixed->productVersion, (std::array<std::uint16_t, 4>{4, 1, 0, 7}));
}

TEST(VersionBlockWriter, EveryStringReadsBackUnderItsTranslation)
{
    const std::string block = sampleBlock();
    const VersionInfoDescription description = sampleDescription();
    for (const auto &[key, value] : description.stringTables[0].strings) {
        SCOPED_TRACE(key);
        EXPECT_EQ(stringValue(block, key), value);
    }
    EXPECT_EQ(versionTranslations(block), std::vector<std::string>{"080904E4"});
}

TEST(VersionBlockWriter, EveryChildStartsOnA32BitBoundary)
{
    const std::string block = sampleBlock();
    for (const std::string_view key : {"StringFileInfo", "080904E4", "CompanyName", "FileDescription", "FileVersion",
                                       "Comments", "VarFileInfo", "Translation"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(nodeOffset(block, key) % 4, 0u);
    }
}

TEST(VersionBlockWriter, RefusesWhatA16BitLengthCannotSay)
{
    VersionInfoDescription description = sampleDescription();
    description.stringTables[0].strings.emplace_back("Comments", std::string(40000, 'x'));
    EXPECT_THROW(buildVersionBlock(description), Error);
}

TEST(VersionBlockQuery, PathsAreMatchedLikeThePlatformDoes)
{
    const std::string block = sampleBlock();
    struct Row { const char *name; const char *path; const char *expected; };
    const Row rows[] = {
        {"exact", "\\StringFileInfo\\080904E4\\FileVersion", "4.1.0.7"},
        {"case of keys ignored", "\\stringfileinfo\\080904e4\\FILEVERSION", "4.1.0.7"},
        {"no leading separator", "StringFileInfo\\080904E4\\ProductName", "Umbrill"},
        {"doubled separators", "\\\\StringFileInfo\\\\080904E4\\\\ProductName\\", "Umbrill"},
        {"prefix of a key", "\\StringFileInfo\\080904E4\\FileVer", nullptr},
        {"key with more", "\\StringFileInfo\\080904E4\\FileVersions", nullptr},
        {"other translation", "\\StringFileInfo\\040904E4\\FileVersion", nullptr},
        {"empty translation", "\\StringFileInfo\\\\FileVersion", nullptr},
        {"past a leaf", "\\StringFileInfo\\080904E4\\FileVersion\\x", nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto value = queryVersionString(block, row.path);
        if (row.expected) {
            ASSERT_TRUE(value);
            EXPECT_EQ(*value, row.expected);
        } else {
            EXPECT_FALSE(value) << *value;
        }
    }
    const auto root = queryVersionValue(block, "\\");
    ASSERT_TRUE(root);
    EXPECT_EQ(root->bytes.size(), 52u);
}

TEST(VersionBlockQuery, TranslationsAreCompleteFourByteEntriesInOrder)
{
    struct Row { const char *name; std::string value; std::vector<std::string> expected; };
    const Row rows[] = {
        {"empty", "", {}},
        {"two bytes", std::string("\x09\x08", 2), {}},
        {"three bytes", std::string("\x09\x08\xE4", 3), {}},
        {"one entry", std::string("\x09\x08\xE4\x04", 4), {"080904E4"}},
        {"one entry and a half", std::string("\x09\x08\xE4\x04\x07\x04", 6), {"080904E4"}},
        {"two entries, order kept", std::string("\x07\x04\xB0\x04\x09\x08\xE4\x04", 8), {"040704B0", "080904E4"}},
        {"capital digits", std::string("\xAB\xCD\xEF\xFE", 4), {"CDABFEEF"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const VersionNode root{"VS_VERSION_INFO", false, std::string(52, '\0'),
                               {{"VarFileInfo", true, {}, {{"Translation", false, row.value, {}}}}}};
        EXPECT_EQ(versionTranslations(encodeVersionNode(root)), row.expected);
    }
}

TEST(VersionBlockQuery, LyingLengthsNeverReadBeyondTheirNode)
{
    const std::string good = sampleBlock();
    struct Row {
        const char *name;
        std::function<void(std::string &)> damage;
        const char *fileVersion;        // expected "\StringFileInfo\080904E4\FileVersion"
        const char *comments;           // the last string of the table
        std::size_t translations;
    };
    const auto put16 = [](std::string &b, std::size_t at, std::uint64_t v) { putUnsigned(b, at, 2, v); };
    const Row rows[] = {
        {"root length zero", [&](std::string &b) { put16(b, 0, 0); }, "<none>", "<none>", 0},
        {"root length below its header", [&](std::string &b) { put16(b, 0, 5); }, "<none>", "<none>", 0},
        {"root length beyond the block", [&](std::string &b) { put16(b, 0, b.size() + 4); }, "<none>", "<none>", 0},
        {"root length cuts off the strings",
         [&](std::string &b) { put16(b, 0, nodeOffset(b, "StringFileInfo") + 8); }, "<none>", "<none>", 0},
        {"string table beyond its parent",
         [&](std::string &b) { put16(b, nodeOffset(b, "080904E4"), 0xFFF0); }, "<none>", "<none>", 1},
        {"string info beyond the root hides the siblings after it",
         [&](std::string &b) { put16(b, nodeOffset(b, "StringFileInfo"), 0xFFF0); }, "<none>", "<none>", 0},
        {"zero-length string ends its table",
         [&](std::string &b) { put16(b, nodeOffset(b, "InternalName"), 0); }, "4.1.0.7", "<none>", 1},
        {"two-byte string ends its table",
         [&](std::string &b) { put16(b, nodeOffset(b, "InternalName"), 2); }, "4.1.0.7", "<none>", 1},
        {"value length far beyond the node",
         [&](std::string &b) { put16(b, nodeOffset(b, "FileVersion") + 2, 0xFFFF); }, "4.1.0.7", "Grüße, naïve café", 1},
        {"value without its NUL runs to the node's end",
         [&](std::string &b) {
             const std::size_t node = nodeOffset(b, "FileVersion");
             put16(b, node + 32 + 14, 'X');     // header and key end at 30, value at 32: the NUL after "4.1.0.7"
         },
         "4.1.0.7X", "Grüße, naïve café", 1},
        {"key without its NUL",
         [&](std::string &b) {
             const std::size_t node = nodeOffset(b, "ProductVersion");
             put16(b, node, 6 + 2 * 14);            // ends right after "ProductVersion", before the NUL
         },
         "4.1.0.7", "<none>", 1},
        {"translation value length lies",
         [&](std::string &b) { put16(b, nodeOffset(b, "Translation") + 2, 0xFFFF); }, "4.1.0.7", "Grüße, naïve café", 1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::string block = good;
        row.damage(block);
        EXPECT_EQ(stringValue(block, "FileVersion"), row.fileVersion);
        EXPECT_EQ(stringValue(block, "Comments"), row.comments);
        EXPECT_EQ(versionTranslations(block).size(), row.translations);
    }
}

TEST(VersionBlockQuery, ATruncatedBlockNeverYieldsAPartialValue)
{
    const std::string good = sampleBlock();
    const auto strings = sampleDescription().stringTables[0].strings;
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string prefix = good.substr(0, cut);
        EXPECT_FALSE(queryVersionValue(prefix, "\\"));       // the root says more than there is
        // The same cut with the root's length made to agree: every value is whole or absent.
        if (cut < 6)
            continue;
        std::string shortened = prefix;
        putUnsigned(shortened, 0, 2, cut);
        for (const auto &[key, value] : strings) {
            const std::string read = stringValue(shortened, key);
            EXPECT_TRUE(read == value || read == "<none>") << key << ": " << read;
        }
        const auto translations = versionTranslations(shortened);
        EXPECT_TRUE(translations.empty() || translations == std::vector<std::string>{"080904E4"});
    }
}

TEST(VersionBlockQuery, TrimmingKeepsTheRootsBytes)
{
    const std::string block = sampleBlock();
    EXPECT_EQ(trimVersionBlock(block + std::string(12, '\0')), block);
    const std::string lying = block.substr(0, 100);
    EXPECT_EQ(trimVersionBlock(lying), lying);
    EXPECT_EQ(trimVersionBlock(""), "");
}

TEST(VersionNumbers, ParseUpToFourParts)
{
    using Numbers = std::array<std::uint16_t, 4>;
    EXPECT_EQ(parseVersionNumbers("4.1.0.7"), (Numbers{4, 1, 0, 7}));
    EXPECT_EQ(parseVersionNumbers("4.1"), (Numbers{4, 1, 0, 0}));
    EXPECT_EQ(parseVersionNumbers("65535.0.0.1"), (Numbers{65535, 0, 0, 1}));
    for (const char *bad : {"", "4..1", "4.1.0.7.1", "65536", "4.x", "-1", "4.1."}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parseVersionNumbers(bad));
    }
}

} // namespace
} // namespace umbrill
