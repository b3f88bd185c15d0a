// The options panel: its controls at their places, in tab order, and the work of
// their handlers (background, texture choice and preview, magnification, output name).

#include "app/options_panel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <cmath>

#include "app/form1.h"
#include "app/form1_help.h"
#include "app/form_dialogs.h"
#include "app/output_panel.h"
#include "app/path_fields.h"
#include "app/text_codec.h"
#include "fill/texture_fill.h"
#include "options/settings_file.h"

namespace veldra {

namespace {

const char* const kTrackBarHint = "右クリックで100％に戻ります";
const char* const kTrackBarHintTail = "％（右クリックで100％に戻ります）";

template <class Widget>
Widget* Place(Widget* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, top, width, height);
    return w;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

// Picture size times the magnification, a half going to the even neighbour.
int ScaledPreviewSide(int side, int percent) {
    return static_cast<int>(std::nearbyint(side * (percent / 100.0)));
}

}  // namespace

TOptionsPanel::TOptionsPanel(TForm1& form, TFormDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    QWidget* p = this;
    setObjectName(QStringLiteral("Panel2"));
    setAutoFillBackground(true);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, QColor(255, 251, 240));
    setPalette(cream);

    RadioGroup1_ =
        Place(new QGroupBox(QStringLiteral("背景色(&B)"), p), "RadioGroup1", 8, 8, 161, 49);
    auto* radios = new QHBoxLayout(RadioGroup1_);
    radios->setContentsMargins(8, 0, 8, 2);
    radioWhite_ = new QRadioButton(QStringLiteral("白"), RadioGroup1_);
    radioBlack_ = new QRadioButton(QStringLiteral("黒"), RadioGroup1_);
    radioWhite_->setObjectName(QStringLiteral("RadioGroup1Item0"));
    radioBlack_->setObjectName(QStringLiteral("RadioGroup1Item1"));
    radios->addWidget(radioWhite_);
    radios->addWidget(radioBlack_);
    radioWhite_->setChecked(true);
    connect(radioWhite_, &QRadioButton::clicked, this, [&form] { form.RadioGroup1Click(); });
    connect(radioBlack_, &QRadioButton::clicked, this, [&form] { form.RadioGroup1Click(); });

    Button4_ = Place(new QPushButton(QStringLiteral("参照"), p), "Button4", 8, 56, 41, 21);
    QFont small = font();
    small.setPixelSize(12);
    Button4_->setFont(small);
    connect(Button4_, &QPushButton::clicked, this, [&form] { form.Button4Click(); });

    Edit2_ = Place(new TPathEdit(p), "Edit2", 48, 56, 121, 20);
    Edit2_->setReadOnly(true);
    Edit2_->setFocusPolicy(Qt::ClickFocus);

    ScrollBox2_ = Place(new QScrollArea(p), "ScrollBox2", 8, 80, 161, 105);
    ScrollBox2_->setWidgetResizable(false);
    Image1_ = new QLabel;
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setScaledContents(true);
    Image1_->setGeometry(0, 0, 50, 50);
    ScrollBox2_->setWidget(Image1_);

    Label1_ = PlaceLabel(p, "Label1", QStringLiteral("倍率"), 8, 192);

