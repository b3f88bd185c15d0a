// Region options in the strip below the status line, the markers of open ends and
// joins, the highlighted faces, and picking faces with a plain left click. Markers
// and highlights are painted over the paint box on screen only; the canvas, and so
// the fill picture, never holds them.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "app/form1.h"
#include "app/form1_regions.h"
#include "app/text_codec.h"
#include "common/my_func.h"
#include "regions/faces.h"
#include "view/view_state.h"

namespace veldra {

namespace {

// A click moves the mouse this far at most between press and release (pixels).
constexpr int kClickSlack = 5;
// Markers beyond this count are not drawn: the status line still counts them all.
constexpr size_t kMaxMarkers = 50000;
constexpr double kOpenEndRadius = 4.0;
constexpr double kJoinRadius = 3.0;

QPointF ToPixel(const TViewState& view, const TRealPoint& p) {
    return {(p.X - view.viewLeft) * view.viewScale,
            view.viewHeight - (p.Y - view.viewBottom) * view.viewScale};
}

QPainterPath FacePath(const TViewState& view, const TFaceRegion& face) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    auto add = [&](const TAryRealPoint& ring) {
        if (ring.empty()) return;
        path.moveTo(ToPixel(view, ring[0]));
        for (size_t i = 1; i < ring.size(); ++i) path.lineTo(ToPixel(view, ring[i]));
        path.closeSubpath();
    };
    add(face.outer);
    for (const TAryRealPoint& hole : face.holes) add(hole);
    return path;
}

template <class W>
W* PlaceIn(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, top, width, height);
    return w;
}

}  // namespace

void TForm1::CreateRegionOptions() {
    regions_ = std::make_unique<TRegionPanel>();
    TRegionPanel& r = *regions_;
    QWidget* p = Panel1_;
    r.modeLabel =
        PlaceIn(new QLabel(QStringLiteral("塗り領域"), p), "RegionModeLabel", 8, 6, 56, 20);
    r.mode = PlaceIn(new QComboBox(p), "RegionMode", 64, 4, 104, 22);
    r.mode->addItems({QStringLiteral("端点連結"), QStringLiteral("交点で分割")});
    r.gapLabel = PlaceIn(new QLabel(QStringLiteral("すき間許容"), p), "GapLabel", 178, 6, 72, 20);
    r.gap = PlaceIn(new QLineEdit(QStringLiteral("0"), p), "GapTolerance", 250, 4, 56, 22);
    r.islandLabel = PlaceIn(new QLabel(QStringLiteral("島"), p), "IslandLabel", 316, 6, 16, 20);
    r.islands = PlaceIn(new QComboBox(p), "IslandMode", 334, 4, 90, 22);
    r.islands->addItems(
        {QStringLiteral("通常"), QStringLiteral("外側のみ"), QStringLiteral("無視")});
    r.preview = PlaceIn(new QPushButton(QStringLiteral("領域表示(&R)"), p), "RegionPreview", 8, 32,
                        104, 25);
    r.clearPicks =
        PlaceIn(new QPushButton(QStringLiteral("選択解除(&C)"), p), "ClearPicks", 118, 32, 104, 25);
    connect(r.mode, &QComboBox::currentIndexChanged, this, [this] { RegionOptionsChanged(); });
    connect(r.islands, &QComboBox::currentIndexChanged, this, [this] { IslandModeChanged(); });
    connect(r.gap, &QLineEdit::textChanged, this, [this] { RegionOptionsChanged(); });
    connect(Edit3_, &QLineEdit::textChanged, this, [this] { RegionOptionsChanged(); });
    connect(r.preview, &QPushButton::clicked, this, [this] { PreviewRegions(); });
    connect(r.clearPicks, &QPushButton::clicked, this, [this] { ClearPicks(); });
}

TFillRegionOptions TForm1::RegionOptions() const {
    TFillRegionOptions o;
    o.mode = regions_->mode->currentIndex() == 1 ? TRegionMode::Faces : TRegionMode::Chain;
    o.faces.gapTolerance = ParseGapTolerance(regions_->gap->text().toStdString());
    o.faces.islands = static_cast<TIslandMode>(std::clamp(regions_->islands->currentIndex(), 0, 2));
    o.faces.picks = regions_->picks;
    return o;
}

void TForm1::ApplyRegionSettings(TRegionMode mode, const std::string& gap, TIslandMode islands) {
    regions_->mode->setCurrentIndex(mode == TRegionMode::Faces ? 1 : 0);
    regions_->gap->setText(FromShiftJis(gap));
    regions_->islands->setCurrentIndex(std::clamp(static_cast<int32_t>(islands), 0, 2));
}

void TForm1::CollectRegionSettings(TRegionMode& mode, std::string& gap,
                                   TIslandMode& islands) const {
    const TFillRegionOptions typed = RegionOptions();
    mode = typed.mode;
    gap = ToShiftJis(regions_->gap->text());
    islands = typed.faces.islands;
}

// Another mode, tolerance or division count gives other faces: the picks and markers
// of the old ones mean nothing any more.
void TForm1::RegionOptionsChanged() {
    TRegionPanel& r = *regions_;
    r.picks.clear();
    r.reportValid = false;
    r.markersVisible = false;
    r.hover = -1;
    r.report = TFillRegionReport{};
    PaintBox1_->update();
}

