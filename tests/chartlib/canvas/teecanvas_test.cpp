#include "chartlib/canvas/teecanvas.h"

#include "chartlib/canvas/teeblend.h"
#include "platform/ui/graphics/metrics.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

#include <memory>

namespace {

class TeeCanvasTest : public CanvasTest {
protected:
  TRecordingCanvas C{100, 100};
};

TEST_F(TeeCanvasTest, ArrowPointsAndDrawing) {
  EXPECT_EQ(C.GetArrowPoints(50, {0, 0}, {100, 0}, 10, 20),
            (TPointArray{{0, 2}, {0, -2}, {80, -2}, {80, -5}, {100, 0}, {80, 5}, {80, 2}}));
  // a head longer than the arrow is cut to its length: the base at the tail
  const TPointArray Short = C.GetArrowPoints(50, {0, 0}, {10, 0}, 10, 20);
  EXPECT_EQ(Short[3], (TPoint{0, -5}));
  EXPECT_TRUE(C.GetArrowPoints(50, {5, 5}, {5, 5}, 10, 20).empty());
  C.Arrow(true, 50, {5, 5}, {5, 5}, 10, 20);
  EXPECT_TRUE(C.Calls.isEmpty());
  C.Arrow(false, 50, {10, 50}, {90, 50}, 10, 20);
  EXPECT_EQ(C.Calls, QStringList({"MoveTo(10,50)", "LineTo(90,50)", "LineTo(70,55)", "MoveTo(90,50)", "LineTo(70,45)"}));
}

TEST_F(TeeCanvasTest, ArcByAnglesPassesTheSmallerAngleAsStart) {
  C.Arc(0, 0, 20, 10, 90.0f, 0.0f);
  EXPECT_EQ(C.Calls, QStringList({"Arc(0,0,20,10,20,5,10,0)"}));  // 0 degrees first, then 90
  C.Calls.clear();
  C.Arc(0, 0, 20, 10, 0.0f, 90.0f);
  EXPECT_EQ(C.Calls, QStringList({"Arc(0,0,20,10,20,5,10,0)"}));
  float Start, End;
  C.CalcArcAngles(0, 0, 20, 20, 10, 0, 20, 10, Start, End);
  EXPECT_FLOAT_EQ(Start, 90);
  EXPECT_FLOAT_EQ(End, 0);
}

TEST_F(TeeCanvasTest, Frame3DDrawsNestedFramesAndAnswersTheInside) {
  TRect R = Rect(0, 0, 10, 10);
  C.Frame3D(R, clWhite, clGray, 2);
  EXPECT_EQ(R, Rect(2, 2, 8, 8));
  EXPECT_EQ(C.CallsOf("Polyline").size(), 4);
  EXPECT_EQ(C.Calls[0], "Polyline((0,9),(0,0),(9,0))");
  EXPECT_EQ(C.Calls[1], "Polyline((9,0),(9,9),(-1,9))");
  EXPECT_EQ(C.Pixels(9, 5), clGray);
}

TEST_F(TeeCanvasTest, NestedBlendingMultipliesOpacitiesAndEndsRestore) {
  TTeeBlend* Outer = C.BeginBlending(Rect(0, 0, 10, 10), 50);
  EXPECT_EQ(C.Transparency, 50);
  TTeeBlend* Inner = C.BeginBlending(Rect(0, 0, 10, 10), 50);
  EXPECT_EQ(C.Transparency, 75);
  C.EndBlending(Inner);
  EXPECT_EQ(C.Transparency, 50);
  C.EndBlending(Outer);
  EXPECT_EQ(C.Transparency, 0);
  C.EndBlending(nullptr);  // one end too many is ignored
  EXPECT_EQ(C.Transparency, 0);
  EXPECT_EQ(C.BeginBlending(TPointArray{{1, 1}}, 0), nullptr);
}

TEST_F(TeeCanvasTest, HiddenPenClearsTheReferencePenAndZoomScalesWidths) {
  TTeePen Pen(nullptr);
  Pen.Hide();
  C.AssignVisiblePen(&Pen);
  EXPECT_EQ(C.ReferenceCanvas()->Pen()->Style(), psClear);
  Pen.Show();
  Pen.SetWidth(2);
  C.SetPenZoom(150);
  C.AssignVisiblePenColor(&Pen, clRed);
  EXPECT_EQ(C.Pen()->Width(), 3);
  EXPECT_EQ(C.Pen()->Color(), clRed);
  EXPECT_EQ(C.ReferenceCanvas()->Pen()->Color(), clRed);
}

// The extended pen now selected into the reference canvas's DC.
std::vector<gdi::DWORD> selectedExtPen(TTeeCanvas& C) {
  gdi::HGDIOBJ Pen = gdi::GetCurrentObject(C.Handle(), gdi::OBJ_PEN);
  const int Size = gdi::GetObject(Pen, 0, nullptr);
  std::vector<gdi::DWORD> Buffer(std::max(Size, 0) / 4 + 1);
  gdi::GetObject(Pen, Size, Buffer.data());
  return Buffer;
}

TEST_F(TeeCanvasTest, PenApplicationChoosesThePlatformPen) {
  struct Case {
    const char* Name;
    Integer Width;
    bool SmallDots;
    Integer SmallSpace;
    gdi::DWORD Style;                 // EXTLOGPEN.elpPenStyle
    std::vector<gdi::DWORD> Entries;  // its style entries
  } const Cases[] = {
      {"wide flat bevel", 3, false, 0, gdi::PS_GEOMETRIC | gdi::PS_SOLID | gdi::PS_ENDCAP_FLAT | gdi::PS_JOIN_BEVEL, {}},
      {"small dots, no space", 1, true, 0, gdi::PS_COSMETIC | gdi::PS_ALTERNATE, {}},
      {"small dots, space 2", 1, true, 2, gdi::PS_GEOMETRIC | gdi::PS_USERSTYLE, {0, 3}},
  };
  for (const Case& Cs : Cases) {
    SCOPED_TRACE(Cs.Name);
    TTeePen Pen(nullptr);
    Pen.SetWidth(Cs.Width);
    Pen.SetEndStyle(esFlat);
    Pen.SetJoinStyle(jsBevel);
    Pen.SetSmallDots(Cs.SmallDots);
    Pen.SetSmallSpace(Cs.SmallSpace);
    C.AssignVisiblePen(&Pen);
    const std::vector<gdi::DWORD> P = selectedExtPen(C);
    const auto* Ext = reinterpret_cast<const gdi::EXTLOGPEN*>(P.data());
    EXPECT_EQ(Ext->elpPenStyle, Cs.Style);
    ASSERT_EQ(Ext->elpNumEntries, Cs.Entries.size());
    for (size_t I = 0; I < Cs.Entries.size(); ++I) EXPECT_EQ((&Ext->elpStyleEntry[0])[I], Cs.Entries[I]);
  }
}

TEST_F(TeeCanvasTest, CheckBoxSizeFollowsTheZoom) {
  struct Case {
    double Zoom;
    Integer Size;
  } const Cases[] = {{0, 1}, {100, 12}, {150, 18}, {5, 1}};
  for (const Case& Cs : Cases) {
    C.SetCheckBoxZoom(Cs.Zoom);
    EXPECT_EQ(C.GetCheckBoxSize(), Cs.Size) << Cs.Zoom;
  }
}

TEST_F(TeeCanvasTest, TextWidthAddsAVisibleShadow) {
  TTeeFont F(nullptr);
  C.AssignFont(&F);
  const Integer Plain = C.TextWidth("Hello");
  F.Shadow()->SetHorizSize(-3);
  F.Shadow()->SetVertSize(2);
  C.AssignFont(&F);
  EXPECT_EQ(C.TextWidth("Hello"), Plain + 3);
  EXPECT_EQ(C.TextHeight("Hello"), C.ReferenceCanvas()->TextHeight("Hello") + 2);
  F.Shadow()->Hide();
  C.AssignFont(&F);
  EXPECT_EQ(C.TextWidth("Hello"), Plain);
}

TEST_F(TeeCanvasTest, ConvexHullDropsInnerPointsAndEndsWithThePivot) {
  TPointArray P{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}};
  ASSERT_TRUE(TTeeCanvas::ConvexHull(P));
  EXPECT_EQ(P, (TPointArray{{10, 10}, {0, 10}, {0, 0}, {10, 0}}));
  TPointArray Two{{0, 0}, {4, 4}};
  EXPECT_FALSE(TTeeCanvas::ConvexHull(Two));
  EXPECT_EQ(Two.size(), 2u);
}

