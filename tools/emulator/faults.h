// Fault mode: scripted misbehaviour of the register for one path, set through
// POST /emulator/fault. See tools/emulator/README.md for the JSON.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/emulator/text.h"

namespace kelvo_emulator {

enum class FaultAction {
  None,      // answer normally (after the delay)
  Answer,    // a fixed answer: status, body, content type
  Close,     // close the connection without answering
  Truncate,  // announce the whole body, send only its first bytes, close
  Oversize,  // the register's answer padded to a given size
};

struct Fault {
  std::string Path;    // an exact path, or "*" for every device path
  std::string Method;  // "GET", "POST", ...; empty for any
  FaultAction Action = FaultAction::None;
  int DelayMs = 0;        // before the register acts
  int AnswerDelayMs = 0;  // after it acted, before the answer goes out
  int Times = 0;          // how many more requests it applies to; 0: until cleared
  bool Perform = true;    // the register carries the request out first
  int Status = 200;
  std::optional<std::string> Body;  // Answer, Truncate: the body bytes
  std::string ContentType = "application/json";
  std::optional<std::size_t> SendBytes;  // Truncate: bytes of the body sent
  std::size_t Size = 0;                  // Oversize: the body's size in bytes
};

// Reads a fault script; on failure returns nothing and sets Error.
std::optional<Fault> ParseFault(const Json& Script, std::string& Error);
Json FaultToJson(const Fault& Script);

// The faults in force. Not thread-safe: the emulator guards it.
class FaultTable {
 public:
  // Replaces a fault of the same path and method.
  void Set(Fault Script);
  // Removes the faults of one path, or all with an empty Path.
  void Clear(const std::string& Path = {});
  // The fault for a request, counting it; a fault for the exact path comes
  // before a fault for "*".
  std::optional<Fault> Take(const std::string& Method, const std::string& Path);
  Json ToJson() const;

 private:
  std::vector<Fault> Faults_;
};

// Oversize: Body (a JSON object's text) with a "padding" member added so that
// the text is exactly Size bytes; Body itself when it is not shorter.
std::string PadAnswer(const std::string& Body, std::size_t Size);

}  // namespace kelvo_emulator
