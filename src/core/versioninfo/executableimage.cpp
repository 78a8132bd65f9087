// ELF section lookup and PE resource lookup for the version block. Both read a few
// small tables through ImageBytes and check each against the image's size first.
#include "core/versioninfo/executableimage.h"

#include "core/versioninfo/bytes.h"
#include "core/versioninfo/versionblock.h"

#include <algorithm>
#include <cerrno>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace umbrill {
namespace {

using bytes::Endian;

// A VS_VERSIONINFO block says its size in 16 bits.
constexpr std::uint64_t kMaxBlockSize = 0xFFFF;
// Tables read whole (ELF section headers and names); real files stay far below.
constexpr std::uint64_t kMaxTableSize = 16 * 1024 * 1024;

bool fits(const ImageBytes &image, std::uint64_t offset, std::uint64_t count)
{
    return offset <= image.size() && image.size() - offset >= count;
}

// ---- ELF ----

struct ElfSection {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
};

constexpr std::uint32_t kShtNull = 0;
constexpr std::uint32_t kShtNobits = 8;
constexpr std::uint16_t kShnXindex = 0xFFFF;

class ElfReader {
public:
    ElfReader(bool is64, Endian endian) : m_is64(is64), m_endian(endian) {}

    std::uint64_t headerSize() const { return m_is64 ? 64 : 52; }
    std::uint64_t minimumEntrySize() const { return m_is64 ? 64 : 40; }

    std::uint64_t word(std::string_view data, std::uint64_t offset32, std::uint64_t offset64, std::size_t size32,
                       std::size_t size64) const
    {
        return *bytes::readUnsigned(data, m_is64 ? offset64 : offset32, m_is64 ? size64 : size32, m_endian);
    }

    // `data` holds at least minimumEntrySize() bytes.
    ElfSection section(std::string_view data) const
    {
        ElfSection s;
        s.name = static_cast<std::uint32_t>(word(data, 0, 0, 4, 4));
        s.type = static_cast<std::uint32_t>(word(data, 4, 4, 4, 4));
        s.offset = word(data, 16, 24, 4, 8);
        s.size = word(data, 20, 32, 4, 8);
        s.link = static_cast<std::uint32_t>(word(data, 24, 40, 4, 4));
        return s;
    }

private:
    bool m_is64;
    Endian m_endian;
};

bool nameAt(std::string_view names, std::uint64_t offset, std::string_view wanted)
{
    if (offset > names.size() || names.size() - offset <= wanted.size())
        return false;   // the name and its NUL must both lie in the table
    return names.substr(offset, wanted.size()) == wanted && names[offset + wanted.size()] == '\0';
}

// ---- PE ----

struct PeSection {
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawSize = 0;
    std::uint32_t rawOffset = 0;
    std::string name;
};

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kDirectoryEntrySize = 8;

class PeReader {
public:
    PeReader(const ImageBytes &image, std::vector<PeSection> sections) : m_image(image), m_sections(std::move(sections)) {}

    // The bytes at a relative virtual address; they must lie in one section's raw data.
    std::optional<std::string> readAtRva(std::uint64_t rva, std::uint64_t count) const
    {
        for (const PeSection &s : m_sections) {
            if (rva < s.virtualAddress)
                continue;
            const std::uint64_t delta = rva - s.virtualAddress;
            if (delta < s.rawSize && count <= s.rawSize - delta)
                return m_image.read(std::uint64_t{s.rawOffset} + delta, count);
        }
        return std::nullopt;
    }

    // The entries of the resource directory at `rva`: pairs of name field and data field.
    std::optional<std::string> directoryEntries(std::uint64_t rva) const
    {
        const auto header = readAtRva(rva, kDirectoryHeaderSize);
        if (!header)
            return std::nullopt;
        const std::uint64_t count = std::uint64_t{*bytes::read16(*header, 12)} + *bytes::read16(*header, 14);
        return readAtRva(rva + kDirectoryHeaderSize, count * kDirectoryEntrySize);
    }

    const std::vector<PeSection> &sections() const { return m_sections; }

private:
    const ImageBytes &m_image;
    std::vector<PeSection> m_sections;
};

// The offset within the resource data of the subdirectory or data entry that the
// first entry of `entries` points at, when it is of the wanted kind.
std::optional<std::uint64_t> firstEntryTarget(const std::string &entries, bool wantDirectory)
{
    const auto data = bytes::read32(entries, 4);
    if (!data || ((*data & kHighBit) != 0) != wantDirectory)
        return std::nullopt;
    return *data & ~kHighBit;
}

} // namespace

