#include "surface_window.h"

#include <cstdio>
#include <memory>
#include <string>

#include "about_box.h"
#include "run/animation.h"
#include "run/gestures.h"
#include "run/keys.h"
#include "run/texts.h"
#include "sheet_view.h"

namespace sorvel {

namespace {

// The Windows program's client area at 96 dpi.
constexpr int kClientWidth = 481;
constexpr int kClientHeight = 330;

// Key events and frames on one clock: the frame clock's time is the monotonic clock's.
double NowMilliseconds() { return static_cast<double>(g_get_monotonic_time()) / 1000.0; }

// An input event's time on that clock. X servers, wlroots and weston stamp events with
// the monotonic clock's milliseconds, in 32 bits: a stamp from the last few seconds of
// it is taken, so that a frame drawn between a key's press and its release cannot
// stretch a short tap over two steps. Another stamp (another clock, or none: wtype
// sends 0) gives way to the time the event is handled.
double EventMilliseconds(guint32 stamp)
{
    const double now = NowMilliseconds();
    const auto age = static_cast<guint32>(static_cast<guint64>(now) - stamp);  // modulo 2^32, as the stamps wrap
    return age < 5000 ? now - age : now;
}

// The platform's table: GDK's names for the keys that every layout names alike.
NamedKey NamedKeyOf(guint keyval)
{
    switch (keyval) {
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left: return NamedKey::kLeft;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right: return NamedKey::kRight;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return NamedKey::kUp;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return NamedKey::kDown;
    case GDK_KEY_space:
    case GDK_KEY_KP_Space: return NamedKey::kSpace;
    default: return NamedKey::kOther;
    }
}

// The hardware keycode of the key where C lies on a US keyboard: evdev's KEY_C (46)
// plus XKB's offset of 8, the same on X11 and Wayland.
constexpr guint kKeycodeOfC = 54;

bool ControlOfKey(guint keyval, guint keycode, Control& control)
{
    return ControlForKey(NamedKeyOf(keyval), gdk_keyval_to_unicode(keyval), keycode == kKeycodeOfC, control);
}

// GTK labels mark the mnemonic with "_" where the program's texts use "&".
std::string Mnemonic(const char* text)
{
    std::string label = text;
    for (char& c : label) {
        if (c == '&') c = '_';
    }
    return label;
}

class SurfaceWindow {
public:
    explicit SurfaceWindow(GtkApplication* application);
    ~SurfaceWindow();
    SurfaceWindow(const SurfaceWindow&) = delete;
    SurfaceWindow& operator=(const SurfaceWindow&) = delete;

private:
    GtkWidget* NewHeaderBar();
    void AddActions();
    void ListenToKeys();
    void ListenToPointer();

    // The sheet moves while the window is active and nothing of ours lies over it.
    bool Running() const;
    // Starts the frame-clock callback when the sheet may move; it stops itself when not,
    // and while the sheet is at rest with no key or pointer down.
    void Wake();
    gboolean Tick(GdkFrameClock* clock);
    void CountSteps(int steps, double milliseconds);
    void FitClientArea();
    gboolean KeyPressed(guint keyval, guint keycode, double milliseconds);
    void KeyReleased(guint keyval, guint keycode, double milliseconds);
    void Pointer(GtkGesture* gesture, GdkEventSequence* sequence);
    void OpenAbout();

