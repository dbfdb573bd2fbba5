// The register's address: which forms go into a request URL and in what
// form, as a rule and through the add-in against the emulated register.
#include <gtest/gtest.h>

#include "driver/device_address.h"
#include "support/device_fixture.h"

namespace {

using namespace testing_support;

constexpr const char* kRefused = nullptr;

// None of these is ever sent: the table only reads the rule.
TEST(DeviceAddressRule, Table) {
  struct Case {
    const char16_t* Address;
    const char* Url;  // kRefused: never used
  };
  const Case Cases[] = {
      // Host names and IPv6 literals go out as they are.
      {u"kkt-1.shop.example", "kkt-1.shop.example"},
      {u"KKT_1", "KKT_1"},
      {u"kkt.", "kkt."},
      {u"1e5", "1e5"},
      {u"a.0xg", "a.0xg"},
      {u"10.0.0.1.example", "10.0.0.1.example"},
      {u"[::1]", "[::1]"},
      {u"[::FFFF:10.0.0.1]:80", "[::FFFF:10.0.0.1]:80"},
      // Four decimal octets; leading zeros are decimal and go.
      {u"192.168.1.10", "192.168.1.10"},
      {u"192.168.001.010", "192.168.1.10"},
      {u"192.168.001.010:8080", "192.168.1.10:8080"},
      {u"000.0.00.255", "0.0.0.255"},
      {u"0000000000010.0.0.1", "10.0.0.1"},
      {u"10.0.0.1:080", "10.0.0.1:80"},
      {u"kkt:00443", "kkt:443"},
      // Other numeric forms: a resolver could read them as another address.
      {u"0377.0.0.1", kRefused},
      {u"10.0.0.256", kRefused},
      {u"10.0.1", kRefused},
      {u"10.1", kRefused},
      {u"167772161", kRefused},
      {u"0xa000001", kRefused},
      {u"0x", kRefused},
      {u"0XA000001", kRefused},
      {u"0xa.0.0.1", kRefused},
      {u"10.0.0.0x1", kRefused},
      {u"10.0.0.1.2", kRefused},
      {u"10.0.0.1.", kRefused},
      {u"10.0.0.1.:80", kRefused},
      {u"10..0.1", kRefused},
      {u".10.0.0.1", kRefused},
      {u"kkt.10", kRefused},
      {u"kkt.0x1", kRefused},
      {u"a.b.c.1", kRefused},
      {u"10.0.0.01a", "10.0.0.01a"},  // a name: its last label is no number
      // Ports.
      {u"10.0.0.1:0", kRefused},
      {u"10.0.0.1:65536", kRefused},
      {u"10.0.0.1:", kRefused},
      {u"10.0.0.1:+80", kRefused},
      {u"10.0.0.1:80:80", kRefused},
      {u"[::1]:0x50", kRefused},
      {u"[::1]x", kRefused},
      {u"[::1", kRefused},
      {u"[10.0.0.1]", kRefused},
      {u":80", kRefused},
      {u"", kRefused},
      {u"10.0.0.1 ", kRefused},
      {u"10.0.0.\u0661", kRefused},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(Utf8(C.Address));
    const std::optional<std::string> Url = driver::DeviceAddressForUrl(C.Address);
    if (C.Url == kRefused)
      EXPECT_FALSE(Url.has_value()) << *Url;
    else
      EXPECT_EQ(Url.value_or("<refused>"), C.Url);
  }
}

class DeviceAddress : public DeviceTest {
 protected:
  std::string Port() {
    const std::string& A = Register().Address();
    return A.substr(A.rfind(':') + 1);
  }
  // DeviceTest reads the register with a GET at the stored address.
  CallResult GetAt(const std::string& Address) {
    Call(u"SetParameter", {S(u"IpAddress"), S(U(Address))});
    return Call(u"DeviceTest", {Out(), Out()});
  }
  CallResult PostAt(const std::string& Address) {
    return Call(u"OpenShift",
                {S(U(Address)), S(u"<I><Parameters CashierName=\"A\"/></I>"), Out(), Out(), Out()});
  }
};

// Their zeros read as octal would mean the same address: the test sends to
// loopback only, whatever the rule does.
TEST_F(DeviceAddress, ZeroPaddedLoopbackFormsReachTheRegisterInDecimal) {
  for (const std::string& Address : {"127.000.000.001:" + Port(), "127.0.0.001:000" + Port()}) {
    SCOPED_TRACE(Address);
    Register().Reset();
    EXPECT_TRUE(GetAt(Address).Ret.Bool);
    EXPECT_TRUE(PostAt(Address).Ret.Bool) << Utf8(LastError().second);
    const std::vector<ReceivedRequest> Sent = Requests();
    ASSERT_EQ(Sent.size(), 2u);
    for (const ReceivedRequest& R : Sent) EXPECT_EQ(R.Header("Host"), "127.0.0.1:" + Port());
  }
}

// Read leniently, each of these means loopback; the rule refuses them all.
TEST_F(DeviceAddress, OtherNumericFormsNeverReachTheNetwork) {
  const std::string Port = ":" + this->Port();
  const std::string Refused[] = {"127.1",      "127.0.1",     "2130706433",  "0x7f000001",
                                 "0X7F000001", "0x7f.0.0.1",  "0x7f.1",      "127.0.0.0x1",
                                 "127.0.0.1.", "127.0.0.01.", "0x7f.0x0.0.1"};
  for (const std::string& Host : Refused) {
    SCOPED_TRACE(Host);
    EXPECT_FALSE(GetAt(Host + Port).Ret.Bool);
    EXPECT_EQ(LastError(), std::make_pair(std::int64_t{2}, U("Timeout. Время ожидания истекло")));
    EXPECT_FALSE(PostAt(Host + Port).Ret.Bool);
    EXPECT_EQ(LastError(),
              std::make_pair(std::int64_t{1}, U("Error connecting to server: unusable device "
                                                "address \"" +
                                                Host + Port + "\"")));
  }
  EXPECT_TRUE(Requests().empty()) << "no request reached the register";
}

}  // namespace
