#include "platform/os/http.h"

#include "platform/rtl/streams.h"

#include <QList>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <exception>

namespace {

using TClock = std::chrono::steady_clock;

constexpr long MaxRedirects = 5;
constexpr const char* Protocols = "http,https";
// The longest single wait for the socket: the response time-out is checked
// at least this often.
constexpr int MaxPollMs = 100;

[[noreturn]] void raiseCurl(const String& Text) { throw ENetHTTPClientException(Text); }

String curlText(CURLcode Code) { return String::fromUtf8(curl_easy_strerror(Code)); }
String curlText(CURLMcode Code) { return String::fromUtf8(curl_multi_strerror(Code)); }

// The easy and multi handles of one request.
class TCurlHandles {
public:
  TCurlHandles() : FEasy(curl_easy_init()), FMulti(curl_multi_init()) {
    if (!FEasy || !FMulti) raiseCurl(QStringLiteral("The HTTP client could not start (out of memory)"));
  }
  ~TCurlHandles() {
    if (FAdded) curl_multi_remove_handle(FMulti, FEasy);
    curl_multi_cleanup(FMulti);
    curl_easy_cleanup(FEasy);
  }
  TCurlHandles(const TCurlHandles&) = delete;
  TCurlHandles& operator=(const TCurlHandles&) = delete;

  CURL* Easy() const { return FEasy; }
  CURLM* Multi() const { return FMulti; }
  void Add() {
    const CURLMcode Code = curl_multi_add_handle(FMulti, FEasy);
    if (Code != CURLM_OK) raiseCurl(curlText(Code));
    FAdded = true;
  }

private:
  CURL* FEasy;
  CURLM* FMulti;
  bool FAdded = false;
};

}  // namespace

// One GET: the callbacks libcurl calls and the response they fill.
class THTTPTransfer {
public:
  explicit THTTPTransfer(TNetHTTPClient* Client) : FClient(Client), FResponse(std::make_unique<THTTPResponse>()) {}

