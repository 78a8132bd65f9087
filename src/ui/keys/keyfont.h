// The font a keyboard language gives its keys.
#pragma once

#include <QFont>

#include <climits>

namespace umbrill {

struct LanguageRecord;

// On top of base: the language's font family where it names one, and its
// size where it gives one, at most largest points.
QFont keyFont(const LanguageRecord &language, int largest = INT_MAX, QFont base = QFont());

} // namespace umbrill
