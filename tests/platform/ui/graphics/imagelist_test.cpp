#include "platform/ui/graphics/imagelist.h"

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <cstring>

using namespace gdi;

namespace {

constexpr TColor Key = clFuchsia;  // the mask colour of the strips below

class ImageListTest : public ::testing::Test {
protected:
  void SetUp() override {
    Baseline = GdiObjectCount();
    List = new TImageList(nullptr);
    Dest = new TBitmap;
    Dest->SetSize(64, 16);
    fill(Dest, Rect(0, 0, 64, 16), clWhite);
  }
  void TearDown() override {
    List->Free();
    Dest->Free();
    EXPECT_EQ(GdiObjectCount(), Baseline) << "GDI objects leaked";
  }

  static void fill(TBitmap* B, const TRect& R, TColor Color) {
    B->Canvas()->Brush()->SetColor(Color);
    B->Canvas()->FillRect(R);
  }

  // Count 16 x 16 images side by side, image i in Colors[i], each with a
  // Key-coloured 4 x 4 corner at the top left.
  static TBitmap* strip(std::initializer_list<TColor> Colors) {
    auto* B = new TBitmap;
    B->SetSize(16 * int(Colors.size()), 16);
    int Left = 0;
    for (TColor C : Colors) {
      fill(B, Bounds(Left, 0, 16, 16), C);
      fill(B, Bounds(Left, 0, 4, 4), Key);
      Left += 16;
    }
    return B;
  }

  int addStrip(std::initializer_list<TColor> Colors) {
    TBitmap* S = strip(Colors);
    const int First = List->AddMasked(S, Key);
    S->Free();
    return First;
  }

