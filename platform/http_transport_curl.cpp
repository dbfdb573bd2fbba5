// The transport on libcurl. Each request gets its own easy handle, driven by a
// multi handle of its own, so that nothing (connections, name lookups, state)
// is shared between requests or threads. Driving the transfer step by step
// lets the answer time-out count from the last moment anything moved, to the
// millisecond; libcurl's own low-speed limits work in whole seconds over an
// averaged speed.
#include "platform/http_transport.h"

#include "base/ascii.h"
#include "platform/transport_failure.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <utility>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// No TLS or other subsystem is needed, and the library is never torn down:
// the add-in may be unloaded while other code in the process still runs.
void InitCurlOnce() {
  static std::once_flag Once;
  std::call_once(Once, [] { curl_global_init(CURL_GLOBAL_NOTHING); });
}

struct EasyDeleter {
  void operator()(CURL* Easy) const { curl_easy_cleanup(Easy); }
};
struct MultiDeleter {
  void operator()(CURLM* Multi) const { curl_multi_cleanup(Multi); }
};
struct ListDeleter {
  void operator()(curl_slist* List) const { curl_slist_free_all(List); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using MultiPtr = std::unique_ptr<CURLM, MultiDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;

// What the callbacks of one transfer learn.
struct Exchange {
  std::string Body;
  bool TooLarge = false;
  bool Connected = false;
  // The empty line that ends the answer's header section has come (after
  // the last status line: an interim 1xx answer has a section of its own).
  bool HeadersComplete = false;
};

std::size_t OnHeaderLine(char* Data, std::size_t Size, std::size_t Count, void* User) {
  auto* X = static_cast<Exchange*>(User);
  const std::string_view Line(Data, Size * Count);
  if (Line.substr(0, 5) == "HTTP/")
    X->HeadersComplete = false;
  else if (Line == "\r\n" || Line == "\n")
    X->HeadersComplete = true;
  return Size * Count;
}

std::size_t OnBody(char* Data, std::size_t Size, std::size_t Count, void* User) {
  auto* X = static_cast<Exchange*>(User);
  const std::size_t N = Size * Count;
  if (N > kMaxAnswerBytes - X->Body.size()) {
    X->TooLarge = true;
    return 0;  // anything but N stops the transfer
  }
  X->Body.append(Data, N);
  return N;
}

// Called once the connection stands, before the request goes out.
int OnConnected(void* User, char*, char*, int, int) {
  static_cast<Exchange*>(User)->Connected = true;
  return CURL_PREREQFUNC_OK;
}

// The request's headers, plus removals of the ones libcurl would add on its
// own ("Name:" removes, "Name;" sends an empty value).
ListPtr BuildHeaders(const std::vector<HttpHeader>& Headers) {
  ListPtr List;
  const auto Append = [&List](const std::string& Line) {
    curl_slist* Longer = curl_slist_append(List.get(), Line.c_str());
    if (!Longer) return false;
    (void)List.release();
    List.reset(Longer);
    return true;
  };
  for (const HttpHeader& H : Headers)
    if (!Append(H.Value.empty() ? H.Name + ";" : H.Name + ": " + H.Value)) return nullptr;
  for (const char* Default : {"Accept", "Expect", "Content-Type"}) {
    const bool Given = std::any_of(Headers.begin(), Headers.end(), [Default](const HttpHeader& H) {
      return base::SameAsciiNameIgnoringCase(H.Name, Default);
    });
    if (!Given && !Append(std::string(Default) + ":")) return nullptr;
  }
  return List;
}

// Everything that counts as movement on the connection.
struct Movement {
  curl_off_t Sent = 0, Received = 0;
  bool operator!=(const Movement& O) const { return Sent != O.Sent || Received != O.Received; }
};

Movement Measure(CURL* Easy) {
  long RequestBytes = 0, HeaderBytes = 0;
  curl_off_t BodySent = 0, BodyReceived = 0;
  curl_easy_getinfo(Easy, CURLINFO_REQUEST_SIZE, &RequestBytes);
  curl_easy_getinfo(Easy, CURLINFO_HEADER_SIZE, &HeaderBytes);
  curl_easy_getinfo(Easy, CURLINFO_SIZE_UPLOAD_T, &BodySent);
  curl_easy_getinfo(Easy, CURLINFO_SIZE_DOWNLOAD_T, &BodyReceived);
  return {RequestBytes + BodySent, HeaderBytes + BodyReceived};
}

}  // namespace

HttpTransport::HttpTransport(HttpTimeouts Timeouts) : Timeouts(Timeouts) {}

HttpResponse HttpTransport::Send(const HttpRequest& Request) const {
  InitCurlOnce();
  const EasyPtr Easy(curl_easy_init());
  const MultiPtr Multi(curl_multi_init());
  const ListPtr Headers = BuildHeaders(Request.Headers);
  if (!Easy || !Multi || !Headers) return ConnectFailure(curl_easy_strerror(CURLE_OUT_OF_MEMORY));

  Exchange X;
  char Detail[CURL_ERROR_SIZE] = {};
  CURL* E = Easy.get();
  curl_easy_setopt(E, CURLOPT_ERRORBUFFER, Detail);
  curl_easy_setopt(E, CURLOPT_URL, Request.Url.c_str());
  curl_easy_setopt(E, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(E, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(E, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(E, CURLOPT_PROXY, "");  // nothing from the environment
  curl_easy_setopt(E, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(E, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(
      E, CURLOPT_CONNECTTIMEOUT_MS,
      static_cast<long>(std::max<std::chrono::milliseconds::rep>(Timeouts.Connect.count(), 0)));
  curl_easy_setopt(E, CURLOPT_HTTPHEADER, Headers.get());
  if (Request.Post) {
    curl_easy_setopt(E, CURLOPT_POST, 1L);
    curl_easy_setopt(E, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(Request.Body.size()));
    curl_easy_setopt(E, CURLOPT_POSTFIELDS, Request.Body.data());
  } else {
    curl_easy_setopt(E, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(E, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxAnswerBytes));
  curl_easy_setopt(E, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(E, CURLOPT_WRITEDATA, &X);
  curl_easy_setopt(E, CURLOPT_HEADERFUNCTION, OnHeaderLine);
  curl_easy_setopt(E, CURLOPT_HEADERDATA, &X);
  curl_easy_setopt(E, CURLOPT_PREREQFUNCTION, OnConnected);
  curl_easy_setopt(E, CURLOPT_PREREQDATA, &X);

  if (curl_multi_add_handle(Multi.get(), E) != CURLM_OK)
    return ConnectFailure(curl_easy_strerror(CURLE_OUT_OF_MEMORY));

  // Connecting is bounded by libcurl; from then on the answer time-out runs
  // from the last byte that moved either way.
  CURLcode Code = CURLE_OK;
  Movement Last;
  Clock::time_point LastMoved;
  bool Timing = false;
  for (;;) {
    int Running = 0;
    if (curl_multi_perform(Multi.get(), &Running) != CURLM_OK) {
      Code = CURLE_OUT_OF_MEMORY;
      break;
    }
    if (!Running) {
      int Queued = 0;
      const CURLMsg* Message = curl_multi_info_read(Multi.get(), &Queued);
      Code = Message && Message->msg == CURLMSG_DONE ? Message->data.result : CURLE_RECV_ERROR;
      break;
    }
    long WaitMs = 1000;
    if (X.Connected && Timeouts.Answer.count() > 0) {
      const Clock::time_point Now = Clock::now();
      const Movement Current = Measure(E);
      if (!Timing || Current != Last) {
        Timing = true;
        Last = Current;
        LastMoved = Now;
      }
      const auto Left =
          Timeouts.Answer - std::chrono::duration_cast<std::chrono::milliseconds>(Now - LastMoved);
      if (Left.count() <= 0) {
        Code = CURLE_OPERATION_TIMEDOUT;
        break;
      }
      WaitMs = static_cast<long>(std::min<std::chrono::milliseconds::rep>(Left.count(), WaitMs));
    }
    if (curl_multi_poll(Multi.get(), nullptr, 0, static_cast<int>(WaitMs), nullptr) != CURLM_OK) {
      Code = CURLE_OUT_OF_MEMORY;
      break;
    }
  }
  curl_multi_remove_handle(Multi.get(), E);

  // A connection that closed before the header section was complete brought
  // no answer, whatever libcurl made of the bytes.
  if (Code == CURLE_OK && !X.HeadersComplete) Code = CURLE_RECV_ERROR;
  if (Code == CURLE_OK) {
    HttpResponse R;
    R.Received = true;
    curl_easy_getinfo(E, CURLINFO_RESPONSE_CODE, &R.Status);
    const char* Type = nullptr;
    if (curl_easy_getinfo(E, CURLINFO_CONTENT_TYPE, &Type) == CURLE_OK && Type)
      R.ContentType = Type;
    R.Body = std::move(X.Body);
    return R;
  }
  if (!X.Connected) return ConnectFailure(Detail[0] ? Detail : curl_easy_strerror(Code));
  if (X.TooLarge || Code == CURLE_FILESIZE_EXCEEDED)
    return NumberedFailure(TransportStage::Receiving, CURLE_FILESIZE_EXCEEDED,
                           "answer larger than 16 MiB");

  curl_off_t BodySent = 0;
  curl_easy_getinfo(E, CURLINFO_SIZE_UPLOAD_T, &BodySent);
  const bool RequestSent =
      !Request.Post || BodySent >= static_cast<curl_off_t>(Request.Body.size());
  // Whatever broke the exchange before the whole request was out (a reset
  // noticed while reading, a stall) broke the sending of it.
  const bool Sending = Code == CURLE_SEND_ERROR || !RequestSent;
  const TransportStage Stage = Sending ? TransportStage::Sending : TransportStage::Receiving;
  // The socket's own error, where it reported one, says more than libcurl's.
  long OsError = 0;
  if (Code == CURLE_SEND_ERROR || Code == CURLE_RECV_ERROR)
    curl_easy_getinfo(E, CURLINFO_OS_ERRNO, &OsError);
  if (OsError != 0)
    return NumberedFailure(Stage, OsError,
                           std::generic_category().message(static_cast<int>(OsError)));
  return NumberedFailure(Stage, Code, curl_easy_strerror(Code));
}

}  // namespace platform
