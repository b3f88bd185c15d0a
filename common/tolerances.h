#pragma once

// Tolerances shared by the geometry of the whole program.
namespace veldra {

// Two end points closer than this in x and in y are the same point (loops, equality).
inline constexpr double kPointTolerance = 1e-8;
// A vector shorter than this in both components has no direction.
inline constexpr double kNullVector = 1e-10;
// Extents and view sizes below this are widened before dividing.
inline constexpr double kDegenerateSize = 1e-10;
inline constexpr double kTiny = 1e-12;

inline constexpr double kPi = 3.14159265358979324;
inline constexpr double kTwoPi = 6.283185307179586;

}  // namespace veldra
