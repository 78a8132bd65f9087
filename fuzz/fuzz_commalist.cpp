// Fuzz target of the comma-list rule, the two whole-number conversions and the
// language entry. Nothing may crash, the conversions agree with each other, and
// an entry as written reads back as the record it was written from.
#include "fuzzsupport.h"

#include "core/languages/languagerecord.h"
#include "core/text/commalist.h"
#include "core/text/error.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {

using namespace umbrill;

bool strictReads(std::string_view item, std::int32_t &value)
{
    const std::optional<std::int32_t> number = strictNumber(item);
    value = number.value_or(0);
    return number.has_value();
}

// The conversion that throws refuses what the other gives nothing for, and
// agrees on the rest.
void checkThrowingAgrees(std::string_view item)
{
    std::optional<std::int32_t> read;
    try {
        read = strictToInt(item);
    } catch (const Error &) {
    }
    UMBRILL_FUZZ_CHECK(read == strictNumber(item));
}

void checkNumbers(std::string_view item)
{
    const std::int32_t lenient = lenientToInt(item);
    std::int32_t strict = 0;
    // What the strict rule accepts, the lenient one reads the same way.
    if (strictReads(item, strict))
        UMBRILL_FUZZ_CHECK(strict == lenient);
    // Plain decimal always reads back strictly.
    std::int32_t again = 0;
    UMBRILL_FUZZ_CHECK(strictReads(decimalText(lenient), again) && again == lenient);
}

// Every item in double quotes, quotes inside doubled: the list must split back
// into exactly these items.
std::string quotedList(const std::vector<std::string> &items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        text += '"';
        for (const char c : items[i]) {
            text += c;
            if (c == '"')
                text += '"';
        }
        text += '"';
    }
    return text;
}

// A record of many keys is written and read back with its first and last 32
// codes: each code is written on its own, and a long input costs no more.
constexpr std::size_t kCodesWritten = 64;

void checkWrittenReadsBack(LanguageRecord record)
{
    if (record.KeyCodes.size() > kCodesWritten)
        record.KeyCodes.erase(record.KeyCodes.begin() + kCodesWritten / 2, record.KeyCodes.end() - kCodesWritten / 2);
    LanguageRecord again;
    applyLanguageEntry(again, writtenEntry(record)); // the written form never fails to read
    UMBRILL_FUZZ_CHECK(again.KeyFontName == record.KeyFontName);
    UMBRILL_FUZZ_CHECK(again.KeyFontSize == record.KeyFontSize);
    UMBRILL_FUZZ_CHECK(again.KeysPerRow == record.KeysPerRow);
    UMBRILL_FUZZ_CHECK(again.KeyCodes == record.KeyCodes);
}

void checkEntry(std::string_view entry, const std::vector<std::string> &items)
{
    LanguageRecord record;
    record.KeyFontName = "\x01untouched";
    record.KeyFontSize = -7;
    record.KeysPerRow = -9;
    record.KeyCodes = {42};
    try {
        applyLanguageEntry(record, entry);
    } catch (const Error &) {
        // Keys per row is read first, then the face, then the size: a failure
        // leaves the fields after the failing item as they were.
        std::int32_t unused = 0;
        UMBRILL_FUZZ_CHECK(items.size() > 1);
        UMBRILL_FUZZ_CHECK(record.KeyCodes == std::vector<std::int32_t>{42});
        UMBRILL_FUZZ_CHECK(record.KeyFontSize == -7);
        if (items.size() > 2 && !items[2].empty() && !strictReads(items[2], unused)) {
            UMBRILL_FUZZ_CHECK(record.KeysPerRow == -9);
            UMBRILL_FUZZ_CHECK(record.KeyFontName == "\x01untouched");
        } else {
            UMBRILL_FUZZ_CHECK(!items[1].empty() && !strictReads(items[1], unused));
        }
        return;
    }
    UMBRILL_FUZZ_CHECK(!record.KeyFontName.empty());
    UMBRILL_FUZZ_CHECK(record.KeyCodes.size() == (items.size() > 3 ? items.size() - 3 : 0));
    checkWrittenReadsBack(record);
}

// A record made directly from the input: the face is the first field, the numbers
// come from the bytes of the second, four at a time.
void checkRecordFromFields(std::string_view input)
{
    const std::vector<std::string_view> fields = umbrill::fuzz::splitFields(input, 2);
    if (fields[0].empty())
        return; // an empty face is written as "" and reads back as the default face
    std::vector<std::int32_t> numbers;
    for (std::size_t pos = 0; pos + 4 <= fields[1].size(); pos += 4) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, fields[1].data() + pos, 4);
        numbers.push_back(static_cast<std::int32_t>(bits));
    }
    LanguageRecord record;
    record.KeyFontName = std::string(fields[0]);
    record.KeyFontSize = numbers.size() > 0 ? numbers[0] : 0;
    record.KeysPerRow = numbers.size() > 1 ? numbers[1] : 0;
    if (numbers.size() > 2)
        record.KeyCodes.assign(numbers.begin() + 2, numbers.end());
    checkWrittenReadsBack(record);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input = umbrill::fuzz::asText(data, size);
    const std::vector<std::string> items = splitCommaList(input);
    // The numbers of every item, or of a long list's first 16 and 16 spread
    // over the rest.
    constexpr std::size_t kSample = 32;
    for (std::size_t k = 0; k < std::min(items.size(), kSample); ++k)
        checkNumbers(items[k < kSample / 2 || items.size() <= kSample ? k : k + (k - kSample / 2) * (items.size() - kSample) / (kSample / 2)]);
    checkNumbers(input);
    checkThrowingAgrees(input);
    if (!items.empty())
        checkThrowingAgrees(items.front());
    UMBRILL_FUZZ_CHECK(splitCommaList(quotedList(items)) == items);
    checkEntry(input, items);
    checkRecordFromFields(input);
    return 0;
}
