// The transport against a loopback server that plays the register's web
// server, well-behaved or not. The failure texts are the transport's own
// (expected_failures_*.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include "expected_failures.h"
#include "loopback_server.h"
#include "platform/http_transport.h"

namespace {

using platform::HttpHeader;
using platform::HttpRequest;
using platform::HttpResponse;
using platform::HttpTimeouts;
using platform::HttpTransport;
using platform::kMaxAnswerBytes;
using transport_test::ClosedPort;
using transport_test::Connection;
using transport_test::IsFailure;
using transport_test::LoopbackServer;
using transport_test::ReceivedRequest;
using transport_test::Situation;
using namespace std::chrono_literals;
using namespace std::string_literals;

constexpr char kOk[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

std::string HeadWithLength(std::size_t Length) {
  return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
         std::to_string(Length) + "\r\n\r\n";
}

HttpRequest Get(std::string Url) {
  HttpRequest R;
  R.Url = std::move(Url);
  return R;
}

HttpRequest Post(std::string Url, std::string Body) {
  HttpRequest R;
  R.Post = true;
  R.Url = std::move(Url);
  R.Body = std::move(Body);
  return R;
}

// Bytes of every value, and more than libcurl sends along with the headers
// or sends without asking the server first (where it would add an Expect).
std::string BinaryBody(std::size_t Size) {
  std::string Body(Size, '\0');
  for (std::size_t I = 0; I < Size; ++I) Body[I] = static_cast<char>((I * 7 + I / 256) & 0xFF);
  return Body;
}

struct SentCase {
  const char* Name;
  bool Post;
  std::string Path;
  std::vector<HttpHeader> Headers;
  std::string Body;
  std::vector<std::string> ExpectedLines;  // besides Host
};

TEST(HttpTransport, SendsExactlyTheGivenHeadersAndBody) {
  const std::string Big = BinaryBody(1536 * 1024);
  const SentCase Cases[] = {
      {"get",
       false,
       "/api/v2/state?id=7&x=%20",
       {{"Accept", "application/json"}, {"X-Token", "a b"}, {"X-Empty", ""}},
       "",
       {"Accept: application/json", "X-Token: a b", "X-Empty:"}},
      {"get without headers", false, "/", {}, "", {}},
      {"post",
       true,
       "/requests",
       {{"Content-Type", "application/json; charset=utf-8"}},
       Big,
       {"Content-Type: application/json; charset=utf-8",
        "Content-Length: " + std::to_string(Big.size())}},
      {"post without body or headers", true, "/", {}, "", {"Content-Length: 0"}},
  };
  std::mutex Lock;
  std::vector<ReceivedRequest> Seen;
  LoopbackServer Server([&](Connection& C) {
    ReceivedRequest R;
    if (!C.ReadRequest(R)) return;
    {
      std::lock_guard<std::mutex> Hold(Lock);
      Seen.push_back(std::move(R));
    }
    C.Write(kOk);
  });
  ASSERT_TRUE(Server.Listening());
  const std::string Host = Server.Url("").substr(std::strlen("http://"));
  const HttpTransport Transport;
  for (const SentCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    HttpRequest Request = C.Post ? Post(Server.Url(C.Path), C.Body) : Get(Server.Url(C.Path));
    Request.Headers = C.Headers;
    const HttpResponse Response = Transport.Send(Request);
    ASSERT_TRUE(Response.Received) << Response.Error;
    std::lock_guard<std::mutex> Hold(Lock);
    ASSERT_FALSE(Seen.empty());
    const ReceivedRequest& R = Seen.back();
    EXPECT_EQ(R.RequestLine, (C.Post ? "POST " : "GET ") + C.Path + " HTTP/1.1");
    std::vector<std::string> Expected = C.ExpectedLines;
    Expected.push_back("Host: " + Host);
    std::vector<std::string> Got = R.HeaderLines;
    // White space after a header's value is not part of it: "X-Empty: " is "X-Empty:".
    for (std::string& Line : Got)
      while (!Line.empty() && (Line.back() == ' ' || Line.back() == '\t')) Line.pop_back();
    std::sort(Expected.begin(), Expected.end());
    std::sort(Got.begin(), Got.end());
    EXPECT_EQ(Got, Expected);
    EXPECT_TRUE(R.Body == C.Body) << "body of " << R.Body.size() << " bytes differs";
  }
}

struct AnswerCase {
  const char* Name;
  std::string Raw;
  long Status;
  std::string ContentType, Body;
};

TEST(HttpTransport, AnyAnswerCountsAsReceived) {
  const AnswerCase Cases[] = {
      {"json",
       "HTTP/1.1 200 OK\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: "
       "11\r\n\r\n{\"ok\":true}",
       200, "application/json; charset=utf-8", "{\"ok\":true}"},
      {"server error page",
       "HTTP/1.1 500 Internal Server Error\r\nContent-Type: text/html\r\nContent-Length: "
       "29\r\n\r\n<html><b>failure</b>\r\n</html>",
       500, "text/html", "<html><b>failure</b>\r\n</html>"},
      {"no type, no body", "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n", 404, "", ""},
      {"chunked",
       "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=windows-1251\r\n"
       "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n3\r\n\xe0\0\xff\r\n0\r\n\r\n"s,
       200, "text/plain; charset=windows-1251", "abc\xe0\0\xff"s},
      {"ends with the connection", "HTTP/1.0 200 OK\r\n\r\nraw\0bytes"s, 200, "", "raw\0bytes"s},
      {"redirect, not followed",
       "HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n", 302, "", ""},
  };
  for (const AnswerCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    LoopbackServer Server([&](Connection& Peer) {
      ReceivedRequest R;
      if (Peer.ReadRequest(R)) Peer.Write(C.Raw);
    });
    ASSERT_TRUE(Server.Listening());
    const HttpResponse Response = HttpTransport().Send(Get(Server.Url("/")));
    ASSERT_TRUE(Response.Received) << Response.Error;
    EXPECT_EQ(Response.Status, C.Status);
    EXPECT_EQ(Response.ContentType, C.ContentType);
    EXPECT_EQ(Response.Body, C.Body);
    EXPECT_TRUE(Response.Error.empty());
    EXPECT_EQ(Server.Connections(), 1);
  }
}

TEST(HttpTransport, ReceivesOverIpv6) {
  std::mutex Lock;
  std::vector<std::string> Headers;
  LoopbackServer Server(
      [&](Connection& C) {
        ReceivedRequest R;
        const bool Read = C.ReadRequest(R);
        {
          std::lock_guard<std::mutex> Hold(Lock);
          Headers = R.HeaderLines;
        }
        if (Read) C.Write(kOk);
      },
      transport_test::Family::V6);
  if (!Server.Listening()) GTEST_SKIP() << "no IPv6 loopback here";
  const std::string Url = Server.Url("/v6");
  const HttpResponse Response = HttpTransport().Send(Get(Url));
  ASSERT_TRUE(Response.Received) << Response.Error;
  EXPECT_EQ(Response.Body, "ok");
  // The literal keeps its brackets in the Host header.
  const std::string Host = Url.substr(std::strlen("http://"), Url.size() - 10);
  std::lock_guard<std::mutex> Hold(Lock);
  EXPECT_NE(std::find(Headers.begin(), Headers.end(), "Host: " + Host), Headers.end()) << Host;
}

TEST(HttpTransport, ConnectionFailures) {
  const ClosedPort Closed;
  ASSERT_NE(Closed.Port(), 0u);
  const std::string Port = std::to_string(Closed.Port());
  for (const std::string& Url : {"http://127.0.0.1:" + Port + "/", "http://[::1]:" + Port + "/",
                                 "ftp://127.0.0.1:" + Port + "/"}) {
    SCOPED_TRACE(Url);
    const HttpResponse Response = HttpTransport().Send(Get(Url));
    EXPECT_FALSE(Response.Received);
    const std::string Prefix = "Error connecting to server: ";
    EXPECT_EQ(Response.Error.substr(0, Prefix.size()), Prefix) << Response.Error;
    EXPECT_GT(Response.Error.size(), Prefix.size());
  }
}

struct FailureCase {
  const char* Name;
  std::function<void(Connection&)> Behaviour;
  HttpRequest Request;  // path only; the server's address is put in front
  Situation Expected;
};

TEST(HttpTransport, FailuresWhileSendingOrReceiving) {
  const auto Silent = [](Connection& C) {
    ReceivedRequest R;
    if (C.ReadRequest(R)) C.WaitForPeerClose();
  };
  const FailureCase Cases[] = {
      {"closed without answering",
       [](Connection& C) {
         ReceivedRequest R;
         C.ReadRequest(R);
       },
       Get("/"), Situation::ClosedWithoutAnswer},
      {"reset without answering",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R)) C.Reset();
       },
       Get("/"), Situation::ResetWithoutAnswer},
      {"answer cut short",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R)) C.Write(HeadWithLength(100) + "0123456789");
       },
       Get("/"), Situation::AnswerCutShort},
      {"no answer in time", Silent, Get("/"), Situation::ReceiveTimedOut},
      // The header section never ends: no answer arrived, GET or POST.
      {"closed inside a header line",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R)) C.Write("HTTP/1.1 200 OK\r\nContent-Type: appli");
       },
       Get("/"), Situation::HeadersCutShort},
      {"closed after the status line",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R)) C.Write("HTTP/1.1 200 OK\r\n");
       },
       Post("/", "{}"), Situation::HeadersCutShort},
      {"closed after a complete header line",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R)) C.Write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n");
       },
       Post("/", "{}"), Situation::HeadersCutShort},
      {"reset inside the headers",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R) && C.Write("HTTP/1.1 200 OK\r\nContent-Le")) C.Reset();
       },
       Get("/"), Situation::HeadersCutShort},
      {"answer stops in the middle",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R) && C.Write(HeadWithLength(100) + "0123456789")) C.WaitForPeerClose();
       },
       Get("/"), Situation::ReceiveTimedOut},
      {"request reset while being sent",
       [](Connection& C) {
         if (C.ReadSome()) C.Reset();
       },
       Post("/", BinaryBody(8u << 20)), Situation::SendBroken},
      {"announced answer too large",
       [](Connection& C) {
         ReceivedRequest R;
         if (C.ReadRequest(R) && C.Write(HeadWithLength(kMaxAnswerBytes + 1))) C.WaitForPeerClose();
       },
       Get("/"), Situation::AnswerTooLarge},
      {"unannounced answer too large",
       [](Connection& C) {
         ReceivedRequest R;
         if (!C.ReadRequest(R) || !C.Write("HTTP/1.0 200 OK\r\n\r\n")) return;
         const std::string Piece(1u << 20, 'x');
         for (std::size_t Sent = 0; Sent <= kMaxAnswerBytes && C.Write(Piece);
              Sent += Piece.size()) {
         }
       },
       Get("/"), Situation::AnswerTooLarge},
  };
  const HttpTransport Transport(HttpTimeouts{5000ms, 300ms});
  for (const FailureCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    LoopbackServer Server(C.Behaviour);
    ASSERT_TRUE(Server.Listening());
    HttpRequest Request = C.Request;
    Request.Url = Server.Url(Request.Url);
    const HttpResponse Response = Transport.Send(Request);
    EXPECT_FALSE(Response.Received);
    EXPECT_TRUE(IsFailure(Response.Error, C.Expected));
  }
}

