// Costs of the edit controls: typing into a focused bound edit through the
// message path with its repaint (goal 0.2 ms a character, 0.25 ms masked),
// a bound edit following Next (5 us a record unpainted), painting a 17 x 21
// edit button of each style (15 us), a speed button with a four-glyph strip
// and a caption (25 us, images built once), and laying out five buttons in
// a buttons box (10 us).  On the full edit (flat, image, two buttons,
// placeholder): typing (0.2 ms a character), typing with the recent-entries
// list open over 1,000 entries (2 ms a character) and the unfocused custom
// paint of a right-aligned edit with image, underline and placeholder
// (60 us).
#include "bench/support/guibench.h"
#include "gridlib/base/baseunit.h"
#include "gridlib/base/mrulist.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/dbedit.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/editorsunit.h"
#include "gridlib/editors/speedbutton.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/windowingunit.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

namespace {

constexpr int TypedRun = 1000;

// A shown form holding what a benchmark paints.
struct TShownForm {
  TShownForm() {
    Form = new TForm(nullptr);
    Form->SetBounds(0, 0, 400, 300);
    Form->Show();
  }
  ~TShownForm() { Form->Free(); }
  TForm* Form;
};

// A dataset of Rows rows (ID, Name of 2000 characters) behind a source.
struct TRows {
  explicit TRows(int Rows) {
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 2000);
    DataSet.FieldDefs()->Add("Born", ftString, 10);
    for (int I = 1; I <= Rows; ++I) DataSet.AppendRow({I, String("Name %1").arg(I), String()});
    DataSet.SetLogging(false);
    Source.SetDataSet(&DataSet);
    DataSet.Open();
  }
  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
};

TDBEditEh* boundEdit(TForm* Form, TRows& Rows, const char* Field) {
  auto* E = new TDBEditEh(Form);
  E->SetParent(Form);
  E->SetBounds(10, 10, 200, 21);
  E->SetDataSource(&Rows.Source);
  E->SetDataField(Field);
  return E;
}

void typeInto(benchmark::State& State, const char* Field, const String& Mask, Char Key, int RunLength) {
  TShownForm F;
  TRows Rows(1);
  TDBEditEh* E = boundEdit(F.Form, Rows, Field);
  if (!Mask.isEmpty()) E->SetEditMask(Mask);
  E->SetFocus();
  int Typed = 0;
  for (auto _ : State) {
    if (Typed++ == RunLength) {
      State.PauseTiming();
      Rows.DataSet.Cancel();
      E->SelectAll();
      Typed = 1;
      State.ResumeTiming();
    }
    E->Perform(gdi::WM_CHAR, Key.unicode(), 0);
    E->Update();
  }
  Rows.DataSet.Cancel();
}

void BM_TypeIntoBoundEdit(benchmark::State& State) { typeInto(State, "Name", String(), Char('x'), TypedRun); }
BENCHMARK(BM_TypeIntoBoundEdit)->Unit(benchmark::kMicrosecond);

void BM_TypeIntoMaskedEdit(benchmark::State& State) {
  typeInto(State, "Born", QStringLiteral("!99/99/9999;1;_"), Char('7'), 8);
}
BENCHMARK(BM_TypeIntoMaskedEdit)->Unit(benchmark::kMicrosecond);

void followNext(benchmark::State& State, bool Painted) {
  TShownForm F;
  TRows Rows(10000);
  TDBEditEh* E = boundEdit(F.Form, Rows, "Name");
  if (!Painted) F.Form->Hide();
  for (auto _ : State) {
    if (Rows.DataSet.Eof()) {
      State.PauseTiming();
      Rows.DataSet.First();
      State.ResumeTiming();
    }
    Rows.DataSet.Next();
    if (Painted) E->Update();
  }
}

void BM_FollowNextUnpainted(benchmark::State& State) { followNext(State, false); }
BENCHMARK(BM_FollowNextUnpainted)->Unit(benchmark::kMicrosecond);

void BM_FollowNextPainted(benchmark::State& State) { followNext(State, true); }
BENCHMARK(BM_FollowNextPainted)->Unit(benchmark::kMicrosecond);

void BM_PaintEditButton(benchmark::State& State) {
  TShownForm F;
  auto* C = new TEditButtonControlEh(F.Form);
  C->SetParent(F.Form);
  C->SetBounds(10, 10, 17, 21);
  C->SetTransparent(false);
  C->SetStyle(TEditButtonStyleEh(State.range(0)));
  for (auto _ : State) {
    C->Invalidate();
    F.Form->Update();
  }
  State.SetLabel(GetEnumName(TypeInfo<TEditButtonStyleEh>(), Integer(State.range(0))).toStdString());
}
BENCHMARK(BM_PaintEditButton)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

