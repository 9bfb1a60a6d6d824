#include "gtk_runtime.h"

namespace sorvel {

namespace {

bool AtLeast(guint minor) { return gtk_get_major_version() > 4 || gtk_get_minor_version() >= minor; }

}  // namespace

void PreferCairoWithoutGl()
{
    // GTK's GL renderer, on a machine without a GPU, spends a whole core on this small
    // window; cairo draws the same pixels for a fraction of that. Nothing then needs GL,
    // and not loading the GL driver halves the time to the window.
    if (g_getenv("GSK_RENDERER") != nullptr) return;
    g_setenv("GSK_RENDERER", "cairo", TRUE);
    // GTK 4.16 moved the switch, and warns about the old one.
    if (AtLeast(16)) {
        g_setenv("GDK_DISABLE", "gl", FALSE);
    } else {
        g_setenv("GDK_DEBUG", "gl-disable", FALSE);
    }
}

}  // namespace sorvel
