#include "platform/charset.h"

#include "base/utf.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
  std::string Body;
  std::string ContentType;
  std::u16string Expected;
  bool EverySystem = true;  // false: the Linux builds' converters only
};

#if defined(_WIN32)
constexpr bool kIconv = false;
#else
constexpr bool kIconv = true;
#endif

// Both decodings of each body give the expected text.
template <std::size_t Count>
void ExpectDecoded(const DecodeCase (&Cases)[Count]) {
  for (const DecodeCase& C : Cases) {
    if (!C.EverySystem && !kIconv) continue;
    SCOPED_TRACE(C.ContentType);
    EXPECT_EQ(platform::DecodeBody(C.Body, C.ContentType), C.Expected);
    EXPECT_EQ(platform::DecodeBodyUtf8(C.Body, C.ContentType), base::Utf16ToUtf8(C.Expected));
  }
}

TEST(DecodeBody, FollowsTheDeclaredCharset) {
  const DecodeCase Cases[] = {
      // UTF-8: named, absent, unknown, ill-formed.
      {"\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", "application/json", u"Привет"},
      {"\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", "", u"Привет"},
      {"\xd0\x9f\xd1\x80\xd0\xb8", "application/json; charset=utf-8", u"При"},
      {"\xd0\x9f\xd1\x80\xd0\xb8", "text/plain;charset=UTF8", u"При"},
      {"\xd0\x9f\xd1\x80\xd0\xb8", "text/plain; charset=x-unknown", u"При"},
      {"\xd0\x9f\xd1\x80\xd0\xb8", "text/plain; charset=", u"При"},
      {"a\xff"
       "b",
       "text/plain; charset=utf-8", u"a\uFFFDb"},
      // Windows-1251, any case, quoted or not.
      {"\xcf\xf0\xe8\xe2\xe5\xf2 \xa8\xb8", "text/plain; charset=windows-1251", u"Привет Ёё"},
      {"\xcf\xf0\xe8", "text/html; Charset=\"CP1251\"", u"При"},
      {"\xcf\xf0\xe8", "TEXT/HTML;CHARSET=Windows-1251", u"При"},
      // KOI8-R.
      {"\xf0\xd2\xc9\xd7\xc5\xd4 \xb3\xa3\xff\xdf", "text/plain; charset=koi8-r", u"Привет ЁёЪъ"},
      {"\x80\x9a\xbf", "text/plain; charset=KOI8-R", u"\u2500\u00A0\u00A9"},
      // Latin-1 and ASCII: byte for character.
      {"\xe9t\xe9", "text/plain; charset=iso-8859-1", u"été"},
      {"\xe9t\xe9", "text/plain; charset=latin1", u"été"},
      {"ok\x80", "text/plain; charset=US-ASCII", u"ok\u0080"},
      // The parameter among others, with blanks, and not confused by a quoted
      // lookalike inside another parameter.
      {"\xf0\xd2\xc9", "text/plain ; format=flowed ; charset = koi8-r ", u"При"},
      {"\xcf\xf0\xe8", "multipart/mixed; boundary=\"x;charset=koi8-r\"; charset=windows-1251",
       u"При"},
      {"\xcf\xf0\xe8", "text/plain; xcharset=koi8-r; charset=cp1251", u"При"},
  };
  ExpectDecoded(Cases);
  EXPECT_EQ(platform::DecodeBodyUtf8("{\"ok\":true}", "text/plain; charset=koi8-r"),
            "{\"ok\":true}");
}

TEST(DecodeBody, KeepsZeroBytes) {
  EXPECT_EQ(platform::DecodeBody(std::string_view("a\0b", 3), "text/plain; charset=cp1251"),
            std::u16string(u"a\0b", 3));
  EXPECT_EQ(platform::DecodeBody(std::string_view("a\0b", 3), ""), std::u16string(u"a\0b", 3));
}

std::string Utf16Le(const std::u16string& Text) {
  std::string Out;
  for (const char16_t C : Text) Out += {static_cast<char>(C & 0xFF), static_cast<char>(C >> 8)};
  return Out;
}
std::string Utf16Be(const std::u16string& Text) {
  std::string Out;
  for (const char16_t C : Text) Out += {static_cast<char>(C >> 8), static_cast<char>(C & 0xFF)};
  return Out;
}

// Every label a register may send, through the system's converters: "Ж" (or
// the family's letter) and an undefined byte where the charset has one.
// Systems differ at the edges: Windows has no code page for ISO-8859-10, 14
// and 16 (such a body reads as UTF-8) and reads byte 0x98 of Windows-1251 as
// U+0098; those rows hold for the Linux builds (iconv).

