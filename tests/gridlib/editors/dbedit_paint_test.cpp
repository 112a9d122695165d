#include "gridlib/editors/dbedit.h"

#include "gridlib/base/painters.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/fielddatalink.h"
#include "platform/db/dataset.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/windowing/window.h"
#include "tests/gridlib/editors/editorsfixture.h"

using namespace gdi;

namespace {

constexpr TColor Red = TColor(0x0000FF);

class DBEditEhPaintTest : public EditorsFixture {
protected:
  void TearDown() override {
    SysLocale = FSavedLocale;
    Form->Free();
    EditorsFixture::TearDown();
  }
  // An unbound edit at (10, 10) of Width x Height, shown.
  TDBEditEh* edit(Integer Width = 200, Integer Height = 21) {
    auto* E = make<TDBEditEh>(Bounds(10, 10, Width, Height));
    E->SetAutoSize(false);
    E->SetBounds(10, 10, Width, Height);
    Form->Show();
    return E;
  }
  // Flat, the main button and one further button visible: 12 + 1 + 12.
  void twoFlatButtons(TDBEditEh* E) {
    E->SetFlat(true);
    E->EditButton()->SetVisible(true);
    E->EditButtons()->Add();
  }
  Integer textHeight(TFont* Font) {
    TCanvas C;
    Integer H = 0;
    MeasureOnScreen(&C, [&] { H = GetFontTextHeightEh(&C, Font, false); });
    return H;
  }
  DWORD style(TWinControl* C) { return DWORD(GetWindowLong(C->Handle(), GWL_STYLE)); }

