#include "gridlib/editors/editimage.h"

#include "gridlib/base/colors.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/dbedit.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/bidialign.h"

#include <algorithm>

using namespace gdi;

namespace {

// Room the image keeps beside it: 2 pixels each side.
constexpr Integer ImageFrameWidth = 4;
constexpr TColor PlaceholderColor = clSilver;

}  // namespace

// ---------------------------------------------------------------------------
// TEditImageEh

TEditImageEh::TEditImageEh(TWinControl* EditControl) : FEditControl(EditControl) {}

void TEditImageEh::DescribeProperties(TPropertyTable& Props) {
  using I = TEditImageEh;
  Props.Add("ImageIndex", &I::ImageIndex, &I::SetImageIndex).Default(-1);
  Props.Add("Images", &I::Images, &I::SetImages);
  Props.Add("UseImageHeight", &I::UseImageHeight, &I::SetUseImageHeight).Default(true);
  Props.Add("Visible", &I::Visible, &I::SetVisible).Default(false);
  Props.Add("Width", &I::Width, &I::SetWidth).Default(0);
}

void TEditImageEh::Assign(TPersistent* Source) {
  auto* From = dynamic_cast<TEditImageEh*>(Source);
  if (!From) {
    TPersistent::Assign(Source);
    return;
  }
  SetImages(From->Images());
  SetImageIndex(From->ImageIndex());
  SetVisible(From->Visible());
  SetWidth(From->Width());
}

void TEditImageEh::changedWidth() {
  if (FEditControl) FEditControl->Perform(CM_EDITIMAGECHANGEDEH, 0, 0);
}

void TEditImageEh::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (FEditControl) FEditControl->Invalidate();
}

void TEditImageEh::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  FImages = Value;
  if (FImages && FEditControl) FImages->FreeNotification(FEditControl);
  changedWidth();
}

void TEditImageEh::SetUseImageHeight(bool Value) {
  if (FUseImageHeight == Value) return;
  FUseImageHeight = Value;
  changedWidth();
}

void TEditImageEh::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  changedWidth();
}

void TEditImageEh::SetWidth(Integer Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  changedWidth();
}

bool TEditImageEh::Showing() const { return FVisible && FImages && FImageIndex >= 0; }

Integer TEditImageEh::DrawWidth() const {
  if (!FVisible || !FImages) return 0;
  return (FWidth > 0 ? FWidth : FImages->Width()) + ImageFrameWidth;
}

// ---------------------------------------------------------------------------
// TCustomControlEmptyDataInfoEh

TCustomControlEmptyDataInfoEh::TCustomControlEmptyDataInfoEh(TWinControl* Control)
    : FFont(new TFont), FControl(Control) {}

TCustomControlEmptyDataInfoEh::~TCustomControlEmptyDataInfoEh() { delete FFont; }

void TCustomControlEmptyDataInfoEh::AfterConstruction() {
  TPersistent::AfterConstruction();
  if (TFont* Default = DefaultFont()) FFont->Assign(Default);
  FFont->SetColor(PlaceholderColor);
  TFontStyles Style = FFont->Style();
  Style.Include(fsItalic);
  FFont->SetStyle(Style);
  FFont->OnChange = TNotifyEvent(this, &TCustomControlEmptyDataInfoEh::fontChanged);
  FAlignment = DefaultAlignment();
}

void TCustomControlEmptyDataInfoEh::repaintControl() {
  if (FControl) FControl->Invalidate();
}

// The user's own font: the control's font changes pass it by from now on.
void TCustomControlEmptyDataInfoEh::fontChanged(TObject*) {
  FParentFont = false;
  repaintControl();
}

TAlignment TCustomControlEmptyDataInfoEh::Alignment() {
  return FAlignmentIsStored ? FAlignment : DefaultAlignment();
}

void TCustomControlEmptyDataInfoEh::SetAlignment(TAlignment Value) {
  FAlignmentIsStored = true;
  if (FAlignment == Value) return;
  FAlignment = Value;
  repaintControl();
}

void TCustomControlEmptyDataInfoEh::SetAlignmentIsStored(bool Value) {
  if (FAlignmentIsStored == Value) return;
  if (Value) FAlignment = DefaultAlignment();
  FAlignmentIsStored = Value;
  repaintControl();
}

void TCustomControlEmptyDataInfoEh::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  repaintControl();
}

void TCustomControlEmptyDataInfoEh::SetFont(TFont* Value) { FFont->Assign(Value); }

