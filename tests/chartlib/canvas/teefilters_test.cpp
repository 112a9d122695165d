#include "chartlib/canvas/teefilters.h"

#include "chartlib/canvas/teegradient.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/streams.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include "tests/chartlib/canvas/canvasfixture.h"
#include "tests/chartlib/canvas/filteroracles.h"
#include "tests/chartlib/canvas/streamhost.h"

#include <QImage>
#include <functional>
#include <memory>
#include <random>

namespace {

class TeeFiltersTest : public CanvasTest {
protected:
  static void SetUpTestSuite() {
    CanvasTest::SetUpTestSuite();
    InitializeUnits({FiltersUnit});
  }
};

QImage randomImage(int W, int H, unsigned Seed) {
  QImage Img(W, H, QImage::Format_RGB32);
  std::mt19937 Gen(Seed);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) Img.setPixel(X, Y, qRgb(Gen() & 0xFF, Gen() & 0xFF, Gen() & 0xFF));
  return Img;
}

std::unique_ptr<TBitmap> bitmapOf(const QImage& Img, TPixelFormat Format) {
  auto B = std::make_unique<TBitmap>();
  B->SetImage(Img);
  B->SetPixelFormat(Format);
  return B;
}

QImage colours(TBitmap& B) { return B.Image().convertToFormat(QImage::Format_RGB32); }

std::unique_ptr<TBitmap> solid(int W, int H, TColor Color) {
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(pf24bit);
  B->SetSize(W, H);
  B->Canvas()->Brush()->SetColor(Color);
  B->Canvas()->FillRect(Rect(0, 0, W, H));
  return B;
}

TEST_F(TeeFiltersTest, FiltersEqualTheirPlainLoops) {
  struct Case {
    const char* Name;
    std::function<TTeeFilter*()> Make;
    std::function<void(QImage&)> Oracle;
    bool Deep;  // also on 32-bit rows
  };
  const Case Cases[] = {
      {"invert", [] { return new TInvertFilter(nullptr); }, oracle::invert, true},
      {"gray eye2", [] { auto* F = new TGrayScaleFilter(nullptr); F->Method = gmEye2; return F; }, oracle::grayEye2, true},
      {"gray eye", [] { auto* F = new TGrayScaleFilter(nullptr); F->Method = gmEye; return F; }, oracle::grayEye, true},
      {"brightness 30 %", [] { auto* F = new TBrightnessFilter(nullptr); F->Amount = 30; return F; },
       [](QImage& I) { oracle::brightnessPercent(I, 30); }, false},
      {"contrast 60 %", [] { auto* F = new TContrastFilter(nullptr); F->Amount = 60; return F; },
       [](QImage& I) { oracle::contrastPercent(I, 60); }, false},
      {"gamma 70 %", [] { return new TGammaCorrectionFilter(nullptr); }, [](QImage& I) { oracle::gammaPercent(I, 70); },
       false},
      {"sepia", [] { return new TSepiaFilter(nullptr); }, oracle::sepia, false},
      {"flip", [] { return new TFlipFilter(nullptr); }, oracle::flip, false},
      {"reverse", [] { return new TReverseFilter(nullptr); }, oracle::reverse, false},
      {"blur", [] { return new TBlurFilter(nullptr); },
       [](QImage& I) { oracle::convolve(I, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}); }, true},
      {"sharpen", [] { return new TSharpenFilter(nullptr); },
       [](QImage& I) { oracle::convolve(I, {{-.125f, -.125f, -.125f}, {-.125f, 2, -.125f}, {-.125f, -.125f, -.125f}}); },
       true},
      {"emboss", [] { return new TEmbossFilter(nullptr); },
       [](QImage& I) { oracle::convolve(I, {{0, -1, 0}, {-1, 1, 1}, {0, -1, 0}}); }, true},
      {"antialias", [] { return new TSoftenFilter(nullptr); },
       [](QImage& I) { oracle::convolve(I, {{0, 0, 0}, {0, 1, 1}, {0, 1, 1}}); }, true},
  };
  for (const Case& C : Cases)
    for (bool Deep : {false, true}) {
      if (Deep && !C.Deep) continue;
      SCOPED_TRACE(std::string(C.Name) + (Deep ? " 32-bit" : " 24-bit"));
      const QImage Input = randomImage(64, 48, 11);
      auto B = bitmapOf(Input, Deep ? pf32bit : pf24bit);
      std::unique_ptr<TTeeFilter> F(C.Make());
      F->RGBA = Deep;
      F->Apply(B.get());
      QImage Expected = Input.copy();
      C.Oracle(Expected);
      EXPECT_EQ(colours(*B), Expected);
    }
}

