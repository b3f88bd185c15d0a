// The options of the picture for print in the window: one click away, into the fill,
// the status line and the settings.

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include "app/output_panel.h"
#include "tests/app/form_fixture.h"

namespace veldra::test {
namespace {

class OutputOptionsTest : public FormTest {
  protected:
    TForm1& OpenReady() {
        WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
        WriteRoundSettings(WriteTexture().string(), (Folder() / "out.bmp").string());
        return Open();
    }
};

TEST(OutputResolutionText, ScreenDpiOrRefused) {
    EXPECT_EQ(ParseResolutionText(QStringLiteral("画面と同じ")), 0);
    EXPECT_EQ(ParseResolutionText(QString()), 0);
    EXPECT_EQ(ParseResolutionText(QStringLiteral(" 300 ")), 300);
    EXPECT_EQ(ParseResolutionText(QStringLiteral("600dpi")), 600);
    EXPECT_EQ(ParseResolutionText(QStringLiteral("abc")), -1);
    EXPECT_EQ(ParseResolutionText(QStringLiteral("-5")), -1);
}

TEST_F(OutputOptionsTest, PopUpSetsResolutionAndAreaOfTheSavedPicture) {
    OpenReady();
    auto* opener = Child<QPushButton>("ButtonOutput");
    opener->click();
    auto* panel = form_->findChild<TOutputPanel*>(QStringLiteral("OutputPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible()) << "one click opens the options";
    Child<QComboBox>("OutputResolution")->setCurrentText(QStringLiteral("254"));
    Child<QComboBox>("OutputArea")->setCurrentIndex(1);
    EXPECT_NE(opener->toolTip().indexOf(QStringLiteral("254 dpi")), -1);
    panel->hide();

    ClickAndWait("Button3");
    EXPECT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    const QImage saved(QString::fromStdString((Folder() / "rw47_temp.BMP").string()), "BMP");
    ASSERT_FALSE(saved.isNull());
    // The status line gives the saved picture's size and resolution.
    EXPECT_TRUE(Child<QLabel>("LabelA1")->text().endsWith(
        QStringLiteral("保存画像 %1 × %2 ピクセル（254 dpi）")
            .arg(saved.width())
            .arg(saved.height())))
        << Child<QLabel>("LabelA1")->text().toStdString();
    EXPECT_GT(saved.width(), form_->PaintBox()->width());
    // The paint box shows the picture scaled into the view: background beyond it.
    const QImage shown = form_->PaintBox()->grab().toImage();
    EXPECT_EQ(shown.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);

    // Remembered at close on lines 14 and 15.
    Close();
    const std::string settings = ReadFile("veldra.dat");
    EXPECT_NE(settings.find("\r\n0\r\n0\r\n0\r\n254\r\n1\r\n0\r\n0\r\n"), std::string::npos)
        << settings;
}

TEST_F(OutputOptionsTest, TypedResolutionThatIsNoNumberIsRefused) {
    OpenReady();
    Child<QComboBox>("OutputResolution")->setCurrentText(QStringLiteral("fine"));
    ClickAndWait("Button3");
    ASSERT_EQ(log_->messages.size(), 1);
    EXPECT_EQ(log_->messages.front().toStdString(), kBadDpiMessage);
    EXPECT_FALSE(Exists("rw47_temp.BMP"));
}

}  // namespace
}  // namespace veldra::test
