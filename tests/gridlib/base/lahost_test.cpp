#include "gridlib/base/lahost.h"

#include "gridlib/base/lahintwindow.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/hints.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/gridlib/base/dbtestsupport.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <gtest/gtest.h>

namespace {

std::vector<String>* Journal = nullptr;

// Lays its children out side by side, each as wide as it asks, filled with
// its colour; logs its mouse calls.
class TBox : public TLaControlEh {
  RTL_CLASS(TBox, TLaControlEh)
public:
  explicit TBox(TComponent* AOwner) : TLaControlEh(AOwner) {}
  TRect Place{-1, -1, -1, -1};  // set: the child rectangle in the parent
  TSize DoPerformLayout(TSize PerfSize, TCanvas* ACanvas) override {
    for (TLaObjectEh* Child : Children()) {
      auto* B = static_cast<TBox*>(Child);
      B->PerformLayout(B->Place, ACanvas);
    }
    return PerfSize;
  }
  void MouseEnter() override { log("enter"); }
  void MouseLeave() override { log("leave"); }
  void MouseDown(TMouseButton, TShiftState, Integer X, Integer Y) override {
    log(QString("down(%1,%2)").arg(X).arg(Y));
  }
  void Click(TMouseButton, TShiftState, Integer, Integer) override { log("click"); }

private:
  void log(const String& What) {
    if (Journal) Journal->push_back(Name() + " " + What);
  }
};

struct LaHostTest : ::testing::Test {
  std::vector<String> Log;
  TForm* Form = nullptr;
  TLaHostWinControl* Host = nullptr;
  TComponent Owner{nullptr};
  TBox* Root = nullptr;
  TBox* A = nullptr;
  TBox* B = nullptr;

  void SetUp() override {
    Journal = &Log;
    InitializeForms();
    Form = new TForm(Application);
    Form->SetBounds(0, 0, 300, 200);
    Host = new TLaHostWinControl(Form);
    Host->SetBounds(10, 10, 200, 100);
    Host->SetParent(Form);
    Root = box("Root", TRect(), clWhite);
    A = box("A", TRect(0, 0, 100, 100), clRed);
    B = box("B", TRect(100, 0, 200, 100), clBlue);
    Root->AddObject(A);
    Root->AddObject(B);
    Host->SetLaObject(Root);
    Form->Show();
  }
  void TearDown() override {
    Journal = nullptr;
    Host->SetLaObject(nullptr);
    Form->Free();
    FinalizeForms();
    test::ResetUi();
  }
  TBox* box(const char* Name, TRect Place, TColor Color) {
    auto* Box = new TBox(&Owner);
    Box->SetName(Name);
    Box->Place = Place;
    Box->SetColor(Color);
    return Box;
  }
  void Layout() {
    TBitmap Bitmap;
    Bitmap.SetSize(200, 100);
    Host->LaHost()->UpdateLayout(TRect(0, 0, 200, 100), Bitmap.Canvas());
  }
};

TEST_F(LaHostTest, MovingIntoASiblingLeavesAndEnters) {
  Layout();
  test::MouseMove(Host, {50, 50});
  EXPECT_EQ(Log, std::vector<String>({"Root enter", "A enter"}));
  Log.clear();
  test::MouseMove(Host, {150, 50});
  EXPECT_EQ(Log, std::vector<String>({"A leave", "B enter"}));
  Log.clear();
  Host->LaHost()->HandleMouseLeave();
  EXPECT_EQ(Log, std::vector<String>({"Root leave", "B leave"}));
  Log.clear();
  test::MouseMove(Host, {150, 50});  // the same point again re-enters
  EXPECT_EQ(Log, std::vector<String>({"Root enter", "B enter"}));
}

TEST_F(LaHostTest, ClickNeedsDownAndUpOnOneObject) {
  Layout();
  test::MouseDown(Host, {50, 50});
  test::MouseUp(Host, {150, 50});
  EXPECT_EQ(std::count(Log.begin(), Log.end(), "A click") + std::count(Log.begin(), Log.end(), "B click"), 0);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "A down(50,50)"), Log.end());
  Log.clear();
  test::Click(Host, {120, 30});
  EXPECT_NE(std::find(Log.begin(), Log.end(), "B down(20,30)"), Log.end());
  EXPECT_NE(std::find(Log.begin(), Log.end(), "B click"), Log.end());
}

