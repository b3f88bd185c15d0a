#include "tests/display/golden_image.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>

namespace veldra::test {

namespace {

QString GoldenPath(const std::string& name) {
    return QString::fromStdString(std::string(VELDRA_SOURCE_DIR) + "/tests/display/golden/" + name +
                                  ".png");
}

bool Regenerating() {
    const char* v = std::getenv("VELDRA_REGENERATE_GOLDEN");
    return v != nullptr && std::string(v) == "1";
}

// Equal pixels dimmed to a light gray of their brightness, different ones red.
QImage DiffImage(const QImage& expected, const QImage& actual) {
    QImage diff(actual.size(), QImage::Format_RGB32);
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            if (a != e) {
                diff.setPixel(x, y, qRgb(255, 0, 0));
            } else {
                const int g = 192 + qGray(a) / 4;
                diff.setPixel(x, y, qRgb(g, g, g));
            }
        }
    }
    return diff;
}

}  // namespace

std::string GoldenOutputFolder() {
    return std::string(VELDRA_BIN_DIR) + "/golden-output";
}

::testing::AssertionResult MatchesGolden(const QImage& rendered, const std::string& name) {
    const QImage actual = rendered.convertToFormat(QImage::Format_RGB32);
    const QString goldenPath = GoldenPath(name);
    if (Regenerating()) {
        QDir().mkpath(QFileInfo(goldenPath).path());
        if (!actual.save(goldenPath, "PNG"))
            return ::testing::AssertionFailure() << "cannot write " << goldenPath.toStdString();
        return ::testing::AssertionSuccess() << "regenerated " << name;
    }
    const QImage expected = QImage(goldenPath).convertToFormat(QImage::Format_RGB32);
    const QString out = QString::fromStdString(GoldenOutputFolder());
    const auto writeActual = [&] {
        QDir().mkpath(out);
        actual.save(out + "/" + QString::fromStdString(name) + "-actual.png", "PNG");
    };
    if (expected.isNull()) {
        writeActual();
        return ::testing::AssertionFailure()
               << "no golden image " << goldenPath.toStdString()
               << " (run with VELDRA_REGENERATE_GOLDEN=1 to create it)";
    }
    if (expected.size() != actual.size()) {
        writeActual();
        return ::testing::AssertionFailure()
               << name << ": size " << actual.width() << "x" << actual.height() << ", golden "
               << expected.width() << "x" << expected.height();
    }
    int64_t differing = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y)) ++differing;
    if (differing == 0) return ::testing::AssertionSuccess();
    writeActual();
    DiffImage(expected, actual).save(out + "/" + QString::fromStdString(name) + "-diff.png", "PNG");
    return ::testing::AssertionFailure()
           << name << ": " << differing << " pixels differ; see " << out.toStdString();
}

}  // namespace veldra::test
