// View navigation through the window's own events.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "tests/app/form_fixture.h"
#include "view/view_state.h"

namespace veldra::test {
namespace {

void ExpectSameWindow(const TViewState& a, const TViewState& b) {
    EXPECT_NEAR(a.viewLeft, b.viewLeft, 1e-9);
    EXPECT_NEAR(a.viewBottom, b.viewBottom, 1e-9);
    EXPECT_NEAR(a.viewRight, b.viewRight, 1e-9);
    EXPECT_NEAR(a.viewTop, b.viewTop, 1e-9);
    EXPECT_NEAR(a.viewScale, b.viewScale, 1e-12);
}

class ViewTest : public FormTest {
  protected:
    TForm1& OpenSquare() {
        WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
        WriteRoundSettings();
        return Open();
    }
    void Wheel(QPoint pos, int delta) {
        QWidget* box = form_->PaintBox();
        QWheelEvent event(QPointF(pos), QPointF(box->mapToGlobal(pos)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &event);
    }
    void TwoButtonDrag(QPoint from, QPoint to) {
        SendMouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(QEvent::MouseButtonPress, from, Qt::RightButton,
                  Qt::LeftButton | Qt::RightButton);
        SendMouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
        SendMouse(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::LeftButton);
        SendMouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
};

TEST_F(ViewTest, FirstPaintFitsTheDrawing) {
    TForm1& form = OpenSquare();
    ASSERT_EQ(form.PaintBox()->size(), QSize(380, 532));
    const TViewState& v = form.View();
    EXPECT_NEAR(v.viewScale, 1.9, 1e-12);  // 380 / 190 * 0.95
    EXPECT_NEAR(v.viewLeft, -100, 1e-9);
    EXPECT_NEAR(v.viewBottom, -140, 1e-9);
    // The square's left side at x = -95 lies 5 units, 9.5 pixels, inside the frame.
    const QImage& shown = form.ViewBitmap();
    EXPECT_NE(shown.pixel(10, 266), shown.pixel(30, 266));
}

TEST_F(ViewTest, WheelZoomKeepsThePointUnderTheCursor) {
    TForm1& form = OpenSquare();
    const QPoint at(120, 300);
    const double wx = PixelToViewX(form.View(), at.x()), wy = PixelToViewY(form.View(), at.y());
    const double scale = form.View().viewScale;
    Wheel(at, -120);  // towards the user: zoom in
    EXPECT_NEAR(form.View().viewScale, scale * 1.5, 1e-9);
    EXPECT_NEAR(PixelToViewX(form.View(), at.x()), wx, 1e-9);
    EXPECT_NEAR(PixelToViewY(form.View(), at.y()), wy, 1e-9);
    Wheel(at, 120);
    EXPECT_NEAR(form.View().viewScale, scale, 1e-9);
    EXPECT_NEAR(PixelToViewX(form.View(), at.x()), wx, 1e-9);
    // Small touchpad steps add up to one notch before zooming.
    Wheel(at, -60);
    EXPECT_NEAR(form.View().viewScale, scale, 1e-9);
    Wheel(at, -60);
    EXPECT_NEAR(form.View().viewScale, scale * 1.5, 1e-9);
}

TEST_F(ViewTest, PageUpThenPageDownRestoresTheView) {
    TForm1& form = OpenSquare();
    const TViewState before = form.View();
    QTest::keyClick(&form, Qt::Key_PageUp);
    EXPECT_NEAR(form.View().viewScale, before.viewScale * 1.5, 1e-9);
    QTest::keyClick(&form, Qt::Key_PageDown);
    ExpectSameWindow(form.View(), before);
}

TEST_F(ViewTest, LowerLeftDragTwiceReturnsToTheEarlierView) {
    TForm1& form = OpenSquare();
    const TViewState fitted = form.View();
    QTest::keyClick(&form, Qt::Key_PageUp);
    const TViewState zoomed = form.View();
    TwoButtonDrag(QPoint(200, 100), QPoint(100, 200));
    ExpectSameWindow(form.View(), fitted);
    TwoButtonDrag(QPoint(200, 100), QPoint(100, 200));
    ExpectSameWindow(form.View(), zoomed);
}

TEST_F(ViewTest, TwoButtonGestures) {
    TForm1& form = OpenSquare();
    const TViewState fitted = form.View();
    // A click without movement centres the view on the press point.
    TwoButtonDrag(QPoint(100, 100), QPoint(103, 100));
    EXPECT_NEAR(form.View().viewScale, fitted.viewScale, 1e-12);
    EXPECT_NEAR((form.View().viewLeft + form.View().viewRight) / 2, PixelToViewX(fitted, 100),
                1e-9);
    // Upper left halves the scale whatever the rectangle.
    TwoButtonDrag(QPoint(300, 300), QPoint(290, 200));
    EXPECT_NEAR(form.View().viewScale, fitted.viewScale / 2, 1e-9);
    // Lower right zooms to the rectangle: 100 pixels wide fill 380.
    const TViewState half = form.View();
    TwoButtonDrag(QPoint(100, 100), QPoint(200, 150));
    EXPECT_NEAR(form.View().viewScale, half.viewScale * 3.8, 1e-9);
    // Upper right fits again.
    TwoButtonDrag(QPoint(100, 300), QPoint(200, 100));
    ExpectSameWindow(form.View(), fitted);
}

TEST_F(ViewTest, RubberBandIsDrawnAndRemovedWithXor) {
    TForm1& form = OpenSquare();
    const QImage before = form.ViewBitmap();
    SendMouse(QEvent::MouseButtonPress, QPoint(50, 60), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonPress, QPoint(50, 60), Qt::RightButton,
              Qt::LeftButton | Qt::RightButton);
    SendMouse(QEvent::MouseMove, QPoint(150, 160), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_NE(form.PaintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32),
              before.convertToFormat(QImage::Format_RGB32));
    SendMouse(QEvent::MouseMove, QPoint(50, 60), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    SendMouse(QEvent::MouseMove, QPoint(51, 61), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    // Removing the old band restored every pixel it had changed.
    const QImage now = form.PaintBox()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(now.pixel(150, 100), before.pixel(150, 100));
    EXPECT_EQ(now.pixel(100, 160), before.pixel(100, 160));
}

TEST_F(ViewTest, MiddleButtonPansWithTheDrawing) {
    TForm1& form = OpenSquare();
    const TViewState before = form.View();
    SendMouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::MiddleButton, Qt::MiddleButton);
    SendMouse(QEvent::MouseMove, QPoint(138, 81), Qt::NoButton, Qt::MiddleButton);
    SendMouse(QEvent::MouseButtonRelease, QPoint(138, 81), Qt::MiddleButton, Qt::NoButton);
    // The drawing moved 38 pixels right and 19 up: the window 20 units left and 10 down.
    EXPECT_NEAR(form.View().viewLeft, before.viewLeft - 20, 1e-9);
    EXPECT_NEAR(form.View().viewBottom, before.viewBottom - 10, 1e-9);
    EXPECT_NEAR(form.View().viewScale, before.viewScale, 1e-12);
}

// A text box keeps its editing keys: typing after End lands at the end of the text.
// The zoom keys and Escape still reach the view; with the focus on the view, every
// view key acts on it.
TEST_F(ViewTest, TypedTextGoesWhereTheCaretIs) {
    TForm1& form = OpenSquare();
    QApplication::setActiveWindow(&form);
    auto* edit = Child<QLineEdit>("Edit1");
    edit->setFocus();
    edit->setText(QStringLiteral("abc"));
    edit->setCursorPosition(1);
    const TViewState before = form.View();

    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral("XY"));
    EXPECT_EQ(edit->text(), QStringLiteral("abcXY"));
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClicks(edit, QStringLiteral("Z"));
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("aZbcXY"));
    ExpectSameWindow(form.View(), before);

    QTest::keyClick(edit, Qt::Key_PageUp);  // a zoom key
    EXPECT_NEAR(form.View().viewScale, before.viewScale * 1.5, 1e-9);
    QTest::keyClick(edit, Qt::Key_PageDown);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->text(), QStringLiteral("aZbcXY"));

