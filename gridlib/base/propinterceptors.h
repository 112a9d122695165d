// Stored-property interceptors: an object that stands in for another while a
// property-storage service writes or reads its settings.  The service writes
// and reads the interceptor's published properties instead of the target's,
// and after reading calls Readed, which applies the values to the target in
// the right order and units.
//
// The registry maps a class to its interceptor class, one registration per
// class (the last one wins).  The unit registers the form interceptor for
// TCustomForm at start-up.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/units.h"
#include "platform/ui/windowing/forms.h"

class TStoragePropertyInterceptor;

// The metaclass of interceptors: their virtual constructor takes the target.
class TStoragePropertyInterceptorMeta : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TStoragePropertyInterceptor* CreateInterceptor(TPersistent* ATarget) const = 0;
};

template <class T>
class TInterceptorClassOf : public TClassOf<T, TStoragePropertyInterceptorMeta> {
public:
  using TClassOf<T, TStoragePropertyInterceptorMeta>::TClassOf;
  TStoragePropertyInterceptor* CreateInterceptor(TPersistent* ATarget) const override { return new T(ATarget); }
};

class TStoragePropertyInterceptor : public TPersistent {
  RTL_CLASS_META(TStoragePropertyInterceptor, TPersistent, TInterceptorClassOf<TStoragePropertyInterceptor>)
public:
  explicit TStoragePropertyInterceptor(TPersistent* ATarget) : FTarget(ATarget) {}

  TPersistent* Target() const { return FTarget; }

  // introduced virtuals, in slot order (after the constructor)
  virtual bool NeedIntercept() { return true; }
  // The storage has written the read values into the interceptor.
  virtual void Readed() {}

protected:
  TPersistent* FTarget;
};

// A form's placement, window state and active control, in the screen
// resolution they were written at.
class TFormStoragePropertyInterceptor : public TStoragePropertyInterceptor {
  RTL_CLASS_META(TFormStoragePropertyInterceptor, TStoragePropertyInterceptor,
                 TInterceptorClassOf<TFormStoragePropertyInterceptor>)
public:
  explicit TFormStoragePropertyInterceptor(TPersistent* ATarget);
  static void DescribeProperties(TPropertyTable& Props);

  // published; the four bounds read the form's normal placement now
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value) { FActiveControl = Value; }
  Integer Height() const;
  void SetHeight(Integer Value) { FHeight = Value; }
  Integer Left() const;
  void SetLeft(Integer Value);
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value) { FPixelsPerInch = Value; }
  Integer Top() const;
  void SetTop(Integer Value);
  Integer Width() const;
  void SetWidth(Integer Value) { FWidth = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value) { FWindowState = Value; }

  // reimplemented
  void Readed() override;

private:
  TCustomForm* form() const { return dynamic_cast<TCustomForm*>(FTarget); }
  TRect placement() const;

  TWinControl* FActiveControl = nullptr;
  Integer FHeight = 0;
  Integer FLeft = 0;
  Integer FPixelsPerInch = 0;
  bool FPosPresent = false;  // a left or top value was read
  Integer FTop = 0;
  Integer FWidth = 0;
  TWindowState FWindowState = wsNormal;
};

// Removes every earlier registration of AClass, then registers the pair.
void RegisterPropertyInterceptorEh(TClass AClass, TClass AInterceptorClass);
// Removes every registration of exactly that pair.
void UnregisterPropertyInterceptorEh(TClass AClass, TClass AInterceptorClass);
// The interceptor class of AClass or of its nearest registered ancestor;
// nullptr when none.
TClass FindPropertyInterceptorClassEh(TClass AClass);

// Where a minimized or maximized form goes back to; else its bounds.
TRect GetFormNormalPlacementEh(TCustomForm* Form);

void InitializePropInterceptorsEh();
void FinalizePropInterceptorsEh();
inline constexpr TUnit PropInterceptorsUnitEh{"gridlib/base/propinterceptors", &InitializePropInterceptorsEh,
                                              &FinalizePropInterceptorsEh};
