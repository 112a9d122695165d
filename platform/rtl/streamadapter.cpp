#include "platform/rtl/streamadapter.h"

#include "platform/rtl/streams.h"

#include <algorithm>
#include <limits>

namespace {

// TStream counts are Integer: larger requests go in pieces.
constexpr Cardinal MaxChunk = Cardinal(std::numeric_limits<Integer>::max());

}  // namespace

HRESULT TStreamAdapter::Read(void* pv, Cardinal cb, Cardinal* pcbRead) {
  if (!pv) return STG_E_INVALIDPOINTER;
  Cardinal Done = 0;
  while (Done < cb) {
    const Integer Count = FStream->Read(static_cast<char*>(pv) + Done, Integer(std::min(cb - Done, MaxChunk)));
    if (Count <= 0) break;
    Done += Cardinal(Count);
  }
  if (pcbRead) *pcbRead = Done;
  return Done < cb ? S_FALSE : S_OK;
}

HRESULT TStreamAdapter::Write(const void* pv, Cardinal cb, Cardinal* pcbWritten) {
  if (!pv) return STG_E_INVALIDPOINTER;
  Cardinal Done = 0;
  while (Done < cb) {
    const Integer Count =
        FStream->Write(static_cast<const char*>(pv) + Done, Integer(std::min(cb - Done, MaxChunk)));
    if (Count <= 0) break;
    Done += Cardinal(Count);
  }
  if (pcbWritten) *pcbWritten = Done;
  return Done < cb ? STG_E_CANTSAVE : S_OK;
}

HRESULT TStreamAdapter::Seek(Int64 dlibMove, Cardinal dwOrigin, UInt64* plibNewPosition) {
  if (dwOrigin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  const Int64 Position = FStream->Seek(dlibMove, TSeekOrigin(dwOrigin));
  if (Position < 0) return STG_E_INVALIDFUNCTION;
  if (plibNewPosition) *plibNewPosition = UInt64(Position);
  return S_OK;
}
