#include "chartlib/canvas/teecontrols.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/teepen.h"
#include "platform/os/locales.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/platform/ui/formfixture.h"

#include <QImage>

namespace {

class TeeControlsTest : public FormFixture {
protected:
  static void SetUpTestSuite() { InitializeUnits({GraphicsUnit, ChartMessagesUnit, CanvasUnit}); }

  // A shown 75 x 25 colour button at (10, 10).
  TButtonColor* colorButton(const String& Caption) {
    auto* B = make<TButtonColor>(Bounds(10, 10, 75, 25));
    B->SetCaption(Caption);
    Form->Show();
    return B;
  }
  // A colour dialog answer: checks the options asked, puts Custom into the
  // dialog's custom colours (when given), chooses Color and ends with Result.
  test::ModalScript::TStep answer(TModalResult Result, TColor Color, const String& Custom = String()) {
    return [=, this](TModalRequest& Request) {
      ASSERT_EQ(Request.Kind, QStringLiteral("colordialog"));
      auto* Dialog = static_cast<TColorDialog*>(Request.Dialog);
      Asked.append(Dialog->CustomColors()->CommaText());
      FullOpenAsked.push_back(Dialog->Options.Contains(cdFullOpen));
      if (!Custom.isEmpty()) Dialog->CustomColors()->SetCommaText(Custom);
      Dialog->Color = Color;
      Request.Result = Result;
    };
  }

  // Every pixel of R in the button face colour.
  static bool faceOnly(TBitmap* Shot, const TRect& R) {
    return CountPixels(Shot, R, ColorToRGB(clBtnFace)) == R.Width() * R.Height();
  }

