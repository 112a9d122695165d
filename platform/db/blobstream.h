// The dataset's generic blob stream: a memory stream holding a blob field's
// value in its stream form (binary blobs: the bytes; memos: UTF-8; wide memos:
// UTF-16LE).
//
// A stream opened for writing first passes the dataset's CheckFieldWrite; a
// bmWrite stream starts empty, the others hold the current value.  A stream
// that was written or truncated stores its content when it is destroyed,
// through the dataset's SetFieldData (which sends deFieldChange).  A failure
// there goes to the dataset's InternalHandleException: a destructor never
// throws.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/streams.h"

class TBlobField;

class TBlobStream : public TMemoryStream {
  RTL_CLASS(TBlobStream, TMemoryStream)
public:
  // The field must have a dataset; the stream does not own either.
  TBlobStream(TBlobField* Field, TBlobStreamMode Mode);
  ~TBlobStream() override;

  // reimplemented: both mark the stream modified
  Integer Write(const void* Buffer, Integer Count) override;
  void SetSize(Int64 NewSize) override;

  TBlobField* Field() const { return FField; }
  TBlobStreamMode Mode() const { return FMode; }

private:
  void storeValue();

  TBlobField* FField;
  TDataSet* FDataSet;
  TBlobStreamMode FMode;
  bool FModified = false;
};
