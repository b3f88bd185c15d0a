#pragma once

// The region options of the window and what it keeps of the last region build: the
// faces to pick from, the picks, the open ends and joins the view marks.

#include <cstdint>
#include <vector>

#include "common/real_point.h"
#include "regions/region_modes.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace veldra {

struct TRegionPanel {
    QLabel* modeLabel = nullptr;
    QComboBox* mode = nullptr;  // "端点連結", "交点で分割"
    QLabel* gapLabel = nullptr;
    QLineEdit* gap = nullptr;  // "すき間許容" in paper mm
    QLabel* islandLabel = nullptr;
    QComboBox* islands = nullptr;  // "通常", "外側のみ", "無視"
    QPushButton* preview = nullptr;
    QPushButton* clearPicks = nullptr;

    std::vector<TRealPoint> picks;  // paper units, one per picked face
    TFillRegionReport report;       // of the last fill or preview
    bool reportValid = false;       // the report matches the options
    bool markersVisible = false;
    int32_t hover = -1;  // face under the cursor
};

}  // namespace veldra
