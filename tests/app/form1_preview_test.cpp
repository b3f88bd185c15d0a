// What the window shows before a fill: the tint over what will be filled in both
// modes with a count that follows every pick, the drawing's texts, the gap's unit,
// and the picture's size.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <map>

#include "app/region_panel.h"
#include "app/view_markers.h"
#include "display/canvas/canvas.h"
#include "tests/app/form_fixture.h"
#include "view/view_state.h"

namespace veldra::test {
namespace {

// Nine rooms of crossing lines from (-90, -90) to (90, 90), an island square in the
// middle room, and a room name.
const char* const kRoomsWithIsland =
    "hq\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n"
    "-90 -90 -90 90\r\n-30 -90 -30 90\r\n30 -90 30 90\r\n90 -90 90 90\r\n"
    "-90 -90 90 -90\r\n-90 -30 90 -30\r\n-90 30 90 30\r\n-90 90 90 90\r\n"
    "-10 -10 10 -10\r\n10 -10 10 10\r\n10 10 -10 10\r\n-10 10 -10 -10\r\n"
    "cn0 8 8 0 1\r\nch -80 60 1 0 \"\x8d\x4c\x8a\xd4\r\n";  // "広間" in Shift-JIS

class PreviewTest : public FormTest {
  protected:
    TForm1& OpenRooms(const char* drawing = kRoomsWithIsland) {
        WriteFile("JWC_TEMP.TXT", drawing);
        WriteRoundSettings(WriteTexture().string(), (Folder() / "out.bmp").string());
        return Open();
    }
    QPoint PixelOf(double x, double y) {
        return {ViewToPixelX(form_->View(), x), ViewToPixelY(form_->View(), y)};
    }
    QRgb ShownAt(double x, double y) {
        return form_->PaintBox()->grab().toImage().pixel(PixelOf(x, y)) & 0xFFFFFF;
    }
    void Click(QPoint at) {
        SendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        WaitIdle();  // a click before the faces exist builds them first
    }
    QString Status() { return Child<QLabel>("LabelA1")->text(); }
};

TEST_F(PreviewTest, TintShowsWhatTheFillPaintsAndTheCountFollowsEveryPick) {
    TForm1& form = OpenRooms();
    // The loop mode: the faces-only controls are off and say why.
    for (const char* name : {"GapTolerance", "IslandMode", "ClearPicks", "GapUnit"}) {
        EXPECT_FALSE(Child<QWidget>(name)->isEnabled()) << name;
        EXPECT_TRUE(Child<QWidget>(name)->toolTip().contains(QStringLiteral("交点で分割"))) << name;
    }
    ClickAndWait("RegionPreview");
    // The outer loop and the island: even-odd, the ring between them is tinted.
    EXPECT_NE(ShownAt(-60, 0), 0xFFFFFFu);
    EXPECT_EQ(ShownAt(5, -5), 0xFFFFFFu);  // off the origin's cross
    EXPECT_TRUE(Status().contains(QStringLiteral("塗り 2 個"))) << Status().toStdString();
    // Hover highlights the loop under the cursor.
    form.PaintBox1MouseMove(PixelOf(0, 0));
    EXPECT_GE(form.Regions().hoverLoop, 0);

    Child<QComboBox>("RegionMode")->setCurrentIndex(1);  // faces: follows at once
    QTest::qWait(600);
    WaitIdle();
    EXPECT_TRUE(Child<QWidget>("IslandMode")->isEnabled());
    EXPECT_TRUE(Status().contains(QStringLiteral("10 個の領域があります（塗り 9 個")))
        << Status().toStdString();
    EXPECT_NE(ShownAt(-60, 0), 0xFFFFFFu);
    EXPECT_EQ(ShownAt(5, -5), 0xFFFFFFu) << "the island is left out";
    Child<QComboBox>("IslandMode")->setCurrentIndex(2);  // 無視: the island is filled too
    EXPECT_NE(ShownAt(5, -5), 0xFFFFFFu);
    Child<QComboBox>("IslandMode")->setCurrentIndex(0);

    Click(PixelOf(-60, 60));
    EXPECT_TRUE(Status().contains(QStringLiteral("塗り 1 個"))) << Status().toStdString();
    EXPECT_EQ(ShownAt(60, -60), 0xFFFFFFu);
    Click(PixelOf(60, -60));
    EXPECT_TRUE(Status().contains(QStringLiteral("塗り 2 個"))) << Status().toStdString();
    EXPECT_NE(ShownAt(60, -60), 0xFFFFFFu);

    // After the fill the picture shows without any tint over it.
    ClickAndWait("Button3");
    ASSERT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    const QImage canvas = form.PaintBox()->Canvas().Image();
    EXPECT_EQ(ShownAt(60, -60), canvas.pixel(PixelOf(60, -60)) & 0xFFFFFF);
    EXPECT_EQ(ShownAt(-60, 60), canvas.pixel(PixelOf(-60, 60)) & 0xFFFFFF);
}

TEST_F(PreviewTest, TextsAreDrawnInTheViewOnlyAndTheCheckBoxIsKept) {
    TForm1& form = OpenRooms();
    auto inkIn = [&](const QImage& image) {
        int ink = 0;
        const QPoint from = PixelOf(-80, 68), to = PixelOf(-64, 60);
        for (int y = from.y(); y <= to.y(); ++y)
            for (int x = from.x(); x <= to.x(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFFu) ++ink;
        return ink;
    };
    EXPECT_GT(inkIn(form.ViewBitmap()), 10) << "the room name is drawn";
    ClickAndWait("Button3");
    const QImage saved(QString::fromStdString((Folder() / "rw47_temp.BMP").string()));
    ASSERT_FALSE(saved.isNull());
    // In the picture only the texture (two colours) or background: no text pixels.
    Child<QCheckBox>("CheckTexts")->setChecked(false);
    EXPECT_EQ(inkIn(form.ViewBitmap()), 0);
    Close();
    EXPECT_TRUE(ReadFile("veldra.dat").ends_with("\r\n0\r\n0\r\n")) << ReadFile("veldra.dat");
    Open();
    EXPECT_FALSE(Child<QCheckBox>("CheckTexts")->isChecked());
}

// Past 10,000 texts in the view none is drawn (they are ink no one can read, and would
// take the redraw past its budget); at 10,000 they are.
TEST_F(PreviewTest, TextsPastTheCountInTheViewAreLeftOutTogether) {
    auto withNames = [](int extra) {
        std::string drawing = kRoomsWithIsland;
        for (int i = 0; i < extra; ++i) drawing += "ch 50 -80 1 0 \"\x8d\x4c\x8a\xd4\r\n";
        return drawing;
    };
    auto nameInk = [&] {
        const QImage image = form_->ViewBitmap();
        int ink = 0;
        const QPoint from = PixelOf(-80, 68), to = PixelOf(-64, 60);
        for (int y = from.y(); y <= to.y(); ++y)
            for (int x = from.x(); x <= to.x(); ++x)
                if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFFu) ++ink;
        return ink;
    };
    const std::string atTheCount = withNames(9999);
    OpenRooms(atTheCount.c_str());
    EXPECT_GT(nameInk(), 10) << "10,000 texts are drawn";
    Close();
    const std::string pastTheCount = withNames(10000);
    OpenRooms(pastTheCount.c_str());
    EXPECT_EQ(nameInk(), 0) << "10,001 texts are none";
}

// At 1:100 the coordinates are real-size mm: the square is 0.5 mm on paper and its
// gap 0.05 mm. 1 mm on paper closes it; 1 mm real size (0.01 mm on paper) does not.
TEST_F(PreviewTest, GapUnitRealSizeDividesByTheScale) {
    const char* const kNearlyClosed =
        "hq\r\nhs 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100 100\r\n"
        "lg0\r\nly0\r\nlc2\r\nlt1\r\n"
        "0 0 50 0\r\n50 0 50 50\r\n50 50 0 50\r\n0 50 0 5\r\n";  // 5 mm short
    OpenRooms(kNearlyClosed);
    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Child<QLineEdit>("GapTolerance")->setText(QStringLiteral("1"));
    ClickAndWait("RegionPreview");
    EXPECT_TRUE(Status().contains(QStringLiteral("すき間の結合 1 箇所"))) << Status().toStdString();
    Child<QComboBox>("GapUnit")->setCurrentIndex(1);  // 実寸mm: 0.01 mm on paper
    ClickAndWait("RegionPreview");
    EXPECT_TRUE(Status().contains(QStringLiteral("すき間の結合 0 箇所"))) << Status().toStdString();
    // The tip gives the rule of veldra-cli's help: extended along the line to the first
    // line it meets, or joined to another free end; and both units.
    const QString tip = Child<QWidget>("GapTolerance")->toolTip();
    for (const QString& part :
         {QStringLiteral("線の向きに"), QStringLiteral("最初に当たる線"),
          QStringLiteral("別の自由端"), QStringLiteral("図寸mm"), QStringLiteral("実寸mm")}) {
        EXPECT_TRUE(tip.contains(part)) << part.toStdString() << "\n" << tip.toStdString();
    }
    EXPECT_EQ(Child<QWidget>("GapUnit")->toolTip(), tip);
    Close();
    EXPECT_TRUE(ReadFile("veldra.dat").ends_with("\r\n1\r\n1\r\n")) << ReadFile("veldra.dat");
    Open();
    EXPECT_EQ(Child<QComboBox>("GapUnit")->currentIndex(), 1);
}

TEST_F(PreviewTest, OutputLineGivesThePictureSizeAndTheTileWidthDisablesTheSlider) {
    OpenRooms();
    auto* line = Child<QLabel>("OutputLine");
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("解像度 画面と同じ・表示範囲")));
    EXPECT_FALSE(line->text().contains(QStringLiteral("ピクセル")));
    ClickAndWait("RegionPreview");
    EXPECT_TRUE(line->text().contains(QStringLiteral("ピクセル"))) << line->text().toStdString();
    Child<QComboBox>("OutputResolution")->setCurrentText(QStringLiteral("300"));
    EXPECT_TRUE(line->text().contains(QStringLiteral("300 dpi"))) << line->text().toStdString();
    EXPECT_TRUE(line->text().contains(QStringLiteral("MB")));
    EXPECT_TRUE(Child<QSlider>("TrackBar1")->isEnabled());
    Child<QDoubleSpinBox>("TileWidth")->setValue(10);
    EXPECT_FALSE(Child<QSlider>("TrackBar1")->isEnabled());
    EXPECT_TRUE(line->text().contains(QStringLiteral("模様 10 mm"))) << line->text().toStdString();
}

