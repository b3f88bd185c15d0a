// No finished fill is lost: OK that cannot copy the picture keeps the window open and
// offers another name, a failed fill keeps the earlier picture, and closing without a
// picture (or dropping one) is asked first.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "tests/app/form_fixture.h"

namespace veldra::test {
namespace {

class HandBackTest : public FormTest {
  protected:
    TForm1& OpenReady(const std::string& output) {
        WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
        WriteRoundSettings(WriteTexture().string(), output);
        return Open();
    }
    void Fill() { ClickAndWait("Button3"); }
    void Ok() {
        Child<QPushButton>("Button1")->click();
        QApplication::processEvents();
    }
    QString Status() { return Child<QLabel>("LabelA1")->text(); }
};

TEST_F(HandBackTest, OkThatCannotCopyKeepsTheFillAndOffersAnotherName) {
    const auto folder = Folder() / "drawings";
    std::filesystem::create_directories(folder);
    const std::string first = (folder / "floor2.bmp").string();
    OpenReady(first);
    Fill();
    ASSERT_TRUE(log_->messages.isEmpty()) << log_->messages.join(u'\n').toStdString();
    std::filesystem::remove_all(folder);  // the output folder is gone by OK

    const std::string second = (Folder() / "floor2b.bmp").string();
    log_->outputAnswers.push_back(QString::fromStdString(second));
    Ok();
    EXPECT_TRUE(form_->isVisible()) << "the window stays open";
    ASSERT_EQ(log_->errors.size(), 1);
    const QString message = log_->errors[0];
    EXPECT_TRUE(message.startsWith(QStringLiteral("画像ファイルをコピーできませんでした。")));
    EXPECT_TRUE(message.contains(QString::fromStdString(first))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("理由："))) << message.toStdString();
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), kSquareWithCircle) << "nothing handed back yet";
    EXPECT_TRUE(Exists("rw47_temp.BMP")) << "the fill is kept";
    EXPECT_EQ(Child<QLabel>("Label2")->text().toStdString(), second);
    EXPECT_EQ(Child<QLineEdit>("Edit1")->text().toStdString(), second);

    Ok();  // OK again: the picture goes to the new name
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(Exists("floor2b.bmp"));
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "ch -100 -140 1 0 \"^@BM" + second + ",200.000\r\n");
}

TEST_F(HandBackTest, AnotherNameThatIsRefusedKeepsTheFirst) {
    const auto folder = Folder() / "drawings";
    std::filesystem::create_directories(folder);
    const std::string first = (folder / "a.bmp").string();
    OpenReady(first);
    Fill();
    std::filesystem::remove_all(folder);
    log_->outputAnswers.push_back(QString::fromStdString((Folder() / "a,b.bmp").string()));
    Ok();
    EXPECT_TRUE(form_->isVisible());
    ASSERT_EQ(log_->errors.size(), 2);
    EXPECT_EQ(Child<QLabel>("Label2")->text().toStdString(), first);
    // Cancel is silent and hands nothing back.
    Child<QPushButton>("Button2")->click();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_TRUE(log_->questions.isEmpty());
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n");
}

// A fill refused after the old picture was cleared away (too large at 4800 dpi)
// brings the earlier picture back: status line, Label2 and OK all hand it back.
TEST_F(HandBackTest, StoppedFillKeepsTheEarlierPicture) {
    const std::string out = (Folder() / "out.bmp").string();
    OpenReady(out);
    Fill();
    const QString earlier = Status();
    ASSERT_TRUE(earlier.contains(QStringLiteral("保存画像"))) << earlier.toStdString();
    Child<QComboBox>("OutputResolution")->setCurrentText(QStringLiteral("4800"));
    Fill();  // asks about the size (the user says Yes), then refuses it
    ASSERT_EQ(log_->questions.size(), 1);
    EXPECT_TRUE(log_->questions[0].contains(QStringLiteral("MB")))
        << log_->questions[0].toStdString();
    ASSERT_EQ(log_->errors.size(), 1);
    EXPECT_TRUE(Status().contains(QStringLiteral("前回作成した画像はそのまま残しています")))
        << Status().toStdString();
    EXPECT_TRUE(Status().endsWith(earlier.section(QStringLiteral("\u3000"), -1)));
    EXPECT_EQ(Child<QLabel>("Label2")->text().toStdString(), out);
    EXPECT_TRUE(Exists("rw47_temp.BMP"));
    EXPECT_FALSE(Exists("rw47_keep.BMP"));
    Ok();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "ch -100 -140 1 0 \"^@BM" + out + ",200.000\r\n");
}

TEST_F(HandBackTest, NoToTheSizeQuestionMakesNothing) {
    OpenReady((Folder() / "out.bmp").string());
    Child<QComboBox>("OutputResolution")->setCurrentText(QStringLiteral("4800"));
    log_->askAnswers.push_back(false);
    Fill();
    EXPECT_EQ(log_->questions.size(), 1);
    EXPECT_TRUE(log_->errors.isEmpty());
    EXPECT_FALSE(Exists("rw47_temp.BMP"));
}

TEST_F(HandBackTest, OkWithoutPictureAndCloseBoxAfterFillAskFirst) {
    OpenReady((Folder() / "out.bmp").string());
    log_->askAnswers = {false};
    Ok();
    ASSERT_EQ(log_->questions.size(), 1);
    EXPECT_EQ(log_->questions[0],
              QStringLiteral("配置する画像がありません。画像を作成せずに終了しますか？"));
    EXPECT_TRUE(form_->isVisible()) << "No keeps the window";

    Fill();
    log_->askAnswers = {false};
    form_->close();  // the close box
    EXPECT_EQ(log_->questions.size(), 2);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_TRUE(Exists("rw47_temp.BMP"));
    log_->askAnswers = {true};
    form_->close();
    EXPECT_FALSE(form_->isVisible());
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n");
    EXPECT_FALSE(Exists("out.bmp"));
}

TEST_F(HandBackTest, FillErrorsUseTheErrorIconAndNameTheFileAndCharacter) {
    OpenReady((Folder() / "a,b.bmp").string());
    Fill();
    ASSERT_EQ(log_->errors.size(), 1);
    EXPECT_TRUE(log_->errors[0].contains(QStringLiteral("「,」"))) << log_->errors[0].toStdString();
    EXPECT_TRUE(log_->errors[0].contains(QStringLiteral("a,b.bmp")));
}

}  // namespace
}  // namespace veldra::test
