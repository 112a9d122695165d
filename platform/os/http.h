// The HTTP client: TNetHTTPClient runs a synchronous GET into memory over
// libcurl and hands back the final response.
//
// Only http and https are spoken, also after a redirect; at most 5 redirects
// are followed and the response is the last one.  A response with an error
// status (404, 500) is still a response: it raises nothing.  What raises
// ENetHTTPClientException, with libcurl's text, is a transfer that does not
// end in a complete response: no connection within ConnectionTimeout, a gap
// of more than ResponseTimeout without a byte, a body shorter than its
// announced length, a reply that is not HTTP, an abort from OnReceiveData.
//
// libcurl's process-wide state is made by the os unit's start-up
// (InitializeHttp) before any thread runs and released at its shutdown.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"

#include <memory>

class TMemoryStream;

RTL_DECLARE_EXCEPTION(ENetHTTPClientException, Exception)

// The final response of a request.
class THTTPResponse {
public:
  THTTPResponse();
  ~THTTPResponse();
  THTTPResponse(const THTTPResponse&) = delete;
  THTTPResponse& operator=(const THTTPResponse&) = delete;

  Integer StatusCode() const { return FStatusCode; }
  // The reason phrase of the status line ("Not Found"); "" when the server
  // sends none.
  const String& StatusText() const { return FStatusText; }
  // The body, owned by the response, at position 0.
  TMemoryStream* ContentStream() const { return FContent.get(); }

private:
  friend class THTTPTransfer;
  Integer FStatusCode = 0;
  String FStatusText;
  std::unique_ptr<TMemoryStream> FContent;
};

// Once per received chunk of the final body: ContentLength is the announced
// length (0 when unknown, as with a chunked body), ReadCount the bytes so
// far.  Setting Abort ends the transfer with ENetHTTPClientException.
using TReceiveDataEvent =
    TMethodPtr<void(TObject* Sender, Int64 ContentLength, Int64 ReadCount, bool& Abort)>;

class TNetHTTPClient : public TComponent {
  RTL_CLASS(TNetHTTPClient, TComponent)
public:
  explicit TNetHTTPClient(TComponent* AOwner);

  // properties: times in milliseconds, 0 for no limit
  Integer ConnectionTimeout() const { return FConnectionTimeout; }
  void SetConnectionTimeout(Integer Value) { FConnectionTimeout = Value; }
  // The longest wait for the next byte of the response once connected.
  Integer ResponseTimeout() const { return FResponseTimeout; }
  void SetResponseTimeout(Integer Value) { FResponseTimeout = Value; }
  const String& UserAgent() const { return FUserAgent; }
  void SetUserAgent(const String& Value) { FUserAgent = Value; }

  // Sends GET URL and waits for the whole response; the caller owns it.
  // ENetHTTPClientException as above; the exception an OnReceiveData
  // handler raises passes through unchanged.
  std::unique_ptr<THTTPResponse> Get(const String& URL);

  // events
  TReceiveDataEvent OnReceiveData;

private:
  Integer FConnectionTimeout = 60000;
  Integer FResponseTimeout = 60000;
  String FUserAgent = QStringLiteral("Bibliona HTTP client/1.0");
};

// libcurl's global state; the os unit calls them.
void InitializeHttp();
void FinalizeHttp();
