// The one spelling that queries and everyday words are compared in, so that
// "Häkchen", "HAKCHEN" and "häkchen" meet, and "cœur" meets "coeur".
#pragma once

#include <string>
#include <string_view>

namespace umbrill {

// Folds UTF-8 text for the search: letters in upper case with their accents
// and other marks taken off, the ligatures and letters that have no accent to
// take off spelled out (Æ "AE", Œ "OE", ß "SS", Ø "O", Ł "L", Đ "D", Þ "TH"),
// letters of other scripts in upper case. Each run of characters that are
// neither letters nor digits becomes one blank; there is none at either end.
// Bytes that are not UTF-8 count as such a run. Never throws.
std::string foldForSearch(std::string_view utf8);

} // namespace umbrill
