#include "gridlib/editors/editbuttoncontrol.h"

#include "gridlib/editors/editbuttons.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/timers.h"

#include <algorithm>

using namespace gdi;

TDrawButtonControlStyleEh EditButtonStyleToDrawStyleEh(TEditButtonStyleEh Style) {
  switch (Style) {
    case ebsDropDownEh: return bcsDropDownEh;
    case ebsEllipsisEh: return bcsEllipsisEh;
    case ebsGlyphEh: return bcsDropDownEh;
    case ebsUpDownEh: return bcsUpDownEh;
    case ebsPlusEh: return bcsPlusEh;
    case ebsMinusEh: return bcsMinusEh;
    case ebsAltDropDownEh: return bcsAltDropDownEh;
    case ebsAltUpDownEh: return bcsAltUpDownEh;
  }
  return bcsDropDownEh;
}

// ---------------------------------------------------------------------------
// TEditButtonControlEh

const TMessageMap& TEditButtonControlEh::MessageMap() {
  static const TMessageMap Map(TSpeedButtonEh::MessageMap(), {
      {CM_MOUSEENTER, &TEditButtonControlEh::CMMouseEnter},
      {CM_MOUSELEAVE, &TEditButtonControlEh::CMMouseLeave},
  });
  return Map;
}

TEditButtonControlEh::TEditButtonControlEh(TComponent* AOwner)
    : TSpeedButtonEh(AOwner), FInternalEditButtonImages(new TButtonImagesEh) {
  SetParentColor(true);
}

TEditButtonControlEh::~TEditButtonControlEh() { delete FInternalEditButtonImages; }

void TEditButtonControlEh::SetState(TButtonStateEh NewState, bool IsActive, Integer ButtonNum) {
  if (State() == NewState && FActive == IsActive && FButtonNum == ButtonNum) return;
  TSpeedButtonEh::SetState(NewState);
  FActive = IsActive;
  FButtonNum = ButtonNum;
  Repaint();
}

void TEditButtonControlEh::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  Invalidate();
}

void TEditButtonControlEh::SetAlwaysDown(bool Value) {
  FAlwaysDown = Value;
  FButtonNum = Value ? ButtonPressedUpperEh : ButtonPressedNoneEh;
}

void TEditButtonControlEh::SetStyle(TEditButtonStyleEh Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TEditButtonControlEh::SetDrawBackTime(TEditButtonDrawBackTimeEh Value) {
  if (FDrawBackTime == Value) return;
  FDrawBackTime = Value;
  Invalidate();
}

void TEditButtonControlEh::SetExternalEditButtonImages(TEditButtonImagesEh* Value) {
  FExternalEditButtonImages = Value;
  Invalidate();
}

TButtonImagesEh* TEditButtonControlEh::GetButtonImages() {
  if (FExternalEditButtonImages) return FExternalEditButtonImages;
  return FInternalEditButtonImages;
}

bool TEditButtonControlEh::IsButtonActive() { return IsStyleServicesEnabledEh() ? FMouseInControl : FActive; }

void TEditButtonControlEh::EditButtonDown(Integer ButtonNum, bool& AutoRepeat) {
  bool Handled = false;
  if (OnDown) OnDown(this, /*TopButton=*/ButtonNum == ButtonPressedUpperEh, AutoRepeat, Handled);
}

bool TEditButtonControlEh::isUpDown() const { return FStyle == ebsUpDownEh || FStyle == ebsAltUpDownEh; }

void TEditButtonControlEh::updateDownButtonNum(int Y) {
  Integer Num = ButtonPressedNoneEh;
  if (State() == bsPressedEh) {
    Num = ButtonPressedUpperEh;
    if (isUpDown()) {
      const Integer Half = Height() / 2;
      Num = Y < Half ? ButtonPressedUpperEh : Y > Height() - Half ? ButtonPressedLowerEh : ButtonPressedNoneEh;
    }
  }
  if (Num == FButtonNum) return;
  FButtonNum = Num;
  Invalidate();
}

void TEditButtonControlEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button != mbLeft) {
    TSpeedButtonEh::MouseDown(Button, Shift, X, Y);
    return;
  }
  bool AutoRepeat = isUpDown();
  TSpeedButtonEh::MouseDown(Button, Shift, X, Y);
  updateDownButtonNum(Y);
  EditButtonDown(FButtonNum, AutoRepeat);
  if (AutoRepeat) startTimer(InitRepeatPauseEh);
}

