// The transport on WinHTTP, synchronous. Each request gets a session, a
// connection and a request handle of its own, closed when it is done, so that
// nothing (connections, proxies, cookies, state) is shared between requests
// or threads. No proxy, no redirects, no keep-alive, no automatic
// authentication or decompression: exactly one request goes to the address
// given and its answer comes back as it was sent.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string_view>
#include <utility>

#include "base/utf.h"
#include "platform/http_transport.h"
#include "platform/transport_failure.h"

namespace platform {
namespace {

struct HandleCloser {
  void operator()(HINTERNET Handle) const { WinHttpCloseHandle(Handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// What the status callback learns of one exchange.
struct Exchange {
  bool Connected = false;
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR Context, DWORD Status, LPVOID, DWORD) {
  if (Status == WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER && Context)
    reinterpret_cast<Exchange*>(Context)->Connected = true;
}

// Header names and values are bytes; WinHTTP sends each UTF-16 unit below
// 256 as that byte, so bytes go through it unchanged as Latin-1: widened by
// base::WidenBytes on the way in, narrowed here on the way out.
std::string ToBytes(std::wstring_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (const wchar_t C : Text) Out.push_back(static_cast<char>(C < 256 ? C : '?'));
  return Out;
}

// The system's English texts of the errors this transport meets, for a
// system that has no message for them (Wine has none for WinHTTP's numbers).
const char* KnownMessage(DWORD Code) {
  switch (Code) {
    case ERROR_WINHTTP_TIMEOUT: return "The operation timed out";
    case ERROR_WINHTTP_INVALID_URL: return "The URL is invalid";
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return "The URL does not use a recognized protocol";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return "The server name or address could not be resolved";
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return "A connection with the server could not be established";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return "The connection with the server was terminated abnormally";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return "The server returned an invalid or unrecognized response";
    case ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW:
      return "The response exceeds an internal WinHTTP size limit";
    case WSAECONNRESET: return "An existing connection was forcibly closed by the remote host";
    case WSAETIMEDOUT:
      return "A connection attempt failed because the connected party did not properly respond "
             "after a period of time, or established connection failed because connected host "
             "has failed to respond";
    default: return nullptr;
  }
}

// The system's text for an error number, in the user's language, as UTF-8.
std::string SystemMessage(DWORD Code) {
  wchar_t* Buffer = nullptr;
  const DWORD Length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_FROM_HMODULE |
          FORMAT_MESSAGE_IGNORE_INSERTS,
      GetModuleHandleW(L"winhttp.dll"), Code, 0, reinterpret_cast<wchar_t*>(&Buffer), 0, nullptr);
  std::u16string Text;
  if (Length > 0 && Buffer) Text.assign(reinterpret_cast<const char16_t*>(Buffer), Length);
  if (Buffer) LocalFree(Buffer);
  while (!Text.empty() && (Text.back() == u'\r' || Text.back() == u'\n' || Text.back() == u' '))
    Text.pop_back();
  if (!Text.empty()) return base::Utf16ToUtf8(Text);
  const char* Known = KnownMessage(Code);
  return Known ? Known : "system error " + std::to_string(Code);
}

// Where a request goes: "http://HOST[:PORT][PATH]", HOST a name, an IPv4
// address or a bracketed IPv6 literal. Taken apart here rather than by
// WinHttpCrackUrl, which not every WinHTTP gets right for IPv6 literals.
struct Target {
  std::wstring Authority;  // HOST[:PORT] as given, for the Host header
  std::wstring Host;       // IPv6 literals without their brackets
  INTERNET_PORT Port = INTERNET_DEFAULT_HTTP_PORT;
  std::wstring Path;  // with the query; "/" when the URL has none
};

// 0, or the WinHTTP error number for a URL that cannot be used.
DWORD SplitUrl(std::string_view Url, Target& T) {
  const std::string_view Scheme = "http://";
  const std::size_t Colon = Url.find("://");
  if (Colon == std::string_view::npos) return ERROR_WINHTTP_INVALID_URL;
  if (Url.substr(0, Scheme.size()) != Scheme) return ERROR_WINHTTP_UNRECOGNIZED_SCHEME;
  Url.remove_prefix(Scheme.size());
  const std::size_t AuthorityEnd = std::min(Url.find_first_of("/?#"), Url.size());
  std::string_view Authority = Url.substr(0, AuthorityEnd);
  T.Authority = base::WidenBytes<wchar_t>(Authority);
  std::string_view Rest = Url.substr(AuthorityEnd);
  Rest = Rest.substr(0, std::min(Rest.find('#'), Rest.size()));
  std::string_view Host;
  if (!Authority.empty() && Authority.front() == '[') {
    const std::size_t Close = Authority.find(']');
    if (Close == std::string_view::npos) return ERROR_WINHTTP_INVALID_URL;
    Host = Authority.substr(1, Close - 1);
    Authority.remove_prefix(Close + 1);
  } else {
    Host = Authority.substr(0, std::min(Authority.find(':'), Authority.size()));
    Authority.remove_prefix(Host.size());
  }
  if (Host.empty()) return ERROR_WINHTTP_INVALID_URL;
  if (!Authority.empty()) {
    if (Authority.front() != ':' || Authority.size() < 2 || Authority.size() > 6)
      return ERROR_WINHTTP_INVALID_URL;
    unsigned Port = 0;
    for (const char C : Authority.substr(1)) {
      if (C < '0' || C > '9') return ERROR_WINHTTP_INVALID_URL;
      Port = Port * 10 + static_cast<unsigned>(C - '0');
    }
    if (Port == 0 || Port > 65535) return ERROR_WINHTTP_INVALID_URL;
    T.Port = static_cast<INTERNET_PORT>(Port);
  }
  T.Host = base::WidenBytes<wchar_t>(Host);
  T.Path = Rest.empty() || Rest.front() != '/' ? L"/" + base::WidenBytes<wchar_t>(Rest)
                                               : base::WidenBytes<wchar_t>(Rest);
  return 0;
}

HttpResponse ConnectFailure(DWORD Code) { return platform::ConnectFailure(SystemMessage(Code)); }

HttpResponse NumberedFailure(TransportStage Stage, DWORD Code) {
  return platform::NumberedFailure(Stage, static_cast<long>(Code), SystemMessage(Code));
}

// Milliseconds for WinHttpSetTimeouts; zero or less is "no limit".
int TimeoutMs(std::chrono::milliseconds Value, int Unlimited) {
  if (Value.count() <= 0) return Unlimited;
  return static_cast<int>(std::min<std::chrono::milliseconds::rep>(Value.count(), INT_MAX));
}

// A response header as bytes; false when the answer has none.
bool QueryHeader(HINTERNET Request, DWORD Which, std::string& Value) {
  DWORD Size = 0;
  WinHttpQueryHeaders(Request, Which, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &Size,
                      WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || Size == 0) return false;
  std::wstring Buffer(Size / sizeof(wchar_t) + 1, L'\0');
  if (!WinHttpQueryHeaders(Request, Which, WINHTTP_HEADER_NAME_BY_INDEX, &Buffer[0], &Size,
                           WINHTTP_NO_HEADER_INDEX))
    return false;
  Buffer.resize(Size / sizeof(wchar_t));
  Value = ToBytes(Buffer);
  return true;
}

// The announced body length, when there is a usable one.
bool AnnouncedLength(HINTERNET Request, unsigned long long& Length) {
  std::string Text;
  if (!QueryHeader(Request, WINHTTP_QUERY_CONTENT_LENGTH, Text) || Text.empty()) return false;
  Length = 0;
  for (const char C : Text) {
    if (C < '0' || C > '9' || Length > (ULLONG_MAX - 9) / 10) return false;
    Length = Length * 10 + static_cast<unsigned>(C - '0');
  }
  return true;
}

}  // namespace

HttpTransport::HttpTransport(HttpTimeouts Timeouts) : Timeouts(Timeouts) {}

HttpResponse HttpTransport::Send(const HttpRequest& Request) const {
  Target T;
  if (const DWORD Code = SplitUrl(Request.Url, T)) return ConnectFailure(Code);

  // No agent name: no User-Agent header goes out.
  const Handle Session(WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0));
  if (!Session) return ConnectFailure(GetLastError());
  const int Connect = TimeoutMs(Timeouts.Connect, 0);
  const int Answer = TimeoutMs(Timeouts.Answer, -1);
  if (!WinHttpSetTimeouts(Session.get(), Connect, Connect, Answer, Answer))
    return ConnectFailure(GetLastError());
  // The wait for the answer's headers has a limit of its own (90 s by default).
  DWORD HeadersWait = static_cast<DWORD>(Answer);
  WinHttpSetOption(Session.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &HeadersWait,
                   sizeof HeadersWait);
  DWORD Never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(Session.get(), WINHTTP_OPTION_REDIRECT_POLICY, &Never, sizeof Never);

