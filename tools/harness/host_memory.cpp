#include "tools/harness/host_memory.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace harness {
namespace {
constexpr unsigned char kFreedPattern = 0xDD;

template <typename F>
Slot AsSlot(F Function) {
  return reinterpret_cast<Slot>(Function);
}
}  // namespace

bool V8_SLOT_CALL TrackingMemoryManager::AllocSlot(void* Self, void** Block,
                                                   v8abi::HostULong Size) {
  return static_cast<HostInterface*>(Self)->Owner->AllocFromAddin(Block, Size);
}

void V8_SLOT_CALL TrackingMemoryManager::FreeSlot(void* Self, void** Block) {
  static_cast<HostInterface*>(Self)->Owner->FreeFromAddin(Block);
}

TrackingMemoryManager::TrackingMemoryManager(std::size_t HeldBack) : HeldBack_(HeldBack) {
#if defined(KELVO_ABI_WINDOWS)
  static const Slot Table[] = {nullptr, AsSlot(&AllocSlot), AsSlot(&FreeSlot)};
#else
  static const Slot Table[] = {nullptr, nullptr, AsSlot(&AllocSlot), AsSlot(&FreeSlot)};
#endif
  static_assert(sizeof Table / sizeof(Slot) == v8abi::kDestructorSlots + 2);
  Object_ = {Table, this};
}

TrackingMemoryManager::~TrackingMemoryManager() {
  for (auto& [Block, Size] : Live_) std::free(Block);
  for (void* Block : Quarantine_) std::free(Block);
}

bool TrackingMemoryManager::AllocFromAddin(void** Block, std::size_t Size) {
  if (!Block) return false;
  *Block = Allocate(Size);
  return *Block != nullptr;
}

void TrackingMemoryManager::FreeFromAddin(void** Block) {
  if (!Block) {
    std::lock_guard<std::mutex> Lock(Mutex_);
    ++NullFrees_;
    return;
  }
  Free(*Block);
  *Block = nullptr;
}

void* TrackingMemoryManager::Allocate(std::size_t Size) {
  std::lock_guard<std::mutex> Lock(Mutex_);
  if (RefuseAll_ || RefuseCountdown_ == 0) {
    ++Refusals_;
    return nullptr;
  }
  if (RefuseCountdown_ != SIZE_MAX) --RefuseCountdown_;
  void* Block = std::malloc(Size ? Size : 1);
  if (!Block) {
    ++Refusals_;
    return nullptr;
  }
  Live_[Block] = Size;
  ++Allocations_;
  return Block;
}

void TrackingMemoryManager::Free(void* Block) {
  std::lock_guard<std::mutex> Lock(Mutex_);
  if (!Block) {
    ++NullFrees_;
    return;
  }
  const auto It = Live_.find(Block);
  if (It == Live_.end()) {
    if (Quarantined_.count(Block))
      ++DoubleFrees_;
    else
      ++UnknownFrees_;
    return;
  }
  const std::size_t Size = It->second;
  Live_.erase(It);
  if (HeldBack_ == 0) {
    std::free(Block);
    return;
  }
  std::memset(Block, kFreedPattern, Size);
  Quarantine_.push_back(Block);
  Quarantined_[Block] = true;
  if (Quarantine_.size() > HeldBack_) {
    Quarantined_.erase(Quarantine_.front());
    std::free(Quarantine_.front());
    Quarantine_.pop_front();
  }
}

void TrackingMemoryManager::SetRefuseAll(bool Refuse) {
  std::lock_guard<std::mutex> Lock(Mutex_);
  RefuseAll_ = Refuse;
  RefuseCountdown_ = SIZE_MAX;
}

void TrackingMemoryManager::RefuseFrom(std::size_t N) {
  std::lock_guard<std::mutex> Lock(Mutex_);
  RefuseCountdown_ = N;
}

std::size_t TrackingMemoryManager::Outstanding() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return Live_.size();
}
std::size_t TrackingMemoryManager::Allocations() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return Allocations_;
}
std::size_t TrackingMemoryManager::Refusals() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return Refusals_;
}
std::size_t TrackingMemoryManager::DoubleFrees() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return DoubleFrees_;
}
std::size_t TrackingMemoryManager::UnknownFrees() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return UnknownFrees_;
}
std::size_t TrackingMemoryManager::NullFrees() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return NullFrees_;
}

bool TrackingMemoryManager::Balanced() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return Live_.empty() && DoubleFrees_ == 0 && UnknownFrees_ == 0;
}

std::string TrackingMemoryManager::Report() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  std::ostringstream Out;
  Out << "allocations=" << Allocations_ << " outstanding=" << Live_.size()
      << " refusals=" << Refusals_ << " double_frees=" << DoubleFrees_
      << " unknown_frees=" << UnknownFrees_ << " null_frees=" << NullFrees_;
  return Out.str();
}

}  // namespace harness
