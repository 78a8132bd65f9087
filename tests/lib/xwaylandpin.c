/* Preloaded into mutter by tests/lib/waylandsession.sh: makes its XWayland
 * take the X display named by UMBRILL_XWAYLAND_DISPLAY instead of the first
 * free one, so that tests running side by side never meet on one display.
 * Bare mutter always types with the "us" layout: where UMBRILL_XKB_LAYOUT_FILE
 * names a file, the layout written there (say "de") is set each time it
 * changes, and "umbrill: keymap <layout>" goes to stderr once it is. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char *layoutFile;
static char layoutSet[64] = "us";

static int followLayoutFile(void *unused)
{
    (void)unused;
    void *(*backend)(void) = (void *(*)(void))dlsym(RTLD_DEFAULT, "meta_get_backend");
    void (*setKeymap)(void *, const char *, const char *, const char *) =
        (void (*)(void *, const char *, const char *, const char *))dlsym(RTLD_DEFAULT, "meta_backend_set_keymap");
    if (!backend || !setKeymap) {
        fprintf(stderr, "umbrill: mutter cannot set a keymap here\n");
        return 0;
    }
    char layout[64] = "";
    FILE *file = fopen(layoutFile, "r");
    if (!file)
        return 1;
    if (!fgets(layout, sizeof layout, file))
        layout[0] = '\0';
    fclose(file);
    layout[strcspn(layout, "\r\n")] = '\0';
    if (!layout[0] || strcmp(layout, layoutSet) == 0 || !backend())
        return 1;
    setKeymap(backend(), layout, "", "");
    strcpy(layoutSet, layout);
    fprintf(stderr, "umbrill: keymap %s\n", layout);
    return 1;
}

__attribute__((constructor)) static void pinXWaylandDisplay(void)
{
    const char *number = getenv("UMBRILL_XWAYLAND_DISPLAY");
    void (*override)(int) = (void (*)(int))dlsym(RTLD_DEFAULT, "meta_xwayland_override_display_number");
    if (number && override)
        override(atoi(number));
    layoutFile = getenv("UMBRILL_XKB_LAYOUT_FILE");
    unsigned (*timeoutAdd)(unsigned, int (*)(void *), void *) =
        (unsigned (*)(unsigned, int (*)(void *), void *))dlsym(RTLD_DEFAULT, "g_timeout_add");
    if (layoutFile && *layoutFile && timeoutAdd)
        timeoutAdd(100, followLayoutFile, NULL);
}
