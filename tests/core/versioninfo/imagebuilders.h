// Small builders of version blocks, ELF files and PE files for the tests. Each
// records where its fields lie, so that a test can make one of them lie.
#pragma once

#include "core/versioninfo/versionblock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace umbrill::testing {

// Writes `value` in `size` bytes at `offset` (which must lie inside `bytes`).
void putUnsigned(std::string &bytes, std::size_t offset, std::size_t size, std::uint64_t value, bool bigEndian = false);

// The block the tests use: one translation 080904E4 with the strings below.
VersionInfoDescription sampleDescription();
std::string sampleBlock();

// ---- ELF ----

struct ElfSectionSpec {
    std::string name;
    std::uint32_t type = 1;              // SHT_PROGBITS
    std::string contents;
};

struct ElfImage {
    std::string bytes;
    bool is64 = true;
    bool bigEndian = false;
    std::size_t sectionTable = 0;        // file offset of the section headers
    std::size_t entrySize = 0;
    // Offsets within the file header and within one section header.
    std::size_t shoffField() const { return is64 ? 40 : 32; }
    std::size_t shnumField() const { return is64 ? 60 : 48; }
    std::size_t shstrndxField() const { return is64 ? 62 : 50; }
    std::size_t shentsizeField() const { return is64 ? 58 : 46; }
    // Header of section `index` (0 is the null section, the given ones follow, the
    // name table is last).
    std::size_t sectionHeader(std::size_t index) const { return sectionTable + index * entrySize; }
    std::size_t nameField(std::size_t index) const { return sectionHeader(index); }
    std::size_t typeField(std::size_t index) const { return sectionHeader(index) + 4; }
    std::size_t offsetField(std::size_t index) const { return sectionHeader(index) + (is64 ? 24 : 16); }
    std::size_t sizeField(std::size_t index) const { return sectionHeader(index) + (is64 ? 32 : 20); }
    std::size_t linkField(std::size_t index) const { return sectionHeader(index) + (is64 ? 40 : 24); }
    std::size_t addressSize() const { return is64 ? 8 : 4; }
    void put(std::size_t offset, std::size_t size, std::uint64_t value) { putUnsigned(bytes, offset, size, value, bigEndian); }
};

ElfImage buildElf(const std::vector<ElfSectionSpec> &sections, bool is64 = true, bool bigEndian = false);

// An ELF file whose ".umbrill_version" section holds `block`, between two others.
ElfImage elfWithBlock(const std::string &block, bool is64 = true, bool bigEndian = false);

// ---- PE ----

struct PeOptions {
    bool pe32Plus = false;
    bool withVersion = true;             // an RT_VERSION entry at all
    bool namedTypeFirst = false;         // a named resource type before the numbered ones
    bool useDataDirectory = true;        // else only the section name ".rsrc" finds the resources
};

struct PeImage {
    std::string bytes;
    std::size_t peHeader = 0;            // "PE\0\0"
    std::size_t sectionTable = 0;
    std::size_t resourceDirectoryEntry = 0;  // data directory 2: RVA, size
    std::size_t rsrc = 0;                // file offset of the resource section
    std::uint32_t rsrcRva = 0;
    std::size_t versionTypeEntry = 0;    // level 1 entry of RT_VERSION (file offsets)
    std::size_t nameEntry = 0;           // level 2 entry
    std::size_t languageEntry = 0;       // level 3 entry
    std::size_t dataEntry = 0;           // IMAGE_RESOURCE_DATA_ENTRY
    std::size_t data = 0;                // the version block
    void put32(std::size_t offset, std::uint32_t value) { putUnsigned(bytes, offset, 4, value); }
    void put16(std::size_t offset, std::uint16_t value) { putUnsigned(bytes, offset, 2, value); }
};

PeImage buildPe(const std::string &versionData, const PeOptions &options = {});

} // namespace umbrill::testing
