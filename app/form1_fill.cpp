// The fill command, OK and Cancel. The work itself is the shared fill pipeline, the
// same code the command line runs; the window feeds it the panel's options and the
// view, shows its messages and shows the saved picture in the view.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <QElapsedTimer>

#include "app/form1.h"
#include "app/form1_output.h"
#include "app/form1_regions.h"
#include "display/canvas/canvas.h"

namespace veldra {

void TForm1::Button3Click() {
    if (!attributes_) return;
    Label2_->clear();
    FillOptions options;
    options.texturePath = Edit2_->text().toStdString();
    options.outputName = Edit1_->text().toStdString();
    options.arcDivisions = ArcDivisionsOfText(Edit3_->text().toStdString());
    options.bitsPerPixel = BitsPerPixelOfDepthItem(ComboBox1_->currentIndex());
    options.magnificationPercent = TrackBar1_->value();
    options.regions = RegionOptions();
    outputPanel_->FillIn(options);
    // The picture has the paint box's size.
    view_.viewWidth = PaintBox1_->width();
    view_.viewHeight = PaintBox1_->height();

    Button3_->setEnabled(false);
    // A fill that takes longer than half a second shows how far it is; holding Escape
    // stops it (also during a long face build) and leaves no picture.
    QElapsedTimer clock;
    clock.start();
    FillSession session{store_, *attributes_, view_, ProgramFolder_,
                        [this] { return escapePoll_.IsEscapeDown(); }};
    session.progress = [this, &clock](double done) {
        if (clock.elapsed() >= 500) {
            LabelA1_->setText(QStringLiteral("作図中です… %1％（Esc キーで中止）")
                                  .arg(static_cast<int>(done * 100)));
            LabelA1_->repaint();
        }
        return escapePoll_.IsEscapeDown();
    };
    FillResult result = RunFillCommand(options, session, handBack_);
    ShowPictureStatus(result);
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
        LabelA1_->setText(LabelA1_->text() + QStringLiteral("\u3000") + PictureStatusText(result));
    }
    if (!result.message.empty())
        dialogs_->ShowMessage(this, QString::fromStdString(result.message));
    Button3_->setEnabled(true);
}

QString TForm1::PictureStatusText(const FillResult& result) {
    const QString resolution = result.pictureDpi == 0
                                   ? QStringLiteral("画面と同じ解像度")
                                   : QStringLiteral("%1 dpi").arg(result.pictureDpi);
    return QStringLiteral("保存画像 %1 × %2 ピクセル（%3）")
        .arg(result.pictureWidth)
        .arg(result.pictureHeight)
        .arg(resolution);
}

// After a fill the status line gives the regions filled, the open ends and the
// picture saved; a stopped fill says so.
void TForm1::ShowPictureStatus(const FillResult& result) {
    if (result.status == FillStatus::Cancelled) {
        LabelA1_->setText(QStringLiteral("作図を中止しました"));
    } else if (result.Ok()) {
        LabelA1_->setText(PictureStatusText(result));
    } else {
        LabelA1_->setText(QStringLiteral("\u3000"));
    }
    LabelA1_->repaint();
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