    std::unique_ptr<SceneState> m_scene;
    Animation m_animation;
    PointerGestures m_gestures;
    SheetView m_view;
    GtkWindow* m_window = nullptr;
    GtkWidget* m_area = nullptr;
    GtkMenuButton* m_menuButton = nullptr;
    GtkWindow* m_about = nullptr;
    guint m_tick = 0;
    gulong m_sizing = 0;  // until the first layout
    // With SORVEL_STEP_LOG set, the steps run so far go to stdout every tenth step, for
    // the benchmark; read once, so it costs a test per frame otherwise.
    const bool m_stepLog = g_getenv("SORVEL_STEP_LOG") != nullptr;
    long long m_steps = 0;
};

SurfaceWindow::SurfaceWindow(GtkApplication* application)
    : m_scene(std::make_unique<SceneState>()), m_animation(*m_scene), m_gestures(m_animation), m_view(*m_scene)
{
    m_scene->InitScene();
    m_scene->BuildRotation();  // the first frame may come before the first step

    m_window = GTK_WINDOW(gtk_application_window_new(application));
    gtk_window_set_title(m_window, texts::kTitle);
    gtk_window_set_titlebar(m_window, NewHeaderBar());

    m_area = m_view.Widget();
    gtk_window_set_child(m_window, m_area);

    // The drawing area opens at the Windows program's client size. Its least size makes
    // sure of that whatever frame the window has; the window's default size, the header
    // bar added, keeps it once that least size is lifted after the first layout.
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(m_area), kClientWidth);
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(m_area), kClientHeight);
    int titlebar = 0;
    gtk_widget_measure(gtk_window_get_titlebar(m_window), GTK_ORIENTATION_VERTICAL, kClientWidth, nullptr,
                       &titlebar, nullptr, nullptr);
    gtk_window_set_default_size(m_window, kClientWidth, kClientHeight + titlebar);
    m_sizing = g_signal_connect_swapped(m_area, "resize", G_CALLBACK(+[](SurfaceWindow* self) { self->FitClientArea(); }),
                                        this);

    AddActions();
    ListenToKeys();
    ListenToPointer();
    g_signal_connect_swapped(m_window, "notify::is-active",
                             G_CALLBACK(+[](SurfaceWindow* self) { self->Wake(); }), this);
    g_signal_connect_swapped(m_window, "destroy", G_CALLBACK(+[](SurfaceWindow* self) { delete self; }), this);
    gtk_window_present(m_window);
}

SurfaceWindow::~SurfaceWindow()
{
    // An About box goes with its parent, but after this object: it must not call back.
    if (m_about != nullptr) g_signal_handlers_disconnect_by_data(m_about, this);
}

GtkWidget* SurfaceWindow::NewHeaderBar()
{
    GMenu* menu = g_menu_new();
    GMenu* program = g_menu_new();
    g_menu_append(program, "_Quit", "win.quit");
    GMenu* about = g_menu_new();
    g_menu_append(about, Mnemonic(texts::kAboutMenuItem).c_str(), "win.about");
    g_menu_append_section(menu, nullptr, G_MENU_MODEL(program));
    g_menu_append_section(menu, nullptr, G_MENU_MODEL(about));

    GtkWidget* button = gtk_menu_button_new();
    m_menuButton = GTK_MENU_BUTTON(button);
    gtk_menu_button_set_icon_name(m_menuButton, "open-menu-symbolic");
    gtk_menu_button_set_menu_model(m_menuButton, G_MENU_MODEL(menu));
    gtk_menu_button_set_primary(m_menuButton, TRUE);  // F10 opens it
    g_object_unref(about);
    g_object_unref(program);
    g_object_unref(menu);
    // Once the menu is gone the sheet may move again.
    g_signal_connect_swapped(gtk_menu_button_get_popover(m_menuButton), "closed",
                             G_CALLBACK(+[](SurfaceWindow* self) { self->Wake(); }), this);

    GtkWidget* bar = gtk_header_bar_new();
    gtk_header_bar_pack_end(GTK_HEADER_BAR(bar), button);
    return bar;
}

