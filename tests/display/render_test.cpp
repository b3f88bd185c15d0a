#include "display/render/render.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/display/render_scene.h"

namespace veldra {
namespace {

using test::InkedPixels;
using test::RenderScene;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

// Pixel (x, y) of the view point in a scene of scale 1 and height 150.
QRgb At(const QImage& image, double x, double y) {
    return image.pixel(static_cast<int>(std::lround(x)), 150 - static_cast<int>(std::lround(y)));
}

TEST(RenderPasses, PollsAfterEveryTenthDrawnEntityAndAfterEachList) {
    RenderScene scene;
    for (int i = 0; i < 25; ++i) scene.Line(10, 10 + i, 100, 10 + i);
    int calls = 0;
    const AbortPoll count = [&] { return ++calls, false; };
    bool stopped = true;
    scene.DrawEntities(count, &stopped);
    EXPECT_FALSE(stopped);
    // Lines 0, 10 and 20, plus one call after each of the 11 lists.
    EXPECT_EQ(calls, 3 + 11);

    // A hidden line at index 10 is skipped and triggers no call.
    scene.store.lines[10].head.zFlags = kZFlagHidden;
    calls = 0;
    scene.DrawEntities(count);
    EXPECT_EQ(calls, 2 + 11);
}

TEST(RenderPasses, EscapeHeldFromTheStartDrawsAtMostOneEntity) {
    RenderScene scene;
    scene.Line(10, 10, 100, 10);
    scene.Triangle(10, 20, 50, 20, 30, 60);
    int calls = 0;
    bool stopped = false;
    const QImage none = scene.DrawEntities([&] { return ++calls, true; }, &stopped);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(calls, 1);  // after the empty text list
    EXPECT_EQ(InkedPixels(none), 0);

    // With a text at index 0, it reaches its drawer, then the poll stops the pass.
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    const QString file = dir.filePath("p.bmp");
    ASSERT_TRUE(picture.save(file, "BMP"));
    scene.Text(120, 100, "^@BM" + file.toStdString() + ",20");
    calls = 0;
    const QImage one = scene.DrawEntities([&] { return ++calls, true; }, &stopped);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(At(one, 130, 110), qRgb(0, 0, 255));
    EXPECT_EQ(At(one, 30, 30), kWhite);  // the solid never came
}

TEST(RenderPasses, FiltersHiddenAndAuxiliaryEntities) {
    RenderScene scene;
    scene.Line(10, 20, 100, 20).head.zFlags = kZFlagHidden;
    scene.Line(10, 40, 100, 40, 1, kAuxiliaryColor);
    scene.Line(10, 60, 100, 60, kAuxiliaryLineType, 2);
    scene.Triangle(120, 10, 180, 10, 150, 50, kAuxiliaryColor);
    scene.Triangle(120, 60, 180, 60, 150, 100).head.zFlags = kZFlagHidden;  // solids ignore it
    const QImage shown = scene.DrawEntities();
    EXPECT_EQ(At(shown, 50, 20), kWhite);
    EXPECT_NE(At(shown, 50, 40), kWhite);
    EXPECT_NE(At(shown, 50, 60), kWhite);
    EXPECT_NE(At(shown, 150, 20), kWhite);
    EXPECT_NE(At(shown, 150, 70), kWhite);

    scene.attributes.SetShowAuxiliary(false);
    const QImage hidden = scene.DrawEntities();
    EXPECT_EQ(At(hidden, 50, 40), kWhite);
    EXPECT_EQ(At(hidden, 50, 60), kWhite);
    EXPECT_EQ(At(hidden, 150, 20), kWhite);
    EXPECT_NE(At(hidden, 150, 70), kWhite);
}

TEST(RenderPasses, SolidsAndPicturesLeaveOutLinesAndCircles) {
    RenderScene scene;
    scene.Line(10, 100, 100, 100);
    scene.Circle(50, 50, 20);
    scene.Triangle(120, 10, 180, 10, 150, 50);
    const QImage image = scene.DrawSolidsOnly();
    EXPECT_EQ(At(image, 50, 100), kWhite);
    EXPECT_EQ(At(image, 70, 50), kWhite);
    EXPECT_EQ(At(image, 150, 20), qRgb(0, 192, 0));  // colour 3 on white
}

TEST(RenderSolids, OwnColourIsACOLORREF) {
    RenderScene scene;
    TJwwEntSolid4& s = AppendEntity(scene.store, scene.store.solid4s, EntityKind::Solid4);
    s.head.color = 10;
    s.extColor = 0x0000FF;
    s.x1 = 10, s.y1 = 10, s.x2 = 60, s.y2 = 10, s.x3 = 60, s.y3 = 60, s.x4 = 10, s.y4 = 60;
    EXPECT_EQ(At(scene.DrawEntities(), 30, 30), qRgb(255, 0, 0));
}

TEST(RenderLines, ArcsRunCounterClockwiseAndEqualAnglesAreWhole) {
    RenderScene scene;
    scene.Arc(50, 75, 40, 350, 10);
    const QImage part = scene.DrawEntities();
    EXPECT_NE(At(part, 90, 75), kWhite);  // 0 degrees lies on the 20-degree arc
    EXPECT_EQ(At(part, 10, 75), kWhite);  // 180 degrees does not
    EXPECT_EQ(At(part, 50, 115), kWhite);

    scene.store.arcs[0].endAngle = 350 + 720;
    const QImage whole = scene.DrawEntities();
    EXPECT_NE(At(whole, 10, 75), kWhite);
    EXPECT_NE(At(whole, 50, 115), kWhite);

    // Angles no loop could reduce in time still draw (and end).
    scene.store.arcs[0].startAngle = 1e300;
    scene.store.arcs[0].endAngle = -1e300;
    scene.DrawEntities();
}

TEST(RenderLines, CurvesReachingJustIntoTheWindowAreDrawn) {
    // Window 0..200 x 0..150. Each curve's centre lies outside; only its rim (or,
    // for the ellipses, the axis made long by the flatness, or turned by the tilt)
    // reaches 2 units in.
    RenderScene scene;
    scene.Circle(-28, 75, 30);
    scene.Circle(228, 75, 30);
    scene.Circle(100, -28, 30);
    scene.Circle(100, 178, 30);
    EXPECT_GT(InkedPixels(scene.DrawEntities()), 4);
    const auto ellipse = [](RenderScene& s, double cx, double cy, double flatness, double tilt) {
        TJwwEntArc& e = s.Arc(cx, cy, 10, 0, 0);
        e.flatness = flatness;
        e.tiltAngle = tilt;
    };
    RenderScene tall;
    ellipse(tall, 100, -18, 2.0, 0);  // reaches y = 2 through its second axis
    EXPECT_GT(InkedPixels(tall.DrawEntities()), 0);
    RenderScene turned;
    ellipse(turned, -8, 75, 0.1, 0);   // first axis along x: reaches x = 2
    ellipse(turned, 75, -8, 0.1, 90);  // turned upright: reaches y = 2
    EXPECT_GT(InkedPixels(turned.DrawEntities()), 2);
    RenderScene away;
    ellipse(away, -40, 75, 2.0, 45);  // wholly left of the window
    scene.Circle(100, 300, 30);
    EXPECT_EQ(InkedPixels(away.DrawEntities()), 0);
}

TEST(RenderLines, LayerGroupScaleDividesCoordinatesButNotPictureSizes) {
    RenderScene scene;
    scene.store.state.groupScale[1] = 2.0;
    TJwwEntLine& line = scene.Line(20, 100, 200, 100);
    line.head.layerGroup = 1;
    QTemporaryDir dir;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 255));
    const QString file = dir.filePath("p.bmp");
    ASSERT_TRUE(picture.save(file, "BMP"));
    scene.Text(200, 20, "^@BM" + file.toStdString() + ",40").head.layerGroup = 1;
    const QImage image = scene.DrawEntities();
    EXPECT_NE(At(image, 60, 50), kWhite);   // (120, 100) / 2
    EXPECT_EQ(At(image, 150, 50), kWhite);  // beyond x = 100
    EXPECT_EQ(At(image, 105, 15), qRgb(0, 0, 255));
    EXPECT_EQ(At(image, 138, 48), qRgb(0, 0, 255));  // 40 wide and high from (100, 10)
    EXPECT_EQ(At(image, 142, 30), kWhite);
}