  std::unique_ptr<THTTPResponse> Run(const String& URL) {
    TCurlHandles Handles;
    setOptions(Handles.Easy(), URL);
    Handles.Add();
    const CURLcode Result = perform(Handles);
    if (FHandlerError) std::rethrow_exception(FHandlerError);
    if (FTimedOut)
      raiseCurl(QStringLiteral("%1: no data for more than %2 ms")
                    .arg(curlText(CURLE_OPERATION_TIMEDOUT))
                    .arg(FClient->ResponseTimeout()));
    if (FAborted) raiseCurl(curlText(CURLE_ABORTED_BY_CALLBACK));
    if (Result != CURLE_OK) raiseCurl(FErrorBuffer[0] ? String::fromUtf8(FErrorBuffer) : curlText(Result));
    FResponse->FContent->SetPosition(0);
    return std::move(FResponse);
  }

private:
  void setOptions(CURL* Easy, const String& URL) {
    FEasy = Easy;
    const QByteArray Address = URL.toUtf8();
    const QByteArray Agent = FClient->UserAgent().toUtf8();
    curl_easy_setopt(Easy, CURLOPT_URL, Address.constData());  // libcurl copies strings
    curl_easy_setopt(Easy, CURLOPT_USERAGENT, Agent.constData());
    curl_easy_setopt(Easy, CURLOPT_PROTOCOLS_STR, Protocols);
    curl_easy_setopt(Easy, CURLOPT_REDIR_PROTOCOLS_STR, Protocols);
    curl_easy_setopt(Easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(Easy, CURLOPT_MAXREDIRS, MaxRedirects);
    if (FClient->ConnectionTimeout() > 0)
      curl_easy_setopt(Easy, CURLOPT_CONNECTTIMEOUT_MS, long(FClient->ConnectionTimeout()));
    curl_easy_setopt(Easy, CURLOPT_ERRORBUFFER, FErrorBuffer);
    curl_easy_setopt(Easy, CURLOPT_HEADERFUNCTION, &THTTPTransfer::onHeader);
    curl_easy_setopt(Easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(Easy, CURLOPT_WRITEFUNCTION, &THTTPTransfer::onBody);
    curl_easy_setopt(Easy, CURLOPT_WRITEDATA, this);
  }

  // Drives the transfer, waking at least every MaxPollMs to watch the gap
  // since the last byte; the transfer's own result code.
  CURLcode perform(const TCurlHandles& Handles) {
    FLastByte = TClock::now();
    for (int Running = 1;;) {
      const CURLMcode Code = curl_multi_perform(Handles.Multi(), &Running);
      if (Code != CURLM_OK) raiseCurl(curlText(Code));
      if (!Running || FAborted) break;
      if (!connected(Handles.Easy())) FLastByte = TClock::now();  // connecting has its own limit
      if (gapExceeded()) {
        FTimedOut = true;
        return CURLE_OPERATION_TIMEDOUT;
      }
      curl_multi_poll(Handles.Multi(), nullptr, 0, MaxPollMs, nullptr);
    }
    int Left = 0;
    while (CURLMsg* Message = curl_multi_info_read(Handles.Multi(), &Left))
      if (Message->msg == CURLMSG_DONE) return Message->data.result;
    return CURLE_OK;
  }

  static bool connected(CURL* Easy) {
    curl_off_t Connect = 0;
    return curl_easy_getinfo(Easy, CURLINFO_CONNECT_TIME_T, &Connect) == CURLE_OK && Connect > 0;
  }

  bool gapExceeded() const {
    const Integer Limit = FClient->ResponseTimeout();
    return Limit > 0 && TClock::now() - FLastByte > std::chrono::milliseconds(Limit);
  }

  // Every header line of every response; a status line starts a response,
  // so the last one's code and reason phrase remain.
  static size_t onHeader(char* Data, size_t Size, size_t Count, void* User) {
    auto* Self = static_cast<THTTPTransfer*>(User);
    const size_t Bytes = Size * Count;
    Self->FLastByte = TClock::now();
    const QByteArray Line = QByteArray(Data, qsizetype(Bytes)).trimmed();
    if (Line.startsWith("HTTP/")) {
      const QList<QByteArray> Parts = Line.split(' ');
      Self->FResponse->FStatusCode = Parts.size() > 1 ? Parts[1].toInt() : 0;
      const qsizetype ReasonAt = Parts.size() > 2 ? Line.indexOf(' ', Line.indexOf(' ') + 1) : -1;
      Self->FResponse->FStatusText = ReasonAt < 0 ? String() : String::fromUtf8(Line.mid(ReasonAt + 1));
    }
    return Bytes;
  }

  // The body of the final response, chunk by chunk (libcurl drops the
  // bodies of the redirects it follows).
  static size_t onBody(char* Data, size_t Size, size_t Count, void* User) {
    auto* Self = static_cast<THTTPTransfer*>(User);
    const size_t Bytes = Size * Count;
    Self->FLastByte = TClock::now();
    try {
      Self->FResponse->FContent->WriteBuffer(Data, Integer(Bytes));
      Self->FRead += Int64(Bytes);
      if (Self->FClient->OnReceiveData) {
        curl_off_t Length = -1;
        curl_easy_getinfo(Self->FEasy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &Length);
        bool Abort = false;
        Self->FClient->OnReceiveData(Self->FClient, std::max<Int64>(Length, 0), Self->FRead, Abort);
        Self->FAborted = Abort;
      }
    } catch (...) {
      Self->FHandlerError = std::current_exception();
      Self->FAborted = true;
    }
    return Self->FAborted ? 0 : Bytes;  // a short count makes libcurl stop
  }

  TNetHTTPClient* FClient;
  CURL* FEasy = nullptr;
  std::unique_ptr<THTTPResponse> FResponse;
  char FErrorBuffer[CURL_ERROR_SIZE] = {};
  TClock::time_point FLastByte;
  Int64 FRead = 0;
  bool FTimedOut = false;
  bool FAborted = false;
  std::exception_ptr FHandlerError;
};

THTTPResponse::THTTPResponse() : FContent(std::make_unique<TMemoryStream>()) {}
THTTPResponse::~THTTPResponse() = default;

TNetHTTPClient::TNetHTTPClient(TComponent* AOwner) : TComponent(AOwner) {}

std::unique_ptr<THTTPResponse> TNetHTTPClient::Get(const String& URL) { return THTTPTransfer(this).Run(URL); }

void InitializeHttp() { curl_global_init(CURL_GLOBAL_DEFAULT); }
void FinalizeHttp() { curl_global_cleanup(); }
