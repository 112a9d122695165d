#include "platform/rtl/filer.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/variant.h"

#include <QStringList>

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr Byte FilerSignature[] = {'T', 'P', 'F', '0'};
// A prefix byte has its high nibble set; the flags sit in the low one.
constexpr Byte PrefixMark = 0xF0;
constexpr Byte PrefixFlagMask = 0x07;
constexpr int MaxShortString = 255;
// An x87 extended float: a 64-bit mantissa with an explicit integer bit, then
// the sign and a 15-bit exponent biased by 16383.
constexpr int ExtendedSize = 10;
constexpr int ExtendedBias = 16383;
constexpr int ExtendedMantissaBits = 63;
constexpr int ExtendedMaxExponent = 0x7FFF;

[[noreturn]] void readError() { throw EReadError(QStringLiteral("Stream read error")); }
[[noreturn]] void writeError() { throw EWriteError(QStringLiteral("Stream write error")); }

double extendedToDouble(const Byte* Bytes) {
  UInt64 Mantissa = 0;
  for (int I = 7; I >= 0; --I) Mantissa = (Mantissa << 8) | Bytes[I];
  const int SignExponent = Bytes[8] | (Bytes[9] << 8);
  const int Exponent = SignExponent & ExtendedMaxExponent;
  double Value;
  if (Exponent == ExtendedMaxExponent)
    Value = (Mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  else
    Value = std::ldexp(double(Mantissa), Exponent - ExtendedBias - ExtendedMantissaBits);
  return (SignExponent & 0x8000) ? -Value : Value;
}

bool isAscii(const String& S) {
  const char16_t* Chars = QStringView(S).utf16();
  char16_t Bits = 0;
  for (qsizetype I = 0; I < S.size(); ++I) Bits |= Chars[I];
  return Bits < 0x80;
}

bool isIntegerTag(TValueType Value) { return Value == vaInt8 || Value == vaInt16 || Value == vaInt32; }

// The name error messages give an instance: a component's name, else its class.
String instanceName(TPersistent* Instance) {
  if (auto* C = dynamic_cast<TComponent*>(Instance); C && !C->Name().isEmpty()) return C->Name();
  return Instance->ClassName();
}

// How a reference to Component is written when references are named within
// LookupRoot: its name when LookupRoot owns it, "Owner" for LookupRoot itself,
// "OwnerName.Name" for a component of another named root; "" when it cannot
// be named.
String referenceName(TComponent* Component, TComponent* LookupRoot) {
  if (!Component) return String();
  if (Component->Owner() == LookupRoot) return Component->Name();
  if (Component == LookupRoot) return QStringLiteral("Owner");
  if (Component->Name().isEmpty()) return String();
  if (Component->Owner() && !Component->Owner()->Name().isEmpty())
    return Component->Owner()->Name() + u'.' + Component->Name();
  return Component->Name() + QStringLiteral(".Owner");
}

bool sameLines(TStrings& A, TStrings& B) {
  if (A.Count() != B.Count()) return false;
  for (Integer I = 0; I < A.Count(); ++I)
    if (A.Strings(I) != B.Strings(I)) return false;
  return true;
}

// A string list streams its lines as its "Strings" property, a list of
// strings; below an ancestor list, only when the lines differ from it.  The
// filers declare it for every TStrings before the list's own
// DefineProperties, so that no string list class needs to know of filers.
void defineStrings(TFiler& Filer, TStrings& Lines) {
  bool HasData = Lines.Count() > 0;
  if (Filer.Ancestor()) {
    auto* AncestorLines = dynamic_cast<TStrings*>(Filer.Ancestor());
    HasData = !AncestorLines || !sameLines(*AncestorLines, Lines);
  }
  const TReaderProc ReadLines([&Lines](TReader* Reader) {
    Reader->ReadListBegin();
    {
      Lines.BeginUpdate();
      const TScopeExit EndUpdateOnExit([&Lines] { Lines.EndUpdate(); });
      Lines.Clear();
      while (!Reader->EndOfList()) Lines.Add(Reader->ReadString());
    }
    Reader->ReadListEnd();
  });
  const TWriterProc WriteLines([&Lines](TWriter* Writer) {
    Writer->WriteListBegin();
    for (Integer I = 0; I < Lines.Count(); ++I) Writer->WriteString(Lines.Strings(I));
    Writer->WriteListEnd();
  });
  Filer.DefineProperty(QStringLiteral("Strings"), ReadLines, WriteLines, HasData);
}

// Whether the property holds the same value in Instance and in Ancestor
// (AncestorProp being the same property in Ancestor's table).
bool sameAsAncestor(TPersistent* Instance, const TPropInfo* PropInfo, TPersistent* Ancestor,
                    const TPropInfo* AncestorProp) {
  switch (PropInfo->Kind()) {
    case tkFloat:
      return PropInfo->GetFloat(Instance) == AncestorProp->GetFloat(Ancestor);
    case tkString:
      return PropInfo->GetStr(Instance) == AncestorProp->GetStr(Ancestor);
    case tkVariant: {
      const Variant A = GetPropValue(Instance, PropInfo);
      const Variant B = GetPropValue(Ancestor, AncestorProp);
      return VarType(A) == VarType(B) && VarCompareValue(A, B) == vrEqual;
    }
    default:  // the ordinal kinds
      return PropInfo->GetOrd(Instance) == AncestorProp->GetOrd(Ancestor);
  }
}

// Depth one level deeper for as long as the result lives; past
// MaxStreamNesting levels the read fails instead of the stack.
auto nestingScope(int& Depth) {
  if (Depth >= MaxStreamNesting)
    throw EReadError(QStringLiteral("Stream nesting exceeds %d levels"), {MaxStreamNesting});
  ++Depth;
  return TScopeExit([&Depth] { --Depth; });
}

}  // namespace

// ---------------------------------------------------------------- TFiler

TFiler::TFiler(TStream* AStream, int BufSize) : FStream(AStream), FBuffer(std::size_t(BufSize)) {
  assert(AStream && BufSize > 0 && "a filer needs a stream and a buffer");
}

