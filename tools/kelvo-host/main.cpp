// kelvo-host: the host harness on the command line. It loads an add-in the
// way the platform does and shows what it offers, or calls its methods.
//
//   kelvo-host [--json] LIBRARY info
//   kelvo-host [--json] LIBRARY call METHOD [ARG...] [+ METHOD [ARG...]]...
//
// Calls separated by "+" go to the same object, in order. Arguments:
//   TEXT or s:TEXT  string (8-bit, Windows-1251)     w:TEXT  wide string
//   i:N  integer     d:X  number     b:true|false  Boolean     date:X  date
//   @FILE  string with the file's (UTF-8) contents    empty  no value
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/harness/addin.h"
#include "tools/kelvo-host/arguments.h"

using harness::HostValue;

namespace {

int Usage() {
  std::cerr << "usage: kelvo-host [--json] LIBRARY info\n"
               "       kelvo-host [--json] LIBRARY call METHOD [ARG...] [+ METHOD [ARG...]]...\n"
               "args: TEXT | s:TEXT | w:TEXT | i:N | d:X | b:true|false | date:X | @FILE | empty\n";
  return 2;
}

bool StartsWith(const std::string& Text, const char* Prefix) { return Text.rfind(Prefix, 0) == 0; }

HostValue ParseArg(const std::string& Arg) {
  if (Arg == "empty") return HostValue::Empty();
  if (StartsWith(Arg, "s:")) return HostValue::Str(harness::FromUtf8(Arg.substr(2)));
  if (StartsWith(Arg, "w:")) return HostValue::WStr(harness::FromUtf8(Arg.substr(2)));
  if (StartsWith(Arg, "i:")) return HostValue::I4(std::stoi(Arg.substr(2)));
  if (StartsWith(Arg, "d:")) return HostValue::R8(std::stod(Arg.substr(2)));
  if (StartsWith(Arg, "date:")) return HostValue::Date(std::stod(Arg.substr(5)));
  if (StartsWith(Arg, "b:"))
    return HostValue::Boolean(Arg.substr(2) == "true" || Arg.substr(2) == "1");
  if (StartsWith(Arg, "@")) {
    std::ifstream File(Arg.substr(1), std::ios::binary);
    if (!File) throw std::runtime_error("cannot read " + Arg.substr(1));
    std::ostringstream Content;
    Content << File.rdbuf();
    return HostValue::Str(harness::FromUtf8(Content.str()));
  }
  return HostValue::Str(harness::FromUtf8(Arg));
}

std::string JsonString(const std::string& Text) {
  std::string Out = "\"";
  for (const unsigned char C : Text) {
    switch (C) {
      case '"': Out += "\\\""; break;
      case '\\': Out += "\\\\"; break;
      case '\n': Out += "\\n"; break;
      case '\r': Out += "\\r"; break;
      case '\t': Out += "\\t"; break;
      default:
        if (C < 0x20) {
          char Buffer[8];
          std::snprintf(Buffer, sizeof Buffer, "\\u%04x", C);
          Out += Buffer;
        } else {
          Out += static_cast<char>(C);
        }
    }
  }
  return Out + "\"";
}

std::string JsonValue(const HostValue& V) {
  std::ostringstream Out;
  switch (V.Type) {
    case VTYPE_EMPTY: return "{\"type\":\"empty\"}";
    case VTYPE_PSTR: return "{\"type\":\"string\",\"value\":" + JsonString(V.Utf8()) + "}";
    case VTYPE_PWSTR: return "{\"type\":\"wstring\",\"value\":" + JsonString(V.Utf8()) + "}";
    case VTYPE_BOOL:
      return std::string("{\"type\":\"bool\",\"value\":") + (V.Bool ? "true" : "false") + "}";
    case VTYPE_R4:
    case VTYPE_R8: Out << "{\"type\":\"number\",\"value\":" << V.Number << "}"; return Out.str();
    case VTYPE_DATE: Out << "{\"type\":\"date\",\"value\":" << V.Number << "}"; return Out.str();
    default: Out << "{\"type\":" << V.Type << ",\"value\":" << V.Int << "}"; return Out.str();
  }
}

std::string Plain(const HostValue& V) {
  if (V.Type == VTYPE_PSTR || V.Type == VTYPE_PWSTR) {
    const std::string Text = V.Utf8();
    return Text.find('\n') == std::string::npos ? V.Describe()
                                                : V.Describe().substr(0, 7) + "\n" + Text;
  }
  return V.Describe();
}

int Info(const harness::AddinLibrary& Library, harness::AddinObject& Object, bool Json) {
  std::u16string Extension;
  bool GotExtension = false;
  Object.RegisterExtensionAs(Extension, GotExtension);
  const auto Count = Object.GetNMethods();
  if (Json) {
    std::cout << "{\"classes\":" << JsonString(harness::ToUtf8(Library.GetClassNames()))
              << ",\"extension\":" << JsonString(harness::ToUtf8(Extension))
              << ",\"info\":" << Object.GetInfo() << ",\"methods\":[";
    for (long I = 0; I < Count; ++I) {
      std::cout << (I ? "," : "") << "{\"number\":" << I
                << ",\"name\":" << JsonString(harness::ToUtf8(Object.GetMethodName(I, 0)))
                << ",\"russian\":" << JsonString(harness::ToUtf8(Object.GetMethodName(I, 1)))
                << ",\"params\":" << Object.GetNParams(I)
                << ",\"function\":" << (Object.HasRetVal(I) ? "true" : "false") << "}";
    }
    std::cout << "]}\n";
    return 0;
  }
  std::cout << "classes:   " << harness::ToUtf8(Library.GetClassNames()) << "\n"
            << "extension: " << harness::ToUtf8(Extension) << "\n"
            << "info:      " << Object.GetInfo() << "\n"
            << "methods:   " << Count << "\n";
  for (long I = 0; I < Count; ++I) {
    char Line[32];
    std::snprintf(Line, sizeof Line, "  %2ld  ", I);
    const std::string Name = harness::ToUtf8(Object.GetMethodName(I, 0));
    std::cout << Line << Name << std::string(Name.size() < 34 ? 34 - Name.size() : 1, ' ')
              << harness::ToUtf8(Object.GetMethodName(I, 1)) << "  (" << Object.GetNParams(I)
              << (Object.HasRetVal(I) ? " params, function)\n" : " params, procedure)\n");
  }
  return 0;
}

int Calls(harness::AddinObject& Object, const std::vector<std::string>& Words, bool Json) {
  std::vector<std::pair<std::string, std::vector<HostValue>>> Plan;
  for (const std::string& Word : Words) {
    if (Plan.empty() || Word == "+") {
      if (Word == "+") {
        Plan.emplace_back();
        continue;
      }
      Plan.emplace_back();
    }
    if (Plan.back().first.empty())
      Plan.back().first = Word;
    else
      Plan.back().second.push_back(ParseArg(Word));
  }
  if (Json) std::cout << "{\"calls\":[";
  bool First = true;
  for (const auto& [Method, Args] : Plan) {
    if (Method.empty()) continue;
    const harness::CallResult R = Object.Call(harness::FromUtf8(Method), Args);
    if (Json) {
      std::cout << (First ? "" : ",") << "{\"method\":" << JsonString(Method)
                << ",\"routine\":" << (R.Routine ? "true" : "false")
                << ",\"return\":" << JsonValue(R.Ret) << ",\"params\":[";
      for (std::size_t I = 0; I < R.Params.size(); ++I)
        std::cout << (I ? "," : "") << JsonValue(R.Params[I]);
      std::cout << "]}";
    } else {
      std::cout << Method << "\n  routine: " << (R.Routine ? "true" : "false")
                << "\n  return:  " << Plain(R.Ret) << "\n";
      for (std::size_t I = 0; I < R.Params.size(); ++I) {
        // A long input the call left as it was (an XML document) is not repeated.
        const bool Unchanged = I < Args.size() && Args[I].Type == R.Params[I].Type &&
                               Args[I].Text == R.Params[I].Text && Args[I].Text.size() > 60;
        std::cout << "  param " << I + 1 << ": "
                  << (Unchanged
                          ? "(input, " + std::to_string(Args[I].Bytes.size()) + " bytes, unchanged)"
                          : Plain(R.Params[I]))
                  << "\n";
      }
    }
    First = false;
  }
  if (Json) std::cout << "]}\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> Args = kelvo_host::Utf8Arguments(argc, argv);
  bool Json = false;
  if (!Args.empty() && Args[0] == "--json") {
    Json = true;
    Args.erase(Args.begin());
  }
  if (Args.size() < 2) return Usage();
  try {
    harness::AddinLibrary Library(Args[0]);
    harness::TrackingMemoryManager Memory;
    harness::RecordingConnection Connection;
    int Status = 0;
    {
      harness::AddinObject Object(Library, Memory, Connection);
      if (!Object.Valid()) {
        std::cerr << "kelvo-host: GetClassObject(\"TMyClass\") failed\n";
        return 1;
      }
      if (Args[1] == "info")
        Status = Info(Library, Object, Json);
      else if (Args[1] == "call" && Args.size() > 2)
        Status = Calls(Object, std::vector<std::string>(Args.begin() + 2, Args.end()), Json);
      else
        return Usage();
    }
    if (!Memory.Balanced()) {
      std::cerr << "kelvo-host: host memory not balanced: " << Memory.Report() << "\n";
      return 1;
    }
    return Status;
  } catch (const std::exception& Error) {
    std::cerr << "kelvo-host: " << Error.what() << "\n";
    return 1;
  }
}
