#include "platform/ui/graphics/styles.h"

#include "platform/ui/graphics/surface.h"
#include "tests/support/testing.h"

#include <QImage>
#include <set>
#include <utility>

using namespace gdi;

namespace {

class StylesTest : public ::testing::Test {
 protected:
  void TearDown() override { SetStyleServices(nullptr); }
};

HTHEME openTheme(const char* ClassList) { return OpenThemeData(nullptr, String(ClassList).constData()); }

TEST_F(StylesTest, DefaultServicesAreDisabledAndDrawNothing) {
  TCustomStyleServices* S = StyleServices();
  EXPECT_FALSE(S->Enabled());
  EXPECT_FALSE(S->Available());
  EXPECT_TRUE(S->IsSystemStyle());
  EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
  for (TColor C : {clBtnFace, TColor(0x00123456), clNone, clDefault}) EXPECT_EQ(S->GetSystemColor(C), C);

  const TThemedElementDetails Check = S->GetElementDetails(tbCheckBoxCheckedNormal);
  EXPECT_FALSE(S->IsElementDefined(Check));
  EXPECT_FALSE(S->HasTransparentParts(Check));
  TSize Size{7, 8};
  EXPECT_FALSE(S->GetElementSize(nullptr, Check, esActual, Size));
  EXPECT_EQ(Size, (TSize{7, 8}));
  TColor Color = clRed;
  EXPECT_FALSE(S->GetElementColor(Check, ecFillColor, Color));
  EXPECT_EQ(Color, clRed);
  TRect Content{1, 2, 3, 4};
  EXPECT_FALSE(S->GetElementContentRect(nullptr, Check, {0, 0, 20, 20}, Content));
  EXPECT_EQ(Content, (TRect{1, 2, 3, 4}));

  QImage Image(20, 20, QImage::Format_RGB32);
  Image.fill(Qt::white);
  auto Surface = std::make_shared<TSurface>(Image);
  HDC DC = CreateSurfaceDC(Surface);
  TRect R{0, 0, 20, 20};
  EXPECT_FALSE(S->DrawElement(DC, Check, R));
  EXPECT_FALSE(S->DrawParentBackground(nullptr, DC, &Check, false));
  EXPECT_FALSE(S->DrawEdge(DC, Check, R, {eeRaisedOuter}, {efLeft}));
  EXPECT_FALSE(S->DrawText(DC, Check, "abc", R, 0));
  EXPECT_FALSE(S->DrawIcon(DC, Check, R, nullptr, 0));
  DeleteDC(DC);
  EXPECT_EQ(Surface->Image(), Image);

  EXPECT_EQ(openTheme("Explorer::Treeview;Treeview"), nullptr);
}

TEST_F(StylesTest, StyleColoursAreTheClassicSystemColours) {
  const std::pair<TStyleColor, TColor> Colors[] = {
      {scBorder, clWindowFrame}, {scGrid, clWindow},     {scHintGradientBase, clInfoBk},
      {scPanel, clBtnFace},      {scEdit, clWindow},     {scWindow, clBtnFace},
  };
  for (const auto& [Style, Expected] : Colors) EXPECT_EQ(StyleServices()->GetStyleColor(Style), Expected) << Style;
  const std::pair<TStyleFont, TColor> Fonts[] = {
      {sfButtonTextDisabled, clGrayText},   {sfButtonTextNormal, clBtnText},
      {sfEditBoxTextNormal, clWindowText},  {sfEditBoxTextSelected, clHighlightText},
      {sfEditBoxTextDisabled, clGrayText},  {sfGridItemNormal, clWindowText},
      {sfGridItemSelected, clHighlightText}, {sfGridItemFixedNormal, clBtnText},
      {sfListItemTextSelected, clHighlightText}, {sfTreeItemTextNormal, clWindowText},
      {sfWindowTextNormal, clWindowText},
  };
  for (const auto& [Font, Expected] : Fonts) EXPECT_EQ(StyleServices()->GetStyleFontColor(Font), Expected) << Font;
}

TEST_F(StylesTest, ElementDetailsNumberPartsAndStates) {
  struct Case {
    const char* Name;
    TThemedElementDetails Details;
    TThemedElementDetails Expected;
  };
  const TCustomStyleServices* S = StyleServices();
  const Case Cases[] = {
      {"don't care", S->GetElementDetails(tbButtonDontCare), {teButton, 0, 0}},
      {"root", S->GetElementDetails(tbButtonRoot), {teButton, 0, 0}},
      {"first push state", S->GetElementDetails(tbPushButtonNormal), {teButton, 1, 1}},
      {"last push state", S->GetElementDetails(tbPushButtonDefaulted), {teButton, 1, 5}},
      {"first radio state", S->GetElementDetails(tbRadioButtonUncheckedNormal), {teButton, 2, 1}},
      {"last radio state", S->GetElementDetails(tbRadioButtonCheckedDisabled), {teButton, 2, 8}},
      {"check box checked hot", S->GetElementDetails(tbCheckBoxCheckedHot), {teButton, 3, 6}},
      {"check box mixed disabled", S->GetElementDetails(tbCheckBoxMixedDisabled), {teButton, 3, 12}},
      {"read-only combo", S->GetElementDetails(tcReadOnlyNormal), {teComboBox, 2, 1}},
      {"edit read-only", S->GetElementDetails(teEditTextReadOnly), {teEdit, 1, 6}},
      {"fixed cell pressed", S->GetElementDetails(tgFixedCellPressed), {teGrid, 2, 3}},
      {"classic cell selected", S->GetElementDetails(tgClassicCellSelected), {teGrid, 3, 2}},
      {"gradient fixed pressed", S->GetElementDetails(tgGradientFixedCellPressed), {teGrid, 6, 3}},
      {"sort arrow down", S->GetElementDetails(thHeaderSortArrowSortedDown), {teHeader, 2, 2}},
      {"balloon hint", S->GetElementDetails(thHintBalloon), {teHint, 2, 1}},
      {"group header", S->GetElementDetails(tlGroupHeaderCloseSelectedHot), {teListView, 2, 8}},
      {"popup check", S->GetElementDetails(tmPopupCheckMarkDisabled), {teMenu, 3, 2}},
      {"today", S->GetElementDetails(tmcGridCellBackgroundToday), {teMonthCal, 1, 5}},
      {"size box", S->GetElementDetails(tsSizeBoxLeftAlign), {teScrollBar, 1, 2}},
      {"spin down hot", S->GetElementDetails(tsDownHot), {teSpin, 2, 2}},
      {"split drop-down", S->GetElementDetails(ttbSplitButtonDropDownCheckedHot), {teToolBar, 3, 6}},
      {"tooltip close", S->GetElementDetails(tttClosePressed), {teToolTip, 2, 3}},
      {"tree glyph", S->GetElementDetails(ttGlyphOpened), {teTreeview, 1, 2}},
      {"small close pushed", S->GetElementDetails(twSmallCloseButtonPushed), {teWindow, 5, 3}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(C.Details.Element, C.Expected.Element);
    EXPECT_EQ(C.Details.Part, C.Expected.Part);
    EXPECT_EQ(C.Details.State, C.Expected.State);
  }
}

// Every value past the root has a part and state of its own: the parts
// tables cover their enumerations exactly.
template <class E>
void expectDistinctDetails() {
  const TTypeInfo* Info = EnumTypeInfo(E());
  SCOPED_TRACE(Info->Name.toStdString());
  std::set<std::pair<int, int>> Seen;
  for (Integer Value = 2; Value <= Info->MaxValue(); ++Value) {
    const TThemedElementDetails D = StyleServices()->GetElementDetails(E(Value));
    EXPECT_GT(D.Part, 0) << Info->EnumNames[Value].toStdString();
    EXPECT_TRUE(Seen.insert({D.Part, D.State}).second) << Info->EnumNames[Value].toStdString();
  }
}

TEST_F(StylesTest, EveryElementValueHasItsOwnPartAndState) {
  expectDistinctDetails<TThemedButton>();
  expectDistinctDetails<TThemedComboBox>();
  expectDistinctDetails<TThemedEdit>();
  expectDistinctDetails<TThemedGrid>();
  expectDistinctDetails<TThemedHeader>();
  expectDistinctDetails<TThemedHint>();
  expectDistinctDetails<TThemedListView>();
  expectDistinctDetails<TThemedMenu>();
  expectDistinctDetails<TThemedMonthCal>();
  expectDistinctDetails<TThemedScrollBar>();
  expectDistinctDetails<TThemedSpin>();
  expectDistinctDetails<TThemedToolBar>();
  expectDistinctDetails<TThemedToolTip>();
  expectDistinctDetails<TThemedTreeview>();
  expectDistinctDetails<TThemedWindow>();
}

TEST_F(StylesTest, RecordingServicesLogDrawingAndAnswerFixedValues) {
  TRecordingStyleServices Fake;
  TCustomStyleServices* Default = SetStyleServices(&Fake);
  EXPECT_FALSE(Default->Enabled());
  TCustomStyleServices* S = StyleServices();
  ASSERT_EQ(S, &Fake);
  EXPECT_TRUE(S->Enabled());
  EXPECT_TRUE(S->IsSystemStyle());
  EXPECT_FALSE(TStyleManager::IsCustomStyleActive());

  const TThemedElementDetails Check = S->GetElementDetails(tbCheckBoxCheckedNormal);
  const TThemedElementDetails Cell = S->GetElementDetails(tgFixedCellHot);
  EXPECT_TRUE(S->IsElementDefined(Cell));
  TSize Size;
  EXPECT_TRUE(S->GetElementSize(nullptr, Check, esActual, Size));
  EXPECT_EQ(Size, (TSize{13, 13}));
  TColor Color = clNone;
  EXPECT_TRUE(S->GetElementColor(Cell, ecEdgeFillColor, Color));
  EXPECT_EQ(Color, TRecordingStyleServices::ElementColorOf(ecEdgeFillColor));
  TRect Content;
  EXPECT_TRUE(S->GetElementContentRect(nullptr, Cell, {10, 10, 50, 30}, Content));
  EXPECT_EQ(Content, (TRect{12, 12, 48, 28}));
  EXPECT_EQ(S->GetStyleColor(scGrid), TColor(0x00100000 + scGrid));
  EXPECT_EQ(S->GetStyleFontColor(sfGridItemSelected), TColor(0x00200000 + sfGridItemSelected));

  TRect R{0, 0, 13, 13};
  const TRect Clip{1, 1, 5, 5};
  EXPECT_TRUE(S->DrawElement(nullptr, Check, R));
  EXPECT_TRUE(S->DrawElement(nullptr, Cell, R, &Clip));
  EXPECT_TRUE(S->DrawParentBackground(nullptr, nullptr, nullptr, true));
  EXPECT_TRUE(S->DrawParentBackground(nullptr, nullptr, &Cell, false, &Clip));
  TRect EdgeContent;
  EXPECT_TRUE(S->DrawEdge(nullptr, Cell, R, {eeRaisedOuter, eeRaisedInner}, {efLeft, efTop, efRight, efBottom},
                          &EdgeContent));
  EXPECT_EQ(EdgeContent, (TRect{2, 2, 11, 11}));
  EXPECT_TRUE(S->DrawText(nullptr, Cell, "Title", R, 0x24));
  EXPECT_TRUE(S->DrawIcon(nullptr, S->GetElementDetails(tbPushButtonPressed), {2, 3, 18, 19}, nullptr, 2));
  EXPECT_EQ(Fake.Calls, QStringList({
                            "DrawElement(teButton,3,5,(0,0,13,13))",
                            "DrawElement(teGrid,2,2,(0,0,13,13)) clip=(1,1,5,5)",
                            "DrawParentBackground(none,onlyIfTransparent=1)",
                            "DrawParentBackground(teGrid,2,2,onlyIfTransparent=0) bounds=(1,1,5,5)",
                            "DrawEdge(teGrid,2,2,(0,0,13,13),edges=$5,flags=$F)",
                            "DrawText(teGrid,2,2,\"Title\",(0,0,13,13),format=$24,color=$1FFFFFFF)",
                            "DrawIcon(teButton,1,3,(2,3,18,19),index=2)",
                        }));

  EXPECT_EQ(SetStyleServices(nullptr), &Fake);
  EXPECT_EQ(StyleServices(), Default);
}

TEST_F(StylesTest, ThemeDataAnswersWhatTheActiveServicesAnswer) {
  TRecordingStyleServices Fake;
  SetStyleServices(&Fake);
  const HTHEME Tree = openTheme("Explorer::Treeview;Treeview");
  ASSERT_NE(Tree, nullptr);
  EXPECT_EQ(openTheme("treeview"), Tree);
  EXPECT_EQ(openTheme("NoSuchClass;BUTTON"), openTheme("Button"));
  EXPECT_NE(openTheme("Button"), Tree);
  EXPECT_EQ(openTheme("NoSuchClass"), nullptr);
  EXPECT_EQ(openTheme(""), nullptr);
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);

  SIZE Size;
  EXPECT_EQ(GetThemePartSize(Tree, nullptr, 2, 1, nullptr, TS_TRUE, &Size), S_OK);
  EXPECT_EQ(Size, (TSize{13, 13}));
  EXPECT_EQ(GetThemePartSize(Tree, nullptr, 2, 1, nullptr, 3, &Size), E_FAIL);

  COLORREF Color = 0;
  EXPECT_EQ(GetThemeColor(Tree, 2, 1, TMT_EDGEFILLCOLOR, &Color), S_OK);
  EXPECT_EQ(Color, COLORREF(TRecordingStyleServices::ElementColorOf(ecEdgeFillColor)));
  EXPECT_EQ(GetThemeColor(Tree, 2, 1, TMT_GRADIENTCOLOR2, &Color), S_OK);
  EXPECT_EQ(Color, COLORREF(TRecordingStyleServices::ElementColorOf(ecGradientColor2)));
  EXPECT_EQ(GetThemeColor(Tree, 2, 1, TMT_BORDERCOLOR - 1, &Color), E_FAIL);
  EXPECT_EQ(GetThemeColor(Tree, 2, 1, TMT_GRADIENTCOLOR2 + 1, &Color), E_FAIL);

  const RECT R{0, 0, 9, 9};
  EXPECT_EQ(DrawThemeBackground(Tree, nullptr, 2, 1, &R, nullptr), S_OK);
  EXPECT_EQ(Fake.Calls, QStringList({"DrawElement(teTreeview,2,1,(0,0,9,9))"}));

  const HTHEME Bad = reinterpret_cast<HTHEME>(std::uintptr_t(1000));
  EXPECT_EQ(DrawThemeBackground(Bad, nullptr, 2, 1, &R, nullptr), E_FAIL);
  EXPECT_EQ(GetThemePartSize(Bad, nullptr, 2, 1, nullptr, TS_TRUE, &Size), E_FAIL);
  EXPECT_EQ(CloseThemeData(Bad), E_FAIL);
  EXPECT_EQ(CloseThemeData(Tree), S_OK);
}

TEST_F(StylesTest, StyleHooksAreAcceptedAndIgnored) {
  TStyleManager::Engine().RegisterStyleHook(TObject::StaticClass(), TObject::StaticClass());
  TStyleManager::Engine().UnRegisterStyleHook(TObject::StaticClass(), TObject::StaticClass());
  EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
  EXPECT_FALSE(StyleServices()->Enabled());
}

}  // namespace