TEST(DecodeBody, EveryCharsetFamily) {
  const DecodeCase Cases[] = {
      {Utf16Le(u"{\"m\":\"Ж😀\"}"), "application/json; charset=utf-16le", u"{\"m\":\"Ж😀\"}"},
      {Utf16Be(u"{\"m\":\"Ж\"}"), "application/json; charset=UTF-16BE", u"{\"m\":\"Ж\"}"},
      {"\xFF\xFE" + Utf16Le(u"{Ж}"), "application/json; charset=utf-16", u"{Ж}"},
      {"\xFE\xFF" + Utf16Be(u"{Ж}"), "application/json; charset=utf-16", u"{Ж}"},
      {Utf16Be(u"{Ж}"), "application/json; charset=\"utf-16\"", u"{Ж}"},
      {Utf16Le(u"{Ж}"), "application/json; charset=Utf-16", u"{Ж}"},
      // The mark decides, the label aside; it is never part of the text.
      {"\xFF\xFE" + Utf16Le(u"{Ж}"), "application/json", u"{Ж}"},
      {"\xEF\xBB\xBF{\"ok\":true}", "application/json", u"{\"ok\":true}"},
      {"\xEF\xBB\xBF{\"ok\":true}", "application/json; charset=utf-8", u"{\"ok\":true}"},
      {"\xEF\xBB\xBF\xD0\x96", "text/plain; charset=windows-1251", u"Ж"},
      // Broken UTF-16: an odd last byte, a lone surrogate.
      {Utf16Le(u"ab") + "c", "text/plain; charset=utf-16le", u"ab\uFFFD"},
      {Utf16Le(std::u16string(u"a") + char16_t(0xD83D) + u"b"), "text/plain; charset=utf-16le",
       u"a\uFFFDb"},
      // 8-bit charsets.
      {"\xC6", "text/plain; charset=windows-1250", u"Ć"},
      {"\xC6", "text/plain; charset=cp1251", u"Ж"},
      {"\xC6", "text/plain; charset=x-cp1252", u"Æ"},
      {"\xC6", "text/plain; charset=windows-1253", u"Ζ"},
      {"\xD0", "text/plain; charset=windows-1254", u"Ğ"},
      {"\xE0", "text/plain; charset=windows-1255", u"א"},
      {"\xC7", "text/plain; charset=windows-1256", u"ا"},
      {"\xC0", "text/plain; charset=windows-1257", u"Ą"},
      {"\xC3", "text/plain; charset=windows-1258", u"Ă"},
      {"\x98", "text/plain; charset=windows-1251", u"\uFFFD", false},
      {"\xF6", "text/plain; charset=KOI8-R", u"Ж"},
      {"\xA4", "text/plain; charset=koi8-u", u"є"},
      {"\x86", "text/plain; charset=IBM866", u"Ж"},
      {"\x86", "text/plain; charset=cp866", u"Ж"},
      {"\x86", "text/plain; charset=x-mac-cyrillic", u"Ж"},
      {"\xB6", "text/plain; charset=ISO-8859-5", u"Ж"},
      {"\xB6", "text/plain; charset=iso_8859-5", u"Ж"},
      {"\xA1", "text/plain; charset=iso-8859-2", u"Ą"},
      {"\xA1", "text/plain; charset=iso-8859-3", u"Ħ"},
      {"\xA1", "text/plain; charset=iso-8859-4", u"Ą"},
      {"\xC7", "text/plain; charset=iso-8859-6", u"ا"},
      {"\xC1", "text/plain; charset=iso-8859-7", u"Α"},
      {"\xE0", "text/plain; charset=iso-8859-8", u"א"},
      {"\xD0", "text/plain; charset=iso-8859-9", u"Ğ"},
      {"\xA1", "text/plain; charset=iso-8859-10", u"Ą", false},
      {"\xA1", "text/plain; charset=iso-8859-11", u"ก"},
      {"\xC0", "text/plain; charset=iso-8859-13", u"Ą"},
      {"\xA1", "text/plain; charset=iso-8859-14", u"Ḃ", false},
      {"\xA4", "text/plain; charset=ISO-8859-15", u"€"},
      {"\xA1", "text/plain; charset=iso8859-16", u"Ą", false},
      {"\xA4", "text/plain; charset=iso-8859-12", u"\uFFFD"},  // no such charset: UTF-8
  };
  ExpectDecoded(Cases);
}

}  // namespace
