#include "app/path_fields.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

namespace veldra {
namespace {

const QString kLongPath = QStringLiteral(
    "/home/user/図面/2024年度/現場A/テクスチャ素材/とても長いフォルダの名前/木目_明るい.bmp");

// The start of the folder and the file name stay readable; the middle goes.
void ExpectMiddleElided(const QString& shown) {
    EXPECT_NE(shown, kLongPath);
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/home"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral(".bmp"))) << shown.toStdString();
}

QString ToolTipOf(QWidget& box) {
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), box.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&box, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST(PathFields, EditShowsTheMiddleElidedAndTheWholePathAsTooltip) {
    TPathEdit edit;
    edit.setGeometry(0, 0, 161, 21);
    edit.setText(kLongPath);
    edit.show();
    ExpectMiddleElided(edit.ShownText());
    EXPECT_EQ(edit.text(), kLongPath) << "the text itself stays whole";
    EXPECT_EQ(ToolTipOf(edit), kLongPath);
    edit.setText(QStringLiteral("a.bmp"));
    EXPECT_EQ(edit.ShownText(), QStringLiteral("a.bmp")) << "a short path stands as it is";
    EXPECT_EQ(ToolTipOf(edit), QStringLiteral("a.bmp")) << "the tooltip follows the text";
}

TEST(PathFields, LabelShowsTheMiddleElidedAndTheWholePathAsTooltip) {
    TPathLabel label;
    label.setGeometry(0, 0, 161, 16);
    label.setText(kLongPath);
    label.show();
    ExpectMiddleElided(label.ShownText());
    EXPECT_EQ(ToolTipOf(label), kLongPath);
}

}  // namespace
}  // namespace veldra
