// A helper process for the store tests: writes one store over and over.
//
//   storewriter settings|data distinct FILE PREFIX COUNT
//       writes PREFIX<i> = PREFIX-<i> for i = 0 .. COUNT-1
//   storewriter settings|data loop FILE KEY FIRST
//       writes KEY = versionText(i) for i = FIRST, FIRST+1, ... until killed,
//       and writes one byte to standard output once the first write is done
#include "core/settings/profilefile.h"
#include "core/settings/settingsstore.h"
#include "core/text/error.h"
#include "writerprotocol.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: storewriter settings|data distinct|loop FILE KEY NUMBER\n");
        return 2;
    }
    const std::string store = argv[1];
    const std::string mode = argv[2];
    const std::string file = argv[3];
    const std::string key = argv[4];
    const std::size_t number = std::stoul(argv[5]);

    auto write = [&](const std::string &name, const std::string &value) {
        if (store == "settings")
            umbrill::writeSettingTo(file, "Settings", name, value);
        else
            umbrill::writeProfileString(file, "Umbrill", name, value);
    };

    try {
        if (mode == "distinct") {
            for (std::size_t i = 0; i < number; ++i)
                write(key + std::to_string(i), key + "-" + std::to_string(i));
            return 0;
        }
        for (std::size_t i = number;; ++i) {
            write(key, umbrill::testing::versionText(i));
            if (i == number && ::write(STDOUT_FILENO, "R", 1) != 1)
                return 1;
        }
    } catch (const umbrill::Error &e) {
        std::fprintf(stderr, "storewriter: %s\n", e.what());
        return 1;
    }
}
