// Rows bound to the published properties of the grid's associate: each kind loaded and saved, paths of
// object properties, a missing component, colours in both formats, and loading that writes nothing back.

#include "inspector/PropertiesView.h"
#include "inspector/PropertyItemClasses.h"

#include "toolkit/Graphics.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace ovrel::inspector;
using namespace ovrel::toolkit;

namespace {

// An object property's object with an object of its own: Inner.Font.Size is a path of three names.
class Inner : public TPersistent {
public:
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    static const TPropertyTable& ClassProperties()
    {
        static const TPropertyTable table =
            TPropertyTable(&TPersistent::ClassProperties()).Object("Font", &Inner::GetFont, &Inner::SetFont);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

private:
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};

enum TMode : std::uint8_t { mdOff, mdOn, mdAuto };

// The component rows bind to, counting the writes it gets.
class Target : public TComponent {
public:
    Target() : TComponent(nullptr) {}
    int GetWidth() const { return FWidth; }
    void SetWidth(int value) { FWidth = value, ++Writes; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value) { FColor = value, ++Writes; }
    TMode GetMode() const { return FMode; }
    void SetMode(TMode value) { FMode = value, ++Writes; }
    bool GetActive() const { return FActive; }
    void SetActive(bool value) { FActive = value, ++Writes; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double value) { FRatio = value, ++Writes; }
    const std::string& GetTitle() const { return FTitle; }
    void SetTitle(const std::string& value) { FTitle = value, ++Writes; }
    TFontStyles GetStyles() const { return FStyles; }
    void SetStyles(TFontStyles value) { FStyles = value, ++Writes; }
    Inner* GetInner() const { return FInner.get(); }
    void SetInner(Inner*) {}

    static const TPropertyTable& ClassProperties()
    {
        using C = Target;
        static const TPropertyTable table =
            TPropertyTable(&TComponent::ClassProperties())
                .Integer("Width", &C::GetWidth, &C::SetWidth)
                .Integer("Color", &C::GetColor, &C::SetColor)
                .Enumeration("Mode", &C::GetMode, &C::SetMode, {"mdOff", "mdOn", "mdAuto"})
                .Enumeration("Active", &C::GetActive, &C::SetActive, {"False", "True"})
                .Float("Ratio", &C::GetRatio, &C::SetRatio)
                .String("Title", &C::GetTitle, &C::SetTitle)
                .Set("Styles", &C::GetStyles, &C::SetStyles, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})
                .Object("Inner", &C::GetInner, &C::SetInner);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

    int Writes = 0;

private:
    int FWidth = 120;
    TColor FColor = clRed;
    TMode FMode = mdOn;
    bool FActive = true;
    double FRatio = 1.5;
    std::string FTitle = "Hello";
    TFontStyles FStyles{fsBold, fsUnderline};
    std::unique_ptr<Inner> FInner = std::make_unique<Inner>();
};

class BindingTest : public ::testing::Test {
protected:
    BindingTest()
    {
        Category = Grid.GetCategories()->Add(TPropertyItemClass::Of<TTextualItem>(), "Cat", "");
        Grid.SetAssociate(&Component);
    }
    template <class T> T* Bound(const std::string& path, const std::string& caption = "")
    {
        auto* item = static_cast<T*>(Category->GetItems()->Add(TPropertyItemClass::Of<T>(), caption, ""));
        item->SetMapProperty(path);
        return item;
    }

