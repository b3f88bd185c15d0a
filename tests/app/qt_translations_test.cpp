#include "app/qt_translations.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTranslator>

namespace veldra {
namespace {

// The buttons of message boxes and the texts of the file dialogs a user meets.
TEST(QtTranslations, ToolkitTextsAreJapanese) {
    QTranslator* translator = InstallJapaneseToolkitTexts(*qApp);
    ASSERT_NE(translator, nullptr) << "qtbase_ja.qm missing: scripts/setup.sh installs "
                                      "qt6-translations-l10n";
    QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"),
              QStringLiteral("名前を付けて保存"));
    EXPECT_TRUE(
        QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")
            .contains(QStringLiteral("置き換えますか")));
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Save As"), QStringLiteral("Save As"))
        << "the test leaves the toolkit's texts as it found them";
}

}  // namespace
}  // namespace veldra
