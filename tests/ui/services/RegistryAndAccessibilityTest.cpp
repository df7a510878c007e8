// The registry-values service and the accessibility sink: their defaults, the fake and the recorder.
#include "platform/ui/Accessibility.h"
#include "platform/ui/RegistryValues.h"
#include "platform/ui/Services.h"

#include <gtest/gtest.h>

#include <string>

namespace ovrel::ui {
namespace {

TEST(FileDialogFilter, ShowsEachDescriptionWithItsPatternsOnce)
{
    const struct {
        const char* name;
        const char* filter;
        const char* qt;
    } rows[] = {
        {"PatternsAdded", "Text|*.txt;*.text|All|*", "Text (*.txt *.text);;All (*)"},
        {"PatternsAlreadyShown", "XML Files (*.xml)|*.xml|All Files (*.*)|*.*", "XML Files (*.xml);;All Files (*.*)"},
        {"OtherWordsInBrackets", "Images (camera)|*.jpg", "Images (camera) (*.jpg)"},
        {"NoPatternsForTheLastName", "Text|*.txt|All", "Text (*.txt)"},
        {"Empty", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(QtFileFilter(row.filter), row.qt);
    }
}

TEST(RegistryValues, TheDefaultFindsNothing)
{
    const RegistryRead read = RegistryValues().ReadString("Control Panel\\Desktop", "MenuShowDelay", 32);
    EXPECT_EQ(read.Status, RegistryStatus::NotFound);
    EXPECT_TRUE(read.Text.empty());
}

struct FakeRead {
    const char* name;
    const char* key;
    const char* value;
    std::size_t bufferSize;
    RegistryStatus status;
    const char* text;
};

class FakeRegistryReads : public ::testing::TestWithParam<FakeRead> {};

TEST_P(FakeRegistryReads, AnswerWithTheOutcomeOfTheStoredValue)
{
    FakeRegistryValues fake;
    fake.SetString("Control Panel\\Desktop", "MenuShowDelay", "250");
    fake.SetString("AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", "", "ding.wav");
    fake.SetOtherType("Control Panel\\Desktop", "Binary");
    ScopedService<IRegistryValues> installed(SetRegistryValues, fake);

    const FakeRead& row = GetParam();
    const RegistryRead read = RegistryValues().ReadString(row.key, row.value, row.bufferSize);
    EXPECT_EQ(read.Status, row.status);
    EXPECT_EQ(read.Text, row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FakeRegistryReads,
    ::testing::Values(FakeRead{"Found", "Control Panel\\Desktop", "MenuShowDelay", 32, RegistryStatus::Found, "250"},
                      FakeRead{"CaseIgnored", "control panel\\DESKTOP", "menushowdelay", 32, RegistryStatus::Found,
                               "250"},
                      FakeRead{"ValueMissing", "Control Panel\\Desktop", "Other", 32, RegistryStatus::NotFound, ""},
                      FakeRead{"KeyMissing", "Control Panel\\Mouse", "MenuShowDelay", 32, RegistryStatus::NotFound, ""},
                      FakeRead{"WrongType", "Control Panel\\Desktop", "Binary", 32, RegistryStatus::WrongType, ""},
                      // "ding.wav" is 8 bytes: with its terminating zero it needs 9.
                      FakeRead{"OneByteShort", "AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", "", 8,
                               RegistryStatus::MoreData, ""},
                      FakeRead{"JustFits", "AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current", "", 9,
                               RegistryStatus::Found, "ding.wav"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RegistryValues, RemovingAValueMakesItMissingAgainAndTheDefaultReturnsAfterTheScope)
{
    {
        FakeRegistryValues fake;
        fake.SetString("Control Panel\\Desktop", "MenuShowDelay", "250");
        ScopedService<IRegistryValues> installed(SetRegistryValues, fake);
        fake.Remove("Control Panel\\Desktop", "MenuShowDelay");
        EXPECT_EQ(RegistryValues().ReadString("Control Panel\\Desktop", "MenuShowDelay", 32).Status,
                  RegistryStatus::NotFound);
        fake.SetString("Control Panel\\Desktop", "MenuShowDelay", "100");
    }
    EXPECT_EQ(RegistryValues().ReadString("Control Panel\\Desktop", "MenuShowDelay", 32).Status,
              RegistryStatus::NotFound);
}

TEST(AccessibilitySink, RecordsEventsInOrderOnlyWhileInstalled)
{
    auto* window = reinterpret_cast<HWND>(0x1000);
    NotifyWinEvent(EVENT_SYSTEM_MENUSTART, window, OBJID_CLIENT, CHILDID_SELF);  // the default drops it
    RecordingAccessibilitySink recorder;
    {
        ScopedService<IAccessibilitySink> installed(SetAccessibilitySink, recorder);
        NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, window, OBJID_CLIENT, CHILDID_SELF);
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, 3);
    }
    NotifyWinEvent(EVENT_SYSTEM_MENUEND, window, OBJID_CLIENT, CHILDID_SELF);
    const std::vector<RecordingAccessibilitySink::RecordedEvent> expected{
        {EVENT_SYSTEM_MENUPOPUPSTART, window, OBJID_CLIENT, CHILDID_SELF},
        {EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, 3}};
    EXPECT_EQ(recorder.Events, expected);
}

}  // namespace
}  // namespace ovrel::ui