// Many open ends are gathered with their count, the same way over the whole view.
TEST_F(PreviewTest, ManyOpenEndsAreAllMarked) {
    std::string drawing = "hq\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n";
    for (int i = 0; i < 15000; ++i) {
        const int x = i % 150, y = i / 150;
        drawing += std::to_string(x * 2) + " " + std::to_string(y * 2) + " " +
                   std::to_string(x * 2 + 1) + " " + std::to_string(y * 2) + "\r\n";
    }
    WriteFile("JWC_TEMP.TXT", drawing);
    Open();
    ClickAndWait("RegionPreview");
    EXPECT_TRUE(Status().contains(QStringLiteral("開いた端点 30000 箇所")))
        << Status().toStdString();
    const QImage shown = form_->PaintBox()->grab().toImage();
    // Red marks at both the first and the last rows of lines.
    auto redNear = [&](double x, double y) {
        const QPoint p = PixelOf(x, y);
        for (int dy = -8; dy <= 8; ++dy)
            for (int dx = -8; dx <= 8; ++dx) {
                const QRgb c = shown.pixel(std::clamp(p.x() + dx, 0, shown.width() - 1),
                                           std::clamp(p.y() + dy, 0, shown.height() - 1));
                if (qRed(c) > 200 && qGreen(c) < 120) return true;
            }
        return false;
    };
    EXPECT_TRUE(redNear(0, 0));
    EXPECT_TRUE(redNear(298, 198));
}

