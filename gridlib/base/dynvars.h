// Named variant bags: ordered collections of variables (a name and a
// variant), looked up by name without regard to case.  TDynVarsEh is the
// parameter bag drop-down forms receive and hand back; TStringVarsEh holds
// texts and converts to and from name=value lines.
//
// Asking for a missing name never fails and never adds: GetDynVar hands out
// the bag's one placeholder, renamed to that name, and the first write to the
// placeholder adds it to the bag (AdoptDummyVar), after which the bag makes a
// fresh placeholder on its next use.  A caller that keeps a placeholder across
// another GetDynVar of a missing name writes under the newer name.
//
// Invariant: no two variables of a bag have names equal by CompareText.
#pragma once

#include "platform/rtl/collection.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/variant.h"

class TCustomDynVarsEh;

class TCustomDynVarEh : public TCollectionItem {
  RTL_CLASS(TCustomDynVarEh, TCollectionItem)
public:
  explicit TCustomDynVarEh(TCollection* Collection) : TCollectionItem(Collection) {}
  // A placeholder of Owner's (in no collection); Owner's AdoptDummyVar makes
  // it a member at its first write.  The caller owns it.
  template <class T>
  static T* CreateAsDummy(TCustomDynVarsEh* Owner) {
    auto* Var = new T(nullptr);
    Var->makeDummy(Owner);
    return Var;
  }

  // properties
  const String& Name() const { return FName; }
  // A name another variable of the bag has (without regard to case) raises
  // the duplicate-name error; the variable's own name in any case is allowed.
  void SetName(const String& Value);
  const Variant& Value() const { return FData; }
  void SetValue(const Variant& Value);
  // The bag the variable belongs to; nullptr for a placeholder.
  TCustomDynVarsEh* VarCollection() const;
  bool IsDummy() const { return FIsDummy; }

  // typed access: an Empty or Null value reads as 0, False or ""; every
  // write but AsString notifies the bag
  bool AsBoolean() const;
  void SetAsBoolean(bool Value);
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime Value);
  double AsFloat() const;
  void SetAsFloat(double Value);
  Currency AsCurrency() const;
  void SetAsCurrency(Currency Value);
  Integer AsInteger() const;
  void SetAsInteger(Integer Value);
  // The object kept as a pointer-sized integer (not owned).
  TObject* AsRefObject() const;
  void SetAsRefObject(TObject* Value);
  String AsString() const;
  void SetAsString(const String& Value);
  bool IsNull() const;
  // Empties the value without notifying.
  void Clear() { FData = Variant(); }

  // Same variant type, equal values (not compared when this value is Empty),
  // names equal with case, same IsNull.
  bool IsEqual(const TCustomDynVarEh* Other) const;

protected:
  // reimplemented
  // Another variable takes the name, then the value.
  void AssignTo(TPersistent* Dest) override;
  // "Name=value"; "(EmptyName)", "(Empty)", "(Null)", "?" for a value
  // without text; the class name for an unnamed Empty variable.
  String GetDisplayName() override;

  // Stores Value, adopting a placeholder first; notifies when Notify.
  void writeValue(const Variant& Value, bool Notify);

private:
  friend class TCustomDynVarsEh;
  void makeDummy(TCustomDynVarsEh* Owner);

  Variant FData;
  bool FIsDummy = false;
  String FName;
  TCustomDynVarsEh* FOwnerWhenDummy = nullptr;
};

class TDynVarEh : public TCustomDynVarEh {
  RTL_CLASS(TDynVarEh, TCustomDynVarEh)
public:
  using TCustomDynVarEh::TCustomDynVarEh;
};

class TStringVarEh : public TCustomDynVarEh {
  RTL_CLASS(TStringVarEh, TCustomDynVarEh)
public:
  using TCustomDynVarEh::TCustomDynVarEh;
  // The value as text; writes store a string variant and notify.
  String Value() const { return AsString(); }
  void SetValue(const String& Value) { TCustomDynVarEh::SetValue(Variant(Value)); }
};

class TCustomDynVarsEh : public TCollection {
  RTL_CLASS(TCustomDynVarsEh, TCollection)
public:
  explicit TCustomDynVarsEh(TPersistent* Owner) : TCustomDynVarsEh(Owner, TCustomDynVarEh::StaticClass()) {}
  ~TCustomDynVarsEh() override;

  TCustomDynVarEh* Items(Integer Index) const { return static_cast<TCustomDynVarEh*>(TCollection::Items(Index)); }