TEST_F(TeeCanvasTest, ConvexPolygons) {
  struct Case {
    const char* Name;
    TPointArray P;
    bool Convex;
  } const Cases[] = {
      {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, true},
      {"arrow head", {{0, 0}, {10, 5}, {0, 10}, {3, 5}}, false},
      {"collinear", {{0, 0}, {5, 5}, {10, 10}}, false},
      {"two points", {{0, 0}, {5, 5}}, false},
  };
  for (const Case& Cs : Cases) EXPECT_EQ(TTeeCanvas::IsConvexPolygon(Cs.P), Cs.Convex) << Cs.Name;
  EXPECT_TRUE(TTeeCanvas::IsConvexPolygon(TPointFloatArray{{0, 0}, {1, 0}, {0.5f, 1}}));
}

TEST_F(TeeCanvasTest, AssignBrushAppliesColourOrPattern) {
  TTeeBrush B(nullptr);
  B.SetColor(clBlue);
  C.AssignBrush(&B, clRed, clNone);
  EXPECT_EQ(C.Brush()->Color(), clRed);
  EXPECT_EQ(C.BackMode(), cbmTransparent);
  C.FillRect(Rect(0, 0, 5, 5));
  EXPECT_EQ(C.Pixels(2, 2), clRed);

  TBitmap Pattern;
  Pattern.SetSize(2, 1);
  Pattern.Canvas()->SetPixels(0, 0, clLime);
  Pattern.Canvas()->SetPixels(1, 0, clYellow);
  TTeeBrush Patterned(nullptr);
  Patterned.SetBitmap(&Pattern);
  C.AssignBrush(&Patterned, clRed, clWhite);
  EXPECT_EQ(C.Brush()->Bitmap(), &Pattern);
  C.FillRect(Rect(10, 10, 14, 11));
  EXPECT_EQ(C.Pixels(10, 10), clLime);
  EXPECT_EQ(C.Pixels(11, 10), clYellow);
}

