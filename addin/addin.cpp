// The add-in library is assembled from the frame (v8napi) and the driver;
// its four exports live in v8napi/component.cpp.
#include <cstddef>

// The C++ runtime is linked into this library. Its emergency exception pool
// belongs to this copy of the runtime: when the host unloads the library, it
// is given back rather than left behind unreachable, once per load.
#if defined(__GLIBCXX__) && !defined(_WIN32)
namespace __gnu_cxx {
void __freeres();
}
__attribute__((destructor)) static void ReleaseRuntimePool() { __gnu_cxx::__freeres(); }
#endif