TEST_F(TeeFiltersTest, SingleChannelCases) {
  struct Case {
    const char* Name;
    std::function<TTeeFilter*()> Make;
    Byte In;
    Byte Out;
  } const Cases[] = {
      {"brightness 30 %", [] { auto* F = new TBrightnessFilter(nullptr); F->Amount = 30; return F; }, 10, 87},
      {"brightness 50 %", [] { auto* F = new TBrightnessFilter(nullptr); F->Amount = 50; return F; }, 10, 138},
      {"contrast 256, 200", [] { auto* F = new TContrastFilter(nullptr); F->Amount = 256; F->Percent = false; return F; }, 200, 255},
      {"contrast 256, 100", [] { auto* F = new TContrastFilter(nullptr); F->Amount = 256; F->Percent = false; return F; }, 100, 72},
      {"gamma 128", [] { return new TGammaCorrectionFilter(nullptr); }, 128, 95},
      {"gamma 0", [] { return new TGammaCorrectionFilter(nullptr); }, 0, 0},
      {"gamma 255", [] { return new TGammaCorrectionFilter(nullptr); }, 255, 255},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto B = solid(3, 3, TColor(gdi::RGB(C.In, C.In, C.In)));
    std::unique_ptr<TTeeFilter> F(C.Make());
    F->Apply(B.get());
    EXPECT_EQ(B->Canvas()->Pixels(1, 1), TColor(gdi::RGB(C.Out, C.Out, C.Out)));
  }
  auto Red = solid(2, 2, clRed);
  TGrayScaleFilter Gray(nullptr);
  Gray.Method = gmEye2;
  Gray.Apply(Red.get());
  EXPECT_EQ(Red->Canvas()->Pixels(0, 0), TColor(gdi::RGB(87, 87, 87)));
}

TEST_F(TeeFiltersTest, FlipExchangesRowsAndKeepsTheMiddleOne) {
  for (int Rows : {4, 5}) {
    SCOPED_TRACE(Rows);
    QImage In(3, Rows, QImage::Format_RGB32);
    for (int Y = 0; Y < Rows; ++Y)
      for (int X = 0; X < 3; ++X) In.setPixel(X, Y, qRgb(Y * 10, 0, 0));
    auto B = bitmapOf(In, pf24bit);
    TTeeFilter::ApplyTo(TFlipFilter::StaticClass(), B.get());
    const QImage Out = colours(*B);
    for (int Y = 0; Y < Rows; ++Y) EXPECT_EQ(qRed(Out.pixel(1, Y)), (Rows - 1 - Y) * 10);
  }
}

TEST_F(TeeFiltersTest, MosaicBlocksAndItsUntouchedBottomRow) {
  const QImage In = randomImage(100, 50, 3);
  auto B = bitmapOf(In, pf24bit);
  TMosaicFilter F(nullptr);
  EXPECT_EQ(F.Amount, 8);
  F.Apply(B.get());
  const QImage Out = colours(*B);
  // the last block column spans 96..99 and the last block row is row 48 alone
  EXPECT_EQ(Out.pixel(96, 48), Out.pixel(99, 48));
  int Sum = 0;
  for (int X = 96; X <= 99; ++X) Sum += qRed(In.pixel(X, 48));
  EXPECT_EQ(qRed(Out.pixel(97, 48)), oracle::rounded(Sum * double(float(1.0 / 4))));
  EXPECT_EQ(Out.pixel(0, 0), Out.pixel(7, 7));
  for (int X = 0; X < 100; ++X) EXPECT_EQ(Out.pixel(X, 49), In.pixel(X, 49));
}

