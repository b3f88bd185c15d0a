#pragma once

// The region strip of the window (its region options) and what it keeps of the last
// region build: the faces to pick from, the picks, the open ends and joins the view
// marks, and what it paints over the view.

#include <QObject>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/real_point.h"
#include "exchange/entity_store.h"
#include "regions/region_modes.h"

class QComboBox;
class QTimer;
class QWidget;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;

namespace veldra {

struct TViewState;

// What the view shows of a region report: the polygons the fill will paint in paper
// units (even-odd), and the loops for hovering in the loop mode with their boxes.
struct TRegionTint {
    QPainterPath tint;
    std::vector<QPolygonF> loops;
    std::vector<QRectF> loopBoxes;
};

// The report's polygons and filled count from its faces' marks (faces mode), then
// what the view shows of it. Touches no widget: a region build runs it on its thread.
TRegionTint TintOfReport(TFillRegionReport& report);

// The controls are the window's to lay out and connect; the state below them is
// read by the window and its tests.
class TRegionPanel : public QObject {
  public:
    // The controls in the strip, at their places.
    explicit TRegionPanel(QWidget* strip);

    // The options as set; a real-size gap becomes paper mm by the scale of the
    // drawing's current layer group.
    TFillRegionOptions Options(const TJwwEntityStore& store) const;
    void Apply(TRegionMode mode, const std::string& gap, TIslandMode islands, int32_t gapUnit);
    void Collect(TRegionMode& mode, std::string& gap, TIslandMode& islands, int32_t& gapUnit) const;
    // The faces-only controls do nothing in the loop mode: disabled, with the reason.
    void UpdateControls();

    // Other faces: the picks, the report and the markers go.
    void Forget();
    // A build's report with what the view shows of it.
    void Accept(TFillRegionReport built, TRegionTint shown);
    // The faces marked again for the island mode and the picks.
    void Remark(TIslandMode islands);
    void RebuildTint();
    // Picks the face at `at` or takes its pick back; false when no face is there.
    bool Pick(TRealPoint at, TIslandMode islands);
    // The face or loop under `at` highlighted; true when that changed.
    bool HoverAt(TRealPoint at);
    // The status line's count of regions, open ends and joins.
    QString ReportText(bool filled, TRegionMode mode) const;
    // The open ends the view marks: pixels inside `box` or just beyond its edges.
    std::vector<QPointF> OpenEndPixels(const TViewState& view, const QRectF& box) const;
    // Tint, highlights and markers over the view; markers only inside `box` (pixels).
    void Paint(QPainter& painter, const TViewState& view, bool fillShown, const QRectF& box) const;

    QLabel* modeLabel = nullptr;
    QComboBox* mode = nullptr;  // "端点連結", "交点で分割"
    QLabel* gapLabel = nullptr;
    QLineEdit* gap = nullptr;      // "すき間許容"
    QComboBox* gapUnit = nullptr;  // "図寸mm" paper mm, "実寸mm" real size (by the scale)
    QLabel* islandLabel = nullptr;
    QComboBox* islands = nullptr;  // "通常", "外側のみ", "無視"
    QPushButton* preview = nullptr;
    QPushButton* clearPicks = nullptr;
    QTimer* previewTimer = nullptr;  // a new preview once typing pauses

    std::vector<TRealPoint> picks;  // paper units, one per picked face
    TFillRegionReport report;       // of the last fill or preview
    bool reportValid = false;       // the report matches the options
    bool markersVisible = false;
    bool previewOn = false;  // "領域表示" was asked: every change shows the new regions
    int32_t hover = -1;      // face under the cursor
    // A click that came before the faces it picks from: picked once they are built.
    std::optional<TRealPoint> pendingPick;
    // What the fill will paint, in paper units (even-odd), and the loops for hovering
    // in the loop mode with their boxes.
    QPainterPath tint;
    std::vector<QPolygonF> loops;
    std::vector<QRectF> loopBoxes;
    int32_t hoverLoop = -1;
};

}  // namespace veldra
