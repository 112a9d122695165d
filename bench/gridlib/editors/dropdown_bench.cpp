// Costs of an edit button's drop-down form: from the press to a shared
// 300 x 200 form placed, shown and painted with its elements (goal 3 ms),
// the same for a form made from its class name at each press (15 ms), and
// from the accepting close through write-back, post, hide and the posted
// WM_USER (1 ms).
#include "bench/support/guibench.h"
#include "gridlib/base/baseunit.h"
#include "gridlib/base/dynvars.h"
#include "gridlib/editors/buttonsbox.h"
#include "gridlib/editors/dbedit.h"
#include "gridlib/editors/dropdownforms.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editorsunit.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/windowingunit.h"

#include <benchmark/benchmark.h>

namespace {

// A drop-down form of 300 x 200 with every element.
class TBenchDropDownFormEh : public TCustomDropDownFormEh {
  RTL_CLASS_META(TBenchDropDownFormEh, TCustomDropDownFormEh, TDropDownFormClassOf<TBenchDropDownFormEh>)
public:
  explicit TBenchDropDownFormEh(TComponent* AOwner) : TCustomDropDownFormEh(AOwner) { SetBounds(0, 0, 300, 200); }
};

// The same class with one shared instance.
class TSharedBenchDropDownFormEh : public TBenchDropDownFormEh {
  RTL_CLASS_META(TSharedBenchDropDownFormEh, TBenchDropDownFormEh, TDropDownFormClassOf<TSharedBenchDropDownFormEh>)
public:
  explicit TSharedBenchDropDownFormEh(TComponent* AOwner) : TBenchDropDownFormEh(AOwner) {}
  static TCustomDropDownFormEh* GetGlobalRef() {
    if (!Instance) Instance = new TSharedBenchDropDownFormEh(Application);
    return Instance;
  }
  static inline TSharedBenchDropDownFormEh* Instance = nullptr;
};

// A shown form with an edit bound to Name of a one-row dataset, its main
// button opening FormClassName's form; the buttons box filled as the
// edit's layout fills it.
struct TDropDownScene {
  explicit TDropDownScene(const char* FormClassName) {
    DataSet.FieldDefs()->Add("ID", ftInteger);
    DataSet.FieldDefs()->Add("Name", ftString, 40);
    DataSet.AppendRow({1, String("Smith")});
    DataSet.SetLogging(false);
    Source.SetDataSet(&DataSet);
    DataSet.Open();
    Form = new TForm(nullptr);
    Form->SetBounds(100, 100, 400, 300);
    Edit = new TDBEditEh(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(10, 10, 200, 21);
    Edit->SetDataSource(&Source);
    Edit->SetDataField("Name");
    TEditButtonEh* Button = Edit->EditButton();
    Button->SetVisible(true);
    Button->DropDownFormParams()->SetDropDownFormClassName(FormClassName);
    TEditButtonsBoxEh* Box = Edit->ButtonsBox();
    if (Box->ButtonsCount() == 0) {
      Box->BeginLayout();
      Box->FMaxButtonHeight = Edit->ClientHeight();
      Box->SetButtonsCount(1);
      Box->Entry(0).EditButton = Button;
      Box->EndLayout();
    }
    Form->Show();
    Edit->SetFocus();
  }
  ~TDropDownScene() {
    Form->Free();
    ProcessMessages();
  }

  // The press of the main button, the form painted.
  TCustomDropDownFormEh* open() {
    bool AutoRepeat = false, Handled = false;
    Edit->EditButtonDown(Edit->ButtonsBox()->Entry(0).EditButtonControl, false, AutoRepeat, Handled);
    auto* Shown = dynamic_cast<TCustomDropDownFormEh*>(Screen->ActiveForm());
    if (Shown) Shown->Update();
    return Shown;
  }

  TRowListDataSet DataSet{nullptr};
  TDataSource Source{nullptr};
  TForm* Form;
  TDBEditEh* Edit;
};

void openToPainted(benchmark::State& State, const char* FormClassName) {
  RegisterClasses({TBenchDropDownFormEh::StaticClass(), TSharedBenchDropDownFormEh::StaticClass()});
  {
    TDropDownScene Scene(FormClassName);
    for (auto _ : State) {
      TCustomDropDownFormEh* Shown = Scene.open();
      State.PauseTiming();
      if (!Shown) State.SkipWithError("no drop-down form shown");
      else Shown->Close();
      ProcessMessages();
      State.ResumeTiming();
    }
  }
  if (TSharedBenchDropDownFormEh::Instance) TSharedBenchDropDownFormEh::Instance->Free();
  TSharedBenchDropDownFormEh::Instance = nullptr;
  UnRegisterClasses({TBenchDropDownFormEh::StaticClass(), TSharedBenchDropDownFormEh::StaticClass()});
}

void BM_OpenSharedFormToPainted(benchmark::State& State) { openToPainted(State, "TSharedBenchDropDownFormEh"); }
BENCHMARK(BM_OpenSharedFormToPainted)->Unit(benchmark::kMicrosecond);

void BM_OpenClassNameFormToPainted(benchmark::State& State) { openToPainted(State, "TBenchDropDownFormEh"); }
BENCHMARK(BM_OpenClassNameFormToPainted)->Unit(benchmark::kMicrosecond);

void BM_AcceptToWritten(benchmark::State& State) {
  RegisterClasses({TSharedBenchDropDownFormEh::StaticClass()});
  {
    TDropDownScene Scene("TSharedBenchDropDownFormEh");
    int Round = 0;
    for (auto _ : State) {
      State.PauseTiming();
      ProcessMessages();
      TCustomDropDownFormEh* Shown = Scene.open();
      if (!Shown) {
        State.SkipWithError("no drop-down form shown");
        break;
      }
      Shown->DynParams()->Items(0)->SetValue(Variant(String("Name %1").arg(++Round)));
      State.ResumeTiming();
      Shown->SetModalResult(mrOk);
      Shown->Close();
    }
    if (Round > 0 && Scene.DataSet.FieldByName("Name")->AsString() != String("Name %1").arg(Round))
      State.SkipWithError("the accepted value was not written");
  }
  TSharedBenchDropDownFormEh::Instance->Free();
  TSharedBenchDropDownFormEh::Instance = nullptr;
  UnRegisterClasses({TSharedBenchDropDownFormEh::StaticClass()});
}
BENCHMARK(BM_AcceptToWritten)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit, WindowingUnit, GridLibBaseUnitEh, GridLibEditorsUnitEh});
}
