// Small drop-down forms for the drop-down tests: an edit showing the bag's
// first variable and an OK button that accepts it.  TTestDropDownFormEh is
// made anew per call; TSharedTestDropDownFormEh keeps one shared instance
// (GetGlobalRef), which the test that makes it frees.  Both are registered
// by the fixture so that class names find them; a plain form class without
// the drop-down interface is registered beside them.
#pragma once

#include "gridlib/base/dynvars.h"
#include "gridlib/editors/dropdownforms.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/edits.h"
#include "tests/gridlib/editors/editorsfixture.h"

class TTestDropDownFormEh : public TCustomDropDownFormEh {
  RTL_CLASS_META(TTestDropDownFormEh, TCustomDropDownFormEh, TDropDownFormClassOf<TTestDropDownFormEh>)
public:
  explicit TTestDropDownFormEh(TComponent* AOwner) : TCustomDropDownFormEh(AOwner) {
    SetBounds(0, 0, 200, 120);
    Editor = new TEdit(this);
    Editor->SetParent(this);
    Editor->SetBounds(8, 8, 150, 21);
    Ok = new TButton(this);
    Ok->SetParent(this);
    Ok->SetBounds(8, 40, 75, 25);
    Ok->OnClick = [this](TObject*) { Accept(); };
    ++Made;
  }
  ~TTestDropDownFormEh() override { ++Freed; }

  // The user's OK.
  void Accept() {
    SetModalResult(mrOk);
    Close();
  }

  void InitForm(TDynVarsEh* DynParams) override {
    TCustomDropDownFormEh::InitForm(DynParams);
    if (DynParams && DynParams->Count() > 0) Editor->SetText(DynParams->Items(0)->AsString());
  }
  void ReturnParams(TDynVarsEh* DynParams) override {
    TCustomDropDownFormEh::ReturnParams(DynParams);
    if (DynParams && DynParams->Count() > 0) DynParams->Items(0)->SetValue(Variant(Editor->Text()));
  }

  TEdit* Editor;
  TButton* Ok;
  static inline int Made = 0;
  static inline int Freed = 0;
};

class TSharedTestDropDownFormEh : public TTestDropDownFormEh {
  RTL_CLASS_META(TSharedTestDropDownFormEh, TTestDropDownFormEh, TDropDownFormClassOf<TSharedTestDropDownFormEh>)
public:
  explicit TSharedTestDropDownFormEh(TComponent* AOwner) : TTestDropDownFormEh(AOwner) {}
  // Made on first use, owned by the application.
  static TCustomDropDownFormEh* GetGlobalRef() {
    if (!Instance) Instance = new TSharedTestDropDownFormEh(Application);
    return Instance;
  }
  static inline TSharedTestDropDownFormEh* Instance = nullptr;
};

// A registered form that cannot drop down.
class TPlainTestFormEh : public TForm {
  RTL_CLASS(TPlainTestFormEh, TForm)
public:
  explicit TPlainTestFormEh(TComponent* AOwner) : TForm(AOwner) {}
};

class DropDownFixture : public EditorsFixture {
protected:
  using EditorsFixture::EditorsFixture;
  void SetUp() override {
    EditorsFixture::SetUp();
    test::SetMonitors({TMonitorInfo{Bounds(0, 0, 1000, 800), Bounds(0, 0, 1000, 800), 96, 0, 0, true}});
    RegisterClasses({TTestDropDownFormEh::StaticClass(), TSharedTestDropDownFormEh::StaticClass(),
                     TPlainTestFormEh::StaticClass()});
    TTestDropDownFormEh::Made = TTestDropDownFormEh::Freed = 0;
  }
  void TearDown() override {
    UnRegisterClasses({TTestDropDownFormEh::StaticClass(), TSharedTestDropDownFormEh::StaticClass(),
                       TPlainTestFormEh::StaticClass()});
    // The application frees the shared instance with everything else.
    TSharedTestDropDownFormEh::Instance = nullptr;
    test::SetMonitors({});
    EditorsFixture::TearDown();
  }
};
