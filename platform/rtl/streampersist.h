// IStreamPersist: an object that can write itself to a stream and read
// itself back.  Blob fields take such objects in Assign (a picture's bytes
// go into a graphic field without a header).
#pragma once

#include "platform/rtl/interfaces.h"

class TStream;

class IStreamPersist : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{63C3CDD4-3591-4B9C-9387-A4C47AEEC231}");
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
};