void BM_PaintSpeedButton(benchmark::State& State) {
  TShownForm F;
  auto* B = new TSpeedButtonEh(F.Form);
  B->SetParent(F.Form);
  B->SetBounds(10, 10, 75, 22);
  TBitmap Strip;
  Strip.SetSize(64, 16);
  Strip.Canvas()->Brush()->SetColor(clOlive);
  Strip.Canvas()->FillRect(Rect(0, 0, 64, 16));
  B->SetGlyph(&Strip);
  B->SetCaption("Find");
  F.Form->Update();
  for (auto _ : State) {
    B->Invalidate();
    F.Form->Update();
  }
}
BENCHMARK(BM_PaintSpeedButton)->Unit(benchmark::kMicrosecond);

void BM_EndLayoutOfFiveButtons(benchmark::State& State) {
  TShownForm F;
  auto* Box = new TEditButtonsBoxEh(F.Form);
  Box->SetParent(F.Form);
  Box->SetBounds(0, 0, 100, 21);
  Box->FOnCreateEditButtonControl = [&](TEditButtonControlEh*& C) { C = new TEditButtonControlEh(F.Form); };
  std::vector<std::unique_ptr<TEditButtonEh>> Buttons;
  Box->SetButtonsCount(5);
  for (int I = 0; I < 5; ++I) {
    Buttons.push_back(std::make_unique<TVisibleEditButtonEh>(static_cast<TWinControl*>(nullptr)));
    Box->Entry(I).EditButton = Buttons.back().get();
  }
  Box->FFlat = true;
  Box->FMaxButtonHeight = 21;
  for (auto _ : State) {
    Box->BeginLayout();
    Box->EndLayout();
  }
}
BENCHMARK(BM_EndLayoutOfFiveButtons)->Unit(benchmark::kMicrosecond);

// Flat, with an image list, the main and a further button and a
// placeholder: everything the edit lays out and paints besides its text.
void dressUp(TDBEditEh* E, TForm* Form) {
  E->SetFlat(true);
  auto* Images = new TImageList(Form);
  Images->SetWidth(16);
  Images->SetHeight(16);
  TBitmap Image;
  Image.SetSize(16, 16);
  Images->Add(&Image, nullptr);
  E->SetImages(Images);
  E->SetOnGetImageIndex([](TObject*, Integer& Index) { Index = 0; });
  E->EditButton()->SetVisible(true);
  E->EditButtons()->Add();
  E->EmptyDataInfo()->SetText("Search");
}

void BM_TypeIntoFullEdit(benchmark::State& State) {
  TShownForm F;
  TRows Rows(1);
  TDBEditEh* E = boundEdit(F.Form, Rows, "Name");
  dressUp(E, F.Form);
  E->SetFocus();
  int Typed = 0;
  for (auto _ : State) {
    if (Typed++ == TypedRun) {
      State.PauseTiming();
      Rows.DataSet.Cancel();
      E->SelectAll();
      Typed = 1;
      State.ResumeTiming();
    }
    E->Perform(gdi::WM_CHAR, 'x', 0);
    E->Update();
  }
  Rows.DataSet.Cancel();
}
BENCHMARK(BM_TypeIntoFullEdit)->Unit(benchmark::kMicrosecond);

// Each character filters the 1,000 entries and repaints the open list: a
// letter narrows it, the backspace that empties the text shows them all.
void BM_TypeWithRecentEntriesOpen(benchmark::State& State) {
  TShownForm F;
  auto* E = new TDBEditEh(F.Form);
  E->SetParent(F.Form);
  E->SetBounds(10, 10, 200, 21);
  dressUp(E, F.Form);
  TMRUListEh* List = E->MRUList();
  List->SetLimit(1000);
  for (int I = 0; I < 1000; ++I) List->Items()->Add(String("%1 entry %2").arg(I % 2 ? "a" : "b").arg(I));
  List->SetActive(true);
  E->SetFocus();
  bool Letter = true;
  for (auto _ : State) {
    E->Perform(gdi::WM_CHAR, Letter ? 'a' : gdi::VK_BACK, 0);
    E->Update();
    Letter = !Letter;
  }
}
BENCHMARK(BM_TypeWithRecentEntriesOpen)->Unit(benchmark::kMicrosecond);

void BM_PaintUnfocusedCustomEdit(benchmark::State& State) {
  TShownForm F;
  auto* E = new TDBEditEh(F.Form);
  E->SetParent(F.Form);
  E->SetBounds(10, 10, 200, 21);
  dressUp(E, F.Form);
  E->SetAlignment(taRightJustify);
  E->SetHighlightRequired(true);
  F.Form->Update();
  for (auto _ : State) {
    E->Invalidate();
    E->Update();
  }
}
BENCHMARK(BM_PaintUnfocusedCustomEdit)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit, WindowingUnit, GridLibBaseUnitEh, GridLibEditorsUnitEh});
}
