#include "platform/fd/fdparams.h"

#include "platform/fd/fdconsts.h"
#include "platform/rtl/strutils.h"

TFDParam* TFDParams::FindParam(const String& Name) const {
  for (const auto& Param : FItems)
    if (SameText(Param->Name(), Name)) return Param.get();
  return nullptr;
}

TFDParam* TFDParams::ParamByName(const String& Name) const {
  TFDParam* Param = FindParam(Name);
  if (!Param) FDExceptionFmt(FDConsts::SParamNotFound, {Name});
  return Param;
}

void TFDParams::Update(const std::vector<String>& Names) {
  std::vector<std::unique_ptr<TFDParam>> Items;
  for (const String& Name : Names) {
    auto Param = std::make_unique<TFDParam>(Name);
    if (const TFDParam* Old = FindParam(Name)) Param->SetValue(Old->Value());
    Items.push_back(std::move(Param));
  }
  FItems = std::move(Items);
}
