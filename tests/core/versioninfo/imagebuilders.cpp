// Builders of the test images. They write only the fields that the readers look
// at; everything else stays zero.
#include "imagebuilders.h"

namespace umbrill::testing {
namespace {

void alignTo(std::string &bytes, std::size_t alignment)
{
    while (bytes.size() % alignment != 0)
        bytes += '\0';
}

std::string utf16(std::string_view ascii)
{
    std::string out;
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// A resource section under construction: directories with their entries, data
// entries and data, all at offsets relative to the section's start.
class ResourceSection {
public:
    // A directory with room for `named` + `ids` entries; returns its offset.
    std::size_t directory(std::uint16_t named, std::uint16_t ids)
    {
        alignTo(m_bytes, 4);
        const std::size_t at = m_bytes.size();
        m_bytes.append(16 + 8 * (std::size_t{named} + ids), '\0');
        putUnsigned(m_bytes, at + 12, 2, named);
        putUnsigned(m_bytes, at + 14, 2, ids);
        return at;
    }
    static std::size_t entry(std::size_t directory, std::size_t index) { return directory + 16 + 8 * index; }
    void setEntry(std::size_t entryAt, std::uint32_t nameField, std::uint32_t dataField)
    {
        putUnsigned(m_bytes, entryAt, 4, nameField);
        putUnsigned(m_bytes, entryAt + 4, 4, dataField);
    }
    std::size_t append(const std::string &data)
    {
        alignTo(m_bytes, 4);
        const std::size_t at = m_bytes.size();
        m_bytes += data;
        return at;
    }
    // A data entry for data at `dataAt`; the RVA is filled in once the section's is known.
    std::size_t dataEntry(std::size_t dataAt, std::size_t size)
    {
        const std::size_t at = append(std::string(16, '\0'));
        m_dataEntries.push_back({at, dataAt});
        putUnsigned(m_bytes, at + 4, 4, size);
        return at;
    }
    std::string finish(std::uint32_t rva)
    {
        for (const auto &[entryAt, dataAt] : m_dataEntries)
            putUnsigned(m_bytes, entryAt, 4, rva + dataAt);
        return m_bytes;
    }

private:
    std::string m_bytes;
    std::vector<std::pair<std::size_t, std::size_t>> m_dataEntries;
};

constexpr std::uint32_t kSubdirectory = 0x80000000;

// A type whose one name has one language pointing at `data`; returns the names directory.
std::size_t resourceChain(ResourceSection &section, const std::string &data, std::size_t *nameEntry = nullptr,
                          std::size_t *languageEntry = nullptr, std::size_t *dataEntry = nullptr,
                          std::size_t *dataAt = nullptr)
{
    const std::size_t names = section.directory(0, 1);
    const std::size_t languages = section.directory(0, 1);
    const std::size_t payload = section.append(data);
    const std::size_t entry = section.dataEntry(payload, data.size());
    section.setEntry(ResourceSection::entry(names, 0), 1, kSubdirectory | static_cast<std::uint32_t>(languages));
    section.setEntry(ResourceSection::entry(languages, 0), 0x0809, static_cast<std::uint32_t>(entry));
    if (nameEntry)
        *nameEntry = ResourceSection::entry(names, 0);
    if (languageEntry)
        *languageEntry = ResourceSection::entry(languages, 0);
    if (dataEntry)
        *dataEntry = entry;
    if (dataAt)
        *dataAt = payload;
    return names;
}

} // namespace

void putUnsigned(std::string &bytes, std::size_t offset, std::size_t size, std::uint64_t value, bool bigEndian)
{
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t shift = 8 * (bigEndian ? size - 1 - i : i);
        bytes.at(offset + i) = static_cast<char>((value >> shift) & 0xFF);
    }
}

VersionInfoDescription sampleDescription()
{
    VersionInfoDescription d;
    d.fixed.fileVersion = {4, 1, 0, 7};
    d.fixed.productVersion = {4, 1, 0, 7};
    d.translations = {{0x0809, 0x04E4}};
    d.stringTables = {{{0x0809, 0x04E4},
                       {{"CompanyName", "Umbrill developers"},
                        {"FileDescription", "Umbrill key pad for accented and special characters"},
                        {"FileVersion", "4.1.0.7"},
                        {"InternalName", "Umbrill05"},
                        {"LegalCopyright", "Copyright © Umbrill developers"},
                        {"OriginalFilename", "Umbrill05"},
                        {"ProductName", "Umbrill"},
                        {"ProductVersion", "4.1.0.7"},
                        {"Comments", "Grüße, naïve café"}}}};
    return d;
}

std::string sampleBlock()
{
    return buildVersionBlock(sampleDescription());
}

ElfImage buildElf(const std::vector<ElfSectionSpec> &sections, bool is64, bool bigEndian)
{
    ElfImage image;
    image.is64 = is64;
    image.bigEndian = bigEndian;
    image.entrySize = is64 ? 64 : 40;
    image.bytes.assign(is64 ? 64 : 52, '\0');
    image.bytes.replace(0, 4, "\x7F" "ELF");
    image.bytes[4] = is64 ? 2 : 1;
    image.bytes[5] = bigEndian ? 2 : 1;
    image.bytes[6] = 1;
    image.put(16, 2, 2);                                  // executable
    image.put(18, 2, is64 ? 62 : 3);                      // x86-64 or i386
    image.put(20, 4, 1);
    image.put(is64 ? 52 : 40, 2, image.bytes.size());     // header size

    std::vector<std::size_t> offsets;
    std::string names(1, '\0');
    std::vector<std::size_t> nameOffsets;
    for (const ElfSectionSpec &s : sections) {
        alignTo(image.bytes, 8);
        offsets.push_back(image.bytes.size());
        if (s.type != 8)                                  // SHT_NOBITS has no file bytes
            image.bytes += s.contents;
        nameOffsets.push_back(names.size());
        names += s.name + '\0';
    }
    const std::size_t namesName = names.size();
    names += std::string(".shstrtab") + '\0';
    const std::size_t namesOffset = image.bytes.size();
    image.bytes += names;
    alignTo(image.bytes, 8);

    const std::size_t count = sections.size() + 2;
    image.sectionTable = image.bytes.size();
    image.bytes.append(count * image.entrySize, '\0');
    const std::size_t word = image.addressSize();
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::size_t index = i + 1;
        image.put(image.nameField(index), 4, nameOffsets[i]);
        image.put(image.typeField(index), 4, sections[i].type);
        image.put(image.sectionHeader(index) + 8, word, 2);              // SHF_ALLOC
        image.put(image.offsetField(index), word, offsets[i]);
        image.put(image.sizeField(index), word, sections[i].contents.size());
    }
    const std::size_t last = count - 1;
    image.put(image.nameField(last), 4, namesName);
    image.put(image.typeField(last), 4, 3);                              // SHT_STRTAB
    image.put(image.offsetField(last), word, namesOffset);
    image.put(image.sizeField(last), word, names.size());

