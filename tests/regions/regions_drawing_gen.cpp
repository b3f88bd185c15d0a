#include "tests/regions/regions_drawing_gen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "common/my_func.h"

namespace veldra::test {

namespace {

class TGenerator {
  public:
    TGenerator(uint64_t seed, TRandomDrawing& d) : random_(seed), d_(d) {}

    void Run(const TDrawingSize& size) {
        TJwwDrawingState& state = d_.store.state;
        d_.divisions = Pick<int32_t>({3, 4, 5, 8, 24, 24, 0, 100});
        state.bzFlag = Chance(5);
        for (double& s : state.groupScale) s = Pick<double>({1, 1, 1, 0.5, 3, 100, 0, 1e-3, 0.1});
        d_.filter.showAuxiliary = !Chance(4);
        if (Chance(3)) {
            for (int i = Int(1, 3); i > 0; --i) {
                // The state is drawn before the layer, as the assignment's order has it.
                const int32_t layerState = Chance(3) ? 2 : 3;
                const int layer = Int(0, 3) * 16 + Int(0, 2);
                d_.filter.layerState[static_cast<size_t>(layer)] = layerState;
            }
        }
        magnitude_ = Chance(3) ? Pick<double>({1e-9, 1e-5, 1e6, 1e12, 1e300, 1e-300}) : 1.0;
        for (int shapes = Int(size.minShapes, size.maxShapes); shapes > 0; --shapes) {
            switch (Int(0, 9)) {
                case 0:
                case 1:
                    Grid();
                    break;
                case 2:
                case 3:
                    Polygon();
                    break;
                case 4:
                    Dangling();
                    break;
                case 5:
                    Duplicate();
                    break;
                case 6:
                case 7:
                    ArcShape();
                    break;
                case 8:
                    Round();
                    break;
                default:
                    Line({Lattice(), Lattice()}, {Lattice(), Lattice()});
                    break;
            }
        }
        std::shuffle(d_.store.lines.begin(), d_.store.lines.end(), random_);
        std::shuffle(d_.store.arcs.begin(), d_.store.arcs.end(), random_);
    }

  private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Chance(int oneIn) { return Int(1, oneIn) == 1; }
    template <class T>
    T Pick(std::initializer_list<T> values) {
        return *(values.begin() + Int(0, static_cast<int>(values.size()) - 1));
    }
    double Lattice() { return Int(0, 6); }

    TJwwEntHead Head() {
        TJwwEntHead head;
        head.layerGroup = Chance(2) ? 0 : Int(1, 3);
        head.layer = Int(0, 2);
        head.color = Chance(10) ? 9 : 1;
        head.lineType = Chance(10) ? 9 : 1;
        head.zFlags = Chance(20) ? kZFlagHidden : 0;
        return head;
    }

    // A paper coordinate stored for an entity of `head`: scaled up by its divisor, and
    // sometimes nudged around the 1e-8 tolerance or made non-finite.
    double Stored(double paper, const TJwwEntHead& head) {
        double s = EntityDivisor(d_.store.state, head.layerGroup);
        double v = paper * magnitude_ * s;
        if (Chance(12)) {
            v += Pick<double>({0.5e-8, -0.99e-8, 1e-8, -1e-8, 1.01e-8, -2e-8, 1e-7}) * s;
        }
        if (Chance(150)) v = Pick<double>({NAN, INFINITY, -INFINITY, 1.7e308});
        return v;
    }

    void Line(TRealPoint a, TRealPoint b) {
        TJwwEntLine line;
        line.head = Head();
        if (Chance(2)) std::swap(a, b);
        line.x1 = Stored(a.X, line.head);
        line.y1 = Stored(a.Y, line.head);
        line.x2 = Stored(b.X, line.head);
        line.y2 = Stored(b.Y, line.head);
        d_.store.lines.push_back(line);
        ends_.push_back(a);
        ends_.push_back(b);
    }