    TrackBar1_ = Place(new QSlider(Qt::Horizontal, p), "TrackBar1", 40, 184, 97, 25);
    TrackBar1_->setFocusPolicy(Qt::StrongFocus);
    TrackBarValue_ = Place(new QLabel(p), "TrackBarValue", 137, 188, 34, 16);
    TrackBarValue_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TrackBar1_->setRange(kMinMagnification, kMaxMagnification);
    TrackBar1_->setValue(100);
    TrackBar1_->setTickInterval(20);
    TrackBar1_->setTickPosition(QSlider::TicksBelow);
    TrackBar1_->setSingleStep(1);
    TrackBar1_->setPageStep(2);
    TrackBar1_->setToolTip(QString::fromUtf8(kTrackBarHint));
    TrackBar1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TrackBar1_, &QSlider::valueChanged, this, [&form] { form.TrackBar1Change(); });
    connect(TrackBar1_, &QSlider::customContextMenuRequested, this,
            [&form] { form.TrackBar1ContextPopup(); });

    Button5_ =
        Place(new QPushButton(QStringLiteral("画像ファイル名(&I)"), p), "Button5", 8, 208, 161, 25);
    connect(Button5_, &QPushButton::clicked, this, [&form] { form.Button5Click(); });

    Edit1_ = Place(new TPathEdit(p), "Edit1", 8, 232, 161, 21);

    Label2_ = Place(new TPathLabel(p), "Label2", 8, 256, 161, 16);

    Label5_ = PlaceLabel(p, "Label5", QStringLiteral("保存画像色"), 8, 276);
    ComboBox1_ = Place(new QComboBox(p), "ComboBox1", 88, 272, 81, 21);
    ComboBox1_->addItems({QStringLiteral("2色"), QStringLiteral("16色"), QStringLiteral("256色"),
                          QStringLiteral("24bit色"), QStringLiteral("32bit色")});
    ComboBox1_->setCurrentIndex(3);

    Label4_ = PlaceLabel(p, "Label4", QStringLiteral("円弧分割数"), 8, 300);
    Edit3_ = Place(new QLineEdit(QStringLiteral("24"), p), "Edit3", 96, 296, 73, 21);

    Button3_ =
        Place(new QPushButton(QStringLiteral("作図実行(&G)"), p), "Button3", 88, 324, 83, 25);
    connect(Button3_, &QPushButton::clicked, this, [&form] { form.Button3Click(); });
    // The picture for print: resolution, area and paper-tied texture, in a pop-up.
    ButtonOutput_ =
        Place(new QPushButton(QStringLiteral("出力設定(&P)"), p), "ButtonOutput", 8, 324, 77, 25);
    ButtonOutput_->setFont(small);
    outputPanel_ = new TOutputPanel(ButtonOutput_, this);
    outputPanel_->onChanged = [this] {
        if (onOutputChanged) onOutputChanged();
    };
    connect(ComboBox1_, &QComboBox::currentIndexChanged, this, [this] {
        if (onOutputChanged) onOutputChanged();
    });
    connect(Edit3_, &QLineEdit::textChanged, this, [this] {
        if (onArcDivisionsEdited) onArcDivisionsEdited();
    });

    Memo1_ = Place(new QPlainTextEdit(p), "Memo1", 0, 352, 177, 145);
    Memo1_->setReadOnly(true);
    Memo1_->setFocusPolicy(Qt::ClickFocus);
    Memo1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette blue = Memo1_->palette();
    blue.setColor(QPalette::Base, QColor(187, 235, 244));
    Memo1_->setPalette(blue);
    Memo1_->setPlainText(HelpText());

    Button1_ = Place(new QPushButton(QStringLiteral("ＯＫ(&Y)"), p), "Button1", 0, 496, 73, 25);
    connect(Button1_, &QPushButton::clicked, this, [&form] { form.Button1Click(); });
    Button2_ =
        Place(new QPushButton(QStringLiteral("キャンセル(&N)"), p), "Button2", 72, 496, 105, 25);
    connect(Button2_, &QPushButton::clicked, this, [&form] { form.Button2Click(); });

    for (QRadioButton* radio : {radioWhite_, radioBlack_}) radio->setFocusPolicy(Qt::StrongFocus);
    ScrollBox2_->setFocusPolicy(Qt::NoFocus);  // the preview only shows the texture
}

void TOptionsPanel::LoadTexturePreview() {
    const QString path = Edit2_->text();
    previewPicture_ = QImage();
    Image1_->clear();
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        // The same decoding as the fill; an unreadable picture leaves the preview empty.
        previewPicture_ = LoadTexturePicture(ToPath(path));
        if (!previewPicture_.isNull()) Image1_->setPixmap(QPixmap::fromImage(previewPicture_));
    }
    ShowMagnification();
}

void TOptionsPanel::ChooseTexture() {
    const QFileInfo current(Edit2_->text());
    const std::optional<QString> chosen = dialogs_.ChooseTexture(
        window(), Edit2_->text().isEmpty() ? QString() : current.path(), current.fileName());
    if (!chosen) return;
    Edit2_->setText(*chosen);
    Edit2_->setCursorPosition(0);
    LoadTexturePreview();
}

void TOptionsPanel::ChooseOutputName() {
    const QFileInfo current(Edit1_->text());
    const std::optional<QString> chosen = dialogs_.ChooseOutput(
        window(), Edit1_->text().isEmpty() ? QString() : current.path(), current.fileName());
    if (chosen) Edit1_->setText(*chosen);
}

