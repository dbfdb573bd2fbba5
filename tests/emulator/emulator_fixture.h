// An emulator started for each test on 127.0.0.1 with a free port and a fixed
// clock, and the ways the tests talk to it.
#pragma once

#include <gtest/gtest.h>
#include <httplib.h>

#include <string>

#include <nlohmann/json.hpp>

#include "tools/emulator/emulator.h"

namespace emulator_testing {

using Json = nlohmann::ordered_json;

// The clock every test starts with.
inline constexpr char kClock[] = "2024-05-17T09:30:00";

struct HttpAnswer {
  int Status = 0;  // 0: no answer (the error says why)
  httplib::Error Error = httplib::Error::Success;
  std::string ContentType;
  std::string Body;
  Json Parsed;  // the body as JSON, discarded when it is not JSON
};

// One HTTP exchange with 127.0.0.1:Port through cpp-httplib's client.
HttpAnswer Request(int Port, const std::string& Method, const std::string& Path,
                   const std::string& Body = std::string());

// Sends Request (bytes as they go on the wire) to 127.0.0.1:Port and returns
// every byte that comes back until the server closes the connection.
std::string RawExchange(int Port, const std::string& Request);
// The head (status line and headers) and the body of a raw answer.
std::string HeadOf(const std::string& Answer);
std::string BodyOf(const std::string& Answer);

// A receipt request as the driver sends it: one position of 21.00 at 10%.
std::string SaleReceipt();

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HttpAnswer Call(const std::string& Method, const std::string& Path,
                  const std::string& Body = std::string()) const {
    return Request(Port, Method, Path, Body);
  }
  Json Get(const std::string& Path) const { return Call("GET", Path).Parsed; }
  Json Post(const std::string& Path, const std::string& Body) const {
    return Call("POST", Path, Body).Parsed;
  }
  // Changes the state through POST /emulator/state; fails the test on refusal.
  void Patch(const std::string& Patch) const;
  Json State() const { return Get("/emulator/state"); }
  std::vector<std::string> Tape() const { return Register.Tape(); }

  kelvo_emulator::Emulator Register;
  int Port = 0;
};

}  // namespace emulator_testing
