// The memory table's blob stream: the stream form of each blob type, writes
// stored when the stream goes, the write checks, files through the field.
#include "gridlib/memtable/memblobstream.h"

#include "gridlib/memtable/memtable.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "tests/gridlib/memtable/memtablefixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace memtabletest;

namespace {

class MemBlobStream : public ::testing::Test {
protected:
  MemBlobStream() : F({{"Id", ftInteger}, {"Memo", ftMemo}, {"WideMemo", ftWideMemo}, {"Data", ftBlob}}) {
    F.Table->CreateDataSet();
    F.AppendRow({1, QStringLiteral("жук"), QStringLiteral("ün"), VarArrayFromBytes(QByteArray("\x00\x7F", 2))});
    F.AppendRow({2, Null(), Null(), Null()});
    F.Table->First();
  }
  TBlobField* blob(const char* Name) { return static_cast<TBlobField*>(F.Field(Name)); }
  std::unique_ptr<TStream> open(const char* Name, TBlobStreamMode Mode) {
    return std::unique_ptr<TStream>(F.Table->CreateBlobStream(blob(Name), Mode));
  }
  static QByteArray content(TStream* Stream) {
    QByteArray Bytes(qsizetype(Stream->Size()), '\0');
    Stream->SetPosition(0);
    Stream->Read(Bytes.data(), Integer(Bytes.size()));
    return Bytes;
  }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemBlobStream, HoldsTheStreamFormOfEachBlobType) {
  const struct {
    const char* Field;
    QByteArray Bytes;
  } Cases[] = {{"Memo", QStringLiteral("жук").toUtf8()},
               {"WideMemo", QByteArray("\xFC\x00n\x00", 4)},
               {"Data", QByteArray("\x00\x7F", 2)}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Field);
    const auto Stream = open(C.Field, bmRead);
    EXPECT_TRUE(Is<TMemBlobStreamEh>(Stream.get()));
    EXPECT_EQ(Stream->Position(), 0);
    EXPECT_EQ(content(Stream.get()), C.Bytes);
    EXPECT_EQ(blob(C.Field)->BlobSize(), Integer(C.Bytes.size()));
  }
  F.Table->Next();
  EXPECT_EQ(open("Memo", bmRead)->Size(), 0) << "a Null blob gives an empty stream";
}

TEST_F(MemBlobStream, AWrittenStreamStoresItsContentWhenItGoes) {
  F.Table->Edit();
  auto Stream = open("Memo", bmWrite);
  EXPECT_EQ(Stream->Size(), 0) << "bmWrite starts empty";
  Stream->Write("abc", 3);
  EXPECT_EQ(F.Field("Memo")->AsString(), QStringLiteral("жук"));
  F.Link.Clear();
  Stream.reset();
  EXPECT_EQ(F.Field("Memo")->AsString(), QStringLiteral("abc"));
  EXPECT_TRUE(blob("Memo")->Modified());
  EXPECT_EQ(F.Link.CallNames(), (std::vector<String>{"RecordChanged(Memo)"}));
  F.Table->Post();
  EXPECT_EQ(content(open("Memo", bmRead).get()), QByteArray("abc"));
}

TEST_F(MemBlobStream, AReadStreamChangesNothing) {
  F.Table->Edit();
  auto Stream = open("Data", bmRead);
  EXPECT_EQ(Stream->Write("zz", 2), 0);
  Stream.reset();
  EXPECT_FALSE(blob("Data")->Modified());
  F.Table->Post();
  EXPECT_EQ(blob("Data")->AsBytes(), (TBytes{0x00, 0x7F}));
}

TEST_F(MemBlobStream, WritingNeedsEditingAndAWritableField) {
  EXPECT_RAISES(open("Memo", bmWrite), EDatabaseError, "Dataset not in edit or insert mode");
  EXPECT_RAISES(open("Memo", bmReadWrite), EDatabaseError, "Dataset not in edit or insert mode");
  F.Field("Memo")->SetReadOnly(true);
  F.Table->Edit();
  EXPECT_RAISES(open("Memo", bmWrite), EDatabaseError, "Field 'Memo' cannot be modified");
  EXPECT_EQ(open("Memo", bmRead)->Size(), 6);
}

TEST_F(MemBlobStream, AFieldOfAnotherDatasetIsRefused) {
  auto* Other = new TRowListDataSet(nullptr);
  const TScopeExit Free([Other] { Other->Free(); });
  Other->FieldDefs()->Add(QStringLiteral("Memo"), ftMemo);
  Other->AppendRow({QStringLiteral("x")});
  Other->Open();
  EXPECT_THROW(TMemBlobStreamEh(static_cast<TBlobField*>(Other->Fields()->Fields(0)), bmRead), EInvalidCast);
}

TEST_F(MemBlobStream, FilesRoundTripThroughTheField) {
  QTemporaryDir Dir;
  const String In = Dir.filePath(QStringLiteral("in.bin"));
  const String Out = Dir.filePath(QStringLiteral("out.bin"));
  QByteArray Bytes(1 << 20, '\0');
  for (qsizetype I = 0; I < Bytes.size(); ++I) Bytes[I] = char((I * 131) % 251);
  {
    QFile File(In);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
  }
  F.Table->Edit();
  blob("Data")->LoadFromFile(In);
  F.Table->Post();
  blob("Data")->SaveToFile(Out);
  QFile File(Out);
  ASSERT_TRUE(File.open(QIODevice::ReadOnly));
  EXPECT_TRUE(File.readAll() == Bytes);
}
