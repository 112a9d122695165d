#include "platform/db/blobstream.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/rtl/streampersist.h"
#include "platform/db/testing/rowlistdataset.h"

#include "tests/support/testing.h"

#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace {

// A row-list dataset that counts the deFieldChange events per field.
class TWatchedDataSet : public TRowListDataSet {
public:
  using TRowListDataSet::TRowListDataSet;
  std::vector<TField*> Changed;

protected:
  void DataEvent(TDataEvent Event, std::intptr_t Info) override {
    if (Event == deFieldChange) Changed.push_back(reinterpret_cast<TField*>(Info));
    TRowListDataSet::DataEvent(Event, Info);
  }
};

QByteArray utf16le(const String& S) {
  return QByteArray(reinterpret_cast<const char*>(S.utf16()), S.size() * 2);
}

QByteArray readAll(TStream* Stream) {
  QByteArray Bytes(qsizetype(Stream->Size()), '\0');
  Stream->SetPosition(0);
  Stream->ReadBuffer(Bytes.data(), Bytes.size());
  return Bytes;
}

class BlobStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    FDataSet.reset(new TWatchedDataSet(nullptr));
    FDataSet->SetName("T");
    FDataSet->FieldDefs()->Add("M", ftMemo);
    FDataSet->FieldDefs()->Add("WM", ftWideMemo);
    FDataSet->FieldDefs()->Add("Bl", ftBlob);
    FDataSet->FieldDefs()->Add("Gr", ftGraphic);
    FDataSet->AppendRow({Variant(QString::fromUtf8("Жук")), Variant(QString::fromUtf8("Жу")),
                         VarArrayFromBytes(QByteArray("\x00\x01\xFF", 3)), Null()});
    FDataSet->Open();
  }

  TBlobField* Field(const char* Name) { return dynamic_cast<TBlobField*>(FDataSet->FieldByName(Name)); }
  TOwned<TStream> Open(const char* Name, TBlobStreamMode Mode) {
    return TOwned<TStream>(FDataSet->CreateBlobStream(Field(Name), Mode));
  }

  TOwned<TWatchedDataSet> FDataSet;
};

// The stream form: UTF-8 for memos, UTF-16LE for wide memos, the bytes of
// binary blobs; bmWrite starts empty.
TEST_F(BlobStreamTest, StreamsHoldTheValueInItsStreamForm) {
  struct Case {
    const char* Field;
    TBlobStreamMode Mode;
    QByteArray Expected;
  };
  const Case Cases[] = {
      {"M", bmRead, QByteArray("\xD0\x96\xD1\x83\xD0\xBA")},
      {"M", bmReadWrite, QByteArray("\xD0\x96\xD1\x83\xD0\xBA")},
      {"WM", bmRead, utf16le(QString::fromUtf8("Жу"))},
      {"Bl", bmRead, QByteArray("\x00\x01\xFF", 3)},
      {"Gr", bmRead, QByteArray()},
  };
  FDataSet->Edit();
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.Field) + " mode " + std::to_string(C.Mode));
    TOwned<TStream> Stream = Open(C.Field, C.Mode);
    EXPECT_EQ(Stream->Position(), 0);
    EXPECT_EQ(readAll(Stream.get()), C.Expected);
  }
  EXPECT_EQ(Open("M", bmWrite)->Size(), 0);
  EXPECT_TRUE(FDataSet->Changed.empty());  // nothing written, nothing stored
  EXPECT_EQ(Field("M")->BlobSize(), 6);
  EXPECT_EQ(Field("Gr")->BlobSize(), 0);
}

// A written stream stores its content when it goes, and only then.
TEST_F(BlobStreamTest, WrittenStreamsStoreOnDestruction) {
  struct Case {
    const char* Field;
    QByteArray Written;
    String ExpectedText;  // AsString afterwards
  };
  const Case Cases[] = {
      {"M", QByteArray("\xD0\x9F\xD1\x80\xD0\xB8"), QString::fromUtf8("При")},
      {"WM", utf16le(QString::fromUtf8("Ёж")), QString::fromUtf8("Ёж")},
      {"Bl", QByteArray("\x41\xE9"), QString::fromUtf8("Aé")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Field);
    SetUp();
    TBlobField* F = Field(C.Field);
    int Changes = 0;
    F->SetOnChange(TFieldNotifyEvent([&](TField*) { ++Changes; }));
    FDataSet->Edit();
    const String Before = F->AsString();
    {
      TOwned<TStream> Stream = Open(C.Field, bmWrite);
      Stream->WriteBuffer(C.Written.constData(), C.Written.size());
      EXPECT_EQ(F->AsString(), Before);
      EXPECT_FALSE(F->Modified());
    }
    EXPECT_EQ(F->AsString(), C.ExpectedText);
    EXPECT_TRUE(F->Modified());
    EXPECT_EQ(FDataSet->Changed, std::vector<TField*>{F});
    EXPECT_EQ(Changes, 1);
  }
}

