// Loading a shared library and finding its exports, one file per OS.
#pragma once

#include <string>

namespace harness {

// Null and an error text in Error when the library cannot be loaded.
void* OpenLibrary(const std::string& Path, std::string& Error);
void* FindExport(void* Library, const char* Name);
void CloseLibrary(void* Library);

}  // namespace harness