TFiler::~TFiler() = default;

// ---------------------------------------------------------------- TReader

TReader::TReader(TStream* AStream, int BufSize) : TFiler(AStream, BufSize) {}

TReader::~TReader() { FlushBuffer(); }

void TReader::FlushBuffer() {
  if (FBufPos < FBufEnd) FStream->Seek(FBufPos - FBufEnd, soCurrent);
  FBufPos = FBufEnd = 0;
}

void TReader::fillBuffer() {
  FBufPos = 0;
  FBufEnd = std::max(0, FStream->Read(FBuffer.data(), Integer(FBuffer.size())));
  if (FBufEnd == 0) readError();
}

Byte TReader::readByte() {
  if (FBufPos == FBufEnd) fillBuffer();
  return FBuffer[FBufPos++];
}

Byte TReader::peekByte() {
  if (FBufPos == FBufEnd) fillBuffer();
  return FBuffer[FBufPos];
}

void TReader::Read(void* Buffer, Int64 Count) {
  if (Count < 0) readError();
  auto* Target = static_cast<Byte*>(Buffer);
  while (Count > 0) {
    if (FBufPos == FBufEnd) {
      if (Count >= Int64(FBuffer.size())) {
        FStream->ReadBuffer(Target, Count);
        return;
      }
      fillBuffer();
    }
    const int Step = int(std::min<Int64>(Count, FBufEnd - FBufPos));
    std::memcpy(Target, FBuffer.data() + FBufPos, std::size_t(Step));
    FBufPos += Step;
    Target += Step;
    Count -= Step;
  }
}

UInt64 TReader::readLittleEndian(int Bytes) {
  Byte Buffer[sizeof(UInt64)];
  Read(Buffer, Bytes);
  UInt64 Value = 0;
  for (int I = Bytes - 1; I >= 0; --I) Value = (Value << 8) | Buffer[I];
  return Value;
}

Int64 TReader::bytesLeft() {
  return (FBufEnd - FBufPos) + std::max<Int64>(0, FStream->Size() - FStream->Position());
}

Integer TReader::readCount(int UnitSize) {
  const Integer Count = Integer(Cardinal(readLittleEndian(4)));
  // Bytes already buffered need no look at the stream, whose size and
  // position may each cost a system call (a file).
  if (Count < 0) readError();
  if (Int64(Count) * UnitSize > FBufEnd - FBufPos && Int64(Count) * UnitSize > bytesLeft()) readError();
  return Count;
}

const char* TReader::readContiguous(Integer Count) {
  if (FBufEnd - FBufPos >= Count) {
    const char* Bytes = reinterpret_cast<const char*>(FBuffer.data()) + FBufPos;
    FBufPos += Count;
    return Bytes;
  }
  FScratch.resize(std::size_t(Count));
  Read(FScratch.data(), Count);
  return FScratch.data();
}

void TReader::skipBytes(Int64 Count) {
  if (Count < 0 || Count > bytesLeft()) readError();
  const int Buffered = int(std::min<Int64>(Count, FBufEnd - FBufPos));
  FBufPos += Buffered;
  if (Count > Buffered) FStream->Seek(Count - Buffered, soCurrent);
}

void TReader::propValueError() { throw EReadError(QStringLiteral("Invalid property value")); }

Int64 TReader::Position() { return FStream->Position() - (FBufEnd - FBufPos); }

void TReader::SetPosition(Int64 Value) {
  FStream->SetPosition(Value);
  FBufPos = FBufEnd = 0;
}

// --- structure

void TReader::ReadSignature() {
  Byte Signature[sizeof FilerSignature];
  Read(Signature, sizeof Signature);
  if (std::memcmp(Signature, FilerSignature, sizeof Signature) != 0)
    throw EReadError(QStringLiteral("Invalid stream format"));
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& AChildPos) {
  Flags = TFilerFlags();
  if ((peekByte() & PrefixMark) != PrefixMark) return;
  Flags = TFilerFlags::FromBits(readByte() & PrefixFlagMask);
  if (Flags.Contains(ffChildPos)) AChildPos = ReadInteger();
}

TValueType TReader::NextValue() { return TValueType(peekByte()); }

TValueType TReader::ReadValue() { return TValueType(readByte()); }

void TReader::CheckValue(TValueType Value) {
  if (ReadValue() != Value) propValueError();
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::ReadListBegin() { CheckValue(vaList); }

void TReader::ReadListEnd() { CheckValue(vaNull); }

void TReader::SkipValue() {
  const auto Nesting = nestingScope(FNesting);
  switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      return;
    case vaList:
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    case vaInt8:
      skipBytes(1);
      return;
    case vaInt16:
      skipBytes(2);
      return;
    case vaInt32:
    case vaSingle:
      skipBytes(4);
      return;
    case vaInt64:
    case vaDouble:
    case vaCurrency:
    case vaDate:
      skipBytes(8);
      return;
    case vaExtended:
      skipBytes(ExtendedSize);
      return;
    case vaString:
    case vaIdent:
      skipBytes(readByte());
      return;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
      skipBytes(readCount(1));
      return;
    case vaWString:
      skipBytes(Int64(readCount(2)) * 2);
      return;
    case vaSet:
      for (Byte Length = readByte(); Length != 0; Length = readByte()) skipBytes(Length);
      return;
    case vaCollection:
      while (!EndOfList()) {
        if (isIntegerTag(NextValue())) SkipValue();
        ReadListBegin();
        while (!EndOfList()) skipProperty();
        ReadListEnd();
      }
      ReadListEnd();
      return;
  }
  propValueError();
}

void TReader::skipProperty() {
  skipBytes(readByte());
  SkipValue();
}

void TReader::skipComponent(bool SkipHeader) {
  const auto Nesting = nestingScope(FNesting);
  if (SkipHeader) {
    TFilerFlags Flags;
    int Position = 0;
    ReadPrefix(Flags, Position);
    ReadStr();
    ReadStr();
  }
  while (!EndOfList()) skipProperty();
  ReadListEnd();
  while (!EndOfList()) skipComponent(/*SkipHeader=*/true);
  ReadListEnd();
}

