#include "gtk_runtime.h"

#include <dlfcn.h>

namespace sorvel {

namespace {

bool AtLeast(guint minor) { return gtk_get_major_version() > 4 || gtk_get_minor_version() >= minor; }

using GetScale = double (*)(GdkSurface*);

// gdk_surface_get_scale, from GTK 4.12 on: the headers built against do not declare it.
GetScale SurfaceGetScale()
{
    static const GetScale function =
        AtLeast(12) ? reinterpret_cast<GetScale>(dlsym(RTLD_DEFAULT, "gdk_surface_get_scale")) : nullptr;
    return function;
}

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

double SurfaceScale(GdkSurface* surface)
{
    const GetScale getScale = SurfaceGetScale();
    return getScale != nullptr ? getScale(surface) : gdk_surface_get_scale_factor(surface);
}

bool HasFractionalScale() { return SurfaceGetScale() != nullptr; }

}  // namespace sorvel
