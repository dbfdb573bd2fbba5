// Reading answers of the device API into values, on RapidJSON's event parser.
// The parser runs iteratively and this builder keeps its own stack of open
// objects and arrays, so the depth of a hostile answer costs no call stack.
#include <rapidjson/memorystream.h>
#include <rapidjson/reader.h>

#include "driver/json/json.h"

namespace driver::json {
namespace {

constexpr unsigned kCommonFlags = rapidjson::kParseIterativeFlag |
                                  rapidjson::kParseNumbersAsStringsFlag |
                                  rapidjson::kParseValidateEncodingFlag;

bool IsWhitespace(char C) { return C == ' ' || C == '\t' || C == '\n' || C == '\r'; }

// A "\u" escape of a lone surrogate is the one way ill-formed UTF-8 (bytes ED
// A0..BF xx) gets through the parser; it becomes U+FFFD.
std::string TakeText(const char* Text, rapidjson::SizeType Length) {
  std::string Out(Text, Length);
  for (std::size_t I = Out.find('\xED'); I != std::string::npos; I = Out.find('\xED', I + 1))
    if (static_cast<unsigned char>(Out[I + 1]) >= 0xA0) Out.replace(I, 3, "\xEF\xBF\xBD");
  return Out;
}

// Builds the value of the events; the outermost value must be an object.
class Builder : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Builder> {
 public:
  explicit Builder(Value& Root) : Root_(Root) { Open_.reserve(16); }

  bool Null() { return Put(Value::Null()); }
  bool Bool(bool B) { return Put(Value::Boolean(B)); }
  bool RawNumber(const char* Text, rapidjson::SizeType Length, bool) {
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
  std::vector<Value*> Open_;
  Value* Slot_ = nullptr;
  bool TooDeep_ = false;
};

// Room for the members of an answer's envelope, which every answer has: the
// outermost object grows without moving its first members around. (Only the
// outermost: a hostile answer of many small objects would cost as many times.)
constexpr std::size_t kEnvelopeMembers = 8;

}  // namespace

Value ReadLenientObject(std::string_view Utf8) {
  Value Answer = Value::Object();
  Answer.Reserve(kEnvelopeMembers);
  std::size_t Start = 0;
  while (Start < Utf8.size() && IsWhitespace(Utf8[Start])) ++Start;
  if (Start == Utf8.size() || Utf8[Start] != '{') return Answer;

  rapidjson::MemoryStream Stream(Utf8.data() + Start, Utf8.size() - Start);
  Builder Events(Answer);
  rapidjson::Reader Parser;
  const rapidjson::ParseResult Result =
      Parser.Parse<kCommonFlags | rapidjson::kParseStopWhenDoneFlag>(Stream, Events);
  if (!Result.IsError()) return Answer;
  if (Events.TooDeep()) return Value::Object();
  // A member's nested value that broke midway counts as not read at all.
  if (Events.InsideMemberValue()) Answer.Members().back().Val = Value();
  return Answer;
}

Value ReadStrictObject(std::string_view Utf8) {
  Value Answer = Value::Object();
  Answer.Reserve(kEnvelopeMembers);
  rapidjson::MemoryStream Stream(Utf8.data(), Utf8.size());
  Builder Events(Answer);
  rapidjson::Reader Parser;
  const rapidjson::ParseResult Result = Parser.Parse<kCommonFlags>(Stream, Events);
  // The parser takes a zero byte for the end of the text; the text must end there.
  if (Result.IsError() || Stream.Tell() != Utf8.size()) return Value::Object();
  return Answer;
}

}  // namespace driver::json
