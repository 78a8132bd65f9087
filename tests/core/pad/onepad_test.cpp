// The names a running pad answers under, and the language a command line names.
#include "core/pad/onepad.h"

#include <gtest/gtest.h>

namespace umbrill {
namespace {

TEST(OnePad, OneDisplayOneNameAndEveryNameValid)
{
    // The screen number does not make another display; another display is another pad.
    EXPECT_EQ(displayKey(":0.0", ""), displayKey(":0", ""));
    EXPECT_EQ(displayKey("localhost:10.0", ""), "localhost:10");
    EXPECT_NE(displayKey(":0", ""), displayKey(":1", ""));
    EXPECT_EQ(displayKey(":1", "wayland-0"), ":1");  // XWayland: the pad runs on X11
    EXPECT_EQ(displayKey("", "wayland-0"), "wayland-0");
    EXPECT_EQ(displayKey("", ""), "none");
    // A dot that belongs to the host name is not a screen number.
    EXPECT_EQ(displayKey("host.example:2", ""), "host.example:2");

    // A bus name's elements hold only letters, digits, "_" and "-" and none starts with a digit.
    for (const char *display : {":0", "host.example:2", "wayland-0", "/tmp/launch-x/org.xquartz:0", "none"}) {
        SCOPED_TRACE(display);
        const std::string name = padBusName(displayKey(display, ""));
        ASSERT_TRUE(name.starts_with("org.example.Umbrill.d"));
        for (const char c : name.substr(std::string("org.example.Umbrill.").size()))
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '_') << name;
        const std::string socket = padSocketName(displayKey(display, ""));
        EXPECT_EQ(socket.find('/'), std::string::npos) << socket;
    }
    // Different displays never share a name, even where the spelling could blur them.
    EXPECT_NE(padBusName(":0"), padBusName("_0"));
    EXPECT_NE(padSocketName(":0"), padSocketName(":1"));
}

TEST(OnePad, ALanguageIsFoundByItsNameOrByItsNameInAnotherCase)
{
    const std::vector<std::string> names{"French", "German", "My Characters", "Greek", "GREEK", "Français"};
    struct Row {
        const char *name;
        const char *wanted;
        std::optional<std::size_t> position;
    } rows[] = {
        {"exact", "German", 1},
        {"other case", "french", 0},
        {"with a blank", "my characters", 2},
        {"exact wins over a case twin", "GREEK", 4},
        {"two case twins: none", "greek", std::nullopt},
        {"unknown", "Klingon", std::nullopt},
        {"a part is not a name", "Fren", std::nullopt},
        {"empty", "", std::nullopt},
        {"non-ASCII only by its exact bytes", "Français", 5},
        {"non-ASCII case is not folded", "FRANÇAIS", std::nullopt},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(findLanguageName(names, row.wanted), row.position);
    }
}

} // namespace
} // namespace umbrill
