// The region strip's controls and what the window keeps of the last region build:
// the typed region options, the picks, the report and its tint, hovering, and the
// tint, markers and highlights painted over the view (on screen only: the canvas,
// and so the fill picture, never holds them).

#include "app/region_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "app/text_codec.h"
#include "app/view_markers.h"
#include "regions/faces.h"
#include "view/view_state.h"

namespace veldra {

namespace {

constexpr double kOpenEndRadius = 4.0;
constexpr double kJoinRadius = 3.0;
// Markers this far outside the view still show their edge in it.
constexpr double kMarkerMargin = 8.0;
// A pause in typing this long rebuilds the preview.
constexpr int kPreviewDelayMs = 400;

const char* const kFacesOnlyTip = "「交点で分割」の時だけ使います（「端点連結」では使いません）。";
// The rule as veldra-cli's help and the README give it, with the unit the field is in.
const char* const kGapTip =
    "すき間許容：線の自由端（ほかの線につながっていない端点）を、その線の向きに\n"
    "この長さまで延ばして最初に当たる線につなぐか、この長さ以内にある別の自由端と\n"
    "結びます。\n"
    "単位は右の欄で選びます。図寸mm：用紙上の長さ（mm）。実寸mm：実際の寸法（mm）を\n"
    "図面の縮尺で用紙上の長さに直して使います（1:100 なら 10 は用紙上の 0.1 mm）。\n"
    "0 はすき間を閉じません。";

QPointF ToPixel(const TViewState& view, const TRealPoint& p) {
    return {(p.X - view.viewLeft) * view.viewScale,
            view.viewHeight - (p.Y - view.viewBottom) * view.viewScale};
}

// Paper units to the paint box's pixels, y down.
QTransform PaperToPixels(const TViewState& view) {
    const double s = view.viewScale;
    return QTransform(s, 0, 0, -s, -view.viewLeft * s, view.viewHeight + view.viewBottom * s);
}

void AddRing(QPainterPath& path, const TAryRealPoint& ring) {
    if (ring.size() < 3) return;
    path.moveTo(ring[0].X, ring[0].Y);
    for (size_t i = 1; i < ring.size(); ++i) path.lineTo(ring[i].X, ring[i].Y);
    path.closeSubpath();
}

QPainterPath FacePath(const TFaceRegion& face) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    AddRing(path, face.outer);
    for (const TAryRealPoint& hole : face.holes) AddRing(path, hole);
    return path;
}

template <class W>
W* PlaceIn(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, top, width, height);
    return w;
}

}  // namespace

TRegionTint TintOfReport(TFillRegionReport& report) {
    TRegionTint shown;
    shown.tint.setFillRule(Qt::OddEvenFill);
    if (!report.faces.empty()) {
        report.polygons = FilledFacePolygons(report.faces);
        report.filledRegions =
            static_cast<size_t>(std::count_if(report.faces.begin(), report.faces.end(),
                                              [](const TFaceRegion& f) { return f.filled; }));
    }
    for (const TAryRealPoint& ring : report.polygons) AddRing(shown.tint, ring);
    if (report.faces.empty()) {
        for (const TAryRealPoint& ring : report.polygons) {
            QPolygonF loop;
            loop.reserve(static_cast<qsizetype>(ring.size()));
            for (const TRealPoint& p : ring) loop << QPointF(p.X, p.Y);
            shown.loopBoxes.push_back(loop.boundingRect());
            shown.loops.push_back(std::move(loop));
        }
    }
    return shown;
}

TRegionPanel::TRegionPanel(QWidget* strip) : QObject(strip) {
    QWidget* p = strip;
    modeLabel = PlaceIn(new QLabel(QStringLiteral("塗り領域"), p), "RegionModeLabel", 8, 6, 56, 20);
    mode = PlaceIn(new QComboBox(p), "RegionMode", 64, 4, 104, 22);
    mode->addItems({QStringLiteral("端点連結"), QStringLiteral("交点で分割")});
    gapLabel = PlaceIn(new QLabel(QStringLiteral("すき間許容"), p), "GapLabel", 176, 6, 70, 20);
    gap = PlaceIn(new QLineEdit(QStringLiteral("0"), p), "GapTolerance", 246, 4, 50, 22);
    gapUnit = PlaceIn(new QComboBox(p), "GapUnit", 298, 4, 78, 22);
    gapUnit->addItems({QStringLiteral("図寸mm"), QStringLiteral("実寸mm")});
    islandLabel = PlaceIn(new QLabel(QStringLiteral("島"), p), "IslandLabel", 382, 6, 16, 20);
    islands = PlaceIn(new QComboBox(p), "IslandMode", 398, 4, 90, 22);
    islands->addItems({QStringLiteral("通常"), QStringLiteral("外側のみ"), QStringLiteral("無視")});
    preview = PlaceIn(new QPushButton(QStringLiteral("領域表示(&R)"), p), "RegionPreview", 8, 32,
                      104, 25);
    clearPicks =
        PlaceIn(new QPushButton(QStringLiteral("選択解除(&C)"), p), "ClearPicks", 116, 32, 100, 25);
    previewTimer = new QTimer(this);
    previewTimer->setSingleShot(true);
    previewTimer->setInterval(kPreviewDelayMs);
    UpdateControls();
}

