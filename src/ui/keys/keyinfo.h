// What a key tells about its character: the tooltip, and the name and
// description screen readers hear. Both are made when asked for, so that a
// pad of 255 keys starts without reading a single Unicode name.
#pragma once

#include <QString>

#include <string_view>

namespace umbrill {

// Rich text: character large in the key's font family (its visible face where
// it would show nothing), its Unicode name, "U+00E9 · 233", and the HTML
// entity where the entity table has one.
QString keyToolTip(std::u16string_view character, const QString &family);

// Screen readers hear a key by its character's Unicode name (the accessible
// name) and its code "U+00E9" (the accessible description). Installs, once,
// the accessibility factory that gives keys these texts on demand.
void installKeyAccessibility();

} // namespace umbrill
