#include "chartlib/canvas/teefilter.h"

#include "chartlib/canvas/chartmessages.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/pngimage.h"

#include <algorithm>
#include <memory>

// ---------------------------------------------------------------------------
// TFilterRegion

void TFilterRegion::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Left", &TFilterRegion::Left, &TFilterRegion::Left).Default(0);
  Props.Add("Top", &TFilterRegion::Top, &TFilterRegion::Top).Default(0);
  Props.Add("Width", &TFilterRegion::Width, &TFilterRegion::Width).Default(0);
  Props.Add("Height", &TFilterRegion::Height, &TFilterRegion::Height).Default(0);
}

void TFilterRegion::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TFilterRegion*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  Left = S->Left;
  Top = S->Top;
  Width = S->Width;
  Height = S->Height;
}

void TFilterRegion::SetRectangle(const TRect& Value) {
  Left = Value.Left;
  Top = Value.Top;
  Width = Value.Right - Value.Left;
  Height = Value.Bottom - Value.Top;
}

// ---------------------------------------------------------------------------
// TTeeFilter

TTeeFilter::TTeeFilter(TCollection* Collection) : TCollectionItem(Collection) {}

TTeeFilter::~TTeeFilter() {
  if (FRegion) FRegion->Free();
}

void TTeeFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Enabled", &TTeeFilter::Enabled, &TTeeFilter::SetEnabled).Default(true);
  Props.Add("Region", &TTeeFilter::Region, &TTeeFilter::SetRegion).Stored(&TTeeFilter::HasRegion);
}

void TTeeFilter::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TTeeFilter*>(Source);
  if (!S) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetEnabled(S->Enabled());
  SetRegion(S->Region());
}

void TTeeFilter::Apply(TBitmap* Bitmap, const TRect&) {
  if (ReuseLines) return;
  if (RGBA)
    LinesRGBA = TeeCalcScanLinesRGBA(Bitmap);
  else
    Lines = TeeCalcScanLines(Bitmap);
}

void TTeeFilter::CreateEditor(IFormCreator*, TNotifyEvent AChanged) { FChanged = AChanged; }

String TTeeFilter::Description() { return ClassName(); }

void TTeeFilter::Apply(TBitmap* Bitmap) {
  const Integer W = Bitmap->Width(), H = Bitmap->Height();
  TRect R{0, 0, W - 1, H - 1};
  if (FRegion) {
    if (FRegion->Left >= W || FRegion->Top >= H) return;
    R.Left = std::max(FRegion->Left, 0);
    R.Top = std::max(FRegion->Top, 0);
    if (FRegion->Width != 0) R.Right = std::min(W - 1, FRegion->Left + FRegion->Width);
    if (FRegion->Height != 0) R.Bottom = std::min(H - 1, FRegion->Top + FRegion->Height);
  }
  Apply(Bitmap, R);
}

void TTeeFilter::ApplyTo(TClass FilterClass, TBitmap* Bitmap) {
  std::unique_ptr<TTeeFilter> Filter(static_cast<TTeeFilter*>(FilterClass->Create(static_cast<TCollection*>(nullptr))));
  Filter->Apply(Bitmap);
}

void TTeeFilter::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (FChanged) FChanged(this);
}

TFilterRegion* TTeeFilter::Region() {
  if (!FRegion) FRegion = new TFilterRegion;
  return FRegion;
}

void TTeeFilter::SetRegion(TFilterRegion* Value) {
  if (!Value)
    FreeAndNil(FRegion);
  else
    Region()->Assign(Value);
}

// ---------------------------------------------------------------------------
// TFilterItems

TFilterItems::TFilterItems(TPersistent* AOwner) : TOwnedCollection(AOwner, TTeeFilter::StaticClass()) {}

void TFilterItems::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TFilterItems*>(Source);
  if (!S) {
    TOwnedCollection::Assign(Source);
    return;
  }
  Clear();
  BeginUpdate();
  for (int I = 0; I < S->Count(); ++I) Add(S->Items(I)->ClassType())->Assign(S->Items(I));
  EndUpdate();
}

TTeeFilter* TFilterItems::Add(TClass FilterClass) {
  return static_cast<TTeeFilter*>(FilterClass->Create(static_cast<TCollection*>(this)));
}

void TFilterItems::ApplyTo(TBitmap* ABitmap) {
  for (int I = 0; I < Count(); ++I)
    if (Items(I)->Enabled()) Items(I)->Apply(ABitmap);
}

