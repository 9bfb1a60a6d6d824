// Fuzzing the core: a sheet, a view and a client area made from arbitrary bytes, run
// through what a tick does (lay flat, poke, step, rotate, project, build the segments),
// checking after each operation what must hold whatever the numbers are. A broken
// invariant prints its condition and traps; the sanitizers catch undefined behaviour.
//
// The input is a stream of operations: one byte picks the operation, its operands
// follow. A stream that runs short reads zeros. The scene starts from InitScene in a
// 550 x 400 client area, and every input ends with a check of the view.
//
// Build: cmake --preset native-fuzz && cmake --build --preset native-fuzz
// Run:   build/native-fuzz/bin/core_fuzz -seed=2 -max_total_time=300 DIR
// libFuzzer adds new inputs to DIR: give it a copy of tests/fuzz/corpus, not the folder.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#include "bits.h"
#include "reference_step.h"
#include "render/raster.h"
#include "sim/scene.h"
#include "view/segments.h"
#include "view/trig.h"

namespace sorvel {

#define CHECK(condition)                                                                   \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                              \
        }                                                                                  \
    } while (0)

namespace {

constexpr int kMaxOperations = 48;
// Each step runs next to the plain reference step; a few per input keep inputs fast.
constexpr int kMaxSteps = 6;
// Below this magnitude no square, length or force of one step can overflow.
constexpr double kSafeMagnitude = 1e150;
constexpr double kPi = 3.14159265358979323846;

// Reads the input front to back; past the end every read gives zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : next_(data), end_(data + size) {}

    bool AtEnd() const { return next_ == end_; }
    uint8_t Byte() { return next_ == end_ ? 0 : *next_++; }
    int8_t SignedByte() { return static_cast<int8_t>(Byte()); }
    uint64_t Word(int bytes)
    {
        uint64_t w = 0;
        for (int n = 0; n < bytes; ++n) {
            w |= static_cast<uint64_t>(Byte()) << (8 * n);
        }
        return w;
    }
    int16_t Int16() { return static_cast<int16_t>(Word(2)); }
    int32_t Int32() { return static_cast<int32_t>(Word(4)); }
    double Double()
    {
        const uint64_t bits = Word(8);
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

private:
    const uint8_t* next_;
    const uint8_t* end_;
};

double Nudge(double v, int ulps)
{
    for (int n = 0; n < ulps; ++n) {
        v = std::nextafter(v, std::numeric_limits<double>::infinity());
    }
    for (int n = 0; n > ulps; --n) {
        v = std::nextafter(v, -std::numeric_limits<double>::infinity());
    }
    return v;
}

// Doubles that sit on an edge somewhere in the core: the overflow limit of the step,
// the ends of the int range, the branch points of the sine and cosine.
const double kSpecialValues[] = {
    kSafeMagnitude,
    1e300,
    -1e300,
    2147483647.5,
    2147483648.0,
    -2147483648.5,
    -2147483649.0,
    1e9,
    0x1.921fcp+20,  // the smallest argument the sine reduces with fmod first
    6.28318530717958647693,
    0x1.921fcp-1,  // the smallest argument the sine reduces at all
    0x1p-27,  // the smallest argument whose sine is not the argument itself
    1e-300,
    1e-160,  // squares underflow
    -100.0,  // the camera's y
    0.1,
};

// How a value is made, read once and applied to one or many doubles: some kinds use the
// double's current value.
struct ValueRecipe {
    uint8_t kind;
    double value;
    int ulps;
    int exponent;
};

ValueRecipe ReadRecipe(Input& in)
{
    ValueRecipe r{static_cast<uint8_t>(in.Byte() % 16), 0.0, 0, 0};
    const double sign = in.Byte() & 1 ? -1.0 : 1.0;
    switch (r.kind) {
    case 0:
        r.value = in.Double();
        break;
    case 1:
        r.value = 0.0 * sign;
        break;
    case 2:
        r.value = std::numeric_limits<double>::infinity() * sign;
        break;
    case 3:
        r.value = std::copysign(std::numeric_limits<double>::quiet_NaN(), sign);
        break;
    case 4:
        r.value = DBL_MAX * sign;
        break;
    case 5:
        r.value = std::numeric_limits<double>::denorm_min() * sign;
        break;
    case 6:
        r.value = DBL_MIN * sign;
        break;
    case 7:
        r.value = in.SignedByte();  // a small whole number, like the grid's coordinates
        break;
    case 8:
        r.value = std::ldexp(in.SignedByte() / 16.0, in.Int16() % 1100);
        break;
    case 9:
    case 10:
        r.ulps = in.SignedByte();  // the current value, a few units in the last place off
        break;
    case 11:
        r.exponent = in.Int16() % 1100;  // the current value scaled by a power of two
        break;
    case 12:
    case 13:
        r.value = in.SignedByte();  // the current value plus a tiny offset
        r.exponent = -(in.Byte() % 64);
        break;
    case 14: {
        // Near a multiple of pi / 4, sometimes scaled to a huge whole number of turns.
        const double angle = Nudge(in.Int16() * (kPi / 4.0), in.SignedByte() % 8);
        const int scale = in.Byte();
        r.value = std::ldexp(angle, scale < 128 ? 0 : (scale - 128) * 8);
        break;
    }
    default:
        r.value = Nudge(kSpecialValues[in.Byte() % (sizeof kSpecialValues / sizeof kSpecialValues[0])],
                        in.SignedByte() % 4) *
                  sign;
        break;
    }
    return r;
}

double Apply(const ValueRecipe& r, double current)
{
    switch (r.kind) {
    case 9:
    case 10:
        return Nudge(current, r.ulps);
    case 11:
        return std::ldexp(current, r.exponent);
    case 12:
    case 13:
        return current + std::ldexp(r.value, r.exponent);
    default:
        return r.value;
    }
}

int ReadClientSize(Input& in)
{
    switch (in.Byte() % 8) {
    case 0:
        return in.Int32();
    case 1:
        return 0;
    case 2:
        return 1;
    case 3:
        return -1;
    case 4:
        return INT32_MIN;
    case 5:
        return INT32_MAX;
    case 6:
        return in.Byte() & 1 ? INT32_MIN + 1 : INT32_MAX - 1;
    default:
        return static_cast<int>(in.Word(2) % 4097);
    }
}

double& Component(Vector3& v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }

// Sets one or more components of one or more points, positions or velocities.
void EditSheet(SceneState& s, Input& in)
{
    int points[kPointCount];
    int count = 0;
    const uint8_t where = in.Byte();
    const int at = static_cast<int>(in.Word(2) % kPointCount);
    const int line = at % kGridSize;
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            const int k = PointIndex(i, j);
            bool chosen;
            switch (where % 8) {
            case 0:
                chosen = k == at;
                break;
            case 1:
                chosen = i == line;
                break;
            case 2:
                chosen = j == line;
                break;
            case 3:
                chosen = IsRim(i, j);
                break;
            case 4:
                chosen = !IsRim(i, j);
                break;
            case 5:
                chosen = true;
                break;
            case 6:
                chosen = i >= 18 && i <= 22 && j >= 18 && j <= 22;  // the poked block
                break;
            default:  // a point and its four neighbours
                chosen = std::abs(i - at / kGridSize) + std::abs(j - line) <= 1;
                break;
            }
            if (chosen) {
                points[count++] = k;
            }
        }
    }
    const uint8_t what = in.Byte();
    Vector3* field = what & 1 ? s.m_vel : s.m_pos;
    const int components = (what >> 1) & 7 ? (what >> 1) & 7 : 7;
    const ValueRecipe recipe = ReadRecipe(in);
    for (int n = 0; n < count; ++n) {
        for (int c = 0; c < 3; ++c) {
            if (components & (1 << c)) {
                double& v = Component(field[points[n]], c);
                v = Apply(recipe, v);
            }
        }
    }
}

