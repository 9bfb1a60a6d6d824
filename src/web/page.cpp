// The web page's side in WebAssembly: the scene, driven by the shell's keys, gestures and
// pace, drawn by the core's renderer into a pixel buffer of which the page puts on its
// canvas only what changed. The page's script calls these functions; nothing here knows
// the browser.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "render/raster.h"
#include "run/animation.h"
#include "run/gestures.h"
#include "run/keys.h"
#include "run/texts.h"

namespace {

// The Windows program's opening client area: on a smaller canvas the sheet shrinks with
// it, so that a phone shows all of it, as that window does.
constexpr double kOpeningWidth = 481.0;
constexpr double kOpeningHeight = 330.0;

bool Usable(double value) { return std::isfinite(value) && value > 0.0; }

struct Page {
    sorvel::SceneState scene;
    sorvel::Animation animation{scene};
    sorvel::PointerGestures gestures{animation};
    sorvel::SegmentList segments;
    sorvel::FrameChanges changes;
    uint32_t* pixels = nullptr;  // scene.m_cxClient x scene.m_cyClient, from malloc
    // What the last drawing changed, for the page to put: left, top, width, height.
    int32_t shown[4] = {};

    void Draw()
    {
        const int width = scene.m_cxClient, height = scene.m_cyClient;
        sorvel::BuildFrameSegments(scene, segments);
        const sorvel::PixelBox box =
            sorvel::DrawChangedSegments(sorvel::Raster{pixels, width, height, width}, segments, changes);
        shown[0] = box.left;
        shown[1] = box.top;
        shown[2] = box.Width();
        shown[3] = box.Height();
    }
};

Page page;

}  // namespace

