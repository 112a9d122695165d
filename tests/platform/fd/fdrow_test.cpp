#include "platform/fd/fdrow.h"

#include "platform/fd/fdconsts.h"
#include "tests/support/testing.h"

#include <cmath>
#include <limits>

namespace {

// References into Bytes, which must outlive them.
TFDValueRef text(const QByteArray& Bytes) { return TFDValueRef::Text(Bytes.constData(), std::size_t(Bytes.size())); }
TFDValueRef blob(const QByteArray& Bytes) { return TFDValueRef::Blob(Bytes.constData(), std::size_t(Bytes.size())); }

}  // namespace

TEST(FDRow, ValuesRoundTripAtEveryWidthBoundary) {
  constexpr Int64 Min64 = std::numeric_limits<Int64>::min();
  constexpr Int64 Max64 = std::numeric_limits<Int64>::max();
  const Int64 Integers[] = {0, -1, 127, 128, -128, -129, 32767, 32768, -32768, -32769,
                            2147483647, 2147483648LL, -2147483648LL, -2147483649LL, Min64, Max64};
  const QByteArray Texts[] = {QByteArray(), QByteArray(127, 'a'), QByteArray(128, 'b'), QByteArray(16384, 'c'),
                              QByteArray("\xD0\x9F\xF0\x9F\x98\x80")};
  TFDRowBuilder Builder;
  for (const Int64 I : Integers) Builder.Add(TFDValueRef::Integer(I));
  for (const QByteArray& T : Texts) Builder.Add(text(T));
  Builder.Add(blob(QByteArray("\0\1\2", 3)));
  Builder.Add(TFDValueRef::Float(-0.0));
  Builder.Add(TFDValueRef());
  const TFDRow Row = Builder.Finish();

  int Column = 0;
  for (const Int64 I : Integers) {
    const TFDValueRef V = Row.Value(Column++);
    EXPECT_EQ(V.Kind, TFDValueKind::Integer);
    EXPECT_EQ(V.Int, I);
  }
  for (const QByteArray& T : Texts) {
    const TFDValueRef V = Row.Value(Column++);
    EXPECT_EQ(V.Kind, TFDValueKind::Text);
    EXPECT_EQ(QByteArray(V.Data, qsizetype(V.Size)), T);
  }
  EXPECT_EQ(Row.Value(Column).Kind, TFDValueKind::Blob);
  EXPECT_EQ(Row.Value(Column++).Size, 3u);
  EXPECT_TRUE(std::signbit(Row.Value(Column++).Real));
  EXPECT_TRUE(Row.Value(Column).IsNull());

  const TFDRow Copy = Row.Clone();
  EXPECT_TRUE(Copy.SameValues(Row));
  EXPECT_EQ(Copy.ByteSize(), Row.ByteSize());
}

