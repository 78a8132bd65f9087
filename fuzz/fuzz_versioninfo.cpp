// Fuzz target of the version-information readers. The input is read as a version
// block, as an ELF file and as a PE file; no reader may crash, loop or look
// outside its bytes. The input also describes a block (translation, fixed
// information and strings, fields split at 0x1F) that is built and queried back,
// and each field is read as a version number such as "4.1.0.7".
#include "fuzzsupport.h"

#include "core/text/ansi.h"
#include "core/text/error.h"
#include "core/versioninfo/executableimage.h"
#include "core/versioninfo/versionblock.h"

#include <array>

namespace {

using namespace umbrill;
using umbrill::fuzz::equalsIgnoringAsciiCase;

constexpr std::size_t kMaxBlockSize = 0xFFFF;
constexpr std::size_t kMaxTranslations = 2; // the first and the last are asked for
constexpr std::array<std::string_view, 4> kStringKeys = {"FileVersion", "ProductName", "FileDescription", "LegalCopyright"};

bool liesWithin(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

void checkQuery(std::string_view block, const std::string &path)
{
    const auto value = queryVersionValue(block, path);
    if (value)
        UMBRILL_FUZZ_CHECK(liesWithin(value->bytes, block));
    const auto text = queryVersionString(block, path);
    UMBRILL_FUZZ_CHECK(text.has_value() == value.has_value());
    if (text)
        UMBRILL_FUZZ_CHECK(isValidUtf8(*text));
}

void readBlock(std::string_view block)
{
    static_cast<void>(fixedFileInfo(block));
    const std::string_view trimmedBlock = trimVersionBlock(block);
    UMBRILL_FUZZ_CHECK(liesWithin(trimmedBlock, block));
    const std::vector<std::string> translations = versionTranslations(block);
    for (const char *path : {"\\", "", "\\StringFileInfo", "\\\\VarFileInfo\\\\Translation\\", "VS_VERSION_INFO"})
        checkQuery(block, path);
    for (std::size_t n = 0; n < translations.size() && n < kMaxTranslations; ++n) {
        const std::string &translation = n == 0 ? translations.front() : translations.back();
        UMBRILL_FUZZ_CHECK(translation.size() == 8);
        for (const std::string_view key : kStringKeys)
            checkQuery(block, "\\StringFileInfo\\" + translation + "\\" + std::string(key));
    }
}

// Little-endian numbers from a field, zero past its end.
class NumberReader {
public:
    explicit NumberReader(std::string_view bytes) : m_bytes(bytes) {}
    std::uint64_t next(std::size_t size)
    {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint64_t byte = m_pos < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_pos]) : 0;
            value |= byte << (8 * i);
            ++m_pos;
        }
        return value;
    }
    std::uint16_t next16() { return static_cast<std::uint16_t>(next(2)); }
    std::uint32_t next32() { return static_cast<std::uint32_t>(next(4)); }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

bool sameFixed(const FixedFileInfo &a, const FixedFileInfo &b)
{
    return a.fileVersion == b.fileVersion && a.productVersion == b.productVersion && a.fileFlagsMask == b.fileFlagsMask
           && a.fileFlags == b.fileFlags && a.fileOS == b.fileOS && a.fileType == b.fileType
           && a.fileSubtype == b.fileSubtype && a.fileDate == b.fileDate;
}

// A key that a query path can name: not empty, no "\" (the path separator), no NUL
// (which ends the stored key), well-formed UTF-8.
bool queryableKey(std::string_view key)
{
    return !key.empty() && key.find('\\') == std::string_view::npos && key.find('\0') == std::string_view::npos
           && isValidUtf8(key);
}

// A key as the block holds it: in UTF-16, so malformed UTF-8 turns into U+FFFD,
// and up to its first NUL.
std::string storedKey(std::string_view key)
{
    const std::string text = utf8FromWide(wideFromUtf8(key));
    return text.substr(0, text.find('\0'));
}

// "4.1.0.7" as the build gives it: what reads, reads back the same when written out.
void checkVersionNumbers(std::string_view text)
{
    const auto numbers = parseVersionNumbers(text);
    if (!numbers)
        return;
    std::string written;
    for (const std::uint16_t part : *numbers)
        written += (written.empty() ? "" : ".") + std::to_string(part);
    UMBRILL_FUZZ_CHECK(parseVersionNumbers(written) == numbers);
}

void checkBuiltBlock(std::string_view input)
{
    const std::vector<std::string_view> fields = umbrill::fuzz::splitFields(input, 16);
    for (const std::string_view field : fields)
        checkVersionNumbers(field);
    NumberReader numbers(fields[0]);
    VersionInfoDescription description;
    for (auto &part : description.fixed.fileVersion)
        part = numbers.next16();
    for (auto &part : description.fixed.productVersion)
        part = numbers.next16();
    description.fixed.fileFlagsMask = numbers.next32();
    description.fixed.fileFlags = numbers.next32();
    description.fixed.fileOS = numbers.next32();
    description.fixed.fileType = numbers.next32();
    description.fixed.fileSubtype = numbers.next32();
    description.fixed.fileDate = numbers.next(8);
    VersionStringTable table;
    table.translation = {numbers.next16(), numbers.next16()};
    for (std::size_t i = 1; i + 1 < fields.size(); i += 2)
        table.strings.emplace_back(fields[i], fields[i + 1]);
    description.stringTables.push_back(table);
    const std::size_t translationCount = numbers.next(1) % 4;
    for (std::size_t i = 0; i < translationCount; ++i)
        description.translations.push_back({numbers.next16(), numbers.next16()});

    std::string block;
    try {
        block = buildVersionBlock(description);
    } catch (const Error &) {
        return; // too large for 16-bit lengths
    }
    UMBRILL_FUZZ_CHECK(block.size() <= kMaxBlockSize);
    readBlock(block);
    const auto fixed = fixedFileInfo(block);
    UMBRILL_FUZZ_CHECK(fixed && sameFixed(*fixed, description.fixed));
    std::vector<std::string> expectedTranslations;
    for (const VersionTranslation &translation : description.translations)
        expectedTranslations.push_back(translationKey(translation));
    UMBRILL_FUZZ_CHECK(versionTranslations(block) == expectedTranslations);

    const std::string tablePath = "\\StringFileInfo\\" + translationKey(table.translation) + "\\";
    for (std::size_t i = 0; i < table.strings.size(); ++i) {
        const auto &[key, value] = table.strings[i];
        if (!queryableKey(key))
            continue;
        bool shadowed = false; // an earlier key of the same name answers the query
        for (std::size_t j = 0; j < i; ++j)
            shadowed = shadowed || equalsIgnoringAsciiCase(storedKey(table.strings[j].first), key);
        if (shadowed)
            continue;
        const std::string text = utf8FromWide(wideFromUtf8(value));
        UMBRILL_FUZZ_CHECK(queryVersionString(block, tablePath + key) == text.substr(0, text.find('\0')));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input = umbrill::fuzz::asText(data, size);
    readBlock(input);

    if (const auto block = versionBlockOfImage(input)) {
        UMBRILL_FUZZ_CHECK(!block->empty() && block->size() <= kMaxBlockSize);
        readBlock(*block);
    }
    if (const auto section = elfSectionContents(input, kVersionSectionName)) {
        UMBRILL_FUZZ_CHECK(section->size() <= kMaxBlockSize);
        readBlock(*section);
    }
    if (const auto resource = peVersionResource(input)) {
        UMBRILL_FUZZ_CHECK(resource->size() <= kMaxBlockSize);
        readBlock(*resource);
    }
    checkBuiltBlock(input);
    return 0;
}