TEST_F(TeeFiltersTest, EqualizeLeavesAFullRangeAlone) {
  QImage In = randomImage(20, 20, 5);
  In.setPixel(3, 3, qRgb(0, 0, 0));
  In.setPixel(4, 4, qRgb(255, 255, 255));
  auto B = bitmapOf(In, pf24bit);
  TTeeFilter::ApplyTo(TEqualizeFilter::StaticClass(), B.get());
  EXPECT_EQ(colours(*B), In);
  // a narrow range is stretched to 0..255 within the interior
  QImage Narrow(5, 5, QImage::Format_RGB32);
  Narrow.fill(qRgb(100, 100, 100));
  Narrow.setPixel(2, 2, qRgb(150, 150, 150));
  Narrow.setPixel(1, 1, qRgb(50, 50, 50));
  auto N = bitmapOf(Narrow, pf24bit);
  TTeeFilter::ApplyTo(TEqualizeFilter::StaticClass(), N.get());
  EXPECT_EQ(qRed(colours(*N).pixel(2, 2)), 255);
  EXPECT_EQ(qRed(colours(*N).pixel(1, 1)), 0);
  EXPECT_EQ(qRed(colours(*N).pixel(0, 0)), 100);  // the border is not touched
}

TEST_F(TeeFiltersTest, GeometryFiltersSizes) {
  {
    SCOPED_TRACE("rotate 90");
    auto B = solid(30, 20, clRed);
    B->Canvas()->Pixels(0, 0);
    B->Canvas()->SetPixels(29, 0, clBlue);
    TRotateFilter F(nullptr);
    F.Angle = 90 + 720;
    F.Apply(B.get());
    EXPECT_EQ(F.Angle, 90);  // reduced in place
    EXPECT_EQ(B->Width(), 20);
    EXPECT_EQ(B->Height(), 30);
    EXPECT_EQ(B->Canvas()->Pixels(19, 29), clBlue);  // the top-right corner turns to the bottom-right
  }
  {
    SCOPED_TRACE("rotate 45 without AutoSize");
    auto B = solid(30, 20, clRed);
    TRotateFilter F(nullptr);
    F.Angle = 45;
    F.AutoSize = false;
    F.BackColor = clLime;
    F.Apply(B.get());
    EXPECT_EQ(B->Width(), 30);
    EXPECT_EQ(B->Height(), 20);
    EXPECT_EQ(B->Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(B->Canvas()->Pixels(15, 10), clRed);
  }
  {
    SCOPED_TRACE("mirror right");
    const QImage In = randomImage(10, 5, 9);
    auto B = bitmapOf(In, pf24bit);
    TMirrorFilter F(nullptr);
    F.Direction = mdRight;
    F.Apply(B.get());
    ASSERT_EQ(B->Width(), 20);
    ASSERT_EQ(B->Height(), 5);
    const QImage Out = colours(*B);
    for (int X = 0; X < 10; ++X) {
      EXPECT_EQ(Out.pixel(X, 2), In.pixel(X, 2));
      EXPECT_EQ(Out.pixel(19 - X, 2), In.pixel(X, 2));
    }
  }
  {
    SCOPED_TRACE("resize and tile");
    auto B = solid(40, 30, clBlue);
    TResizeFilter R(nullptr);
    R.Width = 10;
    R.Height = 7;
    R.Apply(B.get());
    EXPECT_EQ(B->Width(), 10);
    EXPECT_EQ(B->Height(), 7);
    TTileFilter T(nullptr);
    T.NumCols = 0;
    T.Apply(B.get());
    EXPECT_EQ(T.NumCols, 1);
    EXPECT_EQ(B->Width(), 10);
  }
}

TEST_F(TeeFiltersTest, HostileSizesRaiseInvalidGraphic) {
  auto B = solid(4, 4, clRed);
  TResizeFilter R(nullptr);
  R.Width = R.Height = 100000;
  EXPECT_THROW(R.Apply(B.get()), EInvalidGraphic);
  auto M = solid(8, 8, clRed);
  TFilterItems Items(nullptr);
  for (int I = 0; I < 20; ++I) Items.Add(TMirrorFilter::StaticClass());
  EXPECT_THROW(Items.ApplyTo(M.get()), EInvalidGraphic);
}

TEST_F(TeeFiltersTest, ColorReplaceByLuminance) {
  TColorReplaceFilter F(nullptr);
  F.Method = cmLum;
  F.FromValue = 200;
  F.ToValue = 255;
  F.Color = clRed;
  auto White = solid(2, 2, clWhite), Black = solid(2, 2, clBlack);
  F.Apply(White.get());
  F.Apply(Black.get());
  EXPECT_EQ(White->Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(Black->Canvas()->Pixels(0, 0), clBlack);
  EXPECT_EQ(TeeRGBToHLS(255, 255, 255).L, 240);
  EXPECT_EQ(TeeRGBToHLS(0, 0, 0).L, 0);
}

TEST_F(TeeFiltersTest, HlsRoundTripsWithinTheScaleSteps) {
  std::mt19937 Gen(4);
  // a hue step moves a ramp channel by up to 6 of 255, a luminance step by about 1
  for (int I = 0; I < 500; ++I) {
    const Byte R = Byte(Gen()), G = Byte(Gen()), B = Byte(Gen());
    const THLS C = TeeRGBToHLS(R, G, B);
    Byte R2, G2, B2;
    TeeHLSToRGB(C.H, C.L, C.S, R2, G2, B2);
    EXPECT_NEAR(R2, R, 8);
    EXPECT_NEAR(G2, G, 8);
    EXPECT_NEAR(B2, B, 8);
  }
}

TEST_F(TeeFiltersTest, BlurStepsAndAmount) {
  const QImage In = randomImage(16, 16, 2);
  auto B = bitmapOf(In, pf32bit);
  TBlurFilter None(nullptr);
  None.Steps = 0;
  None.Apply(B.get());
  EXPECT_EQ(colours(*B), In);
  TBlurFilter Zero(nullptr);
  Zero.Amount = 0;
  Zero.Apply(B.get());
  QImage Expected = In.copy();
  oracle::convolve(Expected, {{1, 1, 1}, {1, 0, 1}, {1, 1, 1}});
  EXPECT_EQ(colours(*B), Expected);
  // two pixels wide: no interior column
  const QImage Narrow = randomImage(2, 10, 3);
  auto N = bitmapOf(Narrow, pf24bit);
  TTeeFilter::ApplyTo(TSharpenFilter::StaticClass(), N.get());
  EXPECT_EQ(colours(*N), Narrow);
}

TEST_F(TeeFiltersTest, ZeroWeightSumCountsAsOne) {
  const QImage In = randomImage(8, 8, 6);
  auto B = bitmapOf(In, pf24bit);
  TBlurFilter F(nullptr);
  F.Amount = -8;
  F.Apply(B.get());
  QImage Expected = In.copy();
  oracle::convolve(Expected, {{1, 1, 1}, {1, -8, 1}, {1, 1, 1}});
  EXPECT_EQ(colours(*B), Expected);
}

TEST_F(TeeFiltersTest, RegistrationIsInTableOrderAndOnce) {
  const std::vector<String>& Names = TeeFilterClassNames();
  ASSERT_EQ(Names.size(), 25u);
  EXPECT_EQ(Names.front(), "TInvertFilter");
  EXPECT_EQ(Names[10], "TBlurFilter");
  EXPECT_EQ(Names.back(), "TSepiaFilter");
  TeeRegisterFilterClasses({TInvertFilter::StaticClass()});
  EXPECT_EQ(TeeFilterClassNames().size(), 25u);
  EXPECT_EQ(GetClass("TZoomFilter"), TZoomFilter::StaticClass());
  EXPECT_EQ(TeeRotateGradientBitmap(), &TeeRotateGradientWithFilter);
}

TEST_F(TeeFiltersTest, GradientHookSkipsHugeBitmaps) {
  TTeeGradient G(nullptr);
  G.SetAngle(90);
  for (auto [W, H, Turned] : {std::tuple{5000, 4000, false}, {4000, 4000, true}}) {
    SCOPED_TRACE(W);
    TBitmap B;
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    TeeCalcScanLines(&B)[0][W - 1] = TRGB{255, 255, 255};
    TeeRotateGradientWithFilter(&G, &B);
    const TRGB P = TeeCalcScanLines(&B)[Turned ? H - 1 : 0][W - 1];
    EXPECT_EQ(P.Red, 255);
  }
}

TEST_F(TeeFiltersTest, DescriptionsComeFromTheMessageTable) {
  EXPECT_EQ(TSoftenFilter(nullptr).Description(), "Antialias");
  EXPECT_EQ(THueLumSatFilter(nullptr).Description(), "Hue,Lum,Sat");
  EXPECT_EQ(TColorReplaceFilter(nullptr).Description(), "Color Replacer");
  EXPECT_EQ(TBlurFilter(nullptr).Description(), "Blur");
}

// Logs what an editor asks for.
class TRecordingCreator : public IFormCreator {
public:
  QStringList Log;
  TScrollBar Scroll{nullptr};
  TNotifyEvent LastClick;
  TControl* AddCheckBox(const String& Prop, const String& Caption, TNotifyEvent OnClick) override {
    Log << "check " + Prop + " " + Caption;
    LastClick = OnClick;
    return nullptr;
  }
  TControl* AddColor(const String& Prop, const String& Caption) override {
    Log << "colour " + Prop + " " + Caption;
    return nullptr;
  }
  TControl* AddCombo(const String& Prop) override {
    Log << "combo " + Prop;
    return nullptr;
  }
  TControl* AddInteger(const String& Prop, const String& Caption, Integer Min, Integer Max) override {
    Log << QStringLiteral("integer %1 %2 %3..%4").arg(Prop, Caption).arg(Min).arg(Max);
    return nullptr;
  }
  TControl* AddScroll(const String& Prop, Integer Min, Integer Max) override {
    Log << QStringLiteral("scroll %1 %2..%3").arg(Prop).arg(Min).arg(Max);
    Scroll.SetParams(0, Min, Max);
    return &Scroll;
  }
};

TEST_F(TeeFiltersTest, EditorsAskForTheirControls) {
  TRecordingCreator C;
  TBrightnessFilter B(nullptr);
  B.CreateEditor(&C, {});
  EXPECT_EQ(C.Log, QStringList({"scroll Amount -100..100", "check Percent Percent"}));
  B.Percent = false;
  C.LastClick(nullptr);
  EXPECT_EQ(C.Scroll.Min(), -255);
  EXPECT_EQ(C.Scroll.Max(), 255);
  C.Log.clear();
  TRotateFilter R(nullptr);
  R.CreateEditor(&C, {});
  EXPECT_EQ(C.Log, QStringList({"scroll Angle 0..360", "colour BackColor Back", "check AutoSize Autosize"}));
  C.Log.clear();
  TCropFilter Crop(nullptr);
  Crop.CreateEditor(&C, {});
  EXPECT_EQ(C.Log, QStringList({"integer Width Width 0..10000", "integer Height Height 0..10000",
                                "integer Left Left 0..10000", "integer Top Top 0..10000", "check Smooth Smooth"}));
}

// --- the "FilterItems" stream ------------------------------------------------

QByteArray filterItemsOf(TFilterItems& Items) {
  TMemoryStream S;
  {
    TWriter W(&S);
    W.SetPropPath(QStringLiteral("Picture."));
    Items.WriteData(&W);
  }
  return QByteArray(static_cast<const char*>(S.Memory()), int(S.Size()));
}

void readFilterItems(TFilterItems& Items, const QByteArray& Bytes) {
  TMemoryStream S;
  S.WriteBuffer(Bytes.constData(), Bytes.size());
  S.SetPosition(0);
  TReader R(&S);
  Items.ReadData(&R);
}

TEST_F(TeeFiltersTest, FilterItemsGoldenBytes) {
  TFilterItems Items(nullptr);
  auto* Blur = static_cast<TBlurFilter*>(Items.Add(TBlurFilter::StaticClass()));
  Blur->Steps = 3;
  Items.Add(TInvertFilter::StaticClass())->SetEnabled(false);
  const QByteArray Expected = QByteArray("\x0e", 1) +
                              "\x01\x09ItemClass\x06\x0bTBlurFilter\x05Steps\x02\x03" + QByteArray(1, 0) +
                              "\x01\x09ItemClass\x06\x0dTInvertFilter\x07" "Enabled\x08" + QByteArray(2, 0);
  EXPECT_EQ(filterItemsOf(Items), Expected);
}

TEST_F(TeeFiltersTest, PictureStreamsItsFiltersOutAndBack) {
  TTeePicture Source, Target;
  Source.SetBitmap(solid(2, 2, clRed).get());
  auto* Blur = static_cast<TBlurFilter*>(Source.Filters()->Add(TBlurFilter::StaticClass()));
  Blur->Steps = 3;
  Source.Filters()->Add(TInvertFilter::StaticClass())->SetEnabled(false);
  Target.Filters()->Add(TSepiaFilter::StaticClass());
  StreamCopy(&Source, &Target);
  ASSERT_EQ(Target.Filters()->Count(), 2);
  auto* Back = dynamic_cast<TBlurFilter*>(Target.Filters()->Items(0));
  ASSERT_NE(Back, nullptr);
  EXPECT_EQ(Back->Steps, 3);
  EXPECT_EQ(Back->Amount, 1);
  EXPECT_FALSE(Target.Filters()->Items(1)->Enabled());
}

TEST_F(TeeFiltersTest, UnknownClassKeepsTheFiltersReadSoFar) {
  TFilterItems Source(nullptr);
  Source.Add(TInvertFilter::StaticClass());
  Source.Add(TSepiaFilter::StaticClass());
  QByteArray Bytes = filterItemsOf(Source);
  Bytes.replace("TSepiaFilter", "TSepiaFiltex");
  TFilterItems Target(nullptr);
  EXPECT_THROW(readFilterItems(Target, Bytes), EClassNotFound);
  ASSERT_EQ(Target.Count(), 1);
  EXPECT_NE(dynamic_cast<TInvertFilter*>(Target.Items(0)), nullptr);
}

TEST_F(TeeFiltersTest, TruncatedFilterItemsRaiseReadError) {
  TFilterItems Source(nullptr);
  static_cast<TRotateFilter*>(Source.Add(TRotateFilter::StaticClass()))->Angle = 30;
  Source.Add(TZoomFilter::StaticClass())->Region()->Left = 4;
  const QByteArray Bytes = filterItemsOf(Source);
  for (int Cut = 0; Cut < Bytes.size(); ++Cut) {
    SCOPED_TRACE(Cut);
    TFilterItems Target(nullptr);
    EXPECT_THROW(readFilterItems(Target, Bytes.left(Cut)), EReadError);
  }
}

// --- the image control -------------------------------------------------------

TEST_F(TeeFiltersTest, ImageFilteredCachesUntilThePictureOrFiltersChange) {
  TImageFiltered Image(nullptr);
  EXPECT_EQ(Image.Filtered(), nullptr);
  Image.Picture()->SetBitmap(solid(4, 4, clRed).get());
  Image.Filters()->Add(TInvertFilter::StaticClass());
  TBitmap* First = Image.Filtered();
  ASSERT_NE(First, nullptr);
  EXPECT_EQ(First->Canvas()->Pixels(0, 0), clAqua);
  EXPECT_EQ(Image.Filtered(), First);
  Image.Filters()->Items(0)->SetEnabled(false);
  Image.Filters()->Changed = true;
  EXPECT_EQ(Image.Filtered()->Canvas()->Pixels(0, 0), clRed);
  Image.Picture()->SetBitmap(solid(4, 4, clBlue).get());
  EXPECT_EQ(Image.Filtered()->Canvas()->Pixels(0, 0), clBlue);
}

}  // namespace
