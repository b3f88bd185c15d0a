// The fill command, OK and Cancel. The work itself is the shared fill pipeline, the
// same code the command line runs; the window feeds it the panel's options and the
// view, shows its messages and shows the saved picture in the view.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include "app/form1.h"
#include "app/form1_regions.h"
#include "display/canvas/canvas.h"

namespace veldra {

void TForm1::Button3Click() {
    if (!attributes_) return;
    Label2_->clear();
    FillOptions options;
    options.texturePath = Edit2_->text().toStdString();
    options.outputName = Edit1_->text().toStdString();
    options.arcDivisionsText = Edit3_->text().toStdString();
    options.depthItem = ComboBox1_->currentIndex();
    options.magnificationPercent = TrackBar1_->value();
    options.regions = RegionOptions();
    // The picture has the paint box's size.
    view_.viewWidth = PaintBox1_->width();
    view_.viewHeight = PaintBox1_->height();

    Button3_->setEnabled(false);
    // Escape stops a long face build, as it stops a long redraw.
    FillSession session{store_, *attributes_, view_, ProgramFolder_,
                        [this] { return escapePoll_.IsEscapeDown(); }};
    FillResult result = RunFillCommand(options, session, handBack_);
    if (result.status == FillStatus::Cancelled) {
        LabelA1_->setText(QStringLiteral("領域の作成を中断しました"));
    }
    Edit3_->setText(QString::number(result.arcDivisions));
    if (result.Ok()) {
        // The view shows the picture as saved, at its colour depth, until the next redraw.
        BandVisible_ = false;
        PaintBox1_->Canvas().Draw(0, 0, result.picture);
        PaintBox1_->update();
        Label2_->setText(QString::fromStdString(handBack_.outputPath));
        ImageOriginX_ = handBack_.ImageOriginX;
        ImageOriginY_ = handBack_.ImageOriginY;
        ImageWidth_ = handBack_.ImageWidth;
        regions_->report = std::move(result.regions);
        regions_->reportValid = true;
        ShowRegionReport(true);
    }
    if (!result.message.empty())
        dialogs_->ShowMessage(this, QString::fromStdString(result.message));
    Button3_->setEnabled(true);
}

void TForm1::Button1Click() {
    const ConfirmResult confirmed = ConfirmFill(handBack_, ProgramFolder_, store_);
    if (!confirmed.message.empty())
        dialogs_->ShowMessage(this, QString::fromStdString(confirmed.message));
    LabelA1_->setText(QStringLiteral("ファイル生成中です"));
    LabelA1_->repaint();
    close();
}

void TForm1::Button2Click() {
    close();
}

}  // namespace veldra
