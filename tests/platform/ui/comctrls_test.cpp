#include "platform/ui/comctrls.h"

#include "platform/ui/bitmap.h"
#include "platform/ui/window.h"
#include "platform/ui/window_p.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QImage>
#include <algorithm>
#include <vector>

using namespace gdi;

namespace {

class THost : public TCustomControl {
  RTL_CLASS(THost, TCustomControl)
public:
  explicit THost(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    SetColor(clAqua);
  }
};

const TColor Shadow = TColor(ColorToRGB(clBtnShadow));
const TColor Light = TColor(ColorToRGB(clBtnHighlight));
const TColor Face = TColor(ColorToRGB(clBtnFace));

// Every published property with a default holds it on a new object.
void expectPublishedDefaults(TObject* Instance, std::initializer_list<const char*> Names) {
  for (const char* Name : Names) {
    SCOPED_TRACE(Name);
    const TPropInfo* Info = GetPropInfo(Instance, QString::fromLatin1(Name));
    ASSERT_NE(Info, nullptr);
    if (Info->HasDefault) {
      EXPECT_TRUE(IsDefaultPropertyValue(Instance, Info));
    }
  }
  for (const TPropInfo* Info : GetPropList(Instance)) {
    SCOPED_TRACE(Info->Name.toStdString());
    if (Info->HasDefault) {
      EXPECT_TRUE(IsDefaultPropertyValue(Instance, Info));
    }
  }
}

// Dark pixels inside R.
int inkIn(TBitmap* B, const TRect& R) {
  int Count = 0;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X) {
      const TColor C = PixelAt(B, X, Y);
      Count += std::max({C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF}) < 100;
    }
  return Count;
}

class ComCtrlsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Root = new THost(nullptr);
    Root->SetBounds(100, 100, 300, 200);
    Root->SetParentWindow(GetDesktopWindow());
    Root->Font()->SetName(QStringLiteral("Arial"));
    Root->Font()->SetHeight(-13);
    Root->Font()->SetColor(clBlack);
  }
  void TearDown() override { Root->Free(); }

  TStatusBar* statusBar(std::initializer_list<Integer> Widths) {
    auto* Bar = new TStatusBar(Root);
    Bar->SetParent(Root);
    for (Integer W : Widths) Bar->Panels()->Add()->SetWidth(W);
    return Bar;
  }

  THost* Root = nullptr;
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
  expectPublishedDefaults(Bar, {"Panels", "SimplePanel", "SimpleText", "SizeGrip", "Color", "ParentColor", "Align"});
  expectPublishedDefaults(Bar->Panels()->Items(0), {"Text", "Width", "Alignment"});
  auto* Progress = new TProgressBar(Root);
  expectPublishedDefaults(Progress, {"Min", "Max", "Position", "Step", "TabStop"});
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
  EXPECT_GT(inkIn(Image.get(), TRect(2, 2, 298, 17)), 0);
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
  EXPECT_EQ(inkIn(Image.get(), TRect(0, 0, 300, 19)), 0);

  Bar->SetSizeGrip(true);
  auto Gripped = test::Snapshot(Bar);
  EXPECT_FALSE(ImagesEqual(Image.get(), Gripped.get(), 0));
  // The grip keeps to its corner.
  EXPECT_EQ(CountPixels(Gripped.get(), TRect(0, 0, 280, 19), Face), CountPixels(Image.get(), TRect(0, 0, 280, 19), Face));
}

TEST_F(ComCtrlsTest, PanelTextChangeRepaints) {
  auto* Bar = statusBar({90, 10});
  auto Before = GrabWindow(Bar);
  EXPECT_EQ(inkIn(Before.get(), TRect(92, 2, 280, 17)), 0);
  Bar->Panels()->Items(1)->SetText(QStringLiteral("Records: 12"));
  auto After = GrabWindow(Bar);
  EXPECT_GT(inkIn(After.get(), TRect(92, 2, 280, 17)), 0);
  EXPECT_EQ(inkIn(After.get(), TRect(2, 2, 88, 17)), 0);

  // Right alignment moves the text to the panel's right edge.
  Bar->Panels()->Items(0)->SetText(QStringLiteral("Ab"));
  Bar->Panels()->Items(0)->SetAlignment(taRightJustify);
  auto Right = GrabWindow(Bar);
  EXPECT_EQ(inkIn(Right.get(), TRect(2, 2, 50, 17)), 0);
  EXPECT_GT(inkIn(Right.get(), TRect(60, 2, 88, 17)), 0);
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
  const QImage Before = Bar->Window()->Store().Image().copy();

  // No message is processed between the setter and the look at the window's image.
  Bar->SetPosition(50);
  EXPECT_NE(Bar->Window()->Store().Image(), Before);
  auto Half = test::Snapshot(Bar);
  EXPECT_FALSE(ImagesEqual(Empty.get(), Half.get(), 0));
  // Painted into the parent's image, the bar keeps its place.
  auto Whole = test::Snapshot(Root);
  EXPECT_EQ(Whole->Image().copy(10, 10, 150, 16), Half->Image());

  Bar->SetMax(-1);  // content length unknown
  auto Unknown = test::Snapshot(Bar);
  EXPECT_TRUE(ImagesEqual(Empty.get(), Unknown.get(), 0));
}