// --- values

bool TReader::ReadBoolean() {
  switch (ReadValue()) {
    case vaTrue:
      return true;
    case vaFalse:
      return false;
    default:
      propValueError();
  }
}

Char TReader::ReadChar() {
  const String S = ReadString();
  if (S.size() != 1) propValueError();
  return S[0];
}

Integer TReader::ReadInteger() {
  switch (ReadValue()) {
    case vaInt8:
      return ShortInt(readByte());
    case vaInt16:
      return SmallInt(readLittleEndian(2));
    case vaInt32:
      return Integer(readLittleEndian(4));
    default:
      propValueError();
  }
}

Int64 TReader::ReadInt64() {
  if (NextValue() != vaInt64) return ReadInteger();
  ReadValue();
  return Int64(readLittleEndian(8));
}

double TReader::ReadFloat() {
  switch (NextValue()) {
    case vaExtended: {
      ReadValue();
      Byte Bytes[ExtendedSize];
      Read(Bytes, ExtendedSize);
      return extendedToDouble(Bytes);
    }
    case vaDouble:
      ReadValue();
      return std::bit_cast<double>(readLittleEndian(8));
    case vaSingle:
      return ReadSingle();
    case vaCurrency:
      return ReadCurrency().ToDouble();
    case vaDate:
      return ReadDate();
    default:
      return double(ReadInt64());
  }
}

float TReader::ReadSingle() {
  if (NextValue() != vaSingle) return float(ReadFloat());
  ReadValue();
  return std::bit_cast<float>(Cardinal(readLittleEndian(4)));
}

Currency TReader::ReadCurrency() {
  if (NextValue() != vaCurrency) return Currency(ReadFloat());
  ReadValue();
  return Currency::FromRaw(Int64(readLittleEndian(8)));
}

TDateTime TReader::ReadDate() {
  if (NextValue() != vaDate) return ReadFloat();
  ReadValue();
  return std::bit_cast<double>(readLittleEndian(8));
}

String TReader::ReadStr() {
  const Integer Count = readByte();
  return TEncoding::UTF8()->GetString(reinterpret_cast<const Byte*>(readContiguous(Count)), Count);
}

// Strings decode straight from the buffer: a copy of their bytes first would
// double the allocations of a stream that is mostly text.
String TReader::ReadString() {
  const TValueType Tag = ReadValue();
  switch (Tag) {
    case vaString:
    case vaLString: {
      const Integer Count = Tag == vaString ? readByte() : readCount(1);
      return TEncoding::ANSI()->GetString(reinterpret_cast<const Byte*>(readContiguous(Count)), Count);
    }
    case vaUTF8String: {
      const Integer Count = readCount(1);
      return TEncoding::UTF8()->GetString(reinterpret_cast<const Byte*>(readContiguous(Count)), Count);
    }
    case vaWString: {
      const Integer Length = readCount(2);
      String Result(Length, Qt::Uninitialized);
      for (Char& C : Result) C = Char(char16_t(readLittleEndian(2)));
      return Result;
    }
    default:
      propValueError();
  }
}

String TReader::ReadIdent() {
  switch (ReadValue()) {
    case vaIdent:
      return ReadStr();
    case vaFalse:
      return QStringLiteral("False");
    case vaTrue:
      return QStringLiteral("True");
    case vaNil:
      return QStringLiteral("nil");
    case vaNull:
      return QStringLiteral("Null");
    default:
      propValueError();
  }
}

Variant TReader::ReadVariant() {
  switch (NextValue()) {
    case vaNil:
      ReadValue();
      return Unassigned();
    case vaNull:
      ReadValue();
      return Null();
    case vaFalse:
    case vaTrue:
      return Variant(ReadBoolean());
    case vaInt8:
    case vaInt16:
    case vaInt32:
      return Variant(ReadInteger());
    case vaInt64:
      return Variant(ReadInt64());
    case vaExtended:
    case vaDouble:
      return Variant(ReadFloat());
    case vaSingle:
      return Variant(ReadSingle());
    case vaCurrency:
      return Variant(ReadCurrency());
    case vaDate:
      return VarFromDateTime(ReadDate());
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String:
      return Variant(ReadString());
    default:
      propValueError();
  }
}

TBytes TReader::ReadBinary() {
  CheckValue(vaBinary);
  TBytes Bytes(std::size_t(readCount(1)));
  Read(Bytes.data(), Int64(Bytes.size()));
  return Bytes;
}

// --- DefineProperties

void TReader::DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (!ReadData || !SameText(Name, FPropName)) return;
  ReadData(this);
  FPropName.clear();
}

void TReader::DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (!ReadData || !SameText(Name, FPropName)) return;
  const TBytes Bytes = ReadBinary();
  TMemoryStream Data;
  Data.WriteBuffer(Bytes.data(), Int64(Bytes.size()));
  Data.SetPosition(0);
  ReadData(&Data);
  FPropName.clear();
}

void TReader::defineProperties(TPersistent* Instance) {
  if (auto* Lines = dynamic_cast<TStrings*>(Instance)) defineStrings(*this, *Lines);
  Instance->DefineProperties(this);
}

// --- properties

void TReader::ReadProperty(TPersistent* AInstance) {
  const String PropPath = ReadStr();
  const Int64 ValueStart = Position();
  try {
    try {
      readPropertyPath(AInstance, PropPath);
    } catch (const Exception& E) {
      throw EReadError(QStringLiteral("Error reading %s.%s: %s"), {instanceName(AInstance), PropPath, E.Message});
    }
  } catch (const EReadError& E) {
    if (!Error(E.Message)) throw;
    // The value's extent is known from its tags, whatever was read of it.
    SetPosition(ValueStart);
    SkipValue();
  }
}