  int Baseline = 0;
  TImageList* List = nullptr;
  TBitmap* Dest = nullptr;
};

TEST_F(ImageListTest, AddMaskedSplitsTheStripAndMasksTheColour) {
  EXPECT_FALSE(List->HandleAllocated());
  EXPECT_EQ(addStrip({clRed, clLime, clBlue}), 0);
  EXPECT_EQ(List->Count(), 3);
  EXPECT_EQ(addStrip({clNavy}), 3);

  List->Draw(Dest->Canvas(), 0, 0, 1);
  EXPECT_EQ(CountPixels(Dest, Rect(0, 0, 16, 16), clLime), 16 * 16 - 16);
  EXPECT_EQ(CountPixels(Dest, Rect(0, 0, 4, 4), clWhite), 16) << "masked pixels are not drawn";

  TBitmap Narrow;
  Narrow.SetSize(15, 16);
  EXPECT_EQ(List->AddMasked(&Narrow, Key), -1);
  EXPECT_EQ(List->Count(), 4);
}

TEST_F(ImageListTest, DefaultMaskColourIsTheBottomLeftPixel) {
  TBitmap* S = strip({clRed});
  S->Canvas()->SetPixels(0, 15, clYellow);
  S->Canvas()->SetPixels(5, 5, clYellow);
  List->AddMasked(S, clDefault);
  S->Free();
  List->Draw(Dest->Canvas(), 0, 0, 0);
  EXPECT_EQ(PixelAt(Dest, 5, 5), clWhite);
  EXPECT_EQ(PixelAt(Dest, 0, 0), Key) << "only the bottom-left colour is masked";
}

TEST_F(ImageListTest, MasksAndAlphaWhenAdding) {
  TBitmap Image;
  Image.SetSize(16, 16);
  fill(&Image, Rect(0, 0, 16, 16), clBlue);
  TBitmap Mask;
  Mask.SetMonochrome(true);
  Mask.SetSize(16, 16);
  Mask.Canvas()->Brush()->SetColor(clWhite);
  Mask.Canvas()->FillRect(Rect(0, 0, 8, 16));  // left half masked
  List->Add(&Image, &Mask);

  TBitmap Alpha;
  Alpha.SetPixelFormat(pf32bit);
  Alpha.SetAlphaFormat(afDefined);
  Alpha.SetSize(16, 16);
  for (int Y = 0; Y < 16; ++Y)
    for (int X = 0; X < 16; ++X) std::memcpy(static_cast<uchar*>(Alpha.ScanLine(Y)) + 4 * X, "\0\0\0\x80", 4);
  List->Add(&Alpha, nullptr);

  List->Draw(Dest->Canvas(), 0, 0, 0);
  List->Draw(Dest->Canvas(), 16, 0, 1);
  EXPECT_EQ(CountPixels(Dest, Rect(0, 0, 16, 16), clBlue), 8 * 16);
  EXPECT_EQ(PixelAt(Dest, 20, 5), TColor(0x7F7F7F)) << "half-transparent black over white";

  List->SetMasked(false);
  List->Add(&Image, &Mask);
  List->Draw(Dest->Canvas(), 32, 0, 2);
  EXPECT_EQ(CountPixels(Dest, Rect(32, 0, 48, 16), clBlue), 256) << "an unmasked list ignores masks";
}

TEST_F(ImageListTest, DrawingStylesAndBackgrounds) {
  TBitmap White;
  White.SetSize(16, 16);
  fill(&White, Rect(0, 0, 16, 16), clWhite);
  fill(&White, Rect(0, 0, 4, 4), Key);
  List->AddMasked(&White, Key);
  fill(Dest, Rect(0, 0, 64, 16), clBlack);
  HDC DC = Dest->Canvas()->Handle();

  ImageList_DrawEx(List->Handle(), 0, DC, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_SELECTED);
  const COLORREF H = COLORREF(ColorToRGB(clHighlight));
  const TColor Selected = TColor(RGB(BYTE((255 + GetRValue(H)) / 2), BYTE((255 + GetGValue(H)) / 2),
                                     BYTE((255 + GetBValue(H)) / 2)));
  EXPECT_EQ(PixelAt(Dest, 10, 10), Selected);
  EXPECT_EQ(PixelAt(Dest, 1, 1), clBlack);

  ImageList_DrawEx(List->Handle(), 0, DC, 16, 0, 0, 0, 0x00FFFF, CLR_NONE, ILD_NORMAL);
  EXPECT_EQ(PixelAt(Dest, 17, 1), clYellow) << "a background colour fills masked pixels";
  ImageList_DrawEx(List->Handle(), 0, DC, 32, 0, 0, 0, 0x00FFFF, CLR_NONE, ILD_TRANSPARENT);
  EXPECT_EQ(PixelAt(Dest, 33, 1), clBlack);
  ImageList_DrawEx(List->Handle(), 0, DC, 48, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
  EXPECT_EQ(PixelAt(Dest, 49, 1), clWhite);
  EXPECT_EQ(PixelAt(Dest, 58, 10), clBlack);
  SaveForReview(Dest->Image(), QStringLiteral("imagelist_styles.png"));

  List->SetBkColor(clRed);
  List->Draw(Dest->Canvas(), 0, 0, 0);
  EXPECT_EQ(PixelAt(Dest, 1, 1), clRed) << "CLR_DEFAULT takes the list's colour";
  List->SetBlendColor(clBlack);
  List->Draw(Dest->Canvas(), 0, 0, 0, dsFocus, itImage);
  EXPECT_EQ(PixelAt(Dest, 10, 10), TColor(0xBFBFBF)) << "25% black";
  List->Draw(Dest->Canvas(), 0, 0, 0, dsNormal, itMask);
  EXPECT_EQ(PixelAt(Dest, 1, 1), clWhite);

  EXPECT_EQ(ImageList_DrawEx(List->Handle(), 1, DC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL), 0);
  EXPECT_EQ(ImageList_DrawEx(nullptr, 0, DC, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL), 0);
}

TEST_F(ImageListTest, DisabledDrawingIsAHalfTransparentGrey) {
  addStrip({clRed});
  List->Draw(Dest->Canvas(), 0, 0, 0, /*Enabled=*/true);
  List->Draw(Dest->Canvas(), 16, 0, 0, /*Enabled=*/false);
  EXPECT_EQ(PixelAt(Dest, 8, 8), clRed);
  // luminance of red: 76; 76 at 128/255 over white
  EXPECT_EQ(PixelAt(Dest, 24, 8), TColor(0xA5A5A5));
  EXPECT_EQ(PixelAt(Dest, 17, 1), clWhite);
}

TEST_F(ImageListTest, StripsAreOneRowOfImages) {
  addStrip({clRed, clLime, clBlue});
  BITMAP Info;
  ASSERT_NE(GetObject(List->GetImageBitmap(), sizeof Info, &Info), 0);
  EXPECT_EQ(Info.bmWidth, 48);
  EXPECT_EQ(Info.bmHeight, 16);
  // image i sits at column i of the one row: x = (i mod (bmWidth / Width)) * Width
  HDC Strip = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Strip, List->GetImageBitmap());
  EXPECT_EQ(GetPixel(Strip, 2 * 16 + 8, 8), 0xFF0000u);
  SelectObject(Strip, List->GetMaskBitmap());
  EXPECT_EQ(GetPixel(Strip, 16 + 1, 1), 0xFFFFFFu) << "1 = masked";
  EXPECT_EQ(GetPixel(Strip, 16 + 8, 8), 0u);
  SelectObject(Strip, Old);
  DeleteDC(Strip);
}

TEST_F(ImageListTest, EditingKeepsTheOrder) {
  addStrip({clRed, clLime, clBlue});
  auto colorAt = [&](int Index) {
    List->Draw(Dest->Canvas(), 0, 0, Index);
    return PixelAt(Dest, 8, 8);
  };
  List->Move(0, 2);
  EXPECT_EQ(colorAt(0), clLime);
  EXPECT_EQ(colorAt(2), clRed);
  List->Move(2, 0);
  EXPECT_EQ(colorAt(0), clRed);
  TBitmap* Yellow = strip({clYellow});
  List->Insert(1, Yellow, nullptr);
  EXPECT_EQ(colorAt(1), clYellow);
  List->Delete(0);
  EXPECT_EQ(colorAt(0), clYellow);
  TBitmap* Navy = strip({clNavy});
  List->ReplaceMasked(2, Navy, Key);
  EXPECT_EQ(colorAt(2), clNavy);
  EXPECT_EQ(List->Count(), 3);

  TBitmap Out;
  EXPECT_TRUE(List->GetBitmap(2, &Out));
  EXPECT_EQ(Out.Width(), 16);
  EXPECT_EQ(PixelAt(&Out, 8, 8), clNavy);
  EXPECT_FALSE(List->GetBitmap(3, &Out));

  EXPECT_RAISES(List->Delete(3), EInvalidOperation, "Invalid ImageList Index");
  EXPECT_RAISES(List->Move(-1, 0), EInvalidOperation, "Invalid ImageList Index");
  EXPECT_RAISES(List->Insert(4, Yellow, nullptr), EInvalidOperation, "Invalid ImageList Index");
  EXPECT_RAISES(List->Replace(3, Yellow, nullptr), EInvalidOperation, "Invalid ImageList Index");
  Yellow->Free();
  Navy->Free();

  List->SetWidth(8);
  EXPECT_EQ(List->Count(), 0) << "a new size clears the list";
}

TEST_F(ImageListTest, ChangeLinksHearChangesUntilEitherSideGoes) {
  int Heard = 0, Changes = 0;
  auto* Link = new TChangeLink;
  Link->OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, List);
    ++Heard;
  };
  List->OnChange = [&](TObject*) { ++Changes; };
  List->RegisterChanges(Link);
  EXPECT_EQ(Link->Sender(), List);
  addStrip({clRed});
  List->SetBkColor(clBlue);
  EXPECT_EQ(Heard, 2);
  EXPECT_EQ(Changes, 2);
  Link->Free();  // unregisters itself
  List->Clear();
  EXPECT_EQ(Changes, 3);

  auto* Other = new TImageList(nullptr);
  TChangeLink Survivor;
  Survivor.SetSender(Other);
  Other->Free();
  EXPECT_EQ(Survivor.Sender(), nullptr);
}

TEST_F(ImageListTest, AssignCopiesImagesAndProperties) {
  addStrip({clRed, clLime});
  List->SetBkColor(clYellow);
  TImageList Copy(nullptr);
  Copy.Assign(List);
  EXPECT_EQ(Copy.Count(), 2);
  EXPECT_EQ(Copy.BkColor(), clYellow);
  Copy.Draw(Dest->Canvas(), 0, 0, 1);
  EXPECT_EQ(PixelAt(Dest, 8, 8), clLime);
  EXPECT_EQ(PixelAt(Dest, 1, 1), clYellow);
}

}  // namespace
