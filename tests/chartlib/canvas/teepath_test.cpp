#include "chartlib/canvas/teepath.h"

#include "chartlib/canvas/teecanvas.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/recordingcanvas.h"

#include <memory>

namespace {

// Logs the operations it is given.
class TLogPath : public TTeeBasePath {
public:
  explicit TLogPath(QStringList& Log) : FLog(Log) {}
  void ArcTo(float X, float Y, float W, float H, float Start, float Sweep) override {
    FLog << QStringLiteral("ArcTo(%1,%2,%3,%4,%5,%6)").arg(X).arg(Y).arg(W).arg(H).arg(Start).arg(Sweep);
  }
  void Close() override { FLog << QStringLiteral("Close"); }
  void Curve(std::span<const TPoint>, float, bool) override {}
  void Draw(TTeeCanvas*) override {}
  void GetPoints(TPathPointTypes&, TPointFloatArray&, TRectF&) override {}
  void LineTo(float X, float Y) override { FLog << QStringLiteral("LineTo(%1,%2)").arg(X).arg(Y); }
  void MoveTo(float X, float Y) override { FLog << QStringLiteral("MoveTo(%1,%2)").arg(X).arg(Y); }
  void TextOut(float, float, const String&) override {}

private:
  QStringList& FLog;
};

class TLogPathCanvas : public TRecordingCanvas {
public:
  using TRecordingCanvas::CreatePath;
  TTeeBasePath* CreatePath(const TPointFloatArray&, const TPathPointTypes&) override { return new TLogPath(PathLog); }
  QStringList PathLog;
};

using TeePathTest = CanvasTest;

TEST_F(TeePathTest, CornersPathFollowsEachCornersStyle) {
  TLogPathCanvas C;
  TTeeCorners Corners(nullptr);
  for (TTeeCorner* Corner : {Corners.LeftTop(), Corners.RightTop(), Corners.RightBottom(), Corners.LeftBottom()})
    Corner->SetStyle(cosNone);
  std::unique_ptr<TTeeBasePath>(Corners.CreateCornersPath(&C, Rect(10, 20, 50, 60), 8, 8));
  EXPECT_EQ(C.PathLog, QStringList({"MoveTo(50,20)", "LineTo(50,60)", "LineTo(10,60)", "LineTo(10,20)", "Close"}));

  C.PathLog.clear();
  TTeeCorners Round(nullptr);
  std::unique_ptr<TTeeBasePath>(Round.CreateCornersPath(&C, Rect(10, 20, 50, 60), 7, 0));
  // X 7, Y 0: ellipses 6 wide and 1 high
  EXPECT_EQ(C.PathLog, QStringList({"ArcTo(44,20,6,1,270,90)", "ArcTo(44,59,6,1,0,90)", "ArcTo(10,59,6,1,90,90)",
                                    "ArcTo(10,20,6,1,180,90)", "Close"}));
}

TEST_F(TeePathTest, RoundRectWithCornersFillsTheOutline) {
  TRecordingCanvas C(60, 60);
  C.Brush()->SetColor(clRed);
  C.Pen()->SetColor(clBlue);
  TTeeCorners Corners(nullptr);
  Corners.RightBottom()->SetStyle(cosNone);
  Corners.LeftTop()->SetStyle(cosBevel);
  C.RoundRect(Rect(10, 10, 50, 50), 16, 16, &Corners);
  EXPECT_EQ(C.Pixels(30, 30), clRed);
  EXPECT_EQ(C.Pixels(11, 11), clWhite);  // outside a bevel
  EXPECT_EQ(C.Pixels(48, 11), clWhite);  // outside a round corner
  EXPECT_NE(C.Pixels(49, 49), clWhite);  // a square corner
}

TEST_F(TeePathTest, BadDeviceContextRefusesThePath) {
  struct TNoDC : TRecordingCanvas {
    gdi::HDC GetHandle() override { return nullptr; }
  } C;
  EXPECT_RAISES(TTeePath Path(&C), Exception, "Cannot create GDI path. Error: 6 " + SysErrorMessage(6));
}

}  // namespace
