// The window and files that are not what they should be: a FIFO, a folder or a device
// under the exchange file's or settings file's name, a hand-back that cannot be written.
// Each is told in a message box, and nothing waits. An alarm ends the test program if
// an open blocks after all.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cerrno>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>  // mkfifo
#include <unistd.h>    // alarm
#endif

#include "tests/app/form_fixture.h"
#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra::test {
namespace {

constexpr const char* kExchangeUnreadable =
    "受け渡しファイル（JWC_TEMP.TXT）を読み込めませんでした。";
constexpr const char* kHandBackFailed =
    "受け渡しファイル（JWC_TEMP.TXT）を書き込めませんでした。作図結果は図面に反映されません。";

class FormFilesTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
#ifndef _WIN32
        alarm(60);
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        alarm(0);
#endif
        FormTest::TearDown();
    }
    QStringList Messages() const {
        return log_->messages;
    }
    // The message says `text`, names the file and gives the reason.
    ::testing::AssertionResult Tells(int index, const char* text, const char* file,
                                     const QString& reason) const {
        if (index >= Messages().size()) return ::testing::AssertionFailure() << "no message";
        const QString message = Messages()[index];
        const QString path =
            QDir::toNativeSeparators(QString::fromStdString((Folder() / file).string()));
        if (message.startsWith(QString::fromUtf8(text)) && message.contains(path) &&
            message.contains(QStringLiteral("理由：") + reason)) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << message.toStdString();
    }
};

const QString kNotAFile = QStringLiteral("通常のファイルではありません");

#ifndef _WIN32
TEST_F(FormFilesTest, FifoAsExchangeFileIsToldAtStartAndAtCloseAndNeverWaitedOn) {
    ASSERT_EQ(::mkfifo((Folder() / "JWC_TEMP.TXT").c_str(), 0600), 0);
    Open();
    QApplication::processEvents();
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Tells(0, kExchangeUnreadable, "JWC_TEMP.TXT", kNotAFile));
    Close();
    EXPECT_EQ(Messages().size(), 2);
    EXPECT_TRUE(Tells(1, kHandBackFailed, "JWC_TEMP.TXT", kNotAFile));
    EXPECT_EQ(std::filesystem::status(Folder() / "JWC_TEMP.TXT").type(),
              std::filesystem::file_type::fifo);
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FormFilesTest,
                            FifoAsExchangeFileIsToldAtStartAndAtCloseAndNeverWaitedOn,
                            "needs a FIFO")
#endif

#ifndef _WIN32
TEST_F(FormFilesTest, DeviceOrFolderAsExchangeFileIsNoHandBack) {
    std::filesystem::create_symlink("/dev/null", Folder() / "JWC_TEMP.TXT");
    Open();
    Close();
    EXPECT_TRUE(Tells(0, kExchangeUnreadable, "JWC_TEMP.TXT", kNotAFile));
    EXPECT_TRUE(Tells(1, kHandBackFailed, "JWC_TEMP.TXT", kNotAFile))
        << "a device \"written\" is no hand-back";

    log_->messages.clear();
    std::filesystem::remove(Folder() / "JWC_TEMP.TXT");
    std::filesystem::create_directory(Folder() / "JWC_TEMP.TXT");
    Open();
    Close();
    EXPECT_EQ(Messages().size(), 2);
    EXPECT_TRUE(Tells(0, kExchangeUnreadable, "JWC_TEMP.TXT", kNotAFile));
    EXPECT_TRUE(Tells(1, kHandBackFailed, "JWC_TEMP.TXT", kNotAFile));
    EXPECT_TRUE(std::filesystem::is_directory(Folder() / "JWC_TEMP.TXT"));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FormFilesTest, DeviceOrFolderAsExchangeFileIsNoHandBack,
                            "needs /dev/null and symbolic links without privileges")
#endif

// The disk is full at close (a file size limit, which binds root too): the host's
// selection must not stay to be read back as the answer, and the user is told.
#ifndef _WIN32
TEST_F(FormFilesTest, HandBackThatCannotBeWrittenRemovesTheSelectionAndTellsTheUser) {
    WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
    Open();
    EXPECT_TRUE(Messages().isEmpty());
    {
        TFileSizeLimit fullDisk(1);
        Close();
    }
    EXPECT_FALSE(Exists("JWC_TEMP.TXT"));
    // The system's reason: the file grew beyond what may be written.
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Tells(0, kHandBackFailed, "JWC_TEMP.TXT",
                      QString::fromStdString(std::generic_category().message(EFBIG))));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FormFilesTest,
                            HandBackThatCannotBeWrittenRemovesTheSelectionAndTellsTheUser,
                            "file size limits")
#endif

#ifndef _WIN32
TEST_F(FormFilesTest, FifoAsSettingsFileIsRefusedBothWays) {
    ASSERT_EQ(::mkfifo((Folder() / "veldra.dat").c_str(), 0600), 0);
    Open();
    QApplication::processEvents();
    EXPECT_EQ(Child<QLineEdit>("Edit3")->text(), QStringLiteral("24")) << "the defaults stand";
    EXPECT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Tells(0, "設定ファイルを読み込めませんでした。既定の設定で起動します。",
                      "veldra.dat", kNotAFile));
    Close();
    EXPECT_EQ(Messages().size(), 2);
    EXPECT_TRUE(Tells(1, "設定ファイルを保存できませんでした。", "veldra.dat", kNotAFile));
    EXPECT_EQ(ReadFile("JWC_TEMP.TXT"), "hq\r\n");
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FormFilesTest, FifoAsSettingsFileIsRefusedBothWays, "needs a FIFO")
#endif

// A texture that is a FIFO is refused by the fill command with a message box.
#ifndef _WIN32
TEST_F(FormFilesTest, FifoTextureIsRefusedByTheFillCommand) {
    WriteFile("JWC_TEMP.TXT", kSquareWithCircle);
    ASSERT_EQ(::mkfifo((Folder() / "fifo.png").c_str(), 0600), 0);
    WriteRoundSettings((Folder() / "fifo.png").string(), (Folder() / "out.bmp").string());
    Open();
    ClickAndWait("Button3");
    EXPECT_EQ(Messages(), QStringList{QStringLiteral(
                              "指定したテクスチャ画像ファイルは通常のファイルではありません。")});
    EXPECT_FALSE(Exists("rw47_temp.BMP"));
}
#else
VELDRA_SKIPPED_ON_WINDOWS_F(FormFilesTest, FifoTextureIsRefusedByTheFillCommand, "needs a FIFO")
#endif

}  // namespace
}  // namespace veldra::test
