// The fill command, OK and Cancel through the real buttons.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <set>

#include "tests/app/form_fixture.h"
#include "view/view_state.h"

namespace veldra::test {
namespace {

class FillTest : public FormTest {
  protected:
    std::string OutPath() const { return (Folder() / "out.bmp").string(); }
    TForm1& OpenReady() {
        WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
        WriteRoundSettings(WriteTexture().string(), OutPath());
        return Open();
    }
    void Fill() { ClickAndWait("Button3"); }
    QRgb ShownAt(double x, double y) {
        const QImage shown = form_->PaintBox()->grab().toImage();
        return shown.pixel(ViewToPixelX(form_->View(), x), ViewToPixelY(form_->View(), y)) &
               0xFFFFFF;
    }
    // Bits per pixel in the header of a BMP file.
    int BmpDepth(const std::string& name) {
        const std::string bytes = ReadFile(name);
        return bytes.size() > 29 ? static_cast<unsigned char>(bytes[28]) : -1;
    }
};

TEST_F(FillTest, FillThenOkHandsThePictureToTheHost) {
    OpenReady();
    Fill();
    EXPECT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    EXPECT_TRUE(Exists("rw47_temp.BMP"));
    EXPECT_EQ(BmpDepth("rw47_temp.BMP"), 24);
    EXPECT_EQ(Child<QLabel>("Label2")->text().toStdString(), OutPath());
    // Between the square and the circle the texture, inside the circle the background.
    const std::set<QRgb> texture = {qRgb(200, 40, 40) & 0xFFFFFF, qRgb(40, 40, 200) & 0xFFFFFF};
    EXPECT_TRUE(texture.count(ShownAt(70, 0)));
    EXPECT_TRUE(texture.count(ShownAt(0, 80)));
    EXPECT_EQ(ShownAt(0, 0), 0xFFFFFFu);
    EXPECT_EQ(ShownAt(0, 120), 0xFFFFFFu);

    Child<QPushButton>("Button1")->click();
    QApplication::processEvents();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(Child<QLabel>("LabelA1")->text(), QStringLiteral("ファイル生成中です"));
    EXPECT_TRUE(Exists("out.bmp"));
    EXPECT_FALSE(Exists("rw47_temp.BMP")) << "the temporary bitmap goes at close";
    // The picture covers the view window: lower-left corner (-100, -140), 200 wide.
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "ch -100 -140 1 0 \"^@BM" + OutPath() + ",200.000\r\n");
}

TEST_F(FillTest, ChecksStopTheCommandWithTheirMessagesInOrder) {
    WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
    Open();
    auto* edit3 = Child<QLineEdit>("Edit3");
    edit3->setText(QStringLiteral("2"));
    Fill();
    EXPECT_EQ(edit3->text(), QStringLiteral("3"));
    Child<QLineEdit>("Edit2")->setText(QString::fromStdString((Folder() / "none.png").string()));
    edit3->setText(QStringLiteral("5000"));
    Fill();
    EXPECT_EQ(edit3->text(), QStringLiteral("3600"));
    Child<QLineEdit>("Edit2")->setText(QString::fromStdString(WriteTexture().string()));
    edit3->setText(QStringLiteral("abc"));
    Fill();
    EXPECT_EQ(edit3->text(), QStringLiteral("3"));
    Child<QLineEdit>("Edit1")->setText(QStringLiteral("out.jpg"));
    Fill();
    ASSERT_EQ(log_->messages.size(), 4);
    EXPECT_EQ(log_->messages[0], QStringLiteral("テクスチャ画像ファイル名の指定を行って下さい。"));
    EXPECT_EQ(log_->messages[1],
              QStringLiteral("指定したテクスチャ画像ファイルが見つかりません。"));
    EXPECT_EQ(log_->messages[2],
              QStringLiteral("画像ファイル名の入力／画像ファイル指定を行って下さい。"));
    EXPECT_EQ(log_->messages[3], QStringLiteral("画像ファイル名は BMP形式のみです。"));
    EXPECT_TRUE(Child<QLabel>("Label2")->text().isEmpty());
    EXPECT_TRUE(Child<QPushButton>("Button3")->isEnabled());
    EXPECT_FALSE(Exists("rw47_temp.BMP"));
}

// A failed check never hides the loss of the earlier picture: it is kept, and OK
// hands it back.
TEST_F(FillTest, FailedCheckAfterASuccessKeepsTheEarlierPicture) {
    OpenReady();
    Fill();
    ASSERT_FALSE(Child<QLabel>("Label2")->text().isEmpty());
    Child<QLineEdit>("Edit1")->setText(QStringLiteral("out.jpg"));
    Fill();
    EXPECT_EQ(Child<QLabel>("Label2")->text().toStdString(), OutPath());
    EXPECT_TRUE(Child<QLabel>("LabelA1")->text().contains(QStringLiteral("前回作成した画像")));
    EXPECT_TRUE(Exists("rw47_temp.BMP"));
    Child<QPushButton>("Button1")->click();
    EXPECT_TRUE(Exists("out.bmp"));
    EXPECT_NE(ReadFile("JWC_TEMP.TXT").find("^@BM"), std::string::npos);
    EXPECT_TRUE(log_->questions.isEmpty());
}

TEST_F(FillTest, OkWithoutFillClosesAndHandsBackNothing) {
    OpenReady();
    Child<QPushButton>("Button1")->click();  // the user answers Yes
    ASSERT_EQ(log_->questions.size(), 1);
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n");
    EXPECT_FALSE(Exists("out.bmp"));
}

TEST_F(FillTest, TwoColourDepthShowsThePictureAsSaved) {
    OpenReady();
    Child<QComboBox>("ComboBox1")->setCurrentIndex(0);
    Fill();
    EXPECT_EQ(BmpDepth("rw47_temp.BMP"), 1);
    const QImage shown = form_->PaintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::set<QRgb> colours;
    // Inside the view's focus frame.
    for (int y = 3; y < shown.height() - 3; y += 3)
        for (int x = 3; x < shown.width() - 3; x += 3) colours.insert(shown.pixel(x, y));
    EXPECT_LE(colours.size(), 2u);
}

TEST_F(FillTest, NextViewChangeShowsTheDrawingAgain) {
    TForm1& form = OpenReady();
    Fill();
    const QRgb filled = ShownAt(70, 0);
    form.RedrawView();
    EXPECT_NE(ShownAt(70, 0), filled);
    EXPECT_EQ(ShownAt(70, 0), 0xFFFFFFu);
}

}  // namespace
}  // namespace veldra::test
