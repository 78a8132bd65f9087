// What the current keyboard layout holds, read from the X server's keyboard
// mapping. On a Wayland desktop the pad runs on XWayland, whose mapping
// follows the desktop's layouts: a keysym counts where the first layout and
// the one on hold it in the same place.
#pragma once

#include "core/typing/keyentry.h"

#include <optional>

namespace umbrill {

// Whether the layout types a keysym right, from the mapping of Qt's X display, read
// again at most twice a second; nullopt where Qt has no X display.
std::optional<LayoutHas> x11LayoutHas();

} // namespace umbrill
