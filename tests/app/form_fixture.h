#pragma once

// A window on its own program folder in a temporary directory, with dialogs the
// test answers instead of a person.

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QStringList>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/form1.h"

namespace veldra::test {

struct TDialogLog {
    QStringList messages;
    // Answers of the file dialogs in order; none left means the user cancels.
    std::deque<QString> textureAnswers;
    std::deque<QString> outputAnswers;
    // Questions asked and their answers in order; none left gives `defaultAnswer`.
    QStringList questions;
    std::deque<bool> askAnswers;
    bool defaultAnswer = true;
    QStringList errors;  // the messages shown with the error icon (also in `messages`)
};

class TScriptedDialogs : public TFormDialogs {
  public:
    explicit TScriptedDialogs(std::shared_ptr<TDialogLog> log) : log_(std::move(log)) {}
    void ShowMessage(QWidget*, const QString& text) override { log_->messages << text; }
    void ShowError(QWidget*, const QString& text) override {
        log_->messages << text;
        log_->errors << text;
    }
    bool Ask(QWidget*, const QString& text) override;
    std::optional<QString> ChooseTexture(QWidget*, const QString&, const QString&) override;
    std::optional<QString> ChooseOutput(QWidget*, const QString&, const QString&) override;

  private:
    std::shared_ptr<TDialogLog> log_;
};

// A square of four lines from (-95, -95) to (95, 95) around the circle of radius 50.
extern const char* const kSquareWithCircle;

class FormTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path Folder() const { return folder_; }
    void WriteFile(const std::string& name, const std::string& bytes) const;
    std::string ReadFile(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Settings that give a 380 x 532 paint box and a panel without scroll bar.
    void WriteRoundSettings(const std::string& texture = "", const std::string& output = "");
    // A small two-colour texture picture in the program folder.
    std::filesystem::path WriteTexture(const std::string& name = "texture.png") const;

    // Creates, shows and paints the window.
    TForm1& Open();
    void Close();
    template <class W>
    W* Child(const char* name) const {
        W* w = form_->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Lets a region build or fill that runs off the interface thread end and hand
    // its result to the window.
    void WaitIdle();
    // Clicks the named button and waits for the build or fill it starts.
    void ClickAndWait(const char* button);
    void SendMouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held);

    std::shared_ptr<TDialogLog> log_ = std::make_shared<TDialogLog>();
    std::unique_ptr<TForm1> form_;

  private:
    std::filesystem::path folder_;
};

}  // namespace veldra::test
