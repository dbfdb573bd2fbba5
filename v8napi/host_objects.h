// Calls into the objects the host hands to the add-in: its memory manager and
// its connection object. Their tables are the host's, so they are reached by
// slot position (after the destructor places), never through C++ classes.
#pragma once

#include <cstddef>

#include "v8napi/abi.h"

namespace v8host {

// A table slot of unknown signature; cast to the slot's signature to call it.
using Slot = void (*)();

inline Slot TableSlot(const void* Object, int Index) {
  const auto* Table = *static_cast<const Slot* const*>(Object);
  return Table[v8abi::kDestructorSlots + Index];
}

// Memory manager slots after the destructor places.
inline constexpr int kAllocMemorySlot = 0;
inline constexpr int kFreeMemorySlot = 1;

using AllocMemoryFn = bool(V8_SLOT_CALL*)(void* Self, void** Block, v8abi::HostULong Size);
using FreeMemoryFn = void(V8_SLOT_CALL*)(void* Self, void** Block);

// Asks the host for Size bytes; false (and a null Block) when refused.
inline bool AllocMemory(void* MemoryManager, void** Block, std::size_t Size) {
  *Block = nullptr;
  if (!MemoryManager || Size > static_cast<v8abi::HostULong>(-1)) return false;
  auto Alloc = reinterpret_cast<AllocMemoryFn>(TableSlot(MemoryManager, kAllocMemorySlot));
  if (!Alloc(MemoryManager, Block, static_cast<v8abi::HostULong>(Size))) {
    *Block = nullptr;
    return false;
  }
  return *Block != nullptr;
}

inline void FreeMemory(void* MemoryManager, void** Block) {
  if (!MemoryManager || !*Block) return;
  auto Free = reinterpret_cast<FreeMemoryFn>(TableSlot(MemoryManager, kFreeMemorySlot));
  Free(MemoryManager, Block);
}

}  // namespace v8host
