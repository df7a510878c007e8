// One QApplication for the whole executable; the DC code measures fonts through it. At the end, every GDI
// object and DC the tests and the drawing code made must be gone again.
#include "platform/ui/Gdi.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "ui_gdi_tests";
        static char* argv[] = {name, nullptr};
        FApp = new QApplication(argc, argv);
        FObjects = ovrel::ui::GdiObjectCount();
    }
    void TearDown() override
    {
        EXPECT_EQ(ovrel::ui::GdiObjectCount(), FObjects) << "GDI objects or DCs left behind";
        delete FApp;
        FApp = nullptr;
    }

private:
    QApplication* FApp = nullptr;
    int FObjects = 0;
};

[[maybe_unused]] const auto* const Registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
