#include "gridlib/base/mrulist.h"

#include "gridlib/base/valuetext.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/messages.h"
#include "platform/ui/windowing/msgqueue.h"

namespace {
// Filtering looks at the keyboard queue after this many entries, so that a
// user who keeps typing interrupts the filtering of a long list.
constexpr Integer KeyQueueCheckInterval = 100;

bool isControlOrBlank(QChar C) { return C.unicode() >= 1 && C.unicode() <= 32; }
bool isControl(QChar C) { return C.unicode() >= 1 && C.unicode() <= 31; }

TShortCut specRowDefaultShortCut() { return ShortCut(gdi::VK_DELETE, {ssAlt}); }
}  // namespace

// ---------------------------------------------------------------------------
// TMRUListEh

TMRUListEh::TMRUListEh(TPersistent* AOwner)
    : FAutogenItems(new TStringList), FItems(new TStringList), FOwner(AOwner) {}

TMRUListEh::~TMRUListEh() {
  FAutogenItems->Free();
  FItems->Free();
}

// The defaults are a new list's values, so an untouched list streams nothing.
void TMRUListEh::DescribeProperties(TPropertyTable& Props) {
  using L = TMRUListEh;
  Props.Add("Active", &L::Active, &L::SetActive).Default(false);
  Props.Add("AutoAdd", &L::AutoAdd, &L::SetAutoAdd).Default(true);
  Props.Add("CancelIfKeyInQueue", &L::CancelIfKeyInQueue, &L::SetCancelIfKeyInQueue).Default(true);
  Props.Add("CaseSensitive", &L::CaseSensitive, &L::SetCaseSensitive).Default(false);
  Props.Add("Items", &L::Items, &L::SetItems);
  Props.Add("Limit", &L::Limit, &L::SetLimit).Default(100);
  Props.Add("ListSourceKind", &L::ListSourceKind, &L::SetListSourceKind).Default(lskMRUListItemsEh);
  Props.Add("Rows", &L::Rows, &L::SetRows).Default(7);
  Props.Add("Width", &L::Width, &L::SetWidth).Default(0);
  Props.Add("OnActiveChanged", &L::OnActiveChanged, &L::OnActiveChanged);
}

TStrings* TMRUListEh::Items() const { return FItems; }

void TMRUListEh::SetItems(TStrings* Value) { FItems->Assign(Value); }

TStrings* TMRUListEh::GetActiveItems() const {
  return FListSourceKind == lskDataSetFieldValuesEh ? FAutogenItems : FItems;
}

void TMRUListEh::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (OnActiveChanged.Assigned()) OnActiveChanged(this);
}

void TMRUListEh::SetLimit(Integer Value) {
  if (Value == FLimit) return;
  FLimit = Value;
  trim();
}

void TMRUListEh::trim() {
  // a negative limit counts as 0
  while (FItems->Count() > std::max(FLimit, 0)) FItems->Delete(0);
}

void TMRUListEh::Add(const String& S) {
  if (Trim(S).isEmpty()) return;
  for (Integer I = 0; I < FItems->Count(); ++I) {
    const String& Entry = FItems->Strings(I);
    const bool Same = FCaseSensitive ? Entry == S : AnsiCompareText(Entry, S) == 0;
    if (Same) {
      FItems->Move(I, FItems->Count() - 1);
      return;
    }
  }
  FItems->Add(S);
  trim();
}

bool TMRUListEh::accepts(const String& Entry, const String& MaskText) const {
  const String Head = Entry.left(MaskText.length());
  return FCaseSensitive ? AnsiCompareStr(Head, MaskText) == 0 : AnsiCompareText(Head, MaskText) == 0;
}

bool TMRUListEh::FilterItemsTo(TStrings* FilteredItems, const String& MaskText) {
  FilteredItems->BeginUpdate();
  const TScopeExit End([FilteredItems] { FilteredItems->EndUpdate(); });
  FilteredItems->Clear();
  TStrings* Source = GetActiveItems();
  for (Integer I = 0; I < Source->Count(); ++I) {
    bool Accept = accepts(Source->Strings(I), MaskText);
    if (OnFilterItem.Assigned()) OnFilterItem(this, Accept);
    if (Accept) FilteredItems->Add(Source->Strings(I));
    if (FCancelIfKeyInQueue && I % KeyQueueCheckInterval == 0) {
      gdi::MSG Msg{};
      if (gdi::PeekMessage(Msg, 0, gdi::WM_KEYDOWN, gdi::WM_KEYDOWN, gdi::PM_NOREMOVE)) return false;
    }
  }
  return true;
}

void TMRUListEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TMRUListEh*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  SetActive(Other->Active());
  SetItems(Other->Items());
  SetLimit(Other->Limit());
  SetRows(Other->Rows());
  SetCaseSensitive(Other->CaseSensitive());
}

void TMRUListEh::CloseUp(bool Accept) {
  if (OnSetCloseUpEvent.Assigned()) OnSetCloseUpEvent(this, Accept);
}

void TMRUListEh::DropDown() {
  if (OnSetDropDown.Assigned()) OnSetDropDown(this);
}

void TMRUListEh::PrepareActiveItems() {
  if (FListSourceKind == lskDataSetFieldValuesEh && OnFillAutogenItems.Assigned())
    OnFillAutogenItems(this, FAutogenItems);
}

// ---------------------------------------------------------------------------
// TSpecRowEh

