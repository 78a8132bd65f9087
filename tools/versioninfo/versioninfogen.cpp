// Build-time generator of a module's version information: writes the VS_VERSIONINFO
// block as a C source whose only object lives in the section ".umbrill_version",
// and optionally the raw block beside it.
//
//   umbrill_versioninfo_gen --output block.c [--binary block.bin] --version 4.1.0.7
//                           --translation 080904E4 [--string Key Value]...
#include "core/text/error.h"
#include "core/versioninfo/executableimage.h"
#include "core/versioninfo/versionblock.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace umbrill;

std::uint16_t hexWord(const std::string &text, std::size_t at)
{
    const std::string digits = text.substr(at, 4);
    if (digits.size() != 4 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw Error("'" + text + "' is not a translation of 8 hexadecimal digits");
    return static_cast<std::uint16_t>(std::stoul(digits, nullptr, 16));
}

std::string cSource(const std::string &block)
{
    std::string out =
        "/* The version information of this module, written by the build. */\n"
        "#if defined(__has_attribute)\n"
        "#  if __has_attribute(retain)\n"
        "#    define UMBRILL_RETAIN __attribute__((retain))\n"
        "#  endif\n"
        "#endif\n"
        "#ifndef UMBRILL_RETAIN\n"
        "#  define UMBRILL_RETAIN\n"
        "#endif\n"
        "__attribute__((section(\"" + std::string(kVersionSectionName) + "\"), used, aligned(4))) UMBRILL_RETAIN\n"
        "static const unsigned char umbrill_version_block[" + std::to_string(block.size()) + "] = {";
    for (std::size_t i = 0; i < block.size(); ++i) {
        char byte[16];
        std::snprintf(byte, sizeof byte, "%s0x%02x", i % 12 == 0 ? "\n    " : " ", static_cast<unsigned char>(block[i]));
        out += byte;
        if (i + 1 < block.size())
            out += ',';
    }
    out += "\n};\n";
    return out;
}

void writeFile(const std::string &path, const std::string &contents)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
    file.close();
    if (!file)
        throw Error("Cannot write " + path);
}

int run(const std::vector<std::string> &args)
{
    std::string output;
    std::string binary;
    VersionInfoDescription description;
    VersionStringTable table;
    bool haveVersion = false;
    bool haveTranslation = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &option = args[i];
        const auto next = [&]() -> const std::string & {
            if (i + 1 >= args.size())
                throw Error("Option " + option + " needs a value");
            return args[++i];
        };
        if (option == "--output") {
            output = next();
        } else if (option == "--binary") {
            binary = next();
        } else if (option == "--version") {
            const std::string &text = next();
            const auto numbers = parseVersionNumbers(text);
            if (!numbers)
                throw Error("'" + text + "' is not a version of up to four numbers");
            description.fixed.fileVersion = *numbers;
            description.fixed.productVersion = *numbers;
            haveVersion = true;
        } else if (option == "--translation") {
            const std::string &text = next();
            if (text.size() != 8)
                throw Error("'" + text + "' is not a translation of 8 hexadecimal digits");
            table.translation = {hexWord(text, 0), hexWord(text, 4)};
            haveTranslation = true;
        } else if (option == "--string") {
            const std::string key = next();
            table.strings.emplace_back(key, next());
        } else {
            throw Error("Unknown option " + option);
        }
    }
    if (output.empty() || !haveVersion || !haveTranslation)
        throw Error("Usage: umbrill_versioninfo_gen --output FILE.c [--binary FILE] --version A.B.C.D "
                    "--translation LLLLCCCC [--string KEY VALUE]...");
    description.translations.push_back(table.translation);
    description.stringTables.push_back(std::move(table));

    const std::string block = buildVersionBlock(description);
    writeFile(output, cSource(block));
    if (!binary.empty())
        writeFile(binary, block);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception &e) {
        std::cerr << "umbrill_versioninfo_gen: " << e.what() << '\n';
        return 1;
    }
}