void TReader::readPropertyPath(TPersistent* AInstance, const String& PropPath) {
  const QStringList Parts = PropPath.split(u'.');
  TPersistent* Instance = AInstance;
  for (qsizetype I = 0; I + 1 < Parts.size(); ++I) {
    FPropName = Parts[I];
    Instance = stepIntoSubObject(Instance, FPropName);
    if (!Instance) return;
  }
  FPropName = Parts.last();
  if (const TPropInfo* P = GetPropInfo(Instance, FPropName)) {
    readPropValue(Instance, P);
    return;
  }
  defineProperties(Instance);
  if (FPropName.isEmpty()) return;
  bool Handled = false;
  bool Skip = false;
  if (OnPropertyNotFound) OnPropertyNotFound(this, Instance, FPropName, /*IsPath=*/false, Handled, Skip);
  if (Skip) {
    SkipValue();
    return;
  }
  const TPropInfo* Renamed = Handled ? GetPropInfo(Instance, FPropName) : nullptr;
  if (!Renamed) throw EReadError(QStringLiteral("Property %s does not exist"), {FPropName});
  readPropValue(Instance, Renamed);
}

// The persistent the path part PropName leads to; nullptr when
// OnPropertyNotFound had the value skipped.
TPersistent* TReader::stepIntoSubObject(TPersistent* Instance, String& PropName) {
  const TPropInfo* P = GetPropInfo(Instance, PropName);
  if (!P && OnPropertyNotFound) {
    bool Handled = false;
    bool Skip = false;
    OnPropertyNotFound(this, Instance, PropName, /*IsPath=*/true, Handled, Skip);
    if (Skip) {
      SkipValue();
      return nullptr;
    }
    if (Handled) P = GetPropInfo(Instance, PropName);
  }
  TPersistent* Sub = P && P->Kind() == tkClass ? dynamic_cast<TPersistent*>(P->GetObject(Instance)) : nullptr;
  if (!Sub) throw EReadError(QStringLiteral("Property %s does not exist"), {PropName});
  return Sub;
}

void TReader::readPropValue(TPersistent* Instance, const TPropInfo* PropInfo) {
  switch (PropInfo->Kind()) {
    case tkInteger: {
      Integer Value = 0;
      if (NextValue() != vaIdent)
        Value = ReadInteger();
      else if (!IdentToInt(ReadIdent(), Value, PropInfo->IdentMap))
        propValueError();
      SetOrdProp(Instance, PropInfo, Value);
      return;
    }
    case tkChar:
      SetOrdProp(Instance, PropInfo, ReadChar().unicode());
      return;
    case tkEnumeration: {
      const Integer Value = GetEnumValue(PropInfo->PropType, ReadIdent());
      if (Value < 0) propValueError();
      SetOrdProp(Instance, PropInfo, Value);
      return;
    }
    case tkSet:
      SetOrdProp(Instance, PropInfo, Int64(readSetBits(PropInfo->PropType->CompType)));
      return;
    case tkInt64:
      SetOrdProp(Instance, PropInfo, ReadInt64());
      return;
    case tkFloat:
      SetFloatProp(Instance, PropInfo, ReadFloat());
      return;
    case tkString:
      SetStrProp(Instance, PropInfo, ReadString());
      return;
    case tkVariant:
      SetPropValue(Instance, PropInfo, ReadVariant());
      return;
    case tkClass:
      readObjectProp(Instance, PropInfo);
      return;
    case tkMethod:
      // Events are not streamed; a hand-written text may still name one.
      SkipValue();
      return;
    case tkUnknown:
      break;
  }
  propValueError();
}

void TReader::readObjectProp(TPersistent* Instance, const TPropInfo* PropInfo) {
  switch (NextValue()) {
    case vaNil:
      ReadValue();
      SetObjectProp(Instance, PropInfo, nullptr);
      return;
    case vaCollection: {
      ReadValue();
      auto* Collection = dynamic_cast<TCollection*>(GetObjectProp(Instance, PropInfo));
      if (!Collection) propValueError();
      ReadCollection(Collection);
      return;
    }
    default: {
      String Name = ReadIdent();
      if (!PropInfo->SetObject) propValueError();
      FFixups.push_back({Instance, PropInfo, std::move(Name), FLookupRoot});
      return;
    }
  }
}

UInt64 TReader::readSetBits(const TTypeInfo* CompType) {
  CheckValue(vaSet);
  UInt64 Bits = 0;
  for (String Name = ReadStr(); !Name.isEmpty(); Name = ReadStr()) {
    const Integer Value = GetEnumValue(CompType, Name);
    if (Value < 0) propValueError();
    Bits |= UInt64(1) << Value;
  }
  return Bits;
}

bool TReader::isWithin(TPersistent* Instance, TPersistent* Container) {
  for (TPersistent* P = Instance; P; P = P->GetOwner())
    if (P == Container) return true;
  return false;
}

void TReader::ReadCollection(TCollection* Collection) {
  const auto Nesting = nestingScope(FNesting);
  Collection->BeginUpdate();
  const TScopeExit EndUpdateOnExit([Collection] { Collection->EndUpdate(); });
  // The items go, and with them any reference still waiting to be set in one.
  std::erase_if(FFixups, [Collection](const TFixup& F) { return isWithin(F.Instance, Collection); });
  Collection->Clear();
  while (!EndOfList()) {
    if (isIntegerTag(NextValue())) ReadInteger();
    TCollectionItem* Item = Collection->Add();
    ReadListBegin();
    while (!EndOfList()) ReadProperty(Item);
    ReadListEnd();
  }
  ReadListEnd();
}

// --- components

bool TReader::Error(const String& Message) {
  bool Handled = false;
  if (OnError) OnError(this, Message, Handled);
  return Handled;
}

TClass TReader::lookupComponentClass(const String& ClassName) {
  TClass Result = GetClass(ClassName);
  if (!Result && OnFindComponentClass) OnFindComponentClass(this, ClassName, Result);
  return Result && Result->InheritsFrom(TComponent::StaticClass()) ? Result : nullptr;
}

TClass TReader::FindComponentClass(const String& ClassName) {
  if (TClass Result = lookupComponentClass(ClassName)) return Result;
  throw EClassNotFound(QStringLiteral("Class %s not found"), {ClassName});
}

