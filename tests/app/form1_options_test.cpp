// The options panel's own handlers.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "app/form1_dialogs.h"
#include "tests/app/form_fixture.h"

namespace veldra::test {
namespace {

QString Native(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

TEST_F(FormTest, PreviewFollowsTheMagnificationRoundingHalvesToEven) {
    QImage picture(101, 51, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    const auto path = Folder() / "odd.bmp";
    picture.save(Native(path));
    log_->textureAnswers.push_back(Native(path));
    Open();
    auto* track = Child<QSlider>("TrackBar1");
    track->setValue(150);
    Child<QPushButton>("Button4")->click();
    EXPECT_EQ(Child<QLineEdit>("Edit2")->text(), Native(path));
    EXPECT_EQ(Child<QLabel>("Image1")->size(), QSize(152, 76));  // 151.5 and 76.5

    track->setValue(250);
    EXPECT_EQ(Child<QLabel>("Image1")->size(), QSize(252, 128));  // 252.5 and 127.5
    EXPECT_EQ(track->toolTip(), QStringLiteral("250％（右クリックで100％に戻ります）"));

    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5),
                                 track->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(track, &rightClick);
    EXPECT_EQ(track->value(), 100);
    EXPECT_EQ(Child<QLabel>("Image1")->size(), QSize(101, 51));
    EXPECT_EQ(track->toolTip(), QStringLiteral("100％（右クリックで100％に戻ります）"));
}

TEST_F(FormTest, CancelledDialogsChangeNothing) {
    Open();
    Child<QLineEdit>("Edit1")->setText(QStringLiteral("keep.bmp"));
    Child<QPushButton>("Button4")->click();
    Child<QPushButton>("Button5")->click();
    EXPECT_TRUE(Child<QLineEdit>("Edit2")->text().isEmpty());
    EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), QStringLiteral("keep.bmp"));

    log_->outputAnswers.push_back(QStringLiteral("/data/out.bmp"));
    Child<QPushButton>("Button5")->click();
    EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), QStringLiteral("/data/out.bmp"));
}

TEST_F(FormTest, UnreadableTextureLeavesAnEmptyPreviewAndKeepsTheName) {
    WriteFile("broken.jpg", "not a picture");
    log_->textureAnswers.push_back(Native(Folder() / "broken.jpg"));
    Open();
    Child<QPushButton>("Button4")->click();
    EXPECT_EQ(Child<QLineEdit>("Edit2")->text(), Native(Folder() / "broken.jpg"));
    EXPECT_EQ(Child<QLabel>("Image1")->size(), QSize(0, 0));
}

TEST_F(FormTest, BlackBackgroundRedrawsAtOnce) {
    TForm1& form = Open();
    const QPoint inside(form.PaintBox()->width() / 3, 5);
    EXPECT_EQ(form.ViewBitmap().pixel(inside), qRgb(255, 255, 255));
    Child<QRadioButton>("RadioGroup1Item1")->click();
    EXPECT_EQ(form.ViewBitmap().pixel(inside), qRgb(0, 0, 0));
    Child<QRadioButton>("RadioGroup1Item0")->click();
    EXPECT_EQ(form.ViewBitmap().pixel(inside), qRgb(255, 255, 255));
}

TEST(DialogFilters, BecomeNameFiltersWithSpaceSeparatedPatterns) {
    const QStringList open = ToNameFilters(QString::fromUtf8(kOpenPictureFilter));
    ASSERT_EQ(open.size(), 8);
    EXPECT_EQ(open[0], QStringLiteral("すべてのファイル (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"));
    EXPECT_EQ(open[1], QStringLiteral("JPEG イメージファイル (*.jpg)"));
    EXPECT_EQ(open[7], QStringLiteral("ALL Files (*)"));
    EXPECT_EQ(ToNameFilters(QString::fromUtf8(kSavePictureFilter)),
              QStringList{QStringLiteral("ビットマップ (*.bmp)")});
}

}  // namespace
}  // namespace veldra::test
