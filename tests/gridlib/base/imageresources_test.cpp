#include "gridlib/base/imageresources.h"

#include "gridlib/base/baseunit.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/application.h"
#include "tests/support/testing.h"

namespace {

class GridLibImageResourcesEh : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    InitializeUnits({GraphicsUnit});
    InitializeForms();
    InitializeUnits({GridLibBaseUnitEh});
  }

  static TGridLibImageResources* resources() { return GetGridLibImageResources(); }

  // The pixel at (X, Y) of a 32-bit picture: B, G, R, A.
  static const Byte* pixel(TGraphic* Graphic, int X, int Y) {
    auto* Bitmap = dynamic_cast<TBitmap*>(Graphic);
    return static_cast<const Byte*>(Bitmap->ScanLine(Y)) + X * 4;
  }
};

TEST_F(GridLibImageResourcesEh, PictureForSizeAndScale) {
  struct Case {
    const char* Name;
    TResourceImageItemEh* Item;
    double Scale;
    Integer MaxWidth;
    bool Disabled;
    Integer Width;
  } Cases[] = {
      {"1.0, any room", resources()->GridScrollBarNavFirstImageItem(), 1.0, 100, false, 12},
      {"1.0, little room", resources()->GridScrollBarNavFirstImageItem(), 1.0, 5, false, 12},
      {"2.0, room for 24", resources()->GridScrollBarNavNextImageItem(), 2.0, 30, false, 24},
      {"2.0, room for 16", resources()->GridScrollBarNavNextImageItem(), 2.0, 20, false, 16},
      {"1.5, above 16", resources()->SearchPanelFilterImageItem(), 1.5, 17, false, 16},
      {"1.5, 16 exactly", resources()->SearchPanelFilterImageItem(), 1.5, 16, false, 12},
      {"columns at 1.0", resources()->CustomizeColumnsDialogUp(), 1.0, 100, false, 16},
      {"columns at 2.0", resources()->CustomizeColumnsDialogSetColWidth(), 2.0, 100, false, 16},
      {"columns disabled", resources()->CustomizeColumnsDialogLeft(), 1.5, 10, true, 16},
      {"disabled at 2.0", resources()->GridScrollBarNavRefreshImageItem(), 2.0, 30, true, 24},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TGraphic* Picture = C.Item->GetGraphic(TSize{C.MaxWidth, C.MaxWidth}, C.Scale, C.Disabled);
    ASSERT_NE(Picture, nullptr);
    EXPECT_EQ(Picture->Width(), C.Width);
    EXPECT_EQ(Picture->Height(), C.Width);
  }
}

// The insert glyph is a green plus: opaque green in the middle, clear in the
// corners; its disabled twin is grey where it is opaque.
TEST_F(GridLibImageResourcesEh, DisabledPicturesAreGrey) {
  TResourceImageItemEh* Insert = resources()->GridScrollBarNavInsertImageItem();
  TGraphic* Normal = Insert->GetGraphic(TSize{30, 30}, 2.0, false);
  TGraphic* Disabled = Insert->GetGraphic(TSize{30, 30}, 2.0, true);
  ASSERT_NE(Normal, Disabled);
  const Byte* Centre = pixel(Normal, 12, 12);
  EXPECT_EQ(Centre[3], 255);
  EXPECT_GT(Centre[1], Centre[0] + 40) << "green";
  EXPECT_GT(Centre[1], Centre[2] + 40);
  EXPECT_EQ(pixel(Normal, 0, 0)[3], 0);
  const Byte* Grey = pixel(Disabled, 12, 12);
  EXPECT_GT(Grey[3], 0);
  EXPECT_EQ(Grey[0], Grey[1]);
  EXPECT_EQ(Grey[1], Grey[2]);
}

TEST_F(GridLibImageResourcesEh, ImageCutFromTheListIsANewAlphaBitmap) {
  TGridLibImageListDataMod* DataMod = GetGridLibImageListDataMod();
  for (TImageList* List : {DataMod->imList12_12, DataMod->imList16_16_Dis, DataMod->imList24_24})
    EXPECT_EQ(List->Count(), 21);
  TOwned<TBitmap> Delete(DataMod->GetImageFromImageList(DataMod->imList16_16, 5));
  EXPECT_EQ(Delete->Width(), 16);
  EXPECT_EQ(Delete->Height(), 16);
  EXPECT_EQ(Delete->PixelFormat(), pf32bit);
  EXPECT_EQ(Delete->AlphaFormat(), afDefined);
  const Byte* Middle = pixel(Delete.get(), 8, 8);
  EXPECT_EQ(Middle[3], 255);
  EXPECT_GT(Middle[2], Middle[1] + 40) << "the red bar of the delete glyph";
  EXPECT_EQ(pixel(Delete.get(), 8, 2)[3], 0);

  // The unused slot is empty.
  TOwned<TBitmap> Unused(DataMod->GetImageFromImageList(DataMod->imList24_24, 15));
  for (int Y = 0; Y < 24; ++Y)
    for (int X = 0; X < 24; ++X) ASSERT_EQ(pixel(Unused.get(), X, Y)[3], 0) << X << "," << Y;
}

TEST_F(GridLibImageResourcesEh, OnePictureAnswersWhateverTheRequest) {
  TResourceImageItemEh Item;
  auto* Only = new TBitmap;
  Only->SetSize(40, 40);
  Item.InitGraphics({Only}, {});
  EXPECT_EQ(Item.GetGraphic(TSize{10, 10}, 0.5, false), Only);
  EXPECT_EQ(Item.GetGraphic(TSize{100, 100}, 3.0, false), Only);
}

}  // namespace