// Past the count drawn one by one, 120,000 open ends over the whole view are gathered
// into cells of one size, each with its count: every end counted once, the counts
// adding up, each count readable in its circle, every part of the view with ends
// marked and none of it a block of solid red (16-pixel cells with counts that ran
// into each other made one).
TEST_F(PreviewTest, OpenEndsPastTheSingleMarkerCountAreGatheredWithTheirCount) {
    // 60,000 short lines, none touching another, in the paint box's proportions.
    constexpr int kColumns = 200, kRows = 300;
    std::string drawing = "hq\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n";
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kColumns; ++x)
            drawing += std::to_string(x * 3) + " " + std::to_string(y * 3) + " " +
                       std::to_string(x * 3 + 1) + " " + std::to_string(y * 3) + "\r\n";
    WriteFile("JWC_TEMP.TXT", drawing);
    WriteRoundSettings();
    Open();
    ClickAndWait("RegionPreview");
    ASSERT_TRUE(Status().contains(QStringLiteral("開いた端点 120000 箇所")))
        << Status().toStdString();

    // What the window gathers: every end is in the view.
    const QRectF box(form_->PaintBox()->rect());
    const std::vector<QPointF> ends = form_->Regions().OpenEndPixels(form_->View(), box);
    ASSERT_EQ(ends.size(), 120000u);
    const QFont font = MarkerFont(form_->PaintBox()->font());
    const TMarkerLayout layout = GatherMarkers(ends, QFontMetricsF(font));
    ASSERT_FALSE(layout.clusters.empty());
    const double cell = layout.clusters.front().cell.width();
    std::map<std::pair<int, int>, int> counted;  // ends per cell, found here
    for (const QPointF& p : ends)
        ++counted[{static_cast<int>(std::floor(p.x() / cell)),
                   static_cast<int>(std::floor(p.y() / cell))}];
    size_t total = layout.singles.size();
    for (const TMarkerCluster& c : layout.clusters) {
        total += static_cast<size_t>(c.count);
        ASSERT_EQ(c.cell.size(), QSizeF(cell, cell)) << "one cell size over the whole view";
        const std::pair<int, int> key{static_cast<int>(std::lround(c.cell.left() / cell)),
                                      static_cast<int>(std::lround(c.cell.top() / cell))};
        ASSERT_EQ(QPointF(key.first * cell, key.second * cell), c.cell.topLeft());
        EXPECT_EQ(c.count, counted[key]) << "the count is of the ends in its cell";
        EXPECT_LT(QFontMetricsF(font).horizontalAdvance(QString::number(c.count)), cell - 6)
            << c.count << " must fit in its circle";
    }
    EXPECT_EQ(total, ends.size()) << "the counts add up to the open ends";

    // What the view shows: red near every end, nowhere a block of solid red.
    const QImage shown = form_->PaintBox()->grab().toImage();
    const int w = shown.width(), h = shown.height();
    // Red pixels summed over the rectangle above and left of each pixel.
    std::vector<int> red(static_cast<size_t>(w + 1) * static_cast<size_t>(h + 1), 0);
    const auto at = [&](int x, int y) -> int& {
        return red[static_cast<size_t>(y) * static_cast<size_t>(w + 1) + static_cast<size_t>(x)];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = shown.pixel(x, y);
            // Red, also where antialiasing blends it with the drawing's lines.
            const int isRed =
                qRed(c) > 150 && qRed(c) > qGreen(c) + 80 && qRed(c) > qBlue(c) + 80 ? 1 : 0;
            at(x + 1, y + 1) = isRed + at(x, y + 1) + at(x + 1, y) - at(x, y);
        }
    const auto redIn = [&](int x0, int y0, int x1, int y1) {  // [x0, x1) x [y0, y1)
        x0 = std::clamp(x0, 0, w), x1 = std::clamp(x1, 0, w);
        y0 = std::clamp(y0, 0, h), y1 = std::clamp(y1, 0, h);
        return at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
    };
    const int reach = static_cast<int>(cell);
    int unmarked = 0;
    for (const QPointF& p : ends) {
        const int x = static_cast<int>(p.x()), y = static_cast<int>(p.y());
        if (redIn(x - reach, y - reach, x + reach + 1, y + reach + 1) == 0) ++unmarked;
    }
    EXPECT_EQ(unmarked, 0) << "open ends with no mark within " << reach << " pixels";
    constexpr int kBlock = 24;
    int solid = 0;
    for (int y = 0; y + kBlock <= h; y += kBlock / 2)
        for (int x = 0; x + kBlock <= w; x += kBlock / 2)
            if (redIn(x, y, x + kBlock, y + kBlock) * 3 > kBlock * kBlock) ++solid;
    EXPECT_EQ(solid, 0) << "blocks of " << kBlock << " pixels more than a third red; "
                        << redIn(0, 0, w, h) * 100 / (w * h) << " % of the view is red";
}

}  // namespace
}  // namespace veldra::test
