// The text document through PrintTextDocument; and its print request read
// by another JSON library: the lines, then a rule and a feed.
#include <cstddef>
#include <cstdint>

#include "driver/documents/printing.h"
#include "fuzz/host_call.h"
#include "fuzz/independent_json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Document = fuzz::HostText(Data, Size);
  {
    fuzz::HostCall Call;
    Call.String(1, Document);
    if (!Call.Call(&TMyClass::PrintTextDocument)) return 0;
  }
  const nlohmann::json Body =
      fuzz::ReadElsewhere(driver::TextDocumentRequest(fuzz::ReadHostText(Document)));
  const nlohmann::json& Elements = Body.at("data");
  const std::size_t N = Elements.is_array() ? Elements.size() : 0;
  if (N < 2 || Elements[N - 2] != nlohmann::json{{"hr", true}} ||
      Elements[N - 1] != nlohmann::json{{"feed", "8 lines"}})
    fuzz::Fail("the text document does not end in a rule and a feed", Body.dump());
  for (std::size_t I = 0; I + 2 < N; ++I)
    if (!Elements[I].is_object() || Elements[I].size() != 1 || !Elements[I].begin()->is_string() ||
        Elements[I].begin().key() != "left")
      fuzz::Fail("a line is not a left-aligned text", Body.dump());
  return 0;
}