  const Handle Connection(WinHttpConnect(Session.get(), T.Host.c_str(), T.Port, 0));
  if (!Connection) return ConnectFailure(GetLastError());
  const Handle Opened(WinHttpOpenRequest(Connection.get(), Request.Post ? L"POST" : L"GET",
                                         T.Path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
  if (!Opened) return ConnectFailure(GetLastError());
  HINTERNET H = Opened.get();
  DWORD Disabled = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE |
                   WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION;
  WinHttpSetOption(H, WINHTTP_OPTION_DISABLE_FEATURE, &Disabled, sizeof Disabled);
  // Host as the URL gives it (WinHTTP would write an IPv6 literal unbracketed).
  const std::wstring Host = L"Host: " + T.Authority;
  if (!WinHttpAddRequestHeaders(H, Host.c_str(), static_cast<DWORD>(Host.size()),
                                WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
    return ConnectFailure(GetLastError());
  for (const HttpHeader& Header : Request.Headers) {
    const std::wstring Line = base::WidenBytes<wchar_t>(Header.Name + ": " + Header.Value);
    if (!WinHttpAddRequestHeaders(H, Line.c_str(), static_cast<DWORD>(Line.size()),
                                  WINHTTP_ADDREQ_FLAG_ADD))
      return ConnectFailure(GetLastError());
  }

  Exchange X;
  WinHttpSetStatusCallback(H, OnStatus, WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER, 0);
  const DWORD BodySize = Request.Post ? static_cast<DWORD>(Request.Body.size()) : 0;
  void* Body = BodySize ? const_cast<char*>(Request.Body.data()) : WINHTTP_NO_REQUEST_DATA;
  if (!WinHttpSendRequest(H, WINHTTP_NO_ADDITIONAL_HEADERS, 0, Body, BodySize, BodySize,
                          reinterpret_cast<DWORD_PTR>(&X))) {
    const DWORD Code = GetLastError();
    return X.Connected ? NumberedFailure(TransportStage::Sending, Code) : ConnectFailure(Code);
  }
  if (!WinHttpReceiveResponse(H, nullptr))
    return NumberedFailure(TransportStage::Receiving, GetLastError());

  // A connection that closed inside the header section brought no answer:
  // the raw header text then lacks the empty line that ends it.
  std::string RawHeaders;
  if (!QueryHeader(H, WINHTTP_QUERY_RAW_HEADERS_CRLF, RawHeaders) || RawHeaders.size() < 4 ||
      RawHeaders.compare(RawHeaders.size() - 4, 4, "\r\n\r\n") != 0)
    return NumberedFailure(TransportStage::Receiving, ERROR_WINHTTP_INVALID_SERVER_RESPONSE);

  HttpResponse R;
  DWORD Status = 0, Size = sizeof Status;
  if (!WinHttpQueryHeaders(H, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &Status, &Size, WINHTTP_NO_HEADER_INDEX))
    return NumberedFailure(TransportStage::Receiving, GetLastError());
  R.Status = static_cast<long>(Status);
  QueryHeader(H, WINHTTP_QUERY_CONTENT_TYPE, R.ContentType);

  // An announced body over the limit fails before anything of it is read.
  unsigned long long Announced = 0;
  const bool HasLength = AnnouncedLength(H, Announced);
  const std::string TooLarge = "answer larger than 16 MiB";
  if (HasLength && Announced > kMaxAnswerBytes)
    return NumberedFailure(TransportStage::Receiving, ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW,
                           TooLarge);
  for (;;) {
    DWORD Available = 0;
    if (!WinHttpQueryDataAvailable(H, &Available))
      return NumberedFailure(TransportStage::Receiving, GetLastError());
    if (Available == 0) break;
    if (Available > kMaxAnswerBytes - R.Body.size())
      return NumberedFailure(TransportStage::Receiving, ERROR_WINHTTP_RESPONSE_DRAIN_OVERFLOW,
                             TooLarge);
    const std::size_t At = R.Body.size();
    R.Body.resize(At + Available);
    DWORD Read = 0;
    if (!WinHttpReadData(H, &R.Body[At], Available, &Read))
      return NumberedFailure(TransportStage::Receiving, GetLastError());
    R.Body.resize(At + Read);
    if (Read == 0) break;
  }
  // The connection ended before the announced body was complete.
  if (HasLength && R.Body.size() < Announced)
    return NumberedFailure(TransportStage::Receiving, ERROR_WINHTTP_CONNECTION_ERROR);
  R.Received = true;
  return R;
}

}  // namespace platform
