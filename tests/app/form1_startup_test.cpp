// Start-up, settings and shut-down of the window.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>

#include "tests/app/form_fixture.h"

namespace veldra::test {
namespace {

TEST_F(FormTest, FirstStartUsesTheDefaultsAndCloseWritesThemBack) {
    TForm1& form = Open();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Veldra"));
    EXPECT_EQ(form.width(), 475);
    EXPECT_EQ(form.height(), 475);
    EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), QString());
    EXPECT_EQ(Child<QLineEdit>("Edit2")->text(), QString());
    EXPECT_EQ(Child<QLineEdit>("Edit3")->text(), QStringLiteral("24"));
    EXPECT_EQ(Child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("24bit色"));
    EXPECT_EQ(Child<QSlider>("TrackBar1")->value(), 200);
    EXPECT_TRUE(Child<QRadioButton>("RadioGroup1Item0")->isChecked());
    EXPECT_EQ(Child<QLabel>("LabelA1")->text(), QStringLiteral("\u3000"));
    EXPECT_TRUE(Child<QLabel>("Label2")->text().isEmpty());
    EXPECT_FALSE(form.ViewBitmap().isNull()) << "the first paint fits and draws the view";

    Close();
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n") << "no exchange file in, still one out";
    EXPECT_EQ(ReadFile("veldra.dat"),
              "0\r\n0\r\n475\r\n475\r\n\r\n\r\n0\r\n24\r\n3\r\n200\r\n"
              "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n");
}

TEST_F(FormTest, SettingsAreLimitedWhenLoaded) {
    WriteFile("veldra.dat", "30\r\n40\r\n100\r\n50\r\nout.bmp\r\n\r\n2\r\nabc\r\n7\r\n900\r\n");
    TForm1& form = Open();
    EXPECT_EQ(form.width(), 475);
    EXPECT_EQ(form.height(), 200);
    EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), QStringLiteral("out.bmp"));
    EXPECT_EQ(Child<QLineEdit>("Edit3")->text(), QStringLiteral("abc"));
    EXPECT_EQ(Child<QComboBox>("ComboBox1")->currentIndex(), 4);
    EXPECT_EQ(Child<QSlider>("TrackBar1")->value(), 500);
    EXPECT_EQ(Child<QSlider>("TrackBar1")->toolTip(),
              QStringLiteral("500％（右クリックで100％に戻ります）"));
    EXPECT_TRUE(Child<QRadioButton>("RadioGroup1Item1")->isChecked());
    // The black background reaches the canvas.
    EXPECT_EQ(form.ViewBitmap().pixel(form.ViewBitmap().width() / 3, 3), qRgb(0, 0, 0));
}

TEST_F(FormTest, SavedPositionOnAScreenStandsOtherwiseTheWindowComesBack) {
    WriteFile("veldra.dat", "30\r\n40\r\n500\r\n300\r\n");
    EXPECT_EQ(Open().pos(), QPoint(30, 40));
    Close();
    WriteFile("veldra.dat", "9000\r\n-7000\r\n500\r\n300\r\n");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(Open().pos()));
}

TEST_F(FormTest, WindowNeverShrinksBelowTheMinimum) {
    TForm1& form = Open();
    form.resize(300, 100);
    QApplication::processEvents();
    EXPECT_GE(form.width(), 475);
    EXPECT_GE(form.height(), 200);
    Close();
    const std::string saved = ReadFile("veldra.dat");
    EXPECT_EQ(saved.substr(0, saved.find("\r\n\r\n")), "0\r\n0\r\n475\r\n200");
}

TEST_F(FormTest, CancelAndCloseBoxHandBackNothing) {
    WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
    Open();
    Child<QPushButton>("Button2")->click();
    QApplication::processEvents();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n");

    WriteFile("JWC_TEMP.TXT", std::string("bz\r\n") + kSquareWithCircle);
    Open();
    Close();
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "bz\r\n") << "the bz echo replaces hq";
}

TEST_F(FormTest, LayoutHasTheSystemsComponentsAndTexts) {
    TForm1& form = Open();
    const QWidget* panel = Child<QWidget>("Panel2");
    EXPECT_EQ(panel->width(), 178);
    EXPECT_EQ(Child<QLabel>("LabelA1")->height(), 24);
    EXPECT_EQ(Child<QWidget>("ScrollBox1")->height(), 65);
    EXPECT_EQ(Child<QWidget>("PaintBox1")->geometry().bottom() + 1 + 24 + 65, form.height());
    EXPECT_EQ(Child<QGroupBox>("RadioGroup1")->title(), QStringLiteral("背景色(&B)"));
    EXPECT_EQ(Child<QPushButton>("Button3")->text(), QStringLiteral("作図実行(&G)"));
    EXPECT_EQ(Child<QPushButton>("Button1")->text(), QStringLiteral("ＯＫ(&Y)"));
    EXPECT_EQ(Child<QPushButton>("Button2")->text(), QStringLiteral("キャンセル(&N)"));
    EXPECT_EQ(Child<QPushButton>("Button5")->text(), QStringLiteral("画像ファイル名(&I)"));
    EXPECT_EQ(Child<QLabel>("Label5")->text(), QStringLiteral("保存画像色"));
    EXPECT_EQ(Child<QLabel>("Label4")->text(), QStringLiteral("円弧分割数"));
    EXPECT_TRUE(Child<QLineEdit>("Edit2")->isReadOnly());
    // The help tells the four steps, both region modes, the mouse and the keys.
    const QString help = Child<QPlainTextEdit>("Memo1")->toPlainText();
    for (const char* part : {"テクスチャ", "領域表示", "作図実行", "ＯＫ", "端点連結", "交点で分割",
                             "ホイール", "中ボタン", "PageUp", "Home", "Esc", "Tab", "解像度"}) {
        EXPECT_TRUE(help.contains(QString::fromUtf8(part))) << part;
    }
    EXPECT_FALSE(help.contains(QStringLiteral("部分のみです"))) << "both modes fill";
    EXPECT_TRUE(help.endsWith(QStringLiteral("\u3000下さい。")));
    QStringList depths;
    for (int i = 0; i < Child<QComboBox>("ComboBox1")->count(); ++i)
        depths << Child<QComboBox>("ComboBox1")->itemText(i);
    EXPECT_EQ(depths.join(u','), QStringLiteral("2色,16色,256色,24bit色,32bit色"));
}

TEST_F(FormTest, ShortPanelScrollsSoNoControlIsLost) {
    Open();  // 475 high: the panel's controls need more room than there is
    QWidget* ok = Child<QWidget>("Button1");
    EXPECT_EQ(ok->parentWidget()->objectName(), QStringLiteral("Panel2"));
    EXPECT_EQ(ok->geometry(), QRect(0, 496, 73, 25));
    EXPECT_GE(Child<QWidget>("Panel2")->height(), 521);
}

}  // namespace
}  // namespace veldra::test
