// The options panel's own handlers.

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>

#include "app/form_dialogs.h"
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
    ASSERT_EQ(open.size(), 12);
    // Every format the loader reads, the all-files entry in Japanese.
    for (const char* pattern : {"*.png", "*.gif", "*.tif", "*.tiff", "*.webp", "*.jpg", "*.jpeg",
                                "*.bmp", "*.ico", "*.emf", "*.wmf"}) {
        const QString inside = open[0].section(u'(', 1).chopped(1);
        EXPECT_TRUE(inside.split(u' ').contains(QString::fromLatin1(pattern))) << pattern;
    }
    EXPECT_TRUE(open[0].startsWith(QStringLiteral("すべての画像ファイル (")));
    EXPECT_EQ(open[1], QStringLiteral("PNG イメージファイル (*.png)"));
    EXPECT_EQ(open[3], QStringLiteral("TIFF イメージファイル (*.tif *.tiff)"));
    EXPECT_EQ(open[11], QStringLiteral("すべてのファイル (*)"));
    EXPECT_EQ(ToNameFilters(QString::fromUtf8(kSavePictureFilter)),
              QStringList{QStringLiteral("ビットマップ (*.bmp)")});
}

}  // namespace
}  // namespace veldra::test

namespace veldra::test {
namespace {

void WheelOver(QWidget* target, int delta) {
    const QPoint at(target->width() / 2, target->height() / 2);
    QWheelEvent event(QPointF(at), QPointF(target->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// At the first-run size the panel scrolls: the wheel over it brings OK and Cancel
// into view without zooming, and never changes an option on the way; over the
// drawing it still zooms.
TEST_F(FormTest, WheelOverThePanelScrollsThePanel) {
    TForm1& form = Open();
    QWidget* panel = Child<QWidget>("Panel2");
    auto* scroll = qobject_cast<QScrollArea*>(panel->parentWidget()->parentWidget());
    ASSERT_NE(scroll, nullptr);
    QScrollBar* bar = scroll->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the panel scrolls at 475 x 475";
    EXPECT_EQ(panel->width(), 178);
    const double scale = form.View().viewScale;

    WheelOver(Child<QWidget>("Label1"), -120);
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(form.View().viewScale, scale) << "no zoom over the panel";

    bar->setValue(0);
    auto* depth = Child<QComboBox>("ComboBox1");
    auto* magnification = Child<QSlider>("TrackBar1");
    WheelOver(depth, -120);
    WheelOver(magnification, -120);
    EXPECT_EQ(depth->currentIndex(), 3);
    EXPECT_EQ(magnification->value(), 200);
    EXPECT_GT(bar->value(), 0) << "the panel scrolled instead";

    for (int i = 0; i < 20; ++i) WheelOver(Child<QWidget>("Button3"), -120);
    EXPECT_EQ(bar->value(), bar->maximum());
    const QRect ok(Child<QWidget>("Button1")->mapTo(scroll, QPoint()), QSize(73, 25));
    EXPECT_TRUE(scroll->rect().contains(ok)) << "OK in view";
    EXPECT_EQ(form.View().viewScale, scale);

    WheelOver(form.PaintBox(), -120);
    EXPECT_NEAR(form.View().viewScale, scale * 1.5, scale * 1e-9) << "over the drawing it zooms";
}

}  // namespace
}  // namespace veldra::test
