// Region options in the strip below the status line, the preview of what the fill
// will paint, the markers of open ends and joins, the highlighted face or loop, and
// picking faces with a plain left click. The tint, markers and highlights are painted
// over the paint box on screen only; the canvas, and so the fill picture, never holds
// them.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <map>

#include "app/form1.h"
#include "app/form1_regions.h"
#include "app/options_panel.h"
#include "app/text_codec.h"
#include "common/my_func.h"
#include "regions/faces.h"
#include "view/view_state.h"

namespace veldra {

namespace {

// A click moves the mouse this far at most between press and release (pixels).
constexpr int kClickSlack = 5;
// Up to this many markers in the view are drawn one by one; beyond it they are
// gathered into cells of this many pixels, each marked once with its count.
constexpr size_t kMaxSingleMarkers = 20000;
constexpr double kClusterCell = 16.0;
constexpr double kOpenEndRadius = 4.0;
constexpr double kJoinRadius = 3.0;
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

// Markers one by one, or gathered into cells with their count when there are many,
// the same way over the whole view.
void DrawMarkers(QPainter& painter, const std::vector<QPointF>& points, double radius) {
    if (points.size() <= kMaxSingleMarkers) {
        for (const QPointF& c : points) painter.drawEllipse(c, radius, radius);
        return;
    }
    std::map<std::pair<int, int>, std::pair<QPointF, int>> cells;
    for (const QPointF& c : points) {
        auto& cell = cells[{static_cast<int>(std::floor(c.x() / kClusterCell)),
                            static_cast<int>(std::floor(c.y() / kClusterCell))}];
        if (cell.second++ == 0) cell.first = c;
    }
    for (const auto& [key, cell] : cells) {
        if (cell.second == 1) {
            painter.drawEllipse(cell.first, radius, radius);
            continue;
        }
        const QPointF centre((key.first + 0.5) * kClusterCell, (key.second + 0.5) * kClusterCell);
        painter.drawEllipse(centre, kClusterCell / 2 - 1, kClusterCell / 2 - 1);
        painter.drawText(QRectF(centre.x() - kClusterCell, centre.y() - 6, 2 * kClusterCell, 12),
                         Qt::AlignCenter, QString::number(cell.second));
    }
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
    r.gapLabel = PlaceIn(new QLabel(QStringLiteral("すき間許容"), p), "GapLabel", 176, 6, 70, 20);
    r.gap = PlaceIn(new QLineEdit(QStringLiteral("0"), p), "GapTolerance", 246, 4, 50, 22);
    r.gapUnit = PlaceIn(new QComboBox(p), "GapUnit", 298, 4, 78, 22);
    r.gapUnit->addItems({QStringLiteral("図寸mm"), QStringLiteral("実寸mm")});
    r.islandLabel = PlaceIn(new QLabel(QStringLiteral("島"), p), "IslandLabel", 382, 6, 16, 20);
    r.islands = PlaceIn(new QComboBox(p), "IslandMode", 398, 4, 90, 22);
    r.islands->addItems(
        {QStringLiteral("通常"), QStringLiteral("外側のみ"), QStringLiteral("無視")});
    r.preview = PlaceIn(new QPushButton(QStringLiteral("領域表示(&R)"), p), "RegionPreview", 8, 32,
                        104, 25);
    r.clearPicks =
        PlaceIn(new QPushButton(QStringLiteral("選択解除(&C)"), p), "ClearPicks", 116, 32, 100, 25);
    CheckTexts_ =
        PlaceIn(new QCheckBox(QStringLiteral("文字表示(&T)"), p), "CheckTexts", 222, 34, 96, 22);
    CheckTexts_->setChecked(true);
    CheckTexts_->setToolTip(
        QStringLiteral("図面の文字を画面に表示します（作成する画像には描きません）。"));
    outputLine_ = PlaceIn(new QLabel(p), "OutputLine", 322, 32, 278, 25);
    r.previewTimer = new QTimer(this);
    r.previewTimer->setSingleShot(true);
    r.previewTimer->setInterval(kPreviewDelayMs);
    connect(r.previewTimer, &QTimer::timeout, this, [this] { PreviewRegions(); });
    connect(r.mode, &QComboBox::currentIndexChanged, this, [this] {
        UpdateRegionControls();
        RegionOptionsChanged();
    });
    connect(r.islands, &QComboBox::currentIndexChanged, this, [this] { IslandModeChanged(); });
    connect(r.gap, &QLineEdit::textChanged, this, [this] { RegionOptionsChanged(); });
    connect(r.gapUnit, &QComboBox::currentIndexChanged, this, [this] { RegionOptionsChanged(); });
    connect(r.preview, &QPushButton::clicked, this, [this] { PreviewRegions(); });
    connect(r.clearPicks, &QPushButton::clicked, this, [this] { ClearPicks(); });
    connect(CheckTexts_, &QCheckBox::toggled, this, [this] { RedrawView(); });
    UpdateRegionControls();
}

// The faces-only controls do nothing in the loop mode: disabled, with the reason.
void TForm1::UpdateRegionControls() {
    TRegionPanel& r = *regions_;
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

TFillRegionOptions TForm1::RegionOptions() const {
    TFillRegionOptions o;
    o.mode = regions_->mode->currentIndex() == 1 ? TRegionMode::Faces : TRegionMode::Chain;
    double gap = ParseGapTolerance(regions_->gap->text().toStdString());
    if (regions_->gapUnit->currentIndex() == 1) {
        // Real size: the layer group's scale turns it into paper mm.
        const int32_t group = std::clamp(store_.state.curLayerGroup, 0, kLayerGroupCount - 1);
        const double scale = store_.state.groupScale[static_cast<size_t>(group)];
        if (scale > 0 && std::isfinite(scale)) gap /= scale;
    }
    o.faces.gapTolerance = gap;
    o.faces.islands = static_cast<TIslandMode>(std::clamp(regions_->islands->currentIndex(), 0, 2));
    o.faces.picks = regions_->picks;
    return o;
}

void TForm1::ApplyRegionSettings(TRegionMode mode, const std::string& gap, TIslandMode islands) {
    regions_->mode->setCurrentIndex(mode == TRegionMode::Faces ? 1 : 0);
    regions_->gap->setText(FromShiftJis(gap));
    regions_->islands->setCurrentIndex(std::clamp(static_cast<int32_t>(islands), 0, 2));
    UpdateRegionControls();
}

void TForm1::CollectRegionSettings(TRegionMode& mode, std::string& gap,
                                   TIslandMode& islands) const {
    const TFillRegionOptions typed = RegionOptions();
    mode = typed.mode;
    gap = ToShiftJis(regions_->gap->text());
    islands = typed.faces.islands;
}

// Another mode, tolerance or division count gives other faces: the picks and markers
// of the old ones mean nothing any more. With the preview on, the new regions follow.
void TForm1::RegionOptionsChanged() {
    TRegionPanel& r = *regions_;
    // A build of the old faces running still is no use any more.
    if (working_ == TWorkKind::RegionBuild) {
        work_.Abandon();
        WorkEnded();
        r.pendingPick.reset();
        if (!r.previewOn) LabelA1_->setText(QStringLiteral("\u3000"));
    }
    r.picks.clear();
    r.reportValid = false;
    r.markersVisible = false;
    r.hover = -1;
    r.hoverLoop = -1;
    r.report = TFillRegionReport{};
    RebuildTint();
    if (r.previewOn) r.previewTimer->start();
    UpdateOutputLine();
    PaintBox1_->update();
}

// Another island mode keeps the faces and the picks; only what is filled changes.
void TForm1::IslandModeChanged() {
    TRegionPanel& r = *regions_;
    if (!r.reportValid || RegionOptions().mode != TRegionMode::Faces) return RegionOptionsChanged();
    MarkFilledFaces(r.report.faces, RegionOptions().faces.islands, r.picks);
    RebuildTint();
    ShowRegionReport(false);
}

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

// The polygons the fill will paint (after picks or islands changed, from the faces'
// marks) as one even-odd path in paper units, and the loops to hover over.
void TForm1::RebuildTint() {
    TRegionPanel& r = *regions_;
    TRegionTint shown = r.reportValid ? TintOfReport(r.report) : TRegionTint{};
    r.tint = std::move(shown.tint);
    r.loops = std::move(shown.loops);
    r.loopBoxes = std::move(shown.loopBoxes);
}

// What a region build hands back: the report and its tint, and the island mode and
// picks it was built with (changed meanwhile, the faces are marked again).
struct TForm1::TRegionBuildResult {
    TFillRegionReport report;
    TRegionTint shown;
    TIslandMode islands = TIslandMode::Normal;
    std::vector<TRealPoint> picks;
};

// The faces of 100,000 lines take seconds: the build runs on its own thread, the
// status line shows how far it is, and Escape abandons it, leaving the regions as
// they were. The work reads the drawing, which stays as it is while the window lives.
void TForm1::StartRegionBuild() {
    if (!attributes_) return;
    const TJwwEntityStore& store = store_;
    const int32_t divisions = Panel2_->ArcDivisions();
    const TFillRegionOptions options = RegionOptions();
    const TRegionFilter filter = RegionFilterOf(*attributes_);
    LabelA1_->setText(QStringLiteral("領域を作成中です…（Esc キーで中止）"));
    WorkStarted(TWorkKind::RegionBuild);
    work_.Start(
        [this, &store, divisions, options, filter](const TWorkContext& context) -> TWorkDone {
            auto built = std::make_shared<TRegionBuildResult>();
            built->report =
                BuildFillRegions(store, divisions, options, filter, context.stop,
                                 [&context](double done) { context.progress(0, done); });
            built->shown = TintOfReport(built->report);
            built->islands = options.faces.islands;
            built->picks = options.faces.picks;
            return [this, built] { RegionBuildDone(*built); };
        },
        [this](int, double done) {
            if (done < 0) return;
            LabelA1_->setText(QStringLiteral("領域を作成中です… %1％（Esc キーで中止）")
                                  .arg(static_cast<int>(done * 100)));
        },
        [this] {
            WorkEnded();
            regions_->pendingPick.reset();
            LabelA1_->setText(QString::fromUtf8(kRegionsFailedMessage));
        });
}

void TForm1::RegionBuildDone(TRegionBuildResult& built) {
    WorkEnded();
    TRegionPanel& r = *regions_;
    const std::optional<TRealPoint> pick = std::exchange(r.pendingPick, std::nullopt);
    if (built.report.aborted) {
        LabelA1_->setText(QStringLiteral("領域の作成を中断しました"));
        return;
    }
    r.report = std::move(built.report);
    r.reportValid = true;
    const TFillRegionOptions now = RegionOptions();
    const auto samePoint = [](const TRealPoint& a, const TRealPoint& b) {
        return a.X == b.X && a.Y == b.Y;
    };
    if (now.faces.islands != built.islands ||
        !std::equal(now.faces.picks.begin(), now.faces.picks.end(), built.picks.begin(),
                    built.picks.end(), samePoint)) {
        MarkFilledFaces(r.report.faces, now.faces.islands, r.picks);
        RebuildTint();
    } else {
        r.tint = std::move(built.shown.tint);
        r.loops = std::move(built.shown.loops);
        r.loopBoxes = std::move(built.shown.loopBoxes);
    }
    if (!pick || !PickFaceAt(*pick)) ShowRegionReport(false);
}

void TForm1::PreviewRegions() {
    TRegionPanel& r = *regions_;
    r.previewTimer->stop();
    r.previewOn = true;
    if (working_ == TWorkKind::Fill) return;  // the fill brings its own regions
    StartRegionBuild();
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
    UpdateOutputLine();
    PaintBox1_->update();
}

void TForm1::ClearPicks() {
    TRegionPanel& r = *regions_;
    r.picks.clear();
    if (r.reportValid) {
        MarkFilledFaces(r.report.faces, RegionOptions().faces.islands, r.picks);
        RebuildTint();
        ShowRegionReport(false);
    }
    PaintBox1_->update();
}

void TForm1::RegionHover(QPoint pos) {
    TRegionPanel& r = *regions_;
    if (!r.reportValid) return;
    const TRealPoint at{PixelToViewX(view_, pos.x()), PixelToViewY(view_, pos.y())};
    if (!r.report.faces.empty()) {
        const int32_t face = FaceAt(r.report.faces, at);
        if (face == r.hover) return;
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
        if (best == r.hoverLoop) return;
        r.hoverLoop = best;
    }
    PaintBox1_->update();
}

bool TForm1::RegionClick(QPoint press, QPoint release) {
    if (std::abs(release.x() - press.x()) > kClickSlack ||
        std::abs(release.y() - press.y()) > kClickSlack) {
        return false;
    }
    if (RegionOptions().mode != TRegionMode::Faces) return false;
    TRegionPanel& r = *regions_;
    const TRealPoint at{PixelToViewX(view_, release.x()), PixelToViewY(view_, release.y())};
    // A fill holds the regions until it is done; without faces yet the click waits
    // for their build.
    if (working_ == TWorkKind::Fill) return false;
    if (!r.reportValid) {
        r.pendingPick = at;
        if (working_ != TWorkKind::RegionBuild) StartRegionBuild();
        return true;
    }
    return PickFaceAt(at);
}

bool TForm1::PickFaceAt(TRealPoint at) {
    TRegionPanel& r = *regions_;
    const int32_t face = FaceAt(r.report.faces, at);
    if (face < 0) return false;
    // A pick in a face picked already takes it back.
    const auto before = r.picks.size();
    std::erase_if(r.picks, [&](const TRealPoint& p) { return FaceAt(r.report.faces, p) == face; });
    if (r.picks.size() == before) r.picks.push_back(at);
    r.previewOn = true;  // what the picks fill shows from here on
    MarkFilledFaces(r.report.faces, RegionOptions().faces.islands, r.picks);
    r.hover = face;
    RebuildTint();
    ShowRegionReport(false);
    return true;
}

void TForm1::PaintRegionOverlay(QPainter& painter) {
    if (!regions_) return;
    const TRegionPanel& r = *regions_;
    if (!r.reportValid) return;
    painter.save();
    painter.setPen(Qt::NoPen);
    // Over the fill picture no tint: it would change the picture's colours on screen.
    if (!fillShown_) {
        painter.save();
        painter.setTransform(PaperToPixels(view_), true);
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
        const QRectF visible = QRectF(PaintBox1_->rect()).adjusted(-8, -8, 8, 8);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0, 170, 0), 1.5));
        std::vector<QPointF> joinEnds;
        for (const TFaceJoin& j : r.report.joins) {
            const QPointF a = ToPixel(view_, j.from), b = ToPixel(view_, j.to);
            if (!visible.contains(b)) continue;
            if (r.report.joins.size() <= kMaxSingleMarkers) painter.drawLine(a, b);
            joinEnds.push_back(b);
        }
        DrawMarkers(painter, joinEnds, kJoinRadius);
        painter.setPen(QPen(QColor(255, 0, 0), 1.5));
        std::vector<QPointF> ends;
        for (const TRealPoint& e : r.report.openEnds) {
            const QPointF c = ToPixel(view_, e);
            if (visible.contains(c)) ends.push_back(c);
        }
        DrawMarkers(painter, ends, kOpenEndRadius);
    }
    painter.restore();
}

}  // namespace veldra
