#include "platform/fd/fdrow.h"

#include "platform/fd/fdconsts.h"
#include "platform/rtl/numconv.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>

namespace {

enum tag : std::uint8_t { tagNull, tagInt8, tagInt16, tagInt32, tagInt64, tagReal, tagText, tagBlob };

constexpr std::size_t headerSize = sizeof(std::uint32_t);
// A tag and the longest varint of a 64-bit length.
constexpr std::size_t maxValueOverhead = 1 + 10;

template <class T>
T readAs(const std::uint8_t* P) {
  T Value;
  std::memcpy(&Value, P, sizeof(T));
  return Value;
}

std::size_t readVarint(const std::uint8_t*& P) {
  std::size_t Value = 0;
  for (int Shift = 0;; Shift += 7) {
    const std::uint8_t Byte = *P++;
    Value |= std::size_t(Byte & 0x7F) << Shift;
    if (!(Byte & 0x80)) return Value;
  }
}

// Moves P past one value.
void skipValue(const std::uint8_t*& P) {
  switch (*P++) {
    case tagNull: break;
    case tagInt8: P += 1; break;
    case tagInt16: P += 2; break;
    case tagInt32: P += 4; break;
    case tagInt64:
    case tagReal: P += 8; break;
    default: {
      const std::size_t Size = readVarint(P);
      P += Size;
    }
  }
}

TFDValueRef readValue(const std::uint8_t* P) {
  const std::uint8_t Tag = *P++;
  switch (Tag) {
    case tagNull: return TFDValueRef();
    case tagInt8: return TFDValueRef::Integer(readAs<std::int8_t>(P));
    case tagInt16: return TFDValueRef::Integer(readAs<std::int16_t>(P));
    case tagInt32: return TFDValueRef::Integer(readAs<std::int32_t>(P));
    case tagInt64: return TFDValueRef::Integer(readAs<std::int64_t>(P));
    case tagReal: return TFDValueRef::Float(readAs<double>(P));
    default: {
      const std::size_t Size = readVarint(P);
      const char* Data = reinterpret_cast<const char*>(P);
      return Tag == tagText ? TFDValueRef::Text(Data, Size) : TFDValueRef::Blob(Data, Size);
    }
  }
}

int compareBytes(const TFDValueRef& A, const TFDValueRef& B) {
  const int Common = std::memcmp(A.Data, B.Data, std::min(A.Size, B.Size));
  if (Common != 0) return Common;
  return A.Size < B.Size ? -1 : A.Size > B.Size ? 1 : 0;
}

// Exact comparison of an integer with a real, as SQLite does it: converting
// the integer to double would round above 2^53.
int compareIntReal(Int64 I, double R) {
  constexpr double Two63 = 9223372036854775808.0;
  if (R < -Two63) return 1;
  if (R >= Two63) return -1;
  const Int64 Whole = Int64(R);
  if (I != Whole) return I < Whole ? -1 : 1;
  // Equal integral parts: R's fraction decides.  Below 2^53 I converts exactly.
  const double Fraction = R - double(Whole);
  return Fraction > 0 ? -1 : Fraction < 0 ? 1 : 0;
}

int compareNumbers(const TFDValueRef& A, const TFDValueRef& B) {
  const bool AInt = A.Kind == TFDValueKind::Integer;
  const bool BInt = B.Kind == TFDValueKind::Integer;
  if (AInt && BInt) return A.Int < B.Int ? -1 : A.Int > B.Int ? 1 : 0;
  if (AInt) return compareIntReal(A.Int, B.Real);
  if (BInt) return -compareIntReal(B.Int, A.Real);
  return A.Real < B.Real ? -1 : A.Real > B.Real ? 1 : 0;
}

// Numbers share one class in the order.
int sortClass(TFDValueKind Kind) {
  switch (Kind) {
    case TFDValueKind::Null: return 0;
    case TFDValueKind::Integer:
    case TFDValueKind::Real: return 1;
    case TFDValueKind::Text: return 2;
    case TFDValueKind::Blob: return 3;
  }
  return 0;
}

bool isIntegerKind(TVarType Type) {
  switch (Type) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varUInt64:
    case varBoolean:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// values

TFDValueRef TFDValueRef::Integer(Int64 Value) {
  TFDValueRef Ref;
  Ref.Kind = TFDValueKind::Integer;
  Ref.Int = Value;
  return Ref;
}

TFDValueRef TFDValueRef::Float(double Value) {
  TFDValueRef Ref;
  Ref.Kind = TFDValueKind::Real;
  Ref.Real = Value;
  return Ref;
}

TFDValueRef TFDValueRef::Text(const char* Utf8, std::size_t Bytes) {
  TFDValueRef Ref;
  Ref.Kind = TFDValueKind::Text;
  Ref.Data = Utf8;
  Ref.Size = Bytes;
  return Ref;
}

TFDValueRef TFDValueRef::Blob(const char* Bytes, std::size_t Count) {
  TFDValueRef Ref;
  Ref.Kind = TFDValueKind::Blob;
  Ref.Data = Bytes;
  Ref.Size = Count;
  return Ref;
}

int FDCompareValues(const TFDValueRef& A, const TFDValueRef& B) {
  const int ClassA = sortClass(A.Kind);
  const int ClassB = sortClass(B.Kind);
  if (ClassA != ClassB) return ClassA < ClassB ? -1 : 1;
  switch (ClassA) {
    case 0: return 0;
    case 1: return compareNumbers(A, B);
    default: return compareBytes(A, B);
  }
}

bool FDIdenticalValues(const TFDValueRef& A, const TFDValueRef& B) {
  if (A.Kind != B.Kind) return false;
  switch (A.Kind) {
    case TFDValueKind::Null: return true;
    case TFDValueKind::Integer: return A.Int == B.Int;
    // Bitwise: -0.0 is stored as it was written.
    case TFDValueKind::Real: return std::memcmp(&A.Real, &B.Real, sizeof(double)) == 0;
    default: return A.Size == B.Size && std::memcmp(A.Data, B.Data, A.Size) == 0;
  }
}

namespace {
// The decoder reserves one UTF-16 unit per UTF-8 byte, nearly twice what text
// of two-byte letters (Cyrillic) needs; a value may live as long as a table
// holding it does, so the unused end is given back.
String decodeText(const TFDValueRef& Value) {
  String Text = QString::fromUtf8(Value.Data, qsizetype(Value.Size));
  if (Text.capacity() > Text.size()) Text.squeeze();
  return Text;
}
}  // namespace

Variant FDValueToVariant(const TFDValueRef& Value) {
  switch (Value.Kind) {
    case TFDValueKind::Null: return Null();
    case TFDValueKind::Integer: return Variant(Value.Int);
    case TFDValueKind::Real: return Variant(Value.Real);
    case TFDValueKind::Text: return Variant(decodeText(Value));
    case TFDValueKind::Blob: return VarArrayFromBytes(QByteArray(Value.Data, qsizetype(Value.Size)));
  }
  return Null();
}

TFDValueRef FDVariantToValue(const Variant& Value, QByteArray& Scratch) {
  if (VarIsNull(Value) || VarIsEmpty(Value)) return TFDValueRef();
  const TVarType Type = VarType(Value);
  if (Type == varBoolean) return TFDValueRef::Integer(Value.AsBoolean() ? 1 : 0);
  if (isIntegerKind(Type)) return TFDValueRef::Integer(Value.AsInt64());
  if (VarIsArray(Value)) {
    Scratch = VarArrayToByteArray(Value);
    return TFDValueRef::Blob(Scratch.constData(), std::size_t(Scratch.size()));
  }
  if (VarIsNumeric(Value) || Type == varDate) return TFDValueRef::Float(Value.AsDouble());
  Scratch = VarToStr(Value).toUtf8();
  return TFDValueRef::Text(Scratch.constData(), std::size_t(Scratch.size()));
}

// ---------------------------------------------------------------------------
// rows

TFDRow TFDRow::Clone() const {
  TFDRow Copy;
  if (!FData) return Copy;
  const std::size_t Size = ByteSize();
  Copy.FData = std::make_unique_for_overwrite<std::uint8_t[]>(Size);
  std::memcpy(Copy.FData.get(), FData.get(), Size);
  return Copy;
}

std::size_t TFDRow::ByteSize() const { return FData ? readAs<std::uint32_t>(FData.get()) : 0; }

TFDValueRef TFDRow::Value(int Column) const {
  assert(FData && "a value of an empty row");
  const std::uint8_t* P = FData.get() + headerSize;
  for (int I = 0; I < Column; ++I) skipValue(P);
  assert(P < FData.get() + ByteSize() && "column outside the row");
  return readValue(P);
}

bool TFDRow::SameValues(const TFDRow& Other) const {
  const std::size_t Size = ByteSize();
  if (Size != Other.ByteSize()) return false;
  return Size == 0 || std::memcmp(FData.get(), Other.FData.get(), Size) == 0;
}

QByteArray TFDRow::Bytes() const {
  if (!FData) return QByteArray();
  return QByteArray(reinterpret_cast<const char*>(FData.get()) + headerSize, qsizetype(ByteSize() - headerSize));
}

// ---------------------------------------------------------------------------
// building

void TFDRowBuilder::addBytes(const void* Bytes, std::size_t Count) {
  const auto* P = static_cast<const std::uint8_t*>(Bytes);
  FBuffer.insert(FBuffer.end(), P, P + Count);
}

void TFDRowBuilder::addVarint(std::size_t Value) {
  while (Value >= 0x80) {
    FBuffer.push_back(std::uint8_t(Value | 0x80));
    Value >>= 7;
  }
  FBuffer.push_back(std::uint8_t(Value));
}

// The size in the header is 32 bits: a larger row would be cut there and
// later reads would run past its block.
void TFDRowBuilder::checkRoom(std::size_t Payload) {
  if (Payload <= TFDRow::MaxBytes && FBuffer.size() + maxValueOverhead + Payload <= TFDRow::MaxBytes) return;
  FBuffer.clear();
  FDExceptionFmt(FDConsts::SRowTooLarge, {IntToStr(Int64(TFDRow::MaxBytes))});
}

void TFDRowBuilder::Add(const TFDValueRef& Value) {
  if (FBuffer.empty()) FBuffer.resize(headerSize);
  checkRoom(Value.Size);
  switch (Value.Kind) {
    case TFDValueKind::Null:
      FBuffer.push_back(tagNull);
      break;
    case TFDValueKind::Integer: {
      const Int64 I = Value.Int;
      if (I >= std::numeric_limits<std::int8_t>::min() && I <= std::numeric_limits<std::int8_t>::max()) {
        FBuffer.push_back(tagInt8);
        const auto V = std::int8_t(I);
        addBytes(&V, sizeof V);
      } else if (I >= std::numeric_limits<std::int16_t>::min() && I <= std::numeric_limits<std::int16_t>::max()) {
        FBuffer.push_back(tagInt16);
        const auto V = std::int16_t(I);
        addBytes(&V, sizeof V);
      } else if (I >= std::numeric_limits<std::int32_t>::min() && I <= std::numeric_limits<std::int32_t>::max()) {
        FBuffer.push_back(tagInt32);
        const auto V = std::int32_t(I);
        addBytes(&V, sizeof V);
      } else {
        FBuffer.push_back(tagInt64);
        addBytes(&I, sizeof I);
      }
      break;
    }
    case TFDValueKind::Real:
      FBuffer.push_back(tagReal);
      addBytes(&Value.Real, sizeof Value.Real);
      break;
    case TFDValueKind::Text:
    case TFDValueKind::Blob:
      FBuffer.push_back(Value.Kind == TFDValueKind::Text ? tagText : tagBlob);
      addVarint(Value.Size);
      addBytes(Value.Data, Value.Size);
      break;
  }
}

TFDRow TFDRowBuilder::Finish() {
  if (FBuffer.empty()) FBuffer.resize(headerSize);
  assert(FBuffer.size() <= TFDRow::MaxBytes && "Add keeps a row within its 32-bit size");
  const auto Size = std::uint32_t(FBuffer.size());
  std::memcpy(FBuffer.data(), &Size, sizeof Size);
  TFDRow Row;
  Row.FData = std::make_unique_for_overwrite<std::uint8_t[]>(Size);
  std::memcpy(Row.FData.get(), FBuffer.data(), Size);
  FBuffer.clear();
  return Row;
}
