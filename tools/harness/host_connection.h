// The host's connection object as the harness plays it: every slot records
// that it was called. The add-in is expected to keep it and never call it.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "v8napi/abi.h"

namespace harness {

class RecordingConnection {
 public:
  RecordingConnection();
  void* HostObject() { return &Object_; }
  std::vector<std::string> Calls() const;

 private:
  struct HostInterface {
    const void* Table;
    RecordingConnection* Owner;
  };
  friend struct ConnectionSlots;
  void Record(const char* Name);

  HostInterface Object_;
  mutable std::mutex Mutex_;
  std::vector<std::string> Calls_;
};

}  // namespace harness
