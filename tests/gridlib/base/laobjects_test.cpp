#include "gridlib/base/laobjects.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

namespace {

// Records what the layout passes offered.
class TProbe : public TLaObjectEh {
  RTL_CLASS(TProbe, TLaObjectEh)
public:
  explicit TProbe(TComponent* AOwner) : TLaObjectEh(AOwner) {}
  TSize Offered{-1, -1};
  TSize Wanted{0, 0};
  TSize DoQueryLayout(TSize QuerySize, TCanvas*) override {
    Offered = QuerySize;
    return Wanted;
  }
};

class TClientProbe : public TLaControlEh {
  RTL_CLASS(TClientProbe, TLaControlEh)
public:
  explicit TClientProbe(TComponent* AOwner) : TLaControlEh(AOwner) {}
  TSize Offered{-1, -1};
  TSize Answer{-1, -1};  // negative: the offered size
  TSize DoQueryLayoutClientArea(TSize QuerySize, TCanvas*) override {
    Offered = QuerySize;
    return Answer.cx < 0 ? QuerySize : Answer;
  }
};

struct LaObjectsTest : ::testing::Test {
  TComponent Owner{nullptr};
};

TEST_F(LaObjectsTest, MarginsComeOffTheQueryAndThePlace) {
  auto* O = new TProbe(&Owner);
  O->Margins()->SetBounds(2, 2, 0, 0);
  EXPECT_EQ(O->QueryLayout({100, 50}, nullptr), TSize({2, 2}));
  EXPECT_EQ(O->Offered, TSize({98, 48}));
  EXPECT_EQ(O->PerformLayout(TRect(0, 0, 100, 50), nullptr), TSize({100, 50}));
  EXPECT_EQ(O->Location(), TPoint({2, 2}));
  EXPECT_EQ(O->Size(), TSize({98, 48}));
}

TEST_F(LaObjectsTest, MaxWidthClampsTheOfferAndTheClip) {
  auto* O = new TProbe(&Owner);
  O->SetMaxWidth(40);
  O->QueryLayout({100, 50}, nullptr);
  EXPECT_EQ(O->Offered.cx, 40);
  O->PerformLayout(TRect(0, 0, 100, 50), nullptr);
  EXPECT_EQ(O->ClipRect(), TRect(0, 0, 40, 50));
  EXPECT_EQ(O->Size().cx, 40);
}

TEST_F(LaObjectsTest, AlignmentOffsets) {
  // DoPerformLayout answers the offered size; a control asking for 30 in 25
  class TFixed : public TLaObjectEh {
  public:
    explicit TFixed(TComponent* AOwner) : TLaObjectEh(AOwner) {}
    TSize DoPerformLayout(TSize, TCanvas*) override { return {30, 10}; }
  };
  auto* O = new TFixed(&Owner);
  struct Case {
    TLaHorzAlignment Align;
    Integer X, Width;
  } Cases[] = {
      {TLaHorzAlignment::Left, 0, 30},
      {TLaHorzAlignment::Center, -2, 30},
      {TLaHorzAlignment::Right, -5, 30},
      {TLaHorzAlignment::Stretch, 0, 30},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.Align));
    O->SetHorzAlignment(C.Align);
    O->PerformLayout(TRect(0, 0, 25, 20), nullptr);
    EXPECT_EQ(O->Location().X, C.X);
    EXPECT_EQ(O->Size().cx, C.Width);
  }
  O->SetVertAlignment(TLaVertAlignment::Bottom);
  O->PerformLayout(TRect(0, 0, 25, 20), nullptr);
  EXPECT_EQ(O->Location().Y, 10);
}

TEST_F(LaObjectsTest, MarginRange) {
  TLaMargins M(nullptr);
  M.SetLeft(1024);
  EXPECT_EQ(M.Left(), 1024);
  for (Integer Bad : {1025, -1}) {
    try {
      M.SetTop(Bad);
      FAIL();
    } catch (const Exception& E) {
      EXPECT_EQ(E.Message, "SetMargin: Value > 1024");
    }
  }
  EXPECT_EQ(M.Top(), 0);
}

