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

    // No application id and not unique: nothing to register on a session bus, which a
    // bare X or Wayland session may not have.
    GtkApplication* application = gtk_application_new(nullptr, G_APPLICATION_NON_UNIQUE);
    g_signal_connect(application, "activate", G_CALLBACK(OnActivate), nullptr);
    const int status = g_application_run(G_APPLICATION(application), argc, argv);
    g_object_unref(application);
    return status;
}
