#include "common/my_func.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "common/tolerances.h"

namespace veldra {
namespace {

std::string_view SkipLeadingBlanks(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

}  // namespace

int32_t ParseIntOrZero(std::string_view s) {
    s = SkipLeadingBlanks(s);
    if (s.empty()) return 0;
    bool negative = false;
    if (s[0] == '+' || s[0] == '-') {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty()) return 0;
    // Parse the magnitude wide, then check the signed 32-bit range. A hexadecimal
    // literal may use the full 32 bits (as "$FFFFFFFF" = -1 does in the original format).
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude, base);
    if (ec != std::errc() || end != s.data() + s.size()) return 0;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFull) return 0;
        auto bits = static_cast<uint32_t>(magnitude);
        int64_t value = static_cast<int32_t>(bits);
        if (negative) value = -value;
        if (value < std::numeric_limits<int32_t>::min() ||
            value > std::numeric_limits<int32_t>::max())
            return 0;
        return static_cast<int32_t>(value);
    }
    if (negative) {
        if (magnitude > 0x80000000ull) return 0;
        return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
    }
    if (magnitude > 0x7FFFFFFFull) return 0;
    return static_cast<int32_t>(magnitude);
}

namespace {

// The eight digit bytes of `digits` (first digit in the lowest byte, '0' already
// subtracted) as a number, in three multiplications instead of eight.
[[gnu::always_inline]] inline uint64_t EightDigits(uint64_t digits) {
    digits = digits * 10 + (digits >> 8);
    return ((digits & 0x000000FF000000FF) * (100 + (1000000ull << 32)) +
            ((digits >> 16) & 0x000000FF000000FF) * (1 + (10000ull << 32))) >>
           32;
}

// The run of decimal digits at p (p moves past it): its length, its digits appended to
// `value` (which wraps beyond 19 digits; callers refuse numbers that long). Eight bytes
// are looked at once wherever the text from `begin` to `end` holds eight bytes there.
[[gnu::always_inline]] inline std::ptrdiff_t DigitRun(const char*& p, const char* begin,
                                                      const char* end, uint64_t& value) {
    static constexpr uint64_t kTens[] = {1,      10,      100,      1000,     10000,
                                         100000, 1000000, 10000000, 100000000};
    const char* const first = p;
    if constexpr (std::endian::native == std::endian::little) {
        while (end - begin >= 8 && p != end) {
            const auto left = static_cast<size_t>(end - p);
            uint64_t bytes = 0;
            if (left >= 8) {
                std::memcpy(&bytes, p, 8);
            } else {
                // The last eight bytes, shifted so that those before p fall out; the
                // zeros shifted in stand after the end and are no digits.
                std::memcpy(&bytes, end - 8, 8);
                bytes >>= 8 * (8 - left);
            }
            // A digit becomes 0..9; any other byte has a high nibble or a low nibble
            // above 9 (which adding 6 carries into the high nibble). Only the first
            // flagged byte is sure, which is all that is needed.
            const uint64_t x = bytes ^ 0x3030303030303030;
            const uint64_t nonDigits = (x | (x + 0x0606060606060606)) & 0xF0F0F0F0F0F0F0F0;
            const int n = nonDigits == 0 ? 8 : std::countr_zero(nonDigits) / 8;
            if (n == 0) break;
            // The n digits moved to the top, so that zeros lead them.
            value = value * kTens[n] + EightDigits(n == 8 ? x : x << (8 * (8 - n)));
            p += n;
            if (n < 8) return p - first;
        }
    }
    for (unsigned d = 0; p != end && (d = static_cast<unsigned>(*p - '0')) < 10; ++p)
        value = value * 10 + d;
    return p - first;
}

// Decimals of at most 15 significant digits with a power of ten of at most 22 either
// way (nearly every number of an exchange file, "%.6e" forms included): the digits as
// an integer and the power of ten are both exact in a double, so one multiplication or
// division gives the correctly rounded value, the same as from_chars. False for
// anything else, which then takes the general way.
bool ParseShortDecimal(std::string_view s, double& value) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxPower = 22;
    const char* p = s.data();
    const char* const end = p + s.size();
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    // Leading zeros count as digits here: such a number merely takes the general way.
    uint64_t mantissa = 0;
    std::ptrdiff_t digits = DigitRun(p, s.data(), end, mantissa), decimals = 0;
    if (p != end && *p == '.') {
        ++p;
        decimals = DigitRun(p, s.data(), end, mantissa);
        digits += decimals;
    }
    // Beyond 15 digits the mantissa may not be exact (or may have wrapped): general way.
    if (digits == 0 || digits > 15) return false;
    std::ptrdiff_t power = -decimals;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negativePower = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+')) ++p;
        const char* const powerDigits = p;
        std::ptrdiff_t written = 0;
        // Three digits are more than any power this way takes; longer ones go the general way.
        for (; p != end && static_cast<unsigned>(*p - '0') < 10 && p - powerDigits < 3; ++p)
            written = written * 10 + (*p - '0');
        if (p == powerDigits) return false;
        power += negativePower ? -written : written;
    }
    if (p != end || power < -kMaxPower || power > kMaxPower) return false;
    const auto exact = static_cast<double>(mantissa);
    const double magnitude = power < 0 ? exact / kPowersOfTen[-power] : exact * kPowersOfTen[power];
    value = negative ? -magnitude : magnitude;
    return true;
}

}  // namespace

