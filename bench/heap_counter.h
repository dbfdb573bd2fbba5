// Peak heap of one stretch of code on the calling thread.
//
// The benchmark program replaces malloc and its relatives (heap_counter.cpp)
// with thin wrappers around the C library's own allocator. Every block the
// thread takes while counting adds its usable size, every block it gives
// back subtracts it; the peak is the largest net growth seen. The add-in's
// C++ runtime is linked into it statically, but its operator new still ends
// in this process's malloc, and so does libcurl's, so everything the driver
// and its transport hold is counted. Other threads (the in-process register
// emulator among them) are not.
#pragma once

#include <cstddef>

namespace bench {

class HeapCounter {
 public:
  // Starts counting on this thread, from zero.
  static void Start();
  // Stops counting and returns the peak net growth in bytes since Start.
  static std::size_t Stop();
};

}  // namespace bench
