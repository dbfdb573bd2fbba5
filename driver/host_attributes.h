// Reading the attributes of a host document's element into a struct of
// fields, from a table that names each attribute and how its text converts.
// Every input document is read this way: a name no rule has is passed over,
// and a later attribute of a name replaces what an earlier one gave.
#pragma once

#include <cstddef>
#include <forward_list>
#include <string>
#include <string_view>
#include <type_traits>

#include <pugixml.hpp>

#include "base/ascii.h"
#include "base/utf.h"
#include "driver/host_xml.h"
#include "driver/package_reading.h"

namespace driver {

// Attribute texts as views into the document. A document made from UTF-16
// text is well-formed UTF-8, and only a character reference can put anything
// else into a value (see LoadHostXml): with Check, values are checked and,
// where they need it, repaired into copies kept in Repaired.
class AttributeTexts {
 public:
  AttributeTexts(bool Check, std::forward_list<std::string>& Repaired)
      : Check_(Check), Repaired_(Repaired) {}
  std::string_view operator()(const pugi::xml_attribute& A) const {
    return Check_ ? AttributeView(A, Repaired_) : std::string_view(A.value());
  }

 private:
  bool Check_;
  std::forward_list<std::string>& Repaired_;
};

// One attribute: its name, and what its value does to the fields.
template <typename Fields>
struct AttributeRule {
  const char* Name;
  void (*Take)(Fields&, const pugi::xml_attribute&, const AttributeTexts&);
};

// Reads Node's attributes, in document order, into Out. Each name is looked
// for from the rule after the one the attribute before it matched, round the
// table: documents mostly write their attributes in one order, and a table in
// that order finds each at the first comparison.
template <typename Fields, std::size_t N>
void ReadAttributes(const pugi::xml_node& Node, const AttributeRule<Fields> (&Rules)[N],
                    Fields& Out, const AttributeTexts& Texts) {
  std::size_t Next = 0;
  for (pugi::xml_attribute A = Node.first_attribute(); A; A = A.next_attribute()) {
    const char* Name = A.name();
    for (std::size_t K = 0, I = Next; K < N; ++K, I = I + 1 == N ? 0 : I + 1) {
      if (base::SameName(Name, Rules[I].Name)) {
        Rules[I].Take(Out, A, Texts);
        Next = I + 1 == N ? 0 : I + 1;
        break;
      }
    }
  }
}

// The same for fields that hold wide texts, which are made anew.
template <typename Fields, std::size_t N>
void ReadAttributes(const pugi::xml_node& Node, const AttributeRule<Fields> (&Rules)[N],
                    Fields& Out) {
  std::forward_list<std::string> Repaired;
  ReadAttributes(Node, Rules, Out, AttributeTexts(true, Repaired));
}

// A host document that is its root element's attributes alone: a root of
// another name leaves the fields as they start.
template <typename Fields, std::size_t N>
Fields ReadRootAttributes(std::u16string_view Text, const char* RootName,
                          const AttributeRule<Fields> (&Rules)[N]) {
  pugi::xml_document Document;
  LoadHostXml(Document, Text);
  Fields Out;
  const pugi::xml_node Root = Document.document_element();
  if (base::SameName(Root.name(), RootName)) ReadAttributes(Root, Rules, Out);
  return Out;
}

// The conversions, each for one field given as a pointer to member: the
// table entry {"Sum", take::Amount<&Package::Sum>} reads attribute "Sum" as an
// amount into Package::Sum. A text that does not convert throws BadInput.
namespace take {

template <typename T>
struct MemberPointer;
template <typename C, typename M>
struct MemberPointer<M C::*> {
  using Class = C;
  using Type = M;
};
template <auto Field>
using FieldsOf = typename MemberPointer<decltype(Field)>::Class;
template <auto Field>
inline constexpr bool kWide =
    std::is_same_v<typename MemberPointer<decltype(Field)>::Type, std::u16string>;

// The text as it stands: a wide copy, or a view.
template <auto Field>
void Text(FieldsOf<Field>& F, const pugi::xml_attribute& A, const AttributeTexts& Texts) {
  if constexpr (kWide<Field>)
    F.*Field = AttributeText(A);
  else
    F.*Field = Texts(A);
}

// A text that must not be empty.
template <auto Field>
void NonEmptyText(FieldsOf<Field>& F, const pugi::xml_attribute& A, const AttributeTexts& Texts) {
  if constexpr (kWide<Field>)
    F.*Field = base::Utf8ToUtf16(ToNonEmptyText(std::string_view(A.value()), A.name()));
  else
    F.*Field = ToNonEmptyText(Texts(A), A.name());
}

// A wide text whose empty value is passed over.
template <auto Field>
void TextUnlessEmpty(FieldsOf<Field>& F, const pugi::xml_attribute& A, const AttributeTexts&) {
  static_assert(kWide<Field>);
  std::u16string Value = AttributeText(A);
  if (!Value.empty()) F.*Field = std::move(Value);
}

// Numbers are read from the text as it stands: a character that is not ASCII
// stops them whether it is well-formed or not.
template <auto Field>
void Amount(FieldsOf<Field>& F, const pugi::xml_attribute& A, const AttributeTexts&) {
  F.*Field = ToAmount(A.value(), A.name());
}

template <auto Field>
void Integer(FieldsOf<Field>& F, const pugi::xml_attribute& A, const AttributeTexts&) {
  F.*Field = ToInteger(A.value(), A.name());
}

// A whole number whose register code is one higher (RegisterCode).
template <auto Field>
void CodePlusOne(FieldsOf<Field>& F, const pugi::xml_attribute& A, const AttributeTexts&) {
  F.*Field = RegisterCode(ToInteger(A.value(), A.name()), A.name());
}

}  // namespace take
}  // namespace driver
