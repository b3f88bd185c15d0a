// Long region builds and fills run off the interface thread: the status line shows how
// far they are with the Escape hint, a tap of Escape returns at once and keeps what was
// there before, and closing the window meanwhile is clean.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "app/region_panel.h"
#include "tests/app/form_fixture.h"
#include "view/view_state.h"

namespace veldra::test {
namespace {

// A grid of `n` horizontal and `n` vertical lines crossing each other: n * n crossings,
// faces that take the face build a while.
std::string DenseGrid(int n) {
    std::string drawing = "hq\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n";
    const std::string size = std::to_string(n);
    for (int i = 0; i < n; ++i) {
        const std::string at = std::to_string(i);
        drawing.append("0 ").append(at).append(" ").append(size).append(" ").append(at);
        drawing.append("\r\n").append(at).append(" 0 ").append(at).append(" ").append(size);
        drawing.append("\r\n");
    }
    return drawing;
}

class WorkTest : public FormTest {
  protected:
    TForm1& OpenGrid() {
        WriteFile("JWC_TEMP.TXT", DenseGrid(450));
        WriteRoundSettings(WriteTexture().string(), (Folder() / "out.bmp").string());
        return Open();
    }
    QString Status() { return Child<QLabel>("LabelA1")->text(); }
    // Waits until the status line shows a percentage: the build runs and reports.
    void WaitForProgress() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return Status().contains(u'％'); }, 60000))
            << Status().toStdString();
        EXPECT_TRUE(form_->IsWorking());
        EXPECT_TRUE(Status().contains(QStringLiteral("Esc キーで中止"))) << Status().toStdString();
    }
};

TEST_F(WorkTest, EscapeDuringTheFaceBuildReturnsAtOnceAndLeavesNoRegions) {
    TForm1& form = OpenGrid();
    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Child<QPushButton>("RegionPreview")->click();
    EXPECT_TRUE(form.IsWorking());
    EXPECT_FALSE(Child<QPushButton>("Button3")->isEnabled()) << "no fill during the build";
    EXPECT_FALSE(Child<QPushButton>("RegionPreview")->isEnabled());
    WaitForProgress();
    // The window answers while the build runs: the view still zooms.
    const double scale = form.View().viewScale;
    QTest::keyClick(form.PaintBox(), Qt::Key_PageUp);
    EXPECT_NE(form.View().viewScale, scale);

    // A quick tap (press and release between two polls) counts.
    QTest::keyClick(form.PaintBox(), Qt::Key_Escape);
    EXPECT_FALSE(form.IsWorking());
    EXPECT_EQ(Status(), QStringLiteral("領域の作成を中断しました"));
    EXPECT_FALSE(form.Regions().reportValid);
    EXPECT_TRUE(Child<QPushButton>("Button3")->isEnabled());
    // The abandoned build ends at its next poll; its result never arrives.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.WorkThreads() == 0; }, 10000));
    QTest::qWait(50);
    EXPECT_FALSE(form.Regions().reportValid);
    EXPECT_EQ(Status(), QStringLiteral("領域の作成を中断しました"));
}

// A click before the faces exist starts their build and picks once they are there.
TEST_F(WorkTest, ClickBeforeTheFacesExistPicksOnceTheyAreBuilt) {
    WriteFile("JWC_TEMP.TXT", DenseGrid(4));
    WriteRoundSettings(WriteTexture().string(), (Folder() / "out.bmp").string());
    TForm1& form = Open();
    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    const QPoint at(ViewToPixelX(form.View(), 1.5), ViewToPixelY(form.View(), 1.5));
    SendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    WaitIdle();
    ASSERT_EQ(form.Regions().picks.size(), 1u);
    EXPECT_TRUE(Status().contains(QStringLiteral("9 個の領域があります（塗り 1 個")))
        << Status().toStdString();
}

// Escape during a fill stops it at its next poll; the fill before it stays, picture,
// path and all, and OK still hands it back.
TEST_F(WorkTest, EscapeDuringAFillKeepsTheEarlierFill) {
    TForm1& form = OpenGrid();
    ClickAndWait("Button3");  // the loop search: quick
    ASSERT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    const std::string earlier = ReadFile("rw47_temp.BMP");
    ASSERT_FALSE(earlier.empty());
    const QString label2 = Child<QLabel>("Label2")->text();
    ASSERT_FALSE(label2.isEmpty());

    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Child<QPushButton>("Button3")->click();
    EXPECT_FALSE(Child<QPushButton>("Button1")->isEnabled()) << "no OK during the fill";
    EXPECT_FALSE(Child<QComboBox>("RegionMode")->isEnabled());
    WaitForProgress();
    QTest::keyClick(form.PaintBox(), Qt::Key_Escape);
    WaitIdle();
    EXPECT_TRUE(Status().startsWith(QStringLiteral("作図を中止しました（前回作成した画像")))
        << Status().toStdString();
    EXPECT_EQ(Child<QLabel>("Label2")->text(), label2);
    EXPECT_EQ(ReadFile("rw47_temp.BMP"), earlier);
    EXPECT_FALSE(Exists("rw47_keep.BMP"));
    EXPECT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    ClickAndWait("Button1");
    EXPECT_TRUE(Exists("out.bmp"));
}

TEST_F(WorkTest, ClosingDuringABuildOrAFillIsClean) {
    TForm1& form = OpenGrid();
    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Child<QPushButton>("RegionPreview")->click();
    WaitForProgress();
    Close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.WorkThreads(), 0u) << "joined at close";
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n") << "the exchange file is handed back";

    TForm1& again = OpenGrid();
    Child<QComboBox>("RegionMode")->setCurrentIndex(1);
    Child<QPushButton>("Button3")->click();
    WaitForProgress();
    form_.reset();  // destroyed without a close, as at the end of the program
    EXPECT_FALSE(Exists("rw47_temp.BMP"));
    EXPECT_FALSE(Exists("rw47_keep.BMP"));
    (void)again;
}

}  // namespace
}  // namespace veldra::test
