// The record of lent key codes and the rule for giving one back.
#include "core/typing/lentkeys.h"

#include <xkbcommon/xkbcommon.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <random>
#include <sstream>

namespace umbrill {

LenderToken newLenderToken()
{
    std::random_device random;
    LenderToken token{};
    for (std::uint32_t &word : token)
        word = static_cast<std::uint32_t>(random());
    return token;
}

std::vector<long> encodeLentKeys(const LenderToken &token, std::span<const LentKey> keys)
{
    std::vector<long> values(token.begin(), token.end());
    for (const LentKey &k : keys) {
        values.push_back(k.keycode);
        values.push_back(static_cast<long>(k.keysym));
    }
    return values;
}

std::optional<LenderToken> lentKeysToken(std::span<const long> values)
{
    LenderToken token{};
    if (values.size() < token.size())
        return std::nullopt;
    for (std::size_t i = 0; i < token.size(); ++i)
        token[i] = static_cast<std::uint32_t>(values[i] & 0xffffffff);
    return token;
}

std::vector<LentKey> decodeLentKeys(std::span<const long> values)
{
    std::vector<LentKey> keys;
    for (std::size_t i = LenderToken().size(); i + 1 < values.size(); i += 2)
        keys.push_back({static_cast<int>(values[i]), static_cast<Keysym>(values[i + 1] & 0xffffffff)});
    return keys;
}

std::filesystem::path lentRecordFile(std::string_view runtimeDir, std::string_view displayName)
{
    if (runtimeDir.empty() || displayName.empty())
        return {};
    std::string name = "umbrill-lent-";
    for (const char c : displayName)
        name.push_back(c == '/' ? '_' : c);
    return std::filesystem::path(runtimeDir) / name;
}

bool writeLentRecord(const std::filesystem::path &file, const LentRecord &record)
{
    std::string text;
    for (const std::uint32_t word : record.token)
        text += std::to_string(word) + ' ';
    text.back() = '\n';
    for (const LentKey &key : record.keys)
        text += std::to_string(key.keycode) + ' ' + std::to_string(key.keysym) + '\n';
    const std::string temporary = file.string() + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<LentRecord> readLentRecord(const std::filesystem::path &file)
{
    if (file.empty())
        return std::nullopt;
    // Only a file of this user's, that no one else may have written.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat status {};
    std::string text;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::getuid()
        && (status.st_mode & 0077) == 0 && status.st_size < 65536) {
        text.resize(static_cast<std::size_t>(status.st_size));
        if (::read(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            text.clear();
    }
    ::close(fd);
    std::istringstream in(text);
    LentRecord record;
    for (std::uint32_t &word : record.token)
        if (!(in >> word))
            return std::nullopt;
    int keycode = 0;
    Keysym keysym = 0;
    while (in >> keycode >> keysym)
        record.keys.push_back({keycode, keysym});
    if (!in.eof())
        return std::nullopt;
    return record;
}

std::vector<LentKey> leftoverKeys(const std::optional<LentRecord> &record, std::span<const long> displayList)
{
    if (!record || lentKeysToken(displayList) != record->token)
        return {};
    return record->keys;
}

bool isLendableKeysym(Keysym keysym)
{
    const std::uint32_t cp = xkb_keysym_to_utf32(keysym);
    if (cp == 0 || cp < 0x20 || (cp >= 0x7f && cp < 0xa0))
        return false;
    return keysymFor(cp) == keysym;  // KP_Add is '+' too, but plus is what a lender binds
}

bool mayGiveBack(Keysym recorded, const KeycodeNow &now)
{
    constexpr Keysym noSymbol = 0;
    if (!isLendableKeysym(recorded) || now.modifier || now.inLayout || now.syms.size() < 2)
        return false;
    if (now.syms[0] != recorded || now.syms[1] != recorded)
        return false;
    return std::all_of(now.syms.begin() + 2, now.syms.end(), [&](Keysym k) { return k == noSymbol || k == recorded; });
}

std::optional<std::set<int>> layoutKeycodes(const std::vector<std::string> &ruleNames)
{
    const auto name = [&](std::size_t i) { return i < ruleNames.size() && !ruleNames[i].empty() ? ruleNames[i].c_str() : nullptr; };
    if (!name(0) || !name(2))
        return std::nullopt;
    const std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES),
                                                                             &xkb_context_unref);
    if (!context)
        return std::nullopt;
    xkb_context_set_log_level(context.get(), XKB_LOG_LEVEL_CRITICAL);
    const xkb_rule_names names{name(0), name(1), name(2), name(3), name(4)};
    const std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS), &xkb_keymap_unref);
    if (!keymap)
        return std::nullopt;
    std::set<int> keycodes;
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap.get()); key <= xkb_keymap_max_keycode(keymap.get()); ++key) {
        const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap.get(), key);
        for (xkb_layout_index_t layout = 0; layout < layouts && !keycodes.count(static_cast<int>(key)); ++layout) {
            const xkb_level_index_t levels = xkb_keymap_num_levels_for_key(keymap.get(), key, layout);
            for (xkb_level_index_t level = 0; level < levels; ++level) {
                const xkb_keysym_t *syms = nullptr;
                if (xkb_keymap_key_get_syms_by_level(keymap.get(), key, layout, level, &syms) > 0) {
                    keycodes.insert(static_cast<int>(key));
                    break;
                }
            }
        }
    }
    return keycodes;
}

} // namespace umbrill
