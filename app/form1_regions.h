#pragma once

// The region options of the window and what it keeps of the last region build: the
// faces to pick from, the picks, the open ends and joins the view marks.

#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/real_point.h"
#include "regions/region_modes.h"

class QComboBox;
class QTimer;
class QLabel;
class QLineEdit;
class QPushButton;

namespace veldra {

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

struct TRegionPanel {
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