    void Grid() {
        int w = Int(1, 3), h = Int(1, 3);
        double side = Pick<double>({1, 2.5, 0.1});
        double x0 = Lattice(), y0 = Lattice();
        auto edge = [&](double xa, double ya, double xb, double yb) {
            TRealPoint a{x0 + xa * side, y0 + ya * side}, b{x0 + xb * side, y0 + yb * side};
            if (Chance(4)) {
                TRealPoint m{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
                Line(a, m);
                Line(m, b);
            } else {
                Line(a, b);
            }
        };
        for (int y = 0; y <= h; ++y) {
            for (int x = 0; x < w; ++x) edge(x, y, x + 1, y);
        }
        for (int x = 0; x <= w; ++x) {
            for (int y = 0; y < h; ++y) edge(x, y, x, y + 1);
        }
    }

    void Polygon() {
        std::vector<TRealPoint> corners;
        for (int i = Int(3, 6); i > 0; --i) corners.push_back({Lattice(), Lattice()});
        size_t skip = Chance(5) ? static_cast<size_t>(Int(0, 2)) : corners.size();
        for (size_t i = 0; i < corners.size(); ++i) {
            if (i != skip) Line(corners[i], corners[(i + 1) % corners.size()]);
        }
    }

    TRealPoint SomeEnd() {
        if (ends_.empty()) return {Lattice(), Lattice()};
        return ends_[static_cast<size_t>(Int(0, static_cast<int>(ends_.size()) - 1))];
    }

    void Dangling() { Line(SomeEnd(), {Lattice() + 0.5, Lattice()}); }

    void Duplicate() {
        if (d_.store.lines.empty()) return Dangling();
        TJwwEntLine copy =
            d_.store
                .lines[static_cast<size_t>(Int(0, static_cast<int>(d_.store.lines.size()) - 1))];
        if (Chance(2)) {
            std::swap(copy.x1, copy.x2);
            std::swap(copy.y1, copy.y2);
        }
        if (Chance(3)) copy.head = Head();
        d_.store.lines.push_back(copy);
    }

    TJwwEntArc& Arc(double start, double end, const TJwwEntArc* like) {
        TJwwEntArc arc;
        if (like != nullptr) {
            arc = *like;
        } else {
            arc.head = Head();
            arc.cx = Stored(Lattice(), arc.head);
            arc.cy = Stored(Lattice(), arc.head);
            arc.radius = Stored(Pick<double>({1, 2, 3.5}), arc.head);
            arc.flatness = Pick<double>({1, 1, 0.5, 2});
            arc.tiltAngle = Pick<double>({0, 0, 30, 17.25});
        }
        arc.startAngle = start;
        arc.endAngle = end;
        d_.store.arcs.push_back(arc);
        return d_.store.arcs.back();
    }

    TRealPoint ArcEnd(const TJwwEntArc& arc, double angle) {
        TRealPoint p;
        EllipsePointDeg(p.X, p.Y, arc.cx, arc.cy, arc.radius, arc.flatness, arc.tiltAngle, angle);
        return p;
    }

    void ArcShape() {
        double start = Chance(2) ? Pick<double>({0, 30, 90, 180, 270, 350}) : Int(0, 35999) / 100.0;
        double sweep = Chance(2) ? Pick<double>({10, 90, 180, 270}) : Int(1, 35999) / 100.0;
        double end = start + sweep + Pick<double>({0, 0, 0, -360, 360, 720});
        TJwwEntArc arc = Arc(start, end, nullptr);
        switch (Int(0, 3)) {
            case 0:
            case 1: {  // chord, stored exactly like the arc's ends
                TJwwEntLine line;
                line.head = Chance(4) ? Head() : arc.head;
                TRealPoint a = ArcEnd(arc, start), b = ArcEnd(arc, end);
                if (Chance(2)) std::swap(a, b);
                line.x1 = a.X;
                line.y1 = a.Y;
                line.x2 = b.X;
                line.y2 = b.Y;
                d_.store.lines.push_back(line);
                break;
            }
            case 2:
                Arc(end, start + Pick<double>({0, 360}), &arc);
                break;  // the other part
            default:
                break;  // an open arc on its own, or met by other lines by chance
        }
    }

    void Round() {
        if (Chance(2)) {
            TJwwEntCircle circle;
            circle.head = Head();
            circle.cx = Stored(Lattice(), circle.head);
            circle.cy = Stored(Lattice(), circle.head);
            circle.radius = Stored(Pick<double>({1, 2}), circle.head);
            d_.store.circles.push_back(circle);
        } else {
            double start = Int(0, 359);
            Arc(start, start + Pick<double>({0, 360, 360 + 5e-9, -720}), nullptr);
        }
    }

    std::mt19937_64 random_;
    TRandomDrawing& d_;
    double magnitude_ = 1.0;
    std::vector<TRealPoint> ends_;  // paper-unit end points of the lines so far
};

void AppendHead(std::string& out, const TJwwEntHead& head) {
    char text[100];
    std::snprintf(text, sizeof text, "lg%X\nly%X\nlc%d\nlt%d\n", head.layerGroup & 15,
                  head.layer & 15, head.color, head.lineType);
    out += text;
    if (head.zFlags & kZFlagHidden) out += "z3\n";
}

}  // namespace

size_t TRandomDrawing::EntityCount() const {
    return store.lines.size() + store.circles.size() + store.arcs.size();
}

void TRandomDrawing::RemoveEntity(size_t i) {
    auto at = [](auto& list, size_t k) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
    };
    if (i < store.lines.size()) return at(store.lines, i);
    i -= store.lines.size();
    if (i < store.circles.size()) return at(store.circles, i);
    at(store.arcs, i - store.circles.size());
}

std::string TRandomDrawing::Describe() const {
    std::string out;
    char text[400];
    std::snprintf(text, sizeof text, "# divisions %d, auxiliary %s, layer states:", divisions,
                  filter.showAuxiliary ? "shown" : "hidden");
    out += text;
    for (size_t k = 0; k < filter.layerState.size(); ++k) {
        if (filter.layerState[k] != 1)
            out.append(" ")
                .append(std::to_string(k))
                .append("=")
                .append(std::to_string(filter.layerState[k]));
    }
    out += "\nhs";
    for (double s : store.state.groupScale) {
        std::snprintf(text, sizeof text, " %.17g", s);
        out += text;
    }
    out += store.state.bzFlag ? "\nbz\n" : "\n";
    for (const TJwwEntLine& l : store.lines) {
        AppendHead(out, l.head);
        std::snprintf(text, sizeof text, " %.17g %.17g %.17g %.17g\n", l.x1, l.y1, l.x2, l.y2);
        out += text;
    }
    for (const TJwwEntCircle& c : store.circles) {
        AppendHead(out, c.head);
        std::snprintf(text, sizeof text, "ci %.17g %.17g %.17g\n", c.cx, c.cy, c.radius);
        out += text;
    }
    for (const TJwwEntArc& a : store.arcs) {
        AppendHead(out, a.head);
        std::snprintf(text, sizeof text, "ci %.17g %.17g %.17g %.17g %.17g %.17g %.17g\n", a.cx,
                      a.cy, a.radius, a.startAngle, a.endAngle, a.flatness, a.tiltAngle);
        out += text;
    }
    return out;
}

TRandomDrawing GenerateDrawing(uint64_t seed, const TDrawingSize& size) {
    TRandomDrawing d;
    InitStore(d.store);
    TGenerator(seed, d).Run(size);
    return d;
}

}  // namespace veldra::test