double ParseRealOrZero(std::string_view s) {
    s = SkipLeadingBlanks(s);
    if (s.empty()) return 0.0;
    if (double fast = 0.0; ParseShortDecimal(s, fast)) return fast;
    // Accept exactly: [sign] digits [. digits] [(e|E) [sign] digits], with at least one digit.
    size_t i = 0;
    if (s[i] == '+' || s[i] == '-') ++i;
    size_t digits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return 0.0;
    }
    if (i != s.size()) return 0.0;
    std::string_view number = s;
    if (number[0] == '+') number.remove_prefix(1);
    double value = 0.0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Overflow gives 0 like any other unreadable number; underflow is a tiny 0.
        return 0.0;
    }
    if (ec != std::errc() || end != number.data() + number.size()) return 0.0;
    return value;
}

std::string FormatFixed(int32_t digits, double value) {
    if (digits < 0) digits = 0;
    if (digits > 99) digits = 99;  // the format "%.NNf" stays within 10 characters
    char buffer[512];
    int n = std::snprintf(buffer, sizeof buffer, "%.*f", static_cast<int>(digits), value);
    if (n < 0) return {};
    if (static_cast<size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), "%.*f", static_cast<int>(digits), value);
    big.resize(static_cast<size_t>(n));
    return big;
}

std::string StripBlanks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        if (IsLeadByte(b)) {
            if (i + 1 >= s.size()) {
                out.push_back(s[i]);
                break;
            }
            auto trail = static_cast<unsigned char>(s[i + 1]);
            if (!(b == 0x81 && trail == 0x40)) {
                out.push_back(s[i]);
                out.push_back(s[i + 1]);
            }
            ++i;
        } else if (b > 0x20) {
            out.push_back(s[i]);
        }
    }
    return out;
}

void SwapReals(double& a, double& b) {
    double t = a;
    a = b;
    b = t;
}

int64_t RoundHalfAway(double x) {
    constexpr double kLimit = 9.0e18;
    if (std::isnan(x)) return 0;
    if (x >= kLimit) return static_cast<int64_t>(kLimit);
    if (x <= -kLimit) return -static_cast<int64_t>(kLimit);
    // The rule is the truncation of x + 0.5 (x - 0.5), exactly as the host computes it,
    // not std::round: pixels must land where the host's own drawing puts them.
    return x >= 0 ? static_cast<int64_t>(x + 0.5)   // NOLINT(bugprone-incorrect-roundings)
                  : static_cast<int64_t>(x - 0.5);  // NOLINT(bugprone-incorrect-roundings)
}