TEST(RenderPictures, PictureTextsWithoutCommaOrPrefixDrawNothing) {
    RenderScene scene;
    QTemporaryDir dir;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(kBlack);
    const QString file = dir.filePath("p.bmp");
    ASSERT_TRUE(picture.save(file, "BMP"));
    scene.Text(10, 10, "^@BM" + file.toStdString());
    scene.Text(10, 10, "^@BM");
    scene.Text(10, 10, "^@bm" + file.toStdString() + ",50");
    scene.Text(10, 10, file.toStdString() + ",50");
    EXPECT_EQ(InkedPixels(scene.DrawEntities()), 0);
}

TEST(RenderPictures, BadPictureFilesDrawNothing) {
    RenderScene scene;
    QTemporaryDir dir;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return "^@BM" + f.fileName().toStdString() + ",50";
    };
    // A bitmap header declaring 100000 x 100000 pixels at 24 bits.
    QByteArray huge("BM", 2);
    huge.append(QByteArray(52, '\0'));
    huge[10] = 54, huge[14] = 40, huge[26] = 1, huge[28] = 24;
    for (int at : {18, 22}) huge[at] = '\xA0', huge[at + 1] = '\x86', huge[at + 2] = '\x01';
    scene.Text(10, 10, write("huge.bmp", huge));
    scene.Text(10, 10, write("cut.bmp", huge.left(20)));
    scene.Text(10, 10, write("text.bmp", "not a picture"));
    scene.Text(10, 10, write("empty.ico", ""));
    scene.Text(10, 10, write("text.wmf", "not a metafile"));
    scene.Text(10, 10, write("text.emf", QByteArray(200, '\x01')));
    scene.Text(10, 10, "^@BM" + dir.filePath("missing.bmp").toStdString() + ",50");
    scene.Text(10, 10, "^@BM,50");
    EXPECT_EQ(InkedPixels(scene.DrawEntities()), 0);
}

}  // namespace
}  // namespace veldra
