#pragma once

// The options panel (Panel2) on the right of the window: background, texture and its
// preview, magnification, output name, colour depth, arc divisions, the fill button,
// the options of the picture for print, the help text, OK and Cancel. It reads its
// controls into the typed fill options and the settings, and does the work of its
// own handlers; the window keeps the handlers' names and forwards to it.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "fill/fill_pipeline.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;

namespace veldra {

class TForm1;
class TFormDialogs;
class TOutputPanel;
struct TSettings;

class TOptionsPanel : public QWidget {
  public:
    // The controls call the window's handlers; the file dialogs go through `dialogs`.
    TOptionsPanel(TForm1& form, TFormDialogs& dialogs, QWidget* parent = nullptr);

    // The fill options as the panel sets them, with the region options of the strip.
    TFillOptions FillOptions(const TFillRegionOptions& regions) const;
    // The division count as typed (limited as the fill limits it).
    int32_t ArcDivisions() const;
    // 0 white, 1 black.
    int32_t BackgroundMode() const;
    void Apply(const TSettings& settings);
    void Collect(TSettings& settings) const;

    // The work of the handlers of the same controls.
    void ChooseTexture();       // Button4
    void ChooseOutputName();    // Button5
    void ShowMagnification();   // TrackBar1
    void ResetMagnification();  // TrackBar1's context menu
    void LoadTexturePreview();  // the picture of Edit2
    // With a tile width the texture's size is the tile's: the magnification does nothing.
    void ShowTiling(bool tiled);

    // After a fill: the division count it used, and where OK puts the picture (Label2).
    void ShowArcDivisions(int32_t divisions);
    void ShowOutputPath(const QString& path);
    // Another output name chosen after OK could not copy the picture.
    void SetOutputName(const QString& name);
    // While a fill runs what it reads stays as it is: only Cancel and the help answer.
    void SetFillRunning(bool running);
    // The fill button (off while a region build runs).
    void SetFillEnabled(bool enabled);

    // The panel's controls in tab order, down to the fill button; then OK and Cancel.
    std::vector<QWidget*> TabOrderAbove() const;
    std::vector<QWidget*> TabOrderBelow() const;
    // True for the controls that scroll themselves under the wheel (help, preview).
    bool ScrollsItself(const QWidget* widget) const;
    // Called when an option the output line shows changes (colour depth, print).
    std::function<void()> onOutputChanged;
    // Called when the arc division count is edited.
    std::function<void()> onArcDivisionsEdited;

  private:
    TFormDialogs& dialogs_;
    QImage previewPicture_;
    bool tiled_ = false;        // a tile width is set: no magnification
    bool fillRunning_ = false;  // the options a running fill reads stay as they are
    QGroupBox* RadioGroup1_ = nullptr;
    QRadioButton* radioWhite_ = nullptr;
    QRadioButton* radioBlack_ = nullptr;
    QPushButton* Button4_ = nullptr;
    QLineEdit* Edit2_ = nullptr;
    QScrollArea* ScrollBox2_ = nullptr;
    QLabel* Image1_ = nullptr;
    QLabel* Label1_ = nullptr;
    QSlider* TrackBar1_ = nullptr;
    QLabel* TrackBarValue_ = nullptr;  // the magnification as a number
    QPushButton* Button5_ = nullptr;
    QLineEdit* Edit1_ = nullptr;
    QLabel* Label2_ = nullptr;
    QLabel* Label5_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLineEdit* Edit3_ = nullptr;
    QPushButton* Button3_ = nullptr;
    QPushButton* ButtonOutput_ = nullptr;  // opens the options of the picture for print
    TOutputPanel* outputPanel_ = nullptr;
    QPlainTextEdit* Memo1_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* Button2_ = nullptr;
};

}  // namespace veldra