void TFilterItems::WriteData(TWriter* Writer) {
  const String SavedPath = Writer->PropPath();
  const TScopeExit Restore([&] { Writer->SetPropPath(SavedPath); });
  Writer->SetPropPath({});
  Writer->WriteValue(vaCollection);
  for (int I = 0; I < Count(); ++I) {
    Writer->WriteListBegin();
    Writer->WriteStr(QStringLiteral("ItemClass"));
    Writer->WriteString(Items(I)->ClassName());
    Writer->WriteProperties(Items(I));
    Writer->WriteListEnd();
  }
  Writer->WriteListEnd();
}

void TFilterItems::ReadData(TReader* Reader) {
  BeginUpdate();
  const TScopeExit End([&] { EndUpdate(); });
  Clear();
  Reader->CheckValue(vaCollection);
  while (!Reader->EndOfList()) {
    const TValueType Next = Reader->NextValue();
    if (Next == vaInt8 || Next == vaInt16 || Next == vaInt32) Reader->ReadInteger();
    Reader->ReadListBegin();
    Reader->ReadStr();  // "ItemClass"
    const String Name = Reader->ReadString();
    const TClass FilterClass = GetClass(Name);
    if (!FilterClass || !FilterClass->InheritsFrom(TTeeFilter::StaticClass()))
      throw EClassNotFound(QStringLiteral("Class %1 not found").arg(Name));
    TTeeFilter* Filter = Add(FilterClass);
    while (!Reader->EndOfList()) Reader->ReadProperty(Filter);
    Reader->ReadListEnd();
  }
  Reader->ReadListEnd();
}

void TFilterItems::Update(TCollectionItem* Item) {
  TOwnedCollection::Update(Item);
  Changed = true;
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TTeePicture

TTeePicture::~TTeePicture() {
  if (IBitmap) IBitmap->Free();
  if (FFilters) FFilters->Free();
}

void TTeePicture::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Angle", &TTeePicture::Angle, &TTeePicture::SetAngle);
  // streamed as the picture's own "FilterItems" data
  Props.Add("Filters", &TTeePicture::Filters, &TTeePicture::SetFilters).Stored(false);
}

void TTeePicture::DefineProperties(TFiler* Filer) {
  TPicture::DefineProperties(Filer);
  Filer->DefineProperty(QStringLiteral("FilterItems"), TReaderProc(this, &TTeePicture::readFilters),
                        TWriterProc(this, &TTeePicture::writeFilters), FFilters && FFilters->Count() > 0);
}

void TTeePicture::readFilters(TReader* Reader) { Filters()->ReadData(Reader); }
void TTeePicture::writeFilters(TWriter* Writer) { Filters()->WriteData(Writer); }

void TTeePicture::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TTeePicture*>(Source)) SetFilters(S->FFilters);
  TPicture::Assign(Source);
}

TGraphic* TTeePicture::Filtered() {
  const bool HasFilter = FFilters && FFilters->Count() > 0;
  if (FAngle == 0 && (!HasFilter || !Graphic())) return Graphic();
  if (!IBitmap) IBitmap = new TBitmap;
  AssignGraphic(IBitmap, Graphic());
  if (FFilters) FFilters->ApplyTo(IBitmap);
  return IBitmap;
}

void TTeePicture::Repaint() { Changed(this); }

void TTeePicture::AssignGraphic(TBitmap* ABitmap, TGraphic* AGraphic) {
  auto* Icon = dynamic_cast<TIcon*>(AGraphic);
  if (!Icon) {
    ABitmap->Assign(AGraphic);
    return;
  }
  ABitmap->SetSize(Icon->Width(), Icon->Height());
  ABitmap->Canvas()->Draw(0, 0, Icon);
}

void TTeePicture::SetAngle(float Value) {
  if (FAngle == Value) return;
  FAngle = Value;
  Repaint();
}

TFilterItems* TTeePicture::Filters() {
  if (!FFilters) FFilters = new TFilterItems(this);
  return FFilters;
}

void TTeePicture::SetFilters(TFilterItems* Value) {
  if (!Value)
    FreeAndNil(FFilters);
  else
    Filters()->Assign(Value);
}

// ---------------------------------------------------------------------------
// TConvolveFilter

namespace {

Byte clampByte(Integer V) { return Byte(std::clamp(V, 0, 255)); }

}  // namespace