std::optional<std::string> MemoryImage::read(std::uint64_t offset, std::uint64_t count) const
{
    if (offset > m_bytes.size() || m_bytes.size() - offset < count)
        return std::nullopt;
    return std::string(m_bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count)));
}

FileImage::FileImage(const std::string &path)
{
    // O_NONBLOCK so that naming a FIFO cannot hang the open; it is refused below.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        return;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_size = static_cast<std::uint64_t>(info.st_size);
}

FileImage::~FileImage()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::optional<std::string> FileImage::read(std::uint64_t offset, std::uint64_t count) const
{
    if (m_fd < 0 || offset > m_size || m_size - offset < count)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(count), '\0');
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;    // an error, or the file shrank since it was opened
        done += static_cast<std::size_t>(got);
    }
    return out;
}

std::optional<std::string> elfSectionContents(const ImageBytes &image, std::string_view sectionName, std::uint64_t maxSize)
{
    const auto ident = image.read(0, 16);
    if (!ident || ident->compare(0, 4, "\x7F" "ELF") != 0)
        return std::nullopt;
    const char elfClass = (*ident)[4];
    const char elfData = (*ident)[5];
    if ((elfClass != 1 && elfClass != 2) || (elfData != 1 && elfData != 2))
        return std::nullopt;
    const ElfReader elf(elfClass == 2, elfData == 1 ? Endian::Little : Endian::Big);

    const auto header = image.read(0, elf.headerSize());
    if (!header)
        return std::nullopt;
    const std::uint64_t tableOffset = elf.word(*header, 32, 40, 4, 8);
    const std::uint64_t entrySize = elf.word(*header, 46, 58, 2, 2);
    std::uint64_t count = elf.word(*header, 48, 60, 2, 2);
    std::uint64_t namesIndex = elf.word(*header, 50, 62, 2, 2);
    if (tableOffset == 0 || entrySize < elf.minimumEntrySize())
        return std::nullopt;

    // Files with very many sections keep the true count and the index of the name
    // table in the first section header.
    if (count == 0 || namesIndex == kShnXindex) {
        const auto first = image.read(tableOffset, elf.minimumEntrySize());
        if (!first)
            return std::nullopt;
        const ElfSection zero = elf.section(*first);
        if (count == 0)
            count = zero.size;
        if (namesIndex == kShnXindex)
            namesIndex = zero.link;
    }
    if (count == 0 || namesIndex >= count || count > kMaxTableSize / entrySize)
        return std::nullopt;
    const auto table = image.read(tableOffset, count * entrySize);
    if (!table)
        return std::nullopt;
    const auto sectionAt = [&](std::uint64_t index) {
        return elf.section(std::string_view(*table).substr(static_cast<std::size_t>(index * entrySize)));
    };

    const ElfSection namesSection = sectionAt(namesIndex);
    if (namesSection.type == kShtNobits || namesSection.size > kMaxTableSize)
        return std::nullopt;
    const auto names = image.read(namesSection.offset, namesSection.size);
    if (!names)
        return std::nullopt;

    for (std::uint64_t i = 0; i < count; ++i) {
        const ElfSection s = sectionAt(i);
        if (s.type == kShtNull || !nameAt(*names, s.name, sectionName))
            continue;
        if (s.type == kShtNobits || !fits(image, s.offset, s.size))
            return std::nullopt;
        return image.read(s.offset, std::min(s.size, maxSize));
    }
    return std::nullopt;
}

