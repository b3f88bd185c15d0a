#pragma once

// The options of the picture for print, one click away from the options panel: the
// button "出力設定" opens a small pop-up with the output resolution, the output area and
// the texture tied to the paper. Its values go into the fill options and the settings.

#include <QFrame>
#include <functional>

#include "fill/fill_pipeline.h"

class QComboBox;
class QDoubleSpinBox;
class QPushButton;

namespace veldra {

struct TSettings;

class TOutputPanel : public QFrame {
  public:
    // The pop-up opens below `opener` when it is clicked.
    TOutputPanel(QPushButton* opener, QWidget* parent);

    // The options as set; a typed resolution that is no number of dpi is -1, which the
    // fill command refuses with its message.
    TPrintOptions Values() const;
    void SetValues(const TPrintOptions& print);
    void FillIn(TFillOptions& options) const;
    void Apply(const TSettings& settings);
    void Collect(TSettings& settings) const;
    // Opens the pop-up below its button.
    void Open();
    // The opener's tooltip: what is set now.
    QString Summary() const;
    // Called after every change of an option.
    std::function<void()> onChanged;

  private:
    void Changed();

    QPushButton* opener_;
    QComboBox* resolution_;
    QComboBox* area_;
    QDoubleSpinBox* tileWidth_;
    QDoubleSpinBox* tileAngle_;
};

// The resolution typed or chosen: 0 for "画面と同じ", the dpi, or -1 when the text is
// neither (the fill command then refuses it).
int32_t ParseResolutionText(const QString& text);

}  // namespace veldra
