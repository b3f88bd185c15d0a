#include "app/form1.h"
#include "app/drawing_view.h"
#include "app/options_panel.h"
#include "app/region_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "app/text_codec.h"
#include "app/window_bounds.h"
#include "exchange/host_contract.h"
#include "options/settings_file.h"

namespace veldra {

namespace {

constexpr int kPanelWidth = 178;
constexpr int kPanelContentHeight = 521;  // lowest control: the OK and Cancel buttons
constexpr int kStatusHeight = 24;
constexpr int kStripHeight = 65;

const char* const kExchangeUnreadableMessage =
    "受け渡しファイル（JWC_TEMP.TXT）を読み込めませんでした。";
const char* const kSettingsUnreadableMessage =
    "設定ファイルを読み込めませんでした。既定の設定で起動します。";
const char* const kSettingsUnwritableMessage = "設定ファイルを保存できませんでした。";

// The system's font where it is installed, otherwise a Japanese gothic from the
// platform (a monospaced one first, like the original).
QFont WindowFont() {
    const QStringList families = QFontDatabase::families();
    const QStringList wanted = {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"),
                                QStringLiteral("Noto Sans Mono CJK JP"),
                                QStringLiteral("Noto Sans CJK JP")};
    QFont font;
    for (const QString& name : wanted) {
        if (families.contains(name)) {
            font.setFamily(name);
            break;
        }
    }
    font.setPixelSize(13);
    return font;
}

// Why a file of the window could not be read or written: what the file layer found
// and the system's own reason. A name that is no regular file is never opened, so
// the system has nothing to say about it.
QString FileReason(TFileProblem problem, int systemError) {
    QString reason;
    if (problem == TFileProblem::NotRegular) {
        return QStringLiteral("通常のファイルではありません（フォルダ、FIFO、デバイスなど）");
    }
    if (problem == TFileProblem::TooLarge) reason = QStringLiteral("ファイルが大きすぎます");
    if (systemError != 0) {
        const QString system = QString::fromStdString(std::generic_category().message(systemError));
        reason = reason.isEmpty() ? system : reason + QStringLiteral("：") + system;
    }
    return reason;
}

// The message, the file it is about and why.
QString FileMessage(const char* message, const std::filesystem::path& file, TFileProblem problem,
                    int systemError) {
    QString text = QString::fromUtf8(message) + QStringLiteral("\n") +
                   QDir::toNativeSeparators(FromPath(file));
    const QString reason = FileReason(problem, systemError);
    if (!reason.isEmpty()) text += QStringLiteral("\n理由：") + reason;
    return text;
}

}  // namespace

// Window creation: the graphic attributes with their start-up configuration, the
// zoom step, an empty mouse state, no bitmaps.
TForm1::TForm1(TFormPaths paths, std::unique_ptr<TFormDialogs> dialogs)
    : paths_(std::move(paths)),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<TFormDialogs>()) {
    ViewReady_ = false;
    attributes_ = std::make_unique<TgraAttribute>();
    ConfigureAtStartup(*attributes_);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Veldra"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(WindowFont());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    CreateComponents();
    resize(SavedWidth_, SavedHeight_);
    // The window sees keys and wheel turns before its controls.
    qApp->installEventFilter(this);
}

TForm1::~TForm1() {
    qApp->removeEventFilter(this);
    // A window destroyed without a close still hands the exchange file back.
    if (shown_ && !closed_) FormClose();
}

void TForm1::CreateComponents() {
    PaintBox1_ = new TPaintBox(*this, this);
    TDrawingView::THooks hooks;
    hooks.attributes = [this] { return attributes_.get(); };
    hooks.redraw = [this] { RedrawView(); };
    hooks.hover = [this](QPoint pos) { RegionHover(pos); };
    hooks.click = [this](QPoint press, QPoint release) { RegionClick(press, release); };
    drawing_ = std::make_unique<TDrawingView>(*PaintBox1_, store_, escapePoll_, std::move(hooks));
    PaintBox1_->setObjectName(QStringLiteral("PaintBox1"));

    panelScroll_ = new QScrollArea(this);
    panelScroll_->setFrameShape(QFrame::NoFrame);
    panelScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelScroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    panelScroll_->setWidgetResizable(false);
    Panel2_ = new TOptionsPanel(*this, *dialogs_, this);
    panelScroll_->setPalette(Panel2_->palette());
    panelScroll_->setWidget(Panel2_);
    Panel2_->onOutputChanged = [this] { UpdateOutputLine(); };
    Panel2_->onArcDivisionsEdited = [this] { RegionOptionsChanged(); };

    LabelA1_ = new QLabel(QStringLiteral("\u3000"), this);
    LabelA1_->setObjectName(QStringLiteral("LabelA1"));
    LabelA1_->setAlignment(Qt::AlignCenter);
    LabelA1_->setAutoFillBackground(true);
    QPalette grey = LabelA1_->palette();
    grey.setColor(QPalette::Window, QColor(0xE7, 0xE7, 0xE7));
    LabelA1_->setPalette(grey);

    // The information strip stays empty.
    ScrollBox1_ = new QScrollArea(this);
    ScrollBox1_->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1_->setFrameShape(QFrame::NoFrame);
    Panel1_ = new QWidget;
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->resize(600, 200);
    ScrollBox1_->setWidget(Panel1_);
    CreateRegionOptions();
    SetTabOrder();
}

