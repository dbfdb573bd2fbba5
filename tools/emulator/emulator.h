// The KELVO-1F emulator: an HTTP server that behaves like a KELVO-1F register
// on its device API ("/api/1/..."), plus control endpoints under
// "/emulator/..." through which tests and people look at the register (its
// state, its printed tape, the requests it received) and script faults.
//
//   kelvo_emulator::Emulator Register;
//   int Port = Register.Start();        // 127.0.0.1, a free port
//   ... talk HTTP to 127.0.0.1:Port ...
//   Register.Stop();
//
// The control endpoints and their JSON are described in tools/emulator/README.md.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kelvo_emulator {

struct Options {
  // A JSON file holding the register's state: read when the emulator starts
  // (a missing file means the start state), written after every change, so
  // that a restarted emulator goes on where the last one stopped. Empty: the
  // state lives in memory only.
  std::string StateFile;
  // How many of the latest device requests GET /emulator/requests keeps.
  std::size_t RequestLogSize = 100;
};

class Emulator {
 public:
  explicit Emulator(Options Settings = {});
  ~Emulator();  // stops the server
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Loads the state file, binds Host:Port (Port 0 takes a free port) and
  // serves on a thread of its own. The server accepts connections when Start
  // returns. Returns the bound port. Throws std::runtime_error when the state
  // file cannot be read, the address cannot be bound, or it already runs.
  int Start(const std::string& Host = "127.0.0.1", int Port = 0);
  // Stops serving and waits for the server's threads; scripted delays still
  // running are cut short. Does nothing when not running. Start may follow.
  void Stop();

  bool Running() const;
  int Port() const;  // the bound port, 0 when not running
  // "http://127.0.0.1:PORT" (IPv6 hosts in brackets).
  std::string BaseUrl() const;

  // The views of the control endpoints, for tests in the same process.
  std::string StateJson() const;          // as GET /emulator/state
  std::vector<std::string> Tape() const;  // the printed lines, as GET /emulator/tape
  void Reset();                           // as POST /emulator/reset

  struct Impl;

 private:
  std::unique_ptr<Impl> Impl_;
};

}  // namespace kelvo_emulator