// Puts a point on top of one of its neighbours, or a few units in the last place off.
void Coincide(SceneState& s, Input& in)
{
    const int k = static_cast<int>(in.Word(2) % kPointCount);
    const int direction = in.Byte() % 4;
    const int component = in.Byte() % 3;
    const int ulps = in.SignedByte() % 4;
    const int i = k / kGridSize + (direction == 2) - (direction == 3);
    const int j = k % kGridSize + (direction == 0) - (direction == 1);
    if (i < 0 || j < 0 || i >= kGridSize || j >= kGridSize) {
        return;
    }
    s.m_pos[k] = s.m_pos[PointIndex(i, j)];
    double& v = Component(s.m_pos[k], component);
    v = Nudge(v, ulps);
}

// Raw doubles for a run of points.
void RawBlock(SceneState& s, Input& in)
{
    const int first = static_cast<int>(in.Word(2) % kPointCount);
    const int count = 1 + in.Byte() % 64;
    Vector3* field = in.Byte() & 1 ? s.m_vel : s.m_pos;
    for (int n = 0; n < count && !in.AtEnd(); ++n) {
        Vector3& v = field[(first + n) % kPointCount];
        v.x = in.Double();
        v.y = in.Double();
        v.z = in.Double();
    }
}

bool SameOrBothNaN(double a, double b) { return Bits(a) == Bits(b) || (std::isnan(a) && std::isnan(b)); }

double UnitInLastPlace(double v)
{
    v = std::fabs(v);
    return std::nextafter(v, std::numeric_limits<double>::infinity()) - v;
}

