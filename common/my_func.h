#pragma once

// Small shared helpers: tolerant number parsing, formatting, Shift-JIS blank
// stripping, rounding, angles, ellipse points and segment intersection.
// Texts are Shift-JIS (code page 932) byte strings.

#include <cstdint>
#include <string>
#include <string_view>

namespace veldra {

// True for a Shift-JIS lead byte (0x80..0x9F, 0xE0..0xFD); the next byte is its trail byte.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD);
}

// Whole text as a signed 32-bit integer ("$" + hex allowed); anything else gives 0.
int32_t ParseIntOrZero(std::string_view s);
// Whole text as a real with "." as the decimal point; anything else gives 0.0.
double ParseRealOrZero(std::string_view s);
// Fixed-point text with `digits` decimals, like printf("%.Nf").
std::string FormatFixed(int32_t digits, double value);
// The text without half-width blanks, full-width blanks (0x81 0x40) and control bytes.
std::string StripBlanks(std::string_view s);

void SwapReals(double& a, double& b);
// Round half away from zero. Out-of-range values saturate instead of overflowing.
int64_t RoundHalfAway(double x);
double Distance2D(double x1, double y1, double x2, double y2);
// Direction of (dx, dy) in [0, 2*pi); 0 for a null vector.
double AngleOfVector(double dx, double dy);
// Degrees brought into [0, 360).
double NormalizeDegrees(double a);

void RotatePoint(double& outX, double& outY, double x, double y, double cx, double cy,
                 double angle);
double RotatedX(double x, double y, double cx, double cy, double angle);
double RotatedY(double x, double y, double cx, double cy, double angle);
void EllipsePoint(double& outX, double& outY, double cx, double cy, double r, double flatness,
                  double tilt, double t);
void EllipsePointDeg(double& outX, double& outY, double cx, double cy, double r, double flatness,
                     double tiltDeg, double tDeg);
// Equal within 1e-8 in both coordinates.
bool PointsEqual(double x1, double y1, double x2, double y2);
// Intersection of the lines through two segments: 0 parallel (out values untouched),
// 1 inside both segments' boxes (widened by 1e-8), 2 outside.
int32_t SegmentIntersection(double& outX, double& outY, double x1, double y1, double x2, double y2,
                            double x3, double y3, double x4, double y4);

}  // namespace veldra
