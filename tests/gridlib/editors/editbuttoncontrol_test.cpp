#include "gridlib/editors/editbuttoncontrol.h"

#include "gridlib/editors/editbuttons.h"
#include "platform/ui/graphics/imagelist.h"
#include "tests/gridlib/editors/editorsfixture.h"

#include <memory>
#include <vector>

namespace {

TColor rgb(TColor Color) { return TColor(ColorToRGB(Color)); }

class EditButtonControlTest : public EditorsFixture {
protected:
  void SetUp() override {
    EditorsFixture::SetUp();
    Form->SetBorderStyle(bsNone);
    Control = make<TEditButtonControlEh>(Bounds(10, 10, 17, 17));
    Control->SetTransparent(false);
    Control->OnDown = [this](TObject*, bool TopButton, bool& AutoRepeat, bool&) {
      Downs.push_back(TopButton);
      if (ClearRepeatAfter > 0 && int(Downs.size()) >= ClearRepeatAfter) AutoRepeat = false;
    };
    Form->Show();
  }
  TColor at(int X, int Y) { return pixel(10 + X, 10 + Y); }

  TEditButtonControlEh* Control = nullptr;
  std::vector<bool> Downs;  // TopButton of each OnDown
  int ClearRepeatAfter = 0;
};

TEST_F(EditButtonControlTest, AnUpDownButtonHasTwoHalvesAndADeadMiddle) {
  Control->SetStyle(ebsUpDownEh);
  struct Case {
    int Height, Y;
    Integer Part;
  } const Cases[] = {
      {17, 7, 1}, {17, 8, 0}, {17, 9, 0}, {17, 10, 2},  // odd: two middle rows
      {16, 7, 1}, {16, 8, 0}, {16, 9, 2},               // even: one
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "height " << C.Height << ", y " << C.Y);
    Control->SetHeight(C.Height);
    Downs.clear();
    test::MouseDown(Control, {5, C.Y});
    EXPECT_EQ(Control->ButtonNum(), C.Part);
    ASSERT_EQ(Downs.size(), 1u);
    EXPECT_EQ(Downs[0], C.Part == 1) << "TopButton";
    test::MouseUp(Control, {5, C.Y});
  }
  Control->SetStyle(ebsEllipsisEh);
  test::MouseDown(Control, {5, 12});
  EXPECT_EQ(Control->ButtonNum(), 1) << "other styles are pressed whole";
  test::MouseUp(Control, {5, 12});
}

TEST_F(EditButtonControlTest, AHeldUpDownButtonRepeatsUntilReleasedOrTheHandlerStops) {
  Control->SetStyle(ebsUpDownEh);
  test::MouseDown(Control, {5, 3});
  EXPECT_EQ(Downs.size(), 1u);
  test::AdvanceTime(399);
  EXPECT_EQ(Downs.size(), 1u);
  test::AdvanceTime(1);
  EXPECT_EQ(Downs.size(), 2u);
  test::AdvanceTime(100);
  EXPECT_EQ(Downs.size(), 3u);
  test::AdvanceTime(100);
  EXPECT_EQ(Downs.size(), 4u);
  test::MouseUp(Control, {5, 3});
  test::AdvanceTime(300);
  EXPECT_EQ(Downs.size(), 4u) << "the release stops it";

  Downs.clear();
  ClearRepeatAfter = 2;
  test::MouseDown(Control, {5, 3});
  test::AdvanceTime(400);
  EXPECT_EQ(Downs.size(), 2u);
  test::AdvanceTime(300);
  EXPECT_EQ(Downs.size(), 2u) << "the handler cleared AutoRepeat";
  test::MouseUp(Control, {5, 3});

  Downs.clear();
  Control->SetStyle(ebsDropDownEh);
  test::MouseDown(Control, {5, 3});
  test::AdvanceTime(500);
  EXPECT_EQ(Downs.size(), 1u) << "a drop-down button does not repeat";
  test::MouseUp(Control, {5, 3});
}

TEST_F(EditButtonControlTest, LeavingThePressedHalfReleasesTheLookAndTheReleaseDoesNotClick) {
  int Clicks = 0;
  Control->OnClick = [&](TObject*) { ++Clicks; };
  Control->SetStyle(ebsUpDownEh);
  test::MouseDown(Control, {5, 3});
  ASSERT_EQ(Control->State(), bsPressedEh);
  test::MouseMove(Control, {5, 14});
  EXPECT_EQ(Control->State(), bsNormalEh);
  test::MouseUp(Control, {5, 14});
  EXPECT_EQ(Clicks, 0);

  test::Click(Control, {5, 3});
  EXPECT_EQ(Clicks, 1) << "a plain press and release clicks";
}