double Distance2D(double x1, double y1, double x2, double y2) {
    return std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
}

double AngleOfVector(double dx, double dy) {
    if (std::fabs(dx) < kNullVector && std::fabs(dy) < kNullVector) return 0.0;
    double a = std::atan2(dy, dx);
    if (a < 0) a += kTwoPi;
    return a;
}

double NormalizeDegrees(double a) {
    if (!std::isfinite(a)) return 0.0;
    // The plain loops take forever on huge angles; fmod gives the same result for
    // every angle the loops finish on in reasonable time.
    if (std::fabs(a) > 1e6) a = std::fmod(a, 360.0);
    while (a < 0) a += 360.0;
    while (a >= 360.0) a -= 360.0;
    return a;
}

void RotatePoint(double& outX, double& outY, double x, double y, double cx, double cy,
                 double angle) {
    outX = RotatedX(x, y, cx, cy, angle);
    outY = RotatedY(x, y, cx, cy, angle);
}

double RotatedX(double x, double y, double cx, double cy, double angle) {
    return cx + std::cos(angle) * (x - cx) - std::sin(angle) * (y - cy);
}

double RotatedY(double x, double y, double cx, double cy, double angle) {
    return cy + std::sin(angle) * (x - cx) + std::cos(angle) * (y - cy);
}

void EllipsePoint(double& outX, double& outY, double cx, double cy, double r, double flatness,
                  double tilt, double t) {
    double u = r * std::cos(t);
    double v = r * flatness * std::sin(t);
    double x = 0, y = 0;
    RotatePoint(x, y, u, v, 0.0, 0.0, tilt);
    outX = x + cx;
    outY = y + cy;
}

void EllipsePointDeg(double& outX, double& outY, double cx, double cy, double r, double flatness,
                     double tiltDeg, double tDeg) {
    EllipsePoint(outX, outY, cx, cy, r, flatness, tiltDeg * kPi / 180.0, tDeg * kPi / 180.0);
}

bool PointsEqual(double x1, double y1, double x2, double y2) {
    return std::fabs(x2 - x1) <= kPointTolerance && std::fabs(y2 - y1) <= kPointTolerance;
}

namespace {

// Snap a difference to the 1e-8 grid; a zero result means "zero".
double SnapToGrid(double v) {
    double scaled = v / kPointTolerance + 0.5;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18) return v;  // far from zero anyway
    return static_cast<double>(static_cast<int64_t>(scaled)) * kPointTolerance;
}

bool WithinBox(double x, double y, double ax, double ay, double bx, double by) {
    return std::fmin(ax, bx) - kPointTolerance <= x && x <= std::fmax(ax, bx) + kPointTolerance &&
           std::fmin(ay, by) - kPointTolerance <= y && y <= std::fmax(ay, by) + kPointTolerance;
}

}  // namespace

int32_t SegmentIntersection(double& outX, double& outY, double x1, double y1, double x2, double y2,
                            double x3, double y3, double x4, double y4) {
    double dA = SnapToGrid(x1 - x2);
    double dB = SnapToGrid(x3 - x4);
    double x = 0, y = 0;
    if (dA == 0 && dB == 0) return 0;
    if (dA == 0) {
        double mB = (y4 - y3) / (x4 - x3);
        x = x1;
        y = (x1 - x3) * mB + y3;
    } else if (dB == 0) {
        double mA = (y2 - y1) / (x2 - x1);
        x = x3;
        y = (x3 - x1) * mA + y1;
    } else {
        double mA = (y2 - y1) / (x2 - x1);
        double bA = y1 - mA * x1;
        double mB = (y4 - y3) / (x4 - x3);
        double bB = y3 - mB * x3;
        if (SnapToGrid(mA - mB) == 0) return 0;
        x = (bB - bA) / (mA - mB);
        y = mA * x + bA;
    }
    outX = x;
    outY = y;
    return WithinBox(x, y, x1, y1, x2, y2) && WithinBox(x, y, x3, y3, x4, y4) ? 1 : 2;
}

}  // namespace veldra