extern "C" {

// The scene as the program starts it, with its rotation built for the first frame.
EMSCRIPTEN_KEEPALIVE void sorvel_init()
{
    page.scene.InitScene();
    page.scene.BuildRotation();
}

// A canvas of width x height device pixels, cssWidth x cssHeight CSS pixels, at the given
// device-pixel ratio. The projection's factor grows with the ratio, so the sheet keeps
// its proportion to the window, and shrinks with a canvas smaller than the opening
// window: 100 x ratio x min(1, cssWidth / 481, cssHeight / 330), in that order. Draws
// the current scene at once, to be shown whole, and returns the pixels; null for a size
// out of range or without the memory for it, which changes nothing. The buffer may move
// the memory: the page takes new views of it after every call.
EMSCRIPTEN_KEEPALIVE uint32_t* sorvel_resize(int width, int height, double cssWidth, double cssHeight, double ratio)
{
    if (width <= 0 || height <= 0 || width > sorvel::kMaxRasterSide || height > sorvel::kMaxRasterSide) return nullptr;
    sorvel::SceneState& scene = page.scene;
    if (width != scene.m_cxClient || height != scene.m_cyClient || page.pixels == nullptr) {
        void* fresh = std::malloc(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * sizeof(uint32_t));
        if (fresh == nullptr) return nullptr;
        std::free(page.pixels);
        page.pixels = static_cast<uint32_t*>(fresh);
        scene.m_cxClient = width;
        scene.m_cyClient = height;
    }
    if (!Usable(ratio)) ratio = 1.0;
    const double shrink = Usable(cssWidth) && Usable(cssHeight)
                              ? std::min(1.0, std::min(cssWidth / kOpeningWidth, cssHeight / kOpeningHeight))
                              : 1.0;
    scene.m_pixelsPerUnit = sorvel::kBasePixelsPerUnit * ratio * shrink;
    page.changes.RasterReplaced();
    page.Draw();
    return page.pixels;
}

// The largest side, in device pixels, that sorvel_resize accepts.
EMSCRIPTEN_KEEPALIVE int sorvel_max_side() { return sorvel::kMaxRasterSide; }

// The projection's factor that the last size gave.
EMSCRIPTEN_KEEPALIVE double sorvel_pixels_per_unit() { return page.scene.m_pixelsPerUnit; }

// Where the page finds what the last call changed: left, top, width and height in device
// pixels; a width of 0 when nothing changed.
EMSCRIPTEN_KEEPALIVE const int32_t* sorvel_shown() { return page.shown; }

// The canvas lost some or all of its pixels (a new context, a put that failed): plans
// the whole picture for showing, at once.
EMSCRIPTEN_KEEPALIVE void sorvel_screen_lost()
{
    if (page.pixels == nullptr) return;
    page.changes.ScreenLost();
    page.Draw();
}

// The key table's control (in the order of Control) for a key the page names (NamedKey's
// order), the character the layout gives it (0 for none), and whether it lies where C
// lies on a US keyboard; -1 for none.
EMSCRIPTEN_KEEPALIVE int sorvel_control_for_key(int named, int character, int atC)
{
    if (named < 0 || named > static_cast<int>(sorvel::NamedKey::kSpace) || character < 0) return -1;
    sorvel::Control control;
    if (!sorvel::ControlForKey(static_cast<sorvel::NamedKey>(named), static_cast<char32_t>(character), atC != 0,
                               control)) {
        return -1;
    }
    return static_cast<int>(control);
}

// A key of the key table (in the order of Control) went down or up at the event's time.
EMSCRIPTEN_KEEPALIVE void sorvel_key(int control, int down, double milliseconds)
{
    if (control < 0 || control >= sorvel::kControlCount) return;
    const auto key = static_cast<sorvel::Control>(control);
    if (down != 0) {
        page.animation.KeyDown(key, milliseconds);
    } else {
        page.animation.KeyUp(key, milliseconds);
    }
}

// A pointer on the canvas at (x, y) CSS pixels: kind 0 went down (primary: the mouse's
// main button, a pen, the first finger), 1 moved, 2 went up, 3 was cancelled.
EMSCRIPTEN_KEEPALIVE void sorvel_pointer(int kind, int pointer, int primary, double x, double y, double milliseconds)
{
    sorvel::PointerGestures& g = page.gestures;
    switch (kind) {
    case 0: g.Down(pointer, primary != 0, x, y, milliseconds); break;
    case 1: g.Move(pointer, x, y, milliseconds); break;
    case 2: g.Up(pointer, x, y, milliseconds); break;
    case 3: g.Cancel(pointer, milliseconds); break;
    default: break;
    }
}

// The page lost the focus or went away: every key and pointer goes up now, since their
// own ups may never reach it.
EMSCRIPTEN_KEEPALIVE void sorvel_release_all(double milliseconds)
{
    page.gestures.ReleaseAll(milliseconds);
    page.animation.Frame(milliseconds, false);
}

// One display frame at the given time: runs the steps that fell due while active and
// draws what changed (see sorvel_shown); returns how many steps ran. A sheet at rest
// costs next to nothing: its steps count, but change nothing and so are not run.
EMSCRIPTEN_KEEPALIVE int sorvel_frame(double milliseconds, int active)
{
    page.gestures.Frame(milliseconds);
    const int steps = page.animation.Frame(milliseconds, active != 0);
    page.shown[2] = page.shown[3] = 0;
    if (steps > 0 && !page.animation.Still()) {
        if (page.pixels != nullptr) page.Draw();
        // A frame that changed nothing may show a sheet come to rest: once a step
        // without keys provably changes nothing, the steps stop costing anything.
        if (page.shown[2] == 0) page.animation.Settle();
    }
    return steps;
}

// Whether frames may stop until the next key, pointer or focus event: the sheet lies
// still, and no key or gesture waits to act.
EMSCRIPTEN_KEEPALIVE int sorvel_still()
{
    return page.gestures.Resting() ? 1 : 0;
}

// Frames start again at the given time after a pause: the first one steps at once, as
// after an inactive frame.
EMSCRIPTEN_KEEPALIVE void sorvel_wake(double milliseconds) { page.animation.Frame(milliseconds, false); }

// The program's texts as UTF-8: title, About caption, menu item, version line, author
// line, OK; null past the end.
EMSCRIPTEN_KEEPALIVE const char* sorvel_text(int which)
{
    namespace t = sorvel::texts;
    static const char* const all[] = {t::kTitle, t::kAboutCaption, t::kAboutMenuItem,
                                      t::kAboutVersion, t::kAboutAuthor, t::kOk};
    constexpr int count = sizeof all / sizeof all[0];
    return which >= 0 && which < count ? all[which] : nullptr;
}

}  // extern "C"
