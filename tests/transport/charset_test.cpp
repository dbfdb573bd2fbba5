#include "platform/charset.h"

#include "driver/text.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
  const char* Body;
  const char* ContentType;
  std::u16string Expected;
};

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
  for (const DecodeCase& C : Cases) {
    SCOPED_TRACE(C.ContentType);
    EXPECT_EQ(platform::DecodeBody(C.Body, C.ContentType), C.Expected);
    EXPECT_EQ(platform::DecodeBodyUtf8(C.Body, C.ContentType), driver::Utf16ToUtf8(C.Expected));
  }
  EXPECT_EQ(platform::DecodeBodyUtf8("{\"ok\":true}", "text/plain; charset=koi8-r"),
            "{\"ok\":true}");
}

TEST(DecodeBody, KeepsZeroBytes) {
  EXPECT_EQ(platform::DecodeBody(std::string_view("a\0b", 3), "text/plain; charset=cp1251"),
            std::u16string(u"a\0b", 3));
  EXPECT_EQ(platform::DecodeBody(std::string_view("a\0b", 3), ""), std::u16string(u"a\0b", 3));
}

}  // namespace
