// Reading and writing one language's entry.
#include "core/languages/languagerecord.h"

#include "core/text/commalist.h"
#include "core/text/error.h"

namespace umbrill {

void applyLanguageEntry(LanguageRecord &record, std::string_view entry)
{
    const std::vector<std::string> items = splitCommaList(entry);
    const auto present = [&](std::size_t i) { return items.size() > i && !items[i].empty(); };

    record.KeysPerRow = present(2) ? strictToInt(items[2]) : kDefaultKeysPerRow;
    record.KeyFontName = present(0) ? items[0] : std::string(kDefaultKeyFontName);
    record.KeyFontSize = present(1) ? strictToInt(items[1]) : kDefaultKeyFontSize;
    record.KeyCodes.clear();
    for (std::size_t i = 3; i < items.size(); ++i)
        record.KeyCodes.push_back(lenientToInt(items[i]));
}

LanguageRecord repairedLanguageEntry(std::string_view entry, std::int32_t keysPerRow)
{
    const std::vector<std::string> items = splitCommaList(entry);
    const auto number = [&](std::size_t i, std::int32_t missing, std::int32_t damaged) {
        if (items.size() <= i || items[i].empty())
            return missing;
        try {
            return strictToInt(items[i]);
        } catch (const Error &) {
            const std::int32_t partial = lenientToInt(items[i]);
            return partial > 0 ? partial : damaged;
        }
    };
    LanguageRecord record;
    record.KeyFontName = items.empty() || items[0].empty() ? std::string(kDefaultKeyFontName) : items[0];
    record.KeyFontSize = number(1, kDefaultKeyFontSize, kDefaultKeyFontSize);
    record.KeysPerRow = number(2, kDefaultKeysPerRow, keysPerRow);
    for (std::size_t i = 3; i < items.size(); ++i)
        record.KeyCodes.push_back(lenientToInt(items[i]));
    return record;
}

std::string writtenEntry(const LanguageRecord &record)
{
    std::string entry = "\"";
    for (char c : record.KeyFontName) {
        entry += c;
        if (c == '"')
            entry += '"';
    }
    entry += "\",";
    entry += decimalText(record.KeyFontSize);
    entry += ',';
    entry += decimalText(record.KeysPerRow);
    for (std::int32_t code : record.KeyCodes) {
        entry += ',';
        entry += decimalText(code);
    }
    return entry;
}

} // namespace umbrill
