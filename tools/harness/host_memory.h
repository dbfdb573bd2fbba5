// The host's memory manager as the harness plays it: a host object with the
// host's table layout that hands out blocks and keeps account of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

#include "v8napi/abi.h"

namespace harness {

using Slot = void (*)();

class TrackingMemoryManager {
 public:
  // Freed blocks are held back (not given to free) HeldBack at a time, so
  // that a second free of one is told from a free of a reused block; the
  // benchmarks, which play a host that does no such checking, hold none.
  static constexpr std::size_t kHeldBack = 4096;
  explicit TrackingMemoryManager(std::size_t HeldBack = kHeldBack);
  ~TrackingMemoryManager();
  TrackingMemoryManager(const TrackingMemoryManager&) = delete;
  TrackingMemoryManager& operator=(const TrackingMemoryManager&) = delete;

  // The pointer the add-in receives in setMemManager.
  void* HostObject() { return &Object_; }

  // Host-side use (building parameters, releasing results).
  void* Allocate(std::size_t Size);
  void Free(void* Block);

  // When set, every request is refused (the block pointer comes back null).
  void SetRefuseAll(bool Refuse);
  // Refuses the request numbered N (from 0, counting from now) and those after.
  void RefuseFrom(std::size_t N);

  std::size_t Outstanding() const;
  std::size_t Allocations() const;
  std::size_t Refusals() const;
  std::size_t DoubleFrees() const;
  std::size_t UnknownFrees() const;
  std::size_t NullFrees() const;
  // True when every block was freed and no free was wrong.
  bool Balanced() const;
  std::string Report() const;

 private:
  struct HostInterface {
    const Slot* Table;
    TrackingMemoryManager* Owner;
  };
  static bool V8_SLOT_CALL AllocSlot(void* Self, void** Block, v8abi::HostULong Size);
  static void V8_SLOT_CALL FreeSlot(void* Self, void** Block);
  bool AllocFromAddin(void** Block, std::size_t Size);
  void FreeFromAddin(void** Block);

  HostInterface Object_;
  mutable std::mutex Mutex_;
  std::unordered_map<void*, std::size_t> Live_;
  // Freed blocks held back, poisoned (see kHeldBack).
  std::size_t HeldBack_;
  std::deque<void*> Quarantine_;
  std::unordered_map<void*, bool> Quarantined_;
  std::size_t Allocations_ = 0, Refusals_ = 0, DoubleFrees_ = 0, UnknownFrees_ = 0, NullFrees_ = 0;
  bool RefuseAll_ = false;
  std::size_t RefuseCountdown_ = SIZE_MAX;
};

}  // namespace harness
