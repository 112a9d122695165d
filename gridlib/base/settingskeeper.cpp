#include "gridlib/base/settingskeeper.h"

#include "platform/rtl/numconv.h"

namespace {
const char* const ColIndexKey = "ColIndex";
TSettingsKeeperEhCollectionByIndexComparer* OrdinalComparer = nullptr;
}  // namespace

String TIntegerObject::ToString() const { return QString::number(Value); }

void TSettingsKeeperDicEh::ValueNotify(TObject* const& Value, generics::TCollectionNotification Action) {
  TDictionary::ValueNotify(Value, Action);
  if (Action == generics::cnRemoved && Value) Value->Free();
}

void TSettingsKeeperEh::addObject(const String& Key, TObject* Value) {
  try {
    FDic.Add(Key, Value);
  } catch (const EListError&) {
    Value->Free();  // the keeper is unchanged, and nobody else holds it
    throw;
  }
}

void TSettingsKeeperEh::Add(const String& Key, const String& Value) { addObject(Key, new TStringObject(Value)); }

void TSettingsKeeperEh::Add(const String& Key, Integer Value) { addObject(Key, new TIntegerObject(Value)); }

void TSettingsKeeperEh::Add(const String& Key, TSettingsKeeperEh* Value) { FDic.Add(Key, Value); }

bool TSettingsKeeperEh::TryGetValue(const String& Key, TObject*& Value) const {
  return FDic.TryGetValue(Key, Value);
}

bool TSettingsKeeperEh::TryGetSubsettingsValue(const String& Key, TSettingsKeeperEh*& Value) const {
  TObject* Entry = nullptr;
  if (!FDic.TryGetValue(Key, Entry)) return false;
  auto* Keeper = dynamic_cast<TSettingsKeeperEh*>(Entry);
  if (!Keeper) return false;
  Value = Keeper;
  return true;
}

bool TSettingsKeeperEh::TryGetIntegerValue(const String& Key, Integer& Value) const {
  TObject* Entry = nullptr;
  if (!FDic.TryGetValue(Key, Entry)) return false;
  if (auto* Int = dynamic_cast<TIntegerObject*>(Entry)) {
    Value = Int->Value;
    return true;
  }
  if (auto* Str = dynamic_cast<TStringObject*>(Entry)) {
    int Code = 0;
    Val(Str->Value, Value, Code);
    return Code == 0;
  }
  return false;
}

bool TSettingsKeeperEh::TryGetStringValue(const String& Key, String& Value) const {
  Value.clear();
  TObject* Entry = nullptr;
  if (!FDic.TryGetValue(Key, Entry)) return false;
  auto* Str = dynamic_cast<TStringObject*>(Entry);
  if (!Str) return false;
  Value = Str->Value;
  return true;
}

Integer TSettingsKeeperEhCollectionByIndexComparer::Compare(const TSettingsPairEh& Left,
                                                           const TSettingsPairEh& Right) const {
  const auto IndexOf = [](TObject* Value) {
    Integer Index = 0;
    if (!As<TSettingsKeeperEh>(Value)->TryGetIntegerValue(QString::fromLatin1(ColIndexKey), Index)) Index = 0;
    return Index;
  };
  return IndexOf(Left.Value) - IndexOf(Right.Value);
}

TSettingsKeeperEhCollectionByIndexComparer* TSettingsKeeperEhCollectionByIndexComparer::Ordinal() {
  if (!OrdinalComparer) OrdinalComparer = new TSettingsKeeperEhCollectionByIndexComparer;
  return OrdinalComparer;
}

void InitializeSettingsKeeperEh() {}

void FinalizeSettingsKeeperEh() {
  if (OrdinalComparer) OrdinalComparer->Free();
  OrdinalComparer = nullptr;
}
