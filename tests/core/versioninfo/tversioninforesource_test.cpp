// TVersionInfoResource on files written by the tests, on this test program itself
// (which the build gives its own version information) and inside a shared library.
#include "core/versioninfo/executableimage.h"
#include "core/versioninfo/tversioninforesource.h"
#include "core/versioninfo/versionblock.h"
#include "imagebuilders.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace umbrill {
namespace {

namespace fs = std::filesystem;
using testing::buildElf;
using testing::buildPe;
using testing::elfWithBlock;
using testing::sampleBlock;
using testing::sampleDescription;

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "umbrill-versioninfo-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path &path() const { return m_path; }
    std::string write(const std::string &name, const std::string &contents) const
    {
        const fs::path file = m_path / name;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << contents;
        return file.string();
    }

private:
    fs::path m_path;
};

std::string blockWithFileVersion(const std::string &fileVersion)
{
    VersionInfoDescription description = sampleDescription();
    for (auto &[key, value] : description.stringTables[0].strings) {
        if (key == "FileVersion")
            value = fileVersion;
    }
    return buildVersionBlock(description);
}

void expectEmpty(const TVersionInfoResource &resource)
{
    EXPECT_FALSE(resource.VersionBlock());
    EXPECT_TRUE(resource.Translations().empty());
    for (const std::string_view key : kVersionStringKeys)
        EXPECT_EQ(resource.GetVersionString(key), "") << key;
}

TEST(TVersionInfoResource, StartsEmptyUntilLoaded)
{
    const TVersionInfoResource resource;
    EXPECT_EQ(resource.Filename(), "");
    EXPECT_FALSE(resource.ForceEXE());
    expectEmpty(resource);
}

TEST(TVersionInfoResource, ReadsTheRunningExecutablesOwnVersion)
{
    TVersionInfoResource resource;
    resource.LoadVersionInfo();
    EXPECT_EQ(resource.loadedFile(), "/proc/self/exe");
    EXPECT_EQ(resource.Translations(), std::vector<std::string>{"080904E4"});
    EXPECT_EQ(resource.FileVersion(), "4.1.0.7");
    EXPECT_EQ(resource.ProductVersion(), "4.1.0.7");
    EXPECT_EQ(resource.CompanyName(), "Umbrill developers");
    EXPECT_EQ(resource.FileDescription(), "Umbrill key pad for accented and special characters");
    EXPECT_EQ(resource.ProductName(), "Umbrill");
    EXPECT_EQ(resource.InternalName(), "versioninfo_test");
    EXPECT_EQ(resource.OriginalFilename(), "versioninfo_test");
    EXPECT_EQ(resource.LegalCopyright(), "Copyright © Umbrill developers");
    EXPECT_EQ(resource.LegalTrademarks(), "");
    EXPECT_NE(resource.Comments(), "");
    ASSERT_TRUE(resource.VersionBlock());
    const auto fixed = fixedFileInfo(*resource.VersionBlock());
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->fileVersion, (std::array<std::uint16_t, 4>{4, 1, 0, 7}));
}