void TReader::SetName(TComponent* Component, String& Name) {
  if (OnSetName) OnSetName(this, Component, Name);
  Component->SetName(Name);
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  ReadSignature();
  TFilerFlags Flags;
  int Position = 0;
  ReadPrefix(Flags, Position);
  const String ClassName = ReadStr();
  String Name = ReadStr();
  TComponent* Created = nullptr;
  TScopeExit FreeCreated([&Created] {
    if (Created) Created->Free();
  });
  TComponent* Result = Root;
  if (!Result) {
    Result = Created = FindComponentClass(ClassName)->Create(static_cast<TComponent*>(nullptr));
  } else if (!SameText(ClassName, Root->ClassName())) {
    throw EReadError(QStringLiteral("Cannot read a %s into a %s"), {ClassName, Root->ClassName()});
  }
  Result->FComponentState += TComponentState{csLoading, csReading};
  SetName(Result, Name);
  FRoot = Result;
  FLookupRoot = Result;
  FOwner = Result;
  FLoaded.assign(1, Result);
  const TScopeExit ForgetLoaded([this] { FLoaded.clear(); });
  Result->ReadState(this);
  Result->FComponentState.Exclude(csReading);
  for (TComponent* C : FLoaded) C->Loaded();
  FreeCreated.Release();
  return Result;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
  const auto Nesting = nestingScope(FNesting);
  TFilerFlags Flags;
  int ChildPos = 0;
  ReadPrefix(Flags, ChildPos);
  const String ClassName = ReadStr();
  const String Name = ReadStr();
  TComponent* const OldParent = FParent;
  TComponent* const OldLookupRoot = FLookupRoot;
  const TScopeExit Restore([&] {
    FParent = OldParent;
    FLookupRoot = OldLookupRoot;
  });
  const bool Inherited = Flags.Contains(ffInherited);
  TComponent* Created = nullptr;
  TScopeExit FreeCreated([&Created] {
    if (Created) Created->Free();
  });
  TComponent* Result = Component;
  try {
    if (!Result && Inherited)
      Result = findExistingComponent(ClassName, Name);
    else if (!Result)
      Result = createComponent(ClassName, Flags, Created);
    Result->FComponentState.Include(csLoading);
    if (!Inherited) setComponentName(Result, Name);
  } catch (const Exception& E) {
    if (!Error(E.Message)) throw;
    skipComponent(/*SkipHeader=*/false);
    return nullptr;
  }
  if (Result->FComponentState.Contains(csInline)) FLookupRoot = Result;
  Result->FComponentState.Include(csReading);
  Result->ReadState(this);
  Result->FComponentState.Exclude(csReading);
  if (Flags.Contains(ffChildPos) && FParent) FParent->SetChildOrder(Result, ChildPos);
  if (std::find(FLoaded.begin(), FLoaded.end(), Result) == FLoaded.end()) FLoaded.push_back(Result);
  FreeCreated.Release();
  return Result;
}

TComponent* TReader::createComponent(const String& ClassName, TFilerFlags Flags, TComponent*& Created) {
  const TClass ComponentClass = FindComponentClass(ClassName);
  TComponent* Result = nullptr;
  if (OnCreateComponent) OnCreateComponent(this, ComponentClass, Result);
  // A component the hook answers may be one that lives on (a container's
  // own part); only what the reader made itself is freed on failure.
  if (!Result) Result = Created = ComponentClass->Create(FOwner);
  if (Flags.Contains(ffInline)) Result->FComponentState.Include(csInline);
  return Result;
}

TComponent* TReader::findExistingComponent(const String& ClassName, const String& Name) {
  TComponent* Result = FLookupRoot ? FLookupRoot->FindComponent(Name) : nullptr;
  if (!Result && OnAncestorNotFound) OnAncestorNotFound(this, Name, lookupComponentClass(ClassName), Result);
  if (!Result) throw EReadError(QStringLiteral("Ancestor for '%s' not found"), {Name});
  FParent = Result->GetParentComponent();
  if (!FParent) FParent = FRoot;
  return Result;
}

void TReader::setComponentName(TComponent* Component, const String& Name) {
  if (FParent) Component->SetParentComponent(FParent);
  String NewName = Name;
  SetName(Component, NewName);
}

void TReader::ReadData(TComponent* Instance) {
  if (FCollectingFixups) {
    readDataInner(Instance);
    return;
  }
  FCollectingFixups = true;
  const TScopeExit EndFixups([this] {
    FCollectingFixups = false;
    FFixups.clear();
  });
  readDataInner(Instance);
  fixupReferences();
}

void TReader::readDataInner(TComponent* Instance) {
  while (!EndOfList()) ReadProperty(Instance);
  ReadListEnd();
  TComponent* const OldParent = FParent;
  TComponent* const OldOwner = FOwner;
  const TScopeExit Restore([&] {
    FParent = OldParent;
    FOwner = OldOwner;
  });
  FParent = Instance->GetChildParent();
  FOwner = Instance->GetChildOwner();
  if (!FOwner) FOwner = FRoot;
  while (!EndOfList()) ReadComponent(nullptr);
  ReadListEnd();
}

// A name that finds no component, or one of another class than the
// property's, leaves the property as it was.
void TReader::fixupReferences() {
  for (const TFixup& F : FFixups) {
    TComponent* Target = resolveReference(F);
    if (Target && Target->InheritsFrom(F.PropInfo->PropType->ClassType)) SetObjectProp(F.Instance, F.PropInfo, Target);
  }
  FFixups.clear();
}

// Resolves "Name", "Owner", "Name.Sub" within the fixup's lookup root; a first
// part it does not own may name a sibling of the lookup root.
TComponent* TReader::resolveReference(const TFixup& Fixup) const {
  TComponent* const Root = Fixup.LookupRoot;
  if (!Root) return nullptr;
  const QStringList Parts = Fixup.Name.split(u'.');
  TComponent* Result = Root->FindComponent(Parts.first());
  if (!Result && SameText(Parts.first(), QStringLiteral("Owner"))) Result = Root;
  if (!Result && Root->Owner()) Result = Root->Owner()->FindComponent(Parts.first());
  for (qsizetype I = 1; Result && I < Parts.size(); ++I)
    if (!SameText(Parts[I], QStringLiteral("Owner"))) Result = Result->FindComponent(Parts[I]);
  return Result;
}

