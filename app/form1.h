#pragma once

// The main window: the drawing view (PaintBox1), the options panel (Panel2), the
// status line (LabelA1) and the information strip. It reads the exchange file when
// first shown and writes it back on every close. The handlers keep the names of the
// system's window (component plus event).

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/background_work.h"
#include "app/escape_poll.h"
#include "app/form_dialogs.h"
#include "attributes/gra_attribute.h"
#include "exchange/entity_store.h"
#include "fill/fill_pipeline.h"
#include "view/view_state.h"

class QCheckBox;
class QComboBox;
class QPainter;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;

namespace veldra {

class TCanvas;
class TDrawingView;
class TForm1;
class TOptionsPanel;
struct TSettings;
class TRegionPanel;

// The drawing view. What it shows is its canvas, which the window draws into;
// painting only puts the canvas on screen. The canvas follows the widget's size.
class TPaintBox : public QWidget {
  public:
    explicit TPaintBox(TForm1& form, QWidget* parent);
    ~TPaintBox() override;
    // The canvas at the widget's current size (a new blank one after a resize).
    TCanvas& Canvas();
    // True when the canvas exists and matches the widget's size.
    bool HasCanvas() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    TForm1& form_;
    std::unique_ptr<TCanvas> canvas_;
};

// Where the window keeps its files: the program folder holds the exchange file and
// the temporary bitmap; the settings file normally sits beside the executable.
struct TFormPaths {
    std::filesystem::path programFolder;
    std::filesystem::path settingsFile;
};

// The file layer's problem and the system's error number as one Japanese reason.
QString FileProblemMessage(TFileProblem problem, int systemError);

class TForm1 : public QWidget {
  public:
    // `dialogs` may be null for the toolkit's own dialogs.
    TForm1(TFormPaths paths, std::unique_ptr<TFormDialogs> dialogs = nullptr);
    ~TForm1() override;

    // Handlers of the system's window.
    void FormShow();
    void FormResize();
    void FormClose();
    void PaintBox1Paint();
    void PaintBox1MouseDown(Qt::MouseButtons buttons, Qt::KeyboardModifiers keys, QPoint pos,
                            bool doubleClick);
    void PaintBox1MouseMove(QPoint pos);
    void PaintBox1MouseUp(QPoint pos);
    void FormMouseWheelDown(QPoint globalPos);
    void FormMouseWheelUp(QPoint globalPos);
    // True when the key was handled (and so consumed).
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void RadioGroup1Click();
    void Button4Click();
    void Button5Click();
    void TrackBar1Change();
    void TrackBar1ContextPopup();
    void Button3Click();
    void Button1Click();
    void Button2Click();
    // The status line after a fill: the picture's pixel size and resolution.
    void ShowPictureStatus(const TFillResult& result);
    static QString PictureStatusText(const TFillResult& result);

    // View operations; each ends by redrawing.
    void RedrawView();
    void FitView();
    void ZoomAt(QPoint globalPos, double factor);
    void ZoomToRect(double x1, double y1, double x2, double y2);
    void ZoomOutAt(double x1, double y1, double x2, double y2);
    void CentreViewAt(double x, double y);
    void PreviousView();
    void DrawRubberBand();

    // Region options, markers and picks (form1_regions.cpp).
    void PreviewRegions();
    void ClearPicks();
    // Highlights and markers over the paint box, on screen only.
    void PaintRegionOverlay(QPainter& painter);
    const TRegionPanel& Regions() const { return *regions_; }
    // True when the key goes to the view rather than to the control with the focus.
    bool ViewTakesKey(const QWidget* focus, int key) const;
    // The picture's pixel size and bytes at the panel's options (0 x 0 when unknown).
    struct TPictureSize {
        int64_t width = 0, height = 0;
        double megabytes = 0.0;
    };
    TPictureSize PlannedPictureSize(const TFillOptions& options) const;
    TFillOptions PanelFillOptions() const;
    // The drawing's texts drawn into the view (screen only).
    void DrawTexts(TCanvas& canvas);
    // True while the fill picture stands in the view (no tint over it).
    bool FillShown() const;
    // True while a region build or a fill runs off the interface thread.
    bool IsWorking() const { return work_.Busy(); }
    // Threads of builds not yet joined, abandoned ones included.
    size_t WorkThreads() const { return work_.Threads(); }

