// IStream, the byte-stream interface that image decoders read, and
// TStreamAdapter, which offers a runtime TStream through it.
#pragma once

#include "platform/rtl/interfaces.h"

#include <cstdint>

class TStream;

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;  // fewer bytes than asked for
inline constexpr HRESULT STG_E_INVALIDPOINTER = HRESULT(0x80030009u);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = HRESULT(0x80030001u);
inline constexpr HRESULT STG_E_CANTSAVE = HRESULT(0x80030103u);

// Seek origins of IStream::Seek.
inline constexpr Cardinal STREAM_SEEK_SET = 0;
inline constexpr Cardinal STREAM_SEEK_CUR = 1;
inline constexpr Cardinal STREAM_SEEK_END = 2;

class IStream : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{0000000C-0000-0000-C000-000000000046}");
  // Up to cb bytes into pv; *pcbRead (when given) how many.  S_FALSE when
  // fewer than cb were left.
  virtual HRESULT Read(void* pv, Cardinal cb, Cardinal* pcbRead) = 0;
  virtual HRESULT Write(const void* pv, Cardinal cb, Cardinal* pcbWritten) = 0;
  // *plibNewPosition (when given) the new position.
  virtual HRESULT Seek(Int64 dlibMove, Cardinal dwOrigin, UInt64* plibNewPosition) = 0;
};

// IStream over a TStream.  The adapter only refers to the stream: the
// caller keeps it alive and frees it.
class TStreamAdapter : public TInterfacedObject, public IStream {
  RTL_CLASS(TStreamAdapter, TInterfacedObject)
public:
  explicit TStreamAdapter(TStream* Stream) : FStream(Stream) {}

  HRESULT Read(void* pv, Cardinal cb, Cardinal* pcbRead) override;
  HRESULT Write(const void* pv, Cardinal cb, Cardinal* pcbWritten) override;
  HRESULT Seek(Int64 dlibMove, Cardinal dwOrigin, UInt64* plibNewPosition) override;

  TStream* Stream() const { return FStream; }

private:
  TStream* FStream;
};
