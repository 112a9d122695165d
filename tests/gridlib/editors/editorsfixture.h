// The common ground of the editors suites: a form at fixed bounds, the
// library's base and editors units started, the fixed-metrics text engine,
// a step clock for repeat timers, pixels read back from the form, the
// component stream in text form and small data to bind to.
#pragma once

#include "gridlib/base/baseunit.h"
#include "gridlib/editors/editorsunit.h"
#include "platform/db/datasource.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/units.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <initializer_list>

class EditorsFixture : public FormFixture {
protected:
  explicit EditorsFixture(TClipboardUse ClipboardUse = NoClipboard)
      : FormFixture(ClipboardUse, Bounds(100, 100, 400, 300)) {}

  void SetUp() override {
    // Once per program; the test main's shutdown finalizes them.
    InitializeUnits({GridLibBaseUnitEh, GridLibEditorsUnitEh});
    SetTextEngine(TTextEngine::FixedMetrics);
    FormFixture::SetUp();
  }
  void TearDown() override {
    FormFixture::TearDown();
    SetTextEngine(TTextEngine::Qt);
  }

  // The form shown and painted; its client image read back.
  TBitmap* formImage() {
    Form->Show();
    Form->Repaint();
    FImage.SetImage(test::WindowImage(Form));
    return &FImage;
  }
  TColor pixel(int X, int Y) { return PixelAt(formImage(), X, Y); }

  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};

private:
  TBitmap FImage;
};

// Component through the binary stream into its text form.
inline String ComponentToTextEh(TComponent* Component) {
  TMemoryStream Binary;
  Binary.WriteComponent(Component);
  Binary.SetPosition(0);
  TStringStream Text;
  ObjectBinaryToText(&Binary, &Text);
  return Text.DataString();
}

// A new component (owned by Owner) read back from the text form.
inline TComponent* TextToComponentEh(const String& Text, TComponent* Owner) {
  TStringStream Source(Text);
  TMemoryStream Binary;
  ObjectTextToBinary(&Source, &Binary);
  Binary.SetPosition(0);
  TComponent* Result = Binary.ReadComponent(nullptr);
  Owner->InsertComponent(Result);
  return Result;
}

// An image list (owned by Owner) of 16 x 16 images, image I filled with
// Colors[I].
inline TImageList* SolidImageListEh(TComponent* Owner, std::initializer_list<TColor> Colors) {
  auto* List = new TImageList(Owner);
  List->SetWidth(16);
  List->SetHeight(16);
  for (TColor C : Colors) {
    TBitmap Image;
    Image.SetSize(16, 16);
    Image.Canvas()->Brush()->SetColor(C);
    Image.Canvas()->FillRect(TRect(0, 0, 16, 16));
    List->Add(&Image, nullptr);
  }
  return List;
}

// Two rows (ID, Name): 1 Smith and 2 Jones; DataSet opened behind Source.
inline void OpenTwoNamesEh(TRowListDataSet& DataSet, TDataSource& Source) {
  DataSet.FieldDefs()->Add("ID", ftInteger);
  DataSet.FieldDefs()->Add("Name", ftString, 20);
  DataSet.AppendRow({1, String("Smith")});
  DataSet.AppendRow({2, String("Jones")});
  Source.SetDataSet(&DataSet);
  DataSet.Open();
}