// The faces-only controls do nothing in the loop mode: disabled, with the reason.
void TRegionPanel::UpdateControls() {
    TRegionPanel& r = *this;
    const bool faces = r.mode->currentIndex() == 1;
    const QString why = QString::fromUtf8(kFacesOnlyTip);
    const QString gapTip = QString::fromUtf8(kGapTip);
    for (QWidget* w : std::initializer_list<QWidget*>{r.gapLabel, r.gap, r.gapUnit, r.islandLabel,
                                                      r.islands, r.clearPicks}) {
        w->setEnabled(faces);
    }
    r.gap->setToolTip(faces ? gapTip : why + QStringLiteral("\n") + gapTip);
    r.gapUnit->setToolTip(r.gap->toolTip());
    r.gapLabel->setToolTip(r.gap->toolTip());
    r.islands->setToolTip(faces ? QStringLiteral("通常：島は塗らずに残します。外側のみ：一番外側だ"
                                                 "けを塗ります。無視：島も塗ります。")
                                : why);
    r.clearPicks->setToolTip(
        faces ? QStringLiteral("クリックで選んだ領域の選択をすべて解除します。") : why);
}

TFillRegionOptions TRegionPanel::Options(const TJwwEntityStore& store) const {
    TFillRegionOptions o;
    o.mode = mode->currentIndex() == 1 ? TRegionMode::Faces : TRegionMode::Chain;
    double tolerance = ParseGapTolerance(gap->text().toStdString());
    if (gapUnit->currentIndex() == 1) {
        // Real size: the layer group's scale turns it into paper mm.
        const int32_t group = std::clamp(store.state.curLayerGroup, 0, kLayerGroupCount - 1);
        const double scale = store.state.groupScale[static_cast<size_t>(group)];
        if (scale > 0 && std::isfinite(scale)) tolerance /= scale;
    }
    o.faces.gapTolerance = tolerance;
    o.faces.islands = static_cast<TIslandMode>(std::clamp(islands->currentIndex(), 0, 2));
    o.faces.picks = picks;
    return o;
}

void TRegionPanel::Apply(TRegionMode regionMode, const std::string& gapText, TIslandMode islandMode,
                         int32_t unit) {
    mode->setCurrentIndex(regionMode == TRegionMode::Faces ? 1 : 0);
    gap->setText(FromShiftJis(gapText));
    islands->setCurrentIndex(std::clamp(static_cast<int32_t>(islandMode), 0, 2));
    UpdateControls();
    gapUnit->setCurrentIndex(unit == 1 ? 1 : 0);
}

void TRegionPanel::Collect(TRegionMode& regionMode, std::string& gapText, TIslandMode& islandMode,
                           int32_t& unit) const {
    regionMode = mode->currentIndex() == 1 ? TRegionMode::Faces : TRegionMode::Chain;
    gapText = ToShiftJis(gap->text());
    islandMode = static_cast<TIslandMode>(std::clamp(islands->currentIndex(), 0, 2));
    unit = gapUnit->currentIndex() == 1 ? 1 : 0;
}

void TRegionPanel::Forget() {
    picks.clear();
    reportValid = false;
    markersVisible = false;
    hover = -1;
    hoverLoop = -1;
    report = TFillRegionReport{};
    RebuildTint();
}

void TRegionPanel::Accept(TFillRegionReport built, TRegionTint shown) {
    report = std::move(built);
    reportValid = true;
    tint = std::move(shown.tint);
    loops = std::move(shown.loops);
    loopBoxes = std::move(shown.loopBoxes);
}

void TRegionPanel::Remark(TIslandMode islandMode) {
    MarkFilledFaces(report.faces, islandMode, picks);
    RebuildTint();
}

// The polygons the fill will paint (after picks or islands changed, from the faces'
// marks) as one even-odd path in paper units, and the loops to hover over.
void TRegionPanel::RebuildTint() {
    TRegionTint shown = reportValid ? TintOfReport(report) : TRegionTint{};
    tint = std::move(shown.tint);
    loops = std::move(shown.loops);
    loopBoxes = std::move(shown.loopBoxes);
}

