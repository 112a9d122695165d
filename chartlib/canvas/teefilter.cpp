#include "chartlib/canvas/teefilter.h"

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
