// The sheet on the screen: the line renderer's frame at the display's own pixels,
// shown 1:1, of which GTK gets only what changed.
#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <vector>

#include "device_frame.h"
#include "sim/scene.h"

namespace sorvel {

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

    // The frame's ink box for GTK, in one of a few images used in turn: GTK keeps the
    // nodes of the frame it shows, and of the one before, and cairo would copy an image
    // that such a node still holds before letting it change.
    static constexpr int kInkImages = 3;
    // The next image in turn, with the frame's ink box, or none.
    void NewInkImage(bool ofFrame);
    cairo_surface_t* InkImage() const { return m_inkImages[m_inkTurn]; }

    SceneState& m_scene;
    std::unique_ptr<SegmentList> m_segments;
    InkFrame m_frame;
    DevicePlacement m_placement;
    std::vector<uint32_t> m_inkPixels[kInkImages];
    cairo_surface_t* m_inkImages[kInkImages] = {};
    int m_inkTurn = 0;
    GtkWidget* m_area = nullptr;
    GdkSurface* m_surface = nullptr;  // whose scale the view follows
    gulong m_scaleHandler = 0;
};

}  // namespace sorvel