bool TRegionPanel::Pick(TRealPoint at, TIslandMode islandMode) {
    const int32_t face = FaceAt(report.faces, at);
    if (face < 0) return false;
    // A pick in a face picked already takes it back.
    const auto before = picks.size();
    std::erase_if(picks, [&](const TRealPoint& p) { return FaceAt(report.faces, p) == face; });
    if (picks.size() == before) picks.push_back(at);
    previewOn = true;  // what the picks fill shows from here on
    hover = face;
    Remark(islandMode);
    return true;
}

QString TRegionPanel::ReportText(bool filled, TRegionMode regionMode) const {
    QString text;
    if (filled) {
        text = QStringLiteral("%1 個の領域を塗りました（開いた端点 %2 箇所")
                   .arg(report.filledRegions)
                   .arg(report.openEnds.size());
    } else {
        const size_t count =
            regionMode == TRegionMode::Faces ? report.faces.size() : report.polygons.size();
        text = QStringLiteral("%1 個の領域があります（塗り %2 個、開いた端点 %3 箇所")
                   .arg(count)
                   .arg(report.filledRegions)
                   .arg(report.openEnds.size());
    }
    if (regionMode == TRegionMode::Faces) {
        text += QStringLiteral("、すき間の結合 %1 箇所").arg(report.joins.size());
    }
    return text + QStringLiteral("）");
}

bool TRegionPanel::HoverAt(TRealPoint at) {
    TRegionPanel& r = *this;
    if (!r.reportValid) return false;
    if (!r.report.faces.empty()) {
        const int32_t face = FaceAt(r.report.faces, at);
        if (face == r.hover) return false;
        r.hover = face;
    } else {
        // The innermost loop under the cursor.
        int32_t best = -1;
        double bestArea = 0;
        const QPointF p(at.X, at.Y);
        for (size_t i = 0; i < r.loops.size(); ++i) {
            if (!r.loopBoxes[i].contains(p) || !r.loops[i].containsPoint(p, Qt::OddEvenFill))
                continue;
            const double area = r.loopBoxes[i].width() * r.loopBoxes[i].height();
            if (best < 0 || area < bestArea) best = static_cast<int32_t>(i), bestArea = area;
        }
        if (best == r.hoverLoop) return false;
        r.hoverLoop = best;
    }
    return true;
}

std::vector<QPointF> TRegionPanel::OpenEndPixels(const TViewState& view, const QRectF& box) const {
    const QRectF visible =
        box.adjusted(-kMarkerMargin, -kMarkerMargin, kMarkerMargin, kMarkerMargin);
    std::vector<QPointF> ends;
    for (const TRealPoint& e : report.openEnds) {
        const QPointF c = ToPixel(view, e);
        if (visible.contains(c)) ends.push_back(c);
    }
    return ends;
}

void TRegionPanel::Paint(QPainter& painter, const TViewState& view, bool fillShown,
                         const QRectF& box) const {
    const TRegionPanel& r = *this;
    if (!r.reportValid) return;
    painter.save();
    painter.setPen(Qt::NoPen);
    // Over the fill picture no tint: it would change the picture's colours on screen.
    if (!fillShown) {
        painter.save();
        painter.setTransform(PaperToPixels(view), true);
        if (r.previewOn) painter.fillPath(r.tint, QColor(0, 120, 255, 70));
        const std::vector<TFaceRegion>& faces = r.report.faces;
        if (r.hover >= 0 && static_cast<size_t>(r.hover) < faces.size()) {
            painter.fillPath(FacePath(faces[static_cast<size_t>(r.hover)]),
                             QColor(255, 170, 0, 90));
        }
        if (faces.empty() && r.hoverLoop >= 0 &&
            static_cast<size_t>(r.hoverLoop) < r.loops.size()) {
            QPainterPath loop;
            loop.addPolygon(r.loops[static_cast<size_t>(r.hoverLoop)]);
            painter.fillPath(loop, QColor(255, 170, 0, 90));
        }
        painter.restore();
    }
    if (r.markersVisible) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        const QRectF visible =
            box.adjusted(-kMarkerMargin, -kMarkerMargin, kMarkerMargin, kMarkerMargin);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 170, 0), 1.5));
        std::vector<QPointF> joinEnds;
        for (const TFaceJoin& j : r.report.joins) {
            const QPointF a = ToPixel(view, j.from), b = ToPixel(view, j.to);
            if (!visible.contains(b)) continue;
            if (r.report.joins.size() <= kMaxSingleMarkers) painter.drawLine(a, b);
            joinEnds.push_back(b);
        }
        DrawMarkers(painter, joinEnds, kJoinRadius);
        painter.setPen(QPen(QColor(255, 0, 0), 1.5));
        DrawMarkers(painter, OpenEndPixels(view, box), kOpenEndRadius);
    }
    painter.restore();
}

}  // namespace veldra
