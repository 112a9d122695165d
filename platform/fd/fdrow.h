// Values as SQLite holds them, and the packed rows a dataset keeps in memory.
//
// A dataset holds every fetched row, so a row is one heap block in a compact
// form that keeps text as the UTF-8 the database gave (decoded only when a
// field is read):
//
//   offset 0   uint32   size of the whole block in bytes, header included
//                       (so a row holds at most MaxBytes)
//   offset 4   values, one per column in column order; each is a tag byte
//              followed by its payload:
//                0 Null     -
//                1 Int8     1 byte      signed, little-endian; the
//                2 Int16    2 bytes     smallest width that holds the
//                3 Int32    4 bytes     value
//                4 Int64    8 bytes
//                5 Real     8 bytes (IEEE double)
//                6 Text     varint length, then the UTF-8 bytes
//                7 Blob     varint length, then the bytes
//
// The varint is LEB128: 7 bits per byte, low group first, high bit set on
// every byte but the last.  Reading column N walks the N values before it;
// rows have a handful of columns, and the walk is a few byte reads each.
#pragma once

#include "platform/rtl/variant.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// SQLite's storage classes, in the order SQLite sorts them.
enum class TFDValueKind : std::uint8_t { Null, Integer, Real, Text, Blob };

// One value, borrowed: Text and Blob point into storage (a row, a statement,
// a scratch array) that must outlive the reference.
struct TFDValueRef {
  TFDValueKind Kind = TFDValueKind::Null;
  Int64 Int = 0;
  double Real = 0;
  const char* Data = nullptr;  // Text (UTF-8) and Blob bytes
  std::size_t Size = 0;

  static TFDValueRef Integer(Int64 Value);
  static TFDValueRef Float(double Value);
  static TFDValueRef Text(const char* Utf8, std::size_t Bytes);
  static TFDValueRef Blob(const char* Bytes, std::size_t Count);
  bool IsNull() const { return Kind == TFDValueKind::Null; }
};

// SQLite's order (BINARY collation): Null < numbers (integers and reals by
// value, exactly) < text (by bytes, which for UTF-8 is code-point order) <
// blobs (by bytes).  Answers <0, 0 or >0.
int FDCompareValues(const TFDValueRef& A, const TFDValueRef& B);
// The same storage class and the same bytes: an integer 1 and a real 1.0
// differ here although they compare equal.
bool FDIdenticalValues(const TFDValueRef& A, const TFDValueRef& B);

// Integer -> Int64, Real -> Double, Text -> String, Blob -> byte array,
// Null -> Null.
Variant FDValueToVariant(const TFDValueRef& Value);
// A field value as the database stores it: integer kinds and booleans (1/0)
// -> Integer, other numbers and dates -> Real, text -> Text, byte arrays ->
// Blob, Null and Unassigned -> Null.  Scratch holds the bytes of a Text or
// Blob result; the reference is valid while Scratch is unchanged.
TFDValueRef FDVariantToValue(const Variant& Value, QByteArray& Scratch);

class TFDRow {
public:
  TFDRow() = default;
  TFDRow(TFDRow&&) noexcept = default;
  TFDRow& operator=(TFDRow&&) noexcept = default;

  // The largest block the 32-bit size can describe.
  static constexpr std::size_t MaxBytes = 0xFFFFFFFF;

  // A row without storage (no values at all).
  bool IsEmpty() const { return !FData; }
  TFDRow Clone() const;
  std::size_t ByteSize() const;
  // The value of a 0-based column; the row must have that many columns.
  TFDValueRef Value(int Column) const;
  // Every value identical (FDIdenticalValues), column for column.
  bool SameValues(const TFDRow& Other) const;
  // The packed values, for keys made of whole rows (refresh matching).
  QByteArray Bytes() const;

private:
  friend class TFDRowBuilder;
  std::unique_ptr<std::uint8_t[]> FData;
};

// Packs values column by column into rows; its buffer is reused, so one
// builder makes many rows with a single allocation each.
class TFDRowBuilder {
public:
  // A value that would make the row larger than TFDRow::MaxBytes raises
  // EFDException before any of it is read, and the row is dropped: the next
  // Add starts a new one.
  void Add(const TFDValueRef& Value);
  // The row of the values added since the last Finish.
  TFDRow Finish();

private:
  void checkRoom(std::size_t Payload);
  void addVarint(std::size_t Value);
  void addBytes(const void* Bytes, std::size_t Count);

  std::vector<std::uint8_t> FBuffer;
};
