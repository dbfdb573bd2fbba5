#include "tools/emulator/faults.h"

#include <algorithm>
#include <cctype>

namespace kelvo_emulator {

namespace {

constexpr int kMaxDelayMs = 600000;
constexpr std::size_t kMaxSize = 64u << 20;

const std::pair<const char*, FaultAction> kActions[] = {
    {"none", FaultAction::None},         {"answer", FaultAction::Answer},
    {"close", FaultAction::Close},       {"truncate", FaultAction::Truncate},
    {"oversize", FaultAction::Oversize},
};

const char* const kMembers[] = {"path",        "method",    "action", "delayMs", "answerDelayMs",
                                "times",       "perform",   "status", "body",    "bodyBase64",
                                "contentType", "sendBytes", "size"};

const char* ActionName(FaultAction Action) {
  for (const auto& [Name, Value] : kActions) {
    if (Value == Action) return Name;
  }
  return "none";
}

bool IsUtf8(const std::string& Bytes) {
  try {
    (void)Json(Bytes).dump();
    return true;
  } catch (const Json::exception&) {
    return false;
  }
}

// Reads an optional whole number within [Low, High]; false with Error set when
// present and wrong.
bool ReadWhole(const Json& Script, const char* Name, long long Low, long long High, long long& Out,
               std::string& Error) {
  const auto Member = Script.find(Name);
  if (Member == Script.end()) return true;
  if (!Member->is_number_integer() || Member->get<long long>() < Low ||
      Member->get<long long>() > High) {
    Error = std::string(Name) + " must be a whole number from " + std::to_string(Low) + " to " +
            std::to_string(High);
    return false;
  }
  Out = Member->get<long long>();
  return true;
}

bool ReadString(const Json& Script, const char* Name, std::optional<std::string>& Out,
                std::string& Error) {
  const auto Member = Script.find(Name);
  if (Member == Script.end()) return true;
  if (!Member->is_string()) {
    Error = std::string(Name) + " must be a string";
    return false;
  }
  Out = Member->get<std::string>();
  return true;
}

}  // namespace

std::optional<Fault> ParseFault(const Json& Script, std::string& Error) {
  if (!Script.is_object()) {
    Error = "the fault must be a JSON object";
    return std::nullopt;
  }
  for (const auto& Item : Script.items()) {
    if (std::find_if(std::begin(kMembers), std::end(kMembers),
                     [&](const char* Name) { return Item.key() == Name; }) == std::end(kMembers)) {
      Error = "unknown member " + Item.key();
      return std::nullopt;
    }
  }
  Fault Out;
  std::optional<std::string> Path, Method, Action, Body, Base64, ContentType;
  if (!ReadString(Script, "path", Path, Error) || !ReadString(Script, "method", Method, Error) ||
      !ReadString(Script, "action", Action, Error) || !ReadString(Script, "body", Body, Error) ||
      !ReadString(Script, "bodyBase64", Base64, Error) ||
      !ReadString(Script, "contentType", ContentType, Error))
    return std::nullopt;
  if (!Path || (*Path != "*" && (Path->empty() || (*Path)[0] != '/')) ||
      Path->rfind("/emulator/", 0) == 0) {
    Error = "path must be a device path such as /api/1/receipt, or *";
    return std::nullopt;
  }
  Out.Path = *Path;
  if (Method) {
    Out.Method = *Method;
    for (char& C : Out.Method) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  }
  if (Action) {
    const auto Known = std::find_if(std::begin(kActions), std::end(kActions),
                                    [&](const auto& Entry) { return *Action == Entry.first; });
    if (Known == std::end(kActions)) {
      Error = "action must be none, answer, close, truncate or oversize";
      return std::nullopt;
    }
    Out.Action = Known->second;
  }
  Out.Perform = Out.Action != FaultAction::Answer && Out.Action != FaultAction::Close;
  const auto Perform = Script.find("perform");
  if (Perform != Script.end()) {
    if (!Perform->is_boolean()) {
      Error = "perform must be true or false";
      return std::nullopt;
    }
    Out.Perform = Perform->get<bool>();
  }
  long long DelayMs = 0, AnswerDelayMs = 0, Times = 0, Status = 200, SendBytes = -1, Size = 0;
  if (!ReadWhole(Script, "delayMs", 0, kMaxDelayMs, DelayMs, Error) ||
      !ReadWhole(Script, "answerDelayMs", 0, kMaxDelayMs, AnswerDelayMs, Error) ||
      !ReadWhole(Script, "times", 0, 1000000000, Times, Error) ||
      !ReadWhole(Script, "status", 100, 599, Status, Error) ||
      !ReadWhole(Script, "sendBytes", 0, kMaxSize, SendBytes, Error) ||
      !ReadWhole(Script, "size", 1, kMaxSize, Size, Error))
    return std::nullopt;
  Out.DelayMs = static_cast<int>(DelayMs);
  Out.AnswerDelayMs = static_cast<int>(AnswerDelayMs);
  Out.Times = static_cast<int>(Times);
  Out.Status = static_cast<int>(Status);
  if (SendBytes >= 0) Out.SendBytes = static_cast<std::size_t>(SendBytes);
  Out.Size = static_cast<std::size_t>(Size);
  if (Body && Base64) {
    Error = "give body or bodyBase64, not both";
    return std::nullopt;
  }
  if (Base64) {
    Body = Base64Decode(*Base64);
    if (!Body) {
      Error = "bodyBase64 is not base64";
      return std::nullopt;
    }
  }
  Out.Body = Body;
  if (Out.Action == FaultAction::Answer && !Out.Body) Out.Body = std::string();
  if (ContentType) Out.ContentType = *ContentType;
  if (Out.Action == FaultAction::Oversize && Out.Size == 0) {
    Error = "oversize needs size";
    return std::nullopt;
  }
  return Out;
}

Json FaultToJson(const Fault& Script) {
  Json Out = {{"path", Script.Path}};
  if (!Script.Method.empty()) Out["method"] = Script.Method;
  Out["action"] = ActionName(Script.Action);
  Out["delayMs"] = Script.DelayMs;
  Out["answerDelayMs"] = Script.AnswerDelayMs;
  Out["times"] = Script.Times;
  Out["perform"] = Script.Perform;
  if (Script.Action == FaultAction::Answer ||
      (Script.Action == FaultAction::Truncate && Script.Body)) {
    Out["status"] = Script.Status;
    Out["contentType"] = Script.ContentType;
    if (Script.Body) {
      if (IsUtf8(*Script.Body)) {
        Out["body"] = *Script.Body;
      } else {
        Out["bodyBase64"] = Base64Encode(*Script.Body);
      }
    }
  }
  if (Script.Action == FaultAction::Truncate && Script.SendBytes)
    Out["sendBytes"] = *Script.SendBytes;
  if (Script.Action == FaultAction::Oversize) Out["size"] = Script.Size;
  return Out;
}

void FaultTable::Set(Fault Script) {
  for (Fault& Existing : Faults_) {
    if (Existing.Path == Script.Path && Existing.Method == Script.Method) {
      Existing = std::move(Script);
      return;
    }
  }
  Faults_.push_back(std::move(Script));
}

void FaultTable::Clear(const std::string& Path) {
  Faults_.erase(std::remove_if(Faults_.begin(), Faults_.end(),
                               [&](const Fault& F) { return Path.empty() || F.Path == Path; }),
                Faults_.end());
}

std::optional<Fault> FaultTable::Take(const std::string& Method, const std::string& Path) {
  const std::string Verb = Method == "HEAD" ? "GET" : Method;
  auto Matches = [&](const Fault& F, bool Exact) {
    return (Exact ? F.Path == Path : F.Path == "*") && (F.Method.empty() || F.Method == Verb);
  };
  for (bool Exact : {true, false}) {
    for (auto It = Faults_.begin(); It != Faults_.end(); ++It) {
      if (!Matches(*It, Exact)) continue;
      Fault Found = *It;
      if (It->Times > 0 && --It->Times == 0) Faults_.erase(It);
      return Found;
    }
  }
  return std::nullopt;
}

Json FaultTable::ToJson() const {
  Json List = Json::array();
  for (const Fault& Script : Faults_) List.push_back(FaultToJson(Script));
  return List;
}

std::string PadAnswer(const std::string& Body, std::size_t Size) {
  const std::size_t Close = Body.rfind('}');
  if (Body.size() >= Size || Close == std::string::npos) return Body;
  const std::string Head = Body.substr(0, Close);
  const std::string Tail = Body.substr(Close);
  const bool Empty = Head.find_last_not_of(" \t\r\n") == Head.find('{');
  const std::string Member = std::string(Empty ? "" : ",") + "\"padding\":\"";
  const std::size_t Fixed = Body.size() + Member.size() + 1;
  if (Fixed > Size) return Head + std::string(Size - Body.size(), ' ') + Tail;
  return Head + Member + std::string(Size - Fixed, 'x') + "\"" + Tail;
}

}  // namespace kelvo_emulator