void CheckSinCos(double x)
{
    const sorvel::SineCosine r = sorvel::SinCos(x);
    if (!std::isfinite(x)) {
        CHECK(std::isnan(r.sine) && std::isnan(r.cosine));
        return;
    }
    CHECK(std::fabs(r.sine) <= 1.0 && std::fabs(r.cosine) <= 1.0);
    CHECK(std::fabs((r.sine * r.sine + r.cosine * r.cosine) - 1.0) <= 1e-15);
    // Sine odd, cosine even, to the bit.
    const sorvel::SineCosine m = sorvel::SinCos(-x);
    CHECK(Bits(m.sine) == Bits(-r.sine) && Bits(m.cosine) == Bits(r.cosine));
    // Within a unit in the last place of the exact value, so within two of the C library's.
    if (std::fabs(x) < 1.6e6) {
        const double sine = std::sin(x);
        const double cosine = std::cos(x);
        CHECK(std::fabs(r.sine - sine) <= 2.0 * UnitInLastPlace(std::fmax(std::fabs(r.sine), std::fabs(sine))));
        CHECK(std::fabs(r.cosine - cosine) <=
              2.0 * UnitInLastPlace(std::fmax(std::fabs(r.cosine), std::fabs(cosine))));
    }
}

bool IsSafe(const Vector3& v)
{
    return std::fabs(v.x) <= kSafeMagnitude && std::fabs(v.y) <= kSafeMagnitude && std::fabs(v.z) <= kSafeMagnitude;
}

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

// One step, against the plain reference step from the same state.
void Step(SceneState& s)
{
    static SceneState before;
    static SceneState expected;
    before = s;
    expected = s;
    reference::StepSheet(expected);
    s.StepSheet();

    // The two steps may differ in the sign of a zero, and only where a velocity was -0
    // (see the fast step's comment); a velocity that is not -0 never becomes -0.
    bool negativeZeroVelocity = false;
    bool safe = true;
    for (int k = 0; k < kPointCount; ++k) {
        for (int c = 0; c < 3; ++c) {
            const double v = Component(before.m_vel[k], c);
            negativeZeroVelocity = negativeZeroVelocity || (v == 0.0 && std::signbit(v));
        }
        safe = safe && IsSafe(before.m_pos[k]) && IsSafe(before.m_vel[k]);
    }

    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j < kGridSize; ++j) {
            const int k = PointIndex(i, j);
            for (int c = 0; c < 3; ++c) {
                const double p = Component(s.m_pos[k], c);
                const double v = Component(s.m_vel[k], c);
                const double pe = Component(expected.m_pos[k], c);
                const double ve = Component(expected.m_vel[k], c);
                CHECK(SameOrBothNaN(p, pe) || (negativeZeroVelocity && p == pe));
                CHECK(SameOrBothNaN(v, ve) || (negativeZeroVelocity && v == ve));
                CHECK(negativeZeroVelocity || !(v == 0.0 && std::signbit(v)));
                if (IsRim(i, j)) {
                    // The rim: its velocities are never touched, and a rim point at rest
                    // stays where it is.
                    const double p0 = Component(before.m_pos[k], c);
                    const double v0 = Component(before.m_vel[k], c);
                    CHECK(Bits(v) == Bits(v0));
                    if (v0 == 0.0 && !std::isnan(p0)) {
                        CHECK(p == p0);
                    }
                }
            }
            if (safe) {
                CHECK(IsFinite(s.m_pos[k]) && IsFinite(s.m_vel[k]));
            }
        }
    }
}

bool IsPixel(double v) { return v == std::trunc(v) && v >= INT32_MIN && v <= INT32_MAX; }

void CheckRotation(const SceneState& s)
{
    if (!std::isfinite(s.m_angleX) || !std::isfinite(s.m_angleY) || !std::isfinite(s.m_angleZ)) {
        return;
    }
    const double(*m)[3] = s.m_rot;
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            const double dot = (m[a][0] * m[b][0] + m[a][1] * m[b][1]) + m[a][2] * m[b][2];
            CHECK(std::fabs(dot - (a == b ? 1.0 : 0.0)) <= 1e-14);
        }
    }
    const double determinant = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                               m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    CHECK(std::fabs(determinant - 1.0) <= 1e-14);  // a turn, never a mirror
}

// What the renderer does with the scene, and what it may rely on.
// The rasters of CheckView: one kept from frame to frame, one drawn whole each time,
// both with a guard band around them.
constexpr int kW = 61, kH = 47, kGuard = 2, kStride = kW + 2 * kGuard;
constexpr uint32_t kUntouched = 0x12345678u;
uint32_t keptCanvas[kStride * (kH + 2 * kGuard)];
uint32_t fullCanvas[kStride * (kH + 2 * kGuard)];
FrameChanges frameChanges;

