#include "tools/emulator/emulator.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "tools/emulator/device_api.h"
#include "tools/emulator/emulator_impl.h"

namespace kelvo_emulator {

const char kJsonType[] = "application/json; charset=utf-8";

namespace {

// Header lines of a request's bytes, in their order.
std::vector<std::pair<std::string, std::string>> HeaderLines(const std::string& Raw) {
  std::vector<std::pair<std::string, std::string>> Headers;
  std::size_t Start = Raw.find('\n');  // after the request line
  while (Start != std::string::npos && Start + 1 < Raw.size()) {
    const std::size_t End = Raw.find('\n', Start + 1);
    std::string Line = Raw.substr(Start + 1, End == std::string::npos ? End : End - Start - 1);
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.empty()) break;  // the end of the headers
    const std::size_t Colon = Line.find(':');
    if (Colon != std::string::npos) {
      std::string Value = Line.substr(Colon + 1);
      const std::size_t First = Value.find_first_not_of(" \t");
      const std::size_t Last = Value.find_last_not_of(" \t");
      Value = First == std::string::npos ? std::string() : Value.substr(First, Last - First + 1);
      Headers.emplace_back(Line.substr(0, Colon), Value);
    }
    Start = End;
  }
  return Headers;
}

}  // namespace

Json LoggedRequestToJson(const LoggedRequest& Entry) {
  Json Headers = Json::array();
  for (const auto& [Name, Value] : Entry.Headers) Headers.push_back({Name, Value});
  return {{"seq", Entry.Seq},
          {"method", Entry.Method},
          {"target", Entry.Target},
          {"path", Entry.Path},
          {"version", Entry.Version},
          {"headers", Headers},
          {"body", Entry.Body},
          {"bodyBase64", Base64Encode(Entry.Body)},
          {"rawBase64", Base64Encode(Entry.Raw)}};
}

Emulator::Impl::Impl(Options Opts) : Settings(std::move(Opts)), State(StartState()) {}

void Emulator::Impl::Serve(const httplib::Request& In, httplib::Response& Out) {
  if (In.path == "/emulator" || In.path.rfind("/emulator/", 0) == 0) return ServeControl(In, Out);
  if (In.path == "/" && In.method == "GET") {
    Out.set_redirect("/emulator/tape.html");
    return;
  }
  ServeDevice(In, Out);
}

void Emulator::Impl::ServeDevice(const httplib::Request& In, httplib::Response& Out) {
  std::optional<Fault> Script;
  {
    std::lock_guard<std::mutex> Lock(Mutex);
    Log(In);
    Script = Faults.Take(In.method, In.path);
  }
  if (Script && Script->DelayMs > 0 && !Sleep(Script->DelayMs)) {
    DeviceServer::DropCurrentConnection();
    return;
  }
  const FaultAction Action = Script ? Script->Action : FaultAction::None;
  const bool Perform = !Script || Script->Perform;
  const bool OwnAnswer = Action == FaultAction::None || Action == FaultAction::Oversize ||
                         (Action == FaultAction::Truncate && !Script->Body);
  Answer Result;
  {
    std::lock_guard<std::mutex> Lock(Mutex);
    if (Perform) {
      Result = HandleDeviceRequest(State, In.method, In.path, In.body);
      if (Result.Changed) Save();
    } else if (OwnAnswer) {
      RegisterState Trial = State;  // the answer the register would give, without its effect
      Result = HandleDeviceRequest(Trial, In.method, In.path, In.body);
    }
  }
  if (Script && Script->AnswerDelayMs > 0 && !Sleep(Script->AnswerDelayMs)) {
    DeviceServer::DropCurrentConnection();
    return;
  }
  const std::string Body = Dump(Result.Body);
  switch (Action) {
    case FaultAction::None: Reply(Out, Result.Status, Body, kJsonType); break;
    case FaultAction::Answer: Reply(Out, Script->Status, *Script->Body, Script->ContentType); break;
    case FaultAction::Close: DeviceServer::DropCurrentConnection(); break;
    case FaultAction::Truncate: {
      const bool Given = Script->Body.has_value();
      const std::string& Full = Given ? *Script->Body : Body;
      ReplyTruncated(Out, Given ? Script->Status : Result.Status, Full,
                     Given ? Script->ContentType : kJsonType,
                     Script->SendBytes.value_or(Full.size() / 2));
      break;
    }
    case FaultAction::Oversize:
      Reply(Out, Result.Status, PadAnswer(Body, Script->Size), kJsonType);
      break;
  }
}

void Emulator::Impl::Log(const httplib::Request& In) {
  LoggedRequest Entry;
  Entry.Seq = NextSeq++;
  Entry.Method = In.method;
  Entry.Target = In.target;
  Entry.Path = In.path;
  Entry.Version = In.version;
  Entry.Body = In.body;
  Entry.Raw = DeviceServer::CurrentRequestBytes();
  Entry.Headers = HeaderLines(Entry.Raw);
  Requests.push_back(std::move(Entry));
  while (Requests.size() > Settings.RequestLogSize) Requests.pop_front();
}

