// What the current keyboard layout holds, read from the X server's keyboard
// mapping. On a Wayland desktop the pad runs on XWayland, whose mapping
// follows the desktop's layout.
#pragma once

#include "core/typing/keyentry.h"

#include <optional>

namespace umbrill {

// Whether the layout has a keysym, from the mapping of Qt's X display, read
// again at most twice a second; nullopt where Qt has no X display.
std::optional<LayoutHas> x11LayoutHas();

} // namespace umbrill
