// The small classes and routines the other units of the grid library take
// for granted: the base of every custom-drawn control, an object list that
// does not own its items by default, a field list, a memory stream with its
// own growth step, objects carried in variants, the alpha-blended fill, the
// monitor's pixels per inch, cursor registration, bookmark and data-source
// helpers, enumeration properties by name and the one-line text of a
// multi-line one.
//
// Two graphics objects are shared by the whole library and live until the
// unit's shutdown: the screen canvas (measuring without a window) and the
// bitmap FillRectAlphaEh blends from.  Both are made on first use, so that
// repeated fills and measurements allocate nothing.
#pragma once

#include "platform/rtl/lists.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/units.h"
#include "platform/rtl/variant.h"
#include "platform/db/dbtypes.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/mouse.h"

#include <vector>

class AnsiString;
class TDataSet;
class TField;
struct TPropInfo;
struct TTypeInfo;

// Fields in an order of their own (key fields, sort fields).
using TFieldsArrEh = std::vector<TField*>;

// ---------------------------------------------------------------------------
// classes

// Base of every custom-drawn control of the library (grids, size grip,
// calculator, pickers).  Its scale factor starts at 1.0 as every platform
// control's does.
class TCustomControlEh : public TCustomControl {
  RTL_CLASS(TCustomControlEh, TCustomControl)
public:
  explicit TCustomControlEh(TComponent* AOwner) : TCustomControl(AOwner) {}

  // ChangeScale for callers outside the control's class.
  void DoChangeScale(Integer M, Integer D, bool IsDpiChange) { ChangeScale(M, D, IsDpiChange); }
  // RecreateWnd for callers outside the control's class.
  void RecreateWindowHandle() { RecreateWnd(); }
};

// An object list that frees nothing unless asked to: its users free the
// items themselves.
class TObjectListEh : public TObjectList {
  RTL_CLASS(TObjectListEh, TObjectList)
public:
  TObjectListEh() : TObjectList(false) {}
  template <std::same_as<bool> B>
  explicit TObjectListEh(B AOwnsObjects) : TObjectList(AOwnsObjects) {}
};

// A list of dataset fields; it never owns them.
class TFieldListEh : public TList {
  RTL_CLASS(TFieldListEh, TList)
public:
  TField* Fields(Integer Index) const { return static_cast<TField*>(Items(Index)); }
  // True when every field can be modified (and for an empty list).
  bool AllFieldsCanModify() const;
};

// A memory stream whose capacity grows in steps of twice FHalfMemoryDelta
// (8192 bytes).  A request for exactly the current size is taken as it is.
class TMemoryStreamEh : public TMemoryStream {
  RTL_CLASS(TMemoryStreamEh, TMemoryStream)
public:
  TMemoryStreamEh() = default;

protected:
  // reimplemented
  void* Realloc(Int64& NewCapacity) override;

  Integer FHalfMemoryDelta = 4096;
};

// ---------------------------------------------------------------------------
// routines

bool FieldsCanModifyEh(const TFieldsArrEh& Fields);

// Fills Rect with Color at constant opacity Alpha (0 leaves the canvas as it
// was, 255 paints Color opaque).
void FillRectAlphaEh(TCanvas* Canvas, const TRect& Rect, TColor Color, Byte Alpha);
// The pixels per inch of the monitor nearest to Window (0: the application's
// window); the screen's when no monitor answers.
Integer GetMonitorPixelsPerInchEh(gdi::HWND Window);
// The monitor's pixels per inch for the window of Canvas's DC, over 96.
double GetCanvasScaleFactorEh(TCanvas* Canvas);
// The shared canvas on the screen's DC, for measuring text without a window.
TCanvas* GetScreenCanvasEh();

// The cursor resource Name of Instance; EOutOfResources "Cannot load cursor
// resource" when it is missing.
gdi::HCURSOR LoadCursorCheckedEh(gdi::HINSTANCE Instance, const String& Name);
// Loads the program's cursor resource Name into the first free index of the
// screen's cursor table (counting from 1) and answers the index.
TCursor LoadRegisterCursorEh(const String& Name);

// The dataset's own comparison: negative, 0 or positive.
Integer CompareBookmarksEh(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2);
// False for an empty bookmark, else the dataset's BookmarkValid.
bool BookmarkValidEh(TDataSet* DataSet, const TBookmark& Bookmark);
// The dataset of the TDataSource a class-typed property of Instance holds;
// nullptr when there is none or the property cannot be read.
TDataSet* DataSetOfDataSourcePropEh(TObject* Instance, const TPropInfo* PropInfo);

// property metadata
const TTypeInfo* GetPropInfoTypeEh(const TPropInfo* PropInfo);
TTypeKind GetTypeInfoKindEh(const TTypeInfo* TypeInfo);
// The name of the value the enumeration property PropName holds.
String GetEnumPropNameEh(TObject* Instance, const String& PropName);
// Sets the enumeration property PropName to the value named ValueName; an
// unknown value name raises EPropertyConvertError and leaves the property.
void SetEnumPropByNameEh(TObject* Instance, const String& PropName, const String& ValueName);

// The text on one line: line breaks at the end dropped, every other CR LF,
// LF CR, LF and CR one blank.
String LineBreaksToSpacesEh(const String& Text);

// variants
// A variant carrying Obj (not owned) inside a TInterfacedObjectWrapper.
Variant RefObjectToVarEh(TObject* Obj);
// The object a RefObjectToVarEh variant carries; any other interface raises
// EIntfCastError "Interface not supported".
TObject* VarToRefObjectEh(const Variant& V);
void VarArrayRedimEh(Variant& A, Integer HighBound);
// Null gives an empty text.
AnsiString VarToAnsiStrEh(const Variant& V);

// trivial helpers of the library's event and list code
void FreeObjectEh(TObject* Obj);
void DoNothingEh();
TPersistent* IdentityPersistentEh(TPersistent* Value);
Pointer IntegerToPointerEh(Integer Value);

// ---------------------------------------------------------------------------
// the unit

// Shutdown frees the screen canvas (its DC first) and the alpha-fill bitmap.
void InitializeBaseControlsEh();
void FinalizeBaseControlsEh();
inline constexpr TUnit BaseControlsUnitEh{"gridlib/base/basecontrols", &InitializeBaseControlsEh,
                                          &FinalizeBaseControlsEh};
