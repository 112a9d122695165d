#include "chartlib/canvas/canvasunit.h"

#include "chartlib/canvas/teecanvas3d.h"
#include "platform/os/locales.h"
#include "platform/rtl/modules.h"

#include "tests/chartlib/canvas/canvasfixture.h"

#include <memory>

namespace {

using CanvasUnitTest = CanvasTest;

// A second canvas class, registered the way a later unit registers one.
class TProbeCanvas : public TTeeCanvas3D {
  RTL_CLASS_META(TProbeCanvas, TTeeCanvas3D, TCanvas3DClassOf<TProbeCanvas>)
public:
  static String Description() { return QStringLiteral("Probe"); }
  static String EditorClass() { return QStringLiteral("TProbeEditor"); }
  static bool IsAvailable() { return false; }
};

TEST_F(CanvasUnitTest, StartUpSetsTheLibraryWideValues) {
  EXPECT_TRUE(TeeNTPlatform());
  EXPECT_EQ(TeeDefaultFontName(), "Arial");
  EXPECT_EQ(TeeDefaultFontSize(), 8);
  EXPECT_NE(TeeSetDCBrushColorProc(), nullptr);
  EXPECT_NE(TeeSetDCPenColorProc(), nullptr);
}

TEST_F(CanvasUnitTest, EraseBackgroundSwitchIsOffUntilSet) {
  EXPECT_FALSE(TeeEraseBackground());
  SetTeeEraseBackground(true);
  EXPECT_TRUE(TeeEraseBackground());
  // a new start-up forgets it
  FinalizeCanvas();
  EXPECT_FALSE(TeeEraseBackground());
  InitializeCanvas();
  EXPECT_FALSE(TeeEraseBackground());
}

TEST_F(CanvasUnitTest, ClassesAreFoundByTheirExactName) {
  TeeActivateClassGroup();
  auto& List = TeeCanvasClassList();
  ASSERT_EQ(List.size(), 1u);
  EXPECT_EQ(List[0], TTeeCanvas3D::StaticClass());
  EXPECT_EQ(List[0]->Description(), "GDI");
  EXPECT_EQ(List[0]->EditorClass(), "");
  EXPECT_TRUE(List[0]->IsAvailable());

  const TCanvas3DClass Probe = Canvas3DMeta(TProbeCanvas::StaticClass());
  List.push_back(Probe);
  EXPECT_EQ(TeeFindCanvasClass("TProbeCanvas"), Probe);
  EXPECT_EQ(TeeFindCanvasClass("tprobecanvas"), nullptr);  // letter case counts
  EXPECT_EQ(TeeFindCanvasClass(""), nullptr);
  EXPECT_FALSE(Probe->IsAvailable());
  std::unique_ptr<TCanvas3D> Made(Probe->CreateCanvas());
  EXPECT_EQ(Made->ClassType(), TProbeCanvas::StaticClass());
  List.pop_back();
}

TEST_F(CanvasUnitTest, JapaneseUsersGetNinePointsAndTheGothicFace) {
  {
    TUserLocaleScope Japanese("ja_JP", /*FarEast=*/true);
    FinalizeCanvas();
    InitializeCanvas();
    EXPECT_EQ(TeeDefaultFontSize(), 9);
    EXPECT_EQ(TeeDefaultFontName(), QString::fromUtf16(u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"));
  }
  FinalizeCanvas();
  InitializeCanvas();
  EXPECT_EQ(TeeDefaultFontSize(), 8);
}

TEST_F(CanvasUnitTest, WithoutTheDCColourExportsTheProcsAreNull) {
  {
    TModuleExportScope Brush("gdi32.dll", "SetDCBrushColor");
    FinalizeCanvas();
    InitializeCanvas();
    EXPECT_EQ(TeeSetDCBrushColorProc(), nullptr);
    EXPECT_NE(TeeSetDCPenColorProc(), nullptr);
  }
  FinalizeCanvas();
  InitializeCanvas();
  EXPECT_NE(TeeSetDCBrushColorProc(), nullptr);
}

}  // namespace
