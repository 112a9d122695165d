#include "gridlib/base/drawstyle.h"

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/colors.h"
#include "platform/os/sysinfo.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/canvas.h"

#include <utility>
#include <vector>

namespace {

TGridLibDrawStyleEh* DrawStyle = nullptr;

// The base sizes at 96 pixels per inch.
constexpr double MarkerBase = 8, SolidMarkerBase = 9, TreeSignAreaBase = 18;
// The weight of cl3DDkShadow in the default frame colour (of 255).
constexpr double DefaultFrameDarkWeight = 50;
constexpr TColor MidGray = TColor(0x808080);

// Themes of Windows before 6.0 have no sort arrow.
TSortMarkerStyleEh resolvedStyle(TSortMarkerStyleEh Style) {
  if (Style == smstDefaultEh) return smstClassicEh;
  if (Style == smstThemeDefinedEh && !CheckWin32Version(6, 0)) return smstFrameEh;
  return Style;
}

Integer markerSide(TCanvas* Canvas) {
  const Integer R = Integer(Round(MarkerBase * GetCanvasScaleFactorEh(Canvas)));
  return R % 2 ? R - 1 : R;
}

Integer solidMarkerWidth(TCanvas* Canvas) {
  const Integer S = Integer(Round(SolidMarkerBase * GetCanvasScaleFactorEh(Canvas)));
  return S % 2 ? S : S - 1;
}

TThemedElementDetails sortArrow(TSortMarkerEh Direction) {
  return StyleServices()->GetElementDetails(Direction == smUpEh ? thHeaderSortArrowSortedUp
                                                                : thHeaderSortArrowSortedDown);
}

void line(TCanvas* Canvas, TColor Color, TPoint From, TPoint To) {
  Canvas->Pen()->SetColor(Color);
  const TPoint Points[2] = {From, To};
  Canvas->Polyline(Points);
}

void drawClassic(TCanvas* Canvas, TSortMarkerEh Direction, Integer L, Integer T, Integer R, TColor Dark) {
  const Integer E = R / 2;
  if (Dark == clDefault) Dark = MixColorsEh(MidGray, cl3DDkShadow, DefaultFrameDarkWeight);
  if (Direction == smDownEh) {
    line(Canvas, Dark, {L, T}, {L + R - 1, T});
    line(Canvas, Dark, {L, T}, {L + E, T + R});
    line(Canvas, Dark, {L + R - 2, T}, {L + E - 1, T + R - 1});
  } else {
    line(Canvas, Dark, {L, T + R - 1}, {L + R - 1, T + R - 1});
    line(Canvas, Dark, {L + E - 1, T}, {L, T + R - 1});
    line(Canvas, Dark, {L + E - 1, T}, {L + R - 2, T + R - 1});
  }
}

void draw3DFrame(TCanvas* Canvas, TSortMarkerEh Direction, Integer L, Integer T, Integer R, TColor Dark) {
  const Integer E = R / 2;
  if (Direction == smDownEh) {
    line(Canvas, Dark, {L, T}, {L + R, T});
    line(Canvas, Dark, {L + E - 1, T + R - 1}, {L, T});
    line(Canvas, clWindow, {L + E, T + R - 1}, {L + R - 1, T});
  } else {
    line(Canvas, clWindow, {L, T + R - 1}, {L + R, T + R - 1});
    line(Canvas, clWindow, {L + E, T}, {L + R, T + R});
    line(Canvas, Dark, {L + E - 1, T}, {L, T + R - 1});
  }
}

void drawSolid(TCanvas* Canvas, TSortMarkerEh Direction, const TRect& ARect, TColor Fill) {
  const Integer S = solidMarkerWidth(Canvas), N = S / 2;
  std::vector<TPoint> Rows;
  for (Integer I = 0; I <= N; ++I) {
    const Integer Y = Direction == smDownEh ? I : N - I;
    Rows.push_back({I, Y});
    Rows.push_back({S - I, Y});
  }
  DrawGradientSegmentsEh(Canvas, {ARect.Left, ARect.Top}, Rows, Integer(Rows.size()) - 1, Fill, Fill);
}

}  // namespace

// ---------------------------------------------------------------------------
// TSortMarkerPainterEh

