#include "platform/ui/controls/stdctrls.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/uitest.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/hostfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <QDir>
#include <algorithm>
#include <functional>

using namespace gdi;

namespace {

// Pixels inside Rect whose colour passes Test (text is antialiased: its
// edges blend into the background).
int countWhere(TBitmap* B, const TRect& R, const std::function<bool(int Red, int Green, int Blue)>& Test) {
  int Count = 0;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X) {
      const TColor C = PixelAt(B, X, Y);
      Count += Test(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
    }
  return Count;
}

bool dark(int Red, int Green, int Blue) { return std::max({Red, Green, Blue}) < 100; }
// On a yellow background (no blue): white-ish and grey-ish ink.
bool whitish(int Red, int Green, int Blue) { return Red > 200 && Green > 200 && Blue > 200; }
bool greyish(int, int, int Blue) { return Blue > 60 && Blue < 200; }

// Text sizes measured on a bitmap canvas in the labels' font.
class TMeasure {
public:
  explicit TMeasure(TFont* Font) { Bitmap.Canvas()->SetFont(Font); }
  int Width(const String& Text) { return Bitmap.Canvas()->TextWidth(Text); }
  int LineHeight() { return Bitmap.Canvas()->TextHeight(QStringLiteral("0")); }

private:
  TBitmap Bitmap;
};

class StdCtrlsTest : public HostFixture {
protected:
  StdCtrlsTest() : HostFixture(clWhite) {}

