#include "tests/app/form_fixture.h"

#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>
#include <random>

namespace veldra::test {

const char* const kSquareWithCircle =
    "hq\r\nhs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\nlg0\r\nly0\r\nlc2\r\nlt1\r\n"
    "-95 -95 95 -95\r\n95 -95 95 95\r\n95 95 -95 95\r\n-95 95 -95 -95\r\nci 0 0 50\r\n";

namespace {
std::optional<QString> NextAnswer(std::deque<QString>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<QString> answer(std::in_place, answers.front());
    answers.pop_front();
    return answer;
}
}  // namespace

std::optional<QString> TScriptedDialogs::ChooseTexture(QWidget*, const QString&, const QString&) {
    return NextAnswer(log_->textureAnswers);
}

std::optional<QString> TScriptedDialogs::ChooseOutput(QWidget*, const QString&, const QString&) {
    return NextAnswer(log_->outputAnswers);
}

bool TScriptedDialogs::Ask(QWidget*, const QString& text) {
    log_->questions << text;
    if (log_->askAnswers.empty()) return log_->defaultAnswer;
    const bool answer = log_->askAnswers.front();
    log_->askAnswers.pop_front();
    return answer;
}

void FormTest::SetUp() {
    std::random_device rd;
    folder_ = std::filesystem::temp_directory_path() /
              ("veldra_form_" + std::to_string(rd()) + "_" + std::to_string(rd()));
    std::filesystem::create_directories(folder_);
}

void FormTest::TearDown() {
    form_.reset();
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

void FormTest::WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary);
    out << bytes;
}

std::string FormTest::ReadFile(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool FormTest::Exists(const std::string& name) const {
    return std::filesystem::exists(folder_ / name);
}

void FormTest::WriteRoundSettings(const std::string& texture, const std::string& output) {
    WriteFile("veldra.dat", "0\r\n0\r\n558\r\n621\r\n" + output + "\r\n" + texture +
                                "\r\n0\r\n24\r\n3\r\n100\r\n");
}

std::filesystem::path FormTest::WriteTexture(const std::string& name) const {
    QImage texture(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            texture.setPixel(x, y, (x < 4) == (y < 4) ? qRgb(200, 40, 40) : qRgb(40, 40, 200));
    auto path = folder_ / name;
    texture.save(QString::fromStdString(path.string()));
    return path;
}

TForm1& FormTest::Open() {
    form_ = std::make_unique<TForm1>(TFormPaths{folder_, folder_ / "veldra.dat"},
                                     std::make_unique<TScriptedDialogs>(log_));
    form_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    QApplication::processEvents();
    form_->PaintBox()->repaint();
    return *form_;
}

void FormTest::Close() {
    form_->close();
    QApplication::processEvents();
}

void FormTest::WaitIdle() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form_->IsWorking(); }, 120000))
        << "the build or fill never ended";
}

void FormTest::ClickAndWait(const char* button) {
    Child<QPushButton>(button)->click();
    WaitIdle();
}

void FormTest::SendMouse(QEvent::Type type, QPoint pos, Qt::MouseButton button,
                         Qt::MouseButtons held) {
    QWidget* box = form_->PaintBox();
    QMouseEvent event(type, QPointF(pos), QPointF(box->mapToGlobal(pos)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(box, &event);
}

}  // namespace veldra::test