TSize TSortMarkerPainterEh::GetSorMarkerSize(TCanvas* Canvas, TSortMarkerStyleEh SMStyle) {
  switch (resolvedStyle(SMStyle)) {
    case smstClassicEh:
    case smstFrameEh: {
      const Integer R = markerSide(Canvas);
      return {R - 1, R};
    }
    case smst3DFrameEh: {
      const Integer R = markerSide(Canvas);
      return {R, R};
    }
    case smstSolidEh: {
      const Integer S = solidMarkerWidth(Canvas);
      return {S, S / 2 + 1};
    }
    case smstThemeDefinedEh: {
      TSize Size;
      StyleServices()->GetElementSize(Canvas->Handle(), sortArrow(smUpEh), esActual, Size);
      return {Size.cx - 2, Size.cy + 1};
    }
    default: return {-1, -1};
  }
}

void TSortMarkerPainterEh::Draw(TCanvas* Canvas, TSortMarkerStyleEh SMStyle, TSortMarkerEh Direction,
                                const TRect& ARect, TColor /*FrameBrightColor*/, TColor FrameDarkColor,
                                TColor FillColor) {
  if (Direction == smNoneEh) return;
  const TColor OldPen = Canvas->Pen()->Color();
  const Integer R = markerSide(Canvas);
  switch (resolvedStyle(SMStyle)) {
    case smstClassicEh:
    case smstFrameEh: drawClassic(Canvas, Direction, ARect.Left, ARect.Top, R, FrameDarkColor); break;
    case smst3DFrameEh: draw3DFrame(Canvas, Direction, ARect.Left, ARect.Top, R, FrameDarkColor); break;
    case smstSolidEh: drawSolid(Canvas, Direction, ARect, FillColor); break;
    case smstThemeDefinedEh: StyleServices()->DrawElement(Canvas->Handle(), sortArrow(Direction), ARect); break;
    default: break;
  }
  Canvas->Pen()->SetColor(OldPen);
}

// ---------------------------------------------------------------------------
// TTreeSignPainterEh

TTreeSignPainterEh::TTreeSignPainterEh() : FAreaWidthArgs(new TTreeSignPainterAreaWidthArgsEh) {}

TTreeSignPainterEh::~TTreeSignPainterEh() { FAreaWidthArgs->Free(); }

Integer TTreeSignPainterEh::GetTreeSignAreaWidth(TWinControl* BaseControl, Integer AreaHeight, double ScaleFactor) {
  FAreaWidthArgs->BaseControl = BaseControl;
  FAreaWidthArgs->AreaHeight = AreaHeight;
  FAreaWidthArgs->ScaleFactor = ScaleFactor;
  FAreaWidthArgs->AreaWidth = 0;
  TreeSignAreaWidthNeeded(FAreaWidthArgs);
  return FAreaWidthArgs->AreaWidth;
}

void TTreeSignPainterEh::TreeSignAreaWidthNeeded(TTreeSignPainterAreaWidthArgsEh* Args) {
  Args->AreaWidth = Integer(Round(TreeSignAreaBase * Args->ScaleFactor));
}

void TTreeSignPainterEh::Draw(TTreeSignPainterDrawArgsEh* DrawArgs) {
  PaintTreeElementEh(DrawArgs->Canvas, DrawArgs->Rect, DrawArgs->TreeElement, DrawArgs->BackDot, DrawArgs->ScaleX,
                     DrawArgs->ScaleY, DrawArgs->RightToLeft, DrawArgs->Coloured, DrawArgs->GlyphStyle);
}

// ---------------------------------------------------------------------------
// TGridLibDrawStyleEh

TGridLibDrawStyleEh::TGridLibDrawStyleEh()
    : FSortmarkerPainter(new TSortMarkerPainterEh), FTreeSignPainter(new TTreeSignPainterEh) {}

TGridLibDrawStyleEh::~TGridLibDrawStyleEh() {
  FreeObjectEh(FSortmarkerPainter);
  FreeObjectEh(FTreeSignPainter);
}

void TGridLibDrawStyleEh::SetSortmarkerPainter(TSortMarkerPainterEh* Value) {
  if (Value == FSortmarkerPainter) return;
  FreeObjectEh(FSortmarkerPainter);
  FSortmarkerPainter = Value;
}

void TGridLibDrawStyleEh::SetTreeSignPainter(TTreeSignPainterEh* Value) {
  if (Value == FTreeSignPainter) return;
  FreeObjectEh(FTreeSignPainter);
  FTreeSignPainter = Value;
}

TGridLibDrawStyleEh* GetGridLibDrawStyleEh() { return DrawStyle; }

TGridLibDrawStyleEh* SetGridLibDrawStyleEh(TGridLibDrawStyleEh* ADrawStyle) {
  return std::exchange(DrawStyle, ADrawStyle);
}
