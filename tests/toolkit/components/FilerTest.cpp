// The filer: a component with a property of every kind, a collection, a string list, a defined integer and
// a child made through the class registry, written and read back; damaged streams end in EReadError.

#include "toolkit/Filer.h"

#include "toolkit/Lists.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ovrel::toolkit;

namespace {

enum TShade : std::uint8_t { shLight, shDark };
enum TEdge : std::uint8_t { edLeft, edTop, edRight };
using TEdges = TSet<TEdge>;

class TPart : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    const std::string& GetLabel() const { return FLabel; }
    void SetLabel(const std::string& value) { FLabel = value; }
    static const TPropertyTable& ClassProperties()
    {
        static const TPropertyTable table =
            TPropertyTable(&TPersistent::ClassProperties()).String("Label", &TPart::GetLabel, &TPart::SetLabel);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

private:
    std::string FLabel;
};

class TBox : public TPersistent {
public:
    int GetSize() const { return FSize; }
    void SetSize(int value) { FSize = value; }
    static const TPropertyTable& ClassProperties()
    {
        static const TPropertyTable table =
            TPropertyTable(&TPersistent::ClassProperties()).Integer("Size", &TBox::GetSize, &TBox::SetSize);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }

private:
    int FSize = 0;
};

// A component with one property of each kind; its children are the components it owns.
class TSample : public TComponent {
public:
    explicit TSample(TComponent* owner) : TComponent(owner) {}
    int GetCount() const { return FCount; }
    void SetCount(int value) { FCount = value; }
    TShade GetShade() const { return FShade; }
    void SetShade(TShade value) { FShade = value; }
    double GetRatio() const { return FRatio; }
    void SetRatio(double value) { FRatio = value; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value) { FCaption = value; }
    TEdges GetEdges() const { return FEdges; }
    void SetEdges(TEdges value) { FEdges = value; }
    TBox* GetBox() const { return FBox.get(); }
    void SetBox(TBox*) {}
    TCollection* GetParts() const { return FParts.get(); }
    void SetParts(TCollection*) {}
    TStringList* GetLines() const { return FLines.get(); }
    void SetLines(const TStrings& value) { FLines->Assign(value); }
    std::string GetSummary() const { return "read only"; }

    static const TPropertyTable& ClassProperties()
    {
        using C = TSample;
        static const TPropertyTable table =
            TPropertyTable(&TComponent::ClassProperties())
                .Integer("Count", &C::GetCount, &C::SetCount)
                .Enumeration("Shade", &C::GetShade, &C::SetShade, {"shLight", "shDark"})
                .Float("Ratio", &C::GetRatio, &C::SetRatio)
                .String("Caption", &C::GetCaption, &C::SetCaption)
                .Set("Edges", &C::GetEdges, &C::SetEdges, {"edLeft", "edTop", "edRight"})
                .Object("Box", &C::GetBox, &C::SetBox)
                .Object("Parts", &C::GetParts, &C::SetParts)
                .Strings("Lines", &C::GetLines, &C::SetLines)
                .String("Summary", &C::GetSummary, nullptr);
        return table;
    }
    const TPropertyTable& GetPropertyTable() const override { return ClassProperties(); }
    void GetChildren(const TGetChildProc& proc, TComponent*) override
    {
        for (int i = 0; i < GetComponentCount(); ++i)
            proc(GetComponent(i));
    }
    TComponent* GetChildOwner() override { return this; }

    int Secret = 0;  // streamed as a defined property

protected:
    void DefineProperties(TFiler& filer) override
    {
        filer.DefineProperty(
            "Secret", [this](TReader& r) { Secret = static_cast<int>(r.ReadInteger()); },
            [this](TWriter& w) { w.WriteInteger(Secret); }, Secret != 0);
    }

private:
    int FCount = 0;
    TShade FShade = shLight;
    double FRatio = 0;
    std::string FCaption;
    TEdges FEdges;
    std::unique_ptr<TBox> FBox = std::make_unique<TBox>();
    std::unique_ptr<TCollection> FParts = std::make_unique<TCollection>(TCollectionItemClass::Of<TPart>());
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
};

class FilerTest : public ::testing::Test {
protected:
    FilerTest() { RegisterClass(TComponentClass::Of<TSample>()); }
    ~FilerTest() override { UnRegisterClass(TComponentClass::Of<TSample>()); }

