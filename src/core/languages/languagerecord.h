// The keyboard language now shown, and the rules that read and write its entry
// in the data file: "face",size,keysPerRow,code,code,...
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

struct LanguageRecord {
    std::string LanguageName;          // also its key in the data file; empty while none is loaded
    std::string LanguageEntry;         // the raw entry as read (UTF-8)
    std::vector<std::int32_t> KeyCodes;  // one per key, key 1 first; every code of the entry is kept
    std::int32_t KeysPerRow = 0;
    std::string KeyFontName;
    std::int32_t KeyFontSize = 0;
    std::string PasteFormatName;
};

inline constexpr std::string_view kDefaultKeyFontName = "Arial";
inline constexpr std::int32_t kDefaultKeyFontSize = 8;
inline constexpr std::int32_t kDefaultKeysPerRow = 5;

// Fills KeysPerRow, KeyFontName, KeyFontSize and KeyCodes of record from entry,
// in this order: keys per row, face, size, codes. A size or keys-per-row item
// that is no whole number throws Error("'item' is not a valid integer value");
// the fields set before the failing item keep their new values, the later ones
// are untouched. Missing or empty items take the defaults above; codes are
// read leniently and never fail.
void applyLanguageEntry(LanguageRecord &record, std::string_view entry);

// The same for an entry that the program keeps up itself (My Characters),
// which must lose no key to a hand-damaged field: never fails. Missing or
// empty items read as applyLanguageEntry reads them. A size or keys per row
// that is no whole number is read as far as it goes ("12.5" gives 12) and,
// where that leaves nothing positive, takes kDefaultKeyFontSize or
// keysPerRow; every code is kept.
LanguageRecord repairedLanguageEntry(std::string_view entry, std::int32_t keysPerRow);

// The written form: "face",size,keysPerRow,code,... in plain decimal, single
// commas, no blanks. A double quote inside the face is doubled so that the
// entry reads back as written.
std::string writtenEntry(const LanguageRecord &record);

} // namespace umbrill