  TLabel* label(const String& Caption, TRect Bounds = Rect(10, 10, 75, 27)) {
    auto* L = new TLabel(Root);
    L->SetBoundsRect(Bounds);
    L->SetParent(Root);
    L->SetCaption(Caption);
    return L;
  }
};

// ---------------------------------------------------------------------------
// TLabel

TEST_F(StdCtrlsTest, AutoSizeTakesTheMeasuredTextSize) {
  TMeasure M(Root->Font());
  const int H = M.LineHeight();
  struct Case {
    const char* Name;
    String Caption;
    bool ShowAccelChar;
    int Width, Height;
  } Cases[] = {
      {"one line", "Hello", true, M.Width("Hello"), H},
      {"two lines", "a\r\nlonger", true, M.Width("longer"), 2 * H},
      {"prefix underlines, not counted", "&File", true, M.Width("File"), H},
      {"doubled prefix is one ampersand", "R&&D", true, M.Width("R&D"), H},
      {"no prefix processing", "&File", false, M.Width("&File"), H},
      {"empty caption keeps a line", "", true, M.Width(" "), H},
      {"lone prefix underlines the added blank", "&", true, M.Width(" "), H},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TLabel* L = label("x");
    L->SetShowAccelChar(C.ShowAccelChar);
    L->SetCaption(C.Caption);
    EXPECT_EQ(L->BoundsRect(), Bounds(10, 10, C.Width, C.Height));
    L->Free();
  }
}

TEST_F(StdCtrlsTest, AutoSizeKeepsTheAlignedEdgeAndWrapsInsideTheWidth) {
  TMeasure M(Root->Font());
  TLabel* Right = label("ab", Rect(0, 0, 100, 20));
  Right->SetAutoSize(false);
  Right->SetBounds(50, 0, 100, 20);
  Right->SetAlignment(taRightJustify);
  Right->SetAutoSize(true);
  EXPECT_EQ(Right->Left() + Right->Width(), 150) << "the right edge stays";
  Right->SetCaption("abcdef");
  EXPECT_EQ(Right->Width(), M.Width("abcdef"));
  EXPECT_EQ(Right->Left() + Right->Width(), 150);

  TLabel* Left = label("ab");
  Left->SetCaption("abcdef");
  EXPECT_EQ(Left->Left(), 10) << "left justified: the left edge stays";

  TLabel* Wrapped = label("x");
  Wrapped->SetAutoSize(false);
  Wrapped->SetWidth(M.Width("three") + 4);
  Wrapped->SetWordWrap(true);
  Wrapped->SetCaption("one two three");
  Wrapped->SetAutoSize(true);
  EXPECT_LE(Wrapped->Width(), M.Width("three") + 4);
  EXPECT_EQ(Wrapped->Height(), 3 * M.LineHeight()) << "one word per line";

  TLabel* Fixed = label("x");
  Fixed->SetAutoSize(false);
  Fixed->SetBounds(10, 10, 40, 30);
  Fixed->SetCaption("a much longer caption");
  EXPECT_EQ(Fixed->BoundsRect(), Bounds(10, 10, 40, 30)) << "without AutoSize the bounds stay";
}

TEST_F(StdCtrlsTest, PaintsTextByLayoutAndLooks) {
  TMeasure M(Root->Font());
  const int H = M.LineHeight();
  struct Case {
    const char* Name;
    TTextLayout Layout;
    bool Enabled;
    bool Transparent;
    TRect InkRows;  // where text pixels may be (label coordinates); outside: background
  } Cases[] = {
      {"top", tlTop, true, false, Rect(0, 0, 100, H)},
      {"centre", tlCenter, true, false, Rect(0, (60 - H) / 2, 100, (60 - H) / 2 + H)},
      {"bottom", tlBottom, true, false, Rect(0, 60 - H, 100, 60)},
      {"disabled", tlTop, false, false, Rect(0, 0, 100, H + 1)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TLabel* L = label("Wy");
    L->SetAutoSize(false);
    L->SetBounds(0, 0, 100, 60);
    L->SetColor(clYellow);
    L->SetLayout(C.Layout);
    L->SetEnabled(C.Enabled);
    L->SetTransparent(C.Transparent);
    const auto Image = test::Snapshot(Root);
    TBitmap* B = Image.get();
    if (C.Enabled) {
      EXPECT_GT(countWhere(B, C.InkRows, dark), 5);
    } else {
      EXPECT_EQ(countWhere(B, C.InkRows, dark), 0) << "no black text";
      EXPECT_GT(countWhere(B, C.InkRows, greyish), 5) << "shadow";
      EXPECT_GT(countWhere(B, C.InkRows, whitish), 5) << "highlight";
    }
    const int Background = CountPixels(B, Rect(0, 0, 100, 60), clYellow);
    const int Outside = 100 * 60 - C.InkRows.Width() * C.InkRows.Height();
    EXPECT_GE(Background, Outside) << "the rest is the label's colour";
    L->Free();
  }
  TLabel* Clear = label("Wy");
  Clear->SetTransparent(true);
  Clear->SetColor(clYellow);
  const auto Image = test::Snapshot(Root);
  EXPECT_EQ(CountPixels(Image.get(), Clear->BoundsRect(), clYellow), 0) << "transparent: the parent shows";
  EXPECT_GT(countWhere(Image.get(), Clear->BoundsRect(), dark), 5);
  SaveForReview(Image->Image(), QStringLiteral("stdctrls_label.png"));
}

TEST_F(StdCtrlsTest, RightAndCentredTextSitAtTheirSide) {
  struct Case {
    const char* Name;
    TAlignment Alignment;
    TRect Ink, Blank;
  } Cases[] = {
      {"left", taLeftJustify, Rect(0, 0, 30, 20), Rect(70, 0, 200, 20)},
      {"right", taRightJustify, Rect(170, 0, 200, 20), Rect(0, 0, 130, 20)},
      {"centre", taCenter, Rect(85, 0, 115, 20), Rect(0, 0, 70, 20)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TLabel* L = label("WW");
    L->SetAutoSize(false);
    L->SetBounds(0, 0, 200, 20);
    L->SetAlignment(C.Alignment);
    const auto Image = test::Snapshot(Root);
    EXPECT_GT(countWhere(Image.get(), C.Ink, dark), 5);
    EXPECT_EQ(countWhere(Image.get(), C.Blank, dark), 0);
    L->Free();
  }
}

TEST_F(StdCtrlsTest, AltAcceleratorFocusesTheFocusControl) {
  auto* Target = new THost(Root);
  Target->SetBounds(150, 10, 50, 20);
  Target->SetParent(Root);
  auto* Other = new THost(Root);
  Other->SetBounds(150, 40, 50, 20);
  Other->SetParent(Root);
  TLabel* L = label("&Name");
  L->SetFocusControl(Target);
  Other->SetFocus();

  test::Key('M', {ssAlt});
  EXPECT_EQ(GetFocus(), Other->Handle()) << "not the accelerator";
  test::Key('N', {ssAlt});
  EXPECT_EQ(GetFocus(), Target->Handle());

  Other->SetFocus();
  L->SetShowAccelChar(false);
  test::Key('N', {ssAlt});
  EXPECT_EQ(GetFocus(), Other->Handle()) << "no accelerator without prefix processing";

  Target->Free();
  EXPECT_EQ(L->FocusControl(), nullptr) << "a freed focus control is forgotten";
}

TEST_F(StdCtrlsTest, IsAccelFindsTheCharacterAfterASinglePrefix) {
  struct Case {
    const char* Name;
    Word Key;
    String Caption;
    bool Expected;
  } Cases[] = {
      {"first", 'F', "&File", true},
      {"any case", 'f', "&File", true},
      {"other letter", 'I', "&File", false},
      {"inside", 'S', "Save &As", false},
      {"inside hit", 'A', "Save &As", true},
      {"doubled is literal", 'D', "R&&D", false},
      {"after a doubled one", 'D', "R&&&D", true},
      {"trailing prefix", 'X', "X&", false},
      {"none", 'F', "File", false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(IsAccel(C.Key, C.Caption), C.Expected);
  }
}

TEST_F(StdCtrlsTest, LabelPublishesItsDefaults) {
  TLabel* L = label("x");
  struct Case {
    const char* Name;
    String Value;
  } Cases[] = {
      {"Alignment", "taLeftJustify"}, {"Layout", "tlTop"},     {"AutoSize", "True"},     {"ShowAccelChar", "True"},
      {"Transparent", "False"},       {"WordWrap", "False"},   {"ParentColor", "True"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(GetEnumProp(L, C.Name), C.Value);
  }
  EXPECT_EQ(GetStrProp(L, "Caption"), "x");
  EXPECT_EQ(GetObjectProp(L, "Font"), L->Font());
  EXPECT_EQ(GetEnumProp(L, "Align"), "alNone");
  EXPECT_TRUE(IsPublishedProp(L, "OnClick"));
  EXPECT_EQ(L->ClassName(), "TLabel");
  auto* Fresh = new TLabel(Root);
  EXPECT_EQ(Fresh->BoundsRect(), Rect(0, 0, 65, 17)) << "sized by its first caption";
}

TEST_F(StdCtrlsTest, RepaintShowsANewCaptionWithoutAMessageLoop) {
  for (bool Transparent : {false, true}) {
    SCOPED_TRACE(Transparent ? "transparent" : "opaque");
    TLabel* L = label("");
    L->SetTransparent(Transparent);
    Root->Update();
    const HDC DC = GetDC(Root->Handle());
    auto inkShown = [&] {
      int Count = 0;
      for (int Y = L->Top(); Y < L->Top() + L->Height(); ++Y)
        for (int X = L->Left(); X < L->Left() + L->Width(); ++X) {
          const COLORREF C = GetPixel(DC, X, Y);
          Count += std::max({GetRValue(C), GetGValue(C), GetBValue(C)}) < 100;
        }
      return Count;
    };
    L->SetCaption("Working");
    EXPECT_EQ(inkShown(), 0) << "only invalidated so far";
    L->Repaint();
    EXPECT_GT(inkShown(), 10);
    ReleaseDC(Root->Handle(), DC);
    L->Free();
  }
}

// ---------------------------------------------------------------------------
// TGroupBox

TEST_F(StdCtrlsTest, GroupBoxFramesItsClientAreaBelowTheCaption) {
  TMeasure M(Root->Font());
  const int H = M.LineHeight();
  auto* G = new TGroupBox(Root);
  G->SetBounds(10, 10, 150, 100);
  G->SetParent(Root);
  G->SetCaption("Options");
  G->SetColor(clSilver);
  auto* Inside = new THost(Root, clAqua);
  Inside->SetAlign(alClient);
  Inside->SetParent(G);
  EXPECT_EQ(Inside->BoundsRect(), Rect(2, H + 2, 148, 98));

  G->SetCtl3D(false);
  G->Realign();
  EXPECT_EQ(Inside->BoundsRect(), Rect(1, H + 1, 149, 99));
  G->SetCtl3D(true);
  Inside->Free();

  const auto Image = test::Snapshot(G);
  TBitmap* B = Image.get();
  const TColor Shadow = TColor(ColorToRGB(clBtnShadow)), Light = TColor(ColorToRGB(clBtnHighlight));
  EXPECT_EQ(PixelAt(B, 80, H / 2 - 1), Shadow) << "top line: etched, shadow above";
  EXPECT_EQ(PixelAt(B, 80, H / 2), Light);
  EXPECT_EQ(PixelAt(B, 0, 50), Shadow);
  EXPECT_EQ(PixelAt(B, 1, 50), Light);
  EXPECT_EQ(PixelAt(B, 148, 50), Shadow);
  EXPECT_EQ(PixelAt(B, 149, 50), Light);
  EXPECT_EQ(PixelAt(B, 80, 98), Shadow);
  EXPECT_EQ(PixelAt(B, 80, 99), Light);
  EXPECT_EQ(PixelAt(B, 4, H / 2 - 1), Shadow) << "the frame runs left of the caption";
  EXPECT_GT(countWhere(B, Rect(8, 0, 8 + M.Width("Options"), H), dark), 10) << "caption";
  EXPECT_EQ(CountPixels(B, Rect(8, H / 2 - 1, 8 + M.Width("Options"), H / 2 + 1), Shadow), 0)
      << "the caption's background covers the frame";
  EXPECT_EQ(PixelAt(B, 80, 50), clSilver);
  // The frame is the etched edge of the edge painter, broken only by the caption.
  auto Etched = PainterImage(150, 100, clSilver, [&](HDC DC) {
    TRect R = Rect(0, H / 2 - 1, 150, 100);
    DrawEdge(DC, &R, EDGE_ETCHED, BF_RECT);
  });
  const int CaptionEnd = 8 + M.Width("Options");
  for (const TRect& Part : {Rect(0, H / 2 - 1, 8, H / 2 + 1), Rect(CaptionEnd, H / 2 - 1, 150, H / 2 + 1),
                            Rect(0, H / 2 + 1, 2, 100), Rect(148, H / 2 + 1, 150, 100), Rect(0, 98, 150, 100)})
    EXPECT_TRUE(RectsEqual(B, Etched.get(), Part)) << Part.Left << "," << Part.Top;
  SaveForReview(Image->Image(), QStringLiteral("stdctrls_groupbox.png"));
}

TEST_F(StdCtrlsTest, GroupBoxAcceleratorFocusesItsFirstTabStop) {
  auto* Outside = new THost(Root);
  Outside->SetBounds(200, 10, 50, 20);
  Outside->SetParent(Root);
  auto* G = new TGroupBox(Root);
  G->SetBounds(10, 10, 150, 100);
  G->SetParent(Root);
  G->SetCaption("&Paper");
  auto* NoStop = new THost(Root);
  NoStop->SetBounds(10, 20, 50, 20);
  NoStop->SetTabStop(false);
  NoStop->SetParent(G);
  auto* Stop = new THost(Root);
  Stop->SetBounds(10, 50, 50, 20);
  Stop->SetTabStop(true);
  Stop->SetParent(G);
  Outside->SetFocus();

  test::Key('P', {ssAlt});
  EXPECT_EQ(GetFocus(), Stop->Handle());
  Outside->SetFocus();
  test::Key('Q', {ssAlt});
  EXPECT_EQ(GetFocus(), Outside->Handle());
}

}  // namespace
