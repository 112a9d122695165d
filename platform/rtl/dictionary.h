// TDictionary: a hash map from keys to values whose descendants hear every
// value and key that enters or leaves it (KeyNotify, ValueNotify), so that a
// dictionary can own its values by freeing each one that leaves.  Order of
// iteration is the table's own (no defined order), as in the original.
#pragma once

#include "platform/rtl/exceptions.h"

#include <QHash>

#include <vector>

namespace generics {

enum TCollectionNotification { cnAdded, cnRemoved, cnExtracted };

template <class K, class V>
struct TPair {
  K Key;
  V Value;
};

template <class K, class V>
class TDictionary {
public:
  TDictionary() = default;
  TDictionary(const TDictionary&) = delete;
  TDictionary& operator=(const TDictionary&) = delete;
  // Removes every pair; notifications run in the destructor of this class,
  // so a descendant that frees values must call Clear in its own destructor.
  virtual ~TDictionary() = default;

  int Count() const { return int(FItems.size()); }
  // A present key raises EListError "Duplicates not allowed"; nothing changes.
  void Add(const K& Key, const V& Value) {
    if (FItems.contains(Key)) throw EListError(QStringLiteral("Duplicates not allowed"));
    FItems.insert(Key, Value);
    KeyNotify(Key, cnAdded);
    ValueNotify(Value, cnAdded);
  }
  bool TryGetValue(const K& Key, V& Value) const {
    const auto It = FItems.constFind(Key);
    if (It == FItems.constEnd()) return false;
    Value = It.value();
    return true;
  }
  bool ContainsKey(const K& Key) const { return FItems.contains(Key); }
  // Nothing when the key is missing.
  void Remove(const K& Key) {
    const auto It = FItems.find(Key);
    if (It == FItems.end()) return;
    const V Value = It.value();
    FItems.erase(It);
    KeyNotify(Key, cnRemoved);
    ValueNotify(Value, cnRemoved);
  }
  void Clear() {
    QHash<K, V> Old;
    Old.swap(FItems);
    for (auto It = Old.cbegin(); It != Old.cend(); ++It) {
      KeyNotify(It.key(), cnRemoved);
      ValueNotify(It.value(), cnRemoved);
    }
  }
  std::vector<TPair<K, V>> ToArray() const {
    std::vector<TPair<K, V>> Result;
    Result.reserve(FItems.size());
    for (auto It = FItems.cbegin(); It != FItems.cend(); ++It) Result.push_back({It.key(), It.value()});
    return Result;
  }

protected:
  virtual void KeyNotify(const K&, TCollectionNotification) {}
  virtual void ValueNotify(const V&, TCollectionNotification) {}

private:
  QHash<K, V> FItems;
};

}  // namespace generics