TEST(TVersionInfoResource, ReadsAnExecutableByItsPathOnDisk)
{
    TVersionInfoResource resource;
    resource.setFilename(fs::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(resource.FileVersion(), "4.1.0.7");
}

TEST(TVersionInfoResource, EachPropertyReadsTheValueOfItsOwnKey)
{
    VersionInfoDescription description;
    description.translations = {{0x0809, 0x04E4}};
    description.stringTables = {{{0x0809, 0x04E4}, {}}};
    for (const std::string_view key : kVersionStringKeys)
        description.stringTables[0].strings.emplace_back(key, "value of " + std::string(key));
    const std::string block = buildVersionBlock(description);

    using Getter = std::string (TVersionInfoResource::*)() const;
    const std::pair<const char *, Getter> properties[] = {
        {"CompanyName", &TVersionInfoResource::CompanyName},
        {"FileDescription", &TVersionInfoResource::FileDescription},
        {"FileVersion", &TVersionInfoResource::FileVersion},
        {"InternalName", &TVersionInfoResource::InternalName},
        {"LegalCopyright", &TVersionInfoResource::LegalCopyright},
        {"LegalTrademarks", &TVersionInfoResource::LegalTrademarks},
        {"OriginalFilename", &TVersionInfoResource::OriginalFilename},
        {"ProductName", &TVersionInfoResource::ProductName},
        {"ProductVersion", &TVersionInfoResource::ProductVersion},
        {"Comments", &TVersionInfoResource::Comments},
    };
    const TempDir dir;
    for (const auto &[kind, file] : {std::pair{"ELF", dir.write("module", elfWithBlock(block).bytes)},
                                     std::pair{"PE", dir.write("module.exe", buildPe(block).bytes)}}) {
        SCOPED_TRACE(kind);
        TVersionInfoResource resource;
        resource.setFilename(file);
        for (const auto &[key, getter] : properties)
            EXPECT_EQ((resource.*getter)(), "value of " + std::string(key)) << key;
    }
}

TEST(TVersionInfoResource, LooksUpUnderTheFirstListedTranslation)
{
    // The tables are in the opposite order to the translations on purpose.
    const VersionStringTable english{{0x0809, 0x04E4}, {{"FileVersion", "english"}}};
    const VersionStringTable german{{0x0407, 0x04B0}, {{"FileVersion", "german"}}};
    struct Row {
        const char *name;
        std::vector<VersionTranslation> translations;
        std::vector<std::string> keys;
        const char *fileVersion;
    };
    const Row rows[] = {
        {"german listed first", {{0x0407, 0x04B0}, {0x0809, 0x04E4}}, {"040704B0", "080904E4"}, "german"},
        {"english listed first", {{0x0809, 0x04E4}, {0x0407, 0x04B0}}, {"080904E4", "040704B0"}, "english"},
        {"first has no table", {{0x0409, 0x04B0}, {0x0809, 0x04E4}}, {"040904B0", "080904E4"}, ""},
        {"no translation", {}, {}, ""},
    };
    const TempDir dir;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        VersionInfoDescription description;
        description.stringTables = {english, german};
        description.translations = row.translations;
        TVersionInfoResource resource;
        resource.setFilename(dir.write("two.exe", buildPe(buildVersionBlock(description)).bytes));
        EXPECT_EQ(resource.Translations(), row.keys);
        EXPECT_EQ(resource.FileVersion(), row.fileVersion);
    }
}

TEST(TVersionInfoResource, ATranslationShorterThanFourBytesLeavesTheStringsUnread)
{
    const VersionNode root{
        "VS_VERSION_INFO", false, std::string(52, '\0'),
        {{"StringFileInfo", true, {}, {{"080904E4", true, {}, {{"FileVersion", true, textValue("4.1.0.7"), {}}}}}},
         {"VarFileInfo", true, {}, {{"Translation", false, std::string("\x09\x08", 2), {}}}}}};
    const TempDir dir;
    TVersionInfoResource resource;
    resource.setFilename(dir.write("short", elfWithBlock(encodeVersionNode(root)).bytes));
    EXPECT_TRUE(resource.VersionBlock());
    EXPECT_TRUE(resource.Translations().empty());
    EXPECT_EQ(resource.FileVersion(), "");
}

