// What every benchmark works against: the register emulator in this
// process, scripted with fixed answers, and one driver object of the real
// add-in library loaded through the host harness.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tools/emulator/emulator.h"
#include "tools/harness/addin.h"

namespace bench {

struct Receipt {
  harness::HostValue Package;  // the package as the host passes it (Windows-1251)
  std::string RequestBody;     // the request the driver sent for it, as the register got it
  // ProcessCheck's arguments, to the emulator and to an address the driver
  // refuses, made once: the host has its values at hand when it calls.
  std::vector<harness::HostValue> Args, OfflineArgs;
};

class Context {
 public:
  // Starts the emulator, loads the library and sends each receipt once,
  // checking the outcome and keeping the request body the register received.
  Context(const std::string& AddinPath, const std::vector<int>& Sizes);
  ~Context();

  const std::string& Address() const { return Address_; }
  std::string Url(const std::string& Path) const { return "http://" + Address_ + Path; }
  const Receipt& ReceiptOf(int Positions) const { return Receipts_.at(Positions); }

  // The calls, each as the platform makes it (AddinObject::CallReading: the
  // outputs read back, every block freed).
  harness::CallResult ProcessCheck(int Positions);
  harness::CallResult GetCurrentStatus();
  // A method that sends nothing (GetLineLength): the host interface alone.
  harness::CallResult GetLineLength();
  // ProcessCheck to an address the driver refuses before any network use:
  // the host interface and the driver's own work alone.
  harness::CallResult ProcessCheckOffline(int Positions);
  // ProcessCheck through CallRaw, with the parameters built beforehand so
  // that only the add-in's own call is inside the heap count. Returns the
  // peak heap growth in bytes.
  std::size_t ProcessCheckPeakHeap(int Positions);

  // The body of the last request the register received.
  std::string LastRequestBody() const;

 private:
  void Script(const std::string& Path, const std::string& Method, const std::string& Answer);

  kelvo_emulator::Emulator Register_;
  std::string Address_;
  harness::AddinLibrary Library_;
  harness::TrackingMemoryManager Memory_;
  harness::RecordingConnection Connection_;
  std::unique_ptr<harness::AddinObject> Object_;
  std::map<int, Receipt> Receipts_;
  std::vector<harness::HostValue> StatusArgs_, LineLengthArgs_;
};

}  // namespace bench