TEST_F(BlobStreamTest, TruncatingClearsTheValue) {
  FDataSet->Edit();
  Open("M", bmReadWrite)->SetSize(0);
  EXPECT_TRUE(Field("M")->IsNull());
  EXPECT_EQ(Field("M")->DisplayText(), String("(memo)"));
  EXPECT_EQ(FDataSet->Changed.size(), 1u);

  // Appending after the current content.
  TOwned<TStream> Stream = Open("Bl", bmReadWrite);
  Stream->Seek(0, soEnd);
  Stream->WriteBuffer("\x02", 1);
  Stream.reset();
  EXPECT_EQ(Field("Bl")->AsBytes(), (TBytes{0x00, 0x01, 0xFF, 0x02}));
}

TEST_F(BlobStreamTest, WriteModesCheckTheDataSetFirst) {
  EXPECT_RAISES(Open("M", bmWrite), EDatabaseError, "T: Dataset not in edit or insert mode");
  EXPECT_RAISES(Open("M", bmReadWrite), EDatabaseError, "T: Dataset not in edit or insert mode");
  EXPECT_EQ(Open("M", bmRead)->Size(), 6);

  Field("M")->SetReadOnly(true);
  FDataSet->Edit();
  EXPECT_RAISES(Open("M", bmWrite), EDatabaseError, "T: Field 'M' cannot be modified");

  // A read stream takes no bytes.
  TOwned<TStream> Stream = Open("Bl", bmRead);
  EXPECT_RAISES(Stream->WriteBuffer("x", 1), EWriteError, "Stream write error");
  Stream->SetSize(0);
  EXPECT_EQ(Stream->Size(), 3);
  Stream.reset();
  EXPECT_TRUE(FDataSet->Changed.empty());
}

// The store runs in a destructor: its failure goes to the application's
// handler and the value stays.
TEST_F(BlobStreamTest, AFailedStoreIsReportedNotThrown) {
  std::vector<String> Reported;
  const TExceptionHandler Saved =
      SetExceptionHandler([&](std::exception_ptr E) { Reported.push_back(ExceptionMessage(E)); });
  Field("M")->SetOnValidate(TFieldNotifyEvent([](TField* Sender) {
    if (Sender->AsString().startsWith(u'x')) throw EDatabaseError(QStringLiteral("no x here"));
  }));
  FDataSet->Edit();
  EXPECT_NO_THROW({
    TOwned<TStream> Stream = Open("M", bmWrite);
    Stream->WriteBuffer("xyz", 3);
  });
  SetExceptionHandler(Saved);
  EXPECT_EQ(Reported, std::vector<String>{"no x here"});
  EXPECT_EQ(Field("M")->AsString(), QString::fromUtf8("Жук"));
  EXPECT_TRUE(FDataSet->Changed.empty());
}

// A picture-like object that persists itself to streams.
class TStreamedPicture : public TPersistent, public IStreamPersist {
public:
  QByteArray Data;
  void LoadFromStream(TStream* Stream) override { Data = readAll(Stream); }
  void SaveToStream(TStream* Stream) override { Stream->WriteBuffer(Data.constData(), Data.size()); }
};

TEST_F(BlobStreamTest, BlobFieldsLoadAndSaveStreamsFilesAndPersistents) {
  FDataSet->Edit();
  TBlobField* Graphic = Field("Gr");

  TStreamedPicture Picture;
  Picture.Data = QByteArray("\x89PNG\r\n", 6);
  Graphic->Assign(&Picture);
  EXPECT_EQ(Graphic->AsBytes(), (TBytes{0x89, 'P', 'N', 'G', '\r', '\n'}));
  EXPECT_EQ(Graphic->DisplayText(), String("(GRAPHIC)"));

  TMemoryStream Saved;
  Graphic->SaveToStream(&Saved);
  EXPECT_EQ(readAll(&Saved), Picture.Data);

  QTemporaryDir Dir;
  ASSERT_TRUE(Dir.isValid());
  const String Path = Dir.filePath("memo.txt");
  Field("M")->SaveToFile(Path);
  Field("Bl")->LoadFromFile(Path);
  EXPECT_EQ(Field("Bl")->AsBytes(), (TBytes{0xD0, 0x96, 0xD1, 0x83, 0xD0, 0xBA}));
  Field("WM")->LoadFromStream(&Saved);  // from the start of the stream, whatever its position
  EXPECT_EQ(Field("WM")->BlobSize(), 6);
  EXPECT_THROW(Field("M")->LoadFromFile(Dir.filePath("missing")), EFOpenError);

  // Another field copies the value, not the stream form.
  Field("WM")->Assign(Field("M"));
  EXPECT_EQ(Field("WM")->AsString(), QString::fromUtf8("Жук"));
}

}  // namespace
