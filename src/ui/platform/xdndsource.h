// The data of the pad's character drags for any program that asks the X
// server for it. Qt's X11 drag source answers a drop target only when it
// asks with the time the drag began or the time of its drop, and it never
// lists its formats (TARGETS). A desktop that carries an X11 drag into its own Wayland windows
// (mutter with XWayland) does both: it reads the formats from TARGETS when
// the drag starts and asks for the data with that time, so a character
// dropped into a native window arrived as nothing.
#pragma once

namespace umbrill::xdndsource {

// From now on, answers every request for the selection of a drag (X11's
// XdndSelection) that the program owns while a character's drag lives (see
// draggedCharacterData in ui/keys/keybutton.h): its formats, and the data in
// each. Requests for a format the drag does not carry, and for the other
// selections, are left to Qt. Nothing off X11.
void serve();

} // namespace umbrill::xdndsource
