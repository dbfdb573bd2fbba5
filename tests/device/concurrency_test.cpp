// Several driver objects used at once from several threads, each with its
// own host memory manager, against the one emulated register. Objects share
// nothing but the process-wide decimal separator.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/device_fixture.h"

namespace {

using namespace testing_support;

constexpr int kThreads = 8;
constexpr int kRounds = 8;

TEST(Concurrency, ObjectsOnSeveralThreadsKeepTheirOwnState) {
  EmulatorProcess& Register = EmulatorProcess::Instance();
  Register.Reset();
  const std::u16string Address = Register.Address16();
  std::atomic<int> Failures{0};
  auto Check = [&](bool Ok, const char* What, int Thread) {
    if (Ok) return;
    ++Failures;
    ADD_FAILURE() << "thread " << Thread << ": " << What;
  };

  std::vector<std::thread> Threads;
  for (int T = 0; T < kThreads; ++T) {
    Threads.emplace_back([&, T] {
      harness::TrackingMemoryManager Memory;
      harness::RecordingConnection Connection;
      {
        harness::AddinObject Object(Library(), Memory, Connection);
        const std::u16string Own = u"thread" + U(std::to_string(T)) + u"/unusable";
        for (int Round = 0; Round < kRounds; ++Round) {
          // A failure that names this object's own address...
          Object.Call(u"OperationFN", {S(Own), I(1), S(u"<Parameters/>")});
          const CallResult E = Object.Call(u"GetLastError", {Out()});
          Check(E.Ret.Int == 1 && E.Params[0].Text.find(Own) != std::u16string::npos,
                "own error state", T);
          // ...then real exchanges with the register.
          const CallResult D = Object.Call(u"GetDataKKT", {S(Address), Out()});
          Check(D.Ret.Bool, "registration data", T);
          Check(Object.Call(u"GetLastError", {Out()}).Ret.Int == 0, "code reset by the answer", T);
          const CallResult P = Object.Call(
              u"PrintTextDocument",
              {S(Address), S(u"<D><Positions><TextString Text=\"T" + U(std::to_string(T)) +
                             u"\"/></Positions></D>")});
          Check(P.Ret.Bool, "text document", T);
          const CallResult C =
              Object.Call(u"CashInOutcome", {S(Address), S(u"<Parameters/>"), W(u"12.5")});
          Check(C.Ret.Bool, "cash slip", T);
          Object.Call(u"SetParameter", {S(u"IpAddress"), S(Own)});
          Check(Object.Call(u"GetParameter", {S(u"IpAddress")}).Ret.Text == Own, "own address",
                T);
        }
      }
      Check(Memory.Balanced(), "host memory balanced", T);
    });
  }
  for (std::thread& T : Threads) T.join();
  EXPECT_EQ(Failures.load(), 0);

  // Every slip was written with the one separator every object shares.
  const std::string Tape = Register.Get("/emulator/tape").Body;
  std::size_t Slips = 0;
  for (std::size_t At = Tape.find(" 12.5\n"); At != std::string::npos;
       At = Tape.find(" 12.5\n", At + 1))
    ++Slips;
  EXPECT_EQ(Slips, static_cast<std::size_t>(kThreads * kRounds));
}

}  // namespace