TEST_F(LaObjectsTest, TreeRules) {
  auto* Root = new TLaObjectEh(&Owner);
  auto* Child = TLaObjectEh::CreateWith<TLaObjectEh>(&Owner, Root);
  auto* Grandchild = TLaObjectEh::CreateWith<TLaObjectEh>(Child);
  try {
    Root->SetParent(Grandchild);
    FAIL();
  } catch (const EInvalidOperation& E) {
    EXPECT_EQ(E.Message, "SCannotCreateCircularDependence");
  }
  Root->SetParent(Root);
  EXPECT_EQ(Root->Parent(), nullptr);
  // moving a child takes it from its old parent
  auto* Other = new TLaObjectEh(&Owner);
  Other->AddObject(Grandchild);
  EXPECT_EQ(Child->ChildrenCount(), 0);
  EXPECT_EQ(Grandchild->Parent(), Other);
  EXPECT_THROW(Root->Children().GetChild(1), EArgumentOutOfRangeException);
  // a name is found depth first
  Child->AddObject(Grandchild);
  auto* Later = TLaObjectEh::CreateWith<TLaObjectEh>(&Owner, Root);
  Grandchild->SetName("X");
  Later->SetName("Y");
  EXPECT_EQ(Root->GetElementByName("X"), Grandchild);
  // clearing frees the children; the list starts again
  Root->ClearChildren();
  EXPECT_EQ(Root->ChildrenCount(), 0);
  EXPECT_EQ(Owner.ComponentCount(), 2);  // Root and Other
  Root->AddObject(new TLaObjectEh(&Owner));
  EXPECT_EQ(Root->ChildrenCount(), 1);
}

TEST_F(LaObjectsTest, CopyTakesTheTree) {
  auto* Root = new TLaControlEh(&Owner);
  Root->Margins()->SetBounds(1, 2, 3, 4);
  Root->SetMaxWidth(10);
  Root->SetHint("h");
  TLaObjectEh::CreateWith<TClientProbe>(&Owner, Root);
  auto* Copy = Root->CreateCopy(&Owner);
  EXPECT_EQ(Copy->ClassType(), TLaControlEh::StaticClass());
  EXPECT_EQ(Copy->Margins()->Bottom(), 4);
  EXPECT_EQ(Copy->Hint(), "h");
  EXPECT_EQ(Copy->MaxWidth(), -1);  // not copied
  ASSERT_EQ(Copy->ChildrenCount(), 1);
  EXPECT_EQ(Copy->Children().GetChild(0)->ClassType(), TClientProbe::StaticClass());
}

TEST_F(LaObjectsTest, ControlFramesItsClientArea) {
  auto* C = new TClientProbe(&Owner);
  C->Padding()->SetBounds(3, 3, 3, 3);
  C->BorderThickness()->SetBounds(1, 1, 1, 1);
  EXPECT_EQ(C->DoQueryLayout({100, 40}, nullptr), TSize({100, 40}));
  EXPECT_EQ(C->Offered, TSize({92, 32}));
  C->Answer = {1048576, 10};
  EXPECT_NO_THROW(C->DoQueryLayout({100, 40}, nullptr));
  C->Answer = {1048577, 10};
  try {
    C->DoQueryLayout({100, 40}, nullptr);
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "DoQueryLayout.TClientProbe : cx1048577 cy: 10");
  }
}

TEST_F(LaObjectsTest, BorderAndBackground) {
  TBitmap Bitmap;
  Bitmap.SetSize(20, 10);
  TCanvas* Canvas = Bitmap.Canvas();
  Canvas->Brush()->SetColor(clWhite);
  Canvas->FillRect(TRect(0, 0, 20, 10));
  auto* C = new TLaControlEh(&Owner);
  C->BorderThickness()->SetBounds(0, 2, 0, 0);
  C->SetBorderColor(clRed);
  C->Draw(TRect(0, 0, 20, 10), Canvas);
  EXPECT_EQ(CountPixels(&Bitmap, TRect(0, 0, 20, 1), clRed), 20);
  EXPECT_EQ(CountPixels(&Bitmap, TRect(0, 1, 20, 10), clWhite), 180);  // one pixel thick; clNone: no fill
  C->SetColor(clBlue);
  C->Draw(TRect(0, 0, 20, 10), Canvas);
  EXPECT_EQ(CountPixels(&Bitmap, TRect(0, 2, 20, 10), clBlue), 160);  // inside the border
  EXPECT_EQ(PixelAt(&Bitmap, 5, 0), clRed);
}

TEST_F(LaObjectsTest, FontFollowsTheParentControl) {
  auto* Parent = new TLaControlEh(&Owner);
  Parent->Font()->SetSize(15);
  EXPECT_FALSE(Parent->ParentFont());
  auto* Child = TLaObjectEh::CreateWith<TLaControlEh>(&Owner, Parent);
  EXPECT_EQ(Child->Font()->Size(), 15);
  EXPECT_TRUE(Child->ParentFont());
  auto* Grandchild = TLaObjectEh::CreateWith<TLaControlEh>(&Owner, Child);
  Parent->Font()->SetSize(20);
  EXPECT_EQ(Child->Font()->Size(), 20);
  EXPECT_EQ(Grandchild->Font()->Size(), 20);
  EXPECT_TRUE(Grandchild->ParentFont());
}

}  // namespace