TEST_F(TeeCanvasTest, ResetStateGivesTheDefaults) {
  C.Pen()->SetColor(clRed);
  C.Brush()->SetStyle(bsClear);
  C.Font()->SetSize(20);
  C.ResetState();
  EXPECT_EQ(C.Pen()->Color(), clBlack);
  EXPECT_EQ(C.Brush()->Color(), clWhite);
  EXPECT_EQ(C.Brush()->Style(), bsSolid);
  EXPECT_EQ(C.Font()->Size(), 8);
  EXPECT_EQ(C.Font()->Name(), "Arial");
  EXPECT_EQ(C.BackMode(), cbmTransparent);
  EXPECT_EQ(C.TextAlign(), 0);
}

TEST_F(TeeCanvasTest, AbstractSlotsRaise) {
  TTeeCanvas Plain;
  EXPECT_RAISES(Plain.Ellipse(0, 0, 1, 1), EAbstractError, "Abstract Error");
  EXPECT_RAISES(Plain.GetHandle(), EAbstractError, "Abstract Error");
}

TEST_F(TeeCanvasTest, CheckBoxLinesDrawTheTick) {
  TeeDrawCheckBoxLines(&C, 10, 10, true, clWhite, true);
  EXPECT_EQ(C.Pixels(10, 15), clGray);   // left edge
  EXPECT_EQ(C.Pixels(11, 11), clBlack);  // inner shadow
  EXPECT_EQ(C.Pixels(13, 16), clBlack);  // the tick's first stroke
  C.DrawCheckBox(40, 40, true, clWhite, true);
  EXPECT_NE(C.Pixels(43, 46), clWhite);  // the platform check mark
}

}  // namespace