// The strips span the bottom, the options panel the right edge above them, the view
// the rest. A panel shorter than its controls scrolls instead of hiding OK and Cancel.
void TForm1::LayoutComponents() {
    const int w = width();
    const int h = height();
    ScrollBox1_->setGeometry(0, h - kStripHeight, w, kStripHeight);
    LabelA1_->setGeometry(0, h - kStripHeight - kStatusHeight, w, kStatusHeight);
    const int above = std::max(0, h - kStripHeight - kStatusHeight);
    const bool scrolls = above < kPanelContentHeight;
    const int barWidth = scrolls ? panelScroll_->verticalScrollBar()->sizeHint().width() : 0;
    const int panelColumn = kPanelWidth + barWidth;
    panelScroll_->setGeometry(w - panelColumn, 0, panelColumn, above);
    Panel2_->resize(kPanelWidth, std::max(above, kPanelContentHeight));
    PaintBox1_->setGeometry(0, 0, std::max(0, w - panelColumn), above);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutComponents();
    FormResize();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!closed_ && shown_ && !MayClose()) {
        event->ignore();
        return;
    }
    if (!closed_) {
        FormClose();
        // Before the program ends: the host would otherwise read its own selection
        // (or nothing) back without anyone knowing why.
        for (const QString& message : std::exchange(closeMessages_, {}))
            dialogs_->ShowError(this, message);
    }
    event->accept();
}

// Window showing: the store, the exchange file, the settings, the texture preview
// and the view, in this order.
void TForm1::FormShow() {
    ProgramFolder_ = paths_.programFolder;
    TempImagePath_ = veldra::TempImagePath(ProgramFolder_);
    // The same start-up as veldra-cli's: the selection, "bz" queued when the host
    // sent it, the first layer group and layer.
    TFileProblem exchangeProblem = TFileProblem::None;
    errno = 0;
    LoadHostSelection(store_, ProgramFolder_, &exchangeProblem);
    const int exchangeError = errno;
    TFileProblem settingsProblem = TFileProblem::None;
    errno = 0;
    const TSettings settings = LoadSettings(paths_.settingsFile, &settingsProblem);
    const int settingsError = errno;
    ApplySettings(settings);
    // Missing files are the ordinary start; anything else the user should know of,
    // once the window is up, with the file and why.
    QStringList startMessages;
    if (exchangeProblem != TFileProblem::None && exchangeProblem != TFileProblem::Missing) {
        startMessages << FileMessage(kExchangeUnreadableMessage, ExchangeFilePath(ProgramFolder_),
                                     exchangeProblem, exchangeError);
    }
    if (settingsProblem != TFileProblem::None && settingsProblem != TFileProblem::Missing) {
        startMessages << FileMessage(kSettingsUnreadableMessage, paths_.settingsFile,
                                     settingsProblem, settingsError);
    }
    if (!startMessages.isEmpty()) {
        QTimer::singleShot(0, this, [this, startMessages] {
            for (const QString& message : startMessages) dialogs_->ShowError(this, message);
        });
    }
    // The room on each screen (the primary first) for the client area, less the frame
    // where the frame is known already.
    const QSize frame = frameGeometry().size() - geometry().size();
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        screens << QRect(area.topLeft(), area.size() - frame);
    }
    const QRect bounds =
        RestoredBounds(QPoint(SavedLeft_, SavedTop_), QSize(SavedWidth_, SavedHeight_), screens,
                       QSize(kMinWindowWidth, kMinWindowHeight));
    move(bounds.topLeft());
    // Before a window manager frames the window, the toolkit can only place its
    // client area there; the frame goes there once it exists (first paint).
    pendingFrameOrigin_ = bounds.topLeft();
    resize(bounds.size());
    LayoutComponents();
    Panel2_->LoadTexturePreview();
    Panel2_->ShowOutputPath(QString());
    handBack_ = TFillHandBack{};
    ImageOriginX_ = ImageOriginY_ = ImageWidth_ = 0.0;
    FitView();  // no drawing yet: the first paint fits again and draws
    ViewReady_ = true;
    // The view has the keys until the user goes to a control.
    PaintBox1_->setFocus();
    UpdateRegionControls();
    UpdateOutputLine();
}

const TViewState& TForm1::View() const {
    return drawing_->View();
}

const QImage& TForm1::ViewBitmap() const {
    return drawing_->Bitmap();
}

bool TForm1::FillShown() const {
    return drawing_->FillShown();
}

// A window dragged below the minimum springs back; the view keeps its centre and scale.
void TForm1::FormResize() {
    if (!ViewReady_) return;
    SavedWidth_ = std::max(width(), kMinWindowWidth);
    SavedHeight_ = std::max(height(), kMinWindowHeight);
    if (SavedWidth_ != width() || SavedHeight_ != height()) resize(SavedWidth_, SavedHeight_);
    SaveViewSize();
    UpdateOutputLine();
}

