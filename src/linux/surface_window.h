// The main window: the sheet drawn at the display's own pixels, its keys, and a header
// bar whose menu ends with the About box.
#pragma once

#include <gtk/gtk.h>

namespace sorvel {

// Opens the window for the application; it frees itself when it is destroyed.
void OpenSurfaceWindow(GtkApplication* application);

}  // namespace sorvel