void SurfaceWindow::AddActions()
{
    static const GActionEntry kActions[] = {
        {"quit", [](GSimpleAction*, GVariant*, gpointer self) {
             gtk_window_close(static_cast<SurfaceWindow*>(self)->m_window);
         }, nullptr, nullptr, nullptr, {}},
        {"about", [](GSimpleAction*, GVariant*, gpointer self) { static_cast<SurfaceWindow*>(self)->OpenAbout(); },
         nullptr, nullptr, nullptr, {}},
    };
    g_action_map_add_action_entries(G_ACTION_MAP(m_window), kActions, G_N_ELEMENTS(kActions), this);
    static const char* const kQuitKeys[] = {"<Control>q", nullptr};
    gtk_application_set_accels_for_action(gtk_window_get_application(m_window), "win.quit", kQuitKeys);
}

void SurfaceWindow::ListenToKeys()
{
    // Ahead of every widget in the window, so that Space never presses a focused button.
    GtkEventController* keys = gtk_event_controller_key_new();
    gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
    g_signal_connect_swapped(keys, "key-pressed",
        G_CALLBACK(+[](SurfaceWindow* self, guint keyval, guint keycode, GdkModifierType, GtkEventController* controller) {
            return self->KeyPressed(keyval, keycode, EventMilliseconds(gtk_event_controller_get_current_event_time(controller)));
        }), this);
    g_signal_connect_swapped(keys, "key-released",
        G_CALLBACK(+[](SurfaceWindow* self, guint keyval, guint keycode, GdkModifierType, GtkEventController* controller) {
            self->KeyReleased(keyval, keycode, EventMilliseconds(gtk_event_controller_get_current_event_time(controller)));
        }),
        this);
    gtk_widget_add_controller(GTK_WIDGET(m_window), keys);
}

void SurfaceWindow::ListenToPointer()
{
    // The main button or one finger on the sheet alone: the header bar keeps its clicks.
    // Every signal of the gesture carries the pointer whose last event says what it did.
    GtkGesture* drag = gtk_gesture_drag_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(drag), GDK_BUTTON_PRIMARY);
    for (const char* signal : {"begin", "update", "end"}) {
        g_signal_connect_swapped(drag, signal,
            G_CALLBACK(+[](SurfaceWindow* self, GdkEventSequence* sequence, GtkGesture* gesture) {
                self->Pointer(gesture, sequence);
            }), this);
    }
    g_signal_connect_swapped(drag, "cancel",
        G_CALLBACK(+[](SurfaceWindow* self, GdkEventSequence* sequence) {
            self->m_gestures.Cancel(GPOINTER_TO_INT(sequence), NowMilliseconds());
        }), this);
    gtk_widget_add_controller(m_area, GTK_EVENT_CONTROLLER(drag));
}

void SurfaceWindow::Pointer(GtkGesture* gesture, GdkEventSequence* sequence)
{
    // The gesture reports a pointer when it starts, moves or ends the gesture, and when
    // a second finger makes it stop; once a pointer is cancelled it has no event left.
    GdkEvent* event = gtk_gesture_get_last_event(gesture, sequence);
    double x = 0.0, y = 0.0;
    if (event == nullptr || !gtk_gesture_get_point(gesture, sequence, &x, &y)) return;
    const int pointer = GPOINTER_TO_INT(sequence);  // the mouse has none: 0
    const double now = EventMilliseconds(gdk_event_get_time(event));
    switch (gdk_event_get_event_type(event)) {
    case GDK_BUTTON_PRESS:
    case GDK_TOUCH_BEGIN: {
        GList* down = gtk_gesture_get_sequences(gesture);
        m_gestures.Down(pointer, g_list_length(down) == 1, x, y, now);
        g_list_free(down);
        break;
    }
    case GDK_MOTION_NOTIFY:
    case GDK_TOUCH_UPDATE: m_gestures.Move(pointer, x, y, now); break;
    case GDK_BUTTON_RELEASE:
    case GDK_TOUCH_END: m_gestures.Up(pointer, x, y, now); break;
    default: break;
    }
    Wake();
}

