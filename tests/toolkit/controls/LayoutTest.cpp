// Alignment, anchors and size constraints of child controls, without windows.
#include "toolkit/Controls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace ovrel::toolkit {
namespace {

struct Bounds {
    int Left, Top, Width, Height;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

Bounds BoundsOf(const TControl& c) { return {c.GetLeft(), c.GetTop(), c.GetWidth(), c.GetHeight()}; }

void PrintTo(const Bounds& b, std::ostream* os)
{
    *os << "(" << b.Left << "," << b.Top << " " << b.Width << "x" << b.Height << ")";
}

class LayoutTest : public ::testing::Test {
protected:
    LayoutTest() { Parent->SetBounds(0, 0, 200, 100); }
    TControl* AddChild(int left, int top, int width, int height)
    {
        auto* c = new TControl(Parent.get());
        c->SetParent(Parent.get());
        c->SetBounds(left, top, width, height);
        return c;
    }
    std::unique_ptr<TWinControl> Parent = std::make_unique<TWinControl>(nullptr);
};

struct AlignCase {
    const char* Name;
    TAlign Align;
    Bounds Expected;  // a 30x20 child at (50,40) in a 200x100 parent with border width 5
};

class AlignOneTest : public LayoutTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(AlignOneTest, FillsItsEdgeInsideTheBorder)
{
    Parent->SetBorderWidth(5);
    TControl* child = AddChild(50, 40, 30, 20);
    child->SetAlign(GetParam().Align);
    EXPECT_EQ(BoundsOf(*child), GetParam().Expected);