// The server takes nothing of a large request: sending stalls, and the
// answer time-out ends it as a send failure.
TEST(HttpTransport, StalledSendingTimesOut) {
  std::atomic<bool> Finished{false};
  LoopbackServer Server([&](Connection&) {
    while (!Finished) std::this_thread::sleep_for(10ms);
  });
  ASSERT_TRUE(Server.Listening());
  const HttpResponse Response =
      HttpTransport(HttpTimeouts{5000ms, 300ms}).Send(Post(Server.Url("/"), BinaryBody(32u << 20)));
  Finished = true;
  EXPECT_FALSE(Response.Received);
  EXPECT_TRUE(IsFailure(Response.Error, Situation::SendTimedOut));
}

// The answer time-out counts from the last byte that moved, not from the start.
TEST(HttpTransport, SlowButSteadyAnswerIsReceived) {
  const std::string Body = "0123456789ab";
  LoopbackServer Server([&](Connection& C) {
    ReceivedRequest R;
    if (!C.ReadRequest(R) || !C.Write(HeadWithLength(Body.size()))) return;
    for (const char Byte : Body) {
      std::this_thread::sleep_for(100ms);
      if (!C.Write(std::string_view(&Byte, 1))) return;
    }
  });
  ASSERT_TRUE(Server.Listening());
  const HttpResponse Response =
      HttpTransport(HttpTimeouts{5000ms, 1000ms}).Send(Get(Server.Url("/")));
  ASSERT_TRUE(Response.Received) << Response.Error;
  EXPECT_EQ(Response.Body, Body);
}

