// The window tests need an application object (dialogs, the progress window); the shared test
// main makes none, so a test environment creates it once for the whole program.
#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {
class QtApplicationEnvironment final : public testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[9] = "test_app";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Registered before main runs; googletest owns the environment.
[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
} // namespace