  TSysLocale FSavedLocale = SysLocale;
};

TEST_F(DBEditEhPaintTest, TextImageAndButtonsShareTheClientInBothReadingOrders) {
  struct Case {
    const char* Name;
    bool RightToLeft, Ctl3D;
    TRect Buttons, Image, Edit, Painted;
  } Cases[] = {
      {"left-to-right", false, true, {171, 0, 196, 17}, {0, 0, 20, 17}, {20, 0, 171, 17}, {20, 0, 170, 17}},
      {"right-to-left", true, true, {0, 0, 25, 17}, {176, 0, 196, 17}, {25, 0, 176, 17}, {26, 0, 176, 17}},
      {"thin frame", false, false, {170, 1, 195, 16}, {0, 0, 20, 17}, {20, 0, 171, 17}, {21, 1, 169, 16}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SysLocale.MiddleEast = C.RightToLeft;
    // Client 196 x 17 inside a two-pixel client edge, or a one-pixel border.
    TDBEditEh* E = C.Ctl3D ? edit(200, 21) : edit(198, 19);
    E->SetCtl3D(C.Ctl3D);
    if (C.RightToLeft) E->SetBiDiMode(bdRightToLeft);
    twoFlatButtons(E);
    E->SetImages(SolidImageListEh(Form, {clRed}));
    E->HandleNeeded();
    ASSERT_EQ(E->ClientRect(), TRect(0, 0, 196, 17));
    EXPECT_EQ(E->ButtonsBox()->FButtonsWidth, 25);
    EXPECT_EQ(E->GetButtonsRect(), C.Buttons);
    EXPECT_EQ(E->ButtonsBox()->BoundsRect(), C.Buttons);
    EXPECT_EQ(E->GetImageRect(), C.Image);
    TRect R;
    E->CalcEditRect(R);
    EXPECT_EQ(R, C.Edit);
    TRect Inner;
    E->Perform(EM_GETRECT, 0, LPARAM(&Inner));
    EXPECT_EQ(Inner, C.Edit) << "the inner edit takes the text rectangle";
    EXPECT_EQ(E->GetPaintTextRect(), C.Painted);
  }
}

TEST_F(DBEditEhPaintTest, WithoutAVisibleButtonTheBoxHidesAndTheTextTakesTheWidth) {
  TDBEditEh* E = edit();
  E->HandleNeeded();
  EXPECT_FALSE(E->ButtonsBox()->Visible());
  TRect R;
  E->CalcEditRect(R);
  EXPECT_EQ(R, E->ClientRect());
  E->EditButton()->SetVisible(true);
  EXPECT_TRUE(E->ButtonsBox()->Visible()) << "a changed button lays the box out again";
  E->CalcEditRect(R);
  EXPECT_EQ(R.Right, E->ClientWidth() - E->ButtonsBox()->FButtonsWidth);
}

TEST_F(DBEditEhPaintTest, TheWindowStyleFollowsWordWrapReadingOrderAndAlignment) {
  const TAlignment Alignments[] = {taLeftJustify, taRightJustify, taCenter};
  // [word wrap][right-to-left][alignment]
  const DWORD Expected[2][2][3] = {{{ES_LEFT, ES_LEFT, ES_LEFT}, {ES_RIGHT, ES_RIGHT, ES_RIGHT}},
                                   {{ES_LEFT, ES_RIGHT, ES_CENTER}, {ES_RIGHT, ES_LEFT, ES_CENTER}}};
  SysLocale.MiddleEast = true;
  for (int Wrap = 0; Wrap < 2; ++Wrap)
    for (int Rtl = 0; Rtl < 2; ++Rtl)
      for (int A = 0; A < 3; ++A) {
        SCOPED_TRACE(testing::Message() << "wrap " << Wrap << " rtl " << Rtl << " alignment " << A);
        TDBEditEh* E = edit();
        E->SetWordWrap(Wrap);
        if (Rtl) E->SetBiDiMode(bdRightToLeft);
        E->SetAlignment(Alignments[A]);
        E->RecreateWnd();
        const DWORD S = style(E);
        EXPECT_EQ(S & (ES_RIGHT | ES_CENTER), Expected[Wrap][Rtl][A]);
        EXPECT_TRUE(S & WS_CLIPCHILDREN);
        EXPECT_TRUE(S & ES_MULTILINE);
        EXPECT_EQ((S & ES_AUTOHSCROLL) != 0, !Wrap);
      }
  TDBEditEh* Secret = edit();
  Secret->SetPasswordChar(u'*');
  EXPECT_FALSE(style(Secret) & ES_MULTILINE) << "a password edit stays single-line";
}

TEST_F(DBEditEhPaintTest, AutoHeightIsTheTextHeightAndTheFrameAllowance) {
  struct Case {
    const char* Name;
    bool Ctl3D, Flat;
    Integer Extra;
  } Cases[] = {{"3-D", true, false, 8}, {"flat", true, true, 6}, {"thin", false, false, 6}, {"thin flat", false, true, 4}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* E = make<TDBEditEh>(Bounds(10, 10, 200, 40));
    E->SetCtl3D(C.Ctl3D);
    E->SetFlat(C.Flat);
    Form->Show();
    E->RecreateWnd();  // the frame is chosen when the window is made
    const Integer T = textHeight(E->Font());
    EXPECT_EQ(E->Height(), T + C.Extra);
    E->Font()->SetSize(E->Font()->Size() * 2);
    EXPECT_EQ(E->Height(), textHeight(E->Font()) + C.Extra) << "the height holds after a font change";
  }
}

TEST_F(DBEditEhPaintTest, AnImageListTallerThanTheTextSetsTheHeight) {
  auto* E = make<TDBEditEh>(Bounds(10, 10, 200, 40));
  Form->Show();
  const Integer T = textHeight(E->Font());
  ASSERT_LT(T, 16);
  E->SetImages(SolidImageListEh(Form, {clRed}));
  EXPECT_EQ(E->Height(), 16 + 8);
  E->EditImage()->SetUseImageHeight(false);
  EXPECT_EQ(E->Height(), T + 8);
}

TEST_F(DBEditEhPaintTest, TheFlatBorderLightsWhileHoveredOrFocused) {
  TDBEditEh* E = edit();
  E->SetFlat(true);
  auto* Other = make<TDBEditEh>(Bounds(10, 60, 200, 21));
  Other->SetFocus();
  const TColor Face = ColorToRGB(clBtnFace), Shadow = ColorToRGB(clBtnShadow), Light = ColorToRGB(clBtnHighlight);
  auto corners = [&] {
    std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
    return std::array<TColor, 3>{PixelAt(Shot.get(), 0, 0), PixelAt(Shot.get(), E->Width() - 1, E->Height() - 1),
                                 PixelAt(Shot.get(), 1, 1)};
  };
  using Colors = std::array<TColor, 3>;
  EXPECT_EQ(corners(), (Colors{Face, Face, Face})) << "resting: a btnface frame";
  E->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(corners(), (Colors{Shadow, Light, Face})) << "hovered: sunken outer edge, inner ring btnface";
  E->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(corners(), (Colors{Face, Face, Face}));
  E->SetFocus();
  EXPECT_EQ(corners(), (Colors{Shadow, Light, Face})) << "focused";
  Other->SetFocus();
  E->SetAlwaysShowBorder(true);
  EXPECT_EQ(corners(), (Colors{Shadow, Light, Face})) << "always shown";
}

TEST_F(DBEditEhPaintTest, RightAlignedTextIsPaintedRightUnfocusedAndEditedLeftFocused) {
  TDBEditEh* E = edit();
  E->SetAlignment(taRightJustify);
  E->SetText("abc");
  auto* Other = make<TDBEditEh>(Bounds(10, 60, 200, 21));
  Other->SetFocus();
  const TPoint Margins = E->GetTextMargins();
  const TRect R = E->GetPaintTextRect();
  TCanvas C;
  Integer Width = 0;
  MeasureOnScreen(&C, [&] {
    C.SetFont(E->Font());
    Width = C.TextWidth("abc");
  });
  // Frame of 2; the fixed metrics draw glyphs as boxes of ink.
  std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
  const Integer X = R.Right - Width - Margins.X + 2;
  const TRect TextBand(2, 2, E->Width() - 2, E->Height() - 2);
  EXPECT_GT(InkIn(Shot.get(), TRect(X, 2, X + Width, E->Height() - 2)), 0);
  EXPECT_EQ(InkIn(Shot.get(), TextBand), InkIn(Shot.get(), TRect(X, 2, X + Width, E->Height() - 2)))
      << "no ink outside the right-aligned text";
  E->SetFocus();
  E->SetSelLength(0);
  E->Repaint();
  Shot->SetImage(test::WindowImage(E).copy(0, 0, E->Width(), E->Height()));
  EXPECT_GT(InkIn(Shot.get(), TRect(2, 2, 2 + Width + 2, E->Height() - 2)), 0) << "focused: edited at the left";
  EXPECT_EQ(InkIn(Shot.get(), TRect(X + 1, 2, E->Width() - 2, E->Height() - 2)), 0);
}

TEST_F(DBEditEhPaintTest, APaintCopyOfAPasswordEditShowsOneMaskCharacterPerCharacter) {
  TDBEditEh* E = edit();
  E->SetPasswordChar(u'*');
  E->SetText("abcd");
  Form->Show();
  std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
  TCanvas C;
  Integer Stars = 0;
  MeasureOnScreen(&C, [&] {
    C.SetFont(E->Font());
    Stars = C.TextWidth("****");
  });
  const Integer Left = 2 + E->GetPaintTextRect().Left + E->GetTextMargins().X;
  EXPECT_GT(InkIn(Shot.get(), TRect(Left, 2, Left + Stars, 19)), 0);
  EXPECT_EQ(InkIn(Shot.get(), TRect(Left + Stars, 2, 198, 19)), 0) << "four characters, four masks";
}

// A bound edit on a required string field, the dataset appending.
class RequiredUnderlineTest : public DBEditEhPaintTest {
protected:
  void SetUp() override {
    DBEditEhPaintTest::SetUp();
    DataSet.FieldDefs()->Add("Name", ftString, 20);
    DataSet.AppendRow({String("Smith")});
    Source.SetDataSet(&DataSet);
    DataSet.Open();
    DataSet.FieldByName("Name")->SetRequired(true);
  }
  Integer redOnBottomRow(TDBEditEh* E) {
    std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
    const Integer Y = 2 + E->ClientHeight() - 1;
    return CountPixels(Shot.get(), TRect(0, Y, E->Width(), Y + 1), Red);
  }
  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
};

TEST_F(RequiredUnderlineTest, IsDrawnDottedOnlyWhileEditingANullRequiredField) {
  TDBEditEh* E = edit();
  E->SetHighlightRequired(true);
  E->SetDataSource(&Source);
  E->SetDataField("Name");
  EXPECT_EQ(redOnBottomRow(E), 0) << "browsing";
  DataSet.Append();
  TRect R;
  E->CalcEditRect(R);
  const Integer Length = (R.Right - 3) - (R.Left + 2);
  const Integer Red = redOnBottomRow(E);
  EXPECT_GT(Red, Length / 3);
  EXPECT_LT(Red, Length) << "dotted";
  std::unique_ptr<TBitmap> Shot = test::Snapshot(E);
  const Integer Y = 2 + E->ClientHeight() - 1;
  EXPECT_EQ(CountPixels(Shot.get(), TRect(0, Y, 2 + R.Left + 2, Y + 1), ::Red), 0);
  EXPECT_EQ(CountPixels(Shot.get(), TRect(2 + R.Right - 2, Y, E->Width(), Y + 1), ::Red), 0);

  E->OnCheckDrawRequiredState = [](TObject*, bool& Draw) { Draw = false; };
  EXPECT_EQ(redOnBottomRow(E), 0) << "switched off by the event";
  E->OnCheckDrawRequiredState = TOnCheckDrawRequiredStateEventEh();
  DataSet.FieldByName("Name")->SetAsString("Brown");
  EXPECT_EQ(redOnBottomRow(E), 0) << "not Null";
}

// A cache that counts being emptied.
class TCountingCache : public IButtonsBitmapCacheEh {
public:
  void Clear() override { ++Cleared; }
  int Cleared = 0;
};

TEST_F(DBEditEhPaintTest, ASystemColourChangeEmptiesTheButtonCache) {
  TDBEditEh* E = edit();
  TCountingCache Cache;
  IButtonsBitmapCacheEh* Saved = SetButtonsBitmapCacheEh(&Cache);
  E->Perform(CM_SYSCOLORCHANGE, 0, 0);
  SetButtonsBitmapCacheEh(Saved);
  EXPECT_EQ(Cache.Cleared, 1);
}

}  // namespace

namespace {

TEST_F(DBEditEhPaintTest, TheMultiLineInnerWindowStillTakesNoLineBreaksFromTheKeyboard) {
  TDBEditEh* E = edit();
  ASSERT_TRUE(style(E) & ES_MULTILINE);
  E->SetFocus();
  test::Type("a");
  test::Key(VK_RETURN);
  E->Perform(WM_CHAR, WPARAM(10), 0);
  test::Type("b");
  EXPECT_EQ(E->Text(), "ab");
  E->SetWantReturns(true);
  E->Perform(WM_CHAR, WPARAM(13), 0);
  EXPECT_EQ(E->Text(), "ab\r\n") << "wanted, Enter is typed";
}

}  // namespace
