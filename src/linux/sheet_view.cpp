#include "sheet_view.h"

#include <atomic>

#include "gtk_runtime.h"

// A GtkDrawingArea that shows the view's frame: its own snapshot instead of a cairo
// drawing of the whole area. GTK keeps the last frame's nodes and compares the next
// ones with them, so a white colour node under a node of the ink box alone lets GTK
// repaint no more than the old and the new ink box, and a frame that did not change
// costs nothing. The ink box is a cairo node rather than a texture: GTK 4.8 turns every
// pixel of a texture into floats and back each time it draws it, which cost more than
// all the rest of a frame at the opening size.
//
// The ink box reaches the cairo node as a raster source, a pattern that cairo asks for
// the pixels only while it draws, rather than as an image surface. A cairo recording,
// such as the node's, keeps a copy-on-write snapshot of every image surface painted
// into it, and the snapshot stays attached to the image even after the recording is
// gone: letting the image go, or changing its pixels, first copies the whole box into
// the snapshot, only to throw the copy away. A raster source copies nothing, and cairo
// says when each copy of it goes, so a buffer is written again only once no node of
// GTK's can draw it.
struct SorvelSheetArea {
    GtkDrawingArea parent;
    sorvel::SheetView* view;
};

struct SorvelSheetAreaClass {
    GtkDrawingAreaClass parent;
};

namespace sorvel {

struct InkPixels {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    std::atomic<int> holders{1};  // the view's hold

    void Hold() { holders.fetch_add(1); }
    void Release()
    {
        if (holders.fetch_sub(1) == 1) delete this;
    }
};

namespace {

cairo_surface_t* AcquireInkImage(cairo_pattern_t*, void* data, cairo_surface_t*, const cairo_rectangle_int_t*)
{
    auto* ink = static_cast<InkPixels*>(data);
    // RGB24: opaque, so painting it copies its pixels; around it, within the node's
    // bounds, nothing is painted and the paper shows.
    return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(ink->pixels.data()),
                                               CAIRO_FORMAT_RGB24, ink->width, ink->height, ink->width * 4);
}

void ReleaseInkImage(cairo_pattern_t*, void*, cairo_surface_t* image) { cairo_surface_destroy(image); }

cairo_status_t InkCopied(cairo_pattern_t*, void* data, const cairo_pattern_t*)
{
    static_cast<InkPixels*>(data)->Hold();
    return CAIRO_STATUS_SUCCESS;
}

void InkFinished(cairo_pattern_t*, void* data) { static_cast<InkPixels*>(data)->Release(); }

}  // namespace

GType SheetView::AreaType()
{
    static const GType type = g_type_register_static_simple(
        GTK_TYPE_DRAWING_AREA, "SorvelSheetArea", sizeof(SorvelSheetAreaClass),
        [](gpointer areaClass, gpointer) { GTK_WIDGET_CLASS(areaClass)->snapshot = &SheetView::Snapshot; },
        sizeof(SorvelSheetArea), nullptr, GTypeFlags(0));
    return type;
}

SheetView::SheetView(SceneState& scene) : m_scene(scene), m_segments(std::make_unique<SegmentList>())
{
    // A reference of the view's own: the window lets go of the area before it says
    // that it is destroyed.
    m_area = GTK_WIDGET(g_object_ref_sink(g_object_new(AreaType(), nullptr)));
    reinterpret_cast<SorvelSheetArea*>(m_area)->view = this;
    // A new scale draws the frame anew at the new number of device pixels.
    g_signal_connect_swapped(m_area, "notify::scale-factor", G_CALLBACK(gtk_widget_queue_draw), m_area);
    g_signal_connect_swapped(m_area, "realize", G_CALLBACK(+[](SheetView* self) {
        self->FollowScale(gtk_native_get_surface(gtk_widget_get_native(self->m_area)));
    }), this);
    g_signal_connect_swapped(m_area, "unrealize",
                             G_CALLBACK(+[](SheetView* self) { self->FollowScale(nullptr); }), this);
}

SheetView::~SheetView()
{
    FollowScale(nullptr);
    g_signal_handlers_disconnect_by_data(m_area, this);
    reinterpret_cast<SorvelSheetArea*>(m_area)->view = nullptr;
    g_object_unref(m_area);
    if (m_ink != nullptr) cairo_pattern_destroy(m_ink);
    for (InkPixels* buffer : m_inkBuffers) buffer->Release();  // a node of GTK's may keep one a while
}

void SheetView::FollowScale(GdkSurface* surface)
{
    if (m_surface != nullptr) g_signal_handler_disconnect(m_surface, m_scaleHandler);
    m_surface = nullptr;
    m_scaleHandler = 0;
    // GTK 4.12 and later tell a fractional scale (150 %) on the surface; the widget's
    // scale factor stays the whole number above it.
    if (surface != nullptr && HasFractionalScale()) {
        m_surface = surface;
        m_scaleHandler = g_signal_connect_swapped(surface, "notify::scale", G_CALLBACK(gtk_widget_queue_draw), m_area);
    }
}

