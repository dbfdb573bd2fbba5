#include "tools/harness/host_connection.h"

#include "v8napi/variant.h"

namespace harness {

using v8abi::HostLong;
using v8abi::WChar;
using Slot = void (*)();

struct ConnectionSlots {
  static RecordingConnection* Owner(void* Self) {
    return static_cast<RecordingConnection::HostInterface*>(Self)->Owner;
  }
  static bool V8_SLOT_CALL AddError(void* S, unsigned short, const WChar*, const WChar*, HostLong) {
    Owner(S)->Record("AddError");
    return true;
  }
  static bool V8_SLOT_CALL Read(void* S, WChar*, V8Variant*, HostLong*, WChar**) {
    Owner(S)->Record("Read");
    return false;
  }
  static bool V8_SLOT_CALL Write(void* S, WChar*, V8Variant*) {
    Owner(S)->Record("Write");
    return false;
  }
  static bool V8_SLOT_CALL RegisterProfileAs(void* S, WChar*) {
    Owner(S)->Record("RegisterProfileAs");
    return true;
  }
  static bool V8_SLOT_CALL SetEventBufferDepth(void* S, HostLong) {
    Owner(S)->Record("SetEventBufferDepth");
    return true;
  }
  static HostLong V8_SLOT_CALL GetEventBufferDepth(void* S) {
    Owner(S)->Record("GetEventBufferDepth");
    return 1;
  }
  static bool V8_SLOT_CALL ExternalEvent(void* S, WChar*, WChar*, WChar*) {
    Owner(S)->Record("ExternalEvent");
    return true;
  }
  static void V8_SLOT_CALL CleanEventBuffer(void* S) { Owner(S)->Record("CleanEventBuffer"); }
  static bool V8_SLOT_CALL SetStatusLine(void* S, WChar*) {
    Owner(S)->Record("SetStatusLine");
    return true;
  }
  static void V8_SLOT_CALL ResetStatusLine(void* S) { Owner(S)->Record("ResetStatusLine"); }
};

namespace {
template <typename F>
Slot AsSlot(F Function) {
  return reinterpret_cast<Slot>(Function);
}
}  // namespace

RecordingConnection::RecordingConnection() {
  using C = ConnectionSlots;
  static const Slot Table[] = {
#if !defined(KELVO_ABI_WINDOWS)
    nullptr,
#endif
    nullptr,
    AsSlot(&C::AddError),
    AsSlot(&C::Read),
    AsSlot(&C::Write),
    AsSlot(&C::RegisterProfileAs),
    AsSlot(&C::SetEventBufferDepth),
    AsSlot(&C::GetEventBufferDepth),
    AsSlot(&C::ExternalEvent),
    AsSlot(&C::CleanEventBuffer),
    AsSlot(&C::SetStatusLine),
    AsSlot(&C::ResetStatusLine)
  };
  static_assert(sizeof Table / sizeof(Slot) == v8abi::kDestructorSlots + 10);
  Object_ = {Table, this};
}

void RecordingConnection::Record(const char* Name) {
  std::lock_guard<std::mutex> Lock(Mutex_);
  Calls_.emplace_back(Name);
}

std::vector<std::string> RecordingConnection::Calls() const {
  std::lock_guard<std::mutex> Lock(Mutex_);
  return Calls_;
}

}  // namespace harness
