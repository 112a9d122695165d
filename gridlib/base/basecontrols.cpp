#include "gridlib/base/basecontrols.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/typinfo.h"
#include "platform/os/sysinfo.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/cursorres.h"

#include <limits>

namespace {

// The unit's shared graphics objects; both are made on first use.
struct TBaseControlsState {
  TCanvas* ScreenCanvas = nullptr;
  gdi::HDC ScreenDC = nullptr;
  TBitmap* AlphaBitmap = nullptr;
};

TBaseControlsState State;

// Monitors report their own resolution from Windows 8.1 (6.3) on.
constexpr Integer PerMonitorDpiMajor = 6;
constexpr Integer PerMonitorDpiMinor = 3;

// The step capacities are rounded to: twice the half delta.
Int64 roundedToStep(Int64 Capacity, Integer HalfDelta) {
  const Int64 Step = 2 * Int64(HalfDelta);
  return (Capacity + Step - 1) & ~(Step - 1);
}

}  // namespace

// ---------------------------------------------------------------------------
// classes

bool TFieldListEh::AllFieldsCanModify() const {
  for (Integer I = 0; I < Count(); ++I)
    if (!Fields(I)->CanModify()) return false;
  return true;
}

void* TMemoryStreamEh::Realloc(Int64& NewCapacity) {
  if (NewCapacity > 0 && NewCapacity != Size()) NewCapacity = roundedToStep(NewCapacity, FHalfMemoryDelta);
  // The base keeps (or frees) the block and never rounds a multiple of its
  // own 8192-byte step any further.
  return TMemoryStream::Realloc(NewCapacity);
}

bool FieldsCanModifyEh(const TFieldsArrEh& Fields) {
  for (TField* Field : Fields)
    if (!Field->CanModify()) return false;
  return true;
}

// ---------------------------------------------------------------------------
// drawing and the screen

void FillRectAlphaEh(TCanvas* Canvas, const TRect& Rect, TColor Color, Byte Alpha) {
  const Integer W = Rect.Width(), H = Rect.Height();
  if (!State.AlphaBitmap) {
    State.AlphaBitmap = new TBitmap;
    State.AlphaBitmap->SetSize(W, H);
  } else if (State.AlphaBitmap->Width() < W || State.AlphaBitmap->Height() < H) {
    // Both sides follow Rect, even one that was larger: the fill is the only
    // user and asks for Rect's size again next time.
    State.AlphaBitmap->SetSize(W, H);
  }
  TCanvas* Source = State.AlphaBitmap->Canvas();
  Source->Brush()->SetColor(Color);
  Source->Brush()->SetStyle(bsSolid);
  Source->FillRect(Bounds(0, 0, W, H));
  const gdi::BLENDFUNCTION Blend{gdi::AC_SRC_OVER, 0, Alpha, 0};
  gdi::AlphaBlend(Canvas->Handle(), Rect.Left, Rect.Top, W, H, Source->Handle(), 0, 0, W, H, Blend);
}

Integer GetMonitorPixelsPerInchEh(gdi::HWND Window) {
  if (!Screen) return ScreenMetrics().PixelsPerInch;
  if (!Window && Application) Window = Application->Handle();
  if (CheckWin32Version(PerMonitorDpiMajor, PerMonitorDpiMinor))
    if (TMonitor* Monitor = Screen->MonitorFromWindow(Window, mdNearest)) return Monitor->PixelsPerInch();
  return Screen->PixelsPerInch();
}

double GetCanvasScaleFactorEh(TCanvas* Canvas) {
  return double(GetMonitorPixelsPerInchEh(gdi::WindowFromDC(Canvas->Handle()))) / DefaultPixelsPerInch;
}

TCanvas* GetScreenCanvasEh() {
  if (!State.ScreenCanvas) {
    State.ScreenDC = gdi::GetDC(nullptr);
    State.ScreenCanvas = new TCanvas;
    State.ScreenCanvas->SetHandle(State.ScreenDC);
  }
  return State.ScreenCanvas;
}

// ---------------------------------------------------------------------------
// cursors

gdi::HCURSOR LoadCursorCheckedEh(gdi::HINSTANCE Instance, const String& Name) {
  const gdi::HCURSOR Cursor = gdi::LoadCursor(Instance, reinterpret_cast<const gdi::WCHAR*>(Name.utf16()));
  if (!Cursor) throw EOutOfResources(QStringLiteral("Cannot load cursor resource"));
  return Cursor;
}

