#include "gridlib/base/laflow.h"

#include "gridlib/base/lahost.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

namespace {

// The block's items as "text" and "[text]" for links.
QStringList Pieces(TLaFlowRichBlockEh* Block) {
  QStringList Result;
  for (Integer I = 0; I < Block->ItemsCount(); ++I) {
    auto* Item = static_cast<TFlBreakableTextEh*>(Block->Items(I));
    Result << (Item->IsHyperLink() ? "[" + Item->Text() + "]" : Item->Text());
  }
  return Result;
}

TEST(SplitTextToLinksEh, Cases) {
  struct Case {
    const char* Name;
    const char* Text;
    bool AddTailAlways;
    QStringList Expected;
  } Cases[] = {
      {"prefix with a dotted name", "see www.abc.org now", false, {"see ", "[www.abc.org]", " now"}},
      {"single word after a prefix, tail", "go www.abc end", true, {"go www.abc end"}},
      {"single word after a prefix, no tail", "go www.abc end", false, {}},
      {"mixed-case prefix", "see Www.abc.org now", false, {}},
      {"prefix after a dot", "x.www.abc.org", false, {}},
      {"trailing dot", "see www.abc. now", false, {}},
      {"question mark inside", "see www.abc.org?x=1 more", false, {}},
      {"question mark at the end", "see www.abc.org?", false, {"see ", "[www.abc.org]", "?"}},
      {"two links, the second without a dot",
       "a www.abc.org b http://xyz c",
       false,
       {"a ", "[www.abc.org]", " b ", "[http://xyz]", " c"}},
      {"no prefix, tail always", "plain text!", true, {"plain text!"}},
      {"link at the very end", "at https://x.y", true, {"at ", "[https://x.y]"}},
  };
  TLaFlowRichBlockEh Block(nullptr);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SplitTextToLinksEh(C.Text, &Block, C.AddTailAlways);
    EXPECT_EQ(Pieces(&Block), C.Expected);
  }
  EXPECT_TRUE(SplitTextToLinksEh("go www.abc end", &Block, false));  // a rejected candidate counts
  EXPECT_FALSE(SplitTextToLinksEh("no links", &Block, false));
  SplitTextToLinksEh("a www.b.c", &Block, false);
  EXPECT_EQ(static_cast<TFlBreakableTextEh*>(Block.Items(1))->Font()->Color(), clHotLight);
  EXPECT_THROW(Block.Items(2), EArgumentOutOfRangeException);
}

struct FlowTest : ::testing::Test {
  TBitmap Bitmap;
  TLaFlowRichBlockEh* Block = new TLaFlowRichBlockEh(nullptr);
  void SetUp() override {
    SetTextEngine(TTextEngine::FixedMetrics);
    Bitmap.SetSize(300, 60);
    clear();
  }
  void TearDown() override {
    Block->Free();
    SetTextEngine(TTextEngine::Qt);
  }
  void clear() {
    Bitmap.Canvas()->Brush()->SetColor(clWhite);
    Bitmap.Canvas()->Brush()->SetStyle(bsSolid);
    Bitmap.Canvas()->FillRect(TRect(0, 0, 300, 60));
  }
  TFlBreakableTextEh* add(const char* Text, Integer Size, TFontStyles Style = {}) {
    auto* Item = new TFlBreakableTextEh(Block);
    Item->SetText(Text);
    Item->SetFontSize(Size)->SetFontStyle(Style)->SetFontColor(clBlack);
    return Item;
  }
  // Pixels that are not white (links are not dark enough for InkIn).
  int painted() { return 300 * 60 - CountPixels(&Bitmap, TRect(0, 0, 300, 60), clWhite); }
  TSize extent(TFlBreakableTextEh* Item) {
    Bitmap.Canvas()->SetFont(Item->Font());
    return Bitmap.Canvas()->TextExtent(Item->Text());
  }
  Integer ascent(TFlBreakableTextEh* Item) {
    Bitmap.Canvas()->SetFont(Item->Font());
    gdi::TEXTMETRICW M{};
    gdi::GetTextMetrics(Bitmap.Canvas()->Handle(), &M);
    return M.tmAscent;
  }
};

