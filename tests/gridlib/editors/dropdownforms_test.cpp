#include "gridlib/editors/dropdownforms.h"

#include "gridlib/base/sizegrip.h"
#include "gridlib/editors/speedbutton.h"
#include "platform/os/sysinfo.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/modaltest.h"
#include "tests/gridlib/editors/dropdownfixture.h"

#include <QStringList>

using namespace gdi;

namespace {

// The work area is (0, 0, 1000, 800); a form made per test, 200 x 120, and
// an edit on the main form to give the focus to.
class DropDownFormTest : public DropDownFixture {
protected:
  void SetUp() override {
    DropDownFixture::SetUp();
    Master = make<TEdit>(Bounds(10, 10, 100, 21));
    Other = make<TEdit>(Bounds(10, 50, 100, 21));
    Form->Show();
    Master->SetFocus();
  }

  TTestDropDownFormEh* newForm() { return CreateForm<TTestDropDownFormEh>(Form); }

  // Opens DD under the master edit; the callback logs "accept" or "cancel".
  void open(TCustomDropDownFormEh* DD, TDropDownAlign Align = daLeft) {
    DD->ExecuteNomodal(GetControlScreenRectEh(Master), nullptr, Align, nullptr, nullptr,
                       [this](TCustomForm*, bool Accept, TDynVarsEh*, TDropDownFormSysParams*) {
                         Calls.append(Accept ? "accept" : "cancel");
                       });
  }

