#include "platform/rtl/interfaces.h"

#include <QRandomGenerator>
#include <cassert>
#include <vector>

String GUIDToString(const TGUID& Guid) {
  auto Hex = [](UInt64 Value, int Digits) {
    return String::number(Value, 16).rightJustified(Digits, u'0').toUpper();
  };
  String S = u'{' + Hex(Guid.D1, 8) + u'-' + Hex(Guid.D2, 4) + u'-' + Hex(Guid.D3, 4) + u'-';
  for (int I = 0; I < 8; ++I) {
    if (I == 2) S += u'-';
    S += Hex(Guid.D4[I], 2);
  }
  return S + u'}';
}

TGUID StringToGUID(const String& S) {
  TGUID Guid;
  if (!rtl_detail::parseGUID(S.utf16(), static_cast<std::size_t>(S.size()), Guid))
    throw EConvertError(QStringLiteral("'%1' is not a valid GUID value").arg(S));
  return Guid;
}

bool IsEqualGUID(const TGUID& A, const TGUID& B) { return A == B; }

TGUID CreateGUID() {
  quint32 Words[4];
  QRandomGenerator::system()->fillRange(Words);
  TGUID Guid;
  Guid.D1 = Words[0];
  Guid.D2 = static_cast<Word>(Words[1] >> 16);
  Guid.D3 = static_cast<Word>((Words[1] & 0x0FFF) | 0x4000);  // version 4: random
  for (int I = 0; I < 8; ++I) Guid.D4[I] = static_cast<Byte>(Words[2 + I / 4] >> (8 * (I % 4)));
  Guid.D4[0] = static_cast<Byte>((Guid.D4[0] & 0x3F) | 0x80);  // the RFC 4122 variant
  return Guid;
}

Integer TInterfacedObject::AddRef() { return ++FRefCount; }

Integer TInterfacedObject::Release() {
  const Integer Count = --FRefCount;
  assert(Count >= 0 && "interface released more often than referenced");
  if (Count == 0) Free();
  return Count;
}

namespace {

struct TCasterEntry {
  TGUID IID;
  TInterfaceCaster Caster;
};

std::vector<TCasterEntry>* Casters = nullptr;

std::vector<TCasterEntry>& casters() {
  assert(Casters && "interface casters used before the runtime unit was initialized");
  return *Casters;
}

}  // namespace

void InitializeInterfaces() {
  if (!Casters) Casters = new std::vector<TCasterEntry>;
}

void FinalizeInterfaces() {
  delete Casters;
  Casters = nullptr;
}

void RegisterInterfaceCaster(const TGUID& IID, TInterfaceCaster Caster) {
  for (TCasterEntry& E : casters())
    if (E.IID == IID) {
      E.Caster = Caster;
      return;
    }
  casters().push_back({IID, Caster});
}

bool Supports(TObject* Obj, const TGUID& IID, void*& Intf) {
  Intf = nullptr;
  if (!Obj) return false;
  for (const TCasterEntry& E : casters())
    if (E.IID == IID) {
      Intf = E.Caster(Obj);
      break;
    }
  return Intf != nullptr;
}