// ---------------------------------------------------------------- TWriter

TWriter::TWriter(TStream* AStream, int BufSize) : TFiler(AStream, BufSize) {}

TWriter::~TWriter() {
  try {
    FlushBuffer();
  } catch (const Exception&) {
    HandleException(std::current_exception());
  }
}

void TWriter::FlushBuffer() {
  const int Count = FBufPos;
  FBufPos = 0;
  if (Count > 0) FStream->WriteBuffer(FBuffer.data(), Count);
}

void TWriter::Write(const void* Buffer, Int64 Count) {
  assert(Count >= 0 && "negative write count");
  // An empty value may come with no buffer at all, which memcpy must not see.
  if (Count == 0) return;
  const Int64 Size = Int64(FBuffer.size());
  if (FBufPos + Count > Size) FlushBuffer();
  if (Count >= Size) {
    FStream->WriteBuffer(Buffer, Count);
    return;
  }
  std::memcpy(FBuffer.data() + FBufPos, Buffer, std::size_t(Count));
  FBufPos += int(Count);
}

void TWriter::writeByte(Byte Value) {
  if (FBufPos == int(FBuffer.size())) FlushBuffer();
  FBuffer[FBufPos++] = Value;
}

void TWriter::writeLittleEndian(UInt64 Value, int Bytes) {
  Byte Buffer[sizeof(UInt64)];
  for (int I = 0; I < Bytes; ++I) {
    Buffer[I] = Byte(Value);
    Value >>= 8;
  }
  Write(Buffer, Bytes);
}

Int64 TWriter::Position() { return FStream->Position() + FBufPos; }

// --- structure

void TWriter::WriteSignature() { Write(FilerSignature, sizeof FilerSignature); }

void TWriter::WritePrefix(TFilerFlags Flags, int AChildPos) {
  if (Flags.Empty()) return;
  writeByte(Byte(PrefixMark | Flags.Bits()));
  if (Flags.Contains(ffChildPos)) WriteInteger(AChildPos);
}

void TWriter::WriteValue(TValueType Value) { writeByte(Value); }

void TWriter::WriteListBegin() { WriteValue(vaList); }

void TWriter::WriteListEnd() { WriteValue(vaNull); }

// --- values

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteChar(Char Value) { WriteString(String(Value)); }

void TWriter::WriteInteger(Int64 Value) {
  if (Value >= INT8_MIN && Value <= INT8_MAX) {
    WriteValue(vaInt8);
    writeLittleEndian(UInt64(Value), 1);
  } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
    WriteValue(vaInt16);
    writeLittleEndian(UInt64(Value), 2);
  } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
    WriteValue(vaInt32);
    writeLittleEndian(UInt64(Value), 4);
  } else {
    WriteValue(vaInt64);
    writeLittleEndian(UInt64(Value), 8);
  }
}

void TWriter::WriteFloat(double Value) {
  WriteValue(vaDouble);
  writeLittleEndian(std::bit_cast<UInt64>(Value), 8);
}

void TWriter::WriteSingle(float Value) {
  WriteValue(vaSingle);
  writeLittleEndian(std::bit_cast<Cardinal>(Value), 4);
}

void TWriter::WriteCurrency(Currency Value) {
  WriteValue(vaCurrency);
  writeLittleEndian(UInt64(Value.Raw()), 8);
}

void TWriter::WriteDate(TDateTime Value) {
  WriteValue(vaDate);
  writeLittleEndian(std::bit_cast<UInt64>(Value), 8);
}

void TWriter::WriteStr(const String& Value) {
  const QByteArray Bytes = UTF8Encode(Value);
  if (Bytes.size() > MaxShortString)
    throw EWriteError(QStringLiteral("Name of %d bytes exceeds the 255 of a short string: %s"),
                      {Integer(Bytes.size()), Value});
  writeByte(Byte(Bytes.size()));
  Write(Bytes.constData(), Bytes.size());
}

void TWriter::WriteString(const String& Value) {
  if (!isAscii(Value)) {
    const QByteArray Bytes = UTF8Encode(Value);
    WriteValue(vaUTF8String);
    writeLittleEndian(UInt64(Bytes.size()), 4);
    Write(Bytes.constData(), Bytes.size());
    return;
  }
  if (Value.size() <= MaxShortString) {
    WriteValue(vaString);
    writeByte(Byte(Value.size()));
  } else {
    WriteValue(vaLString);
    writeLittleEndian(UInt64(Value.size()), 4);
  }
  writeNarrowed(Value);
}

// ASCII text goes into the buffer a char per byte, with no copy between.
void TWriter::writeNarrowed(const String& Ascii) {
  const char16_t* Chars = QStringView(Ascii).utf16();
  qsizetype Left = Ascii.size();
  while (Left > 0) {
    if (FBufPos == int(FBuffer.size())) FlushBuffer();
    const auto Step = int(std::min<qsizetype>(Left, qsizetype(FBuffer.size()) - FBufPos));
    Byte* Out = FBuffer.data() + FBufPos;
    for (int I = 0; I < Step; ++I) Out[I] = Byte(Chars[I]);
    FBufPos += Step;
    Chars += Step;
    Left -= Step;
  }
}

void TWriter::WriteIdent(const String& Ident) {
  if (SameText(Ident, QStringLiteral("False")))
    WriteValue(vaFalse);
  else if (SameText(Ident, QStringLiteral("True")))
    WriteValue(vaTrue);
  else if (SameText(Ident, QStringLiteral("Null")))
    WriteValue(vaNull);
  else if (SameText(Ident, QStringLiteral("nil")))
    WriteValue(vaNil);
  else {
    WriteValue(vaIdent);
    WriteStr(Ident);
  }
}

