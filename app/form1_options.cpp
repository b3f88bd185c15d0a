// The window's side of the options panel: its handlers, by the system's names,
// forward to the panel; the tab order runs through the panel and the region strip.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include "app/form1.h"
#include "app/options_panel.h"
#include "app/region_panel.h"

namespace veldra {

// Tab visits the panel from top to bottom, the region options and the view's options
// in the strip, then OK and Cancel, then the view. The read-only boxes take no tab stop.
void TForm1::SetTabOrder() {
    const TRegionPanel& r = *regions_;
    panelScroll_->setFocusPolicy(Qt::NoFocus);
    ScrollBox1_->setFocusPolicy(Qt::NoFocus);
    std::vector<QWidget*> order = Panel2_->TabOrderAbove();
    order.insert(order.end(),
                 {r.mode, r.gap, r.gapUnit, r.islands, r.preview, r.clearPicks, CheckTexts_});
    for (QWidget* w : Panel2_->TabOrderBelow()) order.push_back(w);
    order.push_back(PaintBox1_);
    for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void TForm1::RadioGroup1Click() {
    SetColourTable(Panel2_->BackgroundMode());
    RedrawView();
}

void TForm1::Button4Click() {
    Panel2_->ChooseTexture();
}

void TForm1::Button5Click() {
    Panel2_->ChooseOutputName();
}

void TForm1::TrackBar1Change() {
    Panel2_->ShowMagnification();
}

void TForm1::TrackBar1ContextPopup() {
    Panel2_->ResetMagnification();
}

}  // namespace veldra
