#include <dlfcn.h>

#include "tools/harness/dynamic_library.h"

namespace harness {

void* OpenLibrary(const std::string& Path, std::string& Error) {
  void* Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!Handle) Error = dlerror();
  return Handle;
}

void* FindExport(void* Library, const char* Name) { return dlsym(Library, Name); }

void CloseLibrary(void* Library) { dlclose(Library); }

}  // namespace harness
