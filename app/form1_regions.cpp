// The window's side of the region strip: the region options changing, the preview
// built off the window's thread, the report in the status line, and picking faces
// with a plain left click. The strip's controls and state are the region panel's.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/form1.h"
#include "app/options_panel.h"
#include "app/region_panel.h"
#include "regions/faces.h"
#include "view/view_state.h"

namespace veldra {

namespace {

// A click moves the mouse this far at most between press and release (pixels).
constexpr int kClickSlack = 5;

template <class W>
W* PlaceIn(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, top, width, height);
    return w;
}

}  // namespace

void TForm1::CreateRegionOptions() {
    regions_ = std::make_unique<TRegionPanel>(Panel1_);
    TRegionPanel& r = *regions_;
    QWidget* p = Panel1_;
    CheckTexts_ =
        PlaceIn(new QCheckBox(QStringLiteral("文字表示(&T)"), p), "CheckTexts", 222, 34, 96, 22);
    CheckTexts_->setChecked(true);
    CheckTexts_->setToolTip(
        QStringLiteral("図面の文字を画面に表示します（作成する画像には描きません）。\n"
                       "画面に入る文字が1万を超えるときは、拡大するまで表示しません。"));
    outputLine_ = PlaceIn(new QLabel(p), "OutputLine", 322, 32, 278, 25);
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
}

void TForm1::UpdateRegionControls() {
    regions_->UpdateControls();
}

TFillRegionOptions TForm1::RegionOptions() const {
    return regions_->Options(store_);
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
    r.Forget();
    if (r.previewOn) r.previewTimer->start();
    UpdateOutputLine();
    PaintBox1_->update();
}

// Another island mode keeps the faces and the picks; only what is filled changes.
void TForm1::IslandModeChanged() {
    TRegionPanel& r = *regions_;
    if (!r.reportValid || RegionOptions().mode != TRegionMode::Faces) return RegionOptionsChanged();
    r.Remark(RegionOptions().faces.islands);
    ShowRegionReport(false);
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
            // Escape held while the key events go elsewhere: the platform's key state,
            // read here on the window's thread.
            if (escapePoll_.IsEscapeDown()) return StopWork();
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
    r.Accept(std::move(built.report), std::move(built.shown));
    const TFillRegionOptions now = RegionOptions();
    const auto samePoint = [](const TRealPoint& a, const TRealPoint& b) {
        return a.X == b.X && a.Y == b.Y;
    };
    if (now.faces.islands != built.islands ||
        !std::equal(now.faces.picks.begin(), now.faces.picks.end(), built.picks.begin(),
                    built.picks.end(), samePoint)) {
        r.Remark(now.faces.islands);
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
    regions_->markersVisible = true;
    LabelA1_->setText(regions_->ReportText(filled, RegionOptions().mode));
    UpdateOutputLine();
    PaintBox1_->update();
}

void TForm1::ClearPicks() {
    TRegionPanel& r = *regions_;
    r.picks.clear();
    if (r.reportValid) {
        r.Remark(RegionOptions().faces.islands);
        ShowRegionReport(false);
    }
    PaintBox1_->update();
}

void TForm1::RegionHover(QPoint pos) {
    const TRealPoint at{PixelToViewX(View(), pos.x()), PixelToViewY(View(), pos.y())};
    if (regions_->HoverAt(at)) PaintBox1_->update();
}

bool TForm1::RegionClick(QPoint press, QPoint release) {
    if (std::abs(release.x() - press.x()) > kClickSlack ||
        std::abs(release.y() - press.y()) > kClickSlack) {
        return false;
    }
    if (RegionOptions().mode != TRegionMode::Faces) return false;
    TRegionPanel& r = *regions_;
    const TRealPoint at{PixelToViewX(View(), release.x()), PixelToViewY(View(), release.y())};
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
    if (!regions_->Pick(at, RegionOptions().faces.islands)) return false;
    ShowRegionReport(false);
    return true;
}

void TForm1::PaintRegionOverlay(QPainter& painter) {
    if (!regions_) return;
    regions_->Paint(painter, View(), FillShown(),
                    QRectF(PaintBox1_->rect()).adjusted(-8, -8, 8, 8));
}

}  // namespace veldra