std::optional<std::string> peVersionResource(const ImageBytes &image, std::uint64_t maxSize)
{
    const auto dos = image.read(0, 64);
    if (!dos || dos->compare(0, 2, "MZ") != 0)
        return std::nullopt;
    const std::uint64_t peOffset = *bytes::read32(*dos, 0x3C);
    const auto coff = image.read(peOffset, 24);
    if (!coff || coff->compare(0, 4, std::string_view("PE\0\0", 4)) != 0)
        return std::nullopt;
    const std::uint64_t sectionCount = *bytes::read16(*coff, 6);
    const std::uint64_t optionalSize = *bytes::read16(*coff, 20);
    const auto optional = image.read(peOffset + 24, optionalSize);
    if (!optional)
        return std::nullopt;

    std::uint64_t directoryCountAt = 0;
    switch (bytes::read16(*optional, 0).value_or(0)) {
    case 0x10B: directoryCountAt = 92; break;       // PE32
    case 0x20B: directoryCountAt = 108; break;      // PE32+
    default: return std::nullopt;
    }
    // Data directory 2 is the resource table.
    std::uint64_t resourceRva = 0;
    if (bytes::read32(*optional, directoryCountAt).value_or(0) > 2)
        resourceRva = bytes::read32(*optional, directoryCountAt + 4 + 2 * 8).value_or(0);

    const auto table = image.read(peOffset + 24 + optionalSize, sectionCount * kSectionHeaderSize);
    if (!table)
        return std::nullopt;
    std::vector<PeSection> sections;
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::string_view entry = std::string_view(*table).substr(i * kSectionHeaderSize, kSectionHeaderSize);
        PeSection s;
        s.name = std::string(entry.substr(0, 8));
        s.name.resize(s.name.find('\0') == std::string::npos ? s.name.size() : s.name.find('\0'));
        s.virtualAddress = *bytes::read32(entry, 12);
        s.rawSize = *bytes::read32(entry, 16);
        s.rawOffset = *bytes::read32(entry, 20);
        sections.push_back(std::move(s));
    }
    const PeReader pe(image, std::move(sections));
    if (resourceRva == 0) {
        for (const PeSection &s : pe.sections()) {
            if (s.name == ".rsrc") {
                resourceRva = s.virtualAddress;
                break;
            }
        }
        if (resourceRva == 0)
            return std::nullopt;
    }

    // Level 1: resource types, named ones first. Each level is read once and the walk
    // is three levels deep whatever the offsets say, so a directory that points back
    // at itself ends the walk with nullopt.
    const auto types = pe.directoryEntries(resourceRva);
    if (!types)
        return std::nullopt;
    std::optional<std::uint64_t> namesDirectory;
    for (std::size_t pos = 0; pos < types->size(); pos += kDirectoryEntrySize) {
        const std::string_view entry = std::string_view(*types).substr(pos, kDirectoryEntrySize);
        if (*bytes::read32(entry, 0) == kRtVersion) {
            namesDirectory = firstEntryTarget(std::string(entry), true);
            break;
        }
    }
    if (!namesDirectory)
        return std::nullopt;
    // Level 2: the first name; level 3: its first language, which points at the data entry.
    const auto names = pe.directoryEntries(resourceRva + *namesDirectory);
    const auto languagesDirectory = names ? firstEntryTarget(*names, true) : std::nullopt;
    const auto languages = languagesDirectory ? pe.directoryEntries(resourceRva + *languagesDirectory) : std::nullopt;
    const auto dataEntryAt = languages ? firstEntryTarget(*languages, false) : std::nullopt;
    const auto dataEntry = dataEntryAt ? pe.readAtRva(resourceRva + *dataEntryAt, 16) : std::nullopt;
    if (!dataEntry)
        return std::nullopt;
    const std::uint64_t dataRva = *bytes::read32(*dataEntry, 0);
    const std::uint64_t dataSize = *bytes::read32(*dataEntry, 4);
    return pe.readAtRva(dataRva, std::min(dataSize, maxSize));
}

std::optional<std::string> versionBlockOfImage(const ImageBytes &image)
{
    const auto magic = image.read(0, 2);
    if (!magic)
        return std::nullopt;
    std::optional<std::string> raw;
    if (*magic == "\x7F" "E")
        raw = elfSectionContents(image, kVersionSectionName, kMaxBlockSize);
    else if (*magic == "MZ")
        raw = peVersionResource(image, kMaxBlockSize);
    if (!raw || raw->empty())
        return std::nullopt;
    return std::string(trimVersionBlock(*raw));
}

std::optional<std::string> versionBlockOfFile(const std::string &path)
{
    const FileImage file(path);
    if (!file.isOpen())
        return std::nullopt;
    return versionBlockOfImage(file);
}

std::optional<std::string> elfSectionContents(std::string_view image, std::string_view sectionName)
{
    return elfSectionContents(MemoryImage(image), sectionName, kMaxBlockSize);
}

std::optional<std::string> peVersionResource(std::string_view image)
{
    return peVersionResource(MemoryImage(image), kMaxBlockSize);
}

std::optional<std::string> versionBlockOfImage(std::string_view image)
{
    return versionBlockOfImage(MemoryImage(image));
}

} // namespace umbrill