template <class TPixel>
void TConvolveFilter::convolve(const std::vector<TPixel*>& Rows, const TRect& R) {
  const Integer BW = R.Right - R.Left;
  bool AllOnes = true;
  float Sum = 0;
  for (const auto& Row : Weights)
    for (float W : Row) {
      AllOnes = AllOnes && W == 1.0f;
      Sum += W;
    }
  // nine weights summing to 0 would divide by zero
  const float F = float(1.0 / double(Sum == 0 ? 1.0f : Sum));
  constexpr int Channels = 3;
  for (Integer Y = R.Top + 1; Y < R.Bottom; ++Y) {
    const Byte* Above = reinterpret_cast<const Byte*>(Rows[Y - 1]);
    const Byte* Own = reinterpret_cast<const Byte*>(Rows[Y]);
    const Byte* Below = reinterpret_cast<const Byte*>(Rows[Y + 1]);
    Byte* Out = reinterpret_cast<Byte*>(&Buffer[size_t(Y - R.Top) * BW]);
    for (Integer X = R.Left + 1; X < R.Right; ++X) {
      Byte* O = Out + (X - R.Left) * sizeof(TRGBA);
      const size_t L = (X - 1) * sizeof(TPixel), C = X * sizeof(TPixel), Rt = (X + 1) * sizeof(TPixel);
      for (int K = 0; K < Channels; ++K) {
        if (AllOnes) {
          const Integer S = Above[L + K] + Above[C + K] + Above[Rt + K] + Own[L + K] + Own[C + K] + Own[Rt + K] +
                            Below[L + K] + Below[C + K] + Below[Rt + K];
          O[K] = Byte(S / 9);
          continue;
        }
        const float S = Weights[0][0] * Above[L + K] + Weights[0][1] * Above[C + K] + Weights[0][2] * Above[Rt + K] +
                        Weights[1][0] * Own[L + K] + Weights[1][1] * Own[C + K] + Weights[1][2] * Own[Rt + K] +
                        Weights[2][0] * Below[L + K] + Weights[2][1] * Below[C + K] + Weights[2][2] * Below[Rt + K];
        O[K] = clampByte(Integer(std::nearbyint(S * F)));
      }
    }
  }
  // the colour bytes only: a 32-bit pixel keeps its own alpha
  for (Integer Y = R.Top + 1; Y < R.Bottom; ++Y) {
    const TRGBA* In = &Buffer[size_t(Y - R.Top) * BW];
    Byte* Out = reinterpret_cast<Byte*>(Rows[Y]);
    for (Integer X = 1; X < BW; ++X) {
      Byte* P = Out + (R.Left + X) * sizeof(TPixel);
      const Byte* B = reinterpret_cast<const Byte*>(&In[X]);
      P[0] = B[0];
      P[1] = B[1];
      P[2] = B[2];
    }
  }
}

void TConvolveFilter::Apply(TBitmap* Bitmap, const TRect& R) {
  TTeeFilter::Apply(Bitmap, R);
  if (RGBA ? LinesRGBA.empty() : Lines.empty()) return;
  const TRect Work{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Bitmap->Width() - 1),
                   std::min(R.Bottom, Bitmap->Height() - 1)};
  if (Work.Right - Work.Left < 2 || Work.Bottom - Work.Top < 2) return;
  if (!KeepBuffer) Buffer.assign(size_t(Work.Right - Work.Left) * (Work.Bottom - Work.Top), TRGBA{});
  if (RGBA)
    convolve(LinesRGBA, Work);
  else
    convolve(Lines, Work);
  if (!KeepBuffer) Buffer = {};
}

// ---------------------------------------------------------------------------
// TBlurFilter

void TBlurFilter::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Amount", &TBlurFilter::Amount, &TBlurFilter::Amount).Default(1);
  Props.Add("Steps", &TBlurFilter::Steps, &TBlurFilter::Steps).Default(1);
}

void TBlurFilter::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TBlurFilter*>(Source)) {
    Amount = S->Amount;
    Steps = S->Steps;
  }
  TConvolveFilter::Assign(Source);
}

void TBlurFilter::Apply(TBitmap* Bitmap, const TRect& R) {
  for (auto& Row : Weights) std::fill(std::begin(Row), std::end(Row), 1.0f);
  Weights[1][1] = float(Amount);
  RGBA = TeeBitsPerPixel(Bitmap->Canvas()->Handle()) == 32;
  TTeeFilter::Apply(Bitmap, R);
  ReuseLines = true;
  KeepBuffer = true;
  const TScopeExit Done([&] {
    Buffer = {};
    ReuseLines = false;
    KeepBuffer = false;
  });
  const TRect Work{std::max(R.Left, 0), std::max(R.Top, 0), std::min(R.Right, Bitmap->Width() - 1),
                   std::min(R.Bottom, Bitmap->Height() - 1)};
  Buffer.assign(size_t(std::max(0, Work.Right - Work.Left)) * std::max(0, Work.Bottom - Work.Top), TRGBA{});
  for (Integer I = 0; I < Steps; ++I) TConvolveFilter::Apply(Bitmap, R);
}

void TBlurFilter::CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) {
  TConvolveFilter::CreateEditor(Creator, AChanged);
  Creator->AddScroll(QStringLiteral("Steps"), 1, 20);
  Creator->AddScroll(QStringLiteral("Amount"), 0, 50);
}

String TBlurFilter::Description() { return ChartMessage(cmBlur); }