  // lookup
  TCustomDynVarEh* FindDynVar(const String& VarName) const;
  bool VarExists(const String& VarName) const { return FindDynVar(VarName) != nullptr; }
  // The variable, or the placeholder renamed to VarName.
  TCustomDynVarEh* GetDynVar(const String& VarName);

  // editing; an existing name raises the duplicate-name error
  TCustomDynVarEh* CreateDynVar(const String& VarName, const Variant& AValue);
  TCustomDynVarEh* CreateDynVar(const String& VarName, TObject* AValue);
  // Moves Var into this bag.
  void AddDynVar(TCustomDynVarEh* Var);
  // Takes Var out of this bag without freeing it (the caller owns it).
  void RemoveDynVar(TCustomDynVarEh* Var);
  // Frees the variable of that name, if any.
  void DeleteDynVar(const String& VarName);
  // Each variable of Source with a namesake here assigns it; nothing is
  // added or removed.
  void AssignValues(TCustomDynVarsEh* Source);
  // Same count and equal variables position by position.
  bool IsEqual(const TCustomDynVarsEh* Other) const;

  // The placeholder's first write: it joins the bag (the duplicate-name test
  // first) and stops being a placeholder.  Var must be the current
  // placeholder: "DummyVar must be same as collection DummyVar".
  void AdoptDummyVar(TCustomDynVarEh* Var);
  // The placeholder, renamed to VarName without checks or notification.
  TCustomDynVarEh* PrepareDummyVar(const String& VarName);

  // Fired by every notifying write, addition and removal (once at the end of
  // an update bracket).
  TNotifyEvent OnChange;

  // introduced virtuals
  // The class of the variables and of the placeholder.
  virtual TCollectionItemClass GetDynVarClass() const { return TCustomDynVarEh::StaticClass(); }

protected:
  TCustomDynVarsEh(TPersistent* Owner, TCollectionItemClass ItemClass) : TCollection(ItemClass), FOwner(Owner) {}

  // reimplemented
  void AssignTo(TPersistent* Dest) override;
  void Update(TCollectionItem* Item) override;
  TPersistent* GetOwner() override { return FOwner; }

  [[noreturn]] static void raiseDuplicateName(const String& VarName);

private:
  friend class TCustomDynVarEh;
  // The placeholder is made on first use, of GetDynVarClass.
  TCustomDynVarEh* dummyVar();

  TCustomDynVarEh* FDummyVar = nullptr;  // owned
  TPersistent* FOwner;
};

class TDynVarsEh : public TCustomDynVarsEh {
  RTL_CLASS(TDynVarsEh, TCustomDynVarsEh)
public:
  explicit TDynVarsEh(TPersistent* Owner) : TCustomDynVarsEh(Owner, TDynVarEh::StaticClass()) {}
  TDynVarEh* Items(Integer Index) const { return static_cast<TDynVarEh*>(TCustomDynVarsEh::Items(Index)); }
  TCollectionItemClass GetDynVarClass() const override { return TDynVarEh::StaticClass(); }
};

class TStringVarsEh : public TCustomDynVarsEh {
  RTL_CLASS(TStringVarsEh, TCustomDynVarsEh)
public:
  explicit TStringVarsEh(TPersistent* Owner) : TCustomDynVarsEh(Owner, TStringVarEh::StaticClass()) {}
  TStringVarEh* Items(Integer Index) const { return static_cast<TStringVarEh*>(TCustomDynVarsEh::Items(Index)); }
  TCollectionItemClass GetDynVarClass() const override { return TStringVarEh::StaticClass(); }

  using TCustomDynVarsEh::CreateDynVar;
  TCustomDynVarEh* CreateDynVar(const String& VarName, const String& AValue);
  // A missing name raises "A Variable named '%s' doesn't exist in the
  // Collection '%s'".
  String GetVarValue(const String& VarName) const;
  void SetVarValue(const String& VarName, const String& Value);
  // "name=value" CR LF per variable.
  String GetAsTextString() const;
  // Clears the bag and adds one variable per line (split at CR, LF or both),
  // named by the text before the first "=" and valued by the text after it.
  void SetFromTextString(const String& Text);
};

// What a form shown as a dialog implements to take a parameter bag and hand
// it back (the bag is not owned).
class IDynParamsInteractableEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{6ECDE882-A30A-4D34-9C4F-6618FB50CB76}");
  virtual void SetDynParams(TDynVarsEh* DynParams) = 0;
  virtual TDynVarsEh* GetDynParams() = 0;
};