bool SurfaceWindow::Running() const
{
    // An open menu holds the keys, as the Windows program's menus do.
    return gtk_window_is_active(m_window) && m_about == nullptr &&
           !gtk_widget_get_visible(GTK_WIDGET(gtk_menu_button_get_popover(m_menuButton)));
}

void SurfaceWindow::Wake()
{
    if (m_tick == 0 && Running()) {
        m_tick = gtk_widget_add_tick_callback(m_area,
            [](GtkWidget*, GdkFrameClock* clock, gpointer self) { return static_cast<SurfaceWindow*>(self)->Tick(clock); },
            this, nullptr);
    }
}

gboolean SurfaceWindow::Tick(GdkFrameClock* clock)
{
    const bool running = Running();
    const double milliseconds = static_cast<double>(gdk_frame_clock_get_frame_time(clock)) / 1000.0;
    if (running) {
        m_gestures.Frame(milliseconds);
    } else {
        m_gestures.ReleaseAll(milliseconds);  // releases may never reach us
    }
    const int steps = m_animation.Frame(milliseconds, running);
    if (steps > 0) {
        // The frame goes to GTK only when its pixels changed; one that did not may show
        // a sheet come to rest, whose steps then cost nothing.
        if (!m_animation.Still() && !m_view.Update()) m_animation.Settle();
        if (m_stepLog) CountSteps(steps, milliseconds);
    }
    // A sheet at rest with no key or gesture waiting to act, or a window that cannot move,
    // costs nothing until input, the focus or the menu wakes it; the first frame then
    // steps at once.
    const bool resting = running && m_gestures.Resting();
    if (running && !resting) {
        return G_SOURCE_CONTINUE;
    }
    if (resting) m_animation.Frame(milliseconds, false);
    m_tick = 0;
    return G_SOURCE_REMOVE;
}

void SurfaceWindow::CountSteps(int steps, double milliseconds)
{
    const long long before = m_steps / 10;
    m_steps += steps;
    if (m_steps / 10 != before) {
        std::printf("steps %lld at %.1f ms\n", m_steps, milliseconds);
        std::fflush(stdout);
    }
}

void SurfaceWindow::FitClientArea()
{
    // Laid out at its opening size: from now on the user may make the window smaller.
    g_signal_handler_disconnect(m_area, m_sizing);
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(m_area), 0);
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(m_area), 0);
}

gboolean SurfaceWindow::KeyPressed(guint keyval, guint keycode, double milliseconds)
{
    if (!Running()) return FALSE;  // the menu's keys, not ours
    if (keyval == GDK_KEY_Escape) {
        gtk_window_close(m_window);
        return TRUE;
    }
    Control control;
    if (!ControlOfKey(keyval, keycode, control)) return FALSE;
    m_animation.KeyDown(control, milliseconds);
    Wake();
    return TRUE;
}

void SurfaceWindow::KeyReleased(guint keyval, guint keycode, double milliseconds)
{
    Control control;
    if (ControlOfKey(keyval, keycode, control)) {
        m_animation.KeyUp(control, milliseconds);
    }
}

void SurfaceWindow::OpenAbout()
{
    if (m_about != nullptr) return;
    // While it is open the sheet waits, whichever window has the focus.
    m_about = ShowAboutBox(m_window);
    g_signal_connect_swapped(m_about, "destroy", G_CALLBACK(+[](SurfaceWindow* self) {
        self->m_about = nullptr;
        gtk_window_present(self->m_window);  // back to the sheet, as after a modal dialog
        self->Wake();
    }), this);
}

}  // namespace

void OpenSurfaceWindow(GtkApplication* application)
{
    // The program's icons travel inside it, so that it shows them even when it is not installed.
    GtkIconTheme* theme = gtk_icon_theme_get_for_display(gdk_display_get_default());
    gtk_icon_theme_add_resource_path(theme, "/org/sorvel/icons");
    gtk_window_set_default_icon_name("sorvel");
    new SurfaceWindow(application);
}

}  // namespace sorvel
