// The sheet on the screen: the line renderer's frame at the display's own pixels,
// shown 1:1, of which GTK gets only what changed.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "device_frame.h"
#include "sim/scene.h"

namespace sorvel {

// The pixels of one frame's ink box, held by the view and by every copy of the pattern
// that draws them; the last holder frees them.
struct InkPixels;

class SheetView {
public:
    // The view draws the scene at the area's size; the scene must outlive it.
    explicit SheetView(SceneState& scene);
    ~SheetView();
    SheetView(const SheetView&) = delete;
    SheetView& operator=(const SheetView&) = delete;

    // The drawing area, a GtkDrawingArea, for the window to hold.
    GtkWidget* Widget() const { return m_area; }

    // Draws the scene as it stands; asks GTK to show the frame, and returns true, only
    // when its pixels changed.
    bool Update();

private:
    static GType AreaType();
    static void Snapshot(GtkWidget* widget, GtkSnapshot* snapshot);
    DevicePlacement Place() const;
    // Draws the frame at this placement of the area; true when its pixels changed.
    bool Render(const DevicePlacement& placement);
    void FollowScale(GdkSurface* surface);

    // The frame's ink box for GTK, or none: a pattern over a buffer that no node of
    // GTK's can draw any longer.
    void NewInk(bool ofFrame);

    SceneState& m_scene;
    std::unique_ptr<SegmentList> m_segments;
    InkFrame m_frame;
    DevicePlacement m_placement;
    std::vector<InkPixels*> m_inkBuffers;  // each held by the view
    cairo_pattern_t* m_ink = nullptr;       // the last frame's ink box, or none
    GtkWidget* m_area = nullptr;
    GdkSurface* m_surface = nullptr;  // whose scale the view follows
    gulong m_scaleHandler = 0;
};

}  // namespace sorvel
