// Finding the version block in ELF and PE files, sound and damaged.
#include "core/versioninfo/executableimage.h"
#include "core/versioninfo/versionblock.h"
#include "imagebuilders.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace umbrill {
namespace {

using testing::buildElf;
using testing::buildPe;
using testing::elfWithBlock;
using testing::ElfImage;
using testing::PeImage;
using testing::PeOptions;
using testing::sampleBlock;

std::uint32_t le32(const std::string &bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

TEST(ElfLocator, FindsTheSectionInEveryClassAndByteOrder)
{
    const std::string block = sampleBlock();
    for (const bool is64 : {true, false}) {
        for (const bool bigEndian : {false, true}) {
            SCOPED_TRACE(std::string(is64 ? "64" : "32") + (bigEndian ? " big-endian" : " little-endian"));
            const ElfImage elf = elfWithBlock(block, is64, bigEndian);
            EXPECT_EQ(versionBlockOfImage(elf.bytes), block);
            EXPECT_EQ(elfSectionContents(elf.bytes, ".data"), "data");
        }
    }
}

TEST(ElfLocator, MatchesTheWholeSectionName)
{
    const ElfImage elf = buildElf({{".umbrill_versions", 1, sampleBlock()}, {".umbrill", 1, sampleBlock()}});
    EXPECT_FALSE(versionBlockOfImage(elf.bytes));
}

TEST(ElfLocator, CutsTheBlockToItsOwnLength)
{
    const std::string block = sampleBlock();
    const ElfImage elf = elfWithBlock(block + std::string(16, '\0') + block);
    EXPECT_EQ(versionBlockOfImage(elf.bytes), block);
}

TEST(ElfLocator, ReadsExtendedSectionNumbering)
{
    const std::string block = sampleBlock();
    ElfImage elf = elfWithBlock(block);
    elf.put(elf.sizeField(0), elf.addressSize(), 5);     // the true count, 5 sections
    elf.put(elf.linkField(0), 4, 4);                     // the true name table index
    elf.put(elf.shnumField(), 2, 0);
    elf.put(elf.shstrndxField(), 2, 0xFFFF);
    EXPECT_EQ(versionBlockOfImage(elf.bytes), block);
}

TEST(ElfLocator, DamagedFilesYieldNothing)
{
    struct Row { const char *name; std::function<void(ElfImage &)> damage; };
    const std::size_t version = 2;      // .text is 1, the name table 4
    const std::size_t names = 4;
    const Row rows[] = {
        {"no such section", [](ElfImage &e) { e = buildElf({{".text", 1, "code"}}); }},
        {"unknown class", [](ElfImage &e) { e.bytes[4] = 3; }},
        {"unknown byte order", [](ElfImage &e) { e.bytes[5] = 0; }},
        {"section table beyond the file", [](ElfImage &e) { e.put(e.shoffField(), e.addressSize(), e.bytes.size()); }},
        {"section table offset near the top", [](ElfImage &e) { e.put(e.shoffField(), e.addressSize(), ~0ULL - 8); }},
        {"no section table", [](ElfImage &e) { e.put(e.shoffField(), e.addressSize(), 0); }},
        {"section header entries too small", [](ElfImage &e) { e.put(e.shentsizeField(), 2, 8); }},
        {"more sections than the file holds", [](ElfImage &e) { e.put(e.shnumField(), 2, 0xFEFF); }},
        {"name table index out of range", [](ElfImage &e) { e.put(e.shstrndxField(), 2, 5); }},
        {"extended count of zero", [](ElfImage &e) { e.put(e.shnumField(), 2, 0); }},
        {"extended count beyond the file",
         [](ElfImage &e) { e.put(e.shnumField(), 2, 0); e.put(e.sizeField(0), e.addressSize(), 1ULL << 40); }},
        {"name table beyond the file", [=](ElfImage &e) { e.put(e.offsetField(names), e.addressSize(), e.bytes.size()); }},
        {"name table larger than the file", [=](ElfImage &e) { e.put(e.sizeField(names), e.addressSize(), ~0ULL); }},
        {"name table without file bytes", [=](ElfImage &e) { e.put(e.typeField(names), 4, 8); }},
        {"name offset beyond the name table", [=](ElfImage &e) { e.put(e.nameField(version), 4, 0xFFFFFFF0); }},
        {"section beyond the file", [=](ElfImage &e) { e.put(e.offsetField(version), e.addressSize(), e.bytes.size() + 1); }},
        {"section larger than the file", [=](ElfImage &e) { e.put(e.sizeField(version), e.addressSize(), e.bytes.size()); }},
        {"section size wraps around", [=](ElfImage &e) { e.put(e.sizeField(version), e.addressSize(), ~0ULL); }},
        {"section without file bytes", [=](ElfImage &e) { e.put(e.typeField(version), 4, 8); }},
        {"empty section", [=](ElfImage &e) { e.put(e.sizeField(version), e.addressSize(), 0); }},
    };
    for (const bool is64 : {true, false}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(row.name) + (is64 ? " (64)" : " (32)"));
            ElfImage elf = elfWithBlock(sampleBlock(), is64);
            row.damage(elf);
            EXPECT_FALSE(versionBlockOfImage(elf.bytes));
        }
    }
}

