#include "platform/fd/fdparams.h"

#include "platform/fd/fdconsts.h"

TFDParam* TFDParams::ParamByName(const String& Name) const {
  TFDParam* Param = FindParam(Name);
  if (!Param) FDExceptionFmt(FDConsts::SParamNotFound, {Name});
  return Param;
}

void TFDParams::Update(const std::vector<String>& Names) {
  // What a parameter that stays keeps: everything but its name's spelling.
  struct TKept {
    Variant Value;
    bool Bound = false;
    TFieldType DataType = ftUnknown;
    TParamType ParamType = ptUnknown;
  };
  std::vector<TKept> Kept;
  for (const String& Name : Names) {
    const TFDParam* Old = FindParam(Name);
    Kept.push_back(Old ? TKept{Old->Value(), Old->Bound(), Old->DataType(), Old->ParamType()} : TKept{});
  }
  BeginUpdate();
  Clear();
  for (size_t I = 0; I < Names.size(); ++I) {
    auto* Param = static_cast<TFDParam*>(Add());
    Param->SetName(Names[I]);
    Param->SetDataType(Kept[I].DataType);
    Param->SetParamType(Kept[I].ParamType);
    Param->SetValue(Kept[I].Value);
    Param->SetBound(Kept[I].Bound);
  }
  EndUpdate();
}
