// Lookups through the stores' indexes give what a walk over the file gives:
// a file asked once is walked, a file asked again answers from its index, so
// the two are compared on random files built of the pieces that make the
// rules awkward (repeated and differently cased names, blanks, stray brackets,
// deletions, continued values, every kind of line break).
#include "core/settings/profilefile.h"
#include "core/settings/registryfile.h"
#include "core/text/error.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace umbrill {
namespace {

class RandomFile {
public:
    explicit RandomFile(unsigned seed) : m_random(seed) {}

    template <std::size_t N>
    std::string pick(const char *const (&pieces)[N])
    {
        return pieces[std::uniform_int_distribution<std::size_t>(0, N - 1)(m_random)];
    }

    int upTo(int n) { return std::uniform_int_distribution<int>(0, n)(m_random); }

private:
    std::mt19937 m_random;
};

constexpr const char *kProfileNames[] = {"a", "A", "b", " a ", "\ta", "ab", "", "\xC3\xA9", "a]"};
constexpr const char *kProfileLineBreaks[] = {"\n", "\r\n", "\r", "\n"};

std::string randomProfile(RandomFile &random)
{
    constexpr const char *kValues[] = {"x", " \"q\" ", "'y'", "v;w", "", "  z  ", "\xE9"};
    constexpr const char *kJunk[] = {"; a=1", "[", "=", "junk", "  ", "\x1A", "[a", "]"};
    std::string text;
    const int lines = random.upTo(30);
    for (int i = 0; i < lines; ++i) {
        switch (random.upTo(4)) {
        case 0:
            text += " [" + random.pick(kProfileNames) + "] ";
            break;
        case 1:
        case 2:
            text += random.pick(kProfileNames) + "=" + random.pick(kValues);
            if (random.upTo(5) == 0)
                text += std::string(1, '\0') + "after a NUL";
            break;
        default:
            text += random.pick(kJunk);
            break;
        }
        text += random.pick(kProfileLineBreaks);
    }
    return text;
}

constexpr const char *kKeyPaths[] = {"K", "k", "K\\S", "k\\s", "K\\S\\T", "K\\T", "", "\\K"};
constexpr const char *kValueNames[] = {"n", "N", "m", ""};

std::string randomRegistry(RandomFile &random)
{
    constexpr const char *kData[] = {"\"text\"", "\"t\\\"q\"", "-", "dword:0000002a", "hex(1):61,00,62,00,00,00",
                                     "hex(2):61,00,\\", "hex:01", "\"bad", "\"x\" y"};
    constexpr const char *kBreaks[] = {"\n", "\r\n"};
    std::string text = "Windows Registry Editor Version 5.00\r\n";
    const int lines = random.upTo(30);
    for (int i = 0; i < lines; ++i) {
        switch (random.upTo(5)) {
        case 0:
            text += std::string("[") + (random.upTo(3) == 0 ? "-" : "") + random.pick(kKeyPaths) + "]";
            break;
        case 1:
        case 2:
        case 3: {
            const std::string name = random.pick(kValueNames);
            text += (name.empty() ? std::string("@") : "\"" + name + "\"") + "=" + random.pick(kData);
            break;
        }
        default:
            text += random.upTo(1) ? "  00,00" : "[K";
            break;
        }
        text += random.pick(kBreaks);
    }
    return text;
}

std::string registryAnswer(const RegistryFile &file, std::string_view keyPath, std::string_view name)
{
    try {
        const std::optional<std::string> value = file.stringValue(keyPath, name);
        return value ? "=" + *value : "absent";
    } catch (const Error &error) {
        return error.what();
    }
}

TEST(IndexedLookups, AnswerAsAWalkOverTheFileDoes)
{
    for (unsigned seed = 0; seed < 300; ++seed) {
        RandomFile random(seed);
        {
            const std::string bytes = randomProfile(random);
            SCOPED_TRACE("data file of seed " + std::to_string(seed) + ": " + bytes);
            const ProfileFile indexed = ProfileFile::fromBytes(bytes);
            (void)indexed.value("warm", "up", ""); // the first question walks; the rest use the index
            for (const char *section : kProfileNames) {
                for (const char *key : kProfileNames) {
                    SCOPED_TRACE(std::string("[") + section + "] " + key);
                    EXPECT_EQ(indexed.value(section, key, "dflt"), ProfileFile::fromBytes(bytes).value(section, key, "dflt"));
                    EXPECT_EQ(indexed.wholeValue(section, key), ProfileFile::fromBytes(bytes).wholeValue(section, key));
                }
            }
        }
        {
            const std::string bytes = randomRegistry(random);
            SCOPED_TRACE("user.reg of seed " + std::to_string(seed) + ": " + bytes);
            const RegistryFile indexed = RegistryFile::fromBytes(bytes);
            (void)registryAnswer(indexed, "warm", "up");
            for (const char *keyPath : kKeyPaths) {
                for (const char *name : kValueNames) {
                    SCOPED_TRACE(std::string(keyPath) + " " + name);
                    EXPECT_EQ(registryAnswer(indexed, keyPath, name),
                              registryAnswer(RegistryFile::fromBytes(bytes), keyPath, name));
                }
            }
        }
    }
}

} // namespace
} // namespace umbrill
