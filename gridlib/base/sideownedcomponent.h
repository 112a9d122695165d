// A component that belongs to a second component beside its owner, its side
// parent: a data driver placed on a form but serving one table or grid,
// which streams it with itself.
#pragma once

#include "platform/rtl/interfaces.h"

class TComponent;

class ISideOwnedComponentEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{C08052DC-C187-4BD3-B818-F26E7D245600}");
  virtual bool IsSideParent(TComponent* Component) = 0;
  virtual void SetSideParent(TComponent* Component) = 0;
};
