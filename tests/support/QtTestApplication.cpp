// Test programs of windows, sheets and platform services need an application object (widgets,
// fonts, screens, timers); the shared test main makes none, so this environment creates one
// for the whole program. Compiled into the test programs that ask for it (torvane_test's
// QT_APPLICATION option).
#include <QApplication>

#include <gtest/gtest.h>

#include <errno.h>
#include <memory>

namespace {
class QtTestApplication final : public testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char* argv_[2] = {program_invocation_short_name, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Registered before main runs; googletest owns the environment.
[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtTestApplication);
} // namespace