    image.put(image.shoffField(), word, image.sectionTable);
    image.put(image.shentsizeField(), 2, image.entrySize);
    image.put(image.shnumField(), 2, count);
    image.put(image.shstrndxField(), 2, last);
    return image;
}

ElfImage elfWithBlock(const std::string &block, bool is64, bool bigEndian)
{
    return buildElf({{".text", 1, std::string(40, '\x90')},
                     {".umbrill_version", 1, block},
                     {".data", 1, "data"}},
                    is64, bigEndian);
}

PeImage buildPe(const std::string &versionData, const PeOptions &options)
{
    constexpr std::size_t kPeHeader = 0x80;
    constexpr std::uint32_t kRsrcRva = 0x2000;
    constexpr std::size_t kRsrcFile = 0x400;
    PeImage image;
    const std::size_t optionalSize = options.pe32Plus ? 240 : 224;

    // The resource section: named type (optional), RT_ICON, RT_VERSION (optional).
    ResourceSection section;
    const std::uint16_t named = options.namedTypeFirst ? 1 : 0;
    const std::uint16_t ids = options.withVersion ? 2 : 1;
    const std::size_t root = section.directory(named, ids);
    std::size_t next = 0;
    if (options.namedTypeFirst) {
        const std::size_t typeName = section.append(std::string("\x06\x00", 2) + utf16("MYTYPE"));
        const std::size_t chain = resourceChain(section, "custom");
        section.setEntry(ResourceSection::entry(root, next++), kSubdirectory | static_cast<std::uint32_t>(typeName),
                         kSubdirectory | static_cast<std::uint32_t>(chain));
    }
    const std::size_t icons = resourceChain(section, "icon bytes");
    section.setEntry(ResourceSection::entry(root, next++), 3, kSubdirectory | static_cast<std::uint32_t>(icons));
    std::size_t versionTypeEntry = 0, nameEntry = 0, languageEntry = 0, dataEntry = 0, dataAt = 0;
    if (options.withVersion) {
        const std::size_t versions = resourceChain(section, versionData, &nameEntry, &languageEntry, &dataEntry, &dataAt);
        versionTypeEntry = ResourceSection::entry(root, next++);
        section.setEntry(versionTypeEntry, 16, kSubdirectory | static_cast<std::uint32_t>(versions));
    }
    std::string rsrc = section.finish(kRsrcRva);
    const std::size_t rsrcSize = rsrc.size();
    alignTo(rsrc, 0x200);

    image.bytes.assign(kRsrcFile, '\0');
    image.bytes.replace(0, 2, "MZ");
    image.put32(0x3C, kPeHeader);
    image.peHeader = kPeHeader;
    image.bytes.replace(kPeHeader, 4, std::string("PE\0\0", 4));
    const std::size_t coff = kPeHeader + 4;
    image.put16(coff, options.pe32Plus ? 0x8664 : 0x14C);
    image.put16(coff + 2, 2);                                // two sections
    image.put16(coff + 16, static_cast<std::uint16_t>(optionalSize));
    image.put16(coff + 18, 0x0102);
    const std::size_t optional = coff + 20;
    image.put16(optional, options.pe32Plus ? 0x20B : 0x10B);
    const std::size_t directories = optional + (options.pe32Plus ? 112 : 96);
    image.put32(directories - 4, 16);                        // NumberOfRvaAndSizes
    image.resourceDirectoryEntry = directories + 2 * 8;
    if (options.useDataDirectory) {
        image.put32(image.resourceDirectoryEntry, kRsrcRva);
        image.put32(image.resourceDirectoryEntry + 4, static_cast<std::uint32_t>(rsrcSize));
    }
    image.sectionTable = optional + optionalSize;
    const auto sectionHeader = [&](std::size_t index, std::string_view name, std::uint32_t rva, std::size_t virtualSize,
                                   std::size_t rawSize, std::size_t rawAt) {
        const std::size_t at = image.sectionTable + 40 * index;
        image.bytes.replace(at, name.size(), name);
        image.put32(at + 8, static_cast<std::uint32_t>(virtualSize));
        image.put32(at + 12, rva);
        image.put32(at + 16, static_cast<std::uint32_t>(rawSize));
        image.put32(at + 20, static_cast<std::uint32_t>(rawAt));
    };
    sectionHeader(0, ".text", 0x1000, 0x10, 0x200, 0x200);
    sectionHeader(1, ".rsrc", kRsrcRva, rsrcSize, rsrc.size(), kRsrcFile);
    std::string text(0x200, '\xCC');
    image.bytes.replace(0x200, 0x200, text);
    image.bytes += rsrc;

    image.rsrc = kRsrcFile;
    image.rsrcRva = kRsrcRva;
    if (options.withVersion) {
        image.versionTypeEntry = kRsrcFile + versionTypeEntry;
        image.nameEntry = kRsrcFile + nameEntry;
        image.languageEntry = kRsrcFile + languageEntry;
        image.dataEntry = kRsrcFile + dataEntry;
        image.data = kRsrcFile + dataAt;
    }
    return image;
}

} // namespace umbrill::testing
