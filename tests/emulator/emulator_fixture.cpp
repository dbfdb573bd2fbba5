#include "emulator_fixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace emulator_testing {

std::string RawExchange(int Port, const std::string& Request) {
  const int Fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (Fd < 0) return {};
  sockaddr_in Address{};
  Address.sin_family = AF_INET;
  Address.sin_port = htons(static_cast<std::uint16_t>(Port));
  ::inet_pton(AF_INET, "127.0.0.1", &Address.sin_addr);
  timeval Limit{10, 0};  // a safety net against a hanging test, not a check
  ::setsockopt(Fd, SOL_SOCKET, SO_RCVTIMEO, &Limit, sizeof Limit);
  std::string Answer;
  if (::connect(Fd, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0 &&
      ::send(Fd, Request.data(), Request.size(), MSG_NOSIGNAL) ==
          static_cast<ssize_t>(Request.size())) {
    char Chunk[4096];
    for (ssize_t Got; (Got = ::recv(Fd, Chunk, sizeof Chunk, 0)) > 0;)
      Answer.append(Chunk, static_cast<std::size_t>(Got));
  }
  ::close(Fd);
  return Answer;
}

std::string HeadOf(const std::string& Answer) { return Answer.substr(0, Answer.find("\r\n\r\n")); }

std::string BodyOf(const std::string& Answer) {
  const std::size_t End = Answer.find("\r\n\r\n");
  return End == std::string::npos ? std::string() : Answer.substr(End + 4);
}

std::string SaleReceipt() {
  return R"({"T1054":"1","T1055":"1","T1059":[{"T1214":4,"T1212":1,"T1030":"Молоко 3,2% 1 л",)"
         R"("T1079":10.5,"T1023":2,"T1199":2,"T1200":1.91,"T1043":21}],"T1020":21,"T1031":21,)"
         R"("T1081":0,"T1103":1.91,"T1021":"Иванов И.И."})";
}

void EmulatorTest::SetUp() {
  Port = Register.Start();
  ASSERT_GT(Port, 0);
  Patch(std::string(R"({"clock":")") + kClock + R"("})");
}

void EmulatorTest::TearDown() { Register.Stop(); }

HttpAnswer Request(int Port, const std::string& Method, const std::string& Path,
                   const std::string& Body) {
  httplib::Client Client("127.0.0.1", Port);
  Client.set_connection_timeout(5);
  Client.set_read_timeout(10);
  httplib::Request Sent;
  Sent.method = Method;
  Sent.path = Path;
  Sent.body = Body;
  if (Method == "POST") Sent.set_header("Content-Type", "application/json");
  HttpAnswer Out;
  const httplib::Result Result = Client.send(Sent);
  Out.Error = Result.error();
  if (Result) {
    Out.Status = Result->status;
    Out.ContentType = Result->get_header_value("Content-Type");
    Out.Body = Result->body;
    Out.Parsed = Json::parse(Out.Body, nullptr, false);
  }
  return Out;
}

void EmulatorTest::Patch(const std::string& Patch) const {
  const HttpAnswer Answer = Call("POST", "/emulator/state", Patch);
  ASSERT_EQ(Answer.Status, 200) << Patch << " -> " << Answer.Body;
}

}  // namespace emulator_testing