void TWriter::WriteVariant(const Variant& Value) {
  if (VarIsArray(Value)) writeError();
  switch (VarType(Value) & varTypeMask) {
    case varEmpty:
      WriteValue(vaNil);
      return;
    case varNull:
      WriteValue(vaNull);
      return;
    case varOleStr:
    case varString:
    case varUString:
      WriteString(VarToStr(Value));
      return;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64:
    case varUInt64:
      WriteInteger(Value.AsInt64());
      return;
    case varSingle:
      WriteSingle(float(Value.AsDouble()));
      return;
    case varDouble:
      WriteFloat(Value.AsDouble());
      return;
    case varCurrency:
      WriteCurrency(Value.AsCurrency());
      return;
    case varDate:
      WriteDate(Value.AsDateTime());
      return;
    case varBoolean:
      WriteBoolean(Value.AsBoolean());
      return;
    default:
      writeError();
  }
}

void TWriter::WriteBinary(const void* Data, Int64 Count) {
  if (Count < 0 || Count > std::numeric_limits<Integer>::max()) writeError();
  WriteValue(vaBinary);
  writeLittleEndian(UInt64(Count), 4);
  Write(Data, Count);
}

// --- DefineProperties

void TWriter::DefineProperty(const String& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  writePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const String& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  writePropName(Name);
  TMemoryStream Data;
  WriteData(&Data);
  WriteBinary(Data.Memory(), Data.Size());
}

void TWriter::defineProperties(TPersistent* Instance) {
  if (auto* Lines = dynamic_cast<TStrings*>(Instance)) defineStrings(*this, *Lines);
  Instance->DefineProperties(this);
}

// --- properties

void TWriter::writePropName(const String& Name) { WriteStr(FPropPath + Name); }

void TWriter::WriteProperties(TPersistent* Instance) {
  const TPropertyTable& Props = Instance->ClassType()->Properties();
  for (int I = 0; I < Props.Count(); ++I)
    if (IsStoredProp(Instance, Props.Items(I))) writeProperty(Instance, Props.Items(I));
  defineProperties(Instance);
}

void TWriter::writeProperty(TPersistent* Instance, const TPropInfo* PropInfo) {
  const TTypeKind Kind = PropInfo->Kind();
  if (Kind == tkMethod) return;  // events are not streamed
  const TPropInfo* AncestorProp = FAncestor ? GetPropInfo(FAncestor, PropInfo->Name) : nullptr;
  if (AncestorProp && AncestorProp->Kind() != Kind) AncestorProp = nullptr;
  if (Kind == tkClass) {
    writeObjectProp(Instance, PropInfo, AncestorProp);
    return;
  }
  // A value without a setter could not be read back.
  if (!PropInfo->IsWritable()) return;
  if (AncestorProp ? sameAsAncestor(Instance, PropInfo, FAncestor, AncestorProp)
                   : IsDefaultPropertyValue(Instance, PropInfo))
    return;
  writePropName(PropInfo->Name);
  switch (Kind) {
    case tkFloat: {
      const double Value = PropInfo->GetFloat(Instance);
      if (PropInfo->PropType->FloatType == TFloatType::ftCurr)
        WriteCurrency(Currency(Value));
      else if (PropInfo->PropType->FloatType == TFloatType::ftDateTime)
        WriteDate(Value);
      else
        WriteFloat(Value);
      return;
    }
    case tkString:
      WriteString(PropInfo->GetStr(Instance));
      return;
    case tkVariant:
      WriteVariant(GetPropValue(Instance, PropInfo));
      return;
    default:
      writeOrdValue(PropInfo, PropInfo->GetOrd(Instance));
  }
}

void TWriter::writeOrdValue(const TPropInfo* PropInfo, Int64 Value) {
  switch (PropInfo->Kind()) {
    case tkInteger: {
      String Ident;
      if (IntToIdent(Integer(Value), Ident, PropInfo->IdentMap))
        WriteIdent(Ident);
      else
        WriteInteger(Value);
      return;
    }
    case tkChar:
      WriteChar(Char(char16_t(Value)));
      return;
    case tkEnumeration:
      WriteIdent(GetEnumName(PropInfo->PropType, Integer(Value)));
      return;
    case tkSet: {
      const TTypeInfo* Comp = PropInfo->PropType->CompType;
      WriteValue(vaSet);
      for (Integer I = Comp->MinValue(); I <= Comp->MaxValue(); ++I)
        if (UInt64(Value) & (UInt64(1) << I)) WriteStr(GetEnumName(Comp, I));
      WriteStr(String());
      return;
    }
    default:
      WriteInteger(Value);
  }
}

// A component that is not a sub-component is a reference, written by name;
// any other persistent is part of Instance: a collection is written whole,
// the rest through its own properties under dotted names.
void TWriter::writeObjectProp(TPersistent* Instance, const TPropInfo* PropInfo, const TPropInfo* AncestorProp) {
  TObject* const Value = PropInfo->GetObject(Instance);
  TObject* const AncestorValue = AncestorProp ? AncestorProp->GetObject(FAncestor) : nullptr;
  auto* const Component = dynamic_cast<TComponent*>(Value);
  if (!Value || (Component && !Component->ComponentStyle().Contains(csSubComponent))) {
    writeReferenceProp(PropInfo, Component, AncestorProp);
    return;
  }
  if (auto* Collection = dynamic_cast<TCollection*>(Value)) {
    if (AncestorProp && collectionsEqual(Collection, dynamic_cast<TCollection*>(AncestorValue))) return;
    writePropName(PropInfo->Name);
    WriteCollection(Collection);
    return;
  }
  if (auto* Persistent = dynamic_cast<TPersistent*>(Value)) writeSubObject(PropInfo, Persistent, AncestorValue);
}