TSpecRowEh::TSpecRowEh(TPersistent* Owner)
    : FCellsStrings(new TStringList),
      FFont(new TFont),
      FOwner(Owner),
      FShortCut(specRowDefaultShortCut()),
      FValue(Null()) {
  FFont->OnChange = TNotifyEvent(this, &TSpecRowEh::fontChanged);
}

TSpecRowEh::~TSpecRowEh() {
  FCellsStrings->Free();
  FFont->Free();
}

// Colour and font are stored only when the user gave them, so a row that
// follows its owner keeps following it after loading.
void TSpecRowEh::DescribeProperties(TPropertyTable& Props) {
  using R = TSpecRowEh;
  Props.Add("CellsText", &R::CellsText, &R::SetCellsText);
  Props.Add("Color", &R::Color, &R::SetColor).Stored(&R::ColorAssigned);
  Props.Add("Font", &R::Font, &R::SetFont).Stored(&R::FontAssigned);
  Props.Add("ShortCut", &R::ShortCut, &R::SetShortCut).Default(specRowDefaultShortCut());
  Props.Add("ShowIfNotInKeyList", &R::ShowIfNotInKeyList, &R::SetShowIfNotInKeyList).Default(true);
  Props.Add("Value", &R::Value, &R::SetValue).Stored(&R::IsValueStored);
  Props.Add("Visible", &R::Visible, &R::SetVisible).Default(false);
}

bool TSpecRowEh::IsValueStored() const { return !VarIsNull(FValue); }

void TSpecRowEh::Changed() {
  if (OnChanged.Assigned() && FUpdateCount == 0) OnChanged(this);
}

void TSpecRowEh::EndUpdate() {
  --FUpdateCount;
  Changed();
}

void TSpecRowEh::fontChanged(TObject*) {
  Changed();
  FFontAssigned = true;
}

TFont* TSpecRowEh::DefaultFont() {
  if (auto* Control = dynamic_cast<TControl*>(FOwner)) return Control->Font();
  return FFont;
}

TColor TSpecRowEh::DefaultColor() {
  if (auto* Control = dynamic_cast<TCustomControl*>(FOwner)) return Control->Color();
  return FColor;
}

TFont* TSpecRowEh::Font() {
  if (FFontAssigned) return FFont;
  TFont* Default = DefaultFont();
  if (Default != FFont && FFont->Handle() != Default->Handle()) {
    // a silent copy: the font stays unassigned and nobody hears of it
    const TNotifyEvent Saved = FFont->OnChange;
    FFont->OnChange = TNotifyEvent();
    const TScopeExit Restore([this, &Saved] { FFont->OnChange = Saved; });
    FFont->Assign(Default);
  }
  return FFont;
}

void TSpecRowEh::SetFont(TFont* Value) { FFont->Assign(Value); }

TColor TSpecRowEh::Color() { return FColorAssigned ? FColor : DefaultColor(); }

void TSpecRowEh::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  FColorAssigned = true;
  Changed();
}

void TSpecRowEh::SetCellsText(const String& Value) {
  if (Value == FCellsText) return;
  FCellsText = Value;
  splitCells();
  Changed();
}

void TSpecRowEh::splitCells() {
  FCellsStrings->BeginUpdate();
  const TScopeExit End([this] { FCellsStrings->EndUpdate(); });
  FCellsStrings->Clear();
  const String& S = FCellsText;
  const qsizetype N = S.length();
  qsizetype I = 0;
  while (I < N && isControlOrBlank(S[I])) ++I;
  while (I < N) {
    String Cell;
    if (S[I] == u'"') {
      // a doubled quote stands for one
      for (++I; I < N; ++I) {
        if (S[I] != u'"') {
          Cell += S[I];
        } else if (I + 1 < N && S[I + 1] == u'"') {
          Cell += u'"';
          ++I;
        } else {
          ++I;
          break;
        }
      }
    } else {
      const qsizetype Start = I;
      while (I < N && S[I] != u';' && S[I].unicode() >= 32) ++I;
      Cell = S.mid(Start, I - Start);
    }
    FCellsStrings->Add(Cell);
    while (I < N && isControl(S[I])) ++I;
    if (I < N && S[I] == u';') {
      ++I;
      while (I < N && isControl(S[I])) ++I;
    }
  }
}

String TSpecRowEh::GetCellText(Integer Index) const {
  if (Index < 0 || Index >= FCellsStrings->Count()) return String();
  return FCellsStrings->Strings(Index);
}

bool TSpecRowEh::LocateKey(const Variant& KeyValue) const { return FVisible && VariantsEqualEh(FValue, KeyValue); }

void TSpecRowEh::SetValue(const Variant& Value) {
  if (VariantsEqualEh(Value, FValue)) return;
  FValue = Value;
  Changed();
}

void TSpecRowEh::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  Changed();
}

void TSpecRowEh::SetShowIfNotInKeyList(bool Value) {
  if (Value == FShowIfNotInKeyList) return;
  FShowIfNotInKeyList = Value;
  Changed();
}

void TSpecRowEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TSpecRowEh*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  BeginUpdate();
  const TScopeExit End([this] { EndUpdate(); });
  SetCellsText(Other->CellsText());
  SetColor(Other->Color());
  FColorAssigned = true;  // the source's effective colour counts as given here
  if (Other->FontAssigned()) SetFont(Other->Font());
  SetShortCut(Other->ShortCut());
  SetShowIfNotInKeyList(Other->ShowIfNotInKeyList());
  SetValue(Other->Value());
  SetVisible(Other->Visible());
}