void TOptionsPanel::ShowMagnification() {
    const int position = TrackBar1_->value();
    TrackBar1_->setToolTip(QString::number(position) + QString::fromUtf8(kTrackBarHintTail));
    TrackBarValue_->setText(QString::number(position) + QStringLiteral("%"));
    if (previewPicture_.isNull()) {
        Image1_->resize(0, 0);
        return;
    }
    Image1_->resize(ScaledPreviewSide(previewPicture_.width(), position),
                    ScaledPreviewSide(previewPicture_.height(), position));
}

void TOptionsPanel::ResetMagnification() {
    TrackBar1_->setValue(100);
    ShowMagnification();  // also when it stood at 100 already
}

TFillOptions TOptionsPanel::FillOptions(const TFillRegionOptions& regions) const {
    TFillOptions options;
    options.texturePath = Edit2_->text().toStdString();
    options.outputName = Edit1_->text().toStdString();
    options.arcDivisions = ArcDivisions();
    options.bitsPerPixel = BitsPerPixelOfDepthItem(ComboBox1_->currentIndex());
    options.magnificationPercent = TrackBar1_->value();
    options.regions = regions;
    outputPanel_->FillIn(options);
    return options;
}

int32_t TOptionsPanel::ArcDivisions() const {
    return ArcDivisionsOfText(Edit3_->text().toStdString());
}

int32_t TOptionsPanel::BackgroundMode() const {
    return radioBlack_->isChecked() ? 1 : 0;
}

void TOptionsPanel::Apply(const TSettings& s) {
    Edit1_->setText(FromShiftJis(s.outputName));
    Edit2_->setText(FromShiftJis(s.textureName));
    Edit2_->setCursorPosition(0);  // show the start of a long path
    if (s.backgroundLoaded) (s.background == 0 ? radioWhite_ : radioBlack_)->setChecked(true);
    Edit3_->setText(FromShiftJis(s.arcDivisions));
    ComboBox1_->setCurrentIndex(s.colourDepth);
    TrackBar1_->setValue(s.magnification);
    ShowMagnification();  // also when the position did not change
    outputPanel_->Apply(s);
}

void TOptionsPanel::Collect(TSettings& s) const {
    s.outputName = ToShiftJis(Edit1_->text());
    s.textureName = ToShiftJis(Edit2_->text());
    s.background = BackgroundMode();
    s.arcDivisions = ToShiftJis(Edit3_->text());
    s.colourDepth = ComboBox1_->currentIndex();
    s.magnification = TrackBar1_->value();
    outputPanel_->Collect(s);
}

void TOptionsPanel::ShowTiling(bool tiled) {
    tiled_ = tiled;
    TrackBar1_->setEnabled(!tiled_ && !fillRunning_);
    TrackBar1_->setToolTip(tiled ? QStringLiteral("模様の幅を指定している時は倍率を使いません。")
                                 : QString::number(TrackBar1_->value()) +
                                       QString::fromUtf8(kTrackBarHintTail));
}

void TOptionsPanel::ShowArcDivisions(int32_t divisions) {
    Edit3_->setText(QString::number(divisions));
}

void TOptionsPanel::ShowOutputPath(const QString& path) {
    Label2_->setText(path);
}

void TOptionsPanel::SetOutputName(const QString& name) {
    Edit1_->setText(name);
}

void TOptionsPanel::SetFillRunning(bool running) {
    fillRunning_ = running;
    for (QWidget* w :
         std::initializer_list<QWidget*>{RadioGroup1_, Button4_, Button5_, Edit1_, ComboBox1_,
                                         Edit3_, ButtonOutput_, Button3_, Button1_}) {
        w->setEnabled(!running);
    }
    TrackBar1_->setEnabled(!tiled_ && !fillRunning_);
}

void TOptionsPanel::SetFillEnabled(bool enabled) {
    Button3_->setEnabled(enabled);
}

std::vector<QWidget*> TOptionsPanel::TabOrderAbove() const {
    return {radioWhite_, radioBlack_, Button4_, TrackBar1_,    Button5_,
            Edit1_,      ComboBox1_,  Edit3_,   ButtonOutput_, Button3_};
}

std::vector<QWidget*> TOptionsPanel::TabOrderBelow() const {
    return {Button1_, Button2_};
}

bool TOptionsPanel::ScrollsItself(const QWidget* widget) const {
    const auto within = [widget](const QWidget* w) {
        return w == widget || w->isAncestorOf(widget);
    };
    return within(Memo1_) || within(ScrollBox2_);
}

}  // namespace veldra
