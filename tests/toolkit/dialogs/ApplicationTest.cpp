#include "toolkit/Forms.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace ovrel::toolkit {
namespace {

int gFreed = 0;

class TCountingApplication : public TApplication {
public:
    using TApplication::TApplication;
    ~TCountingApplication() override { ++gFreed; }
    using TApplication::CreateForm;
    bool Interactive = true;
    TCustomForm* CreateForm(const std::function<TCustomForm*(TComponent* owner)>& make) override
    {
        return Interactive ? TApplication::CreateForm(make) : nullptr;
    }
};

struct Recorder {
    bool Destroyed = false;
    bool Reported = false;
    void Destroy(TObject*) { Destroyed = true; }
    void Report(TObject*, std::exception_ptr) { Reported = true; }
};

class TSecondForm : public TForm {
public:
    using TForm::TForm;
};

TEST(ApplicationTest, InstalledApplicationReplacesAndFreesThePreviousOneWithItsForms)
{
    gFreed = 0;
    TApplication* before = Application();
    TForm* orphan = nullptr;
    before->CreateForm(orphan);
    ASSERT_NE(orphan, nullptr);
    Recorder recorder;
    orphan->OnDestroy = TNotifyEvent(&recorder, &Recorder::Destroy);

    auto* first = new TCountingApplication(nullptr);
    EXPECT_EQ(SetApplication(first), first);
    EXPECT_EQ(Application(), first);
    EXPECT_TRUE(recorder.Destroyed);
    EXPECT_EQ(SetApplication(first), first) << "installing the current one again keeps it";

    // The first form is the main form; later ones are not; the owner is the application.
    TForm* main = nullptr;
    TSecondForm* second = nullptr;
    first->CreateForm(main);
    first->CreateForm(second);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetMainForm(), main);
    EXPECT_EQ(main->GetOwner(), first);
    EXPECT_EQ(second->GetOwner(), first);

    // A subclass that makes nothing leaves the reference null and no main form.
    auto* quiet = new TCountingApplication(nullptr);
    quiet->Interactive = false;
    SetApplication(quiet);
    EXPECT_EQ(gFreed, 1);
    TForm* none = reinterpret_cast<TForm*>(1);
    quiet->CreateForm(none);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(quiet->GetMainForm(), nullptr);

    // Exceptions still reach an application's handler after the swaps.
    quiet->OnException = TExceptionEvent(&recorder, &Recorder::Report);
    quiet->HandleException(std::make_exception_ptr(std::runtime_error("x")));
    EXPECT_TRUE(recorder.Reported);

    EXPECT_TRUE(quiet->GetShowHint());
    quiet->SetShowHint(false);
    EXPECT_FALSE(quiet->GetShowHint());
    SetApplication(new TApplication(nullptr));
    EXPECT_EQ(gFreed, 2);
}

}  // namespace
}  // namespace ovrel::toolkit
