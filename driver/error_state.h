// The driver object's error state, which GetLastError reports: a code and a
// text. Code 0 means the last exchange got an answer; the register's own
// codes and texts are copied from its refusals; the driver's own errors have
// fixed codes and texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace driver {

// The driver's own errors.
enum class DriverError : std::uint8_t {
  NoAnswerToGet,  // 2: a GET got no answer
  NotResponding,  // 2: a receipt's answer without a readable "ok"
  BadAnswer,      // 3: an answer without a readable "ok" where one is required
  NoPrintAnswer,  // 2: a print request without a readable answer
  PrintRefused,   // 5: a print request refused
};

// The code and the fixed text of each of the driver's errors.
std::int32_t ErrorCode(DriverError Error);
std::u16string_view ErrorText(DriverError Error);

// Code 1: no answer to a POST; the text is the transport's own.
inline constexpr std::int32_t kNoAnswerToPost = 1;

class ErrorState {
 public:
  std::int32_t Code() const { return Code_; }
  const std::u16string& Message() const { return Message_; }

  // One of the driver's own errors.
  void Set(DriverError Error);
  // No answer to a POST: code 1 and the transport's text.
  void KeepTransportFailure(std::u16string Text);
  // The register's own code and text.
  void CopyRefusal(std::int32_t Code, std::u16string Message);
  // One part of the register's refusal, for a method that copies them one by
  // one (each only when it could be read).
  void CopyRefusalCode(std::int32_t Code) { Code_ = Code; }
  void CopyRefusalMessage(std::u16string Message) { Message_ = std::move(Message); }
  // An answer arrived: code 0, the text stays.
  void ClearCode() { Code_ = 0; }
  // Code 0 and no text.
  void Clear();

 private:
  std::int32_t Code_ = 0;
  std::u16string Message_;
};

}  // namespace driver