void TWriter::writeReferenceProp(const TPropInfo* PropInfo, TComponent* Value, const TPropInfo* AncestorProp) {
  if (!PropInfo->SetObject) return;
  const String Reference = referenceName(Value, FLookupRoot);
  if (Value && Reference.isEmpty()) return;  // an unnamed component cannot be referred to
  if (AncestorProp) {
    auto* AncestorValue = dynamic_cast<TComponent*>(AncestorProp->GetObject(FAncestor));
    if (SameText(Reference, referenceName(AncestorValue, FRootAncestor))) return;
  } else if (!Value) {
    return;
  }
  writePropName(PropInfo->Name);
  if (Value)
    WriteIdent(Reference);
  else
    WriteValue(vaNil);
}

void TWriter::writeSubObject(const TPropInfo* PropInfo, TPersistent* Value, TObject* AncestorValue) {
  TPersistent* const OldAncestor = FAncestor;
  const String OldPropPath = FPropPath;
  const TScopeExit Restore([&] {
    FAncestor = OldAncestor;
    FPropPath = OldPropPath;
  });
  FAncestor = dynamic_cast<TPersistent*>(AncestorValue);
  FPropPath += PropInfo->Name + u'.';
  WriteProperties(Value);
}

// Collections are equal when they would be written alike, each with its
// references named within its own root.
bool TWriter::collectionsEqual(TCollection* A, TCollection* B) {
  if (!B || A->ClassType() != B->ClassType() || A->Count() != B->Count()) return false;
  auto Written = [](TCollection* C, TComponent* Root, TMemoryStream& Stream) {
    TWriter Writer(&Stream);
    Writer.FRoot = Root;
    Writer.FLookupRoot = Root;
    Writer.WriteCollection(C);
    Writer.FlushBuffer();
  };
  TMemoryStream StreamA;
  TMemoryStream StreamB;
  Written(A, FLookupRoot, StreamA);
  Written(B, FRootAncestor, StreamB);
  return StreamA.Size() == StreamB.Size() &&
         std::memcmp(StreamA.Memory(), StreamB.Memory(), std::size_t(StreamA.Size())) == 0;
}

void TWriter::WriteCollection(TCollection* Value) {
  TPersistent* const OldAncestor = FAncestor;
  const String OldPropPath = FPropPath;
  const TScopeExit Restore([&] {
    FAncestor = OldAncestor;
    FPropPath = OldPropPath;
  });
  FAncestor = nullptr;
  FPropPath.clear();
  WriteValue(vaCollection);
  for (int I = 0; Value && I < Value->Count(); ++I) {
    WriteListBegin();
    WriteProperties(Value->Items(I));
    WriteListEnd();
  }
  WriteListEnd();
}

// --- components

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
  FRootAncestor = AAncestor;
  FAncestor = AAncestor;
  FRoot = Root;
  FLookupRoot = Root;
  WriteSignature();
  WriteComponent(Root);
}

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

void TWriter::WriteComponent(TComponent* Component) {
  TPersistent* const OldAncestor = FAncestor;
  TComponent* const OldRootAncestor = FRootAncestor;
  TComponent* const OldLookupRoot = FLookupRoot;
  const TScopeExit Restore([&] {
    FAncestor = OldAncestor;
    FRootAncestor = OldRootAncestor;
    FLookupRoot = OldLookupRoot;
    Component->FComponentState.Exclude(csWriting);
  });
  if (FAncestorList) {
    auto Same = std::find_if(FAncestorList->begin(), FAncestorList->end(),
                             [Component](TComponent* C) { return SameText(C->Name(), Component->Name()); });
    FAncestor = Same == FAncestorList->end() ? nullptr : *Same;
  }
  Component->FComponentState.Include(csWriting);
  if (Component->FComponentState.Contains(csInline)) FLookupRoot = Component;
  Component->WriteState(this);
}

// With an ancestor, the children it already has are matched by name; a child
// found out of the ancestor's order, or a new one before ancestor children
// still to come, carries its position.
void TWriter::WriteData(TComponent* Instance) {
  const TComponentState State = Instance->ComponentState();
  TFilerFlags Flags;
  if (State.Contains(csInline))
    Flags.Include(FAncestor && State.Contains(csAncestor) && FAncestorList ? ffInherited : ffInline);
  else if (FAncestor)
    Flags.Include(ffInherited);
  const bool AncestorsLeft = FAncestorList && FAncestorPos < int(FAncestorList->size());
  if (AncestorsLeft && (!FAncestor || (*FAncestorList)[FAncestorPos] != FAncestor)) Flags.Include(ffChildPos);
  WritePrefix(Flags, FChildPos);
  WriteStr(Instance->ClassName());
  WriteStr(Instance->Name());
  if (AncestorsLeft) {
    if (FAncestor) ++FAncestorPos;
    ++FChildPos;
  }
  WriteProperties(Instance);
  WriteListEnd();

  std::vector<TComponent*>* const OldAncestorList = FAncestorList;
  const int OldAncestorPos = FAncestorPos;
  const int OldChildPos = FChildPos;
  TComponent* const OldRoot = FRoot;
  TComponent* const OldRootAncestor = FRootAncestor;
  const TScopeExit Restore([&] {
    FAncestorList = OldAncestorList;
    FAncestorPos = OldAncestorPos;
    FChildPos = OldChildPos;
    FRoot = OldRoot;
    FRootAncestor = OldRootAncestor;
  });
  std::vector<TComponent*> AncestorChildren;
  FAncestorList = nullptr;
  FAncestorPos = 0;
  FChildPos = 0;
  if (!FIgnoreChildren) {
    if (auto* AncestorComponent = dynamic_cast<TComponent*>(FAncestor)) {
      if (AncestorComponent->ComponentState().Contains(csInline)) FRootAncestor = AncestorComponent;
      const TGetChildProc AddAncestor([&AncestorChildren](TComponent* C) { AncestorChildren.push_back(C); });
      AncestorComponent->GetChildren(AddAncestor, FRootAncestor);
      FAncestorList = &AncestorChildren;
    }
    if (State.Contains(csInline)) FRoot = Instance;
    Instance->GetChildren(TGetChildProc(this, &TWriter::WriteComponent), FRoot);
  }
  WriteListEnd();
}
