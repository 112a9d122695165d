#include "platform/ui/controls/comctrls.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/hostfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QImage>
#include <vector>

using namespace gdi;

namespace {

const TColor Shadow = TColor(ColorToRGB(clBtnShadow));
const TColor Light = TColor(ColorToRGB(clBtnHighlight));
const TColor Face = TColor(ColorToRGB(clBtnFace));

class ComCtrlsTest : public HostFixture {
protected:
  ComCtrlsTest() : HostFixture(clAqua) {}

  TStatusBar* statusBar(std::initializer_list<Integer> Widths) {
    auto* Bar = new TStatusBar(Root);
    Bar->SetParent(Root);
    for (Integer W : Widths) Bar->Panels()->Add()->SetWidth(W);
    return Bar;
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// TStatusBar

TEST_F(ComCtrlsTest, StatusBarDefaults) {
  auto* Bar = statusBar({});
  EXPECT_EQ(Bar->Align(), alBottom);
  EXPECT_EQ(Bar->BoundsRect(), Bounds(0, 181, 300, 19));
  EXPECT_EQ(Bar->Color(), clBtnFace);
  EXPECT_FALSE(Bar->SimplePanel());
  EXPECT_TRUE(Bar->SizeGrip());
  EXPECT_EQ(Bar->Panels()->Add()->Width(), 50);
  EXPECT_EQ(Bar->Panels()->Items(0)->Alignment(), taLeftJustify);
  ExpectPublishedOnceAtDefaults(Bar, {"Panels", "SimplePanel", "SimpleText", "SizeGrip", "Color", "ParentColor", "Align"});
  ExpectPublishedOnceAtDefaults(Bar->Panels()->Items(0), {"Text", "Width", "Alignment"});
  auto* Progress = new TProgressBar(Root);
  ExpectPublishedOnceAtDefaults(Progress, {"Min", "Max", "Position", "Smooth", "Step", "TabStop"});
}

TEST_F(ComCtrlsTest, PanelsLineUpAndTheLastTakesTheRest) {
  struct Case {
    const char* Name;
    std::vector<Integer> Widths;
    std::vector<std::pair<Integer, Integer>> Spans;  // left, right of each panel
  };
  const Case Cases[] = {
      {"one panel fills the bar", {40}, {{0, 300}}},
      {"fixed then rest", {90, 10}, {{0, 90}, {90, 300}}},
      {"three", {50, 60, 70}, {{0, 50}, {50, 110}, {110, 300}}},
      {"too wide: the last is empty", {200, 150, 20}, {{0, 200}, {200, 350}, {350, 350}}},
      {"negative width counts as none", {-10, 30}, {{0, 0}, {0, 300}}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Bar = new TStatusBar(Root);
    Bar->SetParent(Root);
    for (Integer W : C.Widths) Bar->Panels()->Add()->SetWidth(W);
    for (Integer I = 0; I < Integer(C.Spans.size()); ++I) {
      SCOPED_TRACE(I);
      EXPECT_EQ(Bar->PanelRect(I), TRect(C.Spans[I].first, 0, C.Spans[I].second, 19));
    }
    Bar->Free();
  }
}

TEST_F(ComCtrlsTest, SimplePanelCoversTheBar) {
  auto* Bar = statusBar({90, 10});
  EXPECT_RAISES(Bar->PanelRect(2), EListError, "List index out of bounds (2)");
  EXPECT_RAISES(Bar->PanelRect(-1), EListError, "List index out of bounds (-1)");
  Bar->SetSimplePanel(true);
  EXPECT_EQ(Bar->PanelRect(0), TRect(0, 0, 300, 19));

  Bar->Panels()->Items(0)->SetText(QStringLiteral("Panel"));
  Bar->SetSimpleText(QStringLiteral("Simple text"));
  auto Image = GrabWindow(Bar);
  // The simple text runs across where the first panel's frame would be.
  EXPECT_GT(InkIn(Image.get(), TRect(2, 2, 298, 17)), 0);
  EXPECT_NE(PixelAt(Image.get(), 90, 9), Shadow);
}

TEST_F(ComCtrlsTest, StatusBarPixels) {
  auto* Bar = statusBar({90, 10});
  Bar->SetSizeGrip(false);
  auto Image = test::Snapshot(Bar);
  struct Probe {
    TPoint P;
    TColor Expected;
  };
  const Probe Probes[] = {
      {{0, 9}, Shadow},    {{45, 0}, Shadow},  {{89, 9}, Light},   {{45, 18}, Light},
      {{90, 9}, Shadow},   {{299, 9}, Light},  {{45, 9}, Face},    {{200, 9}, Face},
  };
  for (const Probe& Pr : Probes) {
    SCOPED_TRACE(testing::Message() << "at " << Pr.P.X << "," << Pr.P.Y);
    EXPECT_EQ(PixelAt(Image.get(), Pr.P.X, Pr.P.Y), Pr.Expected);
  }
  EXPECT_EQ(InkIn(Image.get(), TRect(0, 0, 300, 19)), 0);

  Bar->SetSizeGrip(true);
  auto Gripped = test::Snapshot(Bar);
  EXPECT_FALSE(ImagesEqual(Image.get(), Gripped.get(), 0));
  // The grip keeps to its corner.
  EXPECT_EQ(CountPixels(Gripped.get(), TRect(0, 0, 280, 19), Face), CountPixels(Image.get(), TRect(0, 0, 280, 19), Face));
}

TEST_F(ComCtrlsTest, PanelTextChangeRepaints) {
  auto* Bar = statusBar({90, 10});
  auto Before = GrabWindow(Bar);
  EXPECT_EQ(InkIn(Before.get(), TRect(92, 2, 280, 17)), 0);
  Bar->Panels()->Items(1)->SetText(QStringLiteral("Records: 12"));
  auto After = GrabWindow(Bar);
  EXPECT_GT(InkIn(After.get(), TRect(92, 2, 280, 17)), 0);
  EXPECT_EQ(InkIn(After.get(), TRect(2, 2, 88, 17)), 0);

  // Right alignment moves the text to the panel's right edge.
  Bar->Panels()->Items(0)->SetText(QStringLiteral("Ab"));
  Bar->Panels()->Items(0)->SetAlignment(taRightJustify);
  auto Right = GrabWindow(Bar);
  EXPECT_EQ(InkIn(Right.get(), TRect(2, 2, 50, 17)), 0);
  EXPECT_GT(InkIn(Right.get(), TRect(60, 2, 88, 17)), 0);
}

// ---------------------------------------------------------------------------
// TProgressBar

TEST_F(ComCtrlsTest, ProgressPositionClampsIntoTheRange) {
  struct Case {
    const char* Name;
    Integer Min, Max, Position;
    Integer Expected;
  };
  const Case Cases[] = {
      {"inside", 0, 100, 40, 40},
      {"at max", 0, 100, 100, 100},
      {"above max", 0, 100, 101, 100},
      {"below min", 10, 100, 9, 10},
      {"negative range", -50, -10, -30, -30},
      {"max equals min", 5, 5, 7, 5},
      {"max below min", 0, -1, 3, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Bar = new TProgressBar(Root);
    EXPECT_EQ(Bar->Max(), 100);
    EXPECT_EQ(Bar->Step(), 10);
    Bar->SetMin(C.Min);
    Bar->SetMax(C.Max);
    Bar->SetPosition(C.Position);
    EXPECT_EQ(Bar->Position(), C.Expected);
    Bar->Free();
  }
}

TEST_F(ComCtrlsTest, ProgressRangeChangePullsThePositionIn) {
  auto* Bar = new TProgressBar(Root);
  Bar->SetPosition(80);
  Bar->SetMax(50);
  EXPECT_EQ(Bar->Position(), 50);
  Bar->SetMin(60);
  EXPECT_EQ(Bar->Position(), 60);
}

TEST_F(ComCtrlsTest, StepItWrapsPastMax) {
  auto* Bar = new TProgressBar(Root);
  Bar->SetPosition(85);
  Bar->StepIt();
  EXPECT_EQ(Bar->Position(), 95);
  Bar->StepIt();
  EXPECT_EQ(Bar->Position(), 5);
  Bar->SetStep(-20);
  Bar->StepIt();
  EXPECT_EQ(Bar->Position(), 0);
}

TEST_F(ComCtrlsTest, ProgressPaintsAtOnceAndAnEmptyRangeShowsNothing) {
  auto* Bar = new TProgressBar(Root);
  Bar->SetBounds(10, 10, 150, 16);
  Bar->SetParent(Root);
  auto Empty = test::Snapshot(Bar);
  Bar->Update();
  const QImage Before = test::WindowImage(Bar).copy();

  // No message is processed between the setter and the look at the window's image.
  Bar->SetPosition(50);
  EXPECT_NE(test::WindowImage(Bar), Before);
  auto Half = test::Snapshot(Bar);
  EXPECT_FALSE(ImagesEqual(Empty.get(), Half.get(), 0));
  // Painted into the parent's image, the bar keeps its place.
  auto Whole = test::Snapshot(Root);
  EXPECT_EQ(Whole->Image().copy(10, 10, 150, 16), Half->Image());

  Bar->SetMax(-1);  // content length unknown
  auto Unknown = test::Snapshot(Bar);
  EXPECT_TRUE(ImagesEqual(Empty.get(), Unknown.get(), 0));
}

// The classic bar, 150 x 16: a one-pixel sunken frame (the edge painter's),
// a pixel of face, then 146 x 12 inside where the position reaches: blocks
// of 8 with gaps of 2, the last one cut by the frame, or one smooth bar.
TEST_F(ComCtrlsTest, ProgressShowsClassicBlocksOrASmoothBar) {
  const TColor Highlight = TColor(ColorToRGB(clHighlight));
  struct Case {
    const char* Name;
    Integer Position;
    bool Smooth;
    int Lit;       // highlighted pixels of a row inside
    int LastLit;   // the rightmost one; -1: none
  } Cases[] = {
      {"0 percent", 0, false, 0, -1},
      {"37 percent: six blocks", 37, false, 6 * 8, 59},
      {"100 percent: the last block cut", 100, false, 14 * 8 + 6, 147},
      {"37 percent smooth", 37, true, 54, 55},
      {"100 percent smooth", 100, true, 146, 147},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* Bar = new TProgressBar(Root);
    Bar->SetBounds(10, 10, 150, 16);
    Bar->SetParent(Root);
    Bar->SetSmooth(C.Smooth);
    Bar->SetPosition(C.Position);
    auto Image = test::Snapshot(Bar);
    auto Frame = PainterImage(150, 16, clBtnFace, [](HDC DC) {
      TRect R = Rect(0, 0, 150, 16);
      DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT);
    });
    EXPECT_TRUE(BandsEqual(Image.get(), Frame.get(), 2));
    for (int Y : {2, 8, 13}) {
      SCOPED_TRACE(Y);
      EXPECT_EQ(CountPixels(Image.get(), Rect(0, Y, 150, Y + 1), Highlight), C.Lit);
      if (C.LastLit >= 0) {
        EXPECT_EQ(PixelAt(Image.get(), C.LastLit, Y), Highlight);
        EXPECT_EQ(CountPixels(Image.get(), Rect(C.LastLit + 1, Y, 150, Y + 1), Highlight), 0);
      }
    }
    EXPECT_EQ(CountPixels(Image.get(), Rect(0, 1, 150, 2), Highlight), 0) << "a pixel of face above";
    Bar->Free();
  }
}

// ---------------------------------------------------------------------------
// TToolBar, TToolButton

namespace {

// A 16 x 16 bitmap of one colour.
std::unique_ptr<TBitmap> solidBitmap(TColor Color) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(16, 16);
  B->Canvas()->Brush()->SetColor(Color);
  B->Canvas()->FillRect(TRect(0, 0, 16, 16));
  return B;
}

// Unmasked images of the given colours.
TImageList* imageList(TComponent* Owner, std::initializer_list<TColor> Colors) {
  auto* List = new TImageList(Owner);
  List->SetMasked(false);
  for (TColor C : Colors) List->Add(solidBitmap(C).get(), nullptr);
  return List;
}

// A control that is not a tool button, as an edit on a bar is.
class TEditLike : public TCustomControl {
  RTL_CLASS(TEditLike, TCustomControl)
public:
  using TCustomControl::TCustomControl;
};

class ToolBarTest : public ComCtrlsTest {
protected:
  void SetUp() override {
    ComCtrlsTest::SetUp();
    Bar = new TToolBar(Root);
    Bar->SetParent(Root);
    Bar->SetImages(imageList(Root, {clRed, clLime, clBlue}));
  }
  void TearDown() override {
    ComCtrlsTest::TearDown();
    test::ResetUi();
  }

  TToolButton* button(Integer ImageIndex, TToolButtonStyle Style = tbsButton) {
    auto* B = new TToolButton(Root);
    B->SetParent(Bar);
    B->SetStyle(Style);
    B->SetImageIndex(ImageIndex);
    return B;
  }

  TToolBar* Bar = nullptr;
};

}  // namespace

TEST_F(ToolBarTest, Defaults) {
  EXPECT_EQ(Bar->Align(), alTop);
  EXPECT_EQ(Bar->BoundsRect(), Bounds(0, 0, 300, 29));
  EXPECT_EQ(Bar->Color(), clBtnFace);
  EXPECT_TRUE(Bar->Wrapable());
  TToolButton* B = button(0);
  EXPECT_EQ(B->Style(), tbsButton);
  EXPECT_EQ(B->BoundsRect(), Bounds(0, 0, 23, 22));
  ExpectPublishedOnceAtDefaults(Bar, {"ButtonWidth", "ButtonHeight", "Flat", "ShowCaptions", "Indent", "Wrapable",
                                "AutoSize", "Images", "DisabledImages", "Color"});
  ExpectPublishedOnceAtDefaults(new TToolButton(Root), {"ImageIndex", "Style", "Action", "Tag"});
}

TEST_F(ToolBarTest, LaysOutVisibleChildrenInTheOrderTheyCame) {
  TToolButton* First = button(0);
  TToolButton* Hidden = button(1);
  TToolButton* Third = button(2);
  TToolButton* Gap = button(-1, tbsSeparator);
  auto* Edit = new TEditLike(Root);
  Edit->SetBounds(0, 3, 60, 20);
  Edit->SetParent(Bar);
  TToolButton* Divider = button(-1, tbsDivider);
  Hidden->SetVisible(false);

  struct Case {
    TControl* Control;
    TRect Bounds;
  } Cases[] = {
      {First, Bounds(0, 0, 23, 22)},    {Third, Bounds(23, 0, 23, 22)}, {Gap, Bounds(46, 0, 8, 22)},
      {Edit, Bounds(54, 0, 60, 20)},    {Divider, Bounds(114, 0, 8, 22)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Control->ClassName().toStdString());
    EXPECT_EQ(C.Control->BoundsRect(), C.Bounds);
  }
  EXPECT_EQ(Bar->ButtonCount(), 5);
  EXPECT_EQ(Bar->Buttons(1), Hidden);
  EXPECT_EQ(Bar->Buttons(4), Divider);
  EXPECT_RAISES(Bar->Buttons(5), EListError, "List index out of bounds (5)");

  // On the pixels: red, then blue where the hidden green one would be.
  auto Image = test::Snapshot(Bar);
  const TPoint Glyph{3, 3};  // a 16-pixel image centred in 23 x 22
  EXPECT_EQ(PixelAt(Image.get(), Glyph.X + 8, Glyph.Y + 8), clRed);
  EXPECT_EQ(PixelAt(Image.get(), 23 + Glyph.X + 8, Glyph.Y + 8), clBlue);
  EXPECT_EQ(CountPixels(Image.get(), TRect(0, 0, 300, 29), clLime), 0);
  EXPECT_EQ(CountPixels(Image.get(), TRect(0, 0, 300, 29), clBlue), 16 * 16);
  // The divider's etched line, in its middle.
  EXPECT_EQ(PixelAt(Image.get(), 114 + 3, 10), Shadow);
  EXPECT_EQ(PixelAt(Image.get(), 114 + 4, 10), Light);

  // Shown again, it takes its place back; Indent moves the row.
  Hidden->SetVisible(true);
  Bar->SetIndent(5);
  EXPECT_EQ(Hidden->Left(), 5 + 23);
  EXPECT_EQ(Edit->Left(), 5 + 23 * 3 + 8);
  Edit->Free();
  EXPECT_EQ(Divider->Left(), 5 + 23 * 3 + 8);
}

TEST_F(ToolBarTest, WrapsIntoRowsAndAutoSizeFitsThem) {
  TToolButton* Buttons[] = {button(0), button(1), button(2)};
  Bar->SetButtonHeight(24);
  Bar->SetAlign(alNone);
  Bar->SetWidth(60);  // two buttons to a row
  EXPECT_EQ(Buttons[1]->BoundsRect(), Bounds(23, 0, 23, 24));
  EXPECT_EQ(Buttons[2]->BoundsRect(), Bounds(0, 24, 23, 24));
  EXPECT_EQ(Bar->Height(), 29) << "no AutoSize: the height stays";
  Bar->SetAutoSize(true);
  EXPECT_EQ(Bar->Height(), 48);
  Bar->SetWrapable(false);
  EXPECT_EQ(Buttons[2]->BoundsRect(), Bounds(46, 0, 23, 24)) << "past the edge, on the same row";
  EXPECT_EQ(Bar->Height(), 24);
  Bar->SetButtonWidth(30);
  EXPECT_EQ(Buttons[2]->Left(), 60);
}

TEST_F(ToolBarTest, ImageIndexChangeRepaints) {
  TToolButton* B = button(0);
  auto Before = GrabWindow(Bar);
  EXPECT_EQ(PixelAt(Before.get(), 11, 11), clRed);
  B->SetImageIndex(1);
  // GrabWindow paints only what was invalidated.
  auto After = GrabWindow(Bar);
  EXPECT_EQ(PixelAt(After.get(), 11, 11), clLime);
  B->SetImageIndex(-1);
  auto None = GrabWindow(Bar);
  EXPECT_EQ(CountPixels(None.get(), TRect(0, 0, 23, 22), clLime), 0);
  // A change of the list repaints as well.
  B->SetImageIndex(2);
  GrabWindow(Bar);
  Bar->Images()->Replace(2, solidBitmap(clYellow).get(), nullptr);
  auto Replaced = GrabWindow(Bar);
  EXPECT_EQ(PixelAt(Replaced.get(), 11, 11), clYellow);
}

TEST_F(ToolBarTest, DisabledButtonsShowTheImageGreyedOrTheDisabledImages) {
  TToolButton* B = button(0);
  B->SetEnabled(false);
  auto Greyed = test::Snapshot(Bar);
  EXPECT_EQ(CountPixels(Greyed.get(), TRect(0, 0, 23, 22), clRed), 0);
  const TColor Grey = PixelAt(Greyed.get(), 11, 11);
  EXPECT_EQ(Grey & 0xFF, (Grey >> 8) & 0xFF) << "grey: equal channels";
  EXPECT_EQ(Grey & 0xFF, (Grey >> 16) & 0xFF);
  EXPECT_NE(Grey, Face) << "the image is still there";

  Bar->SetDisabledImages(imageList(Root, {clNavy}));
  auto Own = test::Snapshot(Bar);
  EXPECT_EQ(PixelAt(Own.get(), 11, 11), clNavy);
  B->SetEnabled(true);
  auto Enabled = test::Snapshot(Bar);
  EXPECT_EQ(PixelAt(Enabled.get(), 11, 11), clRed);
  // An index the disabled list lacks falls back to the greyed image.
  B->SetImageIndex(1);
  B->SetEnabled(false);
  auto Fallback = test::Snapshot(Bar);
  EXPECT_EQ(CountPixels(Fallback.get(), TRect(0, 0, 23, 22), clLime), 0);
  EXPECT_EQ(CountPixels(Fallback.get(), TRect(0, 0, 23, 22), clNavy), 0);
  // A freed list is forgotten.
  Bar->DisabledImages()->Free();
  EXPECT_EQ(Bar->DisabledImages(), nullptr);
}

TEST_F(ToolBarTest, CaptionsShowWithShowCaptionsOrWithoutImage) {
  TToolButton* Image = button(0);
  Image->SetCaption(QStringLiteral("Wastebasket"));
  TToolButton* Text = button(-1);
  Text->SetCaption(QStringLiteral("Buffer"));
  auto Plain = test::Snapshot(Bar);
  EXPECT_EQ(InkIn(Plain.get(), Image->BoundsRect()), 0) << "an image hides the caption";
  EXPECT_GT(Text->Width(), 23) << "the caption widens its button";
  EXPECT_GT(InkIn(Plain.get(), Text->BoundsRect()), 0);

  Bar->SetShowCaptions(true);
  EXPECT_EQ(Image->Width(), Text->Width()) << "every button as wide as the widest caption";
  EXPECT_GT(Image->Width(), Text->Width() - 1);
  EXPECT_GT(Image->Height(), 22) << "room for the caption under the image";
  auto Shown = test::Snapshot(Bar);
  // The taller button reaches past the bar, which keeps its height: read
  // only what the snapshot holds.
  TRect Seen = Image->BoundsRect();
  Seen.Bottom = std::min(Seen.Bottom, Shown->Height());
  TRect Below = Seen;
  Below.Top += 16;
  EXPECT_GT(InkIn(Shown.get(), Below), 0);
  EXPECT_GT(CountPixels(Shown.get(), Seen, clRed), 0);
}

TEST_F(ToolBarTest, FlatButtonsFrameUnderTheMouseAndClickOnReleaseInside) {
  Bar->SetFlat(true);
  TToolButton* B = button(0);
  int Clicks = 0;
  B->OnClick = [&](TObject*) { ++Clicks; };
  Root->Show();
  EXPECT_EQ(PixelAt(test::Snapshot(Bar).get(), 0, 0), Face) << "flat: no frame";
  test::MouseMove(B, {5, 5});
  auto Hot = test::Snapshot(Bar);
  EXPECT_EQ(PixelAt(Hot.get(), 0, 0), Light) << "raised under the mouse";
  EXPECT_EQ(PixelAt(Hot.get(), 22, 21), Shadow);
  test::MouseDown(B, {5, 5});
  auto Pressed = test::Snapshot(Bar);
  EXPECT_EQ(PixelAt(Pressed.get(), 0, 0), Shadow) << "lowered while pressed";
  EXPECT_EQ(PixelAt(Pressed.get(), 22, 21), Light);
  EXPECT_EQ(PixelAt(Pressed.get(), 12, 12), clRed) << "the image moves by one pixel";
  EXPECT_EQ(PixelAt(Pressed.get(), 3, 3), Face);
  test::MouseMove(B, {60, 5});
  EXPECT_EQ(PixelAt(test::Snapshot(Bar).get(), 0, 0), Face) << "dragged out: neither";
  test::MouseUp(B, {60, 5});
  EXPECT_EQ(Clicks, 0) << "released outside";
  test::Click(B, {5, 5});
  test::Click(B, {6, 6});
  EXPECT_EQ(Clicks, 2) << "two quick clicks are two clicks";

  // A disabled button shows no frame and takes no click.
  B->SetEnabled(false);
  test::MouseMove(B, {5, 5});
  test::Click(B, {5, 5});
  EXPECT_EQ(PixelAt(test::Snapshot(Bar).get(), 0, 0), Face);
  EXPECT_EQ(Clicks, 2);
  // A standard bar's buttons are raised faces.
  Bar->SetFlat(false);
  B->SetEnabled(true);
  EXPECT_EQ(PixelAt(test::Snapshot(Bar).get(), 22, 21), TColor(ColorToRGB(cl3DDkShadow)));
}

// WM_CANCELMODE (a dialog opens, the application deactivates) reaches the
// held button through the bar: it comes up, and a release inside afterwards
// is no click.
TEST_F(ToolBarTest, CancelModeLetsTheButtonUpWithoutAClick) {
  TToolButton* B = button(0);
  int Clicks = 0;
  B->OnClick = [&](TObject*) { ++Clicks; };
  Root->Show();
  auto Up = test::Snapshot(Bar);
  test::MouseDown(B, {5, 5});
  Bar->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(ImagesEqual(Up.get(), test::Snapshot(Bar).get(), 0));
  test::MouseUp(B, {5, 5});
  EXPECT_EQ(Clicks, 0);
  test::Click(B, {5, 5});
  EXPECT_EQ(Clicks, 1);
}
