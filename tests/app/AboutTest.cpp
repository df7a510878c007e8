// The about box as its user meets it: the logo drawn behind the labels, the labels of each tab, the links
// opening their whole address, Enter and Escape closing it, and its texts taken at Constructed().
#include "app/About.h"

#include "AppTestSupport.h"
#include "DialogTestSupport.h"
#include "app/AboutModel.h"
#include "app/Localizer.h"
#include "platform/ui/Services.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovrel::app {
namespace {

using namespace ovrel::toolkit;
using test::Click;
using test::Pump;

class AboutBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        FForm = std::make_unique<TAboutForm>(nullptr, AboutDesignWidth);
        FForm->Constructed();
    }

    std::vector<TLabel*> Labels() const
    {
        std::vector<TLabel*> labels;
        for (int i = 0; i < FForm->LogoPanel->GetControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(FForm->LogoPanel->GetControl(i)))
                labels.push_back(label);
        return labels;
    }
    std::vector<std::string> Shown() const
    {
        std::vector<std::string> texts;
        for (TLabel* label : Labels())
            if (label->GetVisible())
                texts.push_back(label->GetCaption());
        return texts;
    }
    // A click on the tab with that index, where the strip draws it.
    void ClickTab(int index)
    {
        for (int x = 0; x < FForm->AboutTabControl->GetWidth(); ++x)
            if (FForm->AboutTabControl->IndexOfTabAt(x, 10) == index) {
                Click(FForm->AboutTabControl, ui::POINT{x + 10, 10});
                return;
            }
        ADD_FAILURE() << "no tab " << index;
    }

    std::unique_ptr<TAboutForm> FForm;
};

TEST_F(AboutBox, TheLogoIsDrawnBehindTheLabelsOverTheWholePanel)
{
    FForm->Show();
    const QImage shot = test::Shot(FForm->LogoPanel);
    FForm->Hide();
    ASSERT_FALSE(shot.isNull());
    ASSERT_NE(FForm->Background->GetPicture(), nullptr);
    EXPECT_EQ(FForm->LogoPanel->GetControl(0), FForm->Background) << "behind every label";
    EXPECT_EQ(FForm->Background->GetBoundsRect(), FForm->LogoPanel->GetClientRect());
    // The logo's top band is dark blue, where the white panel would show without it; so is the bottom-right
    // corner of the stretched picture far from any label.
    for (const QPoint at : {QPoint(shot.width() / 2, 10), QPoint(shot.width() - 60, 5)}) {
        const QColor colour = shot.pixelColor(at);
        EXPECT_LT(colour.red(), 120) << at.x() << "," << at.y();
        EXPECT_GT(colour.blue(), colour.red()) << at.x() << "," << at.y();
    }
}

TEST_F(AboutBox, EachTabShowsItsLabelsAndTheSharedOnes)
{
    const std::vector<std::string> about = Shown();
    ASSERT_EQ(Labels().size(), 13u);
    FForm->Show();
    ClickTab(1);
    EXPECT_EQ(FForm->AboutTabControl->GetTabIndex(), 1);
    const std::vector<std::string> credits = Shown();
    ClickTab(0);
    EXPECT_EQ(Shown(), about);
    FForm->Hide();

    const auto has = [](const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    };
    for (const TAboutLabelRow& row : AboutLabelRows()) {
        const std::string caption = AboutLabelText(row, GetLocalizedStrings("Common")).Caption;
        SCOPED_TRACE(caption);
        EXPECT_EQ(has(about, caption), row.Tab != AboutTabCredits);
        EXPECT_EQ(has(credits, caption), row.Tab != AboutTabAbout);
    }
}

TEST_F(AboutBox, ALinkShowsItsHostAndOpensTheWholeAddress)
{
    ui::RecordingOpener opener;
    const ui::ScopedService<ui::IOpener> guard{ui::SetOpener, opener};
    TLabel* link = nullptr;
    for (TLabel* label : Labels())
        if (!label->GetHint().empty() && link == nullptr)
            link = label;
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->GetCaption(), AddressHost(link->GetHint()));
    EXPECT_NE(link->GetCaption(), link->GetHint());
    EXPECT_EQ(link->GetCursor(), crHandPoint);
    EXPECT_EQ(link->GetFont()->GetColor(), clBlue);
    EXPECT_TRUE(link->GetFont()->GetStyle().Contains(fsUnderline));

    FForm->Show();
    Click(link);
    Click(Labels().back());  // a plain label opens nothing
    FForm->Hide();
    EXPECT_EQ(opener.Opened, std::vector<std::string>{link->GetHint()});
}

TEST_F(AboutBox, EnterAndEscapeCloseTheModalBox)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        const test::TModalScript script(*FForm, [&] {
            Click(FForm->LogoPanel);  // the keys go to the focused window
            test::Key(FForm->AboutTabControl, key);
        });
        EXPECT_EQ(FForm->ShowModal(), mrCancel);
        EXPECT_TRUE(script.GetRan());
    }
}

TEST(AboutBoxLanguage, TakesItsTextsAtConstructedAndAFreedBoxIsLeftAlone)
{
    test::TTempFolder folder;
    folder.WriteText("German.ini", "[Language]\nLangId=1031\nLanguage=Deutsch\n[Common]\n47=Info\n53=Dank\n");
    TVekLocalizer localizer(folder.Path());
    SetLocalizer(&localizer);
    localizer.SetLanguage(1031);
    auto form = std::make_unique<TAboutForm>(nullptr, AboutDesignWidth);
    EXPECT_EQ(form->GetCaption(), "About") << "not before Constructed";
    form->Constructed();
    EXPECT_EQ(form->GetCaption(), "Info");
    EXPECT_EQ(form->AboutTabControl->GetTabs()->Get(0), "Info");
    EXPECT_EQ(form->AboutTabControl->GetTabs()->Get(1), "Dank");
    form.reset();
    localizer.SetLanguage(1031);  // a change after the box was freed reaches nothing of it
    SetLocalizer(nullptr);
}

}  // namespace
}  // namespace ovrel::app