    Target Component;
    TPropertiesView Grid{nullptr};
    TCustomPropertyItem* Category = nullptr;
};

TEST_F(BindingTest, EachKindLoadsWithoutWritingBackAndSavesOnEveryChange)
{
    auto* width = Bound<TTextualItem>("Width");
    auto* mode = Bound<TTextualItem>("Mode");
    auto* active = Bound<TCheckBoxItem>("Active");
    auto* ratio = Bound<TSpinItem>("Ratio");
    auto* title = Bound<TTextualItem>("Title");
    auto* styles = Bound<TFontStyleItem>("Styles");
    auto* setText = Bound<TTextualItem>("Styles");
    auto* size = Bound<TTrackBarItem>("Inner.Font.Size");
    EXPECT_EQ(Component.Writes, 0) << "loading writes nothing back";
    EXPECT_EQ(width->GetValue(), "120");
    EXPECT_EQ(mode->GetValue(), "mdOn");
    EXPECT_TRUE(active->GetAsBoolean());
    EXPECT_EQ(ratio->GetValue(), "1.5");
    EXPECT_EQ(title->GetValue(), "Hello");
    EXPECT_EQ(setText->GetValue(), "fsBold,fsUnderline");
    EXPECT_EQ(size->GetPosition(), Component.GetInner()->GetFont()->GetSize());
    EXPECT_EQ(width->GetCaption(), "Width") << "an empty caption takes the property's name";
    EXPECT_EQ(size->GetCaption(), "Size");

    width->SetValue("64");
    EXPECT_EQ(Component.GetWidth(), 64);
    mode->SetValue("mdAuto");
    EXPECT_EQ(Component.GetMode(), mdAuto);
    active->SetAsBoolean(false);
    EXPECT_FALSE(Component.GetActive()) << "\"False\" into the enumeration";
    ratio->SetValue("0.25");
    EXPECT_DOUBLE_EQ(Component.GetRatio(), 0.25);
    title->SetValue("World");
    EXPECT_EQ(Component.GetTitle(), "World");
    setText->SetValue("fsItalic, fsStrikeOut");
    EXPECT_EQ(Component.GetStyles(), (TFontStyles{fsItalic, fsStrikeOut}));
    size->SetPosition(14);
    EXPECT_EQ(Component.GetInner()->GetFont()->GetSize(), 14);
    EXPECT_THROW(mode->SetValue("mdNone"), EPropertyError) << "a program's setter still raises";
    (void)styles;
}

TEST_F(BindingTest, ColourRowsBindTheColourNotTheTextInTheirOwnFormat)
{
    auto* korvel = Bound<TColorItem>("Color");
    EXPECT_EQ(korvel->GetValue(), "clRed");
    korvel->SetValue("clLime");
    EXPECT_EQ(Component.GetColor(), clLime);

    auto* web = static_cast<TColorItem*>(Category->GetItems()->Add(TPropertyItemClass::Of<TColorItem>(), "Web", ""));
    web->SetColorKind(ckWeb);
    web->SetMapProperty("Color");
    EXPECT_EQ(web->GetValue(), "#00FF00");
    web->SetValue("#0000FF");
    EXPECT_EQ(Component.GetColor(), clBlue);
    EXPECT_THROW(web->SetValue("#"), EConvertError);
    EXPECT_EQ(Component.GetColor(), clBlue);
}

TEST_F(BindingTest, APathThatLeadsNowhereBindsNothingButGivesTheCaption)
{
    auto* missing = Bound<TTextualItem>("Missing.Width");
    auto* notAnObject = Bound<TTextualItem>("Title.Length");
    auto* unknown = Bound<TTextualItem>("Height", "Kept");
    missing->SetValue("5");
    notAnObject->SetValue("5");
    unknown->SetValue("5");
    EXPECT_EQ(Component.Writes, 0);
    EXPECT_EQ(missing->GetCaption(), "Width");
    EXPECT_EQ(notAnObject->GetCaption(), "Length");
    EXPECT_EQ(unknown->GetCaption(), "Kept");

    // Without an associate nothing is bound; a new associate loads the enabled bound rows.
    Grid.SetAssociate(nullptr);
    auto* width = Bound<TTextualItem>("Width");
    auto* disabled = Bound<TTextualItem>("Title");
    disabled->SetEnabled(false);
    width->SetValue("7");
    EXPECT_EQ(Component.GetWidth(), 120);
    Grid.SetAssociate(&Component);
    EXPECT_EQ(width->GetValue(), "120");
    EXPECT_EQ(disabled->GetValue(), "");
}

TEST(PropertyPaths, AThreeNamePathEndsAtTheObjectHoldingTheLastName)
{
    Target component;
    TPersistent* instance = &component;
    std::string name = "Inner.Font.Size";
    TCustomPropertyItem::ResolvePropertyPath(instance, name);
    EXPECT_EQ(instance, component.GetInner()->GetFont());
    EXPECT_EQ(name, "Size");
    instance = &component;
    name = "Nothing.Font.Size";
    TCustomPropertyItem::ResolvePropertyPath(instance, name);
    EXPECT_EQ(instance, nullptr);
}

}  // namespace
