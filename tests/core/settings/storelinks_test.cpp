// A store that is a symbolic link stays one: a write goes to the file the link
// names, even when that file does not exist yet, and is refused with the
// store's usual error when it cannot be made there.
#include "core/settings/profilefile.h"
#include "core/settings/settingsstore.h"
#include "testfiles.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

using namespace umbrill::testing;

enum class Store { Settings, Data };

struct LinkCase {
    const char *name;
    // Makes the links in dir: returns the link the store is given and the file
    // it leads to, or an empty path when the write must be refused.
    std::function<std::pair<fs::path, fs::path>(const TempDir &dir)> prepare;
};

TEST(StoreLinks, ALinkToAMissingFileIsKeptAndItsTargetWritten)
{
    const LinkCase cases[] = {
        {"link to a missing file", [](const TempDir &d) {
             fs::create_directory(d / "real");
             fs::create_symlink(d / "real" / "store", d / "store");
             return std::pair{d / "store", d / "real" / "store"};
         }},
        {"relative link, taken from the link's folder", [](const TempDir &d) {
             fs::create_directories(d / "links");
             fs::create_directory(d / "real");
             fs::create_symlink("../real/store", d / "links" / "store");
             return std::pair{d / "links" / "store", d / "real" / "store"};
         }},
        {"chain of links", [](const TempDir &d) {
             fs::create_directory(d / "real");
             fs::create_symlink("real/store", d / "middle");
             fs::create_symlink(d / "middle", d / "store");
             return std::pair{d / "store", d / "real" / "store"};
         }},
        {"link into a missing folder", [](const TempDir &d) {
             fs::create_symlink(d / "missing" / "store", d / "store");
             return std::pair{d / "store", fs::path()};
         }},
        {"loop of links", [](const TempDir &d) {
             fs::create_symlink(d / "other", d / "store");
             fs::create_symlink(d / "store", d / "other");
             return std::pair{d / "store", fs::path()};
         }},
    };
    for (const Store store : {Store::Settings, Store::Data}) {
        for (const LinkCase &row : cases) {
            SCOPED_TRACE(std::string(store == Store::Settings ? "settings: " : "data file: ") + row.name);
            TempDir dir;
            const auto [link, target] = row.prepare(dir);
            const fs::path linkTarget = fs::read_symlink(link);
            const std::string error = errorOf([&, link = link] {
                if (store == Store::Settings)
                    writeSettingTo(link, "Settings", "KeySize", "50");
                else
                    writeProfileString(link, "Umbrill", "KeySize", "50");
            });
            const std::string read = store == Store::Settings
                                         ? readSettingFrom(link, "Settings", "KeySize", "dflt")
                                         : readProfileString(link, "Umbrill", "KeySize", "dflt");
            EXPECT_TRUE(fs::is_symlink(link));
            std::error_code ec;
            EXPECT_EQ(fs::read_symlink(link, ec), linkTarget);
            if (target.empty()) {
                EXPECT_EQ(error, store == Store::Settings ? "Failed to create key Settings"
                                                          : "Unable to write to " + link.string());
                EXPECT_EQ(read, "dflt");
            } else {
                EXPECT_EQ(error, "(no error)");
                EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
                EXPECT_EQ(read, "50");
            }
        }
    }
}

} // namespace
} // namespace umbrill
