// One QApplication for the whole executable, made before the first test and kept to the end.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "ovrel_tests";
        static char* argv[] = {name, nullptr};
        FApp = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { FApp.reset(); }

private:
    std::unique_ptr<QApplication> FApp;
};

[[maybe_unused]] const auto* const Registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
