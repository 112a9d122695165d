// Companions of the data-aware edit (dbedit.h): the image at the left of
// its text (TEditImageEh), the placeholder painted over it while it is empty
// (TControlEmptyDataInfoEh) and the hint window that shows its clipped text
// in its own font (TToolTipsWindow).
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/windowing/hints.h"

class TCustomDBEditEh;
class TCustomImageList;

// Sent to the edit when a property of its image changes that changes the
// reserved width: the edit recreates its window and so takes the new width.
inline constexpr gdi::UINT CM_EDITIMAGECHANGEDEH = gdi::WM_USER + 0x65;

// ---------------------------------------------------------------------------
// TEditImageEh: one image of an image list, drawn at the left of the text.
// Does not own the list; the edit watches it for removal.

class TEditImageEh : public TPersistent {
  RTL_CLASS(TEditImageEh, TPersistent)
public:
  explicit TEditImageEh(TWinControl* EditControl);
  static void DescribeProperties(TPropertyTable& Props);

  void Assign(TPersistent* Source) override;

  // properties
  Integer ImageIndex() const { return FImageIndex; }
  // Repaints the edit when changed.
  void SetImageIndex(Integer Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  bool UseImageHeight() const { return FUseImageHeight; }
  void SetUseImageHeight(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);

  // Visible, with an image list and an image to show.
  bool Showing() const;
  // The width reserved at the left: Width + 4 when set, else the list's
  // image width + 4; 0 when not visible or without a list.
  Integer DrawWidth() const;

private:
  void changedWidth();

  TWinControl* FEditControl;
  Integer FImageIndex = -1;
  TCustomImageList* FImages = nullptr;
  bool FUseImageHeight = true;
  bool FVisible = false;
  Integer FWidth = 0;
};

// ---------------------------------------------------------------------------
// TCustomControlEmptyDataInfoEh: a text painted over an empty control.
// Its font follows the control's (size, name, character set; not colour or
// style) until it is set itself.

class TCustomControlEmptyDataInfoEh : public TPersistent {
  RTL_CLASS(TCustomControlEmptyDataInfoEh, TPersistent)
public:
  explicit TCustomControlEmptyDataInfoEh(TWinControl* Control);
  ~TCustomControlEmptyDataInfoEh() override;
  // Makes the font: derived classes answer DefaultFont only once built.
  void AfterConstruction() override;

  // properties
  TAlignment Alignment();
  // Marks the alignment as the control's own.
  void SetAlignment(TAlignment Value);
  bool AlignmentIsStored() const { return FAlignmentIsStored; }
  void SetAlignmentIsStored(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  TWinControl* Control() const { return FControl; }

  // (Text or a colour of its own) and the control is empty.
  bool Showing();
  // While ParentFont: the default font's size, name and character set,
  // silently.
  void RefreshDefaultFont();
  bool IsFontStored() const { return !FParentFont; }

  // introduced virtuals, in slot order
  virtual TAlignment DefaultAlignment() { return taLeftJustify; }
  virtual TFont* DefaultFont() { return nullptr; }
  virtual TColor DefaultColor() { return clWindow; }
  virtual bool IsControlEmpty() { return false; }
  virtual TColor ActualColor();
  virtual void PaintEmptyDataInfo() {}

protected:
  void repaintControl();

private:
  void fontChanged(TObject* Sender);

  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentIsStored = false;
  TColor FColor = clDefault;
  TFont* FFont;
  bool FParentFont = true;
  String FText;
  TWinControl* FControl;
};

// The placeholder of the data-aware edit.
class TControlEmptyDataInfoEh : public TCustomControlEmptyDataInfoEh {
  RTL_CLASS(TControlEmptyDataInfoEh, TCustomControlEmptyDataInfoEh)
public:
  explicit TControlEmptyDataInfoEh(TCustomDBEditEh* Edit);
  static void DescribeProperties(TPropertyTable& Props);

  TCustomDBEditEh* EditControl() const;

  TAlignment DefaultAlignment() override;
  TFont* DefaultFont() override;
  bool IsControlEmpty() override;
  // On the edit's canvas (attached by the edit's painting), between the
  // image and the buttons, at the edit's text margins.
  void PaintEmptyDataInfo() override;
};

// ---------------------------------------------------------------------------
// TToolTipsWindow: the hint window of an edit's clipped text; the hint data
// is the font to show it in.

class TToolTipsWindow : public THintWindow {
  RTL_CLASS(TToolTipsWindow, THintWindow)
public:
  explicit TToolTipsWindow(TComponent* AOwner) : THintWindow(AOwner) {}
  TRect CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) override;
};