bool SheetView::Update()
{
    if (!Render(Place())) return false;
    gtk_widget_queue_draw(m_area);
    return true;
}

DevicePlacement SheetView::Place() const
{
    DevicePlacement p;
    GtkNative* native = gtk_widget_get_native(m_area);
    GdkSurface* surface = native != nullptr ? gtk_native_get_surface(native) : nullptr;
    if (surface == nullptr) return p;
    p.scale = SurfaceScale(surface);
    double nativeX = 0.0, nativeY = 0.0, areaX = 0.0, areaY = 0.0;
    gtk_native_get_surface_transform(native, &nativeX, &nativeY);
    gtk_widget_translate_coordinates(m_area, GTK_WIDGET(native), 0.0, 0.0, &areaX, &areaY);
    p.originX = nativeX + areaX;
    p.originY = nativeY + areaY;
    p.columns = DevicePixelsWithin(p.originX, gtk_widget_get_width(m_area), p.scale);
    p.rows = DevicePixelsWithin(p.originY, gtk_widget_get_height(m_area), p.scale);
    return p;
}

bool SheetView::Render(const DevicePlacement& placement)
{
    m_placement = placement;
    const int width = m_placement.columns.count, height = m_placement.rows.count;
    if (width <= 0 || height <= 0 || width > kMaxRasterSide || height > kMaxRasterSide) {
        // Nothing to draw into: the next frame that fits starts afresh, even at the
        // size and with the segments of the last one.
        m_frame = InkFrame();
        const bool shown = m_ink != nullptr;
        if (shown) NewInk(false);
        return shown;
    }
    // The frame in device pixels: at 150 % the projection's factor is 150, and every
    // device pixel is the renderer's own rather than a stretched one.
    m_scene.m_cxClient = width;
    m_scene.m_cyClient = height;
    m_scene.m_pixelsPerUnit = kBasePixelsPerUnit * m_placement.scale;
    BuildFrameSegments(m_scene, *m_segments);
    if (!m_frame.Draw(*m_segments, width, height)) return false;
    NewInk(true);
    return true;
}

void SheetView::NewInk(bool ofFrame)
{
    if (m_ink != nullptr) cairo_pattern_destroy(m_ink);
    m_ink = nullptr;
    const PixelBox& box = m_frame.Ink();
    if (!ofFrame || box.IsEmpty()) return;
    // A buffer held by the view alone; GTK keeps the nodes of a frame or two, so there
    // are seldom more than three.
    InkPixels* ink = nullptr;
    for (InkPixels* buffer : m_inkBuffers) {
        if (buffer->holders.load() == 1) ink = buffer;
    }
    if (ink == nullptr) {
        ink = new InkPixels;
        m_inkBuffers.push_back(ink);
    }
    ink->width = box.Width();
    ink->height = box.Height();
    ink->pixels.resize(static_cast<std::size_t>(ink->width) * static_cast<std::size_t>(ink->height));
    m_frame.CopyInk(ink->pixels.data());
    ink->Hold();
    m_ink = cairo_pattern_create_raster_source(ink, CAIRO_CONTENT_COLOR, ink->width, ink->height);
    cairo_raster_source_pattern_set_acquire(m_ink, &AcquireInkImage, &ReleaseInkImage);
    cairo_raster_source_pattern_set_copy(m_ink, &InkCopied);
    cairo_raster_source_pattern_set_finish(m_ink, &InkFinished);
    cairo_pattern_set_filter(m_ink, CAIRO_FILTER_NEAREST);
}

void SheetView::Snapshot(GtkWidget* widget, GtkSnapshot* snapshot)
{
    SheetView* self = reinterpret_cast<SorvelSheetArea*>(widget)->view;
    if (self == nullptr) return;
    // A new size, scale or place on the surface reaches the view here first; otherwise
    // the frame is the one that Update drew.
    const DevicePlacement placement = self->Place();
    if (placement != self->m_placement) self->Render(placement);
    static const GdkRGBA kWhite = {1.0F, 1.0F, 1.0F, 1.0F};
    graphene_rect_t bounds;
    graphene_rect_init(&bounds, 0.0F, 0.0F, static_cast<float>(gtk_widget_get_width(widget)),
                       static_cast<float>(gtk_widget_get_height(widget)));
    gtk_snapshot_append_color(snapshot, &kWhite, &bounds);
    if (self->m_ink == nullptr) return;
    // The ink box on its own device pixels, drawn at one image pixel per device pixel
    // from the box's corner, in a node of whole logical pixels around it.
    const DevicePlacement& p = self->m_placement;
    const NodeBounds node = NodeBoundsOf(self->m_frame.Ink(), p);
    graphene_rect_init(&bounds, node.x, node.y, node.width, node.height);
    cairo_t* cr = gtk_snapshot_append_cairo(snapshot, &bounds);
    cairo_translate(cr, node.boxX, node.boxY);
    cairo_scale(cr, 1.0 / p.scale, 1.0 / p.scale);
    cairo_set_source(cr, self->m_ink);
    cairo_paint(cr);
    cairo_destroy(cr);
}

}  // namespace sorvel
