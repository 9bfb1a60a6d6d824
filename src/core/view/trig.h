// Sine and cosine computed with plain IEEE double arithmetic only.
//
// The C library's sin and cos differ in the last bit between platforms (and compilers
// fold constant arguments with yet another implementation), so the view would not be
// bit-identical everywhere. These give the same bits on every compiler and target that
// keeps to IEEE double arithmetic without contraction, with an error below one unit
// in the last place for |x| below about 1.6e6. Beyond that the argument is reduced
// exactly modulo the double nearest to 2 pi first, which stays deterministic.
#pragma once

namespace sorvel {

struct SineCosine {
    double sine;
    double cosine;
};

SineCosine SinCos(double x);

}  // namespace sorvel
