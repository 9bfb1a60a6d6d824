// The About box: the program's icon, its version and author lines, and OK.
#pragma once

#include <gtk/gtk.h>

namespace sorvel {

// Shows a new About box, modal over the parent; it destroys itself when closed.
GtkWindow* ShowAboutBox(GtkWindow* parent);

}  // namespace sorvel