TEST(HttpTransport, AnswerOfTheLargestSizeIsReceived) {
  LoopbackServer Server([](Connection& C) {
    ReceivedRequest R;
    if (C.ReadRequest(R) && C.Write(HeadWithLength(kMaxAnswerBytes)))
      C.Write(std::string(kMaxAnswerBytes, 'y'));
  });
  ASSERT_TRUE(Server.Listening());
  const HttpResponse Response = HttpTransport().Send(Get(Server.Url("/")));
  ASSERT_TRUE(Response.Received) << Response.Error;
  EXPECT_EQ(Response.Body.size(), kMaxAnswerBytes);
}

// Each request opens a connection of its own and closes it after the answer,
// even though the server would keep it open for more.
TEST(HttpTransport, OneConnectionPerRequest) {
  std::vector<std::pair<int, bool>> Served;  // requests, closed by the client
  {
    LoopbackServer Server([&](Connection& C) {
      int Count = 0;
      ReceivedRequest R;
      while (C.ReadRequest(R) && C.Write(kOk)) ++Count;
      Served.emplace_back(Count, C.PeerClosed());
    });
    ASSERT_TRUE(Server.Listening());
    const HttpTransport Transport;
    for (const char* Path : {"/first", "/second"}) {
      const HttpResponse Response = Transport.Send(Get(Server.Url(Path)));
      ASSERT_TRUE(Response.Received) << Response.Error;
    }
  }
  const std::vector<std::pair<int, bool>> Expected = {{1, true}, {1, true}};
  EXPECT_EQ(Served, Expected);
}

TEST(HttpTransport, ConcurrentRequestsFromSeveralThreads) {
  LoopbackServer Server([](Connection& C) {
    ReceivedRequest R;
    if (!C.ReadRequest(R)) return;
    const std::string Path = R.RequestLine.substr(4, R.RequestLine.find(' ', 4) - 4);
    C.Write("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(Path.size()) + "\r\n\r\n" +
            Path);
  });
  ASSERT_TRUE(Server.Listening());
  const HttpTransport Transport;
  std::vector<std::string> Errors(4);
  std::vector<std::thread> Threads;
  for (std::size_t T = 0; T < Errors.size(); ++T)
    Threads.emplace_back([&, T] {
      for (int I = 0; I < 3; ++I) {
        const std::string Path = "/t" + std::to_string(T) + "/" + std::to_string(I);
        const HttpResponse Response = Transport.Send(Get(Server.Url(Path)));
        if (!Response.Received || Response.Body != Path)
          Errors[T] += Path + ": " + Response.Error + "; ";
      }
    });
  for (std::thread& T : Threads) T.join();
  for (const std::string& E : Errors) EXPECT_EQ(E, "");
  EXPECT_EQ(Server.Connections(), 12);
}

}  // namespace