    static void Fill(TSample& s)
    {
        s.SetCount(-7);
        s.SetShade(shDark);
        s.SetRatio(0.125);
        s.SetCaption("caption, with \"quotes\"");
        s.SetEdges({edLeft, edRight});
        s.GetBox()->SetSize(12);
        for (const char* label : {"one", "two"})
            static_cast<TPart*>(s.GetParts()->Add())->SetLabel(label);
        s.GetLines()->SetText("a\n\nc");
        s.Secret = 99;
        s.SetTag(5);
    }
};

TEST_F(FilerTest, AComponentAndItsChildrenComeBackWithEveryKindOfProperty)
{
    TSample source(nullptr);
    Fill(source);
    auto* child = new TSample(&source);
    child->SetName("Child");
    child->SetCaption("inner");
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteRootComponent(&source);
    stream.SetPosition(0);

    TSample copy(nullptr);
    static_cast<TPart*>(copy.GetParts()->Add())->SetLabel("replaced");
    static_cast<TPart*>(copy.GetParts()->Add())->SetLabel("replaced");
    static_cast<TPart*>(copy.GetParts()->Add())->SetLabel("surplus");
    TReader reader(stream);
    reader.ReadRootComponent(&copy);
    EXPECT_EQ(copy.GetCount(), -7);
    EXPECT_EQ(copy.GetShade(), shDark);
    EXPECT_DOUBLE_EQ(copy.GetRatio(), 0.125);
    EXPECT_EQ(copy.GetCaption(), "caption, with \"quotes\"");
    EXPECT_EQ(copy.GetEdges(), (TEdges{edLeft, edRight}));
    EXPECT_EQ(copy.GetBox()->GetSize(), 12);
    ASSERT_EQ(copy.GetParts()->GetCount(), 2);
    EXPECT_EQ(static_cast<TPart*>(copy.GetParts()->GetItem(1))->GetLabel(), "two");
    EXPECT_EQ(copy.GetLines()->GetText(), "a\n\nc\n");
    EXPECT_EQ(copy.Secret, 99);
    EXPECT_EQ(copy.GetTag(), 5);
    ASSERT_EQ(copy.GetComponentCount(), 1);
    auto* readChild = dynamic_cast<TSample*>(copy.GetComponent(0));
    ASSERT_NE(readChild, nullptr);
    EXPECT_EQ(readChild->GetName(), "Child");
    EXPECT_EQ(readChild->GetCaption(), "inner");
    EXPECT_EQ(readChild->Secret, 0) << "a defined property without data is not written";
    EXPECT_FALSE(copy.GetComponentState().Contains(csLoading));
    EXPECT_FALSE(readChild->GetComponentState().Contains(csReading));
}

TEST_F(FilerTest, DamagedStreamsEndInAReadError)
{
    TSample source(nullptr);
    Fill(source);
    TMemoryStream good;
    TWriter goodWriter(good);
    goodWriter.WriteRootComponent(&source);
    const auto* bytes = static_cast<const std::uint8_t*>(good.GetMemory());
    const auto size = static_cast<std::int32_t>(good.GetSize());

    struct Damage {
        const char* Name;
        std::function<void(TWriter&)> Write;
    };
    const Damage damages[] = {
        {"NoSignature", [](TWriter& w) { w.WriteStr("TSample"); }},
        {"AnotherClass",
         [](TWriter& w) {
             w.WriteSignature();
             w.WriteStr("TOther");
         }},
        {"UnknownProperty",
         [](TWriter& w) {
             w.WriteSignature();
             w.WriteStr("TSample"), w.WriteStr("");
             w.WriteStr("Colour"), w.WriteInteger(1);
         }},
        {"WrongKind",
         [](TWriter& w) {
             w.WriteSignature();
             w.WriteStr("TSample"), w.WriteStr("");
             w.WriteStr("Count"), w.WriteString("seven");
         }},
        {"UnknownName",
         [](TWriter& w) {
             w.WriteSignature();
             w.WriteStr("TSample"), w.WriteStr("");
             w.WriteStr("Caption"), w.WriteString("x"), w.WriteListEnd(), w.WriteStr("TNoSuchClass");
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.Name);
        TMemoryStream stream;
        TWriter writer(stream);
        damage.Write(writer);
        stream.SetPosition(0);
        TSample copy(nullptr);
        TReader reader(stream);
        EXPECT_THROW(reader.ReadRootComponent(&copy), EReadError);
    }
    for (std::int32_t length = 0; length < size; ++length) {
        SCOPED_TRACE(length);
        TMemoryStream cut;
        cut.WriteBuffer(bytes, length);
        cut.SetPosition(0);
        TSample copy(nullptr);
        TReader reader(cut);
        EXPECT_THROW(reader.ReadRootComponent(&copy), EReadError);
    }
}

}  // namespace
