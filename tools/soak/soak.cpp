// kelvo-soak: a long run of mixed calls through the host harness against the
// register emulator, watching memory rather than time. It fails when host
// memory does not balance or when the process's resident memory grows by 1
// MiB or more between the 1,000th call and the last.
//
//   kelvo-soak [CALLS]        (default 100000)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

#include "support/emulator_process.h"
#include "tools/harness/addin.h"

using harness::HostValue;

namespace {

long ResidentKiB() {
  std::ifstream Statm("/proc/self/statm");
  long Pages = 0, Resident = 0;
  Statm >> Pages >> Resident;
  return Resident * (sysconf(_SC_PAGESIZE) / 1024);
}

HostValue S(const std::string& Utf8) { return HostValue::Str(harness::FromUtf8(Utf8)); }

const char kSale[] =
    R"(<CheckPackage><Parameters PaymentType="1" TaxVariant="0" CashierName="Соак"/>)"
    R"(<Positions><FiscalString Name="Товар" Quantity="2" PriceWithDiscount="10.5" )"
    R"(SumWithDiscount="21" Tax="20" TaxSum="3.5" SignMethodCalculation="4" )"
    R"(SignCalculationObject="1"/></Positions><Payments Cash="21"/></CheckPackage>)";

}  // namespace

int main(int argc, char** argv) {
  const long Calls = argc > 1 ? std::atol(argv[1]) : 100000;
  auto& Register = testing_support::EmulatorProcess::Instance();
  Register.Reset();
  const std::string Address = Register.Address();
  const HostValue Device = S(Address), Out = HostValue::Empty();
  const HostValue Shift = S(R"(<I><Parameters CashierName="Соак"/></I>)");

  harness::AddinLibrary Library(KELVO_ADDIN_PATH);
  harness::TrackingMemoryManager Memory;
  harness::RecordingConnection Connection;
  long RssAt1000 = 0, Failures = 0;
  {
    harness::AddinObject Object(Library, Memory, Connection);
    Object.Call(u"SetParameter", {S("IpAddress"), Device});
    Object.Call(u"OpenShift", {Device, Shift, Out, Out, Out});
    for (long I = 0; I < Calls; ++I) {
      harness::CallResult R;
      switch (I % 10) {
        case 0: R = Object.Call(u"GetVersion", {}); break;
        case 1: R = Object.Call(u"GetDataKKT", {Device, Out}); break;
        case 2: R = Object.Call(u"GetCurrentStatus", {Device, Out, Out, Out, Out}); break;
        case 3:
          R = Object.Call(u"ProcessCheck", {Device, Out, S(kSale), Out, Out, Out, Out});
          break;
        case 4:
          R = Object.Call(u"PrintTextDocument",
                          {Device, S(R"(<D><Positions><TextString Text="строка"/></Positions></D>)")});
          break;
        case 5:
          R = Object.Call(u"CashInOutcome", {Device, S("<Parameters/>"), HostValue::R8(-10)});
          break;
        case 6: R = Object.Call(u"GetLastError", {Out}); break;
        case 7: R = Object.Call(u"DeviceTest", {Out, Out}); break;
        case 8:  // input that ends the call: the host's call fails in order
          R = Object.Call(u"ProcessCheck", {Device, Out, S("<CheckPackage"), Out, Out, Out, Out});
          R.Routine = !R.Routine;
          break;
        default:
          if (I % 1000 == 9) {  // a new shift now and then, as a day would have
            Object.Call(u"CloseShift", {Device, Shift, Out, Out, Out});
            R = Object.Call(u"OpenShift", {Device, Shift, Out, Out, Out});
          } else {
            R = Object.Call(u"GetParameters", {Out});
          }
          break;
      }
      if (!R.Routine) ++Failures;
      if (I + 1 == 1000) RssAt1000 = ResidentKiB();
    }
  }
  const long RssAtEnd = ResidentKiB();
  const long Growth = RssAt1000 ? RssAtEnd - RssAt1000 : 0;
  std::printf("calls: %ld\nfailed calls: %ld\nhost memory: %s\n", Calls, Failures,
              Memory.Report().c_str());
  std::printf("resident memory: %ld KiB at call 1000, %ld KiB at the end, growth %ld KiB\n",
              RssAt1000, RssAtEnd, Growth);
  const bool Ok = Memory.Balanced() && Memory.Outstanding() == 0 && Growth < 1024 && Failures == 0;
  std::printf("%s\n", Ok ? "soak passed" : "soak FAILED");
  return Ok ? 0 : 1;
}
