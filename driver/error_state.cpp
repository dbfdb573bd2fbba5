#include "driver/error_state.h"

namespace driver {

std::int32_t ErrorCode(DriverError Error) {
  switch (Error) {
    case DriverError::NoAnswerToGet:
    case DriverError::NotResponding:
    case DriverError::NoPrintAnswer: return 2;
    case DriverError::BadAnswer: return 3;
    case DriverError::PrintRefused: return 5;
  }
  return 0;
}

std::u16string_view ErrorText(DriverError Error) {
  switch (Error) {
    case DriverError::NoAnswerToGet: return u"Timeout. Время ожидания истекло";
    case DriverError::NotResponding:
      return u"Timeout. Device is not responding. Таймаут. Устройство не отвечает";
    case DriverError::BadAnswer: return u"Неверный ответ!";
    case DriverError::NoPrintAnswer:
    case DriverError::PrintRefused: return u"Ошибка формата передачи данных";
  }
  return u"";
}

void ErrorState::Set(DriverError Error) {
  Code_ = ErrorCode(Error);
  Message_ = ErrorText(Error);
}

void ErrorState::KeepTransportFailure(std::u16string Text) {
  Code_ = kNoAnswerToPost;
  Message_ = std::move(Text);
}

void ErrorState::CopyRefusal(std::int32_t Code, std::u16string Message) {
  Code_ = Code;
  Message_ = std::move(Message);
}

void ErrorState::Clear() {
  Code_ = 0;
  Message_.clear();
}

}  // namespace driver