TEST_F(FlowTest, OneLineWithoutWrapOnTheLargerAscent) {
  auto* Bold = add("Bold", 16, {fsBold});
  auto* Plain = add("plain", 8);
  const TSize Needed = Block->QueryLayout({300, 60}, Bitmap.Canvas());
  Block->PerformLayout(TRect(0, 0, 300, 60), Bitmap.Canvas());
  ASSERT_EQ(Block->LinesRenderList().size(), 1u);
  const TLaFlowRenderTextLine& Line = Block->LinesRenderList().front();
  EXPECT_EQ(Line.LineSize.cx, extent(Bold).cx + extent(Plain).cx);
  EXPECT_EQ(Needed.cx, Line.LineSize.cx);
  EXPECT_EQ(Line.BaseLine, ascent(Bold));
  EXPECT_EQ(Line.LineItems[1].TopIndent, ascent(Bold) - ascent(Plain));
  EXPECT_EQ(Line.LineItems[1].ItemPos.X, extent(Bold).cx);
}

TEST_F(FlowTest, WrapBreaksOntoLines) {
  Block->SetWordWrap(true);
  add("aaaa bbbb cccc dddd", 8);
  const Integer W = extent(static_cast<TFlBreakableTextEh*>(Block->Items(0))).cx;
  Block->PerformLayout(TRect(0, 0, W / 2, 60), Bitmap.Canvas());
  ASSERT_GE(Block->LinesRenderList().size(), 2u);
  EXPECT_EQ(Block->LinesRenderList()[1].LineItems.front().ItemPos.X, 0);
  EXPECT_GT(Block->LinesRenderList()[1].LineItems.front().ItemPos.Y, 0);
}

TEST_F(FlowTest, HoverUnderlinesAndSetsTheHand) {
  InitializeForms();
  SplitTextToLinksEh("go www.abc.org", Block, true);
  Block->QueryLayout({300, 60}, Bitmap.Canvas());
  Block->PerformLayout(TRect(0, 0, 300, 60), Bitmap.Canvas());
  Block->Draw(TRect(0, 0, 300, 60), Bitmap.Canvas());
  const int InkBefore = painted();
  const TLaFlowRenderTextItem& Link = Block->LinesRenderList().front().LineItems[1];
  Block->MouseMove({}, Link.ItemPos.X + 1, Link.ItemPos.Y + 1);
  EXPECT_EQ(Block->MouseOverItem(), Link.TextItem);
  EXPECT_EQ(Screen->Cursor(), crHandPoint);
  clear();
  Block->Draw(TRect(0, 0, 300, 60), Bitmap.Canvas());
  EXPECT_GT(painted(), InkBefore);  // the underline
  Block->MouseMove({}, 1, 1);  // plain text
  EXPECT_EQ(Block->MouseOverItem(), nullptr);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  clear();
  Block->Draw(TRect(0, 0, 300, 60), Bitmap.Canvas());
  EXPECT_EQ(painted(), InkBefore);
  // a press on the link reports the item
  TObject* Clicked = nullptr;
  Block->OnHyperLinkClick = [&](TObject* Sender) { Clicked = Sender; };
  Block->MouseDown(mbLeft, {}, Link.ItemPos.X + 1, Link.ItemPos.Y + 1);
  EXPECT_EQ(Clicked, Link.TextItem);
  FinalizeForms();
}

TEST_F(FlowTest, CopyKeepsItemsAndLinkHandler) {
  SplitTextToLinksEh("see www.abc.org", Block, true);
  Block->SetWordWrap(true);
  auto* Copy = static_cast<TLaFlowRichBlockEh*>(Block->CreateCopy(nullptr));
  EXPECT_EQ(Pieces(Copy), Pieces(Block));
  EXPECT_TRUE(Copy->WordWrap());
  Copy->Free();
}

}  // namespace
