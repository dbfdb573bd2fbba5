// Inside the emulator: its state behind one mutex, the server, and the two
// kinds of requests it serves (device API and control endpoints).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tools/emulator/emulator.h"
#include "tools/emulator/faults.h"
#include "tools/emulator/http_server.h"
#include "tools/emulator/register_state.h"

namespace kelvo_emulator {

extern const char kJsonType[];  // "application/json; charset=utf-8"

// A device request as it arrived.
struct LoggedRequest {
  std::uint64_t Seq = 0;
  std::string Method, Target, Path, Version;
  std::vector<std::pair<std::string, std::string>> Headers;  // in the order sent
  std::string Body;                                          // after any transfer coding
  std::string Raw;  // the bytes on the wire: request line, headers, body
};
Json LoggedRequestToJson(const LoggedRequest& Entry);

struct Emulator::Impl {
  explicit Impl(Options Opts);

  // Every request comes here; Serve sends it to the device API or to the
  // control endpoints.
  void Serve(const httplib::Request& In, httplib::Response& Out);
  void ServeDevice(const httplib::Request& In, httplib::Response& Out);
  void ServeControl(const httplib::Request& In, httplib::Response& Out);  // control_api.cpp

  // With Mutex held:
  void Log(const httplib::Request& In);
  void Load();  // the state file, or the start state
  void Save();  // the state file, when there is one
  void ResetLocked();

  // Waits Ms milliseconds; false when the emulator stops meanwhile.
  bool Sleep(int Ms);

  const Options Settings;
  mutable std::mutex Mutex;
  std::condition_variable Wakeup;
  bool Stopping = false;
  RegisterState State;
  FaultTable Faults;
  std::deque<LoggedRequest> Requests;
  std::uint64_t NextSeq = 1;

  std::unique_ptr<DeviceServer> Server;
  std::thread Listener;
  std::string Host;
  int Port = 0;
};

}  // namespace kelvo_emulator
