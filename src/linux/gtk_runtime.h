// What differs between the GTK versions the one package runs on. It is built against
// the oldest (4.8, Debian 12) and asks the running GTK for its version.
#pragma once

#include <gtk/gtk.h>

namespace sorvel {

// Before GTK starts: the cairo renderer without loading GL at all, switched off the way
// the running GTK understands. A user who chose a renderer, or set the switch, keeps it.
void PreferCairoWithoutGl();

}  // namespace sorvel
