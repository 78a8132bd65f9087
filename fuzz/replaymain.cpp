// Runs a fuzz target over stored inputs without libFuzzer: each file named and
// each file in each folder named (sorted; hidden files skipped). A property that
// does not hold aborts, so the test fails naming the input at fault.
#include "fuzzsupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path path = argv[i];
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::vector<fs::path> files;
            for (const fs::directory_entry &entry : fs::directory_iterator(path)) {
                if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
                    files.push_back(entry.path());
            }
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else if (fs::is_regular_file(path, ec)) {
            inputs.push_back(path);
        } else {
            std::fprintf(stderr, "No such file or folder: %s\n", path.c_str());
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "No inputs to run\n");
        return 2;
    }
    for (const fs::path &path : inputs) {
        std::fprintf(stderr, "Running %s\n", path.c_str());
        std::ifstream in(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "Cannot read %s\n", path.c_str());
            return 2;
        }
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("Executed %zu inputs\n", inputs.size());
    return 0;
}