    // A click on the drawing gives the view the keys.
    SendMouse(QEvent::MouseButtonPress, QPoint(50, 50), Qt::LeftButton, Qt::LeftButton);
    SendMouse(QEvent::MouseButtonRelease, QPoint(50, 50), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(form.PaintBox()->hasFocus());
    const TViewState atView = form.View();
    const double width = atView.viewRight - atView.viewLeft;
    QTest::keyClick(form.PaintBox(), Qt::Key_Left);
    EXPECT_NEAR(form.View().viewLeft, atView.viewLeft - width / 2, 1e-9);
    QTest::keyClick(form.PaintBox(), Qt::Key_Home);
    ExpectSameWindow(form.View(), before);
}

// The slider and the white/black choice change from the keyboard; Tab visits the
// panel in order, the region options before OK and Cancel.
TEST_F(ViewTest, ControlsWorkFromTheKeyboardInTabOrder) {
    TForm1& form = OpenSquare();
    QApplication::setActiveWindow(&form);
    const TViewState before = form.View();
    auto* slider = Child<QSlider>("TrackBar1");
    slider->setFocus();
    const int value = slider->value();
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_PageUp);
    QTest::keyClick(slider, Qt::Key_Home);
    EXPECT_EQ(slider->value(), slider->minimum());
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(slider->value(), slider->maximum());
    EXPECT_NE(slider->value(), value);
    EXPECT_EQ(Child<QLabel>("TrackBarValue")->text(), QStringLiteral("500%"));
    ExpectSameWindow(form.View(), before);

