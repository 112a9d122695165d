// The painted, clickable control of one edit button (TEditButtonControlEh)
// and the shared cache of drawn button faces (TButtonsBitmapCache).
//
// Pressed part: 0 none, 1 the button (or an up-down button's upper half),
// 2 the lower half.  An up-down button of height H has its upper half at
// Y < H div 2, its lower half at Y > H - H div 2 and a dead middle between
// (two rows for an odd height, one for an even one).
//
// A press fires OnDown at once; an up-down style repeats it after 400 ms and
// then every 100 ms until the release or a handler that clears AutoRepeat.
// The timer keeps ticking while the button is not pressed (the look was
// released by moving into the other half), firing nothing.
//
// The cache is filled only on request: no painter reads it, so button faces
// are drawn directly.  It lives in the base library's slot, which frees it.
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/painters.h"
#include "gridlib/editors/editbuttontypes.h"
#include "gridlib/editors/speedbutton.h"

class TEditButtonImagesEh;
class TTimer;

class TEditButtonControlEh : public TSpeedButtonEh {
  RTL_CLASS(TEditButtonControlEh, TSpeedButtonEh)
  UI_MESSAGE_MAP
public:
  explicit TEditButtonControlEh(TComponent* AOwner);
  ~TEditButtonControlEh() override;

  // Sets the state, the active look and the pressed part; repaints unless
  // all three are unchanged.
  void SetState(TButtonStateEh NewState, bool IsActive, Integer ButtonNum);
  void SetWidthNoNotify(Integer AWidth) { SetWidth(AWidth); }

  // properties
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  // Marks the button as holding an open drop-down: part 1 when True, 0 when
  // False, without repainting.
  bool AlwaysDown() const { return FAlwaysDown; }
  void SetAlwaysDown(bool Value);
  TEditButtonStyleEh Style() const { return FStyle; }
  void SetStyle(TEditButtonStyleEh Value);
  TEditButtonDrawBackTimeEh DrawBackTime() const { return FDrawBackTime; }
  void SetDrawBackTime(TEditButtonDrawBackTimeEh Value);
  Integer ButtonNum() const { return FButtonNum; }
  // The definition's images (not owned); nullptr: the internal ones.
  TEditButtonImagesEh* ExternalEditButtonImages() const { return FExternalEditButtonImages; }
  void SetExternalEditButtonImages(TEditButtonImagesEh* Value);

  // events
  TEditButtonDownEventEh OnDown;
  TNotifyEvent OnPaint;

  // introduced virtuals
  virtual bool IsButtonActive();
  virtual void DrawImages(const TRect& Rect);
  virtual void EditButtonDown(Integer ButtonNum, bool& AutoRepeat);

  // reimplemented
  TButtonImagesEh* GetButtonImages() override;
  void DefaultPaint() override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Click() override;

  // message handlers
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);

private:
  bool isUpDown() const;
  void updateDownButtonNum(int Y);
  void startTimer(Cardinal Interval);
  void timerTick(TObject* Sender);
  void paintGlyphStyle(bool DrawBack, Integer ButtonNum, bool Active);

  bool FActive = false;
  bool FAlwaysDown = false;
  Integer FButtonNum = ButtonPressedNoneEh;
  bool FNoDoClick = false;
  TEditButtonStyleEh FStyle = ebsDropDownEh;
  TTimer* FTimer = nullptr;
  TButtonImagesEh* FInternalEditButtonImages;
  TEditButtonDrawBackTimeEh FDrawBackTime = edbtAlwaysEh;
  bool FMouseInControl = false;
  TEditButtonImagesEh* FExternalEditButtonImages = nullptr;
};

// The drawing style of an edit-button style (ebsGlyphEh draws none: it
// answers bcsDropDownEh and is never asked).
TDrawButtonControlStyleEh EditButtonStyleToDrawStyleEh(TEditButtonStyleEh Style);

// ---------------------------------------------------------------------------
// the shared cache of drawn button faces

// One cached face: its key and the bitmap drawn for it (owned).
class TButtonBitmapInfoBitmapEh : public TObject {
  RTL_CLASS(TButtonBitmapInfoBitmapEh, TObject)
public:
  TButtonBitmapInfoBitmapEh(const TButtonBitmapInfoEh& Key);
  ~TButtonBitmapInfoBitmapEh() override;

  TButtonBitmapInfoEh BitmapInfo;
  TBitmap* Bitmap;
};

// A list that does not own its items: Clear frees them itself.
class TButtonsBitmapCache : public TObjectListEh, public IButtonsBitmapCacheEh {
  RTL_CLASS(TButtonsBitmapCache, TObjectListEh)
public:
  TButtonsBitmapCache() = default;
  ~TButtonsBitmapCache() override;

  // The bitmap for Key (negative sizes count as 0), drawn on first request;
  // the cache keeps it until cleared.
  TBitmap* GetButtonBitmap(TButtonBitmapInfoEh Key);
  TButtonBitmapInfoBitmapEh* Get(Integer Index) const {
    return static_cast<TButtonBitmapInfoBitmapEh*>(Items(Index));
  }
  // Frees every item and its bitmap.
  void Clear() override;
};
