// What differs between the GTK versions the one package runs on. It is built against
// the oldest (4.8, Debian 12) and finds what later versions add at run time.
#pragma once

#include <gtk/gtk.h>

namespace sorvel {

// Before GTK starts: the cairo renderer without loading GL at all, switched off the way
// the running GTK understands. A user who chose a renderer, or set the switch, keeps it.
void PreferCairoWithoutGl();

// The surface's scale: fractional where GTK reports it (4.12 and later), else whole.
double SurfaceScale(GdkSurface* surface);

// True where the surface's "scale" property follows fractional scales (GTK 4.12 on).
bool HasFractionalScale();

}  // namespace sorvel