TEST_F(LaHostTest, LaterOverlappingSiblingIsHitAndDrawnOnTop) {
  B->Place = TRect(50, 0, 150, 100);  // overlaps A on 50..99
  TBitmap Bitmap;
  Bitmap.SetSize(200, 100);
  Host->LaHost()->LayoutAndDraw(TRect(0, 0, 200, 100), Bitmap.Canvas());
  EXPECT_EQ(Host->LaHost()->GetLaObjectAtPoint({75, 50}), B);
  EXPECT_EQ(Host->LaHost()->GetLaObjectAtPoint({25, 50}), A);
  EXPECT_EQ(Host->LaHost()->GetLaObjectAtPoint({175, 50}), Root);
  EXPECT_EQ(PixelAt(&Bitmap, 75, 50), clBlue);
  EXPECT_EQ(PixelAt(&Bitmap, 25, 50), clRed);
  EXPECT_EQ(PixelAt(&Bitmap, 175, 50), clWhite);
}

TEST_F(LaHostTest, ChildDrawsClippedToWhatItWasOffered) {
  // A asks to be 150 wide in a 100-pixel place: the clip keeps it inside
  class TWide : public TBox {
  public:
    using TBox::TBox;
    TSize DoPerformLayout(TSize, TCanvas*) override { return {150, 100}; }
  };
  auto* Wide = new TWide(&Owner);
  Wide->Place = TRect(0, 0, 100, 100);
  Wide->SetColor(clLime);
  Wide->SetHorzAlignment(TLaHorzAlignment::Left);
  Root->RemoveObject(B);
  Root->RemoveObject(A);
  Root->AddObject(Wide);
  TBitmap Bitmap;
  Bitmap.SetSize(200, 100);
  Host->LaHost()->LayoutAndDraw(TRect(0, 0, 200, 100), Bitmap.Canvas());
  EXPECT_EQ(PixelAt(&Bitmap, 99, 50), clLime);
  EXPECT_EQ(PixelAt(&Bitmap, 120, 50), clWhite);
  A->Free();
  B->Free();
  A = B = nullptr;
}

TEST_F(LaHostTest, ObjectOutsideTheTreeHasNoHostRect) {
  Layout();
  EXPECT_EQ(Host->LaHost()->LaObjectInHostRect(B), TRect(100, 0, 200, 100));
  TLaObjectEh Stray(nullptr);
  try {
    Host->LaHost()->LaObjectInHostRect(&Stray);
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, "TLaHost.LaObjectInHostRect: ALaObject is not in LaHost Tree.");
  }
}

TEST_F(LaHostTest, ChildWithoutHintShowsItsParentsHint) {
  Layout();
  Root->SetHint("Whole row|long text");
  THintInfo Info;
  Info.CursorPos = {150, 20};
  Host->Perform(CM_HINTSHOW, 0, reinterpret_cast<gdi::LPARAM>(&Info));
  EXPECT_EQ(Info.HintStr, "Whole row");
  EXPECT_EQ(Info.CursorRect, TRect(100, 0, 200, 100));
  EXPECT_EQ(Info.HintWindowClass, TLaHintWindowEh::StaticClass());
  // a handler may hand an object over as the hint's content
  A->OnGetHintInfo = [this](TLaObjectEh*, TLaHintInfoEventArgs* Args) {
    Args->HintText = "A";
    Args->HintObject = B;
    Args->Handled = true;
  };
  THintInfo OnA;
  OnA.CursorPos = {20, 20};
  Host->Perform(CM_HINTSHOW, 0, reinterpret_cast<gdi::LPARAM>(&OnA));
  EXPECT_EQ(OnA.HintStr, "A");
  EXPECT_EQ(OnA.HintData, static_cast<TObject*>(B));
}

TEST_F(LaHostTest, DataSetChangeRepaintsTheHostControl) {
  struct TCounter : ILaHostWinControl {
    int Count = 0;
    void InvalidateHost(TLaHost*) override { ++Count; }
  } Counter;
  TLaHost LaHost(nullptr, &Counter);
  TRowListDataSet DataSet(nullptr);
  basetest::FillDataSet(DataSet, 3);
  TDataSource Source(nullptr);
  Source.SetDataSet(&DataSet);
  LaHost.SetDataSource(&Source);
  Counter.Count = 0;
  DataSet.Refresh();
  EXPECT_GE(Counter.Count, 1);
  LaHost.SetDataSource(nullptr);
}

TEST_F(LaHostTest, BacklightTintsTheChosenObject) {
  TBitmap Bitmap;
  Bitmap.SetSize(200, 100);
  A->Margins()->SetBounds(0, 0, 0, 0);
  Host->LaHost()->SetDesignBacklightObject(A);
  Host->LaHost()->LayoutAndDraw(TRect(0, 0, 200, 100), Bitmap.Canvas());
  EXPECT_NE(PixelAt(&Bitmap, 50, 50), clRed);   // red blended with the back-light
  EXPECT_EQ(PixelAt(&Bitmap, 150, 50), clBlue);  // B untouched
}

}  // namespace
