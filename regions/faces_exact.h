#pragma once

// Exact integer arithmetic for the noding on a dyadic grid: coordinates are integers
// below 2^62, so differences fit 64 bits, cross products 128 bits, and comparing two
// fractions of cross products needs the sign of a difference of 256-bit products.

#include <cmath>
#include <cstdint>

namespace veldra {

// The extension keeps -Wpedantic quiet: g++ has these on every 64-bit target. It takes
// a typedef, not an alias declaration.
__extension__ typedef __int128 TInt128;            // NOLINT(modernize-use-using)
__extension__ typedef unsigned __int128 TUInt128;  // NOLINT(modernize-use-using)

inline TInt128 Cross(int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    return TInt128(ax) * by - TInt128(ay) * bx;
}

inline int Sign(TInt128 v) {
    return (v > 0) - (v < 0);
}

namespace exact_detail {

struct TUInt256 {
    TUInt128 high;
    TUInt128 low;
};

inline TUInt256 Multiply(TUInt128 a, TUInt128 b) {
    const uint64_t a0 = uint64_t(a), a1 = uint64_t(a >> 64);
    const uint64_t b0 = uint64_t(b), b1 = uint64_t(b >> 64);
    const TUInt128 p00 = TUInt128(a0) * b0, p01 = TUInt128(a0) * b1;
    const TUInt128 p10 = TUInt128(a1) * b0, p11 = TUInt128(a1) * b1;
    // The middle column: the high half of p00 plus the low halves of p01 and p10.
    const TUInt128 middle = (p00 >> 64) + uint64_t(p01) + uint64_t(p10);
    return {p11 + (p01 >> 64) + (p10 >> 64) + (middle >> 64), (middle << 64) | uint64_t(p00)};
}

inline TUInt128 Magnitude(TInt128 v) {
    return v < 0 ? TUInt128(0) - TUInt128(v) : TUInt128(v);
}

}  // namespace exact_detail

// The sign of a * b - c * d, exactly, for magnitudes below 2^127.
inline int CompareProducts(TInt128 a, TInt128 b, TInt128 c, TInt128 d) {
    const int left = Sign(a) * Sign(b), right = Sign(c) * Sign(d);
    if (left != right) return left > right ? 1 : -1;
    if (left == 0) return 0;
    // Doubles decide all but near ties: each product is within a few ulps.
    const double p = double(a) * double(b), q = double(c) * double(d);
    if (std::fabs(p - q) > 1e-13 * (std::fabs(p) + std::fabs(q))) return p > q ? 1 : -1;
    using namespace exact_detail;
    const TUInt256 x = Multiply(Magnitude(a), Magnitude(b));
    const TUInt256 y = Multiply(Magnitude(c), Magnitude(d));
    int order = 0;
    if (x.high != y.high) {
        order = x.high > y.high ? 1 : -1;
    } else if (x.low != y.low) {
        order = x.low > y.low ? 1 : -1;
    }
    return left > 0 ? order : -order;
}

// A point of a segment as the fraction n / d of the way from its start (d > 0).
struct TParam {
    TInt128 n = 0;
    TInt128 d = 1;
};

inline int CompareParams(const TParam& p, const TParam& q) {
    return CompareProducts(p.n, q.d, q.n, p.d);
}

}  // namespace veldra