TCursor LoadRegisterCursorEh(const String& Name) {
  const gdi::HCURSOR Default = GetCursorHandle(crDefault);
  for (Integer Index = 1; Index <= std::numeric_limits<TCursor>::max(); ++Index) {
    if (GetCursorHandle(TCursor(Index)) != Default) continue;
    SetCursorHandle(TCursor(Index), LoadCursorCheckedEh(gdi::MainInstance(), Name));
    return TCursor(Index);
  }
  throw Exception(QStringLiteral("LoadRegisterCursorEh could not register cursor - \"%1\"").arg(Name));
}

// ---------------------------------------------------------------------------
// datasets

Integer CompareBookmarksEh(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
}

bool BookmarkValidEh(TDataSet* DataSet, const TBookmark& Bookmark) {
  return !Bookmark.isEmpty() && DataSet->BookmarkValid(Bookmark);
}

TDataSet* DataSetOfDataSourcePropEh(TObject* Instance, const TPropInfo* PropInfo) {
  if (!PropInfo || PropInfo->Kind() != tkClass) return nullptr;
  try {
    auto* Source = dynamic_cast<TDataSource*>(GetObjectProp(Instance, PropInfo));
    return Source ? Source->DataSet() : nullptr;
  } catch (const Exception&) {
    // A getter that fails means "no data source" to the callers (designers
    // and link finders walking foreign components).
    return nullptr;
  }
}

// ---------------------------------------------------------------------------
// property metadata

const TTypeInfo* GetPropInfoTypeEh(const TPropInfo* PropInfo) { return PropInfo->PropType; }

TTypeKind GetTypeInfoKindEh(const TTypeInfo* TypeInfo) { return TypeInfo->Kind; }

String GetEnumPropNameEh(TObject* Instance, const String& PropName) { return GetEnumProp(Instance, PropName); }

void SetEnumPropByNameEh(TObject* Instance, const String& PropName, const String& ValueName) {
  SetEnumProp(Instance, PropName, ValueName);
}

// ---------------------------------------------------------------------------
// text

String LineBreaksToSpacesEh(const String& Text) {
  String Result = Text;
  while (!Result.isEmpty() && (Result.back() == u'\r' || Result.back() == u'\n')) Result.chop(1);
  for (const char* Break : {"\r\n", "\n\r", "\n", "\r"})
    Result = StringReplace(Result, QString::fromLatin1(Break), QStringLiteral(" "), rfReplaceAll);
  return Result;
}

// ---------------------------------------------------------------------------
// variants

Variant RefObjectToVarEh(TObject* Obj) { return Variant(IPtr<IInterface>(new TInterfacedObjectWrapper(Obj))); }

TObject* VarToRefObjectEh(const Variant& V) {
  auto* Wrapper = dynamic_cast<TInterfacedObjectWrapper*>(V.AsInterface().Get());
  if (!Wrapper) throw EIntfCastError(QStringLiteral("Interface not supported"));
  return Wrapper->Object();
}

void VarArrayRedimEh(Variant& A, Integer HighBound) { VarArrayRedim(A, HighBound); }

AnsiString VarToAnsiStrEh(const Variant& V) { return VarIsNull(V) ? AnsiString() : VarToAnsiStr(V); }

// ---------------------------------------------------------------------------
// trivial helpers

void FreeObjectEh(TObject* Obj) {
  if (Obj) Obj->Free();
}

void DoNothingEh() {}

TPersistent* IdentityPersistentEh(TPersistent* Value) { return Value; }

Pointer IntegerToPointerEh(Integer Value) { return reinterpret_cast<Pointer>(std::intptr_t(Value)); }

// ---------------------------------------------------------------------------
// the unit

void InitializeBaseControlsEh() {
  // Nothing to make: the shared objects come on first use.  (The platform
  // always draws the new-style controls, so there is no flag to switch.)
}

void FinalizeBaseControlsEh() {
  if (State.ScreenCanvas) {
    State.ScreenCanvas->SetHandle(nullptr);
    gdi::ReleaseDC(nullptr, State.ScreenDC);
  }
  FreeAndNil(State.ScreenCanvas);
  State.ScreenDC = nullptr;
  FreeAndNil(State.AlphaBitmap);
}
