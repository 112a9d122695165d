// TSettingsKeeperEh: an in-memory tree of settings, a map from exact
// (case-sensitive) keys to strings, 32-bit integers or further keepers.  A
// keeper owns its whole subtree: freeing the root frees every value below
// it.  Nothing here reads or writes a file.
#pragma once

#include "platform/rtl/dictionary.h"
#include "platform/rtl/object.h"
#include "platform/rtl/units.h"

#include <vector>

class TSettingsKeeperEh;

class TStringObject : public TObject {
  RTL_CLASS(TStringObject, TObject)
public:
  explicit TStringObject(const String& AValue) : Value(AValue) {}
  String ToString() const { return Value; }
  String Value;
};

class TIntegerObject : public TObject {
  RTL_CLASS(TIntegerObject, TObject)
public:
  explicit TIntegerObject(Integer AValue) : Value(AValue) {}
  String ToString() const;
  Integer Value;
};

using TSettingsPairEh = generics::TPair<String, TObject*>;

// Owns its values: each value that leaves it is freed.
class TSettingsKeeperDicEh : public generics::TDictionary<String, TObject*> {
public:
  TSettingsKeeperDicEh() = default;
  ~TSettingsKeeperDicEh() override { Clear(); }

protected:
  // reimplemented
  void ValueNotify(TObject* const& Value, generics::TCollectionNotification Action) override;
};

class TSettingsKeeperEh : public TObject {
  RTL_CLASS(TSettingsKeeperEh, TObject)
public:
  TSettingsKeeperEh() = default;

  // A present key raises EListError "Duplicates not allowed" and changes
  // nothing; there is no replace.
  void Add(const String& Key, const String& Value);
  void Add(const String& Key, Integer Value);
  // Takes ownership of Value once added (not when the key is taken).
  void Add(const String& Key, TSettingsKeeperEh* Value);

  bool TryGetValue(const String& Key, TObject*& Value) const;
  // True only for a sub-keeper, which stays owned here.
  bool TryGetSubsettingsValue(const String& Key, TSettingsKeeperEh*& Value) const;
  // An integer entry, or a string entry that Val reads without error (Value
  // gets what Val produced either way); missing keys and sub-keepers leave
  // Value as it was.
  bool TryGetIntegerValue(const String& Key, Integer& Value) const;
  // Value is "" unless the entry is a string; integers are not converted.
  bool TryGetStringValue(const String& Key, String& Value) const;
  // Every pair, in no defined order.
  std::vector<TSettingsPairEh> ToArray() const { return FDic.ToArray(); }

private:
  void addObject(const String& Key, TObject* Value);

  TSettingsKeeperDicEh FDic;
};

// Orders pairs whose values are keepers by their "ColIndex" (0 when absent);
// any other value raises EInvalidCast.
class TSettingsKeeperEhCollectionByIndexComparer : public TObject {
  RTL_CLASS(TSettingsKeeperEhCollectionByIndexComparer, TObject)
public:
  TSettingsKeeperEhCollectionByIndexComparer() = default;
  Integer Compare(const TSettingsPairEh& Left, const TSettingsPairEh& Right) const;
  bool Equals(const TSettingsPairEh& Left, const TSettingsPairEh& Right) const {
    return Compare(Left, Right) == 0;
  }
  Integer GetHashCode(const TSettingsPairEh&) const { return 0; }

  // The shared instance: made on first use, freed at the unit's shutdown.
  static TSettingsKeeperEhCollectionByIndexComparer* Ordinal();
};

void InitializeSettingsKeeperEh();
void FinalizeSettingsKeeperEh();
inline constexpr TUnit SettingsKeeperUnitEh{"gridlib/base/settingskeeper", &InitializeSettingsKeeperEh,
                                            &FinalizeSettingsKeeperEh};
