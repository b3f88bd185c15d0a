// Region options of the window: a plain left click picks a face in faces mode and the
// fill paints only the picked faces; markers and highlights appear over the view but
// never in the fill picture; the options go to the settings file and come back.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/region_panel.h"
#include "display/canvas/canvas.h"
#include "tests/app/form_fixture.h"
#include "view/view_state.h"

namespace veldra::test {
namespace {

// Nine rooms of crossing lines from (-90, -90) to (90, 90), and a line hanging down
// from the bottom wall.
const char* const kGridRooms =
    "hq\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n"
    "-90 -90 -90 90\r\n-30 -90 -30 90\r\n30 -90 30 90\r\n90 -90 90 90\r\n"
    "-90 -90 90 -90\r\n-90 -30 90 -30\r\n-90 30 90 30\r\n-90 90 90 90\r\n0 -90 0 -100\r\n";

class RegionsTest : public FormTest {
  protected:
    TForm1& OpenGrid() {
        WriteFile("JWC_TEMP.TXT", kGridRooms);
        WriteRoundSettings(WriteTexture().string(), (Folder() / "out.bmp").string());
        return Open();
    }
    QPoint PixelOf(double x, double y) {
        return {ViewToPixelX(form_->View(), x), ViewToPixelY(form_->View(), y)};
    }
    void Click(QPoint at) {
        SendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        SendMouse(QEvent::MouseButtonRelease, at + QPoint(3, -2), Qt::LeftButton, Qt::NoButton);
        WaitIdle();  // a click before the faces exist builds them first
    }
    QRgb CanvasAt(QPoint p) { return form_->PaintBox()->Canvas().Image().pixel(p) & 0xFFFFFF; }
    QRgb ShownAt(QPoint p) { return form_->PaintBox()->grab().toImage().pixel(p) & 0xFFFFFF; }
};

TEST_F(RegionsTest, ClickPicksARoomAndTheFillPaintsOnlyIt) {
    TForm1& form = OpenGrid();
    // In the loop search mode a left click picks nothing.
    Click(PixelOf(0, 0));
    EXPECT_TRUE(form.Regions().picks.empty());

    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Click(PixelOf(0, 0));
    ASSERT_EQ(form.Regions().picks.size(), 1u);
    ClickAndWait("Button3");
    EXPECT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    EXPECT_NE(CanvasAt(PixelOf(0, 0)), 0xFFFFFFu);    // the picked room is filled
    EXPECT_EQ(CanvasAt(PixelOf(-60, 0)), 0xFFFFFFu);  // its neighbour is not
    EXPECT_EQ(CanvasAt(PixelOf(0, 60)), 0xFFFFFFu);
    EXPECT_TRUE(Child<QLabel>("LabelA1")->text().startsWith(
        QStringLiteral("1 個の領域を塗りました（開いた端点 1 箇所、すき間の結合 0 箇所）")))
        << Child<QLabel>("LabelA1")->text().toStdString();

    // The open end is marked on screen, not in the picture.
    const QPoint end = PixelOf(0, -100) + QPoint(4, 0);
    EXPECT_EQ(CanvasAt(end), 0xFFFFFFu);
    EXPECT_NE(ShownAt(end), 0xFFFFFFu);
    const QImage saved(QString::fromStdString((Folder() / "rw47_temp.BMP").string()));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.pixel(end) & 0xFFFFFF, 0xFFFFFFu);

    // A second click in the same room takes the pick back; the button clears them all.
    Click(PixelOf(10, 10));
    EXPECT_TRUE(form.Regions().picks.empty());
    Click(PixelOf(60, 60));
    Click(PixelOf(-60, -60));
    EXPECT_EQ(form.Regions().picks.size(), 2u);
    Child<QPushButton>("ClearPicks")->click();
    EXPECT_TRUE(form.Regions().picks.empty());

    // A drag of more than 5 pixels is no click.
    SendMouse(QEvent::MouseButtonPress, PixelOf(0, 0), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, PixelOf(0, 0) + QPoint(6, 0), Qt::LeftButton,
              Qt::NoButton);
    EXPECT_TRUE(form.Regions().picks.empty());

    // Without picks every room is filled.
    ClickAndWait("Button3");
    EXPECT_NE(CanvasAt(PixelOf(-60, 0)), 0xFFFFFFu);
    EXPECT_TRUE(Child<QLabel>("LabelA1")->text().startsWith(
        QStringLiteral("9 個の領域を塗りました（開いた端点 1 箇所、すき間の結合 0 箇所）")))
        << Child<QLabel>("LabelA1")->text().toStdString();
}

TEST_F(RegionsTest, OptionsAreSavedAndAnotherModeDropsThePicks) {
    TForm1& form = OpenGrid();
    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Child<QLineEdit>("GapTolerance")->setText("0.05");
    Child<QComboBox>("IslandMode")->setCurrentIndex(2);
    Click(PixelOf(0, 0));
    EXPECT_EQ(form.Regions().picks.size(), 1u);
    Child<QComboBox>("IslandMode")->setCurrentIndex(1);  // the same faces: picks stay
    EXPECT_EQ(form.Regions().picks.size(), 1u);
    ClickAndWait("RegionPreview");
    EXPECT_EQ(Child<QLabel>("LabelA1")->text().toStdString(),
              "9 個の領域があります（塗り 1 個、開いた端点 1 箇所、すき間の結合 0 箇所）");
    Child<QLineEdit>("GapTolerance")->setText("0.1");  // other faces: picks go
    EXPECT_TRUE(form.Regions().picks.empty());
    Close();
    const std::string saved = ReadFile("veldra.dat");
    EXPECT_TRUE(saved.ends_with("\r\n3\r\n100\r\n1\r\n0.1\r\n1\r\n0\r\n0\r\n0\r\n0\r\n1\r\n0\r\n"))
        << saved;
}

}  // namespace
}  // namespace veldra::test