void TEditButtonControlEh::MouseMove(TShiftState Shift, int X, int Y) {
  TSpeedButtonEh::MouseMove(Shift, X, Y);
  if (!MouseCapture() || !isUpDown() || State() != bsPressedEh) return;
  const Integer Half = Height() / 2;
  const bool LeftLower = FButtonNum == ButtonPressedLowerEh && Y < Half;
  const bool LeftUpper = FButtonNum == ButtonPressedUpperEh && Y > Height() - Half;
  if (!LeftLower && !LeftUpper) return;
  TSpeedButtonEh::SetState(bsNormalEh);
  Invalidate();
}

void TEditButtonControlEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FNoDoClick = isUpDown() && State() != bsPressedEh;
  TSpeedButtonEh::MouseUp(Button, Shift, X, Y);
  FNoDoClick = false;
  updateDownButtonNum(Y);
  if (FTimer) FTimer->SetEnabled(false);
}

void TEditButtonControlEh::Click() {
  if (!FNoDoClick) TSpeedButtonEh::Click();
}

void TEditButtonControlEh::startTimer(Cardinal Interval) {
  if (!FTimer) {
    FTimer = new TTimer(this);
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer(TNotifyEvent(this, &TEditButtonControlEh::timerTick));
  }
  if (FTimer->Enabled() && FTimer->Interval() == Interval) return;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(Interval);
  FTimer->SetEnabled(true);
}

void TEditButtonControlEh::timerTick(TObject*) {
  bool AutoRepeat = isUpDown();
  if (State() != bsPressedEh) return;
  if (FTimer->Interval() == InitRepeatPauseEh) FTimer->SetInterval(RepeatIntervalEh);
  EditButtonDown(FButtonNum, AutoRepeat);
  if (!AutoRepeat) FTimer->SetEnabled(false);
}

void TEditButtonControlEh::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TSpeedButtonEh>(Message);
  if (Message.Control) return;
  FMouseInControl = true;
  Invalidate();
}

void TEditButtonControlEh::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TSpeedButtonEh>(Message);
  if (Message.Control) return;
  FMouseInControl = false;
  Invalidate();
}

void TEditButtonControlEh::Paint() {
  if (OnPaint)
    OnPaint(this);
  else
    DefaultPaint();
}

void TEditButtonControlEh::DefaultPaint() {
  Integer Num = FButtonNum;
  const bool Active = IsButtonActive();
  const bool Pressed = State() == bsPressedEh;
  bool DrawBack = FDrawBackTime == edbtAlwaysEh || (FDrawBackTime == edbtWhenHotEh && (FMouseInControl || Pressed));
  if (FStyle == ebsGlyphEh && !Glyph()->Empty()) DrawBack = true;
  if (!Pressed) Num = ButtonPressedNoneEh;
  if (FStyle == ebsGlyphEh) {
    paintGlyphStyle(DrawBack, Num, Active);
    return;
  }
  TCanvas* C = Canvas();
  C->Brush()->SetColor(StyleServices()->GetSystemColor(Color()));
  C->FillRect(Rect(0, 0, Width(), Height()));
  PaintButtonControlEh(C, Rect(0, 0, Width(), Height()), clWindow, EditButtonStyleToDrawStyleEh(FStyle), Num, Flat(),
                       Active, Enabled(), cbUnchecked, 1.0, DrawBack);
}

