// The web page's side in WebAssembly: the scene, driven by the shell's keys and pace,
// drawn by the core's renderer into a pixel buffer that the page puts on its canvas as
// it stands. The page's script calls these functions; nothing here knows the browser.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/raster.h"
#include "run/animation.h"
#include "run/keys.h"
#include "run/texts.h"

namespace {

struct Page {
    sorvel::SceneState scene;
    sorvel::Animation animation{scene};
    sorvel::SegmentList segments;
    std::vector<uint32_t> pixels;

    void Draw()
    {
        if (pixels.empty()) return;
        sorvel::BuildFrameSegments(scene, segments);
        sorvel::DrawSegments(sorvel::Raster{pixels.data(), scene.m_cxClient, scene.m_cyClient, scene.m_cxClient},
                             segments);
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

// A canvas of width x height device pixels at the given device-pixel ratio: the
// projection's factor grows with the ratio, so the sheet keeps its proportion to the
// window. Draws the current scene at once (a resized canvas is blank) and returns the
// pixels, or null for a size out of range. The buffer may move the memory: the page
// takes new views of it after every call.
EMSCRIPTEN_KEEPALIVE uint32_t* sorvel_resize(int width, int height, double ratio)
{
    if (width <= 0 || height <= 0 || width > sorvel::kMaxRasterSide || height > sorvel::kMaxRasterSide) return nullptr;
    sorvel::SceneState& scene = page.scene;
    scene.m_cxClient = width;
    scene.m_cyClient = height;
    scene.m_pixelsPerUnit = sorvel::kBasePixelsPerUnit * (std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0);
    page.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), sorvel::kPaper);
    page.Draw();
    return page.pixels.data();
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

// One display frame at the given time: runs the steps that fell due while active and
// draws the result; returns how many steps ran (0: the pixels did not change).
EMSCRIPTEN_KEEPALIVE int sorvel_frame(double milliseconds, int active)
{
    const int steps = page.animation.Frame(milliseconds, active != 0);
    if (steps > 0) page.Draw();
    return steps;
}

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
