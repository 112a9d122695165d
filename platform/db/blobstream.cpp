#include "platform/db/blobstream.h"

#include "platform/db/dataset.h"
#include "platform/db/fieldclasses.h"

#include <cassert>

TBlobStream::TBlobStream(TBlobField* Field, TBlobStreamMode Mode)
    : FField(Field), FDataSet(Field->DataSet()), FMode(Mode) {
  assert(FDataSet && "a blob stream belongs to a field of a dataset");
  if (Mode != bmRead) Field->checkFieldWrite();
  if (Mode == bmWrite) return;
  Variant Value;
  Field->GetData(Value);
  const QByteArray Bytes = TBlobField::StreamBytes(Field->DataType(), Value);
  // The base's Write: loading the value is not a modification.
  TMemoryStream::Write(Bytes.constData(), Integer(Bytes.size()));
  SetPosition(0);
}

TBlobStream::~TBlobStream() {
  if (!FModified) return;
  try {
    storeValue();
  } catch (...) {
    FField->handleDataSetException();
  }
}

Integer TBlobStream::Write(const void* Buffer, Integer Count) {
  if (FMode == bmRead) return 0;
  FModified = true;
  return TMemoryStream::Write(Buffer, Count);
}

void TBlobStream::SetSize(Int64 NewSize) {
  if (FMode == bmRead) return;
  FModified = true;
  TMemoryStream::SetSize(NewSize);
}

void TBlobStream::storeValue() {
  const QByteArray Bytes(static_cast<const char*>(Memory()), qsizetype(Size()));
  FDataSet->SetFieldData(FField, TBlobField::StreamValue(FField->DataType(), Bytes));
  FField->SetModified(true);
}