    // A parent that grows keeps the child on its edge.
    Parent->SetBounds(0, 0, 300, 150);
    const Bounds grown = BoundsOf(*child);
    switch (GetParam().Align) {
    case alTop: EXPECT_EQ(grown, (Bounds{0, 0, 290, 20})); break;
    case alBottom: EXPECT_EQ(grown, (Bounds{0, 120, 290, 20})); break;
    case alLeft: EXPECT_EQ(grown, (Bounds{0, 0, 30, 140})); break;
    case alRight: EXPECT_EQ(grown, (Bounds{260, 0, 30, 140})); break;
    case alClient: EXPECT_EQ(grown, (Bounds{0, 0, 290, 140})); break;
    default: EXPECT_EQ(grown, GetParam().Expected); break;
    }
}

// The parent's client area is 190x90 and its children's coordinates are client coordinates.
INSTANTIATE_TEST_SUITE_P(
    Aligns, AlignOneTest,
    ::testing::Values(AlignCase{"None", alNone, {50, 40, 30, 20}}, AlignCase{"Top", alTop, {0, 0, 190, 20}},
                      AlignCase{"Bottom", alBottom, {0, 70, 190, 20}}, AlignCase{"Left", alLeft, {0, 0, 30, 90}},
                      AlignCase{"Right", alRight, {160, 0, 30, 90}}, AlignCase{"Client", alClient, {0, 0, 190, 90}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LayoutTest, AlignedChildrenShareTheAreaInEdgeOrder)
{
    TControl* client = AddChild(0, 0, 10, 10);
    client->SetAlign(alClient);
    TControl* top2 = AddChild(0, 50, 10, 15);
    top2->SetAlign(alTop);
    TControl* top1 = AddChild(0, 0, 10, 10);
    top1->SetAlign(alTop);
    TControl* left = AddChild(0, 0, 40, 10);
    left->SetAlign(alLeft);
    TControl* bottom = AddChild(0, 0, 10, 5);
    bottom->SetAlign(alBottom);

    // Tops stack in the order of their current positions, then bottoms, lefts, and the rest is the client's.
    EXPECT_EQ(BoundsOf(*top1), (Bounds{0, 0, 200, 10}));
    EXPECT_EQ(BoundsOf(*top2), (Bounds{0, 10, 200, 15}));
    EXPECT_EQ(BoundsOf(*bottom), (Bounds{0, 95, 200, 5}));
    EXPECT_EQ(BoundsOf(*left), (Bounds{0, 25, 40, 70}));
    EXPECT_EQ(BoundsOf(*client), (Bounds{40, 25, 160, 70}));

    // A hidden aligned control gives its room back.
    top2->SetVisible(false);
    EXPECT_EQ(BoundsOf(*left), (Bounds{0, 10, 40, 85}));
    EXPECT_EQ(BoundsOf(*client), (Bounds{40, 10, 160, 85}));
}

TEST_F(LayoutTest, AlignmentWaitsWhileDisabled)
{
    TControl* child = AddChild(5, 5, 30, 20);
    Parent->DisableAlign();
    child->SetAlign(alClient);
    EXPECT_EQ(BoundsOf(*child), (Bounds{5, 5, 30, 20}));
    Parent->EnableAlign();
    EXPECT_EQ(BoundsOf(*child), (Bounds{0, 0, 200, 100}));
}

struct AnchorCase {
    const char* Name;
    TAnchors Anchors;
    Bounds Expected;  // a 30x20 child at (50,40) after the parent grows from 200x100 to 260x140
};

class AnchorTest : public LayoutTest, public ::testing::WithParamInterface<AnchorCase> {};

TEST_P(AnchorTest, KeepsTheAnchoredDistances)
{
    TControl* child = AddChild(50, 40, 30, 20);
    child->SetAnchors(GetParam().Anchors);
    Parent->SetBounds(0, 0, 260, 140);
    EXPECT_EQ(BoundsOf(*child), GetParam().Expected);
    // Back to the first size, back to the first place: the rule is kept, not re-taken from each layout.
    Parent->SetBounds(0, 0, 200, 100);
    EXPECT_EQ(BoundsOf(*child), (Bounds{50, 40, 30, 20}));
}

INSTANTIATE_TEST_SUITE_P(Anchors, AnchorTest,
                         ::testing::Values(AnchorCase{"LeftTop", {akLeft, akTop}, {50, 40, 30, 20}},
                                           AnchorCase{"RightBottom", {akRight, akBottom}, {110, 80, 30, 20}},
                                           AnchorCase{"LeftRight", {akLeft, akRight, akTop}, {50, 40, 90, 20}},
                                           AnchorCase{"AllFour", {akLeft, akTop, akRight, akBottom}, {50, 40, 90, 60}},
                                           AnchorCase{"NoneCentres", {}, {80, 60, 30, 20}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LayoutTest, AnchorsFollowAMoveByHand)
{
    TControl* child = AddChild(50, 40, 30, 20);
    child->SetAnchors({akRight, akTop});
    child->SetLeft(100);  // 70 from the right edge now
    Parent->SetWidth(300);
    EXPECT_EQ(child->GetLeft(), 200);
}

struct ConstraintCase {
    const char* Name;
    int MinWidth, MinHeight, MaxWidth, MaxHeight;
    int Width, Height;  // asked for
    int ExpectedWidth, ExpectedHeight;
};

class ConstraintTest : public LayoutTest, public ::testing::WithParamInterface<ConstraintCase> {};

TEST_P(ConstraintTest, ClampSetBounds)
{
    const ConstraintCase& p = GetParam();
    TControl* child = AddChild(0, 0, 50, 50);
    child->GetConstraints()->SetMinWidth(p.MinWidth);
    child->GetConstraints()->SetMinHeight(p.MinHeight);
    child->GetConstraints()->SetMaxWidth(p.MaxWidth);
    child->GetConstraints()->SetMaxHeight(p.MaxHeight);
    child->SetBounds(3, 4, p.Width, p.Height);
    EXPECT_EQ(BoundsOf(*child), (Bounds{3, 4, p.ExpectedWidth, p.ExpectedHeight}));
}

INSTANTIATE_TEST_SUITE_P(Constraints, ConstraintTest,
                         ::testing::Values(ConstraintCase{"NoLimits", 0, 0, 0, 0, 500, 1, 500, 1},
                                           ConstraintCase{"Minimum", 20, 30, 0, 0, 5, 6, 20, 30},
                                           ConstraintCase{"Maximum", 0, 0, 40, 45, 100, 100, 40, 45},
                                           ConstraintCase{"Inside", 10, 10, 90, 90, 60, 70, 60, 70}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(LayoutTest, NewConstraintsApplyToTheCurrentSizeAndWinOverAlignment)
{
    TControl* child = AddChild(0, 0, 50, 50);
    child->GetConstraints()->SetMaxWidth(30);
    EXPECT_EQ(child->GetWidth(), 30);
    child->SetAlign(alClient);
    EXPECT_EQ(BoundsOf(*child), (Bounds{0, 0, 30, 100}));
}

TEST_F(LayoutTest, ChildrenInZOrderAndHitTestTopmostFirst)
{
    TControl* bottom = AddChild(0, 0, 50, 50);
    TControl* top = AddChild(25, 25, 50, 50);
    ASSERT_EQ(Parent->GetControlCount(), 2);
    EXPECT_EQ(Parent->GetControl(0), bottom);
    EXPECT_EQ(Parent->GetControl(1), top);
    EXPECT_THROW((void)Parent->GetControl(2), EListError);
    EXPECT_THROW((void)Parent->GetControl(-1), EListError);

    EXPECT_EQ(Parent->ControlAtPos({30, 30}, false), top);
    EXPECT_EQ(Parent->ControlAtPos({10, 10}, false), bottom);
    EXPECT_EQ(Parent->ControlAtPos({150, 90}, false), nullptr);
    top->SendToBack();
    EXPECT_EQ(Parent->GetControl(0), top);
    EXPECT_EQ(Parent->ControlAtPos({30, 30}, false), bottom);

    bottom->SetEnabled(false);
    EXPECT_EQ(Parent->ControlAtPos({30, 30}, false), top);
    EXPECT_EQ(Parent->ControlAtPos({30, 30}, true), bottom);
    bottom->SetVisible(false);
    EXPECT_EQ(Parent->ControlAtPos({30, 30}, true), top);
}

TEST_F(LayoutTest, FreeingAChildTakesItOutOfTheParent)
{
    TControl* child = AddChild(0, 0, 10, 10);
    delete child;
    EXPECT_EQ(Parent->GetControlCount(), 0);
    EXPECT_EQ(Parent->GetComponentCount(), 0);
}

}  // namespace
}  // namespace ovrel::toolkit
