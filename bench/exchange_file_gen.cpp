#include "bench/exchange_file_gen.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <random>

namespace veldra::bench {
namespace {

class TWriter {
  public:
    explicit TWriter(std::string& out) : out_(out) {}

    // printf's form, so the compiler checks every format against its values. A line
    // longer than the buffer is cut, never read past its end.
    __attribute__((format(printf, 2, 3))) void Line(const char* format, ...) {
        char buffer[256];
        va_list values;
        va_start(values, format);
        const int n = std::vsnprintf(buffer, sizeof buffer, format, values);
        va_end(values);
        if (n > 0) out_.append(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1));
        out_ += "\r\n";
    }
    // A coordinate as the host writes them: mostly a few decimals, now and then whole
    // or with an exponent.
    const char* Number(double v) {
        const int kind = static_cast<int>(random_() % 16);
        char* slot = numbers_[next_++ % 8];
        if (kind == 0) {
            std::snprintf(slot, 32, "%d", static_cast<int>(v));
        } else if (kind == 1) {
            std::snprintf(slot, 32, "%.6e", v);
        } else {
            std::snprintf(slot, 32, "%.5f", v);
        }
        return slot;
    }
    double Coordinate() { return std::uniform_real_distribution<double>(-9000.0, 9000.0)(random_); }
    double Angle() { return std::uniform_real_distribution<double>(0.0, 360.0)(random_); }
    uint64_t Next() { return random_(); }

  private:
    std::string& out_;
    std::mt19937_64 random_{2024};
    char numbers_[8][32] = {};
    int next_ = 0;
};

void Header(TWriter& w) {
    w.Line("hq");
    w.Line("file=C:\\jww\\\x90\x7d\x96\xca\\plan 1.jww");
    w.Line("hk 0");
    w.Line("hs 100 100 50 50 1 1 1 1 1 1 1 1 1 1 1e+06 1");
    w.Line("hzs 841 594");
    w.Line("hcw 2 2.5 3 4 5 6 7 8 9 10");
    w.Line("hch 2 2.5 3 4 5 6 7 8 9 10");
    w.Line("hcd 0 0 0.5 0.5 0.5 0.5 1 1 1 1");
    w.Line("hcc      1      1      2      2      3      3      4      4      5      5");
    w.Line("hn 0 0 0 0");
    for (int g = 0; g < 16; ++g) w.Line("lg%X 2", g);
    w.Line("lgn\x88\xea\x8a\x4b");
    w.Line("hp1 0 0");
    w.Line("hp2- 100 0");
}

void Attributes(TWriter& w, uint64_t r) {
    w.Line("lg%X", static_cast<int>(r % 4));
    w.Line("ly%X", static_cast<int>((r >> 4) % 16));
    w.Line("lc%d", static_cast<int>(1 + (r >> 8) % 9));
    w.Line("lt%d", static_cast<int>(1 + (r >> 12) % 9));
    w.Line("lw%d", static_cast<int>((r >> 16) % 4));
    if ((r >> 20) % 4 == 0) w.Line("cn%d", static_cast<int>(1 + (r >> 22) % 10));
    if ((r >> 26) % 8 == 0) w.Line("cn\"$<\x82\x6c\x82\x72 \x96\xbe\x92\xa9>");
}

}  // namespace

std::string GenerateExchangeFile(int64_t entities) {
    std::string out;
    out.reserve(static_cast<size_t>(entities) * 56);
    TWriter w(out);
    Header(w);
    for (int64_t i = 0; i < entities; ++i) {
        const uint64_t r = w.Next();
        if (i % 40 == 0) Attributes(w, r);
        const int pick = static_cast<int>(r % 100);
        const double x = w.Coordinate(), y = w.Coordinate();
        if (pick < 50) {
            if (r % 97 == 0) w.Line("z3");
            w.Line("%s %s %s %s", w.Number(x), w.Number(y), w.Number(x + 120.5),
                   w.Number(y - 33.25));
        } else if (pick < 54) {
            // A polyline of a few bare lines.
            w.Line("pl");
            w.Line("%s %s %s %s", w.Number(x), w.Number(y), w.Number(x + 10), w.Number(y));
            ++i;
            w.Line("%s %s %s %s", w.Number(x + 10), w.Number(y), w.Number(x + 10),
                   w.Number(y + 10));
            w.Line("#");
        } else if (pick < 62) {
            w.Line("ci %s %s %s", w.Number(x), w.Number(y), w.Number(50.0 + pick));
        } else if (pick < 70) {
            w.Line("ci %s %s %s %s %s 1 0", w.Number(x), w.Number(y), w.Number(80.0),
                   w.Number(w.Angle()), w.Number(w.Angle()));
        } else if (pick < 80) {
            // Texts in Shift-JIS, some with blanks after the quote.
            w.Line("ch %s %s 1 0 \"\x95\x94\x89\xae %d \x8e\xba\x93\xe0", w.Number(x), w.Number(y),
                   static_cast<int>(r % 1000));
        } else if (pick < 84) {
            w.Line("pt %s %s", w.Number(x), w.Number(y));
        } else if (pick < 89) {
            w.Line("lc10 $%06X", static_cast<unsigned>(r & 0xFFFFFF));
            w.Line("sl %s %s %s %s %s %s %s %s", w.Number(x), w.Number(y), w.Number(x + 5),
                   w.Number(y), w.Number(x + 5), w.Number(y + 5), w.Number(x), w.Number(y + 5));
        } else if (pick < 92) {
            w.Line("sc %s %s 25 1 0 0 3.14159 100", w.Number(x), w.Number(y));
        } else if (pick < 94) {
            w.Line("so %s %s 25 1 0 0 6.28318 10", w.Number(x), w.Number(y));
        } else if (pick < 96) {
            w.Line("BL %s %s \"\x95\x94\x95\x69%d", w.Number(x), w.Number(y),
                   static_cast<int>(r % 50));
        } else if (pick < 98) {
            w.Line("msg");
            w.Line("%s %s %s %s", w.Number(x), w.Number(y), w.Number(x + 900), w.Number(y));
            w.Line("cs %s %s 1 0 \"900", w.Number(x + 450), w.Number(y + 5));
        } else {
            w.Line("pt %s %s 0 0 %d", w.Number(x), w.Number(y), static_cast<int>(r % 7));
        }
    }
    return out;
}

}  // namespace veldra::bench
