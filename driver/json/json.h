// JSON of the device API: the values of answers and request bodies, the two
// ways an answer is read, the typed readers and the text form through which the
// methods take values out of an answer, and the fixed text form in which
// request bodies are written.
//
// Texts inside values are UTF-8. A number keeps its text: as received in an
// answer, or as written when the driver made it; that text is what the writer
// and the text reader give back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace driver::json {

// Absent is the value of a member that was named in a broken answer but whose
// value could not be read, and of a default-made Value.
enum class Kind : std::uint8_t { Absent, Null, False, True, Number, String, Array, Object };

struct Member;

class Value {
 public:
  Value() noexcept : Text_() {}
  Value(const Value& Other);
  Value(Value&& Other) noexcept;
  Value& operator=(const Value& Other);
  Value& operator=(Value&& Other) noexcept;
  ~Value();

  static Value Object() { return Value(Kind::Object); }
  static Value Array() { return Value(Kind::Array); }
  static Value Null() { return Value(Kind::Null); }
  static Value Boolean(bool B) { return Value(B ? Kind::True : Kind::False); }
  static Value String(std::u16string_view Text);
  // Utf8 is taken as it is and must be well-formed.
  static Value StringUtf8(std::string Utf8) { return Value(Kind::String, std::move(Utf8)); }
  // General format with at most 15 significant digits and "." (FormatGeneral15).
  static Value Number(double V);
  static Value Integer(std::int64_t V);
  // Written exactly as given; the caller vouches that it is a JSON number.
  static Value NumberText(std::string Text) { return Value(Kind::Number, std::move(Text)); }

  Kind GetKind() const { return Kind_; }
  bool IsAbsent() const { return Kind_ == Kind::Absent; }
  bool IsObject() const { return Kind_ == Kind::Object; }
  bool IsArray() const { return Kind_ == Kind::Array; }

  // A string's characters or a number's text; empty for every other kind.
  const std::string& Text() const { return IsContainer() ? EmptyText() : Text_; }

  // Members of an object and elements of an array, in the order added; empty
  // for every other kind. The changeable forms are for objects and arrays only.
  const std::vector<Member>& Members() const { return IsObject() ? Members_ : NoMembers(); }
  const std::vector<Value>& Elements() const { return IsArray() ? Elements_ : NoElements(); }
  std::vector<Member>& Members();
  std::vector<Value>& Elements();

  // Appends a member to an object, never replacing one of the same name, or
  // an element to an array, and returns the new value; the reference holds
  // until the next addition to this value.
  Value& Add(std::string_view Name, Value V);
  Value& Push(Value V);
  // Room for Count members or elements, for large bodies built in one go.
  void Reserve(std::size_t Count);

 private:
  explicit Value(Kind K) noexcept;
  Value(Kind K, std::string Text) noexcept : Text_(std::move(Text)), Kind_(K) {}

  bool IsContainer() const { return Kind_ == Kind::Object || Kind_ == Kind::Array; }
  void TakeFrom(Value&& Other) noexcept;
  void Destroy() noexcept;
  static const std::string& EmptyText();
  static const std::vector<Member>& NoMembers();
  static const std::vector<Value>& NoElements();

  // One of the three is alive: Members_ for an object, Elements_ for an
  // array, Text_ for every other kind.
  union {
    std::string Text_;
    std::vector<Member> Members_;
    std::vector<Value> Elements_;
  };
  Kind Kind_ = Kind::Absent;
};

struct Member {
  Member(std::string N, Value V) noexcept : Name(std::move(N)), Val(std::move(V)) {}
  std::string Name;
  Value Val;
};

// Reading answers ------------------------------------------------------------

// Objects and arrays nested deeper than this make an answer unusable.
inline constexpr std::size_t kMaxDepth = 256;

// The answer of a GET: after leading whitespace (space, tab, line feed,
// carriage return) the text must begin with "{"; members are kept as they are
// read, up to the "}" closing the object, and what follows is ignored. When
// the text breaks inside the object the members read so far stay: a value
// counts as read once its own text is complete, and a member whose name was
// read but whose value was not (a nested object or array broken midway
// included) stays absent. Bytes that are not well-formed UTF-8 break the text
// where they stand, and so does a number far too large for a double; a "\u"
// escape of a lone surrogate reads as U+FFFD. Any other text, and nesting
// deeper than kMaxDepth anywhere before the closing "}", gives an empty object.
Value ReadLenientObject(std::string_view Utf8);

// The answer of a POST: exactly one JSON value, an object, with nothing but
// whitespace around it; otherwise an empty object. Text rules as above.
Value ReadStrictObject(std::string_view Utf8);

// The first member of the name, or nullptr (also when Object is no object).
const Value* Find(const Value& Object, std::string_view Name);

// Typed readers --------------------------------------------------------------
// They take a member's value (nullptr when the member does not exist) and
// throw ReadError with the reason when the value does not convert. An absent
// value fails like null does, with the kind name "Absent".

class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Name of a kind in conversion failures: "Absent", "Null", "False", "True",
// "Number", "String", "Array", "Object".
const char* KindName(Kind K);