void TEditButtonControlEh::paintGlyphStyle(bool DrawBack, Integer ButtonNum, bool Active) {
  TCanvas* C = Canvas();
  const HDC DC = C->Handle();
  const bool Classic = !IsStyleServicesEnabledEh();
  const bool FlatFrame = Classic && Flat();
  HRGN SavedClip = nullptr;
  if (FlatFrame) {
    SavedClip = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(DC, SavedClip) != 1) {
      DeleteObject(SavedClip);
      SavedClip = nullptr;
    }
    IntersectClipRect(DC, 1, 1, Width() - 1, Height() - 1);
  }
  PerformEraseBackground(this, DC);
  const TRect Client = ClientRect();
  if (DrawBack) PaintButtonFaceEh(C, Client, clNone, Enabled(), Active, Flat(), ButtonNum > 0);
  if (GetButtonImages()->NormalImages()) {
    DrawImages(Rect(0, 0, Width(), Height()));
  } else {
    const TThemedElementDetails Details = StyleServices()->GetElementDetails(tbPushButtonNormal);
    PaintForeground(Client, TPoint{0, 0}, Details);
  }
  if (!FlatFrame) return;
  SelectClipRgn(DC, SavedClip);
  if (SavedClip) DeleteObject(SavedClip);
  TRect R = Rect(0, 0, Width(), Height());
  if (Active) {
    DrawEdge(DC, &R, State() == bsPressedEh ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else {
    C->Brush()->SetColor(Parent() ? Parent()->Color() : Color());
    C->FrameRect(R);
  }
}

void TEditButtonControlEh::DrawImages(const TRect& Rect) {
  TButtonImagesEh* Images = GetButtonImages();
  TCustomImageList* List = Images->GetStateImages(State());
  const Integer Index = Images->GetStateIndex(State());
  if (!List || Index < 0) return;
  TRect R = Bounds(Rect.Left + (Rect.Width() - List->Width()) / 2, Rect.Top + (Rect.Height() - List->Height()) / 2,
                   List->Width(), List->Height());
  if (FButtonNum > 0) OffsetRect(R, 1, 1);
  List->Draw(Canvas(), R.Left, R.Top, Index, Enabled());
}

// ---------------------------------------------------------------------------
// TButtonsBitmapCache

TButtonBitmapInfoBitmapEh::TButtonBitmapInfoBitmapEh(const TButtonBitmapInfoEh& Key)
    : BitmapInfo(Key), Bitmap(new TBitmap) {}

TButtonBitmapInfoBitmapEh::~TButtonBitmapInfoBitmapEh() { delete Bitmap; }

TButtonsBitmapCache::~TButtonsBitmapCache() { Clear(); }

TBitmap* TButtonsBitmapCache::GetButtonBitmap(TButtonBitmapInfoEh Key) {
  Key.Size.cx = std::max(Key.Size.cx, 0);
  Key.Size.cy = std::max(Key.Size.cy, 0);
  for (Integer I = 0; I < Count(); ++I)
    if (Get(I)->BitmapInfo == Key) return Get(I)->Bitmap;
  auto* Item = new TButtonBitmapInfoBitmapEh(Key);
  Add(Item);
  TBitmap* Bitmap = Item->Bitmap;
  Bitmap->SetSize(Key.Size.cx, Key.Size.cy);
  const TRect R = Rect(0, 0, Key.Size.cx, Key.Size.cy);
  if (Key.BitmapType == bcsCheckboxEh)
    DrawCheckBoxEh(Bitmap->Canvas()->Handle(), R, Key.CheckState, Key.Enabled, Key.Flat, Key.Pressed, Key.Active);
  else
    PaintButtonStyleEh(Bitmap->Canvas(), Key.BitmapType, R, Key.Enabled, Key.Flat, Key.Active, Key.Pressed,
                       Key.DownDirect, Key.DrawBack);
  return Bitmap;
}

void TButtonsBitmapCache::Clear() {
  for (Integer I = 0; I < Count(); ++I) delete Get(I);
  TObjectListEh::Clear();
}