  TEdit* Master = nullptr;
  TEdit* Other = nullptr;
  QStringList Calls;
};

TEST_F(DropDownFormTest, PlacementKeepsTheFormInsideTheWorkArea) {
  struct Case {
    const char* Name;
    TRect Control;
    TDropDownAlign Align;
    TSize Size;
    TRect Expected;
    TDropLayoutEh Layout;
  } Cases[] = {
      {"under, left aligned", {100, 100, 300, 121}, daLeft, {200, 120}, {100, 122, 300, 242}, dlUnderControlEh},
      {"400 above, 100 below: above", {100, 400, 300, 700}, daLeft, {200, 300}, {100, 100, 300, 400},
       dlAboveControlEh},
      {"50 above, 100 below: below, shortened", {100, 50, 300, 700}, daLeft, {200, 300}, {100, 701, 300, 800},
       dlUnderControlEh},
      {"wider than the work area", {100, 100, 300, 121}, daLeft, {1200, 120}, {0, 122, 1000, 242},
       dlUnderControlEh},
      {"centred, 101 wider", {300, 100, 400, 121}, daCenter, {201, 120}, {250, 122, 451, 242}, dlUnderControlEh},
      {"right edges aligned", {300, 100, 400, 121}, daRight, {200, 120}, {200, 122, 400, 242}, dlUnderControlEh},
      {"pushed left of the right edge", {900, 100, 990, 121}, daLeft, {200, 120}, {800, 122, 1000, 242},
       dlUnderControlEh},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestDropDownFormEh* DD = newForm();
    DD->SetBounds(0, 0, C.Size.cx, C.Size.cy);
    EXPECT_EQ(DD->PlaceForm(C.Control, C.Align), C.Layout);
    EXPECT_EQ(DD->BoundsRect(), C.Expected);
    DD->Free();
  }
}

TEST_F(DropDownFormTest, AClickOutsideClosesNotAcceptedAndTheFocusStaysWhereItWent) {
  TTestDropDownFormEh* DD = newForm();
  open(DD);
  ASSERT_TRUE(DD->Visible());
  EXPECT_TRUE(Calls.isEmpty()) << "being shown does not close it";
  test::Click(Other, {5, 5});
  EXPECT_FALSE(DD->Visible());
  EXPECT_EQ(Calls, QStringList{"cancel"});
  EXPECT_TRUE(Other->Focused());
}

TEST_F(DropDownFormTest, AcceptingRefocusesTheMasterControlAndCallsBackOnce) {
  TTestDropDownFormEh* DD = newForm();
  open(DD);
  DD->Editor->SetFocus();
  ASSERT_FALSE(Master->Focused());
  test::Click(DD->Ok, {5, 5});
  EXPECT_EQ(Calls, QStringList{"accept"});
  EXPECT_FALSE(DD->Visible());
  EXPECT_TRUE(Master->Focused());
}

TEST_F(DropDownFormTest, ACloseInsideACloseDoesNothing) {
  TTestDropDownFormEh* DD = newForm();
  int Closes = 0;
  DD->OnClose = [&](TObject*, TCloseAction&) {
    ++Closes;
    DD->Close();
  };
  open(DD);
  DD->Close();
  EXPECT_EQ(Closes, 1);
  EXPECT_EQ(Calls, QStringList{"cancel"});
}

TEST_F(DropDownFormTest, KeepFormVisibleHoldsItOpenWhenActivationGoes) {
  TTestDropDownFormEh* DD = newForm();
  open(DD);
  DD->SetKeepFormVisible(true);
  test::Click(Other, {5, 5});
  EXPECT_TRUE(DD->Visible());
  EXPECT_TRUE(Calls.isEmpty());
}

// Ended first: otherwise its callback never ran, its button stayed held
// down and its bags were never freed.
TEST_F(DropDownFormTest, ASecondNonModalCallEndsThePendingOneNotAccepted) {
  TTestDropDownFormEh* DD = newForm();
  open(DD);
  open(DD);
  EXPECT_EQ(Calls, QStringList{"cancel"});
  EXPECT_TRUE(DD->Visible());
  DD->Accept();
  EXPECT_EQ(Calls, (QStringList{"cancel", "accept"}));
}

TEST_F(DropDownFormTest, ElementsFollowFormElementsAndTheLayout) {
  TTestDropDownFormEh* DD = newForm();
  DD->SetFormElements({});
  open(DD);
  EXPECT_FALSE(DD->CloseButton()->Visible());
  EXPECT_FALSE(DD->SizingBar()->Visible());
  EXPECT_FALSE(DD->SizeGrip()->Visible());
  EXPECT_FALSE(DD->SizeGrip2()->Visible());
  DD->Close();

  // Under the control with a sizing bar: the close button sits on the bar,
  // right of the left grip.
  DD->SetFormElements(AllDropDownFormElementsEh);
  open(DD);
  const int Small = GetSystemMetrics(SM_CYSMSIZE);
  EXPECT_EQ(DD->CloseButton()->BoundsRect(), Bounds(18, DD->ClientHeight() - Small - 1, Small, Small));
  EXPECT_EQ(DD->SizingBar()->Align(), alBottom);
  EXPECT_EQ(DD->SizingBar()->Height(), GetSystemMetrics(SM_CYVSCROLL) + 3);
  EXPECT_EQ(DD->SizeGrip()->Position(), sgpBottomRight);
  EXPECT_EQ(DD->SizeGrip2()->Position(), sgpBottomLeft);
  DD->Close();

  // Above the control: grips at the top corners, the bar at the top.
  DD->SetHeight(300);
  DD->ExecuteNomodal(Bounds(100, 750, 100, 21), nullptr, daLeft, nullptr, nullptr, {});
  ASSERT_EQ(DD->DropLayout(), dlAboveControlEh);
  EXPECT_EQ(DD->SizeGrip()->Position(), sgpTopRight);
  EXPECT_EQ(DD->SizeGrip2()->Position(), sgpTopLeft);
  EXPECT_EQ(DD->SizingBar()->Align(), alTop);
  EXPECT_EQ(DD->CloseButton()->Left(), DD->ClientWidth() - Small - 18);
}

TEST_F(DropDownFormTest, ClientRectAndClassicBorderFollowTheOsVersion) {
  struct Case {
    const char* Name;
    Integer Major;
    Integer Border;
  } Cases[] = {{"Windows 10", 10, 1}, {"Windows 6.1", 6, 3}, {"Windows 5.1", 5, 2}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TWin32Version Version;
    Version.MajorVersion = C.Major;
    Version.MinorVersion = 1;
    const TWin32VersionScope Scope(Version);
    TTestDropDownFormEh* DD = newForm();
    DD->SetFormElements({});
    EXPECT_EQ(DD->ControlClientRect(), TRect(C.Border, 2 * C.Border, 200 - C.Border, 120 - C.Border));
    open(DD);
    const std::unique_ptr<TBitmap> Shot = test::Snapshot(DD);
    EXPECT_EQ(PixelAt(Shot.get(), 0, 60), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(PixelAt(Shot.get(), 199, 119), ColorToRGB(cl3DDkShadow));
    for (int Ring = 1; Ring < C.Border; ++Ring) EXPECT_EQ(PixelAt(Shot.get(), Ring, 60), ColorToRGB(cl3DLight));
    EXPECT_EQ(PixelAt(Shot.get(), C.Border, 60), ColorToRGB(clBtnFace));
    DD->Free();
  }
}

TEST_F(DropDownFormTest, MinimumSizeAndSizingBarDrag) {
  TTestDropDownFormEh* DD = newForm();
  DD->SetBounds(0, 0, 10, 10);
  EXPECT_EQ(DD->Width(), 2 * GetSystemMetrics(SM_CXVSCROLL));
  EXPECT_EQ(DD->Height(), 2 * GetSystemMetrics(SM_CYVSCROLL));
  DD->SetBounds(0, 0, 200, 120);
  open(DD);
  TDDFSizingBarEh* Bar = DD->SizingBar();
  EXPECT_EQ(Bar->SizingArea(), 10);
  test::MouseDown(Bar, {50, 15});
  test::MouseMove(Bar, {50, 45}, {ssLeft});
  test::MouseUp(Bar, {50, 45});
  EXPECT_EQ(DD->Height(), 150);
  // Outside the band a press starts no drag.
  test::MouseDown(Bar, {50, 2});
  test::MouseMove(Bar, {50, 40}, {ssLeft});
  test::MouseUp(Bar, {50, 40});
  EXPECT_EQ(DD->Height(), 150);
}

TEST_F(DropDownFormTest, ClassicCloseButtonIsTheFlatCaptionCloseFrameAndCloses) {
  TTestDropDownFormEh* DD = newForm();
  open(DD);
  TDDFCloseButtonEh* Close = DD->CloseButton();
  const int Small = GetSystemMetrics(SM_CYSMSIZE);
  ASSERT_EQ(Close->Width(), Small);
  // The button is not replicatable, so the window shows it, not a copy.
  Close->Repaint();
  TBitmap Shot;
  Shot.SetImage(test::WindowImage(Close).copy(0, 0, Small, Small));
  const std::unique_ptr<TBitmap> Expected = PainterImage(Small, Small, clBtnFace, [&](HDC DC) {
    RECT R{0, 0, Small, Small};
    DrawFrameControl(DC, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
  });
  EXPECT_TRUE(ImagesEqual(&Shot, Expected.get(), 0));
  test::Click(Close, {5, 5});
  EXPECT_FALSE(DD->Visible());
  EXPECT_EQ(Calls, QStringList{"cancel"});
}

TEST_F(DropDownFormTest, ShowModalIsACentredDialogReturningParamsOnlyForOk) {
  TTestDropDownFormEh* DD = newForm();
  int Returned = 0;
  DD->OnReturnParams = [&](TCustomDropDownFormEh*, TDynVarsEh*) { ++Returned; };
  test::ModalScript Script;
  Script
      .Then([](TModalRequest& R) {
        auto* F = static_cast<TCustomDropDownFormEh*>(R.Form);
        EXPECT_EQ(F->BorderStyle(), bsDialog);
        EXPECT_EQ(F->Position(), poScreenCenter);
        EXPECT_FALSE(F->DropDownMode());
        F->SetModalResult(mrCancel);
      })
      .Answer(mrOk);
  EXPECT_EQ(DD->ShowModal(), mrCancel);
  EXPECT_EQ(Returned, 0);
  EXPECT_EQ(DD->ShowModal(), mrOk);
  EXPECT_EQ(Returned, 1);
}

TEST_F(DropDownFormTest, ExecuteAsksTheModalSeamAsADropDownRun) {
  TTestDropDownFormEh* DD = newForm();
  TDynVarsEh Bag(nullptr);
  Bag.CreateDynVar("", Variant(String("abc")));
  test::ModalScript Script;
  Script
      .Then([](TModalRequest& R) {
        EXPECT_EQ(R.Kind, "dropdown");
        auto* F = static_cast<TTestDropDownFormEh*>(R.Form);
        EXPECT_TRUE(F->Visible());
        EXPECT_EQ(F->Editor->Text(), "abc");
        F->Editor->SetText("xyz");
        F->SetModalResult(mrOk);
      })
      .Answer(mrCancel)
      .Then([](TModalRequest&) {});
  EXPECT_TRUE(DD->Execute(Master, nullptr, daLeft, &Bag));
  EXPECT_EQ(Bag.Items(0)->AsString(), "xyz");
  EXPECT_FALSE(DD->Visible());
  EXPECT_FALSE(DD->Execute(Master, nullptr, daLeft, &Bag));
  EXPECT_EQ(Bag.Items(0)->AsString(), "xyz");
  EXPECT_THROW(DD->Execute(Master, nullptr, daLeft, &Bag), EUnansweredModal);
  EXPECT_FALSE(DD->Visible());
}

TEST_F(DropDownFormTest, TheSharedInstanceIsAClassLevelAnswer) {
  TCustomDropDownFormEh* Shared = DropDownFormGlobalRefEh(TSharedTestDropDownFormEh::StaticClass());
  ASSERT_NE(Shared, nullptr);
  EXPECT_EQ(DropDownFormGlobalRefEh(TSharedTestDropDownFormEh::StaticClass()), Shared);
  EXPECT_EQ(Shared->ClassType(), TSharedTestDropDownFormEh::StaticClass());
  EXPECT_EQ(DropDownFormGlobalRefEh(TTestDropDownFormEh::StaticClass()), nullptr);
  EXPECT_EQ(DropDownFormGlobalRefEh(TForm::StaticClass()), nullptr);
}

}  // namespace