    auto* white = Child<QRadioButton>("RadioGroup1Item0");
    white->setFocus();
    QTest::keyClick(white, Qt::Key_Right);
    EXPECT_TRUE(Child<QRadioButton>("RadioGroup1Item1")->isChecked());
    EXPECT_EQ(form.ViewBitmap().pixel(5, 5) & 0xFFFFFF, 0u) << "the black view";
    ExpectSameWindow(form.View(), before);

    Child<QRadioButton>("RadioGroup1Item1")->setFocus();
    QStringList visited;
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    const QStringList expected = {
        "Button4",       "TrackBar1",  "Button5",    "Edit1",        "ComboBox1", "Edit3",
        "ButtonOutput",  "Button3",    "RegionMode", "GapTolerance", "GapUnit",   "IslandMode",
        "RegionPreview", "ClearPicks", "CheckTexts", "Button1",      "Button2",   "PaintBox1"};
    // Controls disabled in the loop mode are passed over.
    QStringList enabled;
    for (const QString& name : expected)
        if (form.findChild<QWidget*>(name)->isEnabled()) enabled << name;
    EXPECT_EQ(visited.mid(0, enabled.size()), enabled);
}

// The wheel over the options panel never zooms the drawing, also at the panel's end.
TEST_F(ViewTest, WheelOverThePanelNeverZooms) {
    TForm1& form = OpenSquare();
    const double scale = form.View().viewScale;
    for (const char* name : {"Panel2", "Memo1", "ComboBox1", "Button1"}) {
        QWidget* w = form.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        for (int turn = 0; turn < 30; ++turn) {
            const QPoint at(5, 5);
            QWheelEvent event(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &event);
            // What the panel did not use reaches the window itself.
            QWheelEvent back(QPointF(w->mapTo(&form, at)), QPointF(w->mapToGlobal(at)), QPoint(),
                             QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                             false);
            QApplication::sendEvent(&form, &back);
        }
        EXPECT_NEAR(form.View().viewScale, scale, 1e-12) << name;
    }
}

}  // namespace
}  // namespace veldra::test