TEST(TVersionInfoResource, FilesWithoutVersionInformationReadAsEmpty)
{
    const TempDir dir;
    const std::string fifo = (dir.path() / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string elf = elfWithBlock(sampleBlock()).bytes;
    const std::pair<const char *, std::string> files[] = {
        {"missing file", (dir.path() / "missing").string()},
        {"folder", dir.path().string()},
        {"FIFO without a writer", fifo},
        {"empty file", dir.write("empty", "")},
        {"text file", dir.write("readme.txt", "Umbrill 4.1.0.7\n")},
        {"ELF without the section", dir.write("plain", buildElf({{".text", 1, "code"}}).bytes)},
        {"truncated ELF", dir.write("cut", elf.substr(0, elf.size() / 2))},
        {"PE without a version resource", dir.write("plain.exe", buildPe("", {false, false, false, true}).bytes)},
        {"DOS header only", dir.write("dos.exe", "MZ")},
    };
    for (const auto &[name, file] : files) {
        SCOPED_TRACE(name);
        TVersionInfoResource resource;
        resource.setFilename(file);
        expectEmpty(resource);
    }
}

TEST(TVersionInfoResource, EveryFilenameAssignmentReloads)
{
    const TempDir dir;
    const std::string file = dir.write("module.exe", buildPe(blockWithFileVersion("1.0.0.1")).bytes);
    TVersionInfoResource resource;
    resource.setFilename(file);
    EXPECT_EQ(resource.FileVersion(), "1.0.0.1");

    dir.write("module.exe", buildPe(blockWithFileVersion("2.0.0.2")).bytes);
    EXPECT_EQ(resource.FileVersion(), "1.0.0.1");      // the block read earlier is kept
    resource.setFilename(file);                        // the same name again
    EXPECT_EQ(resource.FileVersion(), "2.0.0.2");

    resource.setFilename((dir.path() / "missing").string());
    expectEmpty(resource);
}

TEST(TVersionInfoResource, ForceEXEReloadsOnlyWhenItChanges)
{
    const TempDir dir;
    const std::string file = dir.write("module", elfWithBlock(blockWithFileVersion("1.0.0.1")).bytes);
    TVersionInfoResource resource;
    resource.setFilename(file);
    dir.write("module", elfWithBlock(blockWithFileVersion("2.0.0.2")).bytes);
    resource.setForceEXE(false);
    EXPECT_EQ(resource.FileVersion(), "1.0.0.1");
    resource.setForceEXE(true);
    EXPECT_TRUE(resource.ForceEXE());
    EXPECT_EQ(resource.FileVersion(), "2.0.0.2");
    dir.write("module", elfWithBlock(blockWithFileVersion("3.0.0.3")).bytes);
    resource.setForceEXE(true);
    EXPECT_EQ(resource.FileVersion(), "2.0.0.2");
}

// The probe library carries FileVersion 9.8.7.6 and reads from inside itself.
class VersionInfoInLibrary : public ::testing::Test {
protected:
    using Probe = const char *(*)(int forceExe, int what);

    Probe load(const std::string &path)
    {
        void *handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle, nullptr) << ::dlerror();
        if (!handle)
            return nullptr;
        m_handles.push_back(handle);
        return reinterpret_cast<Probe>(::dlsym(handle, "umbrill_versioninfo_probe"));
    }
    ~VersionInfoInLibrary() override
    {
        for (void *handle : m_handles)
            ::dlclose(handle);
    }

private:
    std::vector<void *> m_handles;
};

TEST_F(VersionInfoInLibrary, ReadsTheLibraryUnlessForcedToTheExecutable)
{
    const Probe probe = load(UMBRILL_PROBE_LIBRARY);
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(std::string(probe(0, 1)), UMBRILL_PROBE_LIBRARY);
    EXPECT_EQ(std::string(probe(0, 0)), "9.8.7.6");
    EXPECT_EQ(std::string(probe(1, 1)), "/proc/self/exe");
    EXPECT_EQ(std::string(probe(1, 0)), "4.1.0.7");
}

// A module path is not limited in length: a library deep in a folder tree still
// finds its own version information.
TEST_F(VersionInfoInLibrary, ReadsALibraryWhosePathIsLong)
{
    const TempDir dir;
    fs::path folder = dir.path();
    for (int i = 0; i < 6; ++i)
        folder /= std::string(60, static_cast<char>('a' + i));
    fs::create_directories(folder);
    const fs::path copy = folder / "libversioninfo_probe_copy.so";
    fs::copy_file(UMBRILL_PROBE_LIBRARY, copy);
    ASSERT_GT(copy.string().size(), 300u);

    const Probe probe = load(copy.string());
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(std::string(probe(0, 1)), copy.string());
    EXPECT_EQ(std::string(probe(0, 0)), "9.8.7.6");
}

} // namespace
} // namespace umbrill