    // State the tests look at.
    const TViewState& View() const;
    const TJwwEntityStore& Store() const { return store_; }
    const QImage& ViewBitmap() const;
    bool IsViewReady() const { return ViewReady_; }
    TPaintBox* PaintBox() const { return PaintBox1_; }
    const std::filesystem::path& TempImagePath() const { return TempImagePath_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // The work of the fill command, OK and Cancel (Button3, Button1, Button2).
    void OnFillRequested();
    void OnOkRequested();
    void OnCancelRequested();
    void CreateComponents();
    void LayoutComponents();
    void ApplySettings(const TSettings& settings);
    TSettings CollectSettings() const;
    void CreateRegionOptions();
    void SetTabOrder();
    void SchedulePreview();
    void UpdateRegionControls();
    void UpdateOutputLine();
    bool ConfirmPictureSize(const TFillOptions& options);
    void OfferAnotherOutput(const QString& failedPath);
    void CloseDecided();
    bool MayClose();
    QString FillMessage(const TFillResult& result, const TFillOptions& options) const;
    TFillRegionOptions RegionOptions() const;
    void RegionOptionsChanged();
    void IslandModeChanged();
    // The region build runs on its own thread; its result arrives in RegionBuildDone.
    void StartRegionBuild();
    struct TRegionBuildResult;
    void RegionBuildDone(TRegionBuildResult& built);
    // What runs off the interface thread now, and what may not start meanwhile.
    enum class TWorkKind { None, RegionBuild, Fill };
    void WorkStarted(TWorkKind kind);
    void WorkEnded();
    // Escape: a region build is abandoned at once, a fill stops at its next poll.
    void StopWork();
    struct TFillRun;
    void FillDone(const TFillRun& run, TFillResult& result, const TFillHandBack& made);
    // Picks the face under `at` or takes its pick back; false when no face is there.
    bool PickFaceAt(TRealPoint at);
    void ShowRegionReport(bool filled);
    void RegionHover(QPoint pos);
    // True when the release ends a click that picked or dropped a face.
    bool RegionClick(QPoint press, QPoint release);
    void SaveViewSize();
    void SetColourTable(int32_t mode);

    TFormPaths paths_;
    std::unique_ptr<TFormDialogs> dialogs_;
    TEscapePoll escapePoll_;

    // Window state.
    int32_t SavedLeft_ = 0, SavedTop_ = 0, SavedWidth_ = 475, SavedHeight_ = 475;
    std::optional<QPoint> pendingFrameOrigin_;  // where the frame goes once it exists
    bool ViewReady_ = false;
    bool shown_ = false;
    bool closed_ = false;
    bool closeDecided_ = false;  // OK or Cancel chose to close: the close box asks first
    QString pictureStatus_;      // the status of the picture OK hands back
    QStringList closeMessages_;  // what the close could not do, told before the exit
    std::filesystem::path ProgramFolder_;
    std::filesystem::path TempImagePath_;
    double ImageOriginX_ = 0.0, ImageOriginY_ = 0.0, ImageWidth_ = 0.0;
    TFillHandBack handBack_;  // Label2 and the placement of the last fill command

    int wheelRemainder_ = 0;  // a wheel turn short of one notch (touchpads)

    // The drawing.
    TJwwEntityStore store_;
    std::unique_ptr<TgraAttribute> attributes_;

    // Components.
    TPaintBox* PaintBox1_ = nullptr;
    QScrollArea* panelScroll_ = nullptr;
    TOptionsPanel* Panel2_ = nullptr;  // the options panel
    QLabel* LabelA1_ = nullptr;
    QScrollArea* ScrollBox1_ = nullptr;
    QWidget* Panel1_ = nullptr;
    QLabel* outputLine_ = nullptr;     // the output settings and the picture's size
    QCheckBox* CheckTexts_ = nullptr;  // "文字表示": the drawing's texts in the view
    std::unique_ptr<TRegionPanel> regions_;
    std::unique_ptr<TDrawingView> drawing_;  // what the paint box shows, and its gestures

    // Last: its threads read the drawing and are joined before the members go.
    TBackgroundWork work_;
    TWorkKind working_ = TWorkKind::None;
};

}  // namespace veldra
