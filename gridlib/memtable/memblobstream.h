// TMemBlobStreamEh: the stream a memory table gives for a blob field of its
// current record.  It holds the platform's stream form of the value (binary
// blobs: the bytes; memos: UTF-8; wide memos: UTF-16LE), so a blob field reads
// the same bytes from a memory table as from any other dataset.  A stream
// that was written or truncated stores its content in the record when it is
// destroyed, and the field is marked modified.
#pragma once

#include "platform/db/blobstream.h"

class TMemBlobStreamEh : public TBlobStream {
  RTL_CLASS(TMemBlobStreamEh, TBlobStream)
public:
  // Field's dataset must be a memory table ("Invalid class typecast"
  // otherwise); the stream owns neither.  Writing modes raise "Dataset not in
  // edit or insert mode" in browse mode and "Field '%s' cannot be modified"
  // for a read-only field.  Without a current record the stream is empty.
  TMemBlobStreamEh(TBlobField* Field, TBlobStreamMode Mode);
};
