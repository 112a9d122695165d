// The small controls of the chart editor dialogs: a push button showing a
// symbol of a linked property's value (TTeeButton), its colour form that
// opens the colour dialog (TButtonColor), and a drop-down list with a flat
// border (TComboFlat).
//
// The colour buttons share one list of saved custom colours between every
// dialog they open: made empty on the first dialog, refreshed after each one
// confirmed, freed at the canvas unit's shutdown.
#pragma once

#include "platform/rtl/methodptr.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/combobox.h"
#include "platform/ui/controls/commdlg.h"

class TTeeCanvas;
struct TPropInfo;

// ---------------------------------------------------------------------------
// TTeeButton

class TTeeButton : public TButton {
  RTL_CLASS(TTeeButton, TButton)
public:
  explicit TTeeButton(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // Shows property PropName of AInstance (not owned); a null instance
  // unlinks, an empty name links the instance without a property.
  void LinkProperty(TObject* AInstance, const String& PropName);

  // properties
  // Width of the symbol area; 0: automatic (19 with a caption).
  Integer SymbolWidth() const { return FSymbolWidth; }
  void SetSymbolWidth(Integer Value);
  bool SymbolVisible() const { return FSymbolVisible; }
  void SetSymbolVisible(bool Value);
  TObject* Instance() const { return FInstance; }
  const TPropInfo* Info() const { return FInfo; }

  // The symbol's area in the client rectangle, from the button's size:
  // with q = Height div 4 and a symbol width W' (SymbolWidth, or 19 with a
  // caption), (Width - W', Height - 3q, Width - 6, Height - q); without
  // one, m = max(4, Width div 8) in from both sides.
  TRect SymbolRect();

protected:
  // introduced virtuals
  // Draws the symbol on ACanvas, a GDI chart canvas over the paint DC;
  // nothing here.
  virtual void DrawSymbol(TTeeCanvas* ACanvas);

  // reimplemented
  // The button, then DrawSymbol.
  void PaintWindow(gdi::HDC DC) override;

private:
  Integer FSymbolWidth = 0;
  bool FSymbolVisible = true;
  TObject* FInstance = nullptr;
  const TPropInfo* FInfo = nullptr;
};

// ---------------------------------------------------------------------------
// TButtonColor: a colour swatch; a click edits the colour in the colour
// dialog.

// Supplies the colour a TButtonColor shows, before any linked property.
using TButtonGetColorProc = TMethodPtr<TColor()>;

class TButtonColor : public TTeeButton {
  RTL_CLASS(TButtonColor, TTeeButton)
public:
  explicit TButtonColor(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // Asks for a colour starting at AColor in a colour dialog owned by AOwner
  // with the saved custom colours; the chosen colour, or AColor when
  // cancelled.  Confirmed, the dialog's custom colours are saved.
  static TColor Edit(TComponent* AOwner, TColor AColor, TColorDialogOptions AOptions);
  static TColor Edit(TComponent* AOwner, TColor AColor) { return Edit(AOwner, AColor, {cdFullOpen}); }
  // Edit; AColor takes the result, and True when it differs.
  static bool EditColor(TComponent* AOwner, TColor& AColor, TColorDialogOptions AOptions);

  // properties
  // Opens the dialog expanded.
  bool FullOpen() const { return FFullOpen; }
  void SetFullOpen(bool Value) { FFullOpen = Value; }
  // GetColorProc's colour, else the linked property's, else the button's
  // own (also the colour last drawn).  Setting writes the linked property
  // when there is one.
  TColor SymbolColor();
  void SetSymbolColor(TColor Value);

  // events
  TButtonGetColorProc GetColorProc;

  // reimplemented
  // Edits the colour; a change is stored, then OnClick fires.
  void Click() override;

protected:
  // reimplemented
  // Enabled with SymbolVisible: the colour (opaque) in SymbolRect, outlined
  // with the canvas pen; clNone draws nothing.
  void DrawSymbol(TTeeCanvas* ACanvas) override;

private:
  bool FFullOpen = true;
  TColor FSymbolColor = 0;
};

// ---------------------------------------------------------------------------
// TComboFlat: a drop-down list that shows a flat border while the mouse is
// outside it and it has no focus.  Our combo box draws its sunken edge in
// the non-client area, so the flat frame is drawn on the whole window, where
// a system combo box draws its edge in its client area.

class TComboFlat : public TComboBox {
  RTL_CLASS(TComboFlat, TComboBox)
  UI_MESSAGE_MAP
public:
  // Height 21, ItemHeight 13, csDropDownList; under a Japanese user
  // language the chart default font.
  explicit TComboFlat(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  void Add(const String& Item);
  // The selected line, or "" with none.
  String CurrentItem() const;
  // The selected line's object, or nullptr.
  TObject* SelectedObject() const;

  // properties
  // The mouse is over the control.
  bool Inside() const { return FInside; }
  // The drop-down list's width (the control's width at least).
  Integer DropDownWidth();
  void SetDropDownWidth(Integer Value);

protected:
  // reimplemented
  void Paint() override;

  // message handlers
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void WMNCPaint(TMessage& Message);

private:
  void setInside(bool Value);
  bool showsFlat();
  void drawFlatFrame();
  bool dropDownWidthStored();

  bool FInside = false;
};

// Obj as a control's tag.
inline NativeInt TeeObjectToTag(TObject* Obj) { return reinterpret_cast<NativeInt>(Obj); }
