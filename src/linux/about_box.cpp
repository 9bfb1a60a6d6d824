#include "about_box.h"

#include "run/texts.h"

namespace sorvel {

namespace {

// The icon at a size that the icon theme holds exactly (128, or 256 at scale 2).
constexpr int kIconSize = 128;

GtkWidget* TextLine(const char* text)
{
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0F);
    return label;
}

}  // namespace

GtkWindow* ShowAboutBox(GtkWindow* parent)
{
    GtkWidget* box = gtk_window_new();
    GtkWindow* window = GTK_WINDOW(box);
    gtk_window_set_title(window, texts::kAboutCaption);
    gtk_window_set_transient_for(window, parent);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_destroy_with_parent(window, TRUE);
    gtk_window_set_resizable(window, FALSE);

    GtkWidget* icon = gtk_image_new_from_icon_name("sorvel");
    gtk_image_set_pixel_size(GTK_IMAGE(icon), kIconSize);

    GtkWidget* lines = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_widget_set_valign(lines, GTK_ALIGN_CENTER);
    gtk_widget_set_hexpand(lines, TRUE);
    gtk_box_append(GTK_BOX(lines), TextLine(texts::kAboutVersion));
    gtk_box_append(GTK_BOX(lines), TextLine(texts::kAboutAuthor));

    GtkWidget* ok = gtk_button_new_with_label(texts::kOk);
    gtk_widget_set_valign(ok, GTK_ALIGN_START);
    gtk_widget_set_size_request(ok, 80, -1);
    g_signal_connect_swapped(ok, "clicked", G_CALLBACK(gtk_window_destroy), window);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 18);
    gtk_widget_set_margin_top(row, 18);
    gtk_widget_set_margin_bottom(row, 18);
    gtk_widget_set_margin_start(row, 18);
    gtk_widget_set_margin_end(row, 18);
    gtk_box_append(GTK_BOX(row), icon);
    gtk_box_append(GTK_BOX(row), lines);
    gtk_box_append(GTK_BOX(row), ok);
    gtk_window_set_child(window, row);

    // Enter presses OK, Esc closes, as in a dialog.
    gtk_window_set_default_widget(window, ok);
    GtkEventController* keys = gtk_shortcut_controller_new();
    gtk_shortcut_controller_add_shortcut(GTK_SHORTCUT_CONTROLLER(keys),
        gtk_shortcut_new(gtk_keyval_trigger_new(GDK_KEY_Escape, GdkModifierType(0)),
                         gtk_named_action_new("window.close")));
    gtk_widget_add_controller(box, keys);

    gtk_window_present(window);
    gtk_widget_grab_focus(ok);
    return window;
}

}  // namespace sorvel
