// Writes the line renderer's frame as a binary PGM (0 black, 255 white) to standard
// output: the reference that the editions' screens are compared with.
//
//   frame_reference WIDTH HEIGHT [PIXELS_PER_UNIT [STEP...]]
//
// The scene starts as the programs start it. Each STEP runs one step with the keys it
// names held (L, R, U, D, C, S for Left, Right, Up, Down, C, Space; "-" for none).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "render/raster.h"
#include "sim/controls.h"

int main(int argc, char** argv)
{
    using namespace sorvel;
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT [PIXELS_PER_UNIT [STEP...]]\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    if (width <= 0 || height <= 0 || width > kMaxRasterSide || height > kMaxRasterSide) {
        std::fprintf(stderr, "size out of range\n");
        return 2;
    }
    auto scene = std::make_unique<SceneState>();
    scene->InitScene();
    scene->m_cxClient = width;
    scene->m_cyClient = height;
    if (argc > 3) scene->m_pixelsPerUnit = std::atof(argv[3]);
    for (int a = 4; a < argc; ++a) {
        const char letters[] = "LRUDCS";
        for (int c = 0; c < kControlCount; ++c) {
            if (std::strchr(argv[a], letters[c]) != nullptr) ApplyControl(*scene, kControlOrder[c]);
        }
        scene->BuildRotation();
        scene->StepSheet();
    }
    scene->BuildRotation();

    auto list = std::make_unique<SegmentList>();
    BuildFrameSegments(*scene, *list);
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    DrawSegments(Raster{pixels.data(), width, height, width}, *list);

    std::vector<unsigned char> grey(pixels.size());
    for (std::size_t n = 0; n < pixels.size(); ++n) grey[n] = pixels[n] == kInk ? 0 : 255;
    std::printf("P5\n%d %d\n255\n", width, height);
    std::fwrite(grey.data(), 1, grey.size(), stdout);
    return 0;
}
