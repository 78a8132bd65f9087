// Writes the binary seeds of fuzz_versioninfo into the folder given: a version
// block, ELF files (32/64 bits, both byte orders) and PE files (PE32, PE32+,
// resources found by name only) carrying it, made by the version-info tests'
// own builders. Run once by hand; the output is kept in fuzz/corpus.
#include "imagebuilders.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

bool writeSeed(const std::filesystem::path &folder, const char *name, const std::string &bytes)
{
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    using namespace umbrill::testing;
    const std::filesystem::path folder = argv[1];
    const std::string block = sampleBlock();
    PeOptions plus;
    plus.pe32Plus = true;
    PeOptions byName;
    byName.useDataDirectory = false;
    byName.namedTypeFirst = true;
    const bool ok = writeSeed(folder, "block", block)
                    && writeSeed(folder, "elf64le", elfWithBlock(block, true, false).bytes)
                    && writeSeed(folder, "elf32be", elfWithBlock(block, false, true).bytes)
                    && writeSeed(folder, "pe32", buildPe(block).bytes)
                    && writeSeed(folder, "pe32plus", buildPe(block, plus).bytes)
                    && writeSeed(folder, "pe-rsrc-by-name", buildPe(block, byName).bytes);
    return ok ? 0 : 1;
}
