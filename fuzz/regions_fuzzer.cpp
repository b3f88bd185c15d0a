// Fuzz target for the region build in chain mode: a stream of line, circle and arc
// records (any doubles, huge and not finite ones too), layer group scales and an arc
// division count. The build must agree with the straightforward loop search, keep
// every polygon at 4 points or more, and its regions must fill through the texture
// fill without trouble.

#include <QImage>
#include <QPainter>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fill/texture_fill.h"
#include "fuzz/fuzz_bytes.h"
#include "fuzz/fuzz_gui_app.h"
#include "regions/regions.h"
#include "regions/regions_reference.h"

namespace {

using namespace veldra;

// Enough for the loop search to meet every case, few enough for the reference's
// rescans to stay quick.
constexpr int kMaxRecords = 160;

TJwwEntHead HeadOf(uint8_t b) {
    TJwwEntHead head;
    head.layerGroup = b & 3;
    head.layer = (b >> 2) & 3;
    if (b & 0x10) head.color = 9;
    if (b & 0x20) head.lineType = 9;
    if (b & 0x40) head.zFlags = kZFlagHidden;
    return head;
}

void ReadRecords(TFuzzBytes& in, TJwwEntityStore& store, TRegionFilter& filter) {
    for (int r = 0; r < kMaxRecords && !in.Done(); ++r) {
        switch (in.Byte() % 6) {
            case 0:
            case 1: {
                TJwwEntLine l;
                l.head = HeadOf(in.Byte());
                l.x1 = in.Real(), l.y1 = in.Real(), l.x2 = in.Real(), l.y2 = in.Real();
                store.lines.push_back(l);
                break;
            }
            case 2: {
                TJwwEntCircle c;
                c.head = HeadOf(in.Byte());
                c.cx = in.Real(), c.cy = in.Real(), c.radius = in.Real();
                store.circles.push_back(c);
                break;
            }
            case 3: {
                TJwwEntArc a;
                a.head = HeadOf(in.Byte());
                a.cx = in.Real(), a.cy = in.Real(), a.radius = in.Real();
                a.startAngle = in.Real() * 15.0, a.endAngle = in.Real() * 15.0;
                a.flatness = in.Real() * 0.25, a.tiltAngle = in.Real() * 15.0;
                store.arcs.push_back(a);
                break;
            }
            case 4: {
                const uint8_t group = in.Byte() & 3;
                store.state.groupScale[group] = in.Real();
                break;
            }
            default:
                filter.layerState[in.Byte()] = 3;
                break;
        }
    }
}

bool SameBits(double a, double b) {
    return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

bool SamePolygons(const TAr2RealPoint& a, const TAr2RealPoint& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) return false;
        // Bit for bit, so that the same NaN counts as equal.
        for (size_t k = 0; k < a[i].size(); ++k) {
            if (!SameBits(a[i][k].X, b[i][k].X) || !SameBits(a[i][k].Y, b[i][k].Y)) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFuzzBytes in(data, size);
    TJwwEntityStore store;
    InitStore(store);
    const int32_t divisions = in.Int32();
    const uint8_t flags = in.Byte();
    store.state.bzFlag = (flags & 1) != 0;
    TRegionFilter filter;
    filter.showAuxiliary = (flags & 2) == 0;
    TViewState view;
    const double scale = in.Real();
    if (std::isfinite(scale) && scale > 0) view.viewScale = scale;
    view.viewWidth = view.viewHeight = 48;
    ReadRecords(in, store, filter);

    TAr2RealPoint regions;
    BuildRegions(store, divisions, regions, filter);
    const size_t sources = store.lines.size() + store.circles.size() + store.arcs.size();
    if (regions.size() > sources) std::abort();
    for (const TAryRealPoint& polygon : regions)
        if (polygon.size() < 4) std::abort();

    TAr2RealPoint reference;
    BuildRegionsReference(store, divisions, reference, filter);
    if (!SamePolygons(regions, reference)) std::abort();

    EnsureGuiApplication();
    QImage canvas(view.viewWidth, view.viewHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QImage texture(3, 2, QImage::Format_RGB32);
    texture.fill(Qt::darkRed);
    QPainter painter(&canvas);
    FillRegionPath(painter, BuildRegionPath(regions, view), texture, 1.5);
    return 0;
}