// Every input starts with a raster that holds nothing known.
void NewFrames()
{
    std::fill(std::begin(keptCanvas), std::end(keptCanvas), kUntouched);
    std::fill(std::begin(fullCanvas), std::end(fullCanvas), kUntouched);
    frameChanges.RasterReplaced();
}

void CheckView(SceneState& s)
{
    CheckSinCos(s.m_angleX);
    CheckSinCos(s.m_angleY);
    CheckSinCos(s.m_angleZ);
    s.BuildRotation();
    CheckRotation(s);

    static Vector3 projected[kPointCount];
    for (int k = 0; k < kPointCount; ++k) {
        Vector3 rotated;
        s.RotatePoint(s.m_pos[k], rotated);
        s.ProjectPoint(rotated, projected[k]);
        CHECK(IsPixel(projected[k].x) && IsPixel(projected[k].y));
    }

    // Filled with a pattern first, so an entry left unwritten shows.
    static sorvel::SegmentList list;
    std::memset(&list, 0xa5, sizeof list);
    sorvel::BuildSegmentList(projected, list);
    int n = 0;
    auto expect = [&](int a, int b) {
        const sorvel::Segment& seg = list.segments[n];
        CHECK(seg.from.x == static_cast<int32_t>(projected[a].x) && seg.from.y == static_cast<int32_t>(projected[a].y));
        CHECK(seg.to.x == static_cast<int32_t>(projected[b].x) && seg.to.y == static_cast<int32_t>(projected[b].y));
        unsigned char drawable;
        std::memcpy(&drawable, &list.drawable[n], 1);
        CHECK(drawable == (projected[a].z > 0.0 && projected[b].z > 0.0 ? 1 : 0));
        ++n;
    };
    for (int i = 0; i < kGridSize; ++i) {
        for (int j = 0; j + 1 < kGridSize; ++j) {
            expect(PointIndex(i, j), PointIndex(i, j + 1));
        }
    }
    for (int j = 0; j < kGridSize; ++j) {
        for (int i = 0; i + 1 < kGridSize; ++i) {
            expect(PointIndex(i, j), PointIndex(i + 1, j));
        }
    }

    // Frames one after another into a raster that keeps the last one, through
    // FrameChanges: each must equal a full clear and draw, ink nothing outside its box,
    // and write nothing beside the raster, whatever the coordinates.
    const Raster kept{keptCanvas + kGuard * kStride + kGuard, kW, kH, kStride};
    const Raster full{fullCanvas + kGuard * kStride + kGuard, kW, kH, kStride};
    DrawChangedSegments(kept, list, frameChanges);
    DrawSegments(full, list);
    const PixelBox box = InkBox(list, kW, kH);
    for (int y = -kGuard; y < kH + kGuard; ++y) {
        for (int x = -kGuard; x < kW + kGuard; ++x) {
            const int at = (y + kGuard) * kStride + x + kGuard;
            const bool inside = x >= 0 && y >= 0 && x < kW && y < kH;
            CHECK(keptCanvas[at] == fullCanvas[at]);
            CHECK(inside || fullCanvas[at] == kUntouched);
            CHECK(fullCanvas[at] != kInk || (x >= box.left && x < box.right && y >= box.top && y < box.bottom));
        }
    }
}

}  // namespace

int RunOneInput(const uint8_t* data, size_t size)
{
    static SceneState s;
    s.InitScene();
    NewFrames();
    s.m_cxClient = 550;
    s.m_cyClient = 400;

    Input in(data, size);
    int steps = 0;
    for (int op = 0; op < kMaxOperations && !in.AtEnd(); ++op) {
        switch (in.Byte() % 12) {
        case 0:
            EditSheet(s, in);
            break;
        case 1:
            Coincide(s, in);
            break;
        case 2:
            RawBlock(s, in);
            break;
        case 3: {
            const uint8_t which = in.Byte() % 3;
            double& angle = which == 0 ? s.m_angleX : which == 1 ? s.m_angleY : s.m_angleZ;
            angle = Apply(ReadRecipe(in), angle);
            break;
        }
        case 4:
            (in.Byte() & 1 ? s.m_cyClient : s.m_cxClient) = ReadClientSize(in);
            break;
        case 5: {
            double& v = Component(s.m_camera, in.Byte() % 3);
            v = Apply(ReadRecipe(in), v);
            break;
        }
        case 6:
            s.InitScene();
            break;
        case 7:
            s.ResetSheet();
            break;
        case 8:
            s.PokeSheet();
            break;
        case 9:
            if (steps < kMaxSteps) {
                Step(s);
                ++steps;
            }
            break;
        case 10:
            CheckView(s);
            break;
        default:
            CheckSinCos(Apply(ReadRecipe(in), 0.0));
            break;
        }
    }
    CheckView(s);
    return 0;
}

}  // namespace sorvel

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return sorvel::RunOneInput(data, size);
}