TEST_F(EditButtonControlTest, AGlyphButtonWithAGlyphDrawsItsFaceEvenWhenToldNever) {
  Control->SetStyle(ebsGlyphEh);
  Control->SetDrawBackTime(edbtNeverEh);
  EXPECT_EQ(at(0, 0), rgb(Form->Color())) << "no glyph: no face";
  auto Glyph = std::make_unique<TBitmap>();
  Glyph->SetSize(8, 8);
  Glyph->Canvas()->Brush()->SetColor(clOlive);
  Glyph->Canvas()->FillRect(Rect(0, 0, 8, 8));
  Control->SetGlyph(Glyph.get());
  EXPECT_NE(at(0, 0), rgb(Form->Color())) << "with a glyph the face is drawn";
}

TEST_F(EditButtonControlTest, AStateImageIsCentredAndMovesWhilePressed) {
  TImageList Images(Form);
  Images.SetWidth(8);
  Images.SetHeight(8);
  TBitmap Red;
  Red.SetSize(8, 8);
  Red.Canvas()->Brush()->SetColor(clRed);
  Red.Canvas()->FillRect(Rect(0, 0, 8, 8));
  Images.Add(&Red, nullptr);
  TEditButtonEh Definition(static_cast<TWinControl*>(nullptr));
  Definition.Images()->SetNormalImages(&Images);
  Control->SetStyle(ebsGlyphEh);
  Control->SetHeight(21);
  Control->SetExternalEditButtonImages(Definition.Images());
  // (17 - 8) / 2 = 4, (21 - 8) / 2 = 6
  EXPECT_EQ(at(4, 6), clRed);
  EXPECT_EQ(at(11, 13), clRed);
  EXPECT_NE(at(12, 14), clRed);
  test::MouseDown(Control, {2, 2});
  EXPECT_NE(at(4, 6), clRed);
  EXPECT_EQ(at(12, 14), clRed);
  test::MouseUp(Control, {2, 2});
  Control->SetExternalEditButtonImages(nullptr);
}

TEST_F(EditButtonControlTest, SetStateRepaintsOnlyOnAChangeAndAlwaysDownNotAtAll) {
  int Paints = 0;
  Control->OnPaint = [&](TObject*) { ++Paints; };
  Form->Repaint();
  Paints = 0;
  Control->SetState(bsNormalEh, false, 0);
  EXPECT_EQ(Paints, 0);
  Control->SetState(bsHotEh, true, 0);
  EXPECT_EQ(Paints, 1) << "at once";
  Control->SetAlwaysDown(true);
  Form->Update();
  EXPECT_EQ(Control->ButtonNum(), 1);
  EXPECT_EQ(Paints, 1);
  Control->SetAlwaysDown(false);
  EXPECT_EQ(Control->ButtonNum(), 0);
}

// ---------------------------------------------------------------------------
// the cache

TEST_F(EditButtonControlTest, TheStartUpInstallsTheCacheAndEqualKeysShareABitmap) {
  auto* Cache = dynamic_cast<TButtonsBitmapCache*>(GetButtonsBitmapCacheEh());
  ASSERT_NE(Cache, nullptr);
  Cache->Clear();
  TButtonBitmapInfoEh Key;
  Key.Size = {17, 21};
  Key.BitmapType = bcsEllipsisEh;
  TBitmap* First = Cache->GetButtonBitmap(Key);
  EXPECT_EQ(Cache->GetButtonBitmap(Key), First);
  EXPECT_EQ(First->Width(), 17);
  Key.Flat = true;
  EXPECT_NE(Cache->GetButtonBitmap(Key), First);
  EXPECT_EQ(Cache->Count(), 2);

  TButtonBitmapInfoEh Negative;
  Negative.Size = {-5, 10};
  Cache->GetButtonBitmap(Negative);
  EXPECT_EQ(Cache->Get(2)->BitmapInfo.Size, (TSize{0, 10}));
  ClearButtonsBitmapCacheEh();
  EXPECT_EQ(Cache->Count(), 0);
}

}  // namespace