void TCustomControlEmptyDataInfoEh::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  RefreshDefaultFont();
  repaintControl();
}

void TCustomControlEmptyDataInfoEh::SetText(const String& Value) {
  if (FText == Value) return;
  FText = Value;
  repaintControl();
}

bool TCustomControlEmptyDataInfoEh::Showing() { return (!FText.isEmpty() || FColor != clDefault) && IsControlEmpty(); }

void TCustomControlEmptyDataInfoEh::RefreshDefaultFont() {
  TFont* Default = DefaultFont();
  if (!FParentFont || !Default) return;
  const TNotifyEvent Saved = FFont->OnChange;
  FFont->OnChange = TNotifyEvent();
  const TScopeExit Restore([this, Saved] { FFont->OnChange = Saved; });
  FFont->SetSize(Default->Size());
  FFont->SetName(Default->Name());
  FFont->SetCharset(Default->Charset());
}

TColor TCustomControlEmptyDataInfoEh::ActualColor() { return FColor == clDefault ? DefaultColor() : FColor; }

// ---------------------------------------------------------------------------
// TControlEmptyDataInfoEh

TControlEmptyDataInfoEh::TControlEmptyDataInfoEh(TCustomDBEditEh* Edit) : TCustomControlEmptyDataInfoEh(Edit) {}

void TControlEmptyDataInfoEh::DescribeProperties(TPropertyTable& Props) {
  using P = TCustomControlEmptyDataInfoEh;
  Props.Add<P>("Color", &P::Color, &P::SetColor).Default(clDefault);
  Props.Add<P>("Text", &P::Text, &P::SetText);
  Props.Add<P>("Font", &P::Font, &P::SetFont).Stored(&P::IsFontStored);
  Props.Add<P>("ParentFont", &P::ParentFont, &P::SetParentFont).Default(true);
  Props.Add<P>("Alignment", &P::Alignment, &P::SetAlignment).NoDefault().Stored(&P::AlignmentIsStored);
  Props.Add<P>("AlignmentIsStored", &P::AlignmentIsStored, &P::SetAlignmentIsStored).Default(false);
}

TCustomDBEditEh* TControlEmptyDataInfoEh::EditControl() const { return static_cast<TCustomDBEditEh*>(Control()); }

TAlignment TControlEmptyDataInfoEh::DefaultAlignment() { return EditControl()->Alignment(); }
TFont* TControlEmptyDataInfoEh::DefaultFont() { return EditControl()->Font(); }
bool TControlEmptyDataInfoEh::IsControlEmpty() { return EditControl()->IsEmpty(); }

void TControlEmptyDataInfoEh::PaintEmptyDataInfo() {
  TCustomDBEditEh* Edit = EditControl();
  TCanvas* Canvas = Edit->GetCanvas();
  Canvas->SetFont(Font());
  TRect R = Edit->ClientRect();
  R.Left += Edit->ImageWidth();
  R.Right -= Edit->ButtonsBox() ? Edit->ButtonsBox()->FButtonsWidth : 0;
  SelectClipRgn(Canvas->Handle(), nullptr);
  const TPoint Margins = Edit->GetTextMargins();
  TAlignment Align = Alignment();
  if (Edit->UseRightToLeftAlignment()) ChangeBiDiModeAlignment(Align);
  const Integer TextWidth = Canvas->TextWidth(Text());
  Integer X = Margins.X + Edit->ImageWidth();
  if (Align == taRightJustify)
    X = R.Right - TextWidth - Margins.X;
  else if (Align == taCenter)
    X = (R.Left + R.Right - TextWidth) / 2;
  const TColor Back = Color() == clDefault ? Edit->GetBackColor() : Color();
  Canvas->Brush()->SetColor(GetStyledSystemColorEh(Back));
  // Over the edit's own background the text goes on clear, so the inner
  // edit's caret painted beneath stays; a colour of its own fills.
  if (Color() == clDefault) Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextRect(R, X, Margins.Y, Text());
  Canvas->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------------------
// TToolTipsWindow

// The window paints in its own font, so the data font goes there as well as
// onto the canvas the text is measured on.
TRect TToolTipsWindow::CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) {
  if (auto* DataFont = static_cast<TFont*>(AData)) {
    Font()->Assign(DataFont);
    Canvas()->SetFont(DataFont);
  }
  return THintWindow::CalcHintRect(MaxWidth, AHint, AData);
}