void TForm1::SaveViewSize() {
    drawing_->FollowSize();
}

// Window closing: the temporary bitmap goes, the settings are saved and the exchange
// file is written back, whatever closed the window.
void TForm1::FormClose() {
    closed_ = true;
    // A build or fill still running reads the drawing that goes below: stopped, its
    // result dropped, and waited for (a face build stops within a poll).
    work_.AbandonAndJoinAll();
    working_ = TWorkKind::None;
    if (!ProgramFolder_.empty()) {
        RemoveTempImage(ProgramFolder_);
        RemoveFileOrLink(ProgramFolder_ / "rw47_keep.BMP");
    }
    drawing_->Release();
    const QPoint frameOrigin = PlatformFrameOrigin(*this).value_or(pos());
    SavedLeft_ = frameOrigin.x();
    SavedTop_ = frameOrigin.y();
    SavedWidth_ = std::max(width(), kMinWindowWidth);
    SavedHeight_ = std::max(height(), kMinWindowHeight);
    TFileProblem settingsProblem = TFileProblem::None;
    SaveSettings(paths_.settingsFile, CollectSettings(), &settingsProblem);
    if (settingsProblem == TFileProblem::NotRegular) {
        closeMessages_ << FileMessage(kSettingsUnwritableMessage, paths_.settingsFile,
                                      settingsProblem, 0);
    }
    errno = 0;
    if (!HandBackToHost(store_, ProgramFolder_)) {
        const int handBackError = errno;
        // A name that is no regular file is refused before any write.
        const TFileKind kind = FileKindOf(ExchangeFilePath(ProgramFolder_));
        const bool regular = kind == TFileKind::Regular || kind == TFileKind::Missing;
        closeMessages_ << FileMessage(
            kHandBackFailedMessage, ExchangeFilePath(ProgramFolder_),
            regular ? TFileProblem::WriteFailed : TFileProblem::NotRegular, handBackError);
    }
    ReleaseStore(store_);
    attributes_.reset();
}

// The view's keys reach the view unless the control with the focus edits with them
// (ViewTakesKey); a wheel turn over the view zooms it, over the panel it scrolls the
// panel and never zooms.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Paint && watched == this && pendingFrameOrigin_) {
        const QPoint wanted = *pendingFrameOrigin_;
        pendingFrameOrigin_.reset();
        if (!PlaceFrame(*this, wanted) && pos() != wanted) move(wanted);
    }
    if (type != QEvent::KeyPress && type != QEvent::Wheel) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this || !ViewReady_ || closed_) return false;
    if (type == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!ViewTakesKey(QApplication::focusWidget(), key->key())) return false;
        return FormKeyDown(key->key(), key->modifiers());
    }
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint at = wheel->globalPosition().toPoint();
    // Over the options panel the wheel scrolls the panel (the help text and the
    // preview scroll themselves first); a passing wheel never changes the colour
    // depth or the magnification.
    if (panelScroll_->isAncestorOf(widget)) {
        QWidget* viewport = panelScroll_->viewport();
        if (widget != viewport && viewport->isAncestorOf(widget) &&
            !Panel2_->ScrollsItself(widget)) {
            QCoreApplication::sendEvent(viewport, event);
            return true;
        }
        return false;  // the panel's own scroll bar, the help text, the preview
    }
    // Only a wheel over the view zooms: a turn the panel did not use (scrolled to its
    // end) comes back to the window and must not zoom the drawing.
    if (!PaintBox1_->rect().contains(PaintBox1_->mapFromGlobal(at))) return widget == this;
    // Touchpads send small steps: one zoom step per notch of 120.
    wheelRemainder_ += wheel->angleDelta().y();
    while (wheelRemainder_ <= -120) {
        wheelRemainder_ += 120;
        FormMouseWheelDown(at);
    }
    while (wheelRemainder_ >= 120) {
        wheelRemainder_ -= 120;
        FormMouseWheelUp(at);
    }
    return true;
}

void TForm1::ApplySettings(const TSettings& s) {
    SavedLeft_ = s.savedLeft;
    SavedTop_ = s.savedTop;
    SavedWidth_ = s.savedWidth;
    SavedHeight_ = s.savedHeight;
    if (s.backgroundLoaded) SetColourTable(s.background);
    Panel2_->Apply(s);
    regions_->Apply(s.regionMode, s.gapTolerance, s.islandMode, s.gapUnit);
    CheckTexts_->setChecked(s.showTexts);
}

TSettings TForm1::CollectSettings() const {
    TSettings s;
    s.savedLeft = SavedLeft_;
    s.savedTop = SavedTop_;
    s.savedWidth = SavedWidth_;
    s.savedHeight = SavedHeight_;
    Panel2_->Collect(s);
    regions_->Collect(s.regionMode, s.gapTolerance, s.islandMode, s.gapUnit);
    s.showTexts = CheckTexts_->isChecked();
    return s;
}

void TForm1::SetColourTable(int32_t mode) {
    if (!attributes_) return;
    attributes_->SetBackground(mode);
    attributes_->BuildPenColors();
}

}  // namespace veldra
