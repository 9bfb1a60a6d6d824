// Sorvel for Linux: the sheet of springs in a GTK 4 window.
#include <gtk/gtk.h>

#include "gtk_runtime.h"
#include "surface_window.h"

namespace {

void OnActivate(GtkApplication* application, gpointer)
{
    // Runs once: the application is not unique, so no second instance calls back here.
    sorvel::OpenSurfaceWindow(application);
}

}  // namespace

int main(int argc, char** argv)
{
    sorvel::PreferCairoWithoutGl();
    g_set_prgname("sorvel");

    // The id names the window after the menu entry and the software centres' entry
    // (org.sorvel.Sorvel.desktop), on Wayland too. Not unique: nothing to own on a
    // session bus, and without one (a bare X or Wayland session) it runs all the same.
    GtkApplication* application = gtk_application_new("org.sorvel.Sorvel", G_APPLICATION_NON_UNIQUE);
    g_signal_connect(application, "activate", G_CALLBACK(OnActivate), nullptr);
    const int status = g_application_run(G_APPLICATION(application), argc, argv);
    g_object_unref(application);
    return status;
}