// Another island mode keeps the faces and the picks; only what is filled changes.
void TForm1::IslandModeChanged() {
    TRegionPanel& r = *regions_;
    if (!r.reportValid || RegionOptions().mode != TRegionMode::Faces) return RegionOptionsChanged();
    MarkFilledFaces(r.report.faces, RegionOptions().faces.islands, r.picks);
    PaintBox1_->update();
}

bool TForm1::BuildRegionPreview() {
    if (!attributes_) return false;
    TRegionPanel& r = *regions_;
    TRegionFilter filter;
    for (int32_t key = 0; key < 256; ++key) filter.layerState[key] = attributes_->LayerState(key);
    filter.showAuxiliary = attributes_->ShowAuxiliary();
    const int32_t divisions = ArcDivisionsOfText(Edit3_->text().toStdString());
    TFillRegionReport report = BuildFillRegions(store_, divisions, RegionOptions(), filter,
                                                [this] { return escapePoll_.IsEscapeDown(); });
    if (report.aborted) {
        LabelA1_->setText(QStringLiteral("領域の作成を中断しました"));
        return false;
    }
    r.report = std::move(report);
    r.reportValid = true;
    return true;
}

void TForm1::PreviewRegions() {
    if (!BuildRegionPreview()) return;
    ShowRegionReport(false);
}

void TForm1::ShowRegionReport(bool filled) {
    TRegionPanel& r = *regions_;
    r.markersVisible = true;
    const TFillRegionReport& report = r.report;
    QString text;
    if (filled) {
        text = QStringLiteral("%1 個の領域を塗りました（開いた端点 %2 箇所")
                   .arg(report.filledRegions)
                   .arg(report.openEnds.size());
    } else {
        const size_t count = RegionOptions().mode == TRegionMode::Faces ? report.faces.size()
                                                                        : report.polygons.size();
        text = QStringLiteral("%1 個の領域があります（塗り %2 個、開いた端点 %3 箇所")
                   .arg(count)
                   .arg(report.filledRegions)
                   .arg(report.openEnds.size());
    }
    if (RegionOptions().mode == TRegionMode::Faces) {
        text += QStringLiteral("、すき間の結合 %1 箇所").arg(report.joins.size());
    }
    LabelA1_->setText(text + QStringLiteral("）"));
    PaintBox1_->update();
}

void TForm1::ClearPicks() {
    TRegionPanel& r = *regions_;
    r.picks.clear();
    if (r.reportValid) MarkFilledFaces(r.report.faces, RegionOptions().faces.islands, r.picks);
    PaintBox1_->update();
}

void TForm1::RegionHover(QPoint pos) {
    TRegionPanel& r = *regions_;
    if (!r.reportValid || r.report.faces.empty()) return;
    const int32_t face =
        FaceAt(r.report.faces, {PixelToViewX(view_, pos.x()), PixelToViewY(view_, pos.y())});
    if (face == r.hover) return;
    r.hover = face;
    PaintBox1_->update();
}

bool TForm1::RegionClick(QPoint press, QPoint release) {
    if (std::abs(release.x() - press.x()) > kClickSlack ||
        std::abs(release.y() - press.y()) > kClickSlack) {
        return false;
    }
    if (RegionOptions().mode != TRegionMode::Faces) return false;
    TRegionPanel& r = *regions_;
    if (!r.reportValid && !BuildRegionPreview()) return false;
    const TRealPoint at{PixelToViewX(view_, release.x()), PixelToViewY(view_, release.y())};
    const int32_t face = FaceAt(r.report.faces, at);
    if (face < 0) return false;
    // A pick in a face picked already takes it back.
    const auto before = r.picks.size();
    std::erase_if(r.picks, [&](const TRealPoint& p) { return FaceAt(r.report.faces, p) == face; });
    if (r.picks.size() == before) r.picks.push_back(at);
    MarkFilledFaces(r.report.faces, RegionOptions().faces.islands, r.picks);
    r.hover = face;
    PaintBox1_->update();
    return true;
}

void TForm1::PaintRegionOverlay(QPainter& painter) {
    if (!regions_) return;
    const TRegionPanel& r = *regions_;
    if (!r.reportValid) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    const std::vector<TFaceRegion>& faces = r.report.faces;
    for (const TRealPoint& p : r.picks) {
        const int32_t f = FaceAt(faces, p);
        if (f >= 0) painter.fillPath(FacePath(view_, faces[f]), QColor(0, 120, 255, 90));
    }
    if (r.hover >= 0 && static_cast<size_t>(r.hover) < faces.size()) {
        painter.fillPath(FacePath(view_, faces[r.hover]), QColor(255, 170, 0, 80));
    }
    if (r.markersVisible) {
        const QRectF visible = QRectF(PaintBox1_->rect()).adjusted(-8, -8, 8, 8);
        size_t drawn = 0;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 170, 0), 1.5));
        for (const TFaceJoin& j : r.report.joins) {
            const QPointF a = ToPixel(view_, j.from), b = ToPixel(view_, j.to);
            if (!visible.contains(b) || ++drawn > kMaxMarkers) continue;
            painter.drawLine(a, b);
            painter.drawEllipse(b, kJoinRadius, kJoinRadius);
        }
        painter.setPen(QPen(QColor(255, 0, 0), 1.5));
        for (const TRealPoint& e : r.report.openEnds) {
            const QPointF c = ToPixel(view_, e);
            if (!visible.contains(c) || ++drawn > kMaxMarkers) continue;
            painter.drawEllipse(c, kOpenEndRadius, kOpenEndRadius);
        }
    }
    painter.restore();
}

}  // namespace veldra
