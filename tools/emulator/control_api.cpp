// The control endpoints under "/emulator/": the register's state, its tape,
// the requests it received, and fault mode. Each endpoint is one function
// called with the emulator's mutex held.
#include "tools/emulator/device_api.h"
#include "tools/emulator/documents.h"
#include "tools/emulator/emulator_impl.h"
#include "tools/emulator/tape.h"

namespace kelvo_emulator {

namespace {

using Impl = Emulator::Impl;

void ReplyJson(httplib::Response& Out, int Status, const Json& Body) {
  Reply(Out, Status, Dump(Body), kJsonType);
}

void Fail(httplib::Response& Out, int Status, const std::string& Message) {
  ReplyJson(Out, Status, {{"ok", false}, {"message", Message}});
}

void Done(httplib::Response& Out) { ReplyJson(Out, 200, {{"ok", true}}); }

// A query parameter that must be a whole number of at least 0; Fallback when absent.
bool CountParam(const httplib::Request& In, const char* Name, long long Fallback,
                long long& Value) {
  Value = Fallback;
  if (!In.has_param(Name)) return true;
  return ParseInt(In.get_param_value(Name), Value) && Value >= 0;
}

std::string Caption(const RegisterState& State) {
  std::string Shift = "смена " + std::to_string(State.Shift.Number);
  switch (ShiftStatus(State)) {
    case 0: Shift += State.Shift.Number == 0 ? " (не открывалась)" : " закрыта"; break;
    case 1: Shift += " открыта"; break;
    default: Shift += " открыта более 24 часов"; break;
  }
  return "KELVO-1F · ЗН " + State.Device.SerialNumber + " · " + Shift + " · ФД " +
         std::to_string(State.DocumentNumber) +
         " · строк на ленте: " + std::to_string(State.Tape.size());
}

void GetState(Impl& Self, const httplib::Request&, httplib::Response& Out) {
  ReplyJson(Out, 200, StateToJson(Self.State, StateView::Control));
}

void PostState(Impl& Self, const httplib::Request& In, httplib::Response& Out) {
  const Json Patch = Json::parse(In.body, nullptr, false);
  if (Patch.is_discarded()) return Fail(Out, 400, "the body is not JSON");
  const std::string Error = ApplyPatch(Self.State, Patch);
  if (!Error.empty()) return Fail(Out, 400, Error);
  Self.Save();
  ReplyJson(Out, 200, StateToJson(Self.State, StateView::Control));
}

void PostReset(Impl& Self, const httplib::Request&, httplib::Response& Out) {
  Self.ResetLocked();
  ReplyJson(Out, 200, StateToJson(Self.State, StateView::Control));
}

void GetTape(Impl& Self, const httplib::Request& In, httplib::Response& Out) {
  long long From = 0;
  if (!CountParam(In, "from", 0, From)) return Fail(Out, 400, "from must be a line number");
  std::string Text;
  const std::vector<std::string>& Tape = Self.State.Tape;
  for (std::size_t I = static_cast<std::size_t>(From); I < Tape.size(); ++I) Text += Tape[I] + "\n";
  Reply(Out, 200, Text, "text/plain; charset=utf-8");
}

void DeleteTape(Impl& Self, const httplib::Request&, httplib::Response& Out) {
  Self.State.Tape.clear();
  Self.Save();
  Done(Out);
}

void GetTapeHtml(Impl& Self, const httplib::Request&, httplib::Response& Out) {
  Reply(Out, 200, TapeHtml(Self.State.Tape, Caption(Self.State)), "text/html; charset=utf-8");
}

void GetRequests(Impl& Self, const httplib::Request& In, httplib::Response& Out) {
  long long Last = 0;
  if (!CountParam(In, "last", static_cast<long long>(Self.Requests.size()), Last))
    return Fail(Out, 400, "last must be a count");
  Json List = Json::array();
  const std::size_t Skip =
      Self.Requests.size() - std::min(Self.Requests.size(), static_cast<std::size_t>(Last));
  for (std::size_t I = Skip; I < Self.Requests.size(); ++I)
    List.push_back(LoggedRequestToJson(Self.Requests[I]));
  ReplyJson(Out, 200, {{"ok", true}, {"requests", List}});
}

void DeleteRequests(Impl& Self, const httplib::Request&, httplib::Response& Out) {
  Self.Requests.clear();
  Done(Out);
}

void GetFaults(Impl& Self, const httplib::Request&, httplib::Response& Out) {
  ReplyJson(Out, 200, {{"ok", true}, {"faults", Self.Faults.ToJson()}});
}

void PostFault(Impl& Self, const httplib::Request& In, httplib::Response& Out) {
  const Json Script = Json::parse(In.body, nullptr, false);
  if (Script.is_discarded()) return Fail(Out, 400, "the body is not JSON");
  std::string Error;
  std::optional<Fault> Parsed = ParseFault(Script, Error);
  if (!Parsed) return Fail(Out, 400, Error);
  const Json Echo = FaultToJson(*Parsed);
  Self.Faults.Set(std::move(*Parsed));
  ReplyJson(Out, 200, {{"ok", true}, {"fault", Echo}});
}

void DeleteFaults(Impl& Self, const httplib::Request& In, httplib::Response& Out) {
  Self.Faults.Clear(In.has_param("path") ? In.get_param_value("path") : std::string());
  Done(Out);
}

struct ControlEndpoint {
  const char* Method;
  const char* Path;
  void (*Handle)(Impl&, const httplib::Request&, httplib::Response&);
};

const ControlEndpoint kControlEndpoints[] = {
    {"GET", "/emulator/state", GetState},        {"POST", "/emulator/state", PostState},
    {"POST", "/emulator/reset", PostReset},      {"GET", "/emulator/tape", GetTape},
    {"DELETE", "/emulator/tape", DeleteTape},    {"GET", "/emulator/tape.html", GetTapeHtml},
    {"GET", "/emulator/requests", GetRequests},  {"DELETE", "/emulator/requests", DeleteRequests},
    {"GET", "/emulator/fault", GetFaults},       {"POST", "/emulator/fault", PostFault},
    {"DELETE", "/emulator/fault", DeleteFaults},
};

}  // namespace

void Emulator::Impl::ServeControl(const httplib::Request& In, httplib::Response& Out) {
  const std::string Verb = In.method == "HEAD" ? "GET" : In.method;
  for (const ControlEndpoint& Endpoint : kControlEndpoints) {
    if (In.path != Endpoint.Path || Verb != Endpoint.Method) continue;
    std::lock_guard<std::mutex> Lock(Mutex);
    return Endpoint.Handle(*this, In, Out);
  }
  Fail(Out, 404, "no control endpoint " + In.method + " " + In.path);
}

}  // namespace kelvo_emulator
