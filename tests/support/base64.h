// Base64, for carrying exact bytes through the emulator's JSON control API.
#pragma once

#include <string>

namespace testing_support {

std::string Base64Encode(const std::string& Bytes);
std::string Base64Decode(const std::string& Text);

}  // namespace testing_support
