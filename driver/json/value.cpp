// The value model: one union per value, so that large request bodies cost
// little memory and few moves.
#include <cassert>
#include <charconv>
#include <new>

#include "base/utf.h"
#include "driver/json/json.h"

namespace driver::json {

Value::Value(Kind K) noexcept : Kind_(K) {
  if (K == Kind::Object)
    new (&Members_) std::vector<Member>();
  else if (K == Kind::Array)
    new (&Elements_) std::vector<Value>();
  else
    new (&Text_) std::string();
}

Value::Value(const Value& Other) : Kind_(Other.Kind_) {
  if (Kind_ == Kind::Object)
    new (&Members_) std::vector<Member>(Other.Members_);
  else if (Kind_ == Kind::Array)
    new (&Elements_) std::vector<Value>(Other.Elements_);
  else
    new (&Text_) std::string(Other.Text_);
}

Value::Value(Value&& Other) noexcept : Kind_(Other.Kind_) { TakeFrom(std::move(Other)); }

// Through a temporary, so that a value may be given one of its own parts.
Value& Value::operator=(const Value& Other) { return *this = Value(Other); }

Value& Value::operator=(Value&& Other) noexcept {
  if (this == &Other) return *this;
  Value Taken(std::move(Other));
  Destroy();
  Kind_ = Taken.Kind_;
  TakeFrom(std::move(Taken));
  return *this;
}

Value::~Value() { Destroy(); }

// Constructs this union's member from Other's; Kind_ is already Other's.
void Value::TakeFrom(Value&& Other) noexcept {
  if (Kind_ == Kind::Object)
    new (&Members_) std::vector<Member>(std::move(Other.Members_));
  else if (Kind_ == Kind::Array)
    new (&Elements_) std::vector<Value>(std::move(Other.Elements_));
  else
    new (&Text_) std::string(std::move(Other.Text_));
}

void Value::Destroy() noexcept {
  using Text = std::string;
  using MemberList = std::vector<Member>;
  using ElementList = std::vector<Value>;
  if (Kind_ == Kind::Object)
    Members_.~MemberList();
  else if (Kind_ == Kind::Array)
    Elements_.~ElementList();
  else
    Text_.~Text();
}

const std::string& Value::EmptyText() {
  static const std::string Empty;
  return Empty;
}
const std::vector<Member>& Value::NoMembers() {
  static const std::vector<Member> Empty;
  return Empty;
}
const std::vector<Value>& Value::NoElements() {
  static const std::vector<Value> Empty;
  return Empty;
}

std::vector<Member>& Value::Members() {
  assert(IsObject());
  return Members_;
}
std::vector<Value>& Value::Elements() {
  assert(IsArray());
  return Elements_;
}

Value Value::String(std::u16string_view Text) {
  return Value(Kind::String, base::Utf16ToUtf8(Text));
}

Value Value::Number(double V) { return Value(Kind::Number, FormatGeneral15(V, '.')); }

Value Value::Integer(std::int64_t V) {
  char Buffer[24];
  const auto R = std::to_chars(Buffer, Buffer + sizeof Buffer, V);
  return Value(Kind::Number, std::string(Buffer, R.ptr));
}

Value& Value::Add(std::string_view Name, Value V) {
  return Members().emplace_back(std::string(Name), std::move(V)).Val;
}

Value& Value::Push(Value V) { return Elements().emplace_back(std::move(V)); }

void Value::Reserve(std::size_t Count) {
  if (IsObject())
    Members_.reserve(Count);
  else if (IsArray())
    Elements_.reserve(Count);
}

const Value* Find(const Value& Object, std::string_view Name) {
  for (const Member& M : Object.Members())
    if (M.Name == Name) return &M.Val;
  return nullptr;
}

}  // namespace driver::json