  QStringList Asked;  // the custom colours each dialog was given
  std::vector<bool> FullOpenAsked;
};

// The swatch pixels: Inside in Color, the pixel outside each side not.
TEST_F(TeeControlsTest, ColourButtonDrawsItsSwatchInTheSymbolRectangle) {
  struct Case {
    const char* Name;
    const char* Caption;
    TColor Color;
    TRect Expected;  // empty: no swatch
  } Cases[] = {
      {"beside a caption", "Color", clRed, Rect(56, 7, 69, 19)},
      {"without a caption", "", clBlue, Rect(9, 7, 66, 19)},
      {"alpha byte dropped", "", TColor(0x4000FF00), Rect(9, 7, 66, 19)},
      {"clNone draws none", "", clNone, TRect{}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TButtonColor* B = colorButton(C.Caption);
    B->SetSymbolColor(C.Color);
    auto Shot = ShownImage(B);
    const TColor Swatch = C.Color & 0xFFFFFF;
    if (C.Expected.IsEmpty()) {
      EXPECT_TRUE(faceOnly(Shot.get(), B->SymbolRect())) << "no outline either";
    } else {
      EXPECT_EQ(B->SymbolRect(), C.Expected);
      const TRect& R = C.Expected;
      EXPECT_EQ(CountPixels(Shot.get(), Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1), Swatch),
                (R.Width() - 2) * (R.Height() - 2));
      EXPECT_EQ(PixelAt(Shot.get(), R.Left, R.Top), clBlack) << "outlined with the canvas pen";
      EXPECT_EQ(CountPixels(Shot.get(), Rect(0, 0, 75, 25), Swatch), (R.Width() - 2) * (R.Height() - 2));
    }
    B->Free();
  }
}

TEST_F(TeeControlsTest, HiddenOrDisabledSwatchIsNotDrawn) {
  TButtonColor* B = colorButton("");
  B->SetSymbolColor(clRed);
  B->SetSymbolVisible(false);
  EXPECT_EQ(CountPixels(ShownImage(B).get(), Rect(0, 0, 75, 25), clRed), 0);
  B->SetSymbolVisible(true);
  B->SetEnabled(false);
  EXPECT_EQ(CountPixels(ShownImage(B).get(), Rect(0, 0, 75, 25), clRed), 0);
  B->SetEnabled(true);
  EXPECT_GT(CountPixels(ShownImage(B).get(), Rect(0, 0, 75, 25), clRed), 0);
}

TEST_F(TeeControlsTest, SymbolWidthGivesTheSwatchItsWidthFromTheRight) {
  TButtonColor* B = colorButton("Color");
  ExpectPublishedOnceAtDefaults(B, {"SymbolWidth", "SymbolVisible", "FullOpen"});
  EXPECT_EQ((new TButtonColor(Form))->BoundsRect(), Rect(0, 0, 75, 25));
  B->SetSymbolWidth(30);
  EXPECT_EQ(B->SymbolRect(), Rect(45, 7, 69, 19));
  B->SetBounds(10, 10, 100, 40);
  EXPECT_EQ(B->SymbolRect(), Rect(70, 10, 94, 30));
}

TEST_F(TeeControlsTest, LinkedPropertyIsReadAndWrittenByName) {
  TButtonColor* B = colorButton("");
  TTeePen Pen{TNotifyEvent()};
  Pen.SetColor(clYellow);
  B->SetSymbolColor(clAqua);
  B->LinkProperty(&Pen, "color");
  ASSERT_NE(B->Info(), nullptr);
  EXPECT_EQ(B->SymbolColor(), clYellow);
  EXPECT_GT(CountPixels(ShownImage(B).get(), Rect(0, 0, 75, 25), clYellow), 0);
  B->SetSymbolColor(clLime);
  EXPECT_EQ(Pen.Color(), clLime);

  // a null instance shows the button's own colour, the one last drawn
  B->LinkProperty(nullptr, "Color");
  EXPECT_EQ(B->Info(), nullptr);
  EXPECT_EQ(B->SymbolColor(), clYellow);

  B->GetColorProc = [] { return clFuchsia; };
  B->LinkProperty(&Pen, "Color");
  EXPECT_EQ(B->SymbolColor(), clFuchsia) << "the callback goes before the link";
}

TEST_F(TeeControlsTest, LinkedClNoneDrawsNoSwatch) {
  TButtonColor* B = colorButton("");
  TTeePen Pen{TNotifyEvent()};
  Pen.SetColor(clNone);
  B->SetSymbolColor(clRed);
  B->LinkProperty(&Pen, "Color");
  EXPECT_TRUE(faceOnly(ShownImage(B).get(), B->SymbolRect()));
}

TEST_F(TeeControlsTest, ClickEditsTheLinkedColourAndFiresOnClickOnlyOnChange) {
  TButtonColor* B = colorButton("Color");
  TTeePen Pen{TNotifyEvent()};
  Pen.SetColor(clYellow);
  B->LinkProperty(&Pen, "Color");
  int Clicks = 0;
  B->OnClick = TNotifyEvent([&Clicks](TObject*) { ++Clicks; });
  test::ModalScript Script;
  Script.Then(answer(mrCancel, clBlue)).Then(answer(mrOk, clYellow)).Then(answer(mrOk, clBlue));
  const TPoint Centre{37, 12};
  test::Click(B, Centre);
  EXPECT_EQ(Pen.Color(), clYellow) << "cancelled";
  test::Click(B, Centre);
  EXPECT_EQ(Clicks, 0) << "confirmed unchanged";
  B->SetFullOpen(false);
  test::Click(B, Centre);
  EXPECT_EQ(Pen.Color(), clBlue);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(FullOpenAsked, (std::vector<bool>{true, true, false}));
  EXPECT_GT(CountPixels(ShownImage(B).get(), Rect(0, 0, 75, 25), clBlue), 0);
}

TEST_F(TeeControlsTest, EditAnswersTheChosenColourAndEditColorWhetherItChanged) {
  test::ModalScript Script;
  Script.Then(answer(mrOk, clRed)).Then(answer(mrCancel, clRed)).Then(answer(mrOk, clRed)).Then(answer(mrOk, clLime));
  EXPECT_EQ(TButtonColor::Edit(Form, clBlue), clRed);
  EXPECT_EQ(TButtonColor::Edit(Form, clBlue), clBlue) << "cancelled";
  TColor Color = clRed;
  EXPECT_FALSE(TButtonColor::EditColor(Form, Color, {}));
  EXPECT_EQ(Color, clRed);
  EXPECT_TRUE(TButtonColor::EditColor(Form, Color, {}));
  EXPECT_EQ(Color, clLime);
  EXPECT_EQ(FullOpenAsked, (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(Form->ComponentCount(), 0) << "every dialog freed";
}

TEST_F(TeeControlsTest, CustomColoursAreSharedConfirmedOnlyAndFreedAtShutdown) {
  TButtonColor* First = colorButton("");
  auto* Second = make<TButtonColor>(Bounds(100, 10, 75, 25));
  const TPoint Centre{37, 12};
  test::ModalScript Script;
  Script.Then(answer(mrOk, clRed, "ColorA=0000FF"))
      .Then(answer(mrCancel, clRed, "ColorB=00FF00"))
      .Then(answer(mrOk, clBlue))
      .Then(answer(mrOk, clLime));
  test::Click(First, Centre);
  test::Click(Second, Centre);
  test::Click(Second, Centre);
  FinalizeCanvas();
  InitializeCanvas();
  test::Click(First, Centre);
  EXPECT_EQ(Asked, (QStringList{"", "ColorA=0000FF", "ColorA=0000FF", ""}));
}

TEST_F(TeeControlsTest, ObjectTagKeepsTheWholePointer) {
  TObject* Obj = Form;
  Form->SetTag(TeeObjectToTag(Obj));
  EXPECT_EQ(reinterpret_cast<TObject*>(Form->Tag()), Obj);
  EXPECT_EQ(TeeObjectToTag(nullptr), 0);
}

// ---------------------------------------------------------------------------
// TComboFlat

class ComboFlatTest : public TeeControlsTest {
protected:
  void SetUp() override {
    TeeControlsTest::SetUp();
    Combo = make<TComboFlat>(Bounds(10, 10, 120, 0));
    Combo->Add("Alpha");
    Combo->Items()->AddObject("Beta", Form);
    Other = make<TButton>(Bounds(10, 60, 75, 25));
    Form->Show();
  }
  // The combo box's window (frame included) as shown now.
  TBitmap* shown() {
    Combo->Update();
    Image.SetImage(test::WindowImage(Combo).copy());
    return &Image;
  }
  // The flat frame: both outer rings in the face colour, the right column
  // in the window colour.
  bool looksFlat() {
    TBitmap* B = shown();
    const int W = Combo->Width(), H = Combo->Height();
    const TColor Face = ColorToRGB(clBtnFace), Window = ColorToRGB(clWindow);
    for (int X = 0; X < W - 20; ++X)
      if (PixelAt(B, X, 0) != Face || PixelAt(B, X, 1) != Face || PixelAt(B, X, H - 1) != Face) return false;
    for (int Y = 1; Y < H - 1; ++Y)
      if (PixelAt(B, 0, Y) != Face || PixelAt(B, 1, Y) != Face || PixelAt(B, W - 1, Y) != Window) return false;
    return true;
  }

  TComboFlat* Combo = nullptr;
  TButton* Other = nullptr;
  TBitmap Image;
};

TEST_F(ComboFlatTest, StartsAsAFixedListWithoutSelection) {
  ExpectPublishedOnceAtDefaults(Combo, {"Style", "ItemHeight", "DropDownWidth"});
  EXPECT_EQ(Combo->Height(), 21);
  EXPECT_EQ(Combo->ItemHeight(), 13);
  EXPECT_EQ(Combo->Style(), csDropDownList);
  EXPECT_EQ(Combo->ItemIndex(), -1);
  EXPECT_EQ(Combo->CurrentItem(), "");
  EXPECT_EQ(Combo->SelectedObject(), nullptr);
  Combo->SetItemIndex(1);
  EXPECT_EQ(Combo->CurrentItem(), "Beta");
  EXPECT_EQ(Combo->SelectedObject(), Form);
  Combo->SetItemIndex(0);
  EXPECT_EQ(Combo->SelectedObject(), nullptr);
}

TEST_F(ComboFlatTest, DropDownWidthIsTheOpenListsWidthAndStoredWhenItDiffers) {
  const TPropInfo* Info = GetPropInfo(Combo, "DropDownWidth");
  ASSERT_NE(Info, nullptr);
  EXPECT_EQ(Combo->DropDownWidth(), 120);
  EXPECT_FALSE(IsStoredProp(Combo, Info));
  Combo->SetDropDownWidth(200);
  EXPECT_EQ(Combo->DroppedWidth(), 200);
  EXPECT_TRUE(IsStoredProp(Combo, Info));
  Combo->SetDroppedDown(true);
  EXPECT_EQ(Combo->DropDownList()->Width(), 200);
  Combo->SetDroppedDown(false);
}

TEST_F(ComboFlatTest, FrameIsFlatUnlessTheMouseIsOverOrItHasTheFocus) {
  EXPECT_TRUE(looksFlat());
  test::MouseMove(Combo, {10, 5});
  EXPECT_TRUE(Combo->Inside());
  EXPECT_FALSE(looksFlat()) << "the sunken edge under the mouse";
  test::MouseMove(Other, {10, 5});
  EXPECT_FALSE(Combo->Inside());
  EXPECT_TRUE(looksFlat());
  Combo->SetFocus();
  EXPECT_FALSE(looksFlat()) << "the sunken edge while focused";
  Other->SetFocus();
  EXPECT_TRUE(looksFlat());
}

TEST_F(ComboFlatTest, JapaneseUsersGetTheChartDefaultFont) {
  {
    TUserLocaleScope Japanese("ja_JP", /*FarEast=*/true);
    FinalizeCanvas();
    InitializeCanvas();
    auto* Japan = make<TComboFlat>(Bounds(10, 100, 120, 0));
    EXPECT_EQ(Japan->Font()->Name(), TeeDefaultFontName());
    EXPECT_EQ(Japan->Font()->Size(), 9);
  }
  EXPECT_NE(make<TComboFlat>(Bounds(10, 130, 120, 0))->Font()->Size(), 9);
  FinalizeCanvas();
  InitializeCanvas();
}

}  // namespace
