#include "app/output_panel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "options/settings_file.h"

namespace veldra {

namespace {

const char* const kSameAsScreen = "画面と同じ";

}  // namespace

int32_t ParseResolutionText(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QString::fromUtf8(kSameAsScreen)) return 0;
    QString digits = t;
    if (digits.endsWith(QStringLiteral("dpi"), Qt::CaseInsensitive)) digits.chop(3);
    bool ok = false;
    const int value = digits.trimmed().toInt(&ok);
    return ok && value > 0 ? value : -1;
}

TOutputPanel::TOutputPanel(QPushButton* opener, QWidget* parent)
    : QFrame(parent, Qt::Popup), opener_(opener) {
    setObjectName(QStringLiteral("OutputPanel"));
    setFrameShape(QFrame::StyledPanel);
    auto* form = new QFormLayout(this);
    form->setContentsMargins(8, 8, 8, 8);

    resolution_ = new QComboBox(this);
    resolution_->setObjectName(QStringLiteral("OutputResolution"));
    resolution_->setEditable(true);
    resolution_->addItems({QString::fromUtf8(kSameAsScreen), QStringLiteral("150"),
                           QStringLiteral("300"), QStringLiteral("600")});
    resolution_->setToolTip(QStringLiteral(
        "保存する画像の解像度（用紙上の dpi）。\n「画面と同じ」は表示の画素数のままです。\n"
        "10～4800 の数値も入力できます。"));
    form->addRow(QStringLiteral("解像度"), resolution_);

    area_ = new QComboBox(this);
    area_->setObjectName(QStringLiteral("OutputArea"));
    area_->addItems({QStringLiteral("表示範囲"), QStringLiteral("塗り範囲")});
    area_->setToolTip(
        QStringLiteral("表示範囲：表示している範囲全体を画像にします。\n"
                       "塗り範囲：塗りつぶす領域（とその下のソリッド・画像）だけを画像にします。"));
    form->addRow(QStringLiteral("出力範囲"), area_);

    tileWidth_ = new QDoubleSpinBox(this);
    tileWidth_->setObjectName(QStringLiteral("TileWidth"));
    tileWidth_->setRange(0.0, kMaxTileMm);
    tileWidth_->setDecimals(2);
    tileWidth_->setSuffix(QStringLiteral(" mm"));
    tileWidth_->setSpecialValueText(QStringLiteral("使わない"));
    tileWidth_->setToolTip(
        QStringLiteral("テクスチャ1枚の用紙上の幅（mm）。用紙の原点から並べるので、\n"
                       "拡大率や解像度が変わっても模様が同じになり、隣の塗りとも揃います。\n"
                       "「使わない」は画面の画素で倍率どおりに並べます。"));
    form->addRow(QStringLiteral("模様の幅"), tileWidth_);

    tileAngle_ = new QDoubleSpinBox(this);
    tileAngle_->setObjectName(QStringLiteral("TileAngle"));
    tileAngle_->setRange(-kMaxTileAngleDeg, kMaxTileAngleDeg);
    tileAngle_->setDecimals(1);
    tileAngle_->setSuffix(QStringLiteral(" °"));
    tileAngle_->setToolTip(
        QStringLiteral("用紙に合わせた模様の角度（度、反時計回り）。模様の幅を使う時に有効です。"));
    form->addRow(QStringLiteral("模様の角度"), tileAngle_);

    connect(resolution_, &QComboBox::currentTextChanged, this, [this] { Changed(); });
    connect(area_, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    connect(tileWidth_, &QDoubleSpinBox::valueChanged, this, [this] { Changed(); });
    connect(tileAngle_, &QDoubleSpinBox::valueChanged, this, [this] { Changed(); });
    connect(opener_, &QPushButton::clicked, this, [this] { Open(); });
    Changed();
}

void TOutputPanel::Open() {
    adjustSize();
    move(opener_->mapToGlobal(QPoint(0, opener_->height())));
    show();
    resolution_->setFocus();
}

TPrintOptions TOutputPanel::Values() const {
    TPrintOptions print;
    print.dpi = ParseResolutionText(resolution_->currentText());
    print.area = area_->currentIndex() == 1 ? TOutputArea::Fill : TOutputArea::View;
    print.tileWidthMm = tileWidth_->value();
    print.tileAngleDeg = tileAngle_->value();
    return print;
}

void TOutputPanel::SetValues(const TPrintOptions& print) {
    if (print.dpi == kScreenResolution) {
        resolution_->setCurrentIndex(0);
    } else {
        resolution_->setCurrentText(QString::number(print.dpi));
    }
    area_->setCurrentIndex(print.area == TOutputArea::Fill ? 1 : 0);
    tileWidth_->setValue(print.tileWidthMm);
    tileAngle_->setValue(print.tileAngleDeg);
}

void TOutputPanel::FillIn(TFillOptions& options) const {
    options.print = Values();
}

void TOutputPanel::Apply(const TSettings& s) {
    SetValues(s.print);
}

void TOutputPanel::Collect(TSettings& s) const {
    s.print = Values();
    // A resolution that is no number is not kept: the next start shows "画面と同じ".
    if (s.print.dpi < 0) s.print.dpi = kScreenResolution;
}

QString TOutputPanel::Summary() const {
    QString text = QStringLiteral("出力設定：解像度 ") + resolution_->currentText();
    if (ParseResolutionText(resolution_->currentText()) > 0) text += QStringLiteral(" dpi");
    text += QStringLiteral("、") + area_->currentText();
    if (tileWidth_->value() > 0) {
        text +=
            QStringLiteral("、模様 %1 mm・%2°").arg(tileWidth_->value()).arg(tileAngle_->value());
    }
    return text;
}

void TOutputPanel::Changed() {
    tileAngle_->setEnabled(tileWidth_->value() > 0);
    opener_->setToolTip(Summary());
    if (onChanged) onChanged();
}

}  // namespace veldra
