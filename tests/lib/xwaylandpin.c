/* Preloaded into mutter by tests/lib/waylandsession.sh: makes its XWayland
 * take the X display named by UMBRILL_XWAYLAND_DISPLAY instead of the first
 * free one, so that tests running side by side never meet on one display. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>

__attribute__((constructor)) static void pinXWaylandDisplay(void)
{
    const char *number = getenv("UMBRILL_XWAYLAND_DISPLAY");
    void (*override)(int) = (void (*)(int))dlsym(RTLD_DEFAULT, "meta_xwayland_override_display_number");
    if (number && override)
        override(atoi(number));
}