TEST(PeLocator, FindsTheFirstVersionResource)
{
    const std::string block = sampleBlock();
    struct Row { const char *name; PeOptions options; };
    const Row rows[] = {
        {"PE32", {}},
        {"PE32+", {true, true, false, true}},
        {"named type before the numbered ones", {false, true, true, true}},
        {"resources found by section name", {false, true, false, false}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(versionBlockOfImage(buildPe(block, row.options).bytes), block);
    }
}

TEST(PeLocator, DamagedFilesYieldNothing)
{
    struct Row { const char *name; std::function<void(PeImage &)> damage; };
    const auto levelOffset = [](const PeImage &p, std::size_t fileOffset) {
        return static_cast<std::uint32_t>(fileOffset - p.rsrc);
    };
    const Row rows[] = {
        {"no version resource", [](PeImage &p) { p = buildPe("", {false, false, false, true}); }},
        {"header offset beyond the file", [](PeImage &p) { p.put32(0x3C, 0xFFFFFFF0); }},
        {"no PE signature", [](PeImage &p) { p.bytes[p.peHeader + 1] = 'X'; }},
        {"unknown optional header", [](PeImage &p) { p.put16(p.peHeader + 24, 0x107); }},
        {"optional header beyond the file", [](PeImage &p) { p.put16(p.peHeader + 20, 0xFFFF); }},
        {"more sections than the file holds", [](PeImage &p) { p.put16(p.peHeader + 6, 0xFFFF); }},
        {"resource section beyond the file", [](PeImage &p) { p.put32(p.sectionTable + 40 + 20, 0xFFFFF000); }},
        {"resource RVA in no section", [](PeImage &p) { p.put32(p.resourceDirectoryEntry, 0x90000); }},
        {"more entries than the section holds", [](PeImage &p) { p.put16(p.rsrc + 14, 0xFFFF); }},
        {"version type entry not marked as a directory",
         [](PeImage &p) { p.put32(p.versionTypeEntry + 4, le32(p.bytes, p.versionTypeEntry + 4) & 0x7FFFFFFF); }},
        {"language entry marked as a directory",
         [](PeImage &p) { p.put32(p.languageEntry + 4, le32(p.bytes, p.languageEntry + 4) | 0x80000000); }},
        {"name directory beyond the section", [](PeImage &p) { p.put32(p.versionTypeEntry + 4, 0xFFFFFF00); }},
        {"name level loops back to the root", [](PeImage &p) { p.put32(p.nameEntry + 4, 0x80000000); }},
        {"language level loops back to the names",
         [&](PeImage &p) { p.put32(p.languageEntry + 4, 0x80000000 | levelOffset(p, p.nameEntry - 16)); }},
        {"data entry beyond the section", [](PeImage &p) { p.put32(p.languageEntry + 4, 0x7FFFFFF0); }},
        {"data RVA in no section", [](PeImage &p) { p.put32(p.dataEntry, 0x50000); }},
        {"data RVA below every section", [](PeImage &p) { p.put32(p.dataEntry, 0x10); }},
        {"data larger than its section", [](PeImage &p) { p.put32(p.dataEntry + 4, 0x10000); }},
        {"data runs past the end of another section", [](PeImage &p) { p.put32(p.dataEntry, 0x1000 + 0x200 - 8); }},
        {"empty data", [](PeImage &p) { p.put32(p.dataEntry + 4, 0); }},
    };
    for (const bool pe32Plus : {false, true}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(row.name) + (pe32Plus ? " (PE32+)" : " (PE32)"));
            PeImage pe = buildPe(sampleBlock(), {pe32Plus, true, false, true});
            row.damage(pe);
            EXPECT_FALSE(versionBlockOfImage(pe.bytes));
        }
    }
}

// Every prefix of a sound file yields the whole block or nothing, never a part.
TEST(ImageLocators, ATruncatedFileYieldsTheWholeBlockOrNothing)
{
    const std::string block = sampleBlock();
    const PeImage pe = buildPe(block);
    struct Row { const char *name; std::string image; std::size_t wholeFrom; };
    const Row rows[] = {
        // The ELF section table comes last, so no prefix of the file has it.
        {"ELF", elfWithBlock(block).bytes, std::string::npos},
        // The PE data entry follows the data; after it only padding is lost.
        {"PE", pe.bytes, pe.dataEntry + 16},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        for (std::size_t cut = 0; cut < row.image.size(); ++cut) {
            const auto read = versionBlockOfImage(std::string_view(row.image).substr(0, cut));
            if (cut >= row.wholeFrom)
                EXPECT_EQ(read, block) << "cut at " << cut;
            else
                EXPECT_FALSE(read) << "cut at " << cut;
        }
    }
}

// Random damage: whatever comes back lies in the file and fits a block's 16-bit length.
TEST(ImageLocators, RandomDamageOnlyYieldsBytesOfTheFile)
{
    const std::string block = sampleBlock();
    const std::vector<std::string> images = {elfWithBlock(block).bytes, elfWithBlock(block, false, true).bytes,
                                             buildPe(block).bytes, buildPe(block, {true, true, true, true}).bytes};
    std::mt19937 random(20240607);
    for (const std::string &sound : images) {
        for (int round = 0; round < 3000; ++round) {
            std::string image = sound;
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i)
                image[random() % image.size()] = static_cast<char>(random() & 0xFF);
            const auto read = versionBlockOfImage(image);
            if (read) {
                EXPECT_LE(read->size(), 0xFFFFu);
                EXPECT_NE(image.find(*read), std::string::npos);
            }
        }
    }
}

} // namespace
} // namespace umbrill
