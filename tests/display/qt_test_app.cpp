// Text drawing needs a GUI application object (fonts); the tests run offscreen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <memory>

namespace {

class QtGuiEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (QCoreApplication::instance() != nullptr) return;  // another test file made one
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty()
                                       ? QByteArray("offscreen")
                                       : qgetenv("QT_QPA_PLATFORM"));
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "veldra_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtGuiEnvironment);

}  // namespace