// true and false as such; a string's characters or a number's text through
// TextToBoolean.
bool ReadBool(const Value* V);
// A string's characters or a number's text through the integer-text rule;
// true gives 1 and false 0.
std::int32_t ReadInt(const Value* V);
// A string's characters; a number's text as it is; "true", "false"; null
// gives the empty text.
std::u16string ReadString(const Value* V);
// The array itself, in place inside the value it was read from.
const Value& ReadArray(const Value* V);

// Text-to-Boolean rule: a text that reads as a number with the process-wide
// decimal separator is true unless the number is 0; otherwise "True" and
// "False" in any letter case; nothing else converts.
std::optional<bool> TextToBoolean(std::u16string_view Text);
std::optional<bool> TextToBoolean(std::string_view Utf8);

// Text form: a string's characters; for a number, a text longer than 11
// characters without "." that is a 64-bit integer gives its decimal digits,
// any other number text is read as a double and written by FormatGeneral15
// with the process-wide decimal separator (a text too small for a double gives
// "0", one too large for a double keeps its text); "true", "false", "null";
// an object, an array, an absent value and nullptr give the empty text.
std::u16string TextForm(const Value* V);

// Writing --------------------------------------------------------------------

// The fixed text form: no whitespace, members and elements in the order added
// (duplicate names all written), numbers as their text, true, false, null.
// Strings escape \b \t \n \f \r \" \/ \\, and every other control character
// below U+0020 as \u00xx (lowercase hex); everything else is written as its
// UTF-8 bytes. Absent values are left out: a member without a value is not
// written, and an absent value alone writes as the empty text.
std::string Write(const Value& V);
void WriteTo(const Value& V, std::string& Out);

// Writes one JSON text straight into a string, in the same fixed text form,
// for request bodies too large to be built as values first. The caller opens
// and closes objects and arrays in order; the writer puts the commas. The
// text is appended to Out, which holds exactly the text once Finish has run
// (the destructor runs it); until then Out may hold room beyond it.
class TextWriter {
 public:
  explicit TextWriter(std::string& Out) : Out_(Out), Size_(Out.size()) {}
  ~TextWriter() { Finish(); }
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  void Finish() { Out_.resize(Size_); }
  // The length of the text in Out so far.
  std::size_t Size() const { return Size_; }
  // Hands over everything Out holds (Finish first) and goes on writing into
  // the emptied Out: a long text can be passed on in pieces as it grows.
  std::string TakeText() {
    Finish();
    std::string Taken = std::move(Out_);
    Out_.clear();
    Size_ = 0;
    return Taken;
  }

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // A member's name; its value follows.
  void Key(std::string_view Name);
  // A name written as a literal (a tag): copied in one piece when it needs
  // no escapes, which is known once the call is inlined.
  template <std::size_t N>
  void Key(const char (&Name)[N]) {
    bool Plain = true;
    for (std::size_t I = 0; I + 1 < N; ++I) {
      const char C = Name[I];
      Plain = Plain && static_cast<unsigned char>(C) >= 0x20 && C != '"' && C != '\\' && C != '/';
    }
    if (!Plain) return Key(std::string_view(Name, N - 1));
    char* P = BeforeValue(N + 2);
    *P++ = '"';
    std::memcpy(P, Name, N - 1);
    P += N - 1;
    *P++ = '"';
    *P++ = ':';
    Wrote(P);
    NeedComma_ = false;
  }
  // Utf8 must be well-formed.
  void String(std::string_view Utf8);
  // As Value::Number and Value::Integer write them.
  void Number(double V);
  void Integer(std::int64_t V);

 private:
  // Room for Count more characters at the end of the text.
  char* Room(std::size_t Count) {
    if (Out_.size() - Size_ < Count) Grow(Count);
    return Out_.data() + Size_;
  }
  void Grow(std::size_t Count);
  // A comma when a value came before; returns where the value goes.
  char* BeforeValue(std::size_t Count) {
    char* P = Room(Count + 1);
    if (NeedComma_) *P++ = ',';
    NeedComma_ = true;
    return P;
  }
  void Wrote(const char* End) { Size_ = static_cast<std::size_t>(End - Out_.data()); }
  void Open(char Bracket) {
    char* P = BeforeValue(1);
    *P++ = Bracket;
    Wrote(P);
    NeedComma_ = false;
  }
  void Close(char Bracket) {
    char* P = Room(1);
    *P++ = Bracket;
    Wrote(P);
    NeedComma_ = true;
  }
  void Quoted(std::string_view Text);

  std::string& Out_;
  std::size_t Size_;
  bool NeedComma_ = false;
};

// General number format with at most 15 significant digits: the value is first
// rounded to 15 significant digits; then it is written in fixed notation when
// its decimal exponent is above -5 and below 15, otherwise as a mantissa, "E"
// and the exponent ("-" only when negative, no leading zeros); no trailing
// zeros, no thousands separator, "-" for negative values, 0 for -0. Not-a-number
// and the infinities give "NAN", "INF" and "-INF".
// So 12.5, 100, 0.1, 0.0001, 1E-5, 1E20, and 1.23456789012346E17 for
// 123456789012345678.
std::string FormatGeneral15(double V, char Separator);
std::u16string FormatGeneral15(double V, char16_t Separator);

}  // namespace driver::json
