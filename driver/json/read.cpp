// Reading answers of the device API into values, on RapidJSON's event parser.
// The parser runs iteratively and this builder keeps its own stack of open
// objects and arrays, so the depth of a hostile answer costs no call stack.
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include <optional>
#include <string>
#include <vector>

#include "driver/json/json.h"

namespace driver::json {
namespace {

constexpr unsigned kCommonFlags = rapidjson::kParseIterativeFlag |
                                  rapidjson::kParseNumbersAsStringsFlag |
                                  rapidjson::kParseValidateEncodingFlag;

bool IsWhitespace(char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r'; }

// A "\u" escape of a lone low surrogate is the one way ill-formed UTF-8 (bytes
// ED B0..BF xx) gets through the parser; it becomes U+FFFD. (A lone high one
// stops the parser; Repair below turns it into U+FFFD's escape.) The bytes ED
// A0..AF cannot occur here: a high surrogate escape the parser takes is
// always joined with its low one.
std::string TakeText(const char* Text, rapidjson::SizeType Length) {
  std::string Out(Text, Length);
  for (std::size_t I = Out.find('\xED'); I != std::string::npos; I = Out.find('\xED', I + 1))
    if (static_cast<unsigned char>(Out[I + 1]) >= 0xA0) Out.replace(I, 3, "\xEF\xBF\xBD");
  return Out;
}

// Two things in an answer stop the parser although the answer is usable: a
// "\u" escape of a high surrogate with no low one after it (a message cut in
// the middle of an emoji), and a number beyond the range of a double (even
// though numbers are kept as their text). When the parser stops on one of
// them, the answer is read again from a copy in which every lone surrogate
// escape is "\ufffd" and every number with an exponent or of more than 300
// characters is "0"; the received texts of those numbers are put back in
// order. Ordinary answers never take this road.
struct RepairedAnswer {
  std::string Text;
  std::vector<std::optional<std::string>> Numbers;  // per number: its text, if replaced
};

bool IsHex(char C) {
  return (C >= '0' && C <= '9') || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F');
}

// The value of the "\uXXXX" escape at Text[I] (I at the backslash), or -1.
long EscapeAt(std::string_view Text, std::size_t I) {
  if (I + 6 > Text.size() || Text[I] != '\\' || Text[I + 1] != 'u') return -1;
  for (std::size_t K = I + 2; K < I + 6; ++K)
    if (!IsHex(Text[K])) return -1;
  return std::stol(std::string(Text.substr(I + 2, 4)), nullptr, 16);
}

// -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)? exactly: only a number the
// parser would take is put back in place of a placeholder.
bool IsJsonNumber(std::string_view T) {
  std::size_t I = 0;
  const auto Digits = [&] {
    const std::size_t Start = I;
    while (I < T.size() && T[I] >= '0' && T[I] <= '9') ++I;
    return I > Start;
  };
  if (I < T.size() && T[I] == '-') ++I;
  if (I < T.size() && T[I] == '0')
    ++I;
  else if (!Digits())
    return false;
  if (I < T.size() && T[I] == '.' && (++I, !Digits())) return false;
  if (I < T.size() && (T[I] == 'e' || T[I] == 'E')) {
    ++I;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
    if (!Digits()) return false;
  }
  return I == T.size();
}

RepairedAnswer Repair(std::string_view Text) {
  RepairedAnswer R;
  R.Text.reserve(Text.size());
  bool InString = false;
  for (std::size_t I = 0; I < Text.size();) {
    const char C = Text[I];
    if (InString) {
      if (C == '"') {
        InString = false;
      } else if (C == '\\') {
        const long Code = EscapeAt(Text, I);
        const bool High = Code >= 0xD800 && Code <= 0xDBFF;
        const long Next = High ? EscapeAt(Text, I + 6) : -1;
        if (High && Next >= 0xDC00 && Next <= 0xDFFF) {
          R.Text.append(Text.substr(I, 12));
          I += 12;
        } else if (Code >= 0xD800 && Code <= 0xDFFF) {
          R.Text += "\\ufffd";
          I += 6;
        } else {
          R.Text.append(Text.substr(I, std::min<std::size_t>(2, Text.size() - I)));
          I += 2;
        }
        continue;
      }
      R.Text.push_back(C);
      ++I;
      continue;
    }
    if (C == '"') {
      InString = true;
    } else if (C == '-' || (C >= '0' && C <= '9')) {
      std::size_t End = I + 1;
      while (End < Text.size() &&
             (std::string_view("0123456789+-.eE").find(Text[End]) != std::string_view::npos))
        ++End;
      const std::string_view Number = Text.substr(I, End - I);
      if ((Number.size() > 300 || Number.find_first_of("eE") != std::string_view::npos) &&
          IsJsonNumber(Number)) {
        R.Numbers.emplace_back(std::string(Number));
        R.Text += '0';
      } else {
        R.Numbers.emplace_back();
        R.Text.append(Number);
      }
      I = End;
      continue;
    }
    R.Text.push_back(C);
    ++I;
  }
  return R;
}

bool NeedsRepair(const rapidjson::ParseResult& Result) {
  return Result.Code() == rapidjson::kParseErrorStringUnicodeSurrogateInvalid ||
         Result.Code() == rapidjson::kParseErrorNumberTooBig;
}

// Builds the value of the events; the outermost value must be an object.
class Builder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Builder> {
 public:
  explicit Builder(Value& Root, const RepairedAnswer* Repaired = nullptr)
      : Root_(Root), Repaired_(Repaired) {
    Open_.reserve(16);
  }

  bool Null() { return Put(Value::Null()); }
  bool Bool(bool B) { return Put(Value::Boolean(B)); }
  bool RawNumber(const char* Text, rapidjson::SizeType Length, bool) {
    if (Repaired_ && Number_ < Repaired_->Numbers.size())
      if (const auto& Received = Repaired_->Numbers[Number_++])
        return Put(Value::NumberText(*Received));
    return Put(Value::NumberText(std::string(Text, Length)));
  }
  bool String(const char* Text, rapidjson::SizeType Length, bool) {
    return Put(Value::StringUtf8(TakeText(Text, Length)));
  }
  bool Key(const char* Text, rapidjson::SizeType Length, bool) {
    Slot_ = &Open_.back()->Members().emplace_back(TakeText(Text, Length), Value()).Val;
    return true;
  }
  bool StartObject() { return Start(Value::Object()); }
  bool StartArray() { return Start(Value::Array()); }
  bool EndObject(rapidjson::SizeType) { return End(); }
  bool EndArray(rapidjson::SizeType) { return End(); }

  bool TooDeep() const { return TooDeep_; }
  // Whether an object or array inside the outermost object is still open.
  bool InsideMemberValue() const { return Open_.size() > 1; }

 private:
  // Only the innermost open value grows, so the addresses of the open values
  // stay valid while they are open.
  Value& Place(Value V) {
    Value& Parent = *Open_.back();
    if (Parent.IsArray()) return Parent.Push(std::move(V));
    return *Slot_ = std::move(V);
  }
  bool Put(Value V) {
    if (Open_.empty()) return false;
    Place(std::move(V));
    return true;
  }
  bool Start(Value V) {
    if (Open_.empty()) {
      if (!V.IsObject()) return false;
      Open_.push_back(&Root_);
      return true;
    }
    if (Open_.size() == kMaxDepth) {
      TooDeep_ = true;
      return false;
    }
    Open_.push_back(&Place(std::move(V)));
    return true;
  }
  bool End() {
    Open_.pop_back();
    return true;
  }

  Value& Root_;
  const RepairedAnswer* Repaired_;
  std::size_t Number_ = 0;
  std::vector<Value*> Open_;
  Value* Slot_ = nullptr;
  bool TooDeep_ = false;
};

// Room for the members of an answer's envelope, which every answer has: the
// outermost object grows without moving its first members around. (Only the
// outermost: a hostile answer of many small objects would cost as many times.)
constexpr std::size_t kEnvelopeMembers = 8;

}  // namespace

namespace {

Value ReadLenient(std::string_view Utf8, const RepairedAnswer* Repaired) {
  Value Answer = Value::Object();
  Answer.Reserve(kEnvelopeMembers);
  std::size_t Start = 0;
  while (Start < Utf8.size() && IsWhitespace(Utf8[Start])) ++Start;
  if (Start == Utf8.size() || Utf8[Start] != '{') return Answer;

  rapidjson::MemoryStream Stream(Utf8.data() + Start, Utf8.size() - Start);
  Builder Events(Answer, Repaired);
  rapidjson::Reader Parser;
  const rapidjson::ParseResult Result =
      Parser.Parse<kCommonFlags | rapidjson::kParseStopWhenDoneFlag>(Stream, Events);
  if (!Result.IsError()) return Answer;
  if (!Repaired && NeedsRepair(Result)) {
    const RepairedAnswer Copy = Repair(Utf8);
    return ReadLenient(Copy.Text, &Copy);
  }
  if (Events.TooDeep()) return Value::Object();
  // A member's nested value that broke midway counts as not read at all.
  if (Events.InsideMemberValue()) Answer.Members().back().Val = Value();
  return Answer;
}

Value ReadStrict(std::string_view Utf8, const RepairedAnswer* Repaired) {
  Value Answer = Value::Object();
  Answer.Reserve(kEnvelopeMembers);
  rapidjson::MemoryStream Stream(Utf8.data(), Utf8.size());
  Builder Events(Answer, Repaired);
  rapidjson::Reader Parser;
  const rapidjson::ParseResult Result = Parser.Parse<kCommonFlags>(Stream, Events);
  if (Result.IsError() && !Repaired && NeedsRepair(Result)) {
    const RepairedAnswer Copy = Repair(Utf8);
    return ReadStrict(Copy.Text, &Copy);
  }
  // The parser takes a zero byte for the end of the text; the text must end there.
  if (Result.IsError() || Stream.Tell() != Utf8.size()) return Value::Object();
  return Answer;
}

}  // namespace

Value ReadLenientObject(std::string_view Utf8) { return ReadLenient(Utf8, nullptr); }

Value ReadStrictObject(std::string_view Utf8) { return ReadStrict(Utf8, nullptr); }

}  // namespace driver::json
