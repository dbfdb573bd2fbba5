#include <windows.h>

#include "base/utf.h"
#include "tools/harness/dynamic_library.h"

namespace harness {

void* OpenLibrary(const std::string& Path, std::string& Error) {
  // Paths are UTF-8, as everywhere in the harness.
  const std::u16string Wide = base::Utf8ToUtf16(Path);
  HMODULE Module = LoadLibraryW(reinterpret_cast<const wchar_t*>(Wide.c_str()));
  if (!Module) Error = "system error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(Module);
}

void* FindExport(void* Library, const char* Name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Library), Name));
}

void CloseLibrary(void* Library) { FreeLibrary(static_cast<HMODULE>(Library)); }

}  // namespace harness