TEST(FDRow, OrderIsTheEnginesBinaryOrder) {
  const QByteArray Ascii("Z");
  const QByteArray Lower("a");
  const QByteArray Cyrillic("\xD0\x90");       // U+0410
  const QByteArray Astral("\xF0\x9F\x98\x80");  // U+1F600, above every BMP letter
  const QByteArray Private("\xEE\x80\x80");     // U+E000
  const QByteArray Empty, Ab("ab"), Abc("abc");
  struct Case {
    const char* Name;
    TFDValueRef A;
    TFDValueRef B;
    int Expected;
  } Cases[] = {
      {"null below numbers", TFDValueRef(), TFDValueRef::Integer(std::numeric_limits<Int64>::min()), -1},
      {"null equals null", TFDValueRef(), TFDValueRef(), 0},
      {"numbers below text", TFDValueRef::Float(1e300), text(Empty), -1},
      {"text below blobs", text(Astral), blob(Empty), -1},
      {"integer equals real", TFDValueRef::Integer(1), TFDValueRef::Float(1.0), 0},
      {"integer below a fraction above it", TFDValueRef::Integer(1), TFDValueRef::Float(1.5), -1},
      {"negative fraction", TFDValueRef::Integer(-1), TFDValueRef::Float(-1.5), 1},
      {"2^53 + 1 beyond double", TFDValueRef::Integer(9007199254740993LL), TFDValueRef::Float(9007199254740992.0), 1},
      {"upper case before lower", text(Ascii), text(Lower), -1},
      {"Latin before Cyrillic", text(Lower), text(Cyrillic), -1},
      {"code points, not UTF-16 units", text(Private), text(Astral), -1},
      {"prefix first", text(Ab), text(Abc), -1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const int Result = FDCompareValues(C.A, C.B);
    EXPECT_EQ((Result > 0) - (Result < 0), C.Expected);
    const int Reverse = FDCompareValues(C.B, C.A);
    EXPECT_EQ((Reverse > 0) - (Reverse < 0), -C.Expected);
  }
  EXPECT_FALSE(FDIdenticalValues(TFDValueRef::Integer(1), TFDValueRef::Float(1.0)));
}

TEST(FDRow, VariantsBecomeStorageClasses) {
  struct Case {
    const char* Name;
    Variant Value;
    TFDValueKind Kind;
  } Cases[] = {
      {"null", Null(), TFDValueKind::Null},
      {"unassigned", Variant(), TFDValueKind::Null},
      {"integer", Variant(42), TFDValueKind::Integer},
      {"int64", Variant(Int64(1) << 40), TFDValueKind::Integer},
      {"boolean", Variant(true), TFDValueKind::Integer},
      {"double", Variant(2.5), TFDValueKind::Real},
      {"currency", Variant(Currency(3)), TFDValueKind::Real},
      {"date", VarFromDateTime(45000.5), TFDValueKind::Real},
      {"text", Variant(QStringLiteral("Ж")), TFDValueKind::Text},
      {"bytes", VarArrayFromBytes(QByteArray("\x01\x02", 2)), TFDValueKind::Blob},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    QByteArray Scratch;
    const TFDValueRef Ref = FDVariantToValue(C.Value, Scratch);
    EXPECT_EQ(Ref.Kind, C.Kind);
  }
  QByteArray Scratch;
  EXPECT_EQ(FDVariantToValue(Variant(true), Scratch).Int, 1);
  EXPECT_EQ(FDValueToVariant(FDVariantToValue(Variant(QStringLiteral("Ж")), Scratch)).AsString(), QStringLiteral("Ж"));
  EXPECT_EQ(VarType(FDValueToVariant(TFDValueRef::Integer(7))), varInt64);
  const QByteArray X("x");
  EXPECT_TRUE(VarIsArray(FDValueToVariant(blob(X))));
}

// The row's size is 32 bits: a value that would take the row past it is
// refused before its bytes are read, so these references may claim more
// bytes than they point to.
TEST(FDRow, ARowBeyondItsSizeFieldIsRefused) {
  const QByteArray Small(100, 's');
  const char* Claimed = Small.constData();
  struct Case {
    const char* Name;
    std::size_t Before;  // bytes of a real value added first
    std::size_t Size;    // bytes the refused value claims
  } Cases[] = {
      {"one value of 4 GiB", 0, TFDRow::MaxBytes},
      {"a value past 64 bits of room", 0, std::numeric_limits<std::size_t>::max()},
      {"the values together", 100, TFDRow::MaxBytes - 100},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFDRowBuilder Builder;
    if (C.Before) Builder.Add(blob(Small.left(qsizetype(C.Before))));
    EXPECT_RAISES(Builder.Add(TFDValueRef::Blob(Claimed, C.Size)), EFDException,
                  "A row of the result is larger than 4294967295 bytes and cannot be held");
    // The refused row is dropped: the builder makes the next one whole.
    Builder.Add(TFDValueRef::Integer(7));
    const TFDRow Row = Builder.Finish();
    EXPECT_EQ(Row.Value(0).Int, 7);
    EXPECT_EQ(Row.ByteSize(), 4u + 1 + 1);
  }
}
