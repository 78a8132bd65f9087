// Writing and reading VS_VERSIONINFO blocks. The reader walks only the nodes a query
// names and checks every length against the node that contains it.
#include "core/versioninfo/versionblock.h"

#include "core/text/ansi.h"
#include "core/text/error.h"
#include "core/versioninfo/bytes.h"

#include <cstdio>

namespace umbrill {
namespace {

using bytes::align4;
using bytes::read16;
using bytes::read32;

constexpr std::size_t kNodeHeaderSize = 6;
constexpr std::size_t kMaxNodeSize = 0xFFFF;
constexpr std::size_t kFixedFileInfoSize = 52;

std::string utf16le(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 2 + 2);
    for (const char16_t unit : text)
        bytes::append16(out, static_cast<std::uint16_t>(unit));
    return out;
}

void padTo4(std::string &out)
{
    while (out.size() % 4 != 0)
        out += '\0';
}

[[noreturn]] void throwTooLarge()
{
    throw Error("The version information is too large");
}

std::string encodeFixed(const FixedFileInfo &fixed)
{
    const auto high = [](const std::array<std::uint16_t, 4> &v) { return std::uint32_t{v[0]} << 16 | v[1]; };
    const auto low = [](const std::array<std::uint16_t, 4> &v) { return std::uint32_t{v[2]} << 16 | v[3]; };
    std::string out;
    bytes::append32(out, kFixedFileInfoSignature);
    bytes::append32(out, 0x00010000);           // structure version 1.0
    bytes::append32(out, high(fixed.fileVersion));
    bytes::append32(out, low(fixed.fileVersion));
    bytes::append32(out, high(fixed.productVersion));
    bytes::append32(out, low(fixed.productVersion));
    bytes::append32(out, fixed.fileFlagsMask);
    bytes::append32(out, fixed.fileFlags);
    bytes::append32(out, fixed.fileOS);
    bytes::append32(out, fixed.fileType);
    bytes::append32(out, fixed.fileSubtype);
    bytes::append32(out, static_cast<std::uint32_t>(fixed.fileDate >> 32));
    bytes::append32(out, static_cast<std::uint32_t>(fixed.fileDate & 0xFFFFFFFF));
    return out;
}

// A node located in a block: all offsets are absolute and lie within the block.
struct NodeSpan {
    std::size_t end = 0;
    std::size_t keyBegin = 0;
    std::size_t keyEnd = 0;          // at the key's NUL
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
    std::size_t childrenBegin = 0;
    bool isText = false;
};

// The node at `begin`, which must end no later than `limit`.
std::optional<NodeSpan> nodeAt(std::string_view block, std::size_t begin, std::size_t limit)
{
    const auto length = read16(block, begin);
    const auto valueLength = read16(block, begin + 2);
    const auto type = read16(block, begin + 4);
    if (!length || !valueLength || !type || *length < kNodeHeaderSize || limit > block.size()
        || begin > limit || limit - begin < *length)
        return std::nullopt;

    NodeSpan node;
    node.end = begin + *length;
    node.isText = *type == 1;
    node.keyBegin = begin + kNodeHeaderSize;
    std::size_t pos = node.keyBegin;
    for (;;) {
        const auto unit = read16(block, pos);
        if (!unit || pos + 2 > node.end)
            return std::nullopt;        // the key runs past its node
        if (*unit == 0)
            break;
        pos += 2;
    }
    node.keyEnd = pos;
    const std::size_t valueBytes = node.isText ? std::size_t{*valueLength} * 2 : *valueLength;
    node.valueBegin = std::min<std::size_t>(align4(pos + 2), node.end);
    node.valueEnd = std::min(node.valueBegin + valueBytes, node.end);
    node.childrenBegin = std::min<std::size_t>(align4(node.valueBegin + valueBytes), node.end);
    return node;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool keyEquals(std::string_view block, const NodeSpan &node, std::u16string_view key)
{
    if ((node.keyEnd - node.keyBegin) / 2 != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto unit = static_cast<char16_t>(*read16(block, node.keyBegin + 2 * i));
        if (asciiLower(unit) != asciiLower(key[i]))
            return false;
    }
    return true;
}

std::optional<NodeSpan> findNode(std::string_view block, std::string_view path)
{
    auto node = nodeAt(block, 0, block.size());
    std::size_t start = 0;
    while (node && start <= path.size()) {
        std::size_t stop = path.find('\\', start);
        if (stop == std::string_view::npos)
            stop = path.size();
        const std::string_view part = path.substr(start, stop - start);
        start = stop + 1;
        if (part.empty())
            continue;

        const std::u16string key = wideFromUtf8(part);
        std::optional<NodeSpan> found;
        for (std::size_t pos = node->childrenBegin; pos < node->end;) {
            const auto child = nodeAt(block, pos, node->end);
            if (!child)
                break;
            if (keyEquals(block, *child, key)) {
                found = child;
                break;
            }
            pos = align4(child->end);
        }
        node = found;
    }
    return node;
}

} // namespace

std::string textValue(std::string_view utf8)
{
    return utf16le(wideFromUtf8(utf8)) + std::string(2, '\0');
}

std::string encodeVersionNode(const VersionNode &node)
{
    std::string out(kNodeHeaderSize, '\0');
    out += textValue(node.key);
    padTo4(out);
    if (node.value.size() > kMaxNodeSize)
        throwTooLarge();
    out += node.value;
    for (const VersionNode &child : node.children) {
        padTo4(out);
        out += encodeVersionNode(child);
    }
    if (out.size() > kMaxNodeSize)
        throwTooLarge();
    const std::size_t valueLength = node.isText ? node.value.size() / 2 : node.value.size();
    bytes::put16(out, 0, static_cast<std::uint16_t>(out.size()));
    bytes::put16(out, 2, static_cast<std::uint16_t>(valueLength));
    bytes::put16(out, 4, node.isText ? 1 : 0);
    return out;
}

std::string translationKey(VersionTranslation translation)
{
    char text[9];
    std::snprintf(text, sizeof text, "%04X%04X", unsigned{translation.language}, unsigned{translation.codePage});
    return text;
}

std::string buildVersionBlock(const VersionInfoDescription &description)
{
    VersionNode root{"VS_VERSION_INFO", false, encodeFixed(description.fixed), {}};
    if (!description.stringTables.empty()) {
        VersionNode stringFileInfo{"StringFileInfo", true, {}, {}};
        for (const VersionStringTable &table : description.stringTables) {
            VersionNode tableNode{translationKey(table.translation), true, {}, {}};
            for (const auto &[key, value] : table.strings)
                tableNode.children.push_back({key, true, textValue(value), {}});
            stringFileInfo.children.push_back(std::move(tableNode));
        }
        root.children.push_back(std::move(stringFileInfo));
    }
    if (!description.translations.empty()) {
        std::string pairs;
        for (const VersionTranslation &translation : description.translations) {
            bytes::append16(pairs, translation.language);
            bytes::append16(pairs, translation.codePage);
        }
        root.children.push_back({"VarFileInfo", true, {}, {{"Translation", false, pairs, {}}}});
    }
    return encodeVersionNode(root);
}

std::optional<std::array<std::uint16_t, 4>> parseVersionNumbers(std::string_view text)
{
    std::array<std::uint16_t, 4> numbers{};
    std::size_t index = 0;
    std::size_t start = 0;
    for (;;) {
        std::size_t stop = text.find('.', start);
        if (stop == std::string_view::npos)
            stop = text.size();
        const std::string_view part = text.substr(start, stop - start);
        if (index == numbers.size() || part.empty() || part.size() > 5)
            return std::nullopt;
        std::uint32_t value = 0;
        for (const char c : part) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (value > 0xFFFF)
            return std::nullopt;
        numbers[index++] = static_cast<std::uint16_t>(value);
        if (stop == text.size())
            return numbers;
        start = stop + 1;
    }
}

std::optional<VersionValue> queryVersionValue(std::string_view block, std::string_view path)
{
    const auto node = findNode(block, path);
    if (!node)
        return std::nullopt;
    return VersionValue{block.substr(node->valueBegin, node->valueEnd - node->valueBegin), node->isText};
}

std::optional<std::string> queryVersionString(std::string_view block, std::string_view path)
{
    const auto value = queryVersionValue(block, path);
    if (!value)
        return std::nullopt;
    std::u16string text;
    for (std::size_t pos = 0; pos + 2 <= value->bytes.size(); pos += 2) {
        const auto unit = static_cast<char16_t>(*read16(value->bytes, pos));
        if (unit == 0)
            break;
        text += unit;
    }
    return utf8FromWide(text);
}

std::vector<std::string> versionTranslations(std::string_view block)
{
    std::vector<std::string> keys;
    const auto value = queryVersionValue(block, "\\VarFileInfo\\Translation");
    if (!value)
        return keys;
    for (std::size_t pos = 0; pos + 4 <= value->bytes.size(); pos += 4)
        keys.push_back(translationKey({*read16(value->bytes, pos), *read16(value->bytes, pos + 2)}));
    return keys;
}

std::optional<FixedFileInfo> fixedFileInfo(std::string_view block)
{
    const auto value = queryVersionValue(block, "\\");
    if (!value || value->bytes.size() < kFixedFileInfoSize || read32(value->bytes, 0) != kFixedFileInfoSignature)
        return std::nullopt;
    const auto word = [&](std::size_t index) { return *read32(value->bytes, 4 * index); };
    const auto numbers = [](std::uint32_t high, std::uint32_t low) {
        return std::array<std::uint16_t, 4>{static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high & 0xFFFF),
                                            static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low & 0xFFFF)};
    };
    FixedFileInfo fixed;
    fixed.fileVersion = numbers(word(2), word(3));
    fixed.productVersion = numbers(word(4), word(5));
    fixed.fileFlagsMask = word(6);
    fixed.fileFlags = word(7);
    fixed.fileOS = word(8);
    fixed.fileType = word(9);
    fixed.fileSubtype = word(10);
    fixed.fileDate = std::uint64_t{word(11)} << 32 | word(12);
    return fixed;
}

std::string_view trimVersionBlock(std::string_view bytes)
{
    const auto length = read16(bytes, 0);
    if (length && *length >= kNodeHeaderSize && *length <= bytes.size())
        return bytes.substr(0, *length);
    return bytes;
}

} // namespace umbrill