void Emulator::Impl::Load() {
  if (Settings.StateFile.empty()) return;
  std::ifstream File(Settings.StateFile, std::ios::binary);
  if (!File) {
    State = StartState();
    Save();
    return;
  }
  std::stringstream Text;
  Text << File.rdbuf();
  const Json Value = Json::parse(Text.str(), nullptr, false);
  if (Value.is_discarded())
    throw std::runtime_error("state file " + Settings.StateFile + " is not JSON");
  try {
    State = StateFromJson(Value);
  } catch (const std::runtime_error& Failure) {
    throw std::runtime_error("state file " + Settings.StateFile + ": " + Failure.what());
  }
}

void Emulator::Impl::Save() {
  if (Settings.StateFile.empty()) return;
  const std::string Temporary = Settings.StateFile + ".tmp";
  {
    std::ofstream File(Temporary, std::ios::binary | std::ios::trunc);
    File << StateToJson(State, StateView::File).dump(1, '\t', false, Json::error_handler_t::replace)
         << '\n';
    if (!File.flush()) {
      std::cerr << "kelvo-emulator: cannot write " << Temporary << "\n";
      return;
    }
  }
  if (std::rename(Temporary.c_str(), Settings.StateFile.c_str()) != 0)
    std::cerr << "kelvo-emulator: cannot replace " << Settings.StateFile << "\n";
}

void Emulator::Impl::ResetLocked() {
  State = StartState();
  Faults.Clear();
  Requests.clear();
  Save();
}

bool Emulator::Impl::Sleep(int Ms) {
  std::unique_lock<std::mutex> Lock(Mutex);
  return !Wakeup.wait_for(Lock, std::chrono::milliseconds(Ms), [&] { return Stopping; });
}

Emulator::Emulator(Options Settings) : Impl_(std::make_unique<Impl>(std::move(Settings))) {}

Emulator::~Emulator() { Stop(); }

int Emulator::Start(const std::string& Host, int Port) {
  if (Impl_->Server) throw std::runtime_error("the emulator already runs");
  {
    std::lock_guard<std::mutex> Lock(Impl_->Mutex);
    Impl_->Load();
    Impl_->Stopping = false;
  }
  auto Server = std::make_unique<DeviceServer>();
  Impl* Self = Impl_.get();
  const auto Handler = [Self](const httplib::Request& In, httplib::Response& Out) {
    Self->Serve(In, Out);
  };
  Server->Get(".*", Handler);
  Server->Post(".*", Handler);
  Server->Put(".*", Handler);
  Server->Patch(".*", Handler);
  Server->Delete(".*", Handler);
  Server->Options(".*", Handler);
  const int Bound =
      Port == 0 ? Server->bind_to_any_port(Host) : (Server->bind_to_port(Host, Port) ? Port : -1);
  if (Bound <= 0) throw std::runtime_error("cannot listen on " + Host + ":" + std::to_string(Port));
  DeviceServer* Listening = Server.get();
  auto Finished = std::make_shared<std::atomic<bool>>(false);
  Impl_->Listener = std::thread([Listening, Finished] {
    Listening->listen_after_bind();
    *Finished = true;
  });
  // The socket listens already; waiting until the server loop runs makes an
  // early Stop safe.
  while (!Listening->is_running() && !*Finished)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  Impl_->Server = std::move(Server);
  Impl_->Host = Host;
  Impl_->Port = Bound;
  return Bound;
}

void Emulator::Stop() {
  if (!Impl_->Server) return;
  {
    std::lock_guard<std::mutex> Lock(Impl_->Mutex);
    Impl_->Stopping = true;
  }
  Impl_->Wakeup.notify_all();
  Impl_->Server->BeginStop();
  Impl_->Server->stop();
  Impl_->Listener.join();
  Impl_->Server.reset();
  Impl_->Port = 0;
}

bool Emulator::Running() const { return Impl_->Server != nullptr; }

int Emulator::Port() const { return Impl_->Port; }

std::string Emulator::BaseUrl() const {
  const bool V6 = Impl_->Host.find(':') != std::string::npos;
  return "http://" + (V6 ? "[" + Impl_->Host + "]" : Impl_->Host) + ":" +
         std::to_string(Impl_->Port);
}

std::string Emulator::StateJson() const {
  std::lock_guard<std::mutex> Lock(Impl_->Mutex);
  return Dump(StateToJson(Impl_->State, StateView::Control));
}

std::vector<std::string> Emulator::Tape() const {
  std::lock_guard<std::mutex> Lock(Impl_->Mutex);
  return Impl_->State.Tape;
}

void Emulator::Reset() {
  std::lock_guard<std::mutex> Lock(Impl_->Mutex);
  Impl_->ResetLocked();
}

}  // namespace kelvo_emulator
